#include "editors/pdo_grid.h"

#include "widgets/sans_font.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace strovane::editors {

namespace {

const QColor kEntryColumnColor{206, 255, 206};
constexpr int kColumnWidths[] = {64, 75, 75, 200};
constexpr int kRowHeight = 21;

QFont gridFont() {
    QFont font(widgets::sansSerifFamily(QStringLiteral("Tahoma")));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

PdoGrid::PdoGrid(QWidget* parent) : QTableWidget(parent) {
    setFont(gridFont());
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
}

QString PdoGrid::Cells(int column, int row) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void PdoGrid::setCells(int column, int row, const QString& text) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

void PdoGrid::reset(int columns, int rows) {
    commitOpenEditor();
    setColumnCount(columns);
    setRowCount(rows);
    QFont fixedFont = font();
    fixedFont.setBold(true);
    const QColor fixedColor = palette().color(QPalette::Button);
    const QColor windowColor = palette().color(QPalette::Base);
    for (int c = 0; c < columns; ++c) {
        if (c < int(std::size(kColumnWidths)))
            setColumnWidth(c, kColumnWidths[c]);
        for (int r = 0; r < rows; ++r) {
            auto* cell = new QTableWidgetItem(QString());
            if (c == 0 || r == 0) {
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setFont(fixedFont);
                cell->setBackground(fixedColor);
            } else {
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
                cell->setBackground(c == 1 || c == 2 ? kEntryColumnColor : windowColor);
            }
            setItem(r, c, cell);
        }
    }
    for (int r = 0; r < rows; ++r)
        setRowHeight(r, kRowHeight);
    setCurrentCell(rows > 1 ? 1 : -1, columns > 1 ? 1 : -1);
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

bool PdoGrid::isEntryCell(int row, int column) const {
    return row >= 1 && column >= 1 && row < rowCount() && column < columnCount();
}

QModelIndex PdoGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows < 2 || columns < 2)
        return {};
    const QModelIndex current = currentIndex();
    int row = std::clamp(current.isValid() ? current.row() : 1, 1, rows - 1);
    int column = std::clamp(current.isValid() ? current.column() : 1, 1, columns - 1);
    switch (action) {
    case MoveNext:
        // Past the last entry cell of a row to the first of the next; past the end to the start.
        if (++column >= columns) {
            column = 1;
            row = row + 1 < rows ? row + 1 : 1;
        }
        break;
    case MovePrevious:
        if (--column < 1) {
            column = columns - 1;
            row = row > 1 ? row - 1 : rows - 1;
        }
        break;
    case MoveHome:
        column = 1;
        if (modifiers & Qt::ControlModifier)
            row = 1;
        break;
    case MoveEnd:
        column = columns - 1;
        if (modifiers & Qt::ControlModifier)
            row = rows - 1;
        break;
    default: {
        const QModelIndex moved = QTableWidget::moveCursor(action, modifiers);
        if (!moved.isValid())
            return current;
        row = std::max(moved.row(), 1);
        column = std::max(moved.column(), 1);
        break;
    }
    }
    return model()->index(row, column, rootIndex());
}

void PdoGrid::mousePressEvent(QMouseEvent* event) {
    // A click on the header row or the number column leaves the cursor where it is.
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid() && !isEntryCell(hit.row(), hit.column())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
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

void PdoGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    // Whatever moved it there (a selection by code, a search), the cursor goes to the nearest entry cell.
    if (current.isValid() && !isEntryCell(current.row(), current.column()) && rowCount() > 1 && columnCount() > 1)
        setCurrentCell(std::max(current.row(), 1), std::max(current.column(), 1));
}

} // namespace strovane::editors
