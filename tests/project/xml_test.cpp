#include "project/xml.h"

#include "support/symlinks.h"
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

TEST_F(XmlTest, RootIsTheRootElementWhateverPrecedesIt) {
    const char* const cases[] = {
        "<Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>",
        "<?xml version=\"1.0\"?><Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!--made by hand-->\n<?app data?>\n"
        "<Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>\n<!--SW_VERSION = 1.001-->",
        "<!--note--><Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>",
        "<?app data?><Par_Gen><CANopen_ID>5</CANopen_ID></Par_Gen>",
    };
    for (const char* text : cases) {
        loadText(text);
        const pugi::xml_node r = xml::root(m_doc);
        EXPECT_EQ(r.type(), pugi::node_element) << text;
        EXPECT_STREQ(r.name(), "Par_Gen") << text;
        EXPECT_EQ(xml::text(xml::child(r, "CANopen_ID")), "5") << text;
    }
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
        {"<RPDO>\n  <row COB-ID=\"1\">\n</RPDO>", "does not match <row> at line 3, column 1"},
        {"<RPDO>\r\n  <row COB-ID=\"1\">\r\n</RPDO>", "at line 3, column 1"}, // "\r\n" is one line end
        {"<RPDO>\r  <row COB-ID=\"1\">\r</RPDO>", "at line 3, column 1"},
        {"<Par_Gen><CANopen_ID>1</CANopen_Baud></Par_Gen>", "at line 1, column 23"},
        {"<RPDO><row COB-ID=1/></RPDO>", "at line 1, column 19"},
        {"<RPDO/>\n<TPDO/>", "a second root element at line 2, column 1"},
        // Columns count characters, not bytes.
        {"<RPDO><row Mnemonic=\"\xC2\xB0\xC2\xB0\" COB-ID=1/></RPDO>", "at line 1, column 33"},
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

// Each document is refused with its reason and position; a lenient parser would read it.
TEST_F(XmlTest, OnlyWellFormedXmlIsRead) {
    struct Case {
        std::string text;
        const char* message;
    } const cases[] = {
        {"<RPDO><row COB-ID=\"1\" COB-ID=\"2\"/></RPDO>", "the attribute \"COB-ID\" given twice at line 1, column 23"},
        {"<RPDO><row COB-ID=\"&id;\"/></RPDO>", "the undeclared entity &id; at line 1, column 20"},
        {"<Par_Gen><CANopen_ID>1&#0;27</CANopen_ID></Par_Gen>", "reference to U+0000, which XML does not allow at line 1, column 23"},
        {"<Par_Gen><CANopen_ID>&#x1F;</CANopen_ID></Par_Gen>", "reference to U+001F"},
        {"<Par_Gen><CANopen_ID>&#xFFFE;</CANopen_ID></Par_Gen>", "reference to U+FFFE"},
        {"<Par_Gen><CANopen_ID>&#1114112;</CANopen_ID></Par_Gen>", "beyond U+10FFFF"},
        {std::string("<Par_Gen><CANopen_ID>1") + '\0' + "27</CANopen_ID></Par_Gen>", "a NUL byte, which XML does not allow at line 1, column 23"},
        {"<RPDO><row Mnemonic=\"a<b\"/></RPDO>", "a '<' inside an attribute value at line 1, column 23"},
        {"<RPDO><row Mnemonic=\"\xC3\x28\"/></RPDO>", "bytes that are not valid UTF-8 at line 1, column 22"},
        {"<RPDO><row Mnemonic=\"\xED\xA0\x80\"/></RPDO>", "not valid UTF-8"}, // a surrogate
        {"<RPDO><row Mnemonic=\"\x01\"/></RPDO>", "the character U+0001"},
        {"junk<RPDO/>", "text before the root element at line 1, column 1"},
        {"<RPDO/>\n junk", "text after the root element at line 2, column 2"},
        {"<RPDO/><!-- open", "a comment that is not closed at line 1, column 8"},
        {"<RPDO/><!-- a -- b -->", "'--' inside a comment"},
        {"<!DOCTYPE RPDO [<!ENTITY id \"5\">]><RPDO><row COB-ID=\"&id;\"/></RPDO>",
         "a document type declaration (DOCTYPE), which project documents may not hold at line 1, column 1"},
        {"<RPDO>a & b</RPDO>", "an '&' that begins no reference"},
        {"<RPDO>a ]]> b</RPDO>", "']]>' in text"},
        {"<RPDO><row/>", "the document ends before </RPDO>"},
        {"<RPDO><row a=\"1\"b=\"2\"/></RPDO>", "expected a blank"},
        {"<RPDO/><?xml version=\"1.0\"?>", "XML declaration that is not at the very start"},
        {" <?xml version=\"1.0\"?><RPDO/>", "XML declaration that is not at the very start"},
        {"<?xml version=\"2.0\"?><RPDO/>", "the XML version \"2.0\" is not 1.x"},
        {"<?xml version=\"1.0\" encoding=\"KOI8-R\"?><RPDO/>", "the encoding \"koi8-r\", which is not read"},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><RPDO/>", "\"utf-16\" declared for text that is not UTF-16"},
        {"<!-- only a comment -->", "the document has no root element"},
        {"<1RPDO/>", "expected an element name at line 1, column 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const fs::path p = write("RPDOs.xml", c.text);
        try {
            xml::load(m_doc, p);
            ADD_FAILURE() << "read a document that is not well-formed";
        } catch (const xml::LoadError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(p.string() + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos) << what;
        }
        EXPECT_FALSE(m_doc.first_child());
    }
}

TEST_F(XmlTest, WellFormedVariantsReadTheSame) {
    // Declarations, references, comments, CDATA and the encodings a hand-edited file may use.
    auto utf16 = [](std::string_view ascii, bool big, bool mark) {
        std::string out = mark ? (big ? "\xFE\xFF" : "\xFF\xFE") : "";
        for (const char c : ascii) {
            const char hi = 0;
            const char lo = c == '@' ? '\xE9' : c; // '@' stands for U+00E9
            out += big ? std::string{hi, lo} : std::string{lo, hi};
        }
        return out;
    };
    const std::string doc = "<?xml version=\"1.0\"?><RPDO><row Mnemonic=\"@\"/></RPDO>";
    struct Case {
        const char* name;
        std::string bytes;
    } const cases[] = {
        {"plain", "<RPDO><row Mnemonic=\"\xC3\xA9\"/></RPDO>"},
        {"mark", "\xEF\xBB\xBF<RPDO><row Mnemonic=\"\xC3\xA9\"/></RPDO>"},
        {"declared", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<RPDO><row Mnemonic=\"\xC3\xA9\"/></RPDO>"},
        {"references", "<RPDO><row Mnemonic=\"&#233;\"/><!-- c --><?pi x?></RPDO>"},
        {"latin-1", "<?xml version='1.0' encoding='ISO-8859-1'?><RPDO><row Mnemonic='\xE9'/></RPDO>"},
        {"utf-16le", utf16(doc, false, true)},
        {"utf-16be", utf16(doc, true, true)},
        {"utf-16le without mark", utf16(doc, false, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        xml::load(m_doc, write("RPDOs.xml", c.bytes));
        pugi::xml_node root = m_doc.first_child();
        while (root && root.type() != pugi::node_element)
            root = root.next_sibling();
        EXPECT_EQ(xml::attribute(root.first_child(), "Mnemonic"), std::optional<std::string>("\xC3\xA9"));
    }
}

TEST_F(XmlTest, Utf16PositionsCountCharacters) {
    std::string bytes = "\xFF\xFE";
    for (const char c : std::string("<RPDO>\r\n<row COB-ID=\"1\" COB-ID=\"2\"/></RPDO>"))
        bytes += std::string{c, '\0'};
    const fs::path p = write("RPDOs.xml", bytes);
    try {
        xml::load(m_doc, p);
        FAIL();
    } catch (const xml::LoadError& e) {
        EXPECT_NE(std::string(e.what()).find("given twice at line 2, column 17"), std::string::npos) << e.what();
    }
}

TEST_F(XmlTest, WhatIsSavedReadsBackTheSame) {
    const std::string values[] = {"a\rb", "a\r\nb", "\tx\t", "line\nline", "  lead", "trail  ", " ", "   ",
                                  "\n", "<&>\"'", "\xC2\xB0"};
    for (const std::string& v : values) {
        SCOPED_TRACE(::testing::PrintToString(v));
        pugi::xml_document doc;
        pugi::xml_node root = doc.append_child("Conf_Settings");
        root.append_child("projectname").append_child(pugi::node_pcdata).set_value(v.c_str());
        root.append_child("row").append_attribute("Mnemonic").set_value(v.c_str());
        const fs::path p = m_dir / "Strovane.xml";
        xml::save(doc, p);
        xml::load(m_doc, p);
        EXPECT_EQ(xml::text(xml::child(xml::root(m_doc), "projectname")), v);
        EXPECT_EQ(xml::attribute(xml::child(xml::root(m_doc), "row"), "Mnemonic"), std::optional<std::string>(v));
    }
}

TEST_F(XmlTest, ValueThatCannotBeWrittenIsRefusedAndTheFileKept) {
    const std::string values[] = {"a\x01" "b", "\x1B[2J", "\xFF\xFE", "\xC3"};
    for (const std::string& v : values) {
        SCOPED_TRACE(::testing::PrintToString(v));
        const fs::path p = write("RPDOs.xml", "<RPDO/>");
        pugi::xml_document doc;
        doc.append_child("RPDO").append_child("row").append_attribute("Mnemonic").set_value(v.c_str());
        try {
            xml::save(doc, p);
            ADD_FAILURE() << "saved a value XML cannot hold";
        } catch (const xml::ValueError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find("Mnemonic"), std::string::npos) << what;
            EXPECT_EQ(what.find('\x1B'), std::string::npos) << what; // quoted, not raw
        }
        EXPECT_EQ(readFile(p), "<RPDO/>");
    }
}

TEST_F(XmlTest, OnlyRegularFilesOfBoundedSizeAreRead) {
    fs::create_directory(m_dir / "folder.xml");
    EXPECT_THROW(xml::load(m_doc, m_dir / "folder.xml"), xml::LoadError);

    const fs::path big = write("RPDOs.xml", "<RPDO>" + std::string(2000, ' ') + "</RPDO>");
    try {
        xml::load(m_doc, big, 1000);
        FAIL();
    } catch (const xml::LoadError& e) {
        EXPECT_NE(std::string(e.what()).find("2013 bytes, larger than the 1000 bytes accepted"), std::string::npos)
            << e.what();
    }
    EXPECT_NO_THROW(xml::load(m_doc, big, 2013));
}

TEST_F(XmlTest, AbsentIsOnlyWhatDoesNotExist) {
    EXPECT_FALSE(xml::loadIfPresent(m_doc, m_dir / "ParGen.xml"));
    if (!strovane::testing::symlinksAvailable())
        GTEST_SKIP() << strovane::testing::kNoSymlinks;
    fs::create_symlink("nowhere.xml", m_dir / "dangling.xml");
    EXPECT_FALSE(xml::loadIfPresent(m_doc, m_dir / "dangling.xml"));

    fs::create_symlink("loop.xml", m_dir / "loop.xml");
    EXPECT_THROW(xml::loadIfPresent(m_doc, m_dir / "loop.xml"), xml::LoadError);
}

} // namespace
