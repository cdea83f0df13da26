// strovane-cli on what is not a regular file (FIFOs, devices, the standard streams) and on a
// read-only workspace.
#include "support/file_bytes.h"
#include "support/read_only_folder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using strovane::testing::readFile;
using strovane::testing::runProcess;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

class CliPosixTest : public ::testing::Test {
protected:
    CliPosixTest() {
        fs::create_directories(m_project / "bin");
        writeFile(m_project / "TPDOs.xml", "<TPDO><row COB-ID=\"0x201\" Dimension=\"4\" Mnemonic=\"b\"/></TPDO>");
    }
    strovane::testing::ProcessRun run(const std::vector<std::string>& args) {
        return runProcess(STROVANE_CLI_PATH, args, m_dir.path());
    }
    TempDir m_dir;
    fs::path m_project = m_dir / "project";
};

TEST_F(CliPosixTest, FifoDocumentIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo((m_project / "RPDOs.xml").c_str(), 0600), 0);
    for (const char* command : {"compose", "check"}) {
        SCOPED_TRACE(command);
        const auto r = run({command, m_project.string()});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE((r.err + r.out).find((m_project / "RPDOs.xml").string() + ": not a regular file but a FIFO"),
                  std::string::npos)
            << r.err << r.out;
    }
    EXPECT_FALSE(fs::exists(m_project / "bin" / "bank.bin"));
}

TEST_F(CliPosixTest, DumpOfAnEndlessDeviceStopsAfterAnImagesWorth) {
    const auto r = run({"dump", "/dev/zero"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "/dev/zero: more than 100001 bytes; a configuration image holds at most 100001\n");
}

TEST_F(CliPosixTest, ComposeOntoDevicesAndStreamsWritesThrough) {
    const std::string image("\x0C\0\0\0\x0C\0\0\0\x0F\0\0\0\x01\x02\x04", 15);
    const auto out = run({"compose", m_project.string(), "-o", "/dev/stdout"});
    EXPECT_EQ(out.code, 0) << out.err;
    EXPECT_EQ(out.out, image);
    EXPECT_TRUE(fs::is_regular_file(m_dir / "stdout"));

    EXPECT_EQ(run({"compose", m_project.string(), "-o", "/dev/null"}).code, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(CliPosixTest, WorkspaceThatCannotBeWrittenFailsWithItsReason) {
    const fs::path ws = m_dir / "ws";
    fs::create_directories(ws / "PROJECTS");
    const auto writable = run({"workspace", "--workspace", ws.string()});
    EXPECT_EQ(writable.code, 0) << writable.err;
    for (const fs::path& readOnly : {ws, ws / "PROJECTS"}) {
        strovane::testing::ReadOnlyFolder guard(readOnly);
        if (!guard.ok())
            GTEST_SKIP() << guard.why();
        const auto r = run({"workspace", "--workspace", ws.string()});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, ws.string() + "\tnamed\n") << "the folder is still named";
        EXPECT_EQ(r.err.rfind("strovane-cli workspace: The workspace folder \"" + readOnly.string() +
                                  "\" cannot be written: ",
                              0),
                  0u)
            << r.err;
    }
    // One that does not exist yet is judged by where it would be made.
    fs::create_directories(m_dir / "locked");
    strovane::testing::ReadOnlyFolder guard(m_dir / "locked");
    if (!guard.ok())
        GTEST_SKIP() << guard.why();
    EXPECT_EQ(run({"workspace", "--workspace", (m_dir / "locked" / "ws").string()}).code, 1);
}

} // namespace
