#include "editors/pdo_grid.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace strovane::editors {

namespace {

const QColor kEntryColumnColor{206, 255, 206};
constexpr int kColumnWidths[] = {64, 75, 75, 200};
constexpr int kRowHeight = 21;

QFont gridFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    return font;
}

// Hidden headers, rows of the fixed height, whole rows and columns per scroll step.
void setUpTableView(QTableView* view) {
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setWordWrap(false);
}

} // namespace

PdoGrid::PdoGrid(QWidget* parent) : QTableWidget(parent), m_frozenRow(new QTableView(this)) {
    setFont(gridFont());
    setUpTableView(this);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);

    // The same cells as row 0 of the grid, drawn the same way; the grid handles all input, so a
    // press on it counts as one on the header row.
    m_frozenRow->setObjectName(QStringLiteral("frozenHeaderRow"));
    setUpTableView(m_frozenRow);
    m_frozenRow->setModel(model());
    m_frozenRow->setFrameStyle(QFrame::NoFrame);
    m_frozenRow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozenRow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozenRow->setFocusPolicy(Qt::NoFocus);
    m_frozenRow->setSelectionMode(QAbstractItemView::NoSelection);
    m_frozenRow->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozenRow->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_frozenRow->hide();
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PdoGrid::placeFrozenRow);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &PdoGrid::placeFrozenRow);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_frozenRow->horizontalScrollBar(),
            &QScrollBar::setValue);
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
        if (c < int(std::size(kColumnWidths))) {
            setColumnWidth(c, kColumnWidths[c]);
            m_frozenRow->setColumnWidth(c, kColumnWidths[c]);
        }
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
    setCurrentCell(rows > 1 ? 1 : -1, columns > 1 ? 1 : -1);
    placeFrozenRow();
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

bool PdoGrid::isEntryPoint(const QPoint& point) const {
    if (m_frozenRow->isVisible() && point.y() < m_frozenRow->height())
        return false;
    const QModelIndex hit = indexAt(point);
    return !hit.isValid() || isEntryCell(hit.row(), hit.column());
}

void PdoGrid::placeFrozenRow() {
    // Scrolled by whole rows: at value 0 row 0 is in its own place and needs no cover.
    const bool scrolled = rowCount() > 0 && verticalScrollBar()->value() > 0;
    if (scrolled) {
        const QRect area = viewport()->geometry();
        m_frozenRow->setGeometry(area.x(), area.y(), area.width(), rowHeight(0));
        m_frozenRow->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
        // Scrolling moves the viewport's pixels, the cover's with them: draw it again.
        m_frozenRow->viewport()->update();
    }
    m_frozenRow->setVisible(scrolled);
}

void PdoGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableWidget::scrollTo(index, hint);
    // The top row lies under the header row while the grid is scrolled: show the one above it too.
    QScrollBar* bar = verticalScrollBar();
    if (index.isValid() && index.row() > 0 && bar->value() > 0 && index.row() <= bar->value())
        bar->setValue(index.row() - 1);
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
    if (!isEntryPoint(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void PdoGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!isEntryPoint(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void PdoGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!isEntryPoint(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
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

void PdoGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    placeFrozenRow();
}

} // namespace strovane::editors
