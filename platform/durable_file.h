#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

// The file operations of a save that must survive a power cut: a new file written and flushed
// beside its target, renamed over it, and the folder flushed after the rename.
namespace strovane::platform {

// A file created for one save beside its target: written from start to end, flushed, then
// renamed over the target. Until then it counts as in use (removeAbandonedFile leaves it alone);
// the caller removes it when the save fails.
class NewFile {
public:
    // Creates `path` for writing. ec is std::errc::file_exists when something already has the
    // name (try another), or the system's error.
    NewFile(const std::filesystem::path& path, std::error_code& ec);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Writes all of `bytes` after what was written before.
    void write(std::string_view bytes, std::error_code& ec);

    // Gives the file the owner, group and permissions of `original`, as far as the system lets
    // this process (an owner or group it may not give is left as created).
    void takeOwnerAndPermissions(const std::filesystem::path& original);

    // Returns once the file's bytes and size are on the disk (fsync, FlushFileBuffers).
    void flush(std::error_code& ec);

    // Renames the file over `target` in one step and closes it (rename; on Windows closed first,
    // then MoveFileExW writing through). An error the system reports only at closing is a failed
    // write.
    void renameOver(const std::filesystem::path& target, std::error_code& ec);

private:
    std::filesystem::path m_path;
    std::intptr_t m_handle;
};

// Returns once the folder's entries, a file just renamed into it among them, are on the disk
// (fsync of the folder). A folder the system cannot flush (one this process may not open, a file
// system without the call) is let be; nothing to do on Windows, where renameOver wrote through.
void flushFolder(const std::filesystem::path& folder, std::error_code& ec);

// Removes the regular file at `path` unless it is a NewFile still open in some process. Anything
// else at the path (a link, a folder) stays. True when the file was removed.
bool removeAbandonedFile(const std::filesystem::path& path);

} // namespace strovane::platform
