#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace strovane::project {

// Text from a file or the user, fit for a one-line message: in double quotes, with '"' and '\'
// escaped, line ends, tabs and other control characters as \n, \r, \t or \xNN, bytes that are
// not UTF-8 as \xNN, and cut after maxChars characters with "..." before the closing quote.
std::string quoted(std::string_view text, std::size_t maxChars = 60);

// The same escapes without quotes or cutting: a message made safe to print on one line.
std::string oneLine(std::string_view text);

} // namespace strovane::project
