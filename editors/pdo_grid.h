#pragma once

#include <QTableWidget>

namespace strovane::editors {

// The PDO editors' grid: one fixed header row and one fixed number column, the other cells
// edited in place as plain text. Cells are addressed as (column, row) with the fixed row and
// column counted, so row 1 is the first entry.
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

protected:
    // The cursor never stands on the header row or the number column: Tab walks the entry
    // cells row by row (Shift+Tab back), the arrows, Home and End stop at the entry cells.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Ctrl+Tab and Ctrl+Shift+Tab leave the grid for the dialog's next or previous control.
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    bool isEntryCell(int row, int column) const;
};

} // namespace strovane::editors
