#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Whole files as bytes, for arranging and checking what the tool reads and writes.
namespace strovane::testing {

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's lines without their '\n'; empty when it cannot be read.
inline std::vector<std::string> readLines(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Replaces the file's content with bytes, as they are.
inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace strovane::testing
