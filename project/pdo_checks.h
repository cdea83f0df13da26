#pragma once

#include "project/pdo_document.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// The PDO editors' table rules, shared by the two editors and strovane-cli.
namespace strovane::project {

// The two PDO tables differ in their root element, their lowest COB-ID and how they report.
enum class PdoTableKind { Receive, Transmit };

// Rows the editors' grid shows at the least; it has one row for each row of a longer table.
inline constexpr std::size_t kPdoEditorMinRows = 10;

// "RPDO" or "TPDO".
const char* pdoRootName(PdoTableKind kind);
// Lowest valid COB-ID: 0 for the receive table, 1 for the transmit table.
std::int32_t pdoMinCobId(PdoTableKind kind);

// One broken rule in one row (counting from 1).
struct PdoRowProblem {
    enum class Field { CobId, Dimension };
    std::size_t row;
    Field field;

    bool operator==(const PdoRowProblem&) const = default;
};

// The table's entries: the rows before the first one whose COB-ID is empty.
std::span<const PdoRow> pdoTableEntries(std::span<const PdoRow> rows);

// Every broken rule among the table's entries, in row order, COB-ID before Dimension. A COB-ID
// must be integer text from pdoMinCobId to 2047, a Dimension integer text from 1 to 8.
std::vector<PdoRowProblem> checkPdoRows(PdoTableKind kind, std::span<const PdoRow> rows);

// The rule as the editors word it, without prefix: "The COB-ID must be between 0x000 and 0x7FF"
// (receive), "Cob-id must be between 0x001 and 0x7FF" (transmit), and the Dimension's likewise.
std::string pdoRuleText(PdoTableKind kind, PdoRowProblem::Field field);

// The editor's message box text: "Error! " + rule (receive, the row is not named) or
// "Error in row N. " + rule (transmit).
std::string pdoEditorMessage(PdoTableKind kind, const PdoRowProblem& problem);

// The messages the editor shows on OK, in order: the receive editor stops at the first broken
// rule, the transmit editor shows every one. Empty when the table may be saved.
std::vector<std::string> pdoEditorMessages(PdoTableKind kind, std::span<const PdoRow> rows);

} // namespace strovane::project
