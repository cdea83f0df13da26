#include "editors/pdo_grid.h"

#include <QFontDatabase>
#include <QHeaderView>

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

} // namespace strovane::editors
