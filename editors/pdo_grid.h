#pragma once

#include <QTableWidget>

namespace strovane::editors {

// The PDO editors' grid: one fixed header row and one fixed number column, the other cells
// edited in place as plain text. Cells are addressed as (column, row) with the fixed row and
// column counted, so row 1 is the first entry. Rows that do not fit scroll under the header row,
// which stays in sight.
class PdoGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit PdoGrid(QWidget* parent = nullptr);

    // The cell's text; empty for a cell outside the grid.
    QString Cells(int column, int row) const;
    void setCells(int column, int row, const QString& text);

    // Sets the size and wipes every cell: fixed cells bold on the button face, the COB-ID and
    // Dimension columns green, the Mnemonic column on the window colour.
    void reset(int columns, int rows);

    // Takes the text of a cell editor that is still open into its cell.
    void commitOpenEditor();

    // Keeps the row in sight below the header row.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    // The cursor never stands on the header row or the number column: Tab walks the entry
    // cells row by row (Shift+Tab back), the arrows, Home and End stop at the entry cells.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Presses on the header row or the number column leave the cursor and the cells alone.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Ctrl+Tab and Ctrl+Shift+Tab leave the grid for the dialog's next or previous control.
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool isEntryCell(int row, int column) const;
    // True when the viewport point shows an entry cell (not one under the frozen header row).
    bool isEntryPoint(const QPoint& point) const;
    // Shows the header row over the top of the viewport while the grid is scrolled down.
    void placeFrozenRow();

    // Draws row 0 over the first visible row; takes no input.
    QTableView* m_frozenRow;
};

} // namespace strovane::editors
