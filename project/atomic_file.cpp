#include "project/atomic_file.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace strovane::project {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(int err, const fs::path& path) {
    throw std::system_error(err, std::generic_category(), path.string());
}

[[noreturn]] void fail(const std::error_code& ec, const fs::path& path) {
    throw std::system_error(ec, path.string());
}

// Refuses a target that a plain write would refuse. Root may write to a read-only file, so
// the permission bits are looked at as well as a trial open that changes nothing.
void checkWritable(const fs::path& target, fs::file_status status) {
    constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & anyWrite) == fs::perms::none)
        fail(EACCES, target);
    errno = 0;
    std::ofstream probe(target, std::ios::binary | std::ios::app);
    if (!probe)
        fail(errno ? errno : EACCES, target);
}

// Removes the temporary file unless it was renamed into place.
struct TempGuard {
    fs::path path;
    bool armed = true;
    ~TempGuard() {
        if (armed) {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
};

} // namespace

void writeFileAtomically(const fs::path& target, std::string_view bytes) {
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = !ec && fs::exists(status);
    if (exists) {
        if (fs::is_directory(status))
            fail(EISDIR, target);
        checkWritable(target, status);
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // A random name beside the target: never reuse a file that is already there.
    std::random_device rd;
    fs::path tempPath;
    do {
        std::string name = target.filename().string();
        name.insert(name.begin(), '.');
        name.append(".").append(std::to_string(rd())).append(".tmp");
        tempPath = folder / name;
    } while (fs::exists(tempPath, ec));

    errno = 0;
    std::ofstream file(tempPath, std::ios::binary | std::ios::trunc);
    if (!file)
        fail(errno ? errno : EIO, target);
    TempGuard guard{tempPath};

    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    int err = file ? 0 : errno;
    file.close();
    if (!err && file.fail())
        err = errno ? errno : EIO;
    if (err || file.fail())
        fail(err ? err : EIO, target);

    // Keep the old file's permissions on its replacement.
    if (exists)
        fs::permissions(tempPath, status.permissions(), ec);

    fs::rename(tempPath, target, ec);
    if (ec)
        fail(ec, target);
    guard.armed = false;
}

} // namespace strovane::project
