#include "platform/durable_file.h"
#include "platform/system.h"
#include "project/atomic_file.h"

#include "support/file_bytes.h"
#include "support/symlinks.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using strovane::project::writeFileAtomically;
using strovane::testing::readFile;
using strovane::testing::writeFile;
using strovane::testing::TempDir;

// The names in the folder, sorted.
std::vector<std::string> names(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// The error's code and that its text names the path.
void expectFailure(const fs::path& target, std::string_view bytes, std::errc code) {
    try {
        writeFileAtomically(target, bytes);
        ADD_FAILURE() << "no error for " << target;
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::make_error_code(code)) << e.what();
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(std::make_error_code(code).message()), std::string::npos)
            << e.what();
    }
}

TEST(AtomicFileTest, WritesAndReplacesWholeLeavingOnlyTheTarget) {
    TempDir dir;
    const fs::path target = dir / "bank.bin";
    const std::string binary("\x0C\0\0\0\x0D\n\r\xFF", 8);
    writeFileAtomically(target, binary);
    EXPECT_EQ(readFile(target), binary);

    writeFileAtomically(target, "ab"); // shorter: nothing of the old tail survives
    EXPECT_EQ(readFile(target), "ab");
    writeFileAtomically(target, "");
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bank.bin"});
}

TEST(AtomicFileTest, ReplacementKeepsTheOldPermissions) {
    if (strovane::platform::kWindows)
        GTEST_SKIP() << "Windows files have no permission bits besides read-only, and a read-only target is refused";
    TempDir dir;
    const fs::path target = dir / "ParGen.xml";
    writeFileAtomically(target, "old");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
    writeFileAtomically(target, "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);
}

TEST(AtomicFileTest, ReadOnlyTargetIsRefusedAndKept) {
    TempDir dir;
    const fs::path target = dir / "RPDOs.xml";
    writeFileAtomically(target, "old contents");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    expectFailure(target, "new", std::errc::permission_denied);
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_EQ(names(dir.path()), std::vector<std::string>{"RPDOs.xml"});
}

TEST(AtomicFileTest, MissingFolderFailsWithTheSystemError) {
    TempDir dir;
    expectFailure(dir / "bin" / "bank.bin", "x", std::errc::no_such_file_or_directory);
    EXPECT_TRUE(names(dir.path()).empty());
}

TEST(AtomicFileTest, FolderInTheTargetsPlaceIsRefusedAndKept) {
    TempDir dir;
    fs::create_directory(dir / "bank.bin");
    fs::create_directory(dir / "bank.bin" / "inside");
    expectFailure(dir / "bank.bin", "x", std::errc::is_a_directory);
    EXPECT_TRUE(fs::is_directory(dir / "bank.bin" / "inside"));
    EXPECT_EQ(names(dir.path()), std::vector<std::string>{"bank.bin"});
}

TEST(AtomicFileTest, SaveRemovesTheTemporaryFilesOfKilledSavesOfThatFileOnly) {
    TempDir dir;
    const fs::path target = dir / "bank.bin";
    writeFile(target, "old");
    // What a save of bank.bin killed before its rename leaves.
    for (const char* leftover : {".bank.bin.1.tmp", ".bank.bin.4294967295.tmp"})
        writeFile(dir / leftover, "part");
    // Not the exact form, or another file's.
    std::vector<std::string> kept = {".bank.bin..tmp",     ".bank.bin.12a.tmp", ".bank.bin.-3.tmp",
                                     ".bank.bin.4.TMP",    "bank.bin.5.tmp",    ".bank.bin.6.tmp.bak",
                                     ".bank.bin.7",        "x.bank.bin.8.tmp",  ".ParGen.xml.9.tmp",
                                     ".bank.bin.bak.10.tmp"};
    for (const std::string& name : kept)
        writeFile(dir / name, "user's");
    // The right name on something that is not a plain file, or on the file of a save under way.
    fs::create_directory(dir / ".bank.bin.11.tmp");
    kept.push_back(".bank.bin.11.tmp");
    std::error_code ec;
    strovane::platform::NewFile underWay(dir / ".bank.bin.12.tmp", ec);
    ASSERT_FALSE(ec) << ec.message();
    kept.push_back(".bank.bin.12.tmp");
    if (strovane::testing::symlinksAvailable()) {
        writeFile(dir / "elsewhere.bin", "user's");
        fs::create_symlink("elsewhere.bin", dir / ".bank.bin.13.tmp");
        kept.push_back("elsewhere.bin");
        kept.push_back(".bank.bin.13.tmp");
    }

    writeFileAtomically(target, "new");
    EXPECT_EQ(readFile(target), "new");
    kept.push_back("bank.bin");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names(dir.path()), kept);
    for (const std::string& name : kept) {
        if (name != "bank.bin" && name != ".bank.bin.12.tmp" && fs::is_regular_file(dir / name)) {
            EXPECT_EQ(readFile(dir / name), "user's") << name;
        }
    }
}

TEST(AtomicFileTest, SymlinkIsFollowedAndKept) {
    if (!strovane::testing::symlinksAvailable())
        GTEST_SKIP() << strovane::testing::kNoSymlinks;
    // The link stays a link; the file at the end of the chain gets the new bytes.
    struct Case {
        const char* name;
        bool relative;
        bool chained;
    };
    const Case cases[] = {{"absolute", false, false}, {"relative", true, false}, {"chain", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::create_directory(dir / "real");
        writeFile(dir / "real" / "bank.bin", "old");
        const fs::path real = c.relative ? fs::path("real") / "bank.bin" : dir / "real" / "bank.bin";
        fs::path link = dir / "bank.bin";
        if (c.chained) {
            fs::create_symlink(real, dir / "middle");
            fs::create_symlink("middle", link);
        } else {
            fs::create_symlink(real, link);
        }
        writeFileAtomically(link, "new");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(readFile(dir / "real" / "bank.bin"), "new");
        EXPECT_EQ(names(dir / "real"), std::vector<std::string>{"bank.bin"});
    }
}

TEST(AtomicFileTest, DanglingSymlinkCreatesItsTarget) {
    if (!strovane::testing::symlinksAvailable())
        GTEST_SKIP() << strovane::testing::kNoSymlinks;
    TempDir dir;
    fs::create_symlink("made.bin", dir / "bank.bin");
    writeFileAtomically(dir / "bank.bin", "abc");
    EXPECT_TRUE(fs::is_symlink(dir / "bank.bin"));
    EXPECT_EQ(readFile(dir / "made.bin"), "abc");
}

TEST(AtomicFileTest, SymlinkLoopIsRefused) {
    if (!strovane::testing::symlinksAvailable())
        GTEST_SKIP() << strovane::testing::kNoSymlinks;
    TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    expectFailure(dir / "a", "x", std::errc::too_many_symbolic_link_levels);
    EXPECT_TRUE(fs::is_symlink(dir / "a"));
    EXPECT_TRUE(fs::is_symlink(dir / "b"));
}

} // namespace
