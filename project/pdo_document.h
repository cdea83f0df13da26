#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

// RPDOs.xml and TPDOs.xml: one `row` element per PDO entry under the root `RPDO` or `TPDO`,
// with the attributes COB-ID, Dimension and Mnemonic holding the texts the user typed.
namespace strovane::project {

// One PDO entry as typed in the editor's grid.
struct PdoRow {
    std::string cobId;
    std::string dimension;
    std::string mnemonic;

    bool operator==(const PdoRow&) const = default;
};

// What the editors read: the rows placed so far and, when reading stopped early, why.
struct PdoTableRead {
    std::vector<PdoRow> rows;
    std::optional<std::string> error;
};

// One entry as the composer reads it: the attributes' numbers, not yet narrowed.
struct PdoEntry {
    std::int32_t cobId = 0;
    std::int32_t dimension = 0;
};

// Root element names of the two tables.
inline constexpr const char* kReceiveRoot = "RPDO";
inline constexpr const char* kTransmitRoot = "TPDO";

// Writes the table whole: `rootName` with one `row` per entry, attributes in the order COB-ID,
// Dimension, Mnemonic. Throws std::system_error when the file cannot be written.
void writePdoTable(const std::filesystem::path& file, const char* rootName, const std::vector<PdoRow>& rows);

// The editors' reading: each child node of the root is a row; its attribute texts are taken
// unchanged, every row. A missing file gives no rows and no error. Reading stops at
// the first missing attribute, keeping the cells read before it (the stopped row is included when
// its COB-ID was read), with an error such as `RPDOs.xml, row 3: attribute "Dimension" is
// missing`. A file that cannot be loaded gives no rows and the load error's text. Never throws.
PdoTableRead readPdoTableForEditor(const std::filesystem::path& file);

// The composer's reading: every child node of the root is an entry whose COB-ID and Dimension
// must be integer text (Mnemonic is not read). A missing file gives no entries. Throws
// ComposeError naming the file, row and attribute, or xml::LoadError.
std::vector<PdoEntry> readPdoEntries(const std::filesystem::path& file);

// The two readings of a document already loaded; `file` names it in messages.
PdoTableRead pdoTableFrom(const pugi::xml_document& doc, const std::filesystem::path& file);
std::vector<PdoEntry> pdoEntriesFrom(const pugi::xml_document& doc, const std::filesystem::path& file);

} // namespace strovane::project
