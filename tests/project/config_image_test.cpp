#include "project/config_image.h"
#include "project/par_gen.h"
#include "project/pdo_document.h"
#include "project/xml.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace strovane::project;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;
using Bytes = std::vector<std::uint8_t>;

Bytes hex(const std::string& text) {
    std::istringstream in(text);
    Bytes out;
    unsigned v;
    while (in >> std::hex >> v)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

std::string parGen(const std::string& replace = {}, const std::string& with = {}) {
    std::string doc =
        "<Par_Gen><CANopen_ID>10</CANopen_ID><CANopen_Baud>7</CANopen_Baud><CANopen_Set_Ope>0</CANopen_Set_Ope>"
        "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay>0</CANopen_Delay>"
        "<CANopen_SDO_TO>10000</CANopen_SDO_TO><Serial_Serial>0</Serial_Serial><Serial_Baud>7</Serial_Baud>"
        "<Serial_Par>0</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->";
    if (!replace.empty())
        doc.replace(doc.find(replace), replace.size(), with);
    return doc;
}

constexpr const char* kExampleReceivePdos =
    "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"a\"/><row COB-ID=\"386\" Dimension=\"2\" "
    "Mnemonic=\"\"/></RPDO>";
constexpr const char* kExampleTransmitPdos =
    "<TPDO><row COB-ID=\"0x201\" Dimension=\"4\" Mnemonic=\"b\"/></TPDO>";
constexpr const char* kFreshBlock = "0A 07 00 00 00 10 27 00 07 00";

class ConfigImageTest : public ::testing::Test {
protected:
    ConfigImageTest() { fs::create_directory(m_dir / "bin"); }
    void write(const std::string& name, const std::string& bytes) { writeFile(m_dir / name, bytes); }
    Bytes compose() {
        m_image.composeFrom(ProjectFiles::inFolder(m_dir.path()));
        return {m_image.bytes().begin(), m_image.bytes().end()};
    }
    TempDir m_dir;
    ConfigImage m_image;
};

struct GoldenCase {
    const char* name;
    const char* parGen; // nullptr: no such file
    const char* receivePdos;
    const char* transmitPdos;
    std::string expected;
};

TEST_F(ConfigImageTest, GoldenImages) {
    const std::string fresh = parGen();
    const std::string longSdoTimeout = parGen("10000", "50000");
    const std::string setOperationalTwo = parGen("<CANopen_Set_Ope>0", "<CANopen_Set_Ope>2");
    const std::string parNotNumber = parGen("<Serial_Par>0", "<Serial_Par>odd");
    const std::string parMissing = parGen("<Serial_Par>0</Serial_Par>", "");
    const std::string narrowed = parGen("<CANopen_ID>10", "<CANopen_ID>-1");
    const std::string reordered =
        "<Par_Gen><Serial_Par>0</Serial_Par><x/><Serial_Baud>7</Serial_Baud><Serial_Serial>0</Serial_Serial>"
        "<CANopen_SDO_TO>10000</CANopen_SDO_TO><CANopen_Delay>0</CANopen_Delay><Other>1</Other>"
        "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Set_Ope>0</CANopen_Set_Ope>"
        "<CANopen_Baud>7</CANopen_Baud><CANopen_ID>10</CANopen_ID></Par_Gen>";
    const std::string declared = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + parGen("<CANopen_ID>10", "<CANopen_ID>99");
    const std::string unusual = "<Par_Gen><CANopen_ID>0x7f</CANopen_ID><CANopen_Baud>$3</CANopen_Baud>"
                                "<CANopen_Delay>256</CANopen_Delay><CANopen_SDO_TO>70000</CANopen_SDO_TO>"
                                "<Serial_Serial><![CDATA[1]]></Serial_Serial><Serial_Baud><b>2</b></Serial_Baud>"
                                "<CANopen_Set_Ope_Net>1</CANopen_Set_Ope_Net></Par_Gen>";
    const std::string exampleHeaderAndEntries =
        "0C 00 00 00 12 00 00 00 15 00 00 00 81 01 08 82 01 02 01 02 04 ";

    const GoldenCase cases[] = {
        {"worked example", fresh.c_str(), kExampleReceivePdos, kExampleTransmitPdos,
         exampleHeaderAndEntries + kFreshBlock + " 02 01"},
        {"no documents", nullptr, nullptr, nullptr, "0C 00 00 00 0C 00 00 00 0C 00 00 00"},
        {"only ParGen.xml", fresh.c_str(), nullptr, nullptr,
         std::string("0C 00 00 00 0C 00 00 00 0C 00 00 00 ") + kFreshBlock + " 00 00"},
        {"PDO documents only", nullptr, kExampleReceivePdos, kExampleTransmitPdos,
         "0C 00 00 00 12 00 00 00 15 00 00 00 81 01 08 82 01 02 01 02 04"},
        {"missing RPDOs.xml", fresh.c_str(), nullptr, kExampleTransmitPdos,
         std::string("0C 00 00 00 0C 00 00 00 0F 00 00 00 01 02 04 ") + kFreshBlock + " 00 01"},
        {"SDO timeout 50000", longSdoTimeout.c_str(), nullptr, nullptr,
         "0C 00 00 00 0C 00 00 00 0C 00 00 00 0A 07 00 00 00 50 C3 00 07 00 00 00"},
        {"set operational 2", setOperationalTwo.c_str(), nullptr, nullptr,
         "0C 00 00 00 0C 00 00 00 0C 00 00 00 0A 07 02 00 00 10 27 00 07 00 00 00"},
        {"parity not a number", parNotNumber.c_str(), nullptr, nullptr,
         std::string("0C 00 00 00 0C 00 00 00 0C 00 00 00 ") + kFreshBlock + " 00 00"},
        {"parity missing", parMissing.c_str(), nullptr, nullptr,
         std::string("0C 00 00 00 0C 00 00 00 0C 00 00 00 ") + kFreshBlock + " 00 00"},
        {"ID narrowed to 8 bits", narrowed.c_str(), nullptr, nullptr,
         "0C 00 00 00 0C 00 00 00 0C 00 00 00 FF 07 00 00 00 10 27 00 07 00 00 00"},
        {"reordered and extra elements", reordered.c_str(), kExampleReceivePdos, kExampleTransmitPdos,
         exampleHeaderAndEntries + kFreshBlock + " 02 01"},
        {"declaration first: read as without", declared.c_str(),
         "<?xml version=\"1.0\"?><RPDO><row COB-ID=\"1\" Dimension=\"1\"/></RPDO>", nullptr,
         "0C 00 00 00 0F 00 00 00 0F 00 00 00 01 00 01 63 07 00 00 00 10 27 00 07 00 01 00"},
        {"hex, narrowing, CDATA, unreadable key", unusual.c_str(), nullptr, nullptr,
         "0C 00 00 00 0C 00 00 00 0C 00 00 00 7F 03 00 01 00 70 11 01 07 00 00 00"},
        {"other root names", fresh.c_str(), "<TPDO><row COB-ID=\"0x181\" Dimension=\"8\"/></TPDO>",
         "<Par_Gen><entry Dimension=\"260\" COB-ID=\"-1\"/></Par_Gen>",
         std::string("0C 00 00 00 0F 00 00 00 12 00 00 00 81 01 08 FF FF 04 ") + kFreshBlock + " 01 01"},
        {"four spellings of 0x181", nullptr,
         "<RPDO><row COB-ID=\"$181\" Dimension=\"1\"/><row COB-ID=\"x181\" Dimension=\"1\"/>"
         "<row COB-ID=\"0x181\" Dimension=\"1\"/><row COB-ID=\"385\" Dimension=\"1\"/></RPDO>",
         nullptr, "0C 00 00 00 18 00 00 00 18 00 00 00 81 01 01 81 01 01 81 01 01 81 01 01"},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"ParGen.xml", "RPDOs.xml", "TPDOs.xml"})
            fs::remove(m_dir / name);
        if (c.parGen)
            write("ParGen.xml", c.parGen);
        if (c.receivePdos)
            write("RPDOs.xml", c.receivePdos);
        if (c.transmitPdos)
            write("TPDOs.xml", c.transmitPdos);
        EXPECT_EQ(compose(), hex(c.expected));
        // The header and length agree with each other.
        if (!c.parGen) {
            EXPECT_EQ(m_image.length(), m_image.buffer()[8] | m_image.buffer()[9] << 8);
        }
    }
}

TEST_F(ConfigImageTest, DocumentsAsTheEditorsWriteThemComposeTheWorkedExample) {
    writeParGen(m_dir / "ParGen.xml", ParGenValues{});
    writePdoTable(m_dir / "RPDOs.xml", kReceiveRoot, {{"0x181", "8", "speed"}, {"386", "2", ""}});
    writePdoTable(m_dir / "TPDOs.xml", kTransmitRoot, {{"0x201", "4", ""}});
    const Bytes first = compose();
    EXPECT_EQ(first, hex("0C 00 00 00 12 00 00 00 15 00 00 00 81 01 08 82 01 02 01 02 04 0A 07 00 00 00 10 27 00 07 "
                         "00 02 01"));
    EXPECT_EQ(compose(), first); // composing again changes nothing

    m_image.saveBankBin(m_dir.path());
    EXPECT_EQ(readFile(m_dir / "bin" / "bank.bin"), std::string(first.begin(), first.end()));
}

TEST_F(ConfigImageTest, SmallerImageAfterLargerOneCarriesNothingOld) {
    std::string big = "<RPDO>";
    for (int i = 0; i < 12; ++i)
        big += "<row COB-ID=\"2047\" Dimension=\"8\"/>";
    write("RPDOs.xml", big + "</RPDO>");
    write("ParGen.xml", parGen());
    EXPECT_EQ(compose().size(), 12u + 36u + 12u);
    EXPECT_EQ(m_image.buffer()[12 + 36 + 10], 12); // every row counted

    write("RPDOs.xml", "<RPDO><row COB-ID=\"1\" Dimension=\"1\"/></RPDO>");
    fs::remove(m_dir / "ParGen.xml");
    EXPECT_EQ(compose(), hex("0C 00 00 00 0F 00 00 00 0F 00 00 00 01 00 01"));
    m_image.saveBankBin(m_dir.path());
    EXPECT_EQ(fs::file_size(m_dir / "bin" / "bank.bin"), 15u);
}

TEST_F(ConfigImageTest, BadRowsStopTheCompositionNamingFileRowAndAttribute) {
    struct Case {
        const char* file;
        const char* doc;
        const char* message;
    } const cases[] = {
        {"RPDOs.xml", "<RPDO><row COB-ID=\"1\" Dimension=\"1\"/><row COB-ID=\"2\" Dimension=\"1\"/><row COB-ID=\"3\"/></RPDO>",
         "RPDOs.xml, row 3: attribute \"Dimension\" is missing"},
        {"TPDOs.xml", "<TPDO><row COB-ID=\"1\" Dimension=\"1\"/><row COB-ID=\"0x\" Dimension=\"1\"/></TPDO>",
         "TPDOs.xml, row 2: COB-ID \"0x\" is not a number"},
        {"RPDOs.xml", "<RPDO><row COB-ID=\"\" Dimension=\"1\"/></RPDO>", "RPDOs.xml, row 1: COB-ID \"\" is not a number"},
        {"TPDOs.xml", "<TPDO><row COB-ID=\"5\" Dimension=\"8 \"/></TPDO>",
         "TPDOs.xml, row 1: Dimension \"8 \" is not a number"},
        {"RPDOs.xml", "<RPDO>text</RPDO>", "RPDOs.xml, row 1: attribute \"COB-ID\" is missing"},
    };
    for (const Case& c : cases) {
        for (const char* name : {"RPDOs.xml", "TPDOs.xml"})
            fs::remove(m_dir / name);
        write(c.file, c.doc);
        try {
            compose();
            ADD_FAILURE() << "composed " << c.doc;
        } catch (const ComposeError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(m_image.length(), 12);
    }
}

TEST_F(ConfigImageTest, MalformedDocumentStopsWithTheParsersPosition) {
    write("RPDOs.xml", kExampleReceivePdos);
    write("ParGen.xml", "<Par_Gen>\n<CANopen_ID>10</CANopen_ID>\n<Serial_Par>0</Serial_Pa>\n</Par_Gen>");
    try {
        compose();
        FAIL();
    } catch (const xml::LoadError& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.rfind((m_dir / "ParGen.xml").string() + ": ", 0), 0u) << what;
        EXPECT_NE(what.find("line 3, column"), std::string::npos) << what;
    }
}

TEST_F(ConfigImageTest, CapacityIsTheBuffersLimit) {
    const auto rows = [](std::size_t n) {
        std::string doc = "<RPDO>";
        for (std::size_t i = 0; i < n; ++i)
            doc += "<row COB-ID=\"1\" Dimension=\"8\"/>";
        return doc + "</RPDO>";
    };
    // Without a parameter block 33329 entries fill 99999 of the 100001 bytes.
    write("RPDOs.xml", rows(33000));
    write("TPDOs.xml", rows(329));
    EXPECT_EQ(compose().size(), 99999u);

    write("ParGen.xml", parGen());
    try {
        compose();
        FAIL() << "composed past the buffer";
    } catch (const ComposeError& e) {
        EXPECT_STREQ(e.what(), "RPDOs.xml and TPDOs.xml hold 33329 PDO entries; the configuration image has room "
                               "for 33325");
    }
    write("TPDOs.xml", rows(325));
    EXPECT_EQ(compose().size(), 12u + 3u * 33325u + 12u);
}

TEST_F(ConfigImageTest, SaveBankBinFailuresAreReportedAndKeepTheOldImage) {
    write("ParGen.xml", parGen());
    compose();

    TempDir noBin;
    try {
        m_image.saveBankBin(noBin.path());
        FAIL();
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
        EXPECT_NE(std::string(e.what()).find(bankBinPath(noBin.path()).string()), std::string::npos);
    }

    const fs::path bank = m_dir / "bin" / "bank.bin";
    writeFile(bank, "older image");
    fs::permissions(bank, fs::perms::owner_read | fs::perms::group_read);
    try {
        m_image.saveBankBin(m_dir.path());
        FAIL();
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::permission_denied);
    }
    EXPECT_EQ(readFile(bank), "older image");
}

} // namespace
