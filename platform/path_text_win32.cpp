#include "platform/path_text.h"

#include <climits>
#include <stdexcept>

#include <windows.h>

namespace strovane::platform {

// Malformed UTF-8, or a name holding an unpaired surrogate, gives U+FFFD for the bad part rather than
// an exception: the system then reports the path as missing, which is what it is.
std::filesystem::path pathFromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    if (text.size() > INT_MAX)
        throw std::length_error("path too long");
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
    return std::filesystem::path(std::move(out));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty())
        return {};
    if (wide.size() > INT_MAX / 3)
        throw std::length_error("path too long");
    const int size = static_cast<int>(wide.size());
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), narrow, nullptr, nullptr);
    return out;
}

} // namespace strovane::platform
