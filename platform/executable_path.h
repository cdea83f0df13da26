#pragma once

#include <filesystem>

namespace strovane::platform {

// Full path of the running executable (Linux: /proc/self/exe; Windows: GetModuleFileNameW).
// Throws std::system_error when the system cannot tell.
std::filesystem::path executablePath();

} // namespace strovane::platform
