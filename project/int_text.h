#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace strovane::project {

// Reads integer text: leading blanks, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". Decimal must fit int32; hexadecimal may use all
// 32 bits (the top bit gives a negative number) and a sign negates those bits.
// nullopt when the text is not integer text (empty, lone prefix, any stray character).
std::optional<std::int32_t> parseIntText(std::string_view text);

// The number the text denotes, or `fallback` when it is not integer text.
std::int32_t intTextOr(std::string_view text, std::int32_t fallback);

} // namespace strovane::project
