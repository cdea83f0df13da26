#include "platform/user_folders.h"

#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

namespace strovane::platform {

namespace {

#ifdef _WIN32
// Read as UTF-16: the narrow environment spells a name outside the code page with '?'.
std::filesystem::path absoluteFromEnv(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
#else
std::filesystem::path absoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
#endif
    if (!value || !*value)
        return {};
    std::filesystem::path path(value);
    return path.is_absolute() ? path : std::filesystem::path();
}

} // namespace

std::filesystem::path userDataFolder() {
#ifdef _WIN32
    return absoluteFromEnv(L"LOCALAPPDATA");
#else
    if (std::filesystem::path xdg = absoluteFromEnv("XDG_DATA_HOME"); !xdg.empty())
        return xdg;
    const std::filesystem::path home = absoluteFromEnv("HOME");
    return home.empty() ? home : home / ".local" / "share";
#endif
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

} // namespace strovane::platform
