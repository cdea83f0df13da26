#include "editors/gui/pdo_grid.h"

#include "widgets/gui/frame_overlay.h"
#include "widgets/gui/sans_font.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace strovane::editors {

namespace {

const QColor kEntryColumnColor{206, 255, 206};
constexpr int kNumberColumnWidth = 64;
constexpr int kEntryColumnWidths[] = {75, 75, 200};
constexpr int kRowHeight = 21;
// Where a cell's text starts: the item views' own margin, so titles line up with the cells.
constexpr int kTextIndent = 3;

QFont gridFont() {
    QFont font(widgets::sansSerifFamily(QStringLiteral("Tahoma")));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Headers that look like the grid's fixed cells: bold on the button face, left-aligned, the grid
// lines on their right and bottom; they take no clicks.
void setUpHeader(QHeaderView* header, const QColor& face, const QColor& text, const QColor& line,
                 const QColor& empty) {
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(1);
    header->setStyleSheet(QStringLiteral("QHeaderView { background-color: %5; border: none; }"
                                         "QHeaderView::section { background-color: %1; color: %2; border: none;"
                                         " border-right: 1px solid %3; border-bottom: 1px solid %3;"
                                         " padding: 0px 0px 0px %4px; font-weight: bold; }")
                              .arg(face.name(), text.name(), line.name())
                              .arg(kTextIndent)
                              .arg(empty.name()));
}

} // namespace

PdoGrid::PdoGrid(QWidget* parent) : QTableWidget(parent), m_corner(new QLabel(this)) {
    setFont(gridFont());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    widgets::keepFrameOnTop(this); // whole borders at 125 % and 150 %
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setCornerButtonEnabled(false);

    QStyleOptionViewItem option;
    option.initFrom(this);
    const QColor line = QColor::fromRgb(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    // Past the last row or column the grid shows the window colour, as the cells' own area does.
    const QColor empty = palette().color(QPalette::Base);
    setUpHeader(horizontalHeader(), face, text, line, empty);
    setUpHeader(verticalHeader(), face, text, line, empty);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kNumberColumnWidth);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    m_corner->setObjectName(QStringLiteral("numberTitle"));
    m_corner->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border: none;"
                                           " border-right: 1px solid %3; border-bottom: 1px solid %3;"
                                           " padding-left: %4px; font-weight: bold; }")
                                .arg(face.name(), text.name(), line.name())
                                .arg(kTextIndent - 2)); // a label draws its text further in
    m_corner->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString PdoGrid::cellText(int column, int row) const {
    if (column == 0 && row == 0)
        return m_corner->text();
    if (row == 0) {
        const QTableWidgetItem* title = horizontalHeaderItem(column - 1);
        return title ? title->text() : QString();
    }
    if (column == 0) {
        const QTableWidgetItem* number = verticalHeaderItem(row - 1);
        return number ? number->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, column - 1);
    return cell ? cell->text() : QString();
}

void PdoGrid::setCellText(int column, int row, const QString& text) {
    if (column < 0 || row < 0 || column > columnCount() || row > rowCount())
        return;
    if (column == 0 && row == 0)
        m_corner->setText(text);
    else if (row == 0)
        setHorizontalHeaderItem(column - 1, new QTableWidgetItem(text));
    else if (column == 0)
        setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    else if (QTableWidgetItem* cell = item(row - 1, column - 1))
        cell->setText(text);
}

void PdoGrid::resetCells(int columns, int rows) {
    commitOpenEditor();
    const int entryColumns = std::max(columns - 1, 0);
    const int entryRowCount = std::max(rows - 1, 0);
    setColumnCount(entryColumns);
    setRowCount(entryRowCount);
    m_corner->clear();
    const QColor windowColor = palette().color(QPalette::Base);
    for (int c = 0; c < entryColumns; ++c) {
        if (c < int(std::size(kEntryColumnWidths)))
            setColumnWidth(c, kEntryColumnWidths[c]);
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        for (int r = 0; r < entryRowCount; ++r) {
            auto* cell = new QTableWidgetItem(QString());
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            cell->setBackground(c == 0 || c == 1 ? kEntryColumnColor : windowColor);
            setItem(r, c, cell);
        }
    }
    for (int r = 0; r < entryRowCount; ++r)
        setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
    setCurrentCell(entryRowCount > 0 && entryColumns > 0 ? 0 : -1, entryRowCount > 0 && entryColumns > 0 ? 0 : -1);
}

QPoint PdoGrid::currentCellPosition() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? QPoint(current.column() + 1, current.row() + 1) : QPoint();
}

void PdoGrid::setCurrentCellPosition(int column, int row) {
    if (column < 1 || row < 1 || column > columnCount() || row > rowCount())
        return;
    setCurrentCell(row - 1, column - 1);
    scrollTo(currentIndex());
}

void PdoGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    // The viewport's only children are the cell editors; at most one is open.
    for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!editor->isVisible())
            continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
}

QModelIndex PdoGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows < 1 || columns < 1)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() : 0;
    switch (action) {
    case MoveNext:
        // Past the last entry of a row to the first of the next; past the end to the start.
        if (++column >= columns) {
            column = 0;
            row = row + 1 < rows ? row + 1 : 0;
        }
        break;
    case MovePrevious:
        if (--column < 0) {
            column = columns - 1;
            row = row > 0 ? row - 1 : rows - 1;
        }
        break;
    case MoveHome:
        column = 0;
        if (modifiers & Qt::ControlModifier)
            row = 0;
        break;
    case MoveEnd:
        column = columns - 1;
        if (modifiers & Qt::ControlModifier)
            row = rows - 1;
        break;
    default:
        return QTableWidget::moveCursor(action, modifiers);
    }
    return model()->index(row, column, rootIndex());
}

void PdoGrid::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        QAbstractScrollArea::focusNextPrevChild(!back);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void PdoGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    // Over the corner where the headers meet, in the frame.
    const QRect area = viewport()->geometry();
    m_corner->setGeometry(area.left() - verticalHeader()->width(), area.top() - horizontalHeader()->height(),
                          verticalHeader()->width(), horizontalHeader()->height());
    m_corner->raise();
}

} // namespace strovane::editors
