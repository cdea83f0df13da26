#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Whole files as bytes, for arranging and checking what the tool reads and writes.
namespace strovane::testing {

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replaces the file's content with bytes, as they are.
inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace strovane::testing
