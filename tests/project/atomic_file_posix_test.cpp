// Writing onto what is not a regular file: devices, FIFOs and the standard streams are written
// through, never replaced. Owners and groups, and the files of saves killed midway.
#include "platform/durable_file.h"
#include "project/atomic_file.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using strovane::project::writeFileAtomically;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

// Runs `body` in a child process; how the child ended (wait status).
int inChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
}

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

TEST(AtomicFilePosixTest, ReplacementKeepsTheOwnerGroupAndPermissions) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file another owner";
    TempDir dir;
    const fs::path target = dir / "ParGen.xml";
    writeFile(target, "old");
    ASSERT_EQ(::chown(target.c_str(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(target.c_str(), 02640), 0);
    writeFileAtomically(target, "new");
    const struct stat st = statOf(target);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    EXPECT_EQ(st.st_mode & 07777, 02640u) << std::oct << (st.st_mode & 07777);
}

// A user who may not give the old owner still saves; the old group stays when the user is in it.
TEST(AtomicFilePosixTest, OwnerTheUserMayNotGiveIsLeftAndTheSaveSucceeds) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "switching to another user needs root";
    constexpr uid_t kUser = 65534;
    constexpr gid_t kUsersGroup = 65534, kOldGroup = 8765;
    struct Case {
        const char* name;
        bool inOldGroup;
        gid_t expectedGroup;
    };
    for (const Case& c : {Case{"not in the old group", false, kUsersGroup}, Case{"in the old group", true, kOldGroup}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        const fs::path target = dir / "RPDOs.xml";
        writeFile(target, "old");
        ASSERT_EQ(::chown(target.c_str(), 0, kOldGroup), 0);
        ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
        const int status = inChild([&] {
            const gid_t groups[] = {kOldGroup};
            if (::setgroups(c.inOldGroup ? 1 : 0, groups) != 0 || ::setgid(kUsersGroup) != 0 ||
                ::setuid(kUser) != 0)
                ::_exit(2);
            try {
                writeFileAtomically(target, "new");
            } catch (const std::exception&) {
                ::_exit(1);
            }
        });
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 2) << "could not switch to user " << kUser;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the save failed";
        EXPECT_EQ(readFile(target), "new");
        const struct stat st = statOf(target);
        EXPECT_EQ(st.st_uid, kUser);
        EXPECT_EQ(st.st_gid, c.expectedGroup);
        EXPECT_EQ(st.st_mode & 07777, 0666u) << std::oct << (st.st_mode & 07777);
    }
}

// The kill ends the process while its temporary file is written; the next save removes the file.
TEST(AtomicFilePosixTest, TemporaryFileOfAKilledSaveIsRemovedByTheNextSave) {
    TempDir dir;
    const fs::path target = dir / "bank.bin";
    writeFile(target, "old");
    const int status = inChild([&] {
        std::error_code ec;
        strovane::platform::NewFile file(dir / ".bank.bin.77.tmp", ec);
        file.write("par", ec);
        ::raise(SIGKILL);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(fs::exists(dir / ".bank.bin.77.tmp"));
    writeFileAtomically(target, "new");
    EXPECT_EQ(readFile(target), "new");
    EXPECT_FALSE(fs::exists(dir / ".bank.bin.77.tmp"));
}

} // namespace
