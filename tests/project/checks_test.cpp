#include "project/par_gen_checks.h"
#include "project/pdo_checks.h"

#include <gtest/gtest.h>

namespace {

using namespace strovane::project;

TEST(ParGenChecksTest, RangesAreReportedInTheDialogsOrder) {
    struct Case {
        const char* id;
        const char* delay;
        const char* timeout;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"1", "0", "0", {}},
        {"0x7F", "255", "50000", {}},
        {" 127", "$FF", "0XC350", {}},
        {"0", "0", "0", {kIdRangeMessage}},
        {"128", "256", "50001", {kIdRangeMessage, kDelayRangeMessage, kSdoTimeoutRangeMessage}},
        {"12 ", "1", "1", {kIdRangeMessage}},
        {"", "", "", {kIdRangeMessage, kDelayRangeMessage, kSdoTimeoutRangeMessage}},
        {"10", "-1", "1", {kDelayRangeMessage}},
        {"10", "1", "$FFFFFFFF", {kSdoTimeoutRangeMessage}},
    };
    for (const Case& c : cases) {
        ParGenValues v;
        v.nodeId = c.id;
        v.startDelay = c.delay;
        v.sdoTimeout = c.timeout;
        EXPECT_EQ(parGenRangeMessages(v), c.messages) << c.id << "|" << c.delay << "|" << c.timeout;
        const auto first = firstParGenRangeMessage(v);
        EXPECT_EQ(first.has_value(), !c.messages.empty());
        if (first) {
            EXPECT_EQ(*first, c.messages.front());
        }
    }
}

TEST(ParGenChecksTest, ListIndexesOutsideTheirListsAreNamed) {
    ParGenValues v;
    EXPECT_TRUE(parGenListProblems(v).empty());
    v.canBaud = 8;
    v.serialType = 1;
    v.serialBaud = 0;
    v.serialParity = -1;
    EXPECT_EQ(
        parGenListProblems(v),
        (std::vector<std::string>{"CANopen_Baud: list index 8 is outside 0 to 7 (\"20K\" to \"1000K\")",
                                  "Serial_Par: list index -1 is outside 0 to 2 (\"NONE\" to \"ODD\")"}));
    v = {};
    v.serialType = 2;
    ASSERT_EQ(parGenListProblems(v).size(), 1u);
    EXPECT_EQ(parGenListProblems(v)[0].rfind("Serial_Serial:", 0), 0u);
}

using Field = PdoRowProblem::Field;

TEST(PdoChecksTest, TableEndsBeforeTheFirstEmptyCobId) {
    const std::vector<PdoRow> rows = {{"1", "1", ""}, {"2", "x", ""}, {"", "9", "x"}, {"5000", "0", ""}};
    EXPECT_EQ(pdoTableEntries(rows).size(), 2u);
    EXPECT_EQ(checkPdoRows(PdoTableKind::Transmit, rows),
              (std::vector<PdoRowProblem>{{2, Field::Dimension}}));
    EXPECT_TRUE(pdoTableEntries(std::vector<PdoRow>{{"", "1", "a"}, {"1", "1", "a"}}).empty());
    EXPECT_TRUE(checkPdoRows(PdoTableKind::Receive, {}).empty());
}

TEST(PdoChecksTest, ReceiveAllowsCobIdZeroAndTransmitDoesNot) {
    const std::vector<PdoRow> rows = {{"0", "8", ""}, {"0x000", "1", ""}};
    EXPECT_TRUE(checkPdoRows(PdoTableKind::Receive, rows).empty());
    EXPECT_EQ(checkPdoRows(PdoTableKind::Transmit, rows),
              (std::vector<PdoRowProblem>{{1, Field::CobId}, {2, Field::CobId}}));
}

// Rows 1 to 4; row 2 with COB-ID 5000 and Dimension 9, row 4 with Dimension 0.
const std::vector<PdoRow> kFaultyTable = {
    {"0x181", "8", "a"}, {"5000", "9", "b"}, {"0x183", "2", "c"}, {"0x184", "0", "d"}};

TEST(PdoChecksTest, EditorMessagesOfTheFaultyTable) {
    EXPECT_EQ(pdoEditorMessages(PdoTableKind::Receive, kFaultyTable),
              std::vector<std::string>{"Error! The COB-ID must be between 0x000 and 0x7FF"});
    EXPECT_EQ(pdoEditorMessages(PdoTableKind::Transmit, kFaultyTable),
              (std::vector<std::string>{"Error in row 2. Cob-id must be between 0x001 and 0x7FF",
                                        "Error in row 2. Dimension must be between 1 and 8",
                                        "Error in row 4. Dimension must be between 1 and 8"}));
    EXPECT_EQ(checkPdoRows(PdoTableKind::Receive, kFaultyTable),
              (std::vector<PdoRowProblem>{{2, Field::CobId}, {2, Field::Dimension}, {4, Field::Dimension}}));
    EXPECT_EQ(pdoEditorMessage(PdoTableKind::Receive, {4, Field::Dimension}),
              "Error! The Dimension must be between 1 and 8");
}

TEST(PdoChecksTest, TextAfterAnEmptyCobIdIsAGap) {
    const PdoRow full{"1", "1", "a"};
    const PdoRow empty{"", "", ""};
    struct Case {
        const char* name;
        std::vector<PdoRow> rows;
        std::optional<PdoTableGap> gap;
    };
    const auto filled = [&](std::initializer_list<int> numbers, int count) {
        std::vector<PdoRow> rows(count, empty);
        for (int n : numbers)
            rows[n - 1] = full;
        return rows;
    };
    const Case cases[] = {
        {"rows 1-4 and 6", filled({1, 2, 3, 4, 6}, 10), PdoTableGap{5, 6}},
        {"rows 1 and 10", filled({1, 10}, 10), PdoTableGap{2, 10}},
        {"only a Mnemonic in row 3", {full, full, {"", "", "x"}, empty}, PdoTableGap{3, 3}},
        {"only a Dimension in row 1", {{"", "8", ""}, full}, PdoTableGap{1, 1}},
        {"a blank after the end", {full, empty, {"", " ", ""}}, PdoTableGap{2, 3}},
        {"empty rows after the table", filled({1, 2}, 10), std::nullopt},
        {"nothing at all", filled({}, 10), std::nullopt},
        {"no rows", {}, std::nullopt},
        {"every row filled", filled({1, 2, 3}, 3), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findPdoTableGap(c.rows), c.gap) << c.name;
}

TEST(PdoChecksTest, GapMessagesNameBothRows) {
    EXPECT_EQ(pdoGapMessage(PdoTableKind::Receive, {5, 6}),
              "Error! Row 5 has no COB-ID, so the table would end there, but row 6 holds text");
    EXPECT_EQ(pdoGapMessage(PdoTableKind::Receive, {3, 3}),
              "Error! Row 3 has no COB-ID, so the table would end there, but it holds text");
    EXPECT_EQ(pdoGapMessage(PdoTableKind::Transmit, {5, 6}),
              "Error in row 5. Cob-id is empty, so the table would end here, but row 6 holds text");
    EXPECT_EQ(pdoGapMessage(PdoTableKind::Transmit, {3, 3}),
              "Error in row 3. Cob-id is empty, so the table would end here, but the row holds text");
    EXPECT_EQ(pdoGapText({2, 10}), "the COB-ID is empty, so the table would end here, but row 10 holds text");
}

TEST(PdoChecksTest, TheGapComesAfterTheEntriesRules) {
    std::vector<PdoRow> rows = kFaultyTable;
    rows.push_back({"", "", ""});
    rows.push_back({"", "", "lost"});
    const PdoEditorCheck receive = checkPdoEditorTable(PdoTableKind::Receive, rows);
    EXPECT_EQ(receive.messages, std::vector<std::string>{"Error! The COB-ID must be between 0x000 and 0x7FF"});
    EXPECT_EQ(receive.emptyCobIdRow, std::nullopt);
    const PdoEditorCheck transmit = checkPdoEditorTable(PdoTableKind::Transmit, rows);
    EXPECT_EQ(transmit.messages,
              (std::vector<std::string>{"Error in row 2. Cob-id must be between 0x001 and 0x7FF",
                                        "Error in row 2. Dimension must be between 1 and 8",
                                        "Error in row 4. Dimension must be between 1 and 8",
                                        "Error in row 5. Cob-id is empty, so the table would end here, but row 6 "
                                        "holds text"}));
    EXPECT_EQ(transmit.emptyCobIdRow, 5u);

    rows[1] = {"0x182", "1", "b"};
    rows[3] = {"0x184", "1", "d"};
    const PdoEditorCheck fixed = checkPdoEditorTable(PdoTableKind::Receive, rows);
    EXPECT_EQ(fixed.messages,
              std::vector<std::string>{"Error! Row 5 has no COB-ID, so the table would end there, but row 6 holds text"});
    EXPECT_EQ(fixed.emptyCobIdRow, 5u);
}

TEST(PdoChecksTest, RootNamesAndLowestCobIds) {
    EXPECT_STREQ(pdoRootName(PdoTableKind::Receive), "RPDO");
    EXPECT_STREQ(pdoRootName(PdoTableKind::Transmit), "TPDO");
    EXPECT_EQ(pdoMinCobId(PdoTableKind::Receive), 0);
    EXPECT_EQ(pdoMinCobId(PdoTableKind::Transmit), 1);
}

} // namespace
