#include "editor_fixture.h"
#include "editors/gui/pdo_grid.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "editors/gui/transmit_pdo_dialog.h"
#include "support/gui/modal.h"
#include "widgets/gui/hover_button.h"
#include "widgets/gui/colour_panel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>

#include <memory>

namespace {

using strovane::editors::PdoEditorDialog;
using strovane::editors::PdoGrid;
using strovane::editors::ReceivePdoDialog;
using strovane::editors::TransmitPdoDialog;
using strovane::testing::MessageRecorder;
using strovane::testing::readFile;
using strovane::testing::writeFile;
using strovane::widgets::BevelCut;
using strovane::widgets::ColorRef;
using strovane::widgets::HoverButton;
using strovane::widgets::ColourPanel;

enum class Editor { Receive, Transmit };

std::string editorName(const ::testing::TestParamInfo<Editor>& info) {
    return info.param == Editor::Receive ? "Receive" : "Transmit";
}

struct Row {
    const char* cobId;
    const char* dimension;
    const char* mnemonic;
};

std::string rowXml(const Row& r) {
    return std::string("<row COB-ID=\"") + r.cobId + "\" Dimension=\"" + r.dimension + "\" Mnemonic=\"" +
           r.mnemonic + "\"/>";
}

class PdoEditorFixture : public strovane::testing::EditorFixture {
protected:
    void create(Editor editor) {
        m_editor = editor;
        if (editor == Editor::Receive)
            m_dialog = std::make_unique<ReceivePdoDialog>(m_workspace, m_messages);
        else
            m_dialog = std::make_unique<TransmitPdoDialog>(m_workspace, m_messages);
        m_grid = m_dialog->findChild<PdoGrid*>("grid");
    }
    const std::string& file() const {
        return m_editor == Editor::Receive ? m_workspace.receivePdoFile : m_workspace.transmitPdoFile;
    }
    std::string root() const { return m_editor == Editor::Receive ? "RPDO" : "TPDO"; }
    std::string table(std::initializer_list<Row> rows, const std::string& rootName = {}) const {
        const std::string name = rootName.empty() ? root() : rootName;
        std::string xml = "<" + name + ">";
        for (const Row& r : rows)
            xml += rowXml(r);
        return xml + "</" + name + ">";
    }

    void open() {
        m_dialog->setResult(0);
        m_dialog->show();
    }
    QAbstractButton* ok() { return m_dialog->findChild<QAbstractButton*>("okButton"); }
    QAbstractButton* cancel() { return m_dialog->findChild<QAbstractButton*>("cancelButton"); }

    // Edits a cell in place as a user would: F2, replace the text, Enter (unless `leaveOpen`).
    void typeCell(int column, int row, const QString& text, bool leaveOpen = false) {
        m_grid->setFocus();
        m_grid->setCurrentCellPosition(column, row);
        QTest::keyClick(m_grid, Qt::Key_F2);
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : m_grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e; // closed editors linger, hidden, until deleted
        ASSERT_NE(editor, nullptr) << "no cell editor at " << column << "," << row;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        if (!leaveOpen)
            QTest::keyClick(editor, Qt::Key_Return);
    }
    void typeRow(int row, const Row& r) {
        typeCell(1, row, r.cobId);
        typeCell(2, row, r.dimension);
        typeCell(3, row, r.mnemonic);
    }
    QStringList gridRow(int row) const {
        return {m_grid->cellText(0, row), m_grid->cellText(1, row), m_grid->cellText(2, row), m_grid->cellText(3, row)};
    }

    Editor m_editor = Editor::Receive;
    std::unique_ptr<PdoEditorDialog> m_dialog;
    PdoGrid* m_grid = nullptr;
};

// Behaviour the two editors share.
class PdoEditorDialogTest : public PdoEditorFixture, public ::testing::WithParamInterface<Editor> {
protected:
    PdoEditorDialogTest() { create(GetParam()); }
};

TEST_P(PdoEditorDialogTest, NoDocumentShowsHeaderNumbersAndEmptyCells) {
    open();
    EXPECT_EQ(m_grid->columnCount(), 3);
    EXPECT_EQ(m_grid->entryRows(), 10);
    EXPECT_EQ(gridRow(0), QStringList({"N", "COB-ID", "Dimension", "Mnemonic"}));
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(gridRow(r), QStringList({QString::number(r), "", "", ""}));
    EXPECT_TRUE(m_messages.boxes.empty());
    EXPECT_EQ(m_dialog->rowCount(), 10);
}

TEST_P(PdoEditorDialogTest, HeaderRowAndNumberColumnNeverScrollAway) {
    open();
    m_dialog->resize(200, 120); // the user drags the border inwards
    QCoreApplication::processEvents();
    EXPECT_GE(m_dialog->width(), 447);
    EXPECT_GE(m_dialog->height(), 336);
    EXPECT_EQ(m_grid->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(m_grid->horizontalScrollBar()->maximum(), 0);
}

TEST_P(PdoEditorDialogTest, GridLooksAsSpecifiedAndOkHasTheFocus) {
    open();
    EXPECT_EQ(m_dialog->size(), QSize(447, 336));
    // The titles and numbers are the table's headers, fixed in size and bold on the button face.
    EXPECT_EQ(m_grid->verticalHeader()->width(), 64);
    EXPECT_EQ(m_grid->horizontalHeader()->height(), 21);
    const int widths[] = {75, 75, 200};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(m_grid->columnWidth(c), widths[c]);
    EXPECT_EQ(m_grid->rowHeight(5), 21);
    const QColor green(206, 255, 206);
    EXPECT_EQ(m_grid->item(2, 0)->background().color(), green);
    EXPECT_EQ(m_grid->item(2, 1)->background().color(), green);
    EXPECT_NE(m_grid->item(2, 2)->background().color(), green);
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(m_grid->item(6, c)->flags() & Qt::ItemIsEditable);
    const QImage shot = m_grid->grab().toImage();
    const QColor face = m_grid->palette().color(QPalette::Button);
    const QPoint numbers = m_grid->verticalHeader()->mapTo(m_grid, QPoint(32, 21 * 4 + 10));
    const QPoint title = m_grid->horizontalHeader()->mapTo(m_grid, QPoint(75 + 75 + 180, 10)); // past "Mnemonic"
    EXPECT_EQ(shot.pixelColor(numbers), face);
    EXPECT_EQ(shot.pixelColor(title), face);
    EXPECT_TRUE(m_grid->horizontalHeader()->font().bold() ||
                m_grid->horizontalHeader()->styleSheet().contains(QStringLiteral("bold")));
    EXPECT_FALSE(m_grid->horizontalHeader()->sectionsClickable());
    EXPECT_FALSE(m_grid->verticalHeader()->sectionsClickable());
    EXPECT_EQ(m_dialog->focusWidget(), ok());
    const QWidget* bar = ok()->parentWidget();
    EXPECT_EQ(bar->height(), 41);
    EXPECT_EQ(bar->geometry().bottom(), m_dialog->height() - 1);
    EXPECT_EQ(m_grid->geometry().bottom() + 1, bar->y());
}

TEST_P(PdoEditorDialogTest, OkWritesTheTypedTextsAndReopeningShowsThem) {
    open();
    typeRow(1, {"0x181", "8", "Temp in"});
    typeRow(2, {" 386", "$2", ""});
    click(ok());
    EXPECT_TRUE(m_messages.boxes.empty()) << m_messages.texts().join("|").toStdString();
    ASSERT_EQ(m_dialog->result(), 1);
    EXPECT_EQ(readFile(file()), table({{"0x181", "8", "Temp in"}, {" 386", "$2", ""}}));

    open();
    EXPECT_EQ(gridRow(1), QStringList({"1", "0x181", "8", "Temp in"}));
    EXPECT_EQ(gridRow(2), QStringList({"2", " 386", "$2", ""}));
    EXPECT_EQ(gridRow(3), QStringList({"3", "", "", ""}));
}

TEST_P(PdoEditorDialogTest, TabWalksTheEntryCellsAndTypingStartsEditing) {
    open();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    m_grid->setFocus();
    m_grid->setCurrentCellPosition(1, 1);
    // Typed into the focused widget, whatever it is now: the grid or a cell editor.
    const auto focused = [] {
        QWidget* w = QApplication::focusWidget();
        if (!w)
            ADD_FAILURE() << "nothing has the focus";
        return w;
    };
    const auto type = [&](const QString& text) {
        for (QChar c : text)
            if (QWidget* w = focused())
                QTest::keyClicks(w, QString(c));
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        if (QWidget* w = focused())
            QTest::keyClick(w, k, mods);
    };
    const Row rows[] = {{"0x181", "8", "Temp in"}, {"386", "2", "Level"}, {"$1A0", "1", ""}};
    for (const Row& r : rows) {
        type(QString::fromUtf8(r.cobId));
        key(Qt::Key_Tab);
        type(QString::fromUtf8(r.dimension));
        key(Qt::Key_Tab);
        type(QString::fromUtf8(r.mnemonic));
        key(Qt::Key_Tab);
    }
    EXPECT_EQ(gridRow(1), QStringList({"1", "0x181", "8", "Temp in"}));
    EXPECT_EQ(gridRow(2), QStringList({"2", "386", "2", "Level"}));
    EXPECT_EQ(gridRow(3), QStringList({"3", "$1A0", "1", ""}));
    EXPECT_EQ(m_grid->currentCellPosition().y(), 4);
    EXPECT_EQ(m_grid->currentCellPosition().x(), 1) << "Tab from a Mnemonic goes to the next row's COB-ID";

    key(Qt::Key_Escape); // out of the cell editor, the cursor stays
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int row, column;
    };
    const Step steps[] = {
        {Qt::Key_Backtab, Qt::ShiftModifier, 3, 3}, {Qt::Key_Home, {}, 3, 1}, {Qt::Key_Left, {}, 3, 1},
        {Qt::Key_End, {}, 3, 3},  {Qt::Key_Home, Qt::ControlModifier, 1, 1}, {Qt::Key_Up, {}, 1, 1},
        {Qt::Key_Backtab, Qt::ShiftModifier, 10, 3}, {Qt::Key_Tab, {}, 1, 1},
    };
    for (const Step& s : steps) {
        m_grid->setFocus();
        key(s.key, s.mods);
        EXPECT_EQ(m_grid->currentCellPosition().y(), s.row) << "key " << s.key;
        EXPECT_EQ(m_grid->currentCellPosition().x(), s.column) << "key " << s.key;
    }
    // A click on the number column or the header row leaves the cursor where it was.
    const std::pair<QWidget*, QPoint> headerPoints[] = {
        {m_grid->verticalHeader()->viewport(), QPoint(30, 21 * 4 + 10)},
        {m_grid->horizontalHeader()->viewport(), QPoint(75 + 30, 10)}};
    for (const auto& [header, point] : headerPoints) {
        QTest::mouseClick(header, Qt::LeftButton, {}, point);
        QTest::mouseDClick(header, Qt::LeftButton, {}, point);
        EXPECT_EQ(m_grid->currentCellPosition().y(), 1);
        EXPECT_EQ(m_grid->currentCellPosition().x(), 1);
    }
    // Ctrl+Tab leaves the grid for OK; Ctrl+Shift+Tab comes back.
    m_grid->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), ok());
    m_grid->setFocus();
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(QApplication::focusWidget(), m_grid);
}

TEST_P(PdoEditorDialogTest, OkTakesTheTextOfACellStillBeingEdited) {
    open();
    typeCell(1, 1, "0x201");
    typeCell(2, 1, "4", /*leaveOpen=*/true);
    ok()->click(); // a button that takes no focus leaves the editor open

    ASSERT_EQ(m_dialog->result(), 1) << m_messages.texts().join("|").toStdString();
    EXPECT_EQ(readFile(file()), table({{"0x201", "4", ""}}));
}

TEST_P(PdoEditorDialogTest, EmptyTableSavesAnEmptyRoot) {
    writeFile(file(), table({{"1", "1", "a"}}));
    open();
    typeRow(1, {"", "", ""});
    click(ok());
    ASSERT_EQ(m_dialog->result(), 1);
    EXPECT_EQ(readFile(file()), "<" + root() + "/>");
}

TEST_P(PdoEditorDialogTest, EmptyRowsAfterTheTableAreNotSaved) {
    open();
    typeRow(1, {"1", "1", "a"});
    typeRow(2, {"2", "2", "b"});
    typeRow(3, {"3", "3", "c"});
    typeRow(3, {"", "", ""}); // typed and cleared again
    click(ok());
    EXPECT_TRUE(m_messages.boxes.empty()) << m_messages.texts().join("|").toStdString();
    ASSERT_EQ(m_dialog->result(), 1);
    EXPECT_EQ(readFile(file()), table({{"1", "1", "a"}, {"2", "2", "b"}}));
}

// Rows typed after an empty COB-ID are refused at OK, naming both rows, with the empty cell selected.
TEST_P(PdoEditorDialogTest, TextAfterAnEmptyCobIdIsRefused) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, Row>> typed;
        int emptyRow;
        const char* receiveMessage;
        const char* transmitMessage;
    };
    const Row valid{"0x181", "8", "a"};
    const Case cases[] = {
        {"rows 1-4 and 6",
         {{1, valid}, {2, valid}, {3, valid}, {4, valid}, {6, valid}},
         5,
         "Error! Row 5 has no COB-ID, so the table would end there, but row 6 holds text",
         "Error in row 5. Cob-id is empty, so the table would end here, but row 6 holds text"},
        {"rows 1 and 10",
         {{1, valid}, {10, valid}},
         2,
         "Error! Row 2 has no COB-ID, so the table would end there, but row 10 holds text",
         "Error in row 2. Cob-id is empty, so the table would end here, but row 10 holds text"},
        {"only a Mnemonic in row 3",
         {{1, valid}, {2, valid}, {3, {"", "", "spare"}}},
         3,
         "Error! Row 3 has no COB-ID, so the table would end there, but it holds text",
         "Error in row 3. Cob-id is empty, so the table would end here, but the row holds text"},
        // Values past the end are not checked: the gap is what is reported.
        {"out of range after the end",
         {{1, valid}, {3, {"5000", "9", ""}}},
         2,
         "Error! Row 2 has no COB-ID, so the table would end there, but row 3 holds text",
         "Error in row 2. Cob-id is empty, so the table would end here, but row 3 holds text"},
    };
    const std::string before = table({{"7", "7", "kept"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(file(), before);
        m_messages.clear();
        open();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
        typeRow(1, {"", "", ""});
        for (const auto& [row, r] : c.typed)
            typeRow(row, r);
        m_grid->setCurrentCellPosition(3, 1); // anywhere else
        ok()->setFocus();
        click(ok());
        ASSERT_EQ(m_messages.boxes.size(), 1u) << m_messages.texts().join("|").toStdString();
        const bool receive = GetParam() == Editor::Receive;
        EXPECT_EQ(m_messages.boxes[0].kind, receive ? MessageRecorder::Kind::Error : MessageRecorder::Kind::Plain);
        EXPECT_EQ(m_messages.boxes[0].text, receive ? c.receiveMessage : c.transmitMessage);
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_EQ(m_dialog->result(), 0);
        EXPECT_EQ(readFile(file()), before);
        EXPECT_EQ(m_grid->currentCellPosition().y(), c.emptyRow);
        EXPECT_EQ(m_grid->currentCellPosition().x(), 1);
        EXPECT_EQ(QApplication::focusWidget(), m_grid);
        m_dialog->reject();
    }
}

TEST_P(PdoEditorDialogTest, AGapIsFixedByFillingItOrClearingTheRowsAfterIt) {
    for (bool fill : {true, false}) {
        SCOPED_TRACE(fill ? "filled" : "cleared");
        std::filesystem::remove(file());
        m_messages.clear();
        open();
        m_dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
        typeRow(1, {"1", "1", "a"});
        typeRow(3, {"3", "3", "c"});
        click(ok());
        ASSERT_EQ(m_messages.boxes.size(), 1u);
        ASSERT_EQ(m_grid->currentCellPosition().y(), 2);
        ASSERT_EQ(QApplication::focusWidget(), m_grid);
        if (fill) {
            // Typed straight into the selected cell.
            QTest::keyClicks(m_grid, "2");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), "2");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            typeRow(3, {"", "", ""});
        }
        click(ok());
        EXPECT_EQ(m_messages.boxes.size(), 1u) << m_messages.texts().join("|").toStdString();
        ASSERT_EQ(m_dialog->result(), 1);
        EXPECT_EQ(readFile(file()), fill ? table({{"1", "1", "a"}, {"2", "2", ""}, {"3", "3", "c"}})
                                         : table({{"1", "1", "a"}}));
    }
}

TEST_P(PdoEditorDialogTest, LongTablesAreShownAndSavedWhole) {
    for (int count : {11, 40, 300}) {
        SCOPED_TRACE(count);
        std::string xml = "<" + root() + ">";
        for (int i = 1; i <= count; ++i)
            xml += "<row COB-ID=\"" + std::to_string(i) + "\" Dimension=\"1\" Mnemonic=\"m" + std::to_string(i) +
                   "\"/>";
        xml += "</" + root() + ">";
        writeFile(file(), xml);
        open();
        ASSERT_EQ(m_grid->entryRows(), count);
        const QString last = QString::number(count);
        EXPECT_EQ(gridRow(count), QStringList({last, last, "1", "m" + last}));
        EXPECT_EQ(m_dialog->rowCount(), count);
        click(ok());
        ASSERT_EQ(m_dialog->result(), 1) << m_messages.texts().join("|").toStdString();
        EXPECT_EQ(readFile(file()), xml);
    }
}

TEST_P(PdoEditorDialogTest, LongTableScrollsUnderTheHeaderRow) {
    std::vector<Row> rows;
    std::vector<std::string> texts;
    for (int i = 1; i <= 40; ++i)
        texts.push_back(std::to_string(i));
    for (const std::string& t : texts)
        rows.push_back({t.c_str(), "2", "m"});
    std::string xml = "<" + root() + ">";
    for (const Row& r : rows)
        xml += rowXml(r);
    writeFile(file(), xml + "</" + root() + ">");
    open();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    QScrollBar* bar = m_grid->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(m_grid->horizontalScrollBar()->maximum(), 0);

    // The header row is on the button face; the COB-ID column's entry cells are green.
    const QPoint cobIdHeader = m_grid->horizontalHeader()->mapTo(m_grid, QPoint(3, 3));
    const auto colourAt = [&](QPoint p) { return m_grid->grab().toImage().pixelColor(p); };
    const QColor fixedColour = m_grid->palette().color(QPalette::Button);
    EXPECT_EQ(colourAt(cobIdHeader), fixedColour);

    m_grid->setFocus();
    QTest::keyClick(m_grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(m_grid->currentCellPosition().y(), 40);
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(colourAt(cobIdHeader), fixedColour) << "the header row scrolled away";
    const QRect lastRow = m_grid->visualRect(m_grid->model()->index(39, 2));
    EXPECT_TRUE(m_grid->viewport()->rect().contains(lastRow)) << "row 40 is out of sight";

    // Up to the top again, row by row: the cursor never hides under the header row.
    for (int row = 39; row >= 1; --row) {
        QTest::keyClick(m_grid, Qt::Key_Up);
        ASSERT_EQ(m_grid->currentCellPosition().y(), row);
        const QRect cell = m_grid->visualRect(m_grid->currentIndex());
        ASSERT_GE(cell.top(), 0) << "row " << row << " is out of sight";
    }
    EXPECT_EQ(bar->value(), 0);

    // A click on the header row while scrolled leaves the cursor where it is.
    QTest::keyClick(m_grid, Qt::Key_End, Qt::ControlModifier);
    QTest::mouseClick(m_grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(75 + 10, 10));
    QTest::mouseDClick(m_grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(75 + 10, 10));
    EXPECT_EQ(m_grid->currentCellPosition().y(), 40);
    EXPECT_EQ(m_grid->currentCellPosition().x(), 3);
    for (const QLineEdit* e : m_grid->viewport()->findChildren<QLineEdit*>())
        EXPECT_FALSE(e->isVisible()) << "a double click on the header row opened a cell editor";

    // The last row takes typing like any other and OK writes it with the rest.
    QTest::keyClicks(m_grid, "x");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    click(ok());
    ASSERT_EQ(m_dialog->result(), 1) << m_messages.texts().join("|").toStdString();
    rows.back().mnemonic = "x";
    std::string saved = "<" + root() + ">";
    for (const Row& r : rows)
        saved += rowXml(r);
    EXPECT_EQ(readFile(file()), saved + "</" + root() + ">");
}

TEST_P(PdoEditorDialogTest, AnyRootNameIsReadAndTheEditorsOwnIsWritten) {
    writeFile(file(), table({{"0x181", "2", "x"}}, "Whatever"));
    open();
    EXPECT_EQ(gridRow(1), QStringList({"1", "0x181", "2", "x"}));
    click(ok());
    EXPECT_EQ(readFile(file()), table({{"0x181", "2", "x"}}));
}

TEST_P(PdoEditorDialogTest, ReopeningWipesWhatTheLastShowingHeld) {
    writeFile(file(), table({{"1", "1", "a"}, {"2", "2", "b"}, {"3", "3", "c"}}));
    open();
    m_dialog->reject();
    writeFile(file(), table({{"7", "7", "z"}}));
    open();
    EXPECT_EQ(gridRow(1), QStringList({"1", "7", "7", "z"}));
    EXPECT_EQ(gridRow(2), QStringList({"2", "", "", ""}));
    EXPECT_EQ(gridRow(3), QStringList({"3", "", "", ""}));
}

TEST_P(PdoEditorDialogTest, CancelAndCloseBoxWriteNothing) {
    const std::string before = table({{"0x181", "8", "a"}});
    writeFile(file(), before);
    for (bool closeBox : {false, true}) {
        open();
        typeRow(1, {"5", "5", "changed"});
        if (closeBox)
            m_dialog->close();
        else
            click(cancel());
        EXPECT_EQ(m_dialog->result(), 2);
        EXPECT_FALSE(m_dialog->isVisible());
        EXPECT_EQ(readFile(file()), before);
        open();
        EXPECT_EQ(gridRow(1), QStringList({"1", "0x181", "8", "a"}));
        m_dialog->reject();
    }
    EXPECT_TRUE(m_messages.boxes.empty());
}

TEST_P(PdoEditorDialogTest, MalformedDocumentIsReportedAndTheTableIsEmpty) {
    writeFile(file(), "<" + root() + "><row COB-ID=\"1\" Dimension=\"1\" Mnemonic=\"\"/>");
    open();
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_FALSE(m_messages.boxes[0].text.isEmpty());
    EXPECT_EQ(gridRow(0), QStringList({"N", "COB-ID", "Dimension", "Mnemonic"}));
    EXPECT_EQ(gridRow(1), QStringList({"1", "", "", ""}));
}

TEST_P(PdoEditorDialogTest, RowWithoutAnAttributeStopsReadingThere) {
    writeFile(file(), "<" + root() + ">" + rowXml({"1", "2", "a"}) + rowXml({"3", "4", "b"}) +
                          "<row COB-ID=\"5\" Mnemonic=\"c\"/>" + rowXml({"7", "8", "d"}) + "</" + root() +
                          ">");
    open();
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(m_messages.boxes[0].text.contains("Dimension")) << m_messages.boxes[0].text.toStdString();
    EXPECT_EQ(gridRow(2), QStringList({"2", "3", "4", "b"}));
    EXPECT_EQ(gridRow(3), QStringList({"3", "5", "", ""}));
    EXPECT_EQ(gridRow(4), QStringList({"4", "", "", ""}));
}

TEST_P(PdoEditorDialogTest, SaveFailureKeepsTheDialogTheGridAndTheFile) {
    const std::string before = table({{"1", "1", "a"}});
    writeFile(file(), before);
    makeReadOnly(file());
    open();
    typeRow(1, {"0x181", "8", "new"});
    click(ok());
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(m_messages.boxes[0].text.contains(root() == "RPDO" ? "RPDOs.xml" : "TPDOs.xml"));
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), 0);
    EXPECT_EQ(gridRow(1), QStringList({"1", "0x181", "8", "new"}));
    EXPECT_EQ(readFile(file()), before);
}

TEST_P(PdoEditorDialogTest, MnemonicXmlCannotHoldIsRefusedAndTheFileKept) {
    const std::string before = table({{"1", "1", "a"}});
    writeFile(file(), before);
    open();
    typeRow(1, {"0x181", "8", "x"});
    m_grid->setCellText(3, 1, QStringLiteral("bell\x07")); // pasted: keys cannot type it
    click(ok());
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(m_messages.boxes[0].text.contains("Mnemonic")) << m_messages.boxes[0].text.toStdString();
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(readFile(file()), before);
}

TEST_P(PdoEditorDialogTest, ModalShowingAnswersOkWithOne) {
    strovane::testing::onNextModal([](QWidget* w) {
        auto* grid = w->findChild<PdoGrid*>("grid");
        grid->setCellText(1, 1, "0x7FF");
        grid->setCellText(2, 1, "8");
        click(w->findChild<QAbstractButton*>("okButton"));
    });
    EXPECT_EQ(m_dialog->exec(), 1);
    EXPECT_EQ(readFile(file()), table({{"0x7FF", "8", ""}}));
}

INSTANTIATE_TEST_SUITE_P(Editors, PdoEditorDialogTest, ::testing::Values(Editor::Receive, Editor::Transmit),
                         editorName);

// One COB-ID and Dimension in row 1 and whether each editor takes it.
struct ValueCase {
    const char* cobId;
    const char* dimension;
    bool receiveTakes;
    bool transmitTakes;
};

class PdoValueTest : public PdoEditorFixture, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(PdoValueTest, EachEditorTakesOrRefusesTheRow) {
    const ValueCase& c = GetParam();
    for (Editor editor : {Editor::Receive, Editor::Transmit}) {
        SCOPED_TRACE(editor == Editor::Receive ? "receive" : "transmit");
        m_messages.clear();
        create(editor);
        open();
        typeRow(1, {c.cobId, c.dimension, "m"});
        click(ok());
        const bool takes = editor == Editor::Receive ? c.receiveTakes : c.transmitTakes;
        EXPECT_EQ(m_dialog->result(), takes ? 1 : 0);
        EXPECT_EQ(m_messages.boxes.empty(), takes) << m_messages.texts().join("|").toStdString();
        EXPECT_EQ(exists(file()), takes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PdoValueTest,
    ::testing::Values(ValueCase{"2047", "8", true, true}, ValueCase{"0x7FF", "1", true, true},
                      ValueCase{"$7ff", "4", true, true}, ValueCase{"  0X7FF", "4", true, true},
                      ValueCase{"0x800", "4", false, false}, ValueCase{"2048", "4", false, false},
                      ValueCase{"7FF", "4", false, false}, ValueCase{"0x7FF ", "4", false, false},
                      ValueCase{"0x", "4", false, false}, ValueCase{"-1", "4", false, false},
                      ValueCase{"$FFFFFFFF", "4", false, false}, ValueCase{"0", "4", true, false},
                      ValueCase{"1", "4", true, true}, ValueCase{"385", "", false, false},
                      ValueCase{"385", "0", false, false}, ValueCase{"385", "9", false, false},
                      ValueCase{"385", "$8", true, true}));

// Rows 1 to 4 filled; row 2 with COB-ID 5000 and Dimension 9, row 4 with Dimension 0.
class FaultyTableTest : public PdoEditorFixture {
protected:
    void typeFaultyTable() {
        typeRow(1, {"0x181", "8", "a"});
        typeRow(2, {"5000", "9", "b"});
        typeRow(3, {"0x183", "2", "c"});
        typeRow(4, {"0x184", "0", "d"});
    }
};

TEST_F(FaultyTableTest, ReceiveEditorShowsOnlyTheFirstErrorInAnErrorBox) {
    create(Editor::Receive);
    open();
    typeFaultyTable();
    click(ok());
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_EQ(m_messages.boxes[0].text, "Error! The COB-ID must be between 0x000 and 0x7FF");
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_FALSE(exists(file()));
    // The correction is typed at once: the cell the message is about has the cursor and the focus.
    EXPECT_EQ(m_grid->currentCellPosition(), QPoint(1, 2));
    EXPECT_EQ(m_dialog->focusWidget(), m_grid);

    m_messages.clear();
    typeCell(1, 2, "0x182");
    click(ok());
    EXPECT_EQ(m_messages.texts(), QStringList{"Error! The Dimension must be between 1 and 8"});
    EXPECT_EQ(gridRow(2), QStringList({"2", "0x182", "9", "b"}));
    EXPECT_EQ(m_grid->currentCellPosition(), QPoint(2, 2));
    EXPECT_EQ(m_dialog->focusWidget(), m_grid);
}

TEST_F(FaultyTableTest, TransmitEditorShowsEveryErrorInRowOrderInPlainBoxes) {
    create(Editor::Transmit);
    open();
    typeFaultyTable();
    click(ok());
    EXPECT_EQ(m_messages.texts(), QStringList({"Error in row 2. Cob-id must be between 0x001 and 0x7FF",
                                               "Error in row 2. Dimension must be between 1 and 8",
                                               "Error in row 4. Dimension must be between 1 and 8"}));
    for (const auto& box : m_messages.boxes)
        EXPECT_EQ(box.kind, MessageRecorder::Kind::Plain);
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_FALSE(exists(file()));
    EXPECT_EQ(m_grid->currentCellPosition(), QPoint(1, 2)) << "the cell of the first message";
    EXPECT_EQ(m_dialog->focusWidget(), m_grid);
}

TEST_F(FaultyTableTest, EditorsDifferInCaptionBarAndButtons) {
    struct Expected {
        Editor editor;
        const char* caption;
        QRect okRect;
        QRect cancelRect;
        BevelCut barBevel;
        ColorRef captionColor;
    };
    const Expected cases[] = {
        {Editor::Receive,
         "Receive PDOs",
         {12, 10, 69, 23},
         {92, 10, 69, 23},
         BevelCut::None,
         0x333333},
        {Editor::Transmit,
         "Transmit PDOs",
         {4, 10, 85, 23},
         {100, 10, 85, 23},
         BevelCut::Raised,
         strovane::widgets::kSysWindowText},
    };
    for (const Expected& e : cases) {
        create(e.editor);
        open();
        EXPECT_EQ(m_dialog->windowTitle(), e.caption);
        QWidget* bar = m_dialog->findChild<QWidget*>("buttonBar");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(ok()->parentWidget(), bar);
        EXPECT_EQ(ok()->geometry(), e.okRect);
        QAbstractButton* cancelButton = cancel();
        ASSERT_NE(cancelButton, nullptr);
        EXPECT_EQ(cancelButton->geometry(), e.cancelRect);
        EXPECT_EQ(ok()->text(), "OK");
        EXPECT_EQ(cancelButton->text(), "Cancel");
        auto* panel = qobject_cast<ColourPanel*>(bar);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->bevelOuter(), e.barBevel);
        EXPECT_EQ(panel->color(), 0x00EDF7F8u);
        for (QAbstractButton* b : {ok(), cancelButton}) {
            auto* hover = qobject_cast<HoverButton*>(b);
            ASSERT_NE(hover, nullptr);
            EXPECT_EQ(hover->fontColor(), e.captionColor);
            EXPECT_EQ(hover->buttonStyle(), strovane::widgets::HoverButtonStyle::Encarta);
        }
        // Only Cancel ends the dialog by itself; OK validates and saves first.
        EXPECT_EQ(qobject_cast<HoverButton*>(ok())->modalResult(), 0);
        EXPECT_EQ(qobject_cast<HoverButton*>(cancelButton)->modalResult(), 2);
    }
}

} // namespace
