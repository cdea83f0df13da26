#include "project/int_text.h"

namespace strovane::project {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> parseIntText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (i == text.size())
        return std::nullopt; // empty, lone sign or lone prefix

    if (hex) {
        std::uint32_t bits = 0;
        for (; i < text.size(); ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0 || bits > 0x0FFFFFFFu)
                return std::nullopt;
            bits = (bits << 4) | static_cast<std::uint32_t>(d);
        }
        // A sign negates the 32 bits as they stand: "-$10" is -16, "-$FFFFFFFF" is 1.
        if (negative)
            bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }

    // Accumulate the magnitude; the negative range reaches one further than the positive.
    const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto d = static_cast<std::uint32_t>(c - '0');
        if (value > (limit - d) / 10)
            return std::nullopt;
        value = value * 10 + d;
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

std::int32_t intTextOr(std::string_view text, std::int32_t fallback) {
    return parseIntText(text).value_or(fallback);
}

} // namespace strovane::project
