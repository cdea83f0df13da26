// RPDOs.xml / TPDOs.xml: the editors' and the composer's readings agree, only the documented
// errors escape, and a table is written so that it reads back the same or is refused with the
// file left as it was.
#include "fuzz_support.h"

#include "project/compose_error.h"
#include "project/int_text.h"
#include "project/pdo_document.h"
#include "project/xml.h"

namespace {

using namespace strovane::project;
using strovane::fuzz::scratch;

void writeReadsBack(const std::vector<PdoRow>& rows) {
    const std::filesystem::path file = scratch() / "TPDOs.xml";
    strovane::fuzz::writeBytes(file, "older");
    try {
        writePdoTable(file, kTransmitRoot, rows);
    } catch (const xml::ValueError&) {
        FUZZ_ASSERT(strovane::fuzz::readBytes(file) == "older");
        return;
    }
    const PdoTableRead read = readPdoTableForEditor(file);
    FUZZ_ASSERT(!read.error);
    FUZZ_ASSERT(read.rows == rows);
}

void readsAgree(std::string_view bytes) {
    pugi::xml_document doc;
    try {
        xml::loadBytes(doc, bytes, "RPDOs.xml");
    } catch (const xml::LoadError&) {
        return;
    }
    const PdoTableRead read = pdoTableFrom(doc, "RPDOs.xml");

    std::size_t children = 0;
    for (pugi::xml_node n = xml::root(doc).first_child(); n; n = n.next_sibling())
        ++children;
    try {
        const std::vector<PdoEntry> entries = pdoEntriesFrom(doc, "RPDOs.xml");
        FUZZ_ASSERT(entries.size() == children);
        // Every row the editor placed holds the composer's numbers as text.
        for (std::size_t i = 0; i < read.rows.size(); ++i) {
            FUZZ_ASSERT(parseIntText(read.rows[i].cobId) == entries[i].cobId);
            FUZZ_ASSERT(parseIntText(read.rows[i].dimension) == entries[i].dimension);
        }
    } catch (const ComposeError&) {
    }
    if (!read.error)
        FUZZ_ASSERT(read.rows.size() == children);
    writeReadsBack(read.rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty() || input[0] != '!') {
        readsAgree(input);
        return 0;
    }
    // "!" then cell texts, any bytes at all, three to a row.
    const std::vector<std::string> cells = strovane::fuzz::splitParts(input.substr(1), 30);
    std::vector<PdoRow> rows;
    for (std::size_t i = 0; i + 2 < cells.size(); i += 3)
        if (!cells[i].empty() || !cells[i + 1].empty() || !cells[i + 2].empty())
            rows.push_back({cells[i], cells[i + 1], cells[i + 2]});
    writeReadsBack(rows);
    return 0;
}
