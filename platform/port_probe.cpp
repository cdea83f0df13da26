#include "platform/port_probe.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace strovane::platform {

namespace {

struct NameKey {
    std::string kind;
    bool hasNumber = false;
    std::string digits; // without leading zeros, compared by length then text
};

NameKey splitName(const std::string& name) {
    size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1])))
        --end;
    NameKey key{name.substr(0, end), end < name.size(), name.substr(end)};
    const size_t first = key.digits.find_first_not_of('0');
    key.digits = first == std::string::npos ? std::string() : key.digits.substr(first);
    return key;
}

} // namespace

bool portNameLess(const std::string& a, const std::string& b) {
    const NameKey ka = splitName(a);
    const NameKey kb = splitName(b);
    return std::make_tuple(ka.kind, ka.hasNumber, ka.digits.size(), ka.digits, a) <
           std::make_tuple(kb.kind, kb.hasNumber, kb.digits.size(), kb.digits, b);
}

std::vector<PortInfo> probePorts(const CandidateSource& candidates) {
    std::vector<PortInfo> ports;
    for (PortCandidate& c : candidates()) {
        if (const std::optional<PortState> state = probeDevice(c.path))
            ports.push_back({std::move(c.name), std::move(c.path), std::move(c.description), *state});
    }
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortInfo& a, const PortInfo& b) { return portNameLess(a.name, b.name); });
    return ports;
}

const char* portStateText(PortState state) {
    switch (state) {
    case PortState::InUse:
        return "in use";
    case PortState::NoPermission:
        return "no permission";
    case PortState::Present:
        break;
    }
    return "";
}

} // namespace strovane::platform
