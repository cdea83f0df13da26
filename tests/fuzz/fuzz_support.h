#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <random>
#include <vector>

// What the fuzz targets share: a scratch folder, splitting one input into several documents,
// and a check that aborts with a message, so libFuzzer keeps the input that broke a property.
namespace strovane::fuzz {

// Ends the run when a property does not hold.
#define FUZZ_ASSERT(condition)                                                                          \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);      \
            std::abort();                                                                              \
        }                                                                                              \
    } while (0)

// A folder of this process's own, in memory where the system offers it; emptied at each call and
// removed when the process ends.
inline const std::filesystem::path& scratch() {
    // Never destroyed, so the removal at exit can still use it.
    static const std::filesystem::path* const dir = [] {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        auto* d = new std::filesystem::path(base / ("strovane-fuzz-" + std::to_string(std::random_device{}())));
        std::filesystem::create_directories(*d);
        return d;
    }();
    static const bool removedAtExit = [] {
        return std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*dir, ignored);
        }) == 0;
    }();
    (void)removedAtExit;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(*dir, ec))
        std::filesystem::remove_all(entry.path(), ec);
    return *dir;
}

inline void writeBytes(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The separator between the parts of an input that stands for several documents.
inline constexpr std::string_view kSeparator = "\n=====\n";

// Splits the input into `count` parts at the separator; missing parts are empty, and the last
// part keeps any further separators.
inline std::vector<std::string> splitParts(std::string_view input, std::size_t count) {
    std::vector<std::string> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(kSeparator);
        if (at == std::string_view::npos)
            break;
        parts.emplace_back(input.substr(0, at));
        input.remove_prefix(at + kSeparator.size());
    }
    parts.emplace_back(input);
    parts.resize(count);
    return parts;
}

} // namespace strovane::fuzz
