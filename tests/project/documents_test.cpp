#include "project/par_gen.h"
#include "project/pdo_document.h"
#include "project/xml.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace fs = std::filesystem;
using namespace strovane::project;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

class DocumentsTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path p = m_dir / name;
        writeFile(p, bytes);
        return p;
    }
    TempDir m_dir;
};

constexpr const char* kFreshParGen =
    "<Par_Gen><CANopen_ID>10</CANopen_ID><CANopen_Baud>7</CANopen_Baud><CANopen_Set_Ope>0</CANopen_Set_Ope>"
    "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay>0</CANopen_Delay>"
    "<CANopen_SDO_TO>10000</CANopen_SDO_TO><Serial_Serial>0</Serial_Serial><Serial_Baud>7</Serial_Baud>"
    "<Serial_Par>0</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->";

TEST_F(DocumentsTest, ParGenIsWrittenInTheFixedLayout) {
    const fs::path p = m_dir / "ParGen.xml";
    writeParGen(p, ParGenValues{});
    EXPECT_EQ(readFile(p), kFreshParGen);

    // Texts as typed, ticks as 1/0, an unselected list as -1; the old file is replaced whole.
    ParGenValues v;
    v.nodeId = "0x7F";
    v.canBaud = -1;
    v.setOperational = true;
    v.startDelay = " 5";
    v.sdoTimeout = "50000";
    v.serialType = 1;
    v.serialParity = 2;
    writeParGen(p, v);
    EXPECT_EQ(readFile(p),
              "<Par_Gen><CANopen_ID>0x7F</CANopen_ID><CANopen_Baud>-1</CANopen_Baud><CANopen_Set_Ope>1</CANopen_Set_Ope>"
              "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay> 5</CANopen_Delay>"
              "<CANopen_SDO_TO>50000</CANopen_SDO_TO><Serial_Serial>1</Serial_Serial><Serial_Baud>7</Serial_Baud>"
              "<Serial_Par>2</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->");
    EXPECT_EQ(readParGenForDialog(p), v);
}

TEST_F(DocumentsTest, DialogReadsDefaultsForMissingFileAndKeys) {
    EXPECT_EQ(readParGenForDialog(m_dir / "ParGen.xml"), ParGenValues{});
    const char* const noKeys[] = {
        "<Par_Gen/>",
        "<?xml version=\"1.0\"?><Par_Gen/>",
        "<Par_Gen><canopen_id>5</canopen_id><CANopen_ID><b>5</b></CANopen_ID><CANopen_Baud>1<!--c--></CANopen_Baud>"
        "</Par_Gen>",
    };
    for (const char* text : noKeys)
        EXPECT_EQ(readParGenForDialog(write("ParGen.xml", text)), ParGenValues{}) << text;
}

TEST_F(DocumentsTest, DialogInterpretsEachKeysText) {
    struct Case {
        const char* element;
        const char* text;
        ParGenValues expected;
    };
    const auto with = [](auto change) {
        ParGenValues v;
        change(v);
        return v;
    };
    const Case cases[] = {
        {"CANopen_ID", "0x0A", with([](ParGenValues& v) { v.nodeId = "0x0A"; })},
        {"CANopen_ID", "", with([](ParGenValues& v) { v.nodeId = ""; })},
        {"CANopen_Baud", "3", with([](ParGenValues& v) { v.canBaud = 3; })},
        {"CANopen_Baud", "$2", with([](ParGenValues& v) { v.canBaud = 2; })},
        {"CANopen_Baud", "9", with([](ParGenValues& v) { v.canBaud = 9; })},   // out of range, unchanged
        {"CANopen_Baud", "-1", with([](ParGenValues& v) { v.canBaud = -1; })}, // as saved with no selection
        {"CANopen_Baud", "fast", ParGenValues{}},
        {"CANopen_Set_Ope", "1", with([](ParGenValues& v) { v.setOperational = true; })},
        {"CANopen_Set_Ope", "2", ParGenValues{}},
        {"CANopen_Set_Ope", " 1", ParGenValues{}},
        {"CANopen_Set_Ope", "01", ParGenValues{}},
        {"CANopen_Set_Ope_Net", "1", with([](ParGenValues& v) { v.setOperationalNetwork = true; })},
        {"CANopen_Delay", "abc", with([](ParGenValues& v) { v.startDelay = "abc"; })},
        {"CANopen_SDO_TO", "50000", with([](ParGenValues& v) { v.sdoTimeout = "50000"; })},
        {"Serial_Serial", "1", with([](ParGenValues& v) { v.serialType = 1; })},
        {"Serial_Baud", "", ParGenValues{}},
        {"Serial_Par", "x2", with([](ParGenValues& v) { v.serialParity = 2; })},
        {"Serial_Par", "2 ", ParGenValues{}},
    };
    for (const Case& c : cases) {
        const std::string doc = std::string("<Par_Gen><") + c.element + ">" + c.text + "</" + c.element + "></Par_Gen>";
        EXPECT_EQ(readParGenForDialog(write("ParGen.xml", doc)), c.expected) << doc;
    }
}

TEST_F(DocumentsTest, ParGenReadersIgnoreOrderAndExtraElements) {
    const fs::path p = write("ParGen.xml",
                             "<Other><Serial_Par>1</Serial_Par><Extra>9</Extra><CANopen_SDO_TO>500</CANopen_SDO_TO>"
                             "<CANopen_ID>33</CANopen_ID><CANopen_ID>44</CANopen_ID></Other>");
    ParGenValues v;
    v.serialParity = 1;
    v.sdoTimeout = "500";
    v.nodeId = "33";
    EXPECT_EQ(readParGenForDialog(p), v);

    ParGenNumbers n;
    n.serialParity = 1;
    n.sdoTimeout = 500;
    n.nodeId = 33;
    EXPECT_EQ(readParGenNumbers(p), n);
    EXPECT_EQ(readParGenNumbers(m_dir / "missing.xml"), std::nullopt);
}

TEST_F(DocumentsTest, MalformedParGenThrowsForBothReaders) {
    const fs::path p = write("ParGen.xml", "<Par_Gen><CANopen_ID>5</CANopen_Baud></Par_Gen>");
    EXPECT_THROW(readParGenForDialog(p), xml::LoadError);
    EXPECT_THROW(readParGenNumbers(p), xml::LoadError);
}

TEST_F(DocumentsTest, PdoTableIsWrittenInTheFixedLayout) {
    const fs::path p = m_dir / "RPDOs.xml";
    const std::vector<PdoRow> rows = {{"0x181", "8", "Speed & \"set\""}, {"386", "2", ""}};
    writePdoTable(p, kReceiveRoot, rows);
    EXPECT_EQ(readFile(p), "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"Speed &amp; &quot;set&quot;\"/>"
                       "<row COB-ID=\"386\" Dimension=\"2\" Mnemonic=\"\"/></RPDO>");
    EXPECT_EQ(readPdoTableForEditor(p).rows, rows);

    writePdoTable(m_dir / "TPDOs.xml", kTransmitRoot, {});
    EXPECT_EQ(readFile(m_dir / "TPDOs.xml"), "<TPDO/>");
    const PdoTableRead empty = readPdoTableForEditor(m_dir / "TPDOs.xml");
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_FALSE(empty.error);
}

TEST_F(DocumentsTest, EditorReadsEveryRow) {
    for (int count : {11, 300}) {
        std::string doc = "<TPDO>";
        for (int i = 1; i <= count; ++i)
            doc += "<row COB-ID=\"" + std::to_string(i) + "\" Dimension=\"1\" Mnemonic=\"m\"/>";
        doc += "</TPDO>";
        const PdoTableRead read = readPdoTableForEditor(write("TPDOs.xml", doc));
        ASSERT_EQ(read.rows.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(read.rows.back().cobId, std::to_string(count));
        EXPECT_FALSE(read.error);
    }
}

TEST_F(DocumentsTest, EditorStopsAtTheFirstMissingAttribute) {
    struct Case {
        const char* doc;
        std::vector<PdoRow> rows;
        const char* error;
    } const cases[] = {
        {"<RPDO><row COB-ID=\"1\" Dimension=\"8\" Mnemonic=\"a\"/><row COB-ID=\"2\" Dimension=\"\" Mnemonic=\"\"/>"
         "<row COB-ID=\"3\" Mnemonic=\"c\"/><row COB-ID=\"4\" Dimension=\"4\" Mnemonic=\"d\"/></RPDO>",
         {{"1", "8", "a"}, {"2", "", ""}, {"3", "", ""}},
         "RPDOs.xml, row 3: attribute \"Dimension\" is missing"},
        {"<RPDO><row Dimension=\"8\" Mnemonic=\"a\"/></RPDO>", {}, "RPDOs.xml, row 1: attribute \"COB-ID\" is missing"},
        {"<RPDO><row COB-ID=\"1\" Dimension=\"8\"/></RPDO>", {{"1", "8", ""}},
         "RPDOs.xml, row 1: attribute \"Mnemonic\" is missing"},
        // Every child node is a row, a comment included.
        {"<RPDO><row COB-ID=\"1\" Dimension=\"8\" Mnemonic=\"\"/><!--note--></RPDO>", {{"1", "8", ""}},
         "RPDOs.xml, row 2: attribute \"COB-ID\" is missing"},
        {"<?xml version=\"1.0\"?><RPDO><row COB-ID=\"1\" Dimension=\"8\" Mnemonic=\"\"/></RPDO>", {{"1", "8", ""}},
         nullptr},
        {"<TPDO><anything COB-ID=\"7\" Dimension=\"1\" Mnemonic=\"\"/></TPDO>", {{"7", "1", ""}}, nullptr},
    };
    for (const Case& c : cases) {
        const PdoTableRead r = readPdoTableForEditor(write("RPDOs.xml", c.doc));
        EXPECT_EQ(r.rows, c.rows) << c.doc;
        EXPECT_EQ(r.error, c.error ? std::optional<std::string>(c.error) : std::nullopt) << c.doc;
    }
}

TEST_F(DocumentsTest, EditorReportsMissingAndMalformedFiles) {
    const PdoTableRead missing = readPdoTableForEditor(m_dir / "RPDOs.xml");
    EXPECT_TRUE(missing.rows.empty());
    EXPECT_FALSE(missing.error);

    const fs::path p = write("TPDOs.xml", "<TPDO><row COB-ID=\"1\" Dimension=\"8\" Mnemonic=\"\"/>\n<row");
    const PdoTableRead bad = readPdoTableForEditor(p);
    EXPECT_TRUE(bad.rows.empty());
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->rfind(p.string() + ": ", 0), 0u) << *bad.error;
    EXPECT_NE(bad.error->find("line 2, column"), std::string::npos) << *bad.error;
}

TEST_F(DocumentsTest, ComposerReadsEveryRowAsIntegerText) {
    std::string doc = "<TPDO>";
    for (const char* cob : {"$181", "x181", "X181", "0x181", "0X181", "385", " +385"})
        doc += std::string("<row COB-ID=\"") + cob + "\" Dimension=\"8\"/>";
    for (int i = 0; i < 5; ++i)
        doc += "<row COB-ID=\"1\" Dimension=\"-1\" Mnemonic=\"x\"/>";
    const std::vector<PdoEntry> entries = readPdoEntries(write("TPDOs.xml", doc + "</TPDO>"));
    ASSERT_EQ(entries.size(), 12u);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(entries[i].cobId, 385) << i;
    EXPECT_EQ(entries[11].dimension, -1);
    EXPECT_TRUE(readPdoEntries(m_dir / "RPDOs.xml").empty());
}

TEST_F(DocumentsTest, TypedTextsReadBackExactlyOrAreRefusedWithTheFileKept) {
    const std::string texts[] = {" 5", "5 ", "  ", "\t", "a\r\nb", "\r", "x&#10;y"};
    for (const std::string& t : texts) {
        SCOPED_TRACE(::testing::PrintToString(t));
        ParGenValues v;
        v.nodeId = v.startDelay = v.sdoTimeout = t;
        writeParGen(m_dir / "ParGen.xml", v);
        EXPECT_EQ(readParGenForDialog(m_dir / "ParGen.xml"), v);
        const std::vector<PdoRow> rows = {{t, t, t}};
        writePdoTable(m_dir / "RPDOs.xml", kReceiveRoot, rows);
        EXPECT_EQ(readPdoTableForEditor(m_dir / "RPDOs.xml").rows, rows);
    }

    const std::string unwritable[] = {std::string("a\0b", 3), "\x01", "\xC0\xAF"};
    for (const std::string& t : unwritable) {
        SCOPED_TRACE(::testing::PrintToString(t));
        write("RPDOs.xml", "<RPDO/>");
        write("ParGen.xml", "<Par_Gen/>");
        EXPECT_THROW(writePdoTable(m_dir / "RPDOs.xml", kReceiveRoot, {{"1", "8", t}}), xml::ValueError);
        ParGenValues v;
        v.nodeId = t;
        EXPECT_THROW(writeParGen(m_dir / "ParGen.xml", v), xml::ValueError);
        EXPECT_EQ(readFile(m_dir / "RPDOs.xml"), "<RPDO/>");
        EXPECT_EQ(readFile(m_dir / "ParGen.xml"), "<Par_Gen/>");
    }
}

} // namespace

// What other XML tools put before the root element: every reader still takes the root element.
TEST_F(DocumentsTest, ReadersTakeTheRootElementWhateverPrecedesIt) {
    const char* const prologs[] = {
        "<?xml version=\"1.0\"?>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n",
        "<!-- exported -->\n",
        "<?xml-stylesheet href=\"t.xsl\"?>",
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!--a--><?b c?>\r\n",
    };
    for (const char* prolog : prologs) {
        const fs::path parGen = write("ParGen.xml", std::string(prolog) +
                                                        "<Par_Gen><CANopen_ID>33</CANopen_ID>"
                                                        "<Serial_Par>2</Serial_Par></Par_Gen>");
        EXPECT_EQ(readParGenForDialog(parGen).nodeId, "33") << prolog;
        EXPECT_EQ(readParGenForDialog(parGen).serialParity, 2) << prolog;
        ASSERT_TRUE(readParGenNumbers(parGen)) << prolog;
        EXPECT_EQ(readParGenNumbers(parGen)->nodeId, 33) << prolog;

        const fs::path table = write("RPDOs.xml", std::string(prolog) +
                                                      "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"T\"/>"
                                                      "<row COB-ID=\"386\" Dimension=\"2\" Mnemonic=\"\"/></RPDO>");
        const PdoTableRead read = readPdoTableForEditor(table);
        EXPECT_FALSE(read.error) << prolog;
        ASSERT_EQ(read.rows.size(), 2u) << prolog;
        EXPECT_EQ(read.rows[0].cobId, "0x181");
        EXPECT_EQ(read.rows[1].dimension, "2");
        const std::vector<PdoEntry> entries = readPdoEntries(table);
        ASSERT_EQ(entries.size(), 2u) << prolog;
        EXPECT_EQ(entries[1].cobId, 386);
    }
}
