// Runs the built `strovane-cli check` as a user would: its report and exit status.
#include "support/file_bytes.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using strovane::testing::TempDir;
using CliRun = strovane::testing::ProcessRun;
using strovane::testing::runProcess;
using strovane::testing::writeFile;

constexpr const char* kGoodParGen =
    "<Par_Gen><CANopen_ID>0x7F</CANopen_ID><CANopen_Baud>7</CANopen_Baud><CANopen_Set_Ope>1</CANopen_Set_Ope>"
    "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay>255</CANopen_Delay>"
    "<CANopen_SDO_TO>50000</CANopen_SDO_TO><Serial_Serial>1</Serial_Serial><Serial_Baud>0</Serial_Baud>"
    "<Serial_Par>2</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->";
constexpr const char* kGoodReceivePdos = "<RPDO><row COB-ID=\"0\" Dimension=\"8\" Mnemonic=\"a\"/><row "
                                         "COB-ID=\"$7ff\" Dimension=\"1\" Mnemonic=\"\"/></RPDO>";
constexpr const char* kGoodTransmitPdos =
    "<TPDO><row COB-ID=\"0x7FF\" Dimension=\"4\" Mnemonic=\"b\"/></TPDO>";
// Rows 1 to 4; row 2 with COB-ID 5000 and Dimension 9, row 4 with Dimension 0.
constexpr const char* kFaultyRows = "<row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"a\"/><row "
                                    "COB-ID=\"5000\" Dimension=\"9\" Mnemonic=\"b\"/>"
                                    "<row COB-ID=\"0x183\" Dimension=\"2\" Mnemonic=\"c\"/><row "
                                    "COB-ID=\"0x184\" Dimension=\"0\" Mnemonic=\"d\"/>";

class CheckCommandTest : public ::testing::Test {
protected:
    CheckCommandTest() { fs::create_directories(m_project / "bin"); }

    void write(const std::string& name, const std::string& bytes) { writeFile(m_project / name, bytes); }
    void writeGoodProject() {
        write("ParGen.xml", kGoodParGen);
        write("RPDOs.xml", kGoodReceivePdos);
        write("TPDOs.xml", kGoodTransmitPdos);
    }
    CliRun run(const std::vector<std::string>& args) {
        return runProcess(STROVANE_CLI_PATH, args, m_dir.path());
    }
    CliRun check() {
        return run({"check", m_project.string()});
    }

    TempDir m_dir;
    fs::path m_project = m_dir / "PROJECTS" / "Line 1";
};

TEST_F(CheckCommandTest, CleanProjectPasses) {
    writeGoodProject();
    const CliRun r = check();
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "no problems found\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CheckCommandTest, NewProjectPassesAndNamesTheMissingDocuments) {
    const CliRun r = check();
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "note: ParGen.xml is missing (the dialog shows its defaults)\n"
                     "note: RPDOs.xml is missing (the editor shows an empty table)\n"
                     "note: TPDOs.xml is missing (the editor shows an empty table)\n"
                     "no problems found\n");
}

TEST_F(CheckCommandTest, EachKindOfFaultIsReportedWithFileAndRow) {
    struct Case {
        const char* name;
        const char* file;
        std::string contents;
        std::string report; // stdout less the notes of the other documents
    };
    const Case cases[] = {
        {"ranges", "ParGen.xml",
         "<Par_Gen><CANopen_ID>12 </CANopen_ID><CANopen_Delay>256</CANopen_Delay>"
         "<CANopen_SDO_TO>50001</CANopen_SDO_TO></Par_Gen>",
         "ParGen.xml: Error CANopen!! ID Device must be between 1 and 127\n"
         "ParGen.xml: Error CANopen!! Delay must be between 0 and 255\n"
         "ParGen.xml: Error CANopen!! SDO Timeout must be between 0 and 50000\n"
         "3 problems found\n"},
        {"list index", "ParGen.xml",
         "<Par_Gen><Serial_Par>5</Serial_Par><CANopen_Baud>-1</CANopen_Baud></Par_Gen>",
         "ParGen.xml: CANopen_Baud: list index -1 is outside 0 to 7 (\"20K\" to \"1000K\")\n"
         "ParGen.xml: Serial_Par: list index 5 is outside 0 to 2 (\"NONE\" to \"ODD\")\n"
         "2 problems found\n"},
        {"receive rows", "RPDOs.xml", std::string("<RPDO>") + kFaultyRows + "</RPDO>",
         "RPDOs.xml, row 2: The COB-ID must be between 0x000 and 0x7FF\n"
         "RPDOs.xml, row 2: The Dimension must be between 1 and 8\n"
         "RPDOs.xml, row 4: The Dimension must be between 1 and 8\n"
         "3 problems found\n"},
        {"transmit rows", "TPDOs.xml",
         std::string("<TPDO><row COB-ID=\"0\" Dimension=\"1\" Mnemonic=\"\"/>") + kFaultyRows + "</TPDO>",
         "TPDOs.xml, row 1: Cob-id must be between 0x001 and 0x7FF\n"
         "TPDOs.xml, row 3: Cob-id must be between 0x001 and 0x7FF\n"
         "TPDOs.xml, row 3: Dimension must be between 1 and 8\n"
         "TPDOs.xml, row 5: Dimension must be between 1 and 8\n"
         "4 problems found\n"},
        {"missing attribute", "TPDOs.xml",
         "<TPDO><row COB-ID=\"1\" Dimension=\"1\" Mnemonic=\"\"/><row COB-ID=\"2\" Dimension=\"1\"/></TPDO>",
         "TPDOs.xml, row 2: attribute \"Mnemonic\" is missing\n1 problem found\n"},
        {"malformed", "RPDOs.xml", "<RPDO><row COB-ID=\"1\" Dimension=\"1\" Mnemonic=\"\"/>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeGoodProject();
        write(c.file, c.contents);
        const CliRun r = check();
        EXPECT_EQ(r.code, 1) << r.out << r.err;
        if (!c.report.empty()) {
            EXPECT_EQ(r.out, c.report);
        } else {
            EXPECT_NE(r.out.find("RPDOs.xml"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("1 problem found\n"), std::string::npos) << r.out;
        }
    }
}

TEST_F(CheckCommandTest, TextAfterAnEmptyCobIdIsAProblem) {
    // The editor refuses the table at OK, naming both rows; values past the end are not checked.
    // Compose reads every row, so the empty COB-ID also stops it.
    writeGoodProject();
    write("TPDOs.xml",
          "<TPDO><row COB-ID=\"1\" Dimension=\"1\" Mnemonic=\"\"/><row COB-ID=\"\" Dimension=\"\" "
          "Mnemonic=\"\"/><row COB-ID=\"5000\" Dimension=\"0\" Mnemonic=\"\"/></TPDO>");
    const CliRun r = check();
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_EQ(r.out, "TPDOs.xml, row 2: the COB-ID is empty, so the table would end here, but row 3 holds text\n"
                     "TPDOs.xml, row 2: COB-ID \"\" is not a number; compose stops at this row\n"
                     "2 problems found\n");

    write("TPDOs.xml", "<TPDO><row COB-ID=\"1\" Dimension=\"1\" Mnemonic=\"\"/><row COB-ID=\"\" Dimension=\"\" "
                       "Mnemonic=\"spare\"/></TPDO>");
    EXPECT_NE(check().out.find("TPDOs.xml, row 2: the COB-ID is empty, so the table would end here, but the row "
                               "holds text\n"),
              std::string::npos);
}

TEST_F(CheckCommandTest, CleanCheckMeansComposeSucceeds) {
    auto rows = [](int count, const std::string& last) {
        std::string doc = "<RPDO>";
        for (int i = 1; i < count; ++i)
            doc += "<row COB-ID=\"" + std::to_string(i) + "\" Dimension=\"1\" Mnemonic=\"\"/>";
        return doc + last + "</RPDO>";
    };
    struct Case {
        const char* name;
        std::string receivePdos;
        int checkCode;
        int composeCode;
        const char* says;
    } const cases[] = {
        {"row 11 not a number", rows(11, "<row COB-ID=\"zz\" Dimension=\"1\" Mnemonic=\"\"/>"), 1, 1,
         "RPDOs.xml, row 11: The COB-ID must be between 0x000 and 0x7FF\n"},
        {"row 12 without Dimension", rows(12, "<row COB-ID=\"7\" Mnemonic=\"\"/>"), 1, 1,
         "RPDOs.xml, row 12: attribute \"Dimension\" is missing\n"},
        // The editor shows and checks every row, so check does too, though compose takes it.
        {"row 11 out of the editor's range", rows(11, "<row COB-ID=\"9999\" Dimension=\"0\" Mnemonic=\"\"/>"), 1,
         0, "RPDOs.xml, row 11: The COB-ID must be between 0x000 and 0x7FF\n"},
        {"twelve good rows", rows(13, ""), 0, 0, "no problems found\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeGoodProject();
        write("RPDOs.xml", c.receivePdos);
        const CliRun r = check();
        EXPECT_EQ(r.code, c.checkCode) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("note:"), std::string::npos) << r.out;
        const CliRun compose = run({"compose", m_project.string(), "-o", "-"});
        EXPECT_EQ(compose.code, c.composeCode) << compose.err;
    }
}

TEST_F(CheckCommandTest, MoreRowsThanTheImageCountsAreAWarning) {
    struct Case {
        int rows;
        const char* warning; // nullptr: none
        unsigned char countByte;
    } const cases[] = {
        {255, nullptr, 255},
        {256, "warning: RPDOs.xml holds 256 rows, more than the image's one-byte count of them can hold: it holds 0 "
              "(the low 8 bits)\n",
         0},
        {300, "warning: RPDOs.xml holds 300 rows, more than the image's one-byte count of them can hold: it holds 44 "
              "(the low 8 bits)\n",
         44},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        writeGoodProject();
        std::string doc = "<RPDO>";
        for (int i = 1; i <= c.rows; ++i)
            doc += "<row COB-ID=\"" + std::to_string(i) + "\" Dimension=\"1\" Mnemonic=\"\"/>";
        write("RPDOs.xml", doc + "</RPDO>");
        const CliRun r = check();
        EXPECT_EQ(r.code, 0) << r.out;
        EXPECT_EQ(r.out, std::string(c.warning ? c.warning : "") + "no problems found\n");
        // compose writes the image as ever: every entry, and the count's low 8 bits.
        const CliRun compose = run({"compose", m_project.string(), "-o", "-"});
        ASSERT_EQ(compose.code, 0) << compose.err;
        // The image's bytes as written (out has Windows' text line ends turned back into '\n').
        ASSERT_EQ(compose.outBytes.size(), 12 + 3u * (c.rows + 1) + 12);
        EXPECT_EQ(static_cast<unsigned char>(compose.outBytes[compose.outBytes.size() - 2]), c.countByte);
    }
}

TEST_F(CheckCommandTest, UsageErrorsAndHelp) {
    EXPECT_EQ(run({"check"}).code, 2);
    EXPECT_EQ(run({"check", "a", "b"}).code, 2);
    EXPECT_EQ(run({"check", "--bogus", m_project.string()}).code, 2);
    const CliRun help = run({"check", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: strovane-cli check PROJECT_DIR"), std::string::npos);
    const CliRun missing = run({"check", (m_dir / "nowhere").string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos);
}

} // namespace
