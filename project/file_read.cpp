#include "project/file_read.h"

#include "platform/path_text.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace strovane::project {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path& path, const std::string& reason) {
    throw FileReadError(platform::utf8FromPath(path) + ": " + reason);
}

[[noreturn]] void fail(const fs::path& path, int err) {
    fail(path, std::generic_category().message(err));
}

// The status with links followed; not_found only when the path does not exist.
fs::file_status statusOf(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return status;
    if (ec)
        fail(path, ec.message());
    return status;
}

// Reads up to limit bytes into out; the stream's failure other than its end is an error.
void readUpTo(std::ifstream& in, const fs::path& path, std::string& out, std::size_t limit) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (out.size() < limit) {
        const std::size_t want = std::min(kChunk, limit - out.size());
        const std::size_t had = out.size();
        out.resize(had + want);
        errno = 0;
        in.read(out.data() + had, static_cast<std::streamsize>(want));
        const auto got = static_cast<std::size_t>(in.gcount());
        out.resize(had + got);
        if (in.eof())
            return;
        if (!in)
            fail(path, errno ? errno : EIO);
    }
}

std::ifstream openForRead(const fs::path& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail(path, errno ? errno : ENOENT);
    return in;
}

std::string tooLarge(std::uintmax_t size, std::size_t maxBytes, bool exact) {
    return (exact ? std::to_string(size) : "more than " + std::to_string(maxBytes)) +
           " bytes, larger than the " + std::to_string(maxBytes) + " bytes accepted";
}

} // namespace

std::string fileKindName(fs::file_type type) {
    switch (type) {
    case fs::file_type::regular: return "regular file";
    case fs::file_type::directory: return "folder";
    case fs::file_type::symlink: return "symbolic link";
    case fs::file_type::block: return "block device";
    case fs::file_type::character: return "character device";
    case fs::file_type::fifo: return "FIFO";
    case fs::file_type::socket: return "socket";
    default: return "special file";
    }
}

bool fileExists(const fs::path& path) {
    return statusOf(path).type() != fs::file_type::not_found;
}

std::optional<std::size_t> regularFileSize(const fs::path& path, std::size_t maxBytes) {
    const fs::file_status status = statusOf(path);
    if (status.type() == fs::file_type::not_found)
        return std::nullopt;
    if (status.type() != fs::file_type::regular)
        fail(path, "not a regular file but a " + fileKindName(status.type()));
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec)
        fail(path, ec.message());
    if (size > maxBytes)
        fail(path, tooLarge(size, maxBytes, true));
    return static_cast<std::size_t>(size);
}

void readExactly(const fs::path& path, char* data, std::size_t size) {
    std::ifstream in = openForRead(path);
    errno = 0;
    in.read(data, static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in.gcount()) != size)
        fail(path, in.eof() ? std::string("the file changed while it was read") : std::generic_category().message(errno ? errno : EIO));
    if (in.peek() != std::char_traits<char>::eof())
        fail(path, "the file changed while it was read");
}

std::optional<std::string> readRegularFile(const fs::path& path, std::size_t maxBytes) {
    const std::optional<std::size_t> size = regularFileSize(path, maxBytes);
    if (!size)
        return std::nullopt;
    std::string bytes(*size, '\0');
    readExactly(path, bytes.data(), bytes.size());
    return bytes;
}

std::string readAtMost(const fs::path& path, std::size_t maxBytes) {
    if (statusOf(path).type() == fs::file_type::directory)
        fail(path, EISDIR);
    std::ifstream in = openForRead(path);
    std::string bytes;
    readUpTo(in, path, bytes, maxBytes + 1);
    return bytes;
}

} // namespace strovane::project
