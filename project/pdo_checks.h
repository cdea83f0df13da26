#pragma once

#include "project/pdo_document.h"

#include <cstddef>
#include <optional>
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

// An empty COB-ID, where the table would end, before text that would be lost with it:
// `emptyRow` is the first row whose COB-ID is empty, `textRow` the first row from there on with
// text in any cell (the same row when it holds a Dimension or Mnemonic). Rows count from 1.
struct PdoTableGap {
    std::size_t emptyRow;
    std::size_t textRow;

    bool operator==(const PdoTableGap&) const = default;
};

// The table's gap; nullopt when every row after the entries is empty.
std::optional<PdoTableGap> findPdoTableGap(std::span<const PdoRow> rows);

// The gap as check words it, without prefix: "the COB-ID is empty, so the table would end here,
// but row 6 holds text" ("but the row holds text" when it is the same row).
std::string pdoGapText(const PdoTableGap& gap);

// Every broken rule among the table's entries, in row order, COB-ID before Dimension. A COB-ID
// must be integer text from pdoMinCobId to 2047, a Dimension integer text from 1 to 8.
std::vector<PdoRowProblem> checkPdoRows(PdoTableKind kind, std::span<const PdoRow> rows);

// The rule as the editors word it, without prefix: "The COB-ID must be between 0x000 and 0x7FF"
// (receive), "Cob-id must be between 0x001 and 0x7FF" (transmit), and the Dimension's likewise.
std::string pdoRuleText(PdoTableKind kind, PdoRowProblem::Field field);

// The editor's message box text: "Error! " + rule (receive, the row is not named) or
// "Error in row N. " + rule (transmit).
std::string pdoEditorMessage(PdoTableKind kind, const PdoRowProblem& problem);

// The editor's message box text for a gap: "Error! Row 5 has no COB-ID, so the table would end
// there, but row 6 holds text" (receive) or "Error in row 5. Cob-id is empty, so the table would
// end here, but row 6 holds text" (transmit).
std::string pdoGapMessage(PdoTableKind kind, const PdoTableGap& gap);

// What OK finds: the messages the editor shows, in order (the entries' broken rules, then the
// gap; the receive editor stops at the first, the transmit editor shows every one), and the row
// whose empty COB-ID cell it selects when the gap is among them. No messages: the table may be
// saved.
struct PdoEditorCheck {
    std::vector<std::string> messages;
    // The cell of the first range problem, which the first message is about.
    std::optional<PdoRowProblem> firstProblem;
    std::optional<std::size_t> emptyCobIdRow;
};
PdoEditorCheck checkPdoEditorTable(PdoTableKind kind, std::span<const PdoRow> rows);

// checkPdoEditorTable's messages.
std::vector<std::string> pdoEditorMessages(PdoTableKind kind, std::span<const PdoRow> rows);

} // namespace strovane::project
