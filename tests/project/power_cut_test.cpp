// A save that reported success survives a power cut. The file system lives in an image file,
// loop-mounted; the cut is a copy of the image taken right after another file's fsync has
// committed the journal (the rename of the save with it) while the file system stays mounted, so
// the copy holds only what reached the image. Mounted again, with its journal replayed, the copy
// must show the new file whole. Needs root, loop devices and the mkfs tools; skipped otherwise.
#include "project/atomic_file.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using strovane::project::writeFileAtomically;
using strovane::testing::readFile;
using strovane::testing::TempDir;

// Runs a shell command quietly; its exit status.
int run(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

bool haveProgram(const std::string& name) {
    return run("PATH=\"$PATH:/sbin:/usr/sbin\" command -v " + name) == 0;
}

// Why loop mounts with `mkfs` cannot be made here; nullopt when they can be tried.
std::optional<std::string> missingForLoopMounts(const std::string& mkfs) {
    if (::geteuid() != 0)
        return "loop mounts need root";
    if (!fs::exists("/dev/loop-control"))
        return "no loop devices (/dev/loop-control)";
    if (!haveProgram(mkfs))
        return mkfs + " is not installed";
    if (!haveProgram("mount") || !haveProgram("umount"))
        return "mount is not installed";
    return std::nullopt;
}

// A file system mounted for the length of a test.
class Mount {
public:
    // `arguments`: the type and options as mount takes them ("-o loop", "-t tmpfs -o size=1m").
    Mount(const fs::path& source, const fs::path& dir, const std::string& arguments) : m_dir(dir) {
        fs::create_directories(dir);
        m_mounted = run("mount " + arguments + " " + quoted(source) + " " + quoted(dir)) == 0;
    }
    ~Mount() {
        if (m_mounted && run("umount " + quoted(m_dir)) != 0)
            run("umount -l " + quoted(m_dir));
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    bool mounted() const { return m_mounted; }

private:
    fs::path m_dir;
    bool m_mounted = false;
};

void makeSparseFile(const fs::path& p, std::uintmax_t size) {
    { std::ofstream create(p, std::ios::binary); }
    fs::resize_file(p, size);
}

// Copies the image as it stands, holes left as holes: what the loop device wrote is in the
// image file; what the mounted file system still holds in memory is not.
void copyImage(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(in, 0) << from << ": " << std::strerror(errno);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(out, 0) << to << ": " << std::strerror(errno);
    struct stat st {};
    ASSERT_EQ(::fstat(in, &st), 0);
    ASSERT_EQ(::ftruncate(out, st.st_size), 0);
    std::vector<char> buffer(1 << 20);
    for (off_t data = ::lseek(in, 0, SEEK_DATA); data >= 0 && data < st.st_size;
         data = ::lseek(in, data, SEEK_DATA)) {
        const off_t hole = ::lseek(in, data, SEEK_HOLE);
        while (data < hole) {
            const ssize_t n = ::pread(in, buffer.data(), std::min<off_t>(hole - data, buffer.size()), data);
            ASSERT_GT(n, 0) << std::strerror(errno);
            ASSERT_EQ(::pwrite(out, buffer.data(), n, data), n) << std::strerror(errno);
            data += n;
        }
    }
    ::close(in);
    ::close(out);
}

// Commits the file system's journal the way an unrelated program does: by flushing a file of its own.
void fsyncAnotherFile(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    ASSERT_EQ(::write(fd, "x", 1), 1);
    ASSERT_EQ(::fsync(fd), 0) << std::strerror(errno);
    ::close(fd);
}

void syncFileSystem(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::syncfs(fd), 0);
    ::close(fd);
}

// bank.bin of the largest project the editors make: offsets, 20 entries, the parameter block.
std::string imageBytes(char fill) {
    std::string bytes("\x0C\0\0\0\x2A\0\0\0\x48\0\0\0", 12);
    bytes.append(84 - bytes.size(), fill);
    return bytes;
}

struct FileSystem {
    const char* name;
    const char* mkfs;
    const char* mkfsOptions;
    std::uintmax_t size; // xfs refuses file systems under 300 MiB
    const char* mountOptions;
    const char* copyMountOptions; // xfs refuses a second file system with the same UUID
};

struct PowerCutCase {
    const FileSystem* fileSystem;
    bool overwriting;
};

void PrintTo(const PowerCutCase& c, std::ostream* os) {
    *os << c.fileSystem->name << (c.overwriting ? ", overwriting" : ", first time");
}

// ext4's noauto_da_alloc turns off the flush ext4 otherwise makes on a rename over a file.
const FileSystem kFileSystems[] = {
    {"xfs", "mkfs.xfs", "-q -f", 320u << 20, "-o loop", "-o loop,nouuid"},
    {"ext4", "mkfs.ext4", "-q -F", 64u << 20, "-o loop,noauto_da_alloc", "-o loop"},
};

class PowerCutTest : public ::testing::TestWithParam<PowerCutCase> {};

TEST_P(PowerCutTest, SavedFileIsWholeOnTheDiskAfterTheCut) {
    const FileSystem& fsys = *GetParam().fileSystem;
    if (const auto missing = missingForLoopMounts(fsys.mkfs))
        GTEST_SKIP() << missing.value();
    TempDir dir;
    const fs::path image = dir / "disk.img";
    makeSparseFile(image, fsys.size);
    ASSERT_EQ(run(std::string("PATH=\"$PATH:/sbin:/usr/sbin\" ") + fsys.mkfs + " " + fsys.mkfsOptions + " " +
                  quoted(image)),
              0);
    Mount disk(image, dir / "disk", fsys.mountOptions);
    if (!disk.mounted())
        GTEST_SKIP() << "the system refused to mount a loop device (" << fsys.mountOptions << ")";

    const fs::path bin = dir / "disk" / "bin";
    fs::create_directory(bin);
    if (GetParam().overwriting) {
        writeFileAtomically(bin / "bank.bin", imageBytes('O'));
        syncFileSystem(bin);
    }
    const std::string saved = imageBytes('N');
    writeFileAtomically(bin / "bank.bin", saved);

    fsyncAnotherFile(dir / "disk" / "other");
    copyImage(image, dir / "cut.img");

    Mount cut(dir / "cut.img", dir / "after", fsys.copyMountOptions);
    ASSERT_TRUE(cut.mounted()) << "the copy does not mount";
    EXPECT_EQ(readFile(dir / "after" / "bin" / "bank.bin"), saved);
}

std::vector<PowerCutCase> powerCutCases() {
    std::vector<PowerCutCase> cases;
    for (const FileSystem& f : kFileSystems)
        for (bool overwriting : {false, true})
            cases.push_back({&f, overwriting});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(FileSystems, PowerCutTest, ::testing::ValuesIn(powerCutCases()),
                         [](const ::testing::TestParamInfo<PowerCutCase>& info) {
                             return std::string(info.param.fileSystem->name) +
                                    (info.param.overwriting ? "_Overwriting" : "_FirstTime");
                         });

// The disk behind the file system is full (its image lies on a small tmpfs), so the data cannot
// be written back: the flush fails, and the save with it, leaving the old file in place.
TEST(PowerCutFlushTest, FailedFlushIsAFailedSave) {
    if (const auto missing = missingForLoopMounts("mkfs.ext4"))
        GTEST_SKIP() << missing.value();
    TempDir dir;
    Mount small("tmpfs", dir / "small", "-t tmpfs -o size=24m");
    if (!small.mounted())
        GTEST_SKIP() << "the system refused to mount a tmpfs";
    const fs::path image = dir / "small" / "disk.img";
    makeSparseFile(image, 128u << 20);
    ASSERT_EQ(run("PATH=\"$PATH:/sbin:/usr/sbin\" mkfs.ext4 -q -F " + quoted(image)), 0);
    Mount disk(image, dir / "disk", "-o loop");
    if (!disk.mounted())
        GTEST_SKIP() << "the system refused to mount a loop device";

    const fs::path target = dir / "disk" / "bank.bin";
    writeFileAtomically(target, "old");
    syncFileSystem(dir / "disk");
    try {
        writeFileAtomically(target, std::string(40u << 20, 'N'));
        ADD_FAILURE() << "a save whose data could not reach the disk reported success";
    } catch (const std::system_error& e) {
        EXPECT_TRUE(e.code() == std::errc::no_space_on_device || e.code() == std::errc::io_error) << e.what();
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
    const std::string kept = readFile(target);
    EXPECT_TRUE(kept == "old") << "the file holds " << kept.size() << " bytes instead of the old 3";
}

} // namespace
