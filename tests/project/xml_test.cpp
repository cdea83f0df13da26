#include "project/xml.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace fs = std::filesystem;
namespace xml = strovane::project::xml;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

class XmlTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path p = m_dir / name;
        writeFile(p, bytes);
        return p;
    }
    // Loads an inline document written to a file.
    void loadText(const std::string& bytes) { xml::load(m_doc, write("doc.xml", bytes)); }

    TempDir m_dir;
    pugi::xml_document m_doc;
};

TEST_F(XmlTest, RootIsTheFirstTopLevelNodeOfAnyKind) {
    struct Case {
        const char* text;
        pugi::xml_node_type type;
        const char* name;
    } const cases[] = {
        {"<Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>", pugi::node_element, "Par_Gen"},
        {"<?xml version=\"1.0\"?><Par_Gen/>", pugi::node_declaration, "xml"},
        {"<!--note--><RPDO/>", pugi::node_comment, ""},
        {"<?app data?><TPDO/>", pugi::node_pi, "app"},
        {"\n  <RPDO/>\n<!--SW_VERSION = 1.001-->", pugi::node_element, "RPDO"},
    };
    for (const Case& c : cases) {
        loadText(c.text);
        const pugi::xml_node r = xml::root(m_doc);
        EXPECT_EQ(r.type(), c.type) << c.text;
        EXPECT_STREQ(r.name(), c.name) << c.text;
    }
    // A declaration as root has no keys: the lookup through it finds nothing.
    loadText("<?xml version=\"1.0\"?><Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>");
    EXPECT_FALSE(xml::child(xml::root(m_doc), "CANopen_ID"));
    EXPECT_FALSE(xml::root(pugi::xml_document()));
}

TEST_F(XmlTest, ChildIsTheFirstElementWithTheExactName) {
    loadText("<r><!--CANopen_ID--><canopen_id>1</canopen_id><CANopen_ID>2</CANopen_ID>"
             "<CANopen_ID>3</CANopen_ID><?CANopen_ID?></r>");
    const pugi::xml_node r = xml::root(m_doc);
    EXPECT_EQ(xml::text(xml::child(r, "CANopen_ID")), "2");
    EXPECT_EQ(xml::text(xml::child(r, "canopen_id")), "1");
    EXPECT_FALSE(xml::child(r, "CANOPEN_ID"));
    EXPECT_FALSE(xml::child(r, "CANopen"));
    EXPECT_FALSE(xml::child(pugi::xml_node(), "CANopen_ID")); // null parent is safe
}

TEST_F(XmlTest, ElementTextRules) {
    loadText("<r><empty/><pair></pair><blank>   </blank><plain> 0x181 </plain><cdata><![CDATA[<7>]]></cdata>"
             "<ent>a&amp;b</ent><nested><x>1</x></nested><mixed>1<!--c-->2</mixed>"
             "<twocdata>a<![CDATA[b]]></twocdata><comment><!--c--></comment></r>");
    const pugi::xml_node r = xml::root(m_doc);
    EXPECT_EQ(xml::text(xml::child(r, "empty")), "");
    EXPECT_EQ(xml::text(xml::child(r, "pair")), "");
    EXPECT_EQ(xml::text(xml::child(r, "blank")), ""); // whitespace-only text is dropped on load
    EXPECT_EQ(xml::text(xml::child(r, "plain")), " 0x181 ");
    EXPECT_EQ(xml::text(xml::child(r, "cdata")), "<7>");
    EXPECT_EQ(xml::text(xml::child(r, "ent")), "a&b");
    for (const char* name : {"nested", "mixed", "twocdata", "comment"})
        EXPECT_THROW(xml::text(xml::child(r, name)), xml::TextError) << name;
}

TEST_F(XmlTest, AbsentAttributeDiffersFromEmpty) {
    loadText("<RPDO><row COB-ID=\"\" Dimension=\"8\"/></RPDO>");
    const pugi::xml_node row = xml::root(m_doc).first_child();
    EXPECT_EQ(xml::attribute(row, "COB-ID"), std::optional<std::string>(""));
    EXPECT_EQ(xml::attribute(row, "Dimension"), std::optional<std::string>("8"));
    EXPECT_EQ(xml::attribute(row, "Mnemonic"), std::nullopt);
    EXPECT_EQ(xml::attribute(row, "dimension"), std::nullopt);
}

TEST_F(XmlTest, MalformedFileNamesPathLineAndColumn) {
    struct Case {
        const char* text;
        const char* position;
    } const cases[] = {
        {"<RPDO>\n  <row COB-ID=\"1\">\n</RPDO>", "at line 3, column 3"},
        {"<RPDO>\r\n  <row COB-ID=\"1\">\r\n</RPDO>", "at line 3, column 3"}, // line ends folded by the parser
        {"<Par_Gen><CANopen_ID>1</CANopen_Baud></Par_Gen>", "at line 1, column 25"},
        {"<RPDO><row COB-ID=1/></RPDO>", "at line 1, column 19"},
        // Beyond what pugixml itself refuses:
        {"<RPDO/>\n<TPDO/>", "more than one root element at line 2, column 2"},
    };
    for (const Case& c : cases) {
        const fs::path p = write("RPDOs.xml", c.text);
        try {
            xml::load(m_doc, p);
            ADD_FAILURE() << "loaded a malformed file: " << c.text;
        } catch (const xml::LoadError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(p.string() + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(c.position), std::string::npos) << what;
        }
    }
    EXPECT_FALSE(m_doc.first_child()); // nothing half-loaded stays behind

    const std::string empty = (m_dir / "empty.xml").string();
    write("empty.xml", "");
    EXPECT_THROW(xml::load(m_doc, empty), xml::LoadError);
}

TEST_F(XmlTest, MissingFileCarriesTheSystemText) {
    const fs::path p = m_dir / "ParGen.xml";
    try {
        xml::load(m_doc, p);
        FAIL();
    } catch (const xml::LoadError& e) {
        EXPECT_EQ(std::string(e.what()),
                  p.string() + ": " + std::make_error_code(std::errc::no_such_file_or_directory).message());
    }
}

TEST_F(XmlTest, LoadEmptiesTheDocumentFirst) {
    loadText("<Conf_Settings/>");
    loadText("<RPDO/>");
    EXPECT_STREQ(xml::root(m_doc).name(), "RPDO");
    EXPECT_FALSE(xml::root(m_doc).next_sibling());
}

TEST_F(XmlTest, SaveWritesRawUtf8WithoutDeclaration) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    root.append_child("CANopen_ID").text().set("0x0A");
    root.append_child("Mnemonic").text().set("Temp \xC2\xB0" "C <&>");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.001");
    const fs::path p = m_dir / "ParGen.xml";
    xml::save(doc, p);
    EXPECT_EQ(readFile(p), "<Par_Gen><CANopen_ID>0x0A</CANopen_ID><Mnemonic>Temp \xC2\xB0" "C &lt;&amp;&gt;</Mnemonic>"
                       "</Par_Gen><!--SW_VERSION = 1.001-->");

    // What is saved loads back to the same values.
    xml::load(m_doc, p);
    EXPECT_EQ(xml::text(xml::child(xml::root(m_doc), "Mnemonic")), "Temp \xC2\xB0" "C <&>");
    EXPECT_EQ(xml::root(m_doc).next_sibling().type(), pugi::node_comment);
}

TEST_F(XmlTest, SaveRefusesReadOnlyFileAndKeepsIt) {
    const fs::path p = write("TPDOs.xml", "<TPDO/>");
    fs::permissions(p, fs::perms::owner_read);
    pugi::xml_document doc;
    doc.append_child("TPDO").append_child("row");
    EXPECT_THROW(xml::save(doc, p), std::system_error);
    EXPECT_EQ(readFile(p), "<TPDO/>");
}

} // namespace
