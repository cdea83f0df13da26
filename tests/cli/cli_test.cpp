#include "support/symlinks.h"
#include "support/file_bytes.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using strovane::testing::TempDir;
using CliRun = strovane::testing::ProcessRun;
using strovane::testing::readFile;
using strovane::testing::runProcess;
using strovane::testing::writeFile;

constexpr const char* kParGen =
    "<Par_Gen><CANopen_ID>10</CANopen_ID><CANopen_Baud>7</CANopen_Baud><CANopen_Set_Ope>0</CANopen_Set_Ope>"
    "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay>0</CANopen_Delay>"
    "<CANopen_SDO_TO>10000</CANopen_SDO_TO><Serial_Serial>0</Serial_Serial><Serial_Baud>7</Serial_Baud>"
    "<Serial_Par>0</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->";
constexpr const char* kReceivePdos = "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"a\"/><row "
                                     "COB-ID=\"386\" Dimension=\"2\" Mnemonic=\"\"/></RPDO>";
constexpr const char* kTransmitPdos = "<TPDO><row COB-ID=\"0x201\" Dimension=\"4\" Mnemonic=\"b\"/></TPDO>";
const std::string kWorkedExample("\x0C\0\0\0\x12\0\0\0\x15\0\0\0\x81\x01\x08\x82\x01\x02\x01\x02\x04"
                                 "\x0A\x07\0\0\0\x10\x27\0\x07\0\x02\x01",
                                 33);

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        fs::create_directories(m_project / "bin");
        write("ParGen.xml", kParGen);
        write("RPDOs.xml", kReceivePdos);
        write("TPDOs.xml", kTransmitPdos);
    }
    void write(const std::string& name, const std::string& bytes) { writeFile(m_project / name, bytes); }
    CliRun run(const std::vector<std::string>& args) {
        return runProcess(STROVANE_CLI_PATH, args, m_dir.path());
    }
    fs::path bank() const { return m_project / "bin" / "bank.bin"; }

    TempDir m_dir;
    fs::path m_project = m_dir / "PROJECTS" / "Line 1";
};

TEST_F(CliTest, ComposeWritesBankBinAsUpdateDeviceDoes) {
    const CliRun r = run({"compose", m_project.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(bank()), kWorkedExample);
    // Composing again gives the same bytes.
    EXPECT_EQ(run({"compose", m_project.string()}).code, 0);
    EXPECT_EQ(readFile(bank()), kWorkedExample);
}

TEST_F(CliTest, DocumentsThatBeginWithADeclarationComposeAndCheckAsWithout) {
    const std::string prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- exported -->\n";
    write("ParGen.xml", prolog + kParGen);
    write("RPDOs.xml", prolog + kReceivePdos);
    write("TPDOs.xml", prolog + kTransmitPdos);
    const CliRun r = run({"compose", m_project.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readFile(bank()), kWorkedExample);
    // The rows are read, so a bad one is found.
    write("RPDOs.xml", prolog + "<RPDO><row COB-ID=\"zz\" Dimension=\"8\" Mnemonic=\"a\"/></RPDO>");
    const CliRun check = run({"check", m_project.string()});
    EXPECT_EQ(check.code, 1) << check.out;
    EXPECT_NE(check.out.find("RPDOs.xml, row 1: The COB-ID must be between 0x000 and 0x7FF"), std::string::npos)
        << check.out;
}

TEST_F(CliTest, ComposeToAnotherFileOrStandardOutput) {
    const fs::path other = m_dir / "image.bin";
    EXPECT_EQ(run({"compose", "-o", other.string(), m_project.string()}).code, 0);
    EXPECT_EQ(readFile(other), kWorkedExample);
    EXPECT_FALSE(fs::exists(bank()));

    const CliRun r = run({"compose", m_project.string(), "-o", "-"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.outBytes, kWorkedExample) << "the image passes byte for byte";
    EXPECT_FALSE(fs::exists(bank()));
}

TEST_F(CliTest, BadInputFailsWithTheWindowsMessageAndKeepsTheOldImage) {
    struct Case {
        const char* name;
        const char* file; // document to replace, or nullptr
        const char* contents;
        std::string message; // the whole of stderr, less the line end
    };
    const std::string parGenPath = (m_project / "ParGen.xml").string();
    const Case cases[] = {
        {"missing Dimension", "RPDOs.xml",
         "<RPDO><row COB-ID=\"1\" Dimension=\"1\"/><row COB-ID=\"2\" Dimension=\"1\"/><row COB-ID=\"3\"/></RPDO>",
         "RPDOs.xml, row 3: attribute \"Dimension\" is missing"},
        {"COB-ID not a number", "TPDOs.xml", "<TPDO><row COB-ID=\"1\" Dimension=\"1\"/><row COB-ID=\"0x\" Dimension=\"1\"/></TPDO>",
         "TPDOs.xml, row 2: COB-ID \"0x\" is not a number"},
        {"malformed ParGen.xml", "ParGen.xml", "<Par_Gen>\n<CANopen_ID>1</CANopen_Baud>",
         parGenPath + ": the end tag </CANopen_Baud> does not match <CANopen_ID> at line 2, column 14"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("ParGen.xml", kParGen);
        write("RPDOs.xml", kReceivePdos);
        write("TPDOs.xml", kTransmitPdos);
        writeFile(bank(), "older image");
        write(c.file, c.contents);
        const CliRun r = run({"compose", m_project.string()});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readFile(bank()), "older image");
    }
}

TEST_F(CliTest, UnwritableImageFailsWithThePathAndTheSystemError) {
    writeFile(bank(), "older image");
    fs::permissions(bank(), fs::perms::owner_read);
    CliRun r = run({"compose", m_project.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, bank().string() + ": Permission denied\n");
    EXPECT_EQ(readFile(bank()), "older image");

    fs::permissions(bank(), fs::perms::owner_write, fs::perm_options::add); // Windows removes no read-only file
    fs::remove(bank());
    fs::remove(m_project / "bin");
    r = run({"compose", m_project.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, bank().string() + ": No such file or directory\n");

    r = run({"compose", (m_dir / "missing").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, (m_dir / "missing").string() + ": No such file or directory\n");
}

TEST_F(CliTest, CommandLineMistakesExitTwoWithUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"compose"},
        {"compose", "a", "b"},
        {"compose", "a", "-o"},
        {"compose", "a", "-o", "x", "-o", "y"},
        {"compose", "--force", "a"},
        {"dump"},
        {"dump", "a", "b"},
        {"dump", "--xml", "a"},
    };
    for (const auto& args : cases) {
        const CliRun r = run(args);
        std::string shown;
        for (const auto& a : args)
            shown += a + " ";
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_NE(r.err.find("Usage: strovane-cli"), std::string::npos) << shown << r.err;
        EXPECT_EQ(r.out, "") << shown;
    }
    EXPECT_FALSE(fs::exists(bank()));
}

TEST_F(CliTest, HelpOnEveryCommand) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--help"}, "Usage: strovane-cli COMMAND"},
        {{"compose", "--help"}, "Usage: strovane-cli compose PROJECT_DIR [-o FILE]"},
        {{"compose", m_project.string(), "-h"}, "Usage: strovane-cli compose"},
        {{"dump", "--help"}, "Usage: strovane-cli dump FILE [--json]"},
    };
    for (const auto& [args, usage] : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0) << usage;
        EXPECT_EQ(r.out.rfind(usage, 0), 0u) << r.out;
    }
    const CliRun top = run({"--help"});
    EXPECT_NE(top.out.find("  compose "), std::string::npos);
    EXPECT_NE(top.out.find("  dump "), std::string::npos);
    EXPECT_FALSE(fs::exists(bank())); // help composes nothing
}

TEST_F(CliTest, DumpDecodesTheWorkedExample) {
    ASSERT_EQ(run({"compose", m_project.string()}).code, 0);
    const CliRun r = run({"dump", bank().string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, bank().string() + ": 33 bytes\n"
                                       "header: receive entries at 12, transmit entries at 18, parameter block at 21\n"
                                       "receive entries: 2 at offset 12\n"
                                       "  1  COB-ID 0x181 (385)  dimension 8\n"
                                       "  2  COB-ID 0x182 (386)  dimension 2\n"
                                       "transmit entries: 1 at offset 18\n"
                                       "  1  COB-ID 0x201 (513)  dimension 4\n"
                                       "parameter block:\n"
                                       "  node ID             10\n"
                                       "  CANopen baud rate   1000K (7)\n"
                                       "  set operational     0\n"
                                       "  network state       0\n"
                                       "  start-up delay      0 s\n"
                                       "  SDO timeout         10000 (1/10 ms)\n"
                                       "  serial              RS232 (0)\n"
                                       "  serial baud rate    115200 (7)\n"
                                       "  parity              NONE (0)\n"
                                       "  receive count       2\n"
                                       "  transmit count      1\n");

    const CliRun j = run({"dump", "--json", bank().string()});
    EXPECT_EQ(j.code, 0);
    for (const char* part : {"\"length\": 33", "{\"receiveOffset\": 12, \"receiveEnd\": 18, \"transmitEnd\": 21}",
                             "{\"index\": 2, \"cobId\": 386, \"cobIdHex\": \"0x182\", \"dimension\": 2}",
                             "\"canopenBaud\": {\"index\": 7, \"name\": \"1000K\"}",
                             "\"parity\": {\"index\": 0, \"name\": \"NONE\"}", "\"transmitCount\": 1"})
        EXPECT_NE(j.out.find(part), std::string::npos) << part << "\n" << j.out;
}

TEST_F(CliTest, DumpSaysWhenThereIsNoParameterBlock) {
    fs::remove(m_project / "ParGen.xml");
    ASSERT_EQ(run({"compose", m_project.string()}).code, 0);
    const CliRun r = run({"dump", bank().string()});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("parameter block: none"), std::string::npos) << r.out;
    const CliRun j = run({"dump", bank().string(), "--json"});
    EXPECT_NE(j.out.find("\"parameters\": null"), std::string::npos) << j.out;
}

TEST_F(CliTest, DumpRejectsInconsistentImages) {
    struct Case {
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {kWorkedExample.substr(0, 32), "the image has 32 bytes; its header gives 21 without the parameter block or 33 with it"},
        {kWorkedExample.substr(0, 8), "the image has 8 bytes, shorter than its 12-byte header"},
        {std::string("\x0D\0\0\0\x0C\0\0\0\x0C\0\0\0", 12), "the receive entries' offset is 13, not 12"},
        {std::string("\x0C\0\0\0\x0D\0\0\0\x0D\0\0\0\0", 13), "the end of the receive entries (13) is not 12 plus a whole number of 3-byte entries"},
        {std::string("\x0C\0\0\0\x0F\0\0\0\x0C\0\0\0\0\0\0", 15),
         "the end of the transmit entries (12) is not the end of the receive entries (15) plus a whole number of 3-byte entries"},
    };
    const fs::path file = m_dir / "bad.bin";
    for (const Case& c : cases) {
        writeFile(file, c.bytes);
        const CliRun r = run({"dump", file.string()});
        EXPECT_EQ(r.code, 1) << c.reason;
        EXPECT_EQ(r.err, file.string() + ": " + c.reason + "\n");
        EXPECT_EQ(r.out, "");
    }
    const CliRun missing = run({"dump", (m_dir / "none.bin").string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, (m_dir / "none.bin").string() + ": No such file or directory\n");
}

TEST_F(CliTest, ErrorsAreOneLineWithQuotedTextEscapedAndCut) {
    const std::string longValue = "&#10;&#13;&#9;" + std::string(300, 'x');
    write("RPDOs.xml", "<RPDO><row COB-ID=\"" + longValue + "\" Dimension=\"1\"/></RPDO>");
    const CliRun r = run({"compose", m_project.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "RPDOs.xml, row 1: COB-ID \"\\n\\r\\t" + std::string(57, 'x') + "...\" is not a number\n");

    const CliRun folder = run({"compose", (m_dir / "two\nlines\x07").string()});
    EXPECT_EQ(folder.code, 1);
    EXPECT_EQ(folder.err, (m_dir / "two\\nlines\\x07").string() + ": No such file or directory\n");

    const CliRun command = run({"bogus\x1B[2J"});
    EXPECT_EQ(command.code, 2);
    EXPECT_EQ(command.err.substr(0, command.err.find('\n')), "strovane-cli: unknown command \"bogus\\x1B[2J\"");
}

TEST_F(CliTest, DumpJsonStaysValidForNamesThatAreNotUtf8) {
    if (strovane::platform::kWindows)
        GTEST_SKIP() << "Windows file names are UTF-16 text: every one has a UTF-8 spelling";
    const fs::path file = m_dir / "bank\xFF\xC3.bin";
    ASSERT_EQ(run({"compose", m_project.string(), "-o", file.string()}).code, 0);
    const CliRun j = run({"dump", file.string(), "--json"});
    EXPECT_EQ(j.code, 0) << j.err;
    EXPECT_NE(j.out.find("bank\\uFFFD\\uFFFD.bin\""), std::string::npos) << j.out;
    EXPECT_EQ(j.out.find('\xFF'), std::string::npos);
}

TEST_F(CliTest, FolderNamesOutsideASCIIAreTakenAndReportedAsTyped) {
    const auto utf8 = [](const fs::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    const fs::path project = m_dir / "PROJECTS" / fs::path(u8"caf\u00e9 \u03a9");
    fs::create_directories(project / "bin");
    for (const char* name : {"ParGen.xml", "RPDOs.xml", "TPDOs.xml"})
        fs::copy_file(m_project / name, project / name);
    const CliRun r = run({"compose", utf8(project)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readFile(project / "bin" / "bank.bin"), kWorkedExample);
    EXPECT_EQ(run({"check", utf8(project)}).code, 0);

    const fs::path missing = m_dir.path() / fs::path(u8"\u00f1ame \u03a9");
    const CliRun absent = run({"compose", utf8(missing)});
    EXPECT_EQ(absent.code, 1);
    EXPECT_NE(absent.err.find(utf8(missing) + ": "), std::string::npos) << absent.err;
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CliTest, DumpReadsNoMoreThanAnImageCanHold) {
    const fs::path file = m_dir / "big.bin";
    writeFile(file, std::string(100002, '\0'));
    const CliRun r = run({"dump", file.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, file.string() + ": 100002 bytes; a configuration image holds at most 100001\n");
}

TEST_F(CliTest, DocumentThatCannotBeExaminedIsAnErrorNotAbsent) {
    if (!strovane::testing::symlinksAvailable())
        GTEST_SKIP() << strovane::testing::kNoSymlinks;
    fs::remove(m_project / "RPDOs.xml");
    fs::create_symlink("RPDOs.xml", m_project / "RPDOs.xml"); // a loop
    writeFile(bank(), "older image");
    const CliRun compose = run({"compose", m_project.string()});
    EXPECT_EQ(compose.code, 1);
    EXPECT_NE(compose.err.find((m_project / "RPDOs.xml").string() + ": "), std::string::npos) << compose.err;
    EXPECT_EQ(readFile(bank()), "older image");

    const CliRun check = run({"check", m_project.string()});
    EXPECT_EQ(check.code, 1);
    EXPECT_EQ(check.out.find("no problems found"), std::string::npos) << check.out;
}

} // namespace
