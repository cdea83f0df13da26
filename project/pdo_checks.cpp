#include "project/pdo_checks.h"

#include "project/int_text.h"

namespace strovane::project {

namespace {

constexpr std::int32_t kMaxCobId = 0x7FF;
constexpr std::int32_t kMinDimension = 1;
constexpr std::int32_t kMaxDimension = 8;

bool inRange(const std::string& text, std::int32_t low, std::int32_t high) {
    const std::int32_t value = intTextOr(text, -1);
    return value >= low && value <= high;
}

} // namespace

const char* pdoRootName(PdoTableKind kind) {
    return kind == PdoTableKind::Receive ? kReceiveRoot : kTransmitRoot;
}

std::int32_t pdoMinCobId(PdoTableKind kind) {
    return kind == PdoTableKind::Receive ? 0 : 1;
}

std::span<const PdoRow> pdoTableEntries(std::span<const PdoRow> rows) {
    std::size_t count = 0;
    while (count < rows.size() && !rows[count].cobId.empty())
        ++count;
    return rows.first(count);
}

std::optional<PdoTableGap> findPdoTableGap(std::span<const PdoRow> rows) {
    const std::size_t empty = pdoTableEntries(rows).size();
    for (std::size_t i = empty; i < rows.size(); ++i) {
        if (!rows[i].cobId.empty() || !rows[i].dimension.empty() || !rows[i].mnemonic.empty())
            return PdoTableGap{empty + 1, i + 1};
    }
    return std::nullopt;
}

namespace {

std::string gapTextRow(const PdoTableGap& gap, const char* sameRow) {
    return gap.textRow == gap.emptyRow ? sameRow : "row " + std::to_string(gap.textRow);
}

} // namespace

std::string pdoGapText(const PdoTableGap& gap) {
    return "the COB-ID is empty, so the table would end here, but " + gapTextRow(gap, "the row") + " holds text";
}

std::string pdoGapMessage(PdoTableKind kind, const PdoTableGap& gap) {
    if (kind == PdoTableKind::Receive)
        return "Error! Row " + std::to_string(gap.emptyRow) + " has no COB-ID, so the table would end there, but " +
               gapTextRow(gap, "it") + " holds text";
    return "Error in row " + std::to_string(gap.emptyRow) + ". Cob-id is empty, so the table would end here, but " +
           gapTextRow(gap, "the row") + " holds text";
}

std::vector<PdoRowProblem> checkPdoRows(PdoTableKind kind, std::span<const PdoRow> rows) {
    std::vector<PdoRowProblem> problems;
    const std::span<const PdoRow> entries = pdoTableEntries(rows);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!inRange(entries[i].cobId, pdoMinCobId(kind), kMaxCobId))
            problems.push_back({i + 1, PdoRowProblem::Field::CobId});
        if (!inRange(entries[i].dimension, kMinDimension, kMaxDimension))
            problems.push_back({i + 1, PdoRowProblem::Field::Dimension});
    }
    return problems;
}

std::string pdoRuleText(PdoTableKind kind, PdoRowProblem::Field field) {
    const bool cobId = field == PdoRowProblem::Field::CobId;
    if (kind == PdoTableKind::Receive)
        return cobId ? "The COB-ID must be between 0x000 and 0x7FF" : "The Dimension must be between 1 and 8";
    return cobId ? "Cob-id must be between 0x001 and 0x7FF" : "Dimension must be between 1 and 8";
}

std::string pdoEditorMessage(PdoTableKind kind, const PdoRowProblem& problem) {
    if (kind == PdoTableKind::Receive)
        return "Error! " + pdoRuleText(kind, problem.field);
    return "Error in row " + std::to_string(problem.row) + ". " + pdoRuleText(kind, problem.field);
}

PdoEditorCheck checkPdoEditorTable(PdoTableKind kind, std::span<const PdoRow> rows) {
    PdoEditorCheck result;
    const bool stopAtFirst = kind == PdoTableKind::Receive;
    for (const PdoRowProblem& p : checkPdoRows(kind, rows)) {
        if (!result.firstProblem)
            result.firstProblem = p;
        result.messages.push_back(pdoEditorMessage(kind, p));
        if (stopAtFirst)
            return result;
    }
    if (const std::optional<PdoTableGap> gap = findPdoTableGap(rows)) {
        result.messages.push_back(pdoGapMessage(kind, *gap));
        result.emptyCobIdRow = gap->emptyRow;
    }
    return result;
}

std::vector<std::string> pdoEditorMessages(PdoTableKind kind, std::span<const PdoRow> rows) {
    return checkPdoEditorTable(kind, rows).messages;
}

} // namespace strovane::project
