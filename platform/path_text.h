#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace strovane::platform {

// The program keeps paths and file names as UTF-8 text (what Qt, the documents and the command line
// give). These turn such text into a path and back without the system's narrow code page: on Windows
// UTF-8 <-> UTF-16, elsewhere the bytes unchanged (a name that is not UTF-8 stays usable there).
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace strovane::platform
