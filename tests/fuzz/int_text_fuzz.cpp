// Integer text: the conversion agrees with a plain reading of the rule, and every number
// written back as decimal or hexadecimal text reads as the same number.
#include "fuzz_support.h"

#include "project/int_text.h"

#include <cinttypes>
#include <optional>

namespace {

using strovane::project::intTextOr;
using strovane::project::parseIntText;

// The rule read literally, in 64-bit arithmetic.
std::optional<std::int32_t> reference(std::string_view t) {
    std::size_t i = t.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-')
        negative = t[i++] == '-';
    int base = 10;
    if (t.substr(i, 1) == "$" || t.substr(i, 1) == "x" || t.substr(i, 1) == "X") {
        base = 16;
        i += 1;
    } else if (t.substr(i, 2) == "0x" || t.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    }
    const std::string_view digits = t.substr(i);
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    if (base == 16) {
        const auto bits = static_cast<std::uint32_t>(value);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> got = parseIntText(text);
    FUZZ_ASSERT(got == reference(text));
    FUZZ_ASSERT(intTextOr(text, -1) == got.value_or(-1));
    FUZZ_ASSERT(intTextOr(text, 7) == got.value_or(7));
    if (got) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%" PRId32, *got);
        FUZZ_ASSERT(parseIntText(buf) == got);
        std::snprintf(buf, sizeof buf, "0x%" PRIX32, static_cast<std::uint32_t>(*got));
        FUZZ_ASSERT(parseIntText(buf) == got);
        std::snprintf(buf, sizeof buf, "  $%" PRIx32, static_cast<std::uint32_t>(*got));
        FUZZ_ASSERT(parseIntText(buf) == got);
    }
    return 0;
}
