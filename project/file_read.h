#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

// Reading the files the tool is given, bounded and without taking a failure for absence.
namespace strovane::project {

// A file that is there (or may be) but cannot be read as asked. what(): "<path>: <reason>".
struct FileReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The largest project document read: a full image is about 33,000 rows, some 2 MB as the
// editors write them, so this leaves room for long mnemonics and hand-made layouts.
inline constexpr std::size_t kMaxDocumentBytes = 16u * 1024 * 1024;
// The largest settings file read: it holds two short texts.
inline constexpr std::size_t kMaxSettingsBytes = 1024 * 1024;

// Whether something is at the path, links followed. False only when it does not exist; any
// other failure (a link loop, a folder without search permission) throws FileReadError.
bool fileExists(const std::filesystem::path& path);

// The bytes of a regular file (links followed) of at most maxBytes; nullopt when it does not
// exist. Throws FileReadError for anything else: not a regular file (a FIFO is refused at once,
// never waited on), larger than maxBytes, or unreadable.
std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

// The size of a regular file (links followed) of at most maxBytes; nullopt when it does not
// exist. Throws FileReadError like readRegularFile.
std::optional<std::size_t> regularFileSize(const std::filesystem::path& path, std::size_t maxBytes);

// Reads exactly `size` bytes of the file into `data`; FileReadError when the file is shorter,
// longer (it changed since its size was taken) or cannot be read.
void readExactly(const std::filesystem::path& path, char* data, std::size_t size);

// At most maxBytes + 1 bytes of any readable file (a device, a pipe included), so an input that
// is too long is recognised without reading all of it. Throws FileReadError when it cannot be
// opened or read, or is a folder.
std::string readAtMost(const std::filesystem::path& path, std::size_t maxBytes);

// "folder", "FIFO", "character device"... for messages about what stands at a path.
std::string fileKindName(std::filesystem::file_type type);

} // namespace strovane::project
