#include "platform/path_text.h"

namespace strovane::platform {

// Paths are bytes here: passed through as they are, whatever their encoding.
std::filesystem::path pathFromUtf8(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::string utf8FromPath(const std::filesystem::path& path) { return path.native(); }

} // namespace strovane::platform
