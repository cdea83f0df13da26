#include "platform/durable_file.h"

#ifndef _WIN32
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strovane::platform {

namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

} // namespace

NewFile::NewFile(const std::filesystem::path& path, std::error_code& ec) : m_path(path), m_handle(-1) {
    ec.clear();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        ec = lastError();
        return;
    }
    m_handle = fd;
}

NewFile::~NewFile() {
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

void NewFile::write(std::string_view bytes, std::error_code& ec) {
    ec.clear();
    const int fd = static_cast<int>(m_handle);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ec = lastError();
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void NewFile::takeOwnerAndPermissions(const std::filesystem::path& original) {
    const int fd = static_cast<int>(m_handle);
    struct stat want {}, have {};
    if (::stat(original.c_str(), &want) != 0 || ::fstat(fd, &have) != 0)
        return;
    // Changing the owner needs privilege; a member of the old file's group may still give that.
    if ((have.st_uid != want.st_uid || have.st_gid != want.st_gid) &&
        ::fchown(fd, want.st_uid, want.st_gid) != 0 && have.st_gid != want.st_gid)
        (void)::fchown(fd, static_cast<uid_t>(-1), want.st_gid);
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    (void)::fchmod(fd, want.st_mode & 07777);
}

void NewFile::flush(std::error_code& ec) {
    ec.clear();
    int rc;
    while ((rc = ::fsync(static_cast<int>(m_handle))) != 0 && errno == EINTR) {
    }
    if (rc != 0)
        ec = lastError();
}

void NewFile::renameOver(const std::filesystem::path& target, std::error_code& ec) {
    ec.clear();
    if (::rename(m_path.c_str(), target.c_str()) != 0)
        ec = lastError();
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    // Linux closes the descriptor even when close is interrupted; EINTR is not a lost write.
    if (::close(fd) != 0 && errno != EINTR && !ec)
        ec = lastError();
}

void flushFolder(const std::filesystem::path& folder, std::error_code& ec) {
    ec.clear();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A folder that may be written but not read cannot be flushed by this process.
        if (errno != EACCES && errno != EPERM)
            ec = lastError();
        return;
    }
    int rc;
    while ((rc = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    // EINVAL and ENOTSUP: a file system that has no flush for folders (some network ones).
    if (rc != 0 && errno != EINVAL && errno != ENOTSUP)
        ec = lastError();
    ::close(fd);
}

} // namespace strovane::platform
#endif
