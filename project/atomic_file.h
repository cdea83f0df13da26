#pragma once

#include <filesystem>
#include <string_view>

namespace strovane::project {

// Writes `bytes` to `target` as a whole without destroying what stands at the path:
// - a regular file, or no file at all, is replaced atomically and durably: a temporary file
//   ".<name>.<digits>.tmp" in the same folder is written and flushed to the disk, given the old
//   file's owner, group and permissions (as far as the system allows), renamed over the target,
//   and the folder is flushed; readers, and the disk after a power cut, see either the old or
//   the new contents. Temporary files of earlier saves of the same name that were killed before
//   their rename are removed first;
// - a symbolic link is followed (through any chain) and the file it names is replaced the same
//   way; the link itself stays;
// - a character or block device, a FIFO and the standard streams (/dev/stdout, /dev/fd/N) are
//   written through directly, never replaced;
// - anything else (a folder, a socket, a link loop) is refused.
// An existing target that is read-only is refused with EACCES, as a plain write would be.
// Throws std::system_error whose what() names the path and carries the system's error text; a
// failed flush is a failed save. On failure before the rename the old file is untouched and no
// temporary file is left behind.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

} // namespace strovane::project
