#include "platform/durable_file.h"

#ifndef _WIN32
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strovane::platform {

namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

} // namespace

// A NewFile holds an exclusive flock from its creation until it has its final name, so that
// another save's cleanup (removeAbandonedFile) can tell it from a file left by a killed process.
NewFile::NewFile(const std::filesystem::path& path, std::error_code& ec) : m_path(path), m_handle(-1) {
    ec.clear();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        ec = lastError();
        return;
    }
    // Blocks only while a cleanup holds the lock; a file system without flock has no cleanup.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
        // A cleanup took the name between the creation and the lock: start over with another.
        ::close(fd);
        ec = std::make_error_code(std::errc::file_exists);
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
    // Renamed while still open and locked: no cleanup can take it on its way.
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

bool removeAbandonedFile(const std::filesystem::path& path) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDONLY | kFlags);
    if (fd < 0 && errno == EACCES) // a file left with the write-only permissions of its target
        fd = ::open(path.c_str(), O_WRONLY | kFlags);
    if (fd < 0)
        return false;
    struct stat open {}, named {};
    bool removed = false;
    // In use while another process holds its lock; unlinked under the lock, so a save that
    // created it just now and waits for the lock sees that and picks another name.
    if (::fstat(fd, &open) == 0 && S_ISREG(open.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino)
        removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

} // namespace strovane::platform
#endif
