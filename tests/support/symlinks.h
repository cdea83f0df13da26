#pragma once

#include "platform/system.h"

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace strovane::testing {

// Why a test that needs symbolic links is skipped where they cannot be made.
inline constexpr const char* kNoSymlinks =
    "this Windows user may make no symbolic links (they need a privilege, and Wine has none)";

// Whether this process can make symbolic links. Always on POSIX systems; on Windows only with the
// privilege (or developer mode), never under Wine. Tried once, in the temporary folder.
inline bool symlinksAvailable() {
    static const bool available = [] {
        if (!platform::kWindows)
            return true;
        namespace fs = std::filesystem;
        const fs::path link = fs::temp_directory_path() / ("strovane-link-" + std::to_string(std::random_device{}()));
        std::error_code made, removed;
        fs::create_symlink("target", link, made);
        fs::remove(link, removed);
        return !made;
    }();
    return available;
}

} // namespace strovane::testing
