// Writing onto what is not a regular file: devices, FIFOs and the standard streams are written
// through, never replaced.
#include "project/atomic_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <future>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using strovane::project::writeFileAtomically;
using strovane::testing::TempDir;

TEST(AtomicFilePosixTest, CharacterDeviceIsWrittenThroughAndStaysADevice) {
    writeFileAtomically("/dev/null", "image");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(AtomicFilePosixTest, FifoReaderGetsTheBytesAndTheFifoStays) {
    TempDir dir;
    const fs::path fifo = dir / "out";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] {
        std::ifstream in(fifo, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    writeFileAtomically(fifo, std::string("\x0C\0\0\0", 4));
    EXPECT_EQ(reader.get(), std::string("\x0C\0\0\0", 4));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(AtomicFilePosixTest, LinkToAFifoIsWrittenThrough) {
    TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("pipe", dir / "bank.bin");
    auto reader = std::async(std::launch::async, [&] {
        std::ifstream in(fifo, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    writeFileAtomically(dir / "bank.bin", "xyz");
    EXPECT_EQ(reader.get(), "xyz");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(dir / "bank.bin"));
}

} // namespace
