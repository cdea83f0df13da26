#pragma once

#include <QTableWidget>

class QLabel;

namespace strovane::editors {

// The PDO editors' grid: a fixed header row of column titles and a fixed column of row numbers
// (real headers, so assistive technology reads them as the table's headers), the entry cells
// edited in place as plain text. Cells are addressed as (column, row) with the header row and
// number column counted: row 0 holds the titles, column 0 the numbers, row 1 is the first entry.
// Rows that do not fit scroll under the header row, which stays in sight.
class PdoGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit PdoGrid(QWidget* parent = nullptr);

    // The cell's text (a title or number for row 0 or column 0); empty outside the grid.
    QString cellText(int column, int row) const;
    void setCellText(int column, int row, const QString& text);

    // Sets the size, counted with the header row and number column, and wipes every cell: the
    // headers bold on the button face, the COB-ID and Dimension columns green, the Mnemonic
    // column on the window colour.
    void resetCells(int columns, int rows);

    // Entry rows (without the header row).
    int entryRows() const { return rowCount(); }
    // The entry cell under the cursor as (column, row) counted like cellText(); (0, 0) when none.
    QPoint currentCellPosition() const;
    // Moves the cursor to the entry cell (column >= 1, row >= 1) and shows it.
    void setCurrentCellPosition(int column, int row);

    // Takes the text of a cell editor that is still open into its cell.
    void commitOpenEditor();

protected:
    // Tab walks the entry cells row by row (Shift+Tab back), wrapping at either end; Home and
    // End go to the row's first and last entry (with Ctrl, the table's).
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Ctrl+Tab and Ctrl+Shift+Tab leave the grid for the dialog's next or previous control.
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

private:
    // The title of the number column, drawn in the corner where the headers meet.
    QLabel* m_corner;
};

} // namespace strovane::editors
