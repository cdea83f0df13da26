#pragma once

// POSIX only.
#include <sys/mount.h>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace strovane::testing {

// Makes an existing folder refuse new files for this user, root included: a user loses the write
// permission; root (who ignores it) gets the folder bind-mounted read-only over itself. ok() is
// false, with the reason in why(), where neither can be done.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path dir) : m_dir(std::move(dir)) {
        namespace fs = std::filesystem;
        if (geteuid() != 0) {
            fs::permissions(m_dir, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
            m_ok = true;
            return;
        }
        if (mount(m_dir.c_str(), m_dir.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            m_why = "root cannot bind-mount here (" + std::string(strerror(errno)) + ")";
            return;
        }
        m_mounted = true;
        if (mount(nullptr, m_dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            m_why = "root cannot remount a bind mount read-only (" + std::string(strerror(errno)) + ")";
            return;
        }
        m_ok = true;
    }
    ~ReadOnlyFolder() {
        if (m_mounted)
            umount2(m_dir.c_str(), MNT_DETACH);
        else
            std::filesystem::permissions(m_dir, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ok() const { return m_ok; }
    const std::string& why() const { return m_why; }

private:
    std::filesystem::path m_dir;
    bool m_ok = false;
    bool m_mounted = false;
    std::string m_why;
};

} // namespace strovane::testing
