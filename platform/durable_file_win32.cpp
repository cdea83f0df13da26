#include "platform/durable_file.h"

#ifdef _WIN32
#include <windows.h>

#include <cerrno>

namespace strovane::platform {

namespace {

// The errno-style code for the errors a save meets, as the C library reports them elsewhere;
// the system's own code for the rest.
std::error_code errorCode(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

std::error_code lastError() { return errorCode(GetLastError()); }

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

} // namespace

// Opened without FILE_SHARE_DELETE: while it is open, another save's cleanup cannot delete it.
NewFile::NewFile(const std::filesystem::path& path, std::error_code& ec)
    : m_path(path), m_handle(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
    ec.clear();
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ec = lastError();
        return;
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
}

NewFile::~NewFile() {
    if (handleOf(m_handle) != INVALID_HANDLE_VALUE)
        CloseHandle(handleOf(m_handle));
}

void NewFile::write(std::string_view bytes, std::error_code& ec) {
    ec.clear();
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(handleOf(m_handle), bytes.data(), chunk, &written, nullptr)) {
            ec = lastError();
            return;
        }
        bytes.remove_prefix(written);
    }
}

// The new file takes its owner and access rights from the folder as any new file does; the old
// file's read-only attribute cannot be set, since a read-only target is refused before.
void NewFile::takeOwnerAndPermissions(const std::filesystem::path&) {}

void NewFile::flush(std::error_code& ec) {
    ec.clear();
    if (!FlushFileBuffers(handleOf(m_handle)))
        ec = lastError();
}

void NewFile::renameOver(const std::filesystem::path& target, std::error_code& ec) {
    ec.clear();
    // A file open for writing cannot be moved: close first.
    const HANDLE h = handleOf(m_handle);
    m_handle = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
    if (!CloseHandle(h)) {
        ec = lastError();
        return;
    }
    if (!MoveFileExW(m_path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ec = lastError();
}

void flushFolder(const std::filesystem::path&, std::error_code& ec) { ec.clear(); }

bool removeAbandonedFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return false;
    // Fails with a sharing violation while a save still has the file open.
    return DeleteFileW(path.c_str()) != 0;
}

} // namespace strovane::platform
#endif
