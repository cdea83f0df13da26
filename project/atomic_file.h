#pragma once

#include <filesystem>
#include <string_view>

namespace strovane::project {

// Replaces `target` with `bytes` as a whole: writes a temporary file in the same folder, flushes
// it and renames it over the target, so readers see either the old or the new contents.
// An existing target that is read-only is refused with EACCES, as a plain write would be.
// Throws std::system_error whose what() names the path and carries the system's error text; on
// failure the old file is untouched and no temporary file is left behind.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

} // namespace strovane::project
