#pragma once

#include <string>
#include <string_view>

namespace strovane::cli {

// `text` as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

} // namespace strovane::cli
