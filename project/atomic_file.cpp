#include "project/atomic_file.h"

#include "platform/durable_file.h"
#include "platform/path_text.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>

namespace strovane::project {

namespace fs = std::filesystem;

namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinkHops = 40;

[[noreturn]] void fail(int err, const fs::path& path) {
    throw std::system_error(err, std::generic_category(), platform::utf8FromPath(path));
}

[[noreturn]] void fail(const std::error_code& ec, const fs::path& path) {
    throw std::system_error(ec, platform::utf8FromPath(path));
}

// Names that stand for one of the process's open streams: reopening them must not replace
// whatever the stream leads to (a pipe, a terminal, a file the shell opened).
bool isStreamAlias(const fs::path& path) {
    const std::string p = path.lexically_normal().generic_string();
    if (p == "/dev/stdout" || p == "/dev/stderr" || p == "/dev/stdin")
        return true;
    if (p.rfind("/dev/fd/", 0) == 0)
        return true;
    if (p.rfind("/proc/", 0) == 0) {
        const std::size_t fd = p.find("/fd/");
        return fd != std::string::npos && p.find('/', fd + 4) == std::string::npos;
    }
    return false;
}

// Refuses a target that a plain write would refuse. Root may write to a read-only file, so
// the permission bits are looked at as well as a trial open that changes nothing.
void checkWritable(const fs::path& target, const fs::path& reported, fs::file_status status) {
    constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & anyWrite) == fs::perms::none)
        fail(EACCES, reported);
    errno = 0;
    std::ofstream probe(target, std::ios::binary | std::ios::app);
    if (!probe)
        fail(errno ? errno : EACCES, reported);
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

// Whether `name` is ".<file>.<digits>.tmp": the name replaceRegular gives its temporary files.
bool isTempNameOf(const std::string& name, const std::string& file) {
    const std::string prefix = "." + file + ".";
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size() - suffix.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

// Removes the temporary files of earlier saves of `target` that were killed before their rename.
// Best effort: a folder that cannot be listed leaves them, and the save goes on.
void removeLeftovers(const fs::path& folder, const fs::path& target) {
    const std::string file = platform::utf8FromPath(target.filename());
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        if (isTempNameOf(platform::utf8FromPath(it->path().filename()), file) &&
            it->symlink_status(entryError).type() == fs::file_type::regular)
            platform::removeAbandonedFile(it->path());
    }
}

// Writes into whatever is open at the path (device, FIFO, stream); appending never truncates
// a file a stream alias happens to lead to.
void writeThrough(const fs::path& path, const fs::path& reported, std::string_view bytes) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        fail(errno ? errno : EIO, reported);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    const int err = out ? 0 : (errno ? errno : EIO);
    out.close();
    if (err || out.fail())
        fail(err ? err : EIO, reported);
}

void replaceRegular(const fs::path& target, const fs::path& reported, std::string_view bytes, bool exists,
                    fs::file_status status) {
    if (exists)
        checkWritable(target, reported, status);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    removeLeftovers(folder, target);

    // A random name beside the target: never reuse a file that is already there.
    std::random_device rd;
    std::error_code ec;
    fs::path tempPath;
    std::optional<platform::NewFile> file;
    do {
        std::string name = platform::utf8FromPath(target.filename());
        name.insert(name.begin(), '.');
        name.append(".").append(std::to_string(rd())).append(".tmp");
        tempPath = folder / platform::pathFromUtf8(name);
        file.emplace(tempPath, ec);
    } while (ec == std::errc::file_exists);
    if (ec)
        fail(ec, reported);
    TempGuard guard{tempPath};
    // Closed before the guard removes it: Windows does not delete a file that is open.
    const auto check = [&](const std::error_code& error) {
        if (error) {
            file.reset();
            fail(error, reported);
        }
    };

    file->write(bytes, ec);
    check(ec);
    if (exists)
        file->takeOwnerAndPermissions(target);
    // The bytes reach the disk before the name does: a power cut after the rename must not
    // leave the name on an empty file.
    file->flush(ec);
    check(ec);
    file->renameOver(target, ec);
    check(ec);
    guard.armed = false;
    platform::flushFolder(folder, ec);
    if (ec)
        fail(ec, reported);
}

} // namespace

void writeFileAtomically(const fs::path& target, std::string_view bytes) {
    fs::path path = target;
    for (int hops = 0;; ++hops) {
        if (isStreamAlias(path))
            return writeThrough(path, target, bytes);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(path, ec);
        if (status.type() == fs::file_type::not_found)
            return replaceRegular(path, target, bytes, false, status);
        if (ec)
            fail(ec, target);
        switch (status.type()) {
        case fs::file_type::symlink: {
            if (hops == kMaxLinkHops)
                fail(ELOOP, target);
            const fs::path link = fs::read_symlink(path, ec);
            if (ec)
                fail(ec, target);
            path = link.is_absolute() ? link : path.parent_path() / link;
            continue;
        }
        case fs::file_type::regular:
            return replaceRegular(path, target, bytes, true, status);
        case fs::file_type::character:
        case fs::file_type::block:
        case fs::file_type::fifo:
            return writeThrough(path, target, bytes);
        case fs::file_type::directory:
            fail(EISDIR, target);
        case fs::file_type::socket:
            throw std::system_error(std::make_error_code(std::errc::operation_not_supported),
                                    platform::utf8FromPath(target) + ": a socket, not a file");
        default:
            throw std::system_error(std::make_error_code(std::errc::operation_not_supported),
                                    platform::utf8FromPath(target) + ": not a file that can be written");
        }
    }
}

} // namespace strovane::project
