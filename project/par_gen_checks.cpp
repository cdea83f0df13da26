#include "project/par_gen_checks.h"

#include "project/int_text.h"

#include <span>

namespace strovane::project {

namespace {

bool inRange(const std::string& text, std::int32_t low, std::int32_t high) {
    const std::int32_t value = intTextOr(text, -1);
    return value >= low && value <= high;
}

void checkList(std::vector<std::string>& out, const char* key, int index,
               std::span<const char* const> items) {
    if (index >= 0 && static_cast<std::size_t>(index) < items.size())
        return;
    out.push_back(std::string(key) + ": list index " + std::to_string(index) + " is outside 0 to " +
                  std::to_string(items.size() - 1) + " (\"" + items.front() + "\" to \"" + items.back() +
                  "\")");
}

} // namespace

std::vector<std::string> parGenRangeMessages(const ParGenValues& v) {
    std::vector<std::string> out;
    if (!inRange(v.nodeId, 1, 127))
        out.emplace_back(kIdRangeMessage);
    if (!inRange(v.startDelay, 0, 255))
        out.emplace_back(kDelayRangeMessage);
    if (!inRange(v.sdoTimeout, 0, 50000))
        out.emplace_back(kSdoTimeoutRangeMessage);
    return out;
}

std::optional<std::string> firstParGenRangeMessage(const ParGenValues& values) {
    std::vector<std::string> all = parGenRangeMessages(values);
    if (all.empty())
        return std::nullopt;
    return std::move(all.front());
}

std::vector<std::string> parGenListProblems(const ParGenValues& v) {
    std::vector<std::string> out;
    checkList(out, "CANopen_Baud", v.canBaud, kCanopenBaudTexts);
    checkList(out, "Serial_Serial", v.serialType, kSerialTexts);
    checkList(out, "Serial_Baud", v.serialBaud, kSerialBaudTexts);
    checkList(out, "Serial_Par", v.serialParity, kParityTexts);
    return out;
}

} // namespace strovane::project
