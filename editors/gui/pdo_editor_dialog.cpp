#include "editors/gui/pdo_editor_dialog.h"

#include "editors/gui/dialog_button.h"
#include "editors/gui/pdo_grid.h"
#include "platform/path_text.h"
#include "widgets/gui/hover_button.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/colour_panel.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace strovane::editors {

namespace {

constexpr int kClientWidth = 447;
constexpr int kClientHeight = 336;
constexpr int kBarHeight = 41;
constexpr int kButtonTop = 10;
constexpr int kButtonHeight = 23;
constexpr int kColumns = 4;
constexpr widgets::ColorRef kDarkText = 0x00333333; // RGB(51, 51, 51)
const char* const kHeader[kColumns] = {"N", "COB-ID", "Dimension", "Mnemonic"};

} // namespace

PdoEditorDialog::PdoEditorDialog(const PdoEditorLayout& layout, const workspace::Workspace& workspace,
                                 widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_layout(layout), m_workspace(workspace), m_messages(messages) {
    setObjectName(QString::fromUtf8(layout.objectName));
    setWindowTitle(QString::fromUtf8(layout.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    widgets::applyWindowLook(this);

    m_grid = new PdoGrid(this);
    m_grid->setObjectName(QStringLiteral("grid"));
    // Assistive technology names the table as the window: "Receive PDOs", "Transmit PDOs".
    m_grid->setAccessibleName(QString::fromUtf8(layout.caption));

    auto* panel = new widgets::ColourPanel(this);
    panel->setObjectName(QStringLiteral("buttonBar"));
    panel->setFixedHeight(kBarHeight);
    panel->setColor(kEditorBackground);
    if (!layout.raisedBar) {
        panel->setBevelOuter(widgets::BevelCut::None);
        panel->setBorderColor(kDarkText);
    }
    m_buttonBar = panel;

    const widgets::ColorRef fontColor = layout.darkCaptions ? kDarkText : widgets::kSysWindowText;
    m_okButton = makeDialogButton(m_buttonBar, "okButton", "OK", "OK",
                               QRect(layout.okLeft, kButtonTop, layout.okWidth, kButtonHeight), fontColor);
    widgets::HoverButton* cancel =
        makeDialogButton(m_buttonBar, "cancelButton", "Cancel", "CANCEL",
                         QRect(layout.cancelLeft, kButtonTop, layout.cancelWidth, kButtonHeight), fontColor);
    // Cancel carries the Cancel result: it writes nothing and asks nothing.
    cancel->setModalResult(2);
    m_cancelButton = cancel;
    connect(m_okButton, &QAbstractButton::clicked, this, &PdoEditorDialog::save);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_grid, 1);
    column->addWidget(m_buttonBar);

    setTabOrder(m_grid, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    resize(kClientWidth, kClientHeight);
    // Ten rows and every column fit at this size: never smaller, so the number column cannot
    // scroll out of sight; longer tables scroll under the header row. Larger sizes only add room.
    setMinimumSize(kClientWidth, kClientHeight);
}

void PdoEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    widgets::centreOnScreen(this);
    loadTable();
}

const std::string& PdoEditorDialog::documentPath() const {
    return m_layout.kind == project::PdoTableKind::Receive ? m_workspace.receivePdoFile : m_workspace.transmitPdoFile;
}

void PdoEditorDialog::loadTable() {
    const project::PdoTableRead read = project::readPdoTableForEditor(platform::pathFromUtf8(documentPath()));
    // Ten rows to type into, and one for every row of a longer table: none is left out.
    const int rows = static_cast<int>(std::max(project::kPdoEditorMinRows, read.rows.size()));
    m_grid->resetCells(kColumns, rows + 1);
    for (int c = 0; c < kColumns; ++c)
        m_grid->setCellText(c, 0, QString::fromUtf8(kHeader[c]));
    for (int r = 1; r <= rows; ++r)
        m_grid->setCellText(0, r, QString::number(r));

    for (std::size_t i = 0; i < read.rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        m_grid->setCellText(1, r, QString::fromStdString(read.rows[i].cobId));
        m_grid->setCellText(2, r, QString::fromStdString(read.rows[i].dimension));
        m_grid->setCellText(3, r, QString::fromStdString(read.rows[i].mnemonic));
    }
    m_okButton->setFocus();
    if (read.error)
        m_messages.error(QString::fromStdString(*read.error));
}

std::vector<project::PdoRow> PdoEditorDialog::gridRows() const {
    std::vector<project::PdoRow> rows;
    for (int r = 1; r <= m_grid->entryRows(); ++r)
        rows.push_back(
            {m_grid->cellText(1, r).toStdString(), m_grid->cellText(2, r).toStdString(), m_grid->cellText(3, r).toStdString()});
    return rows;
}

bool PdoEditorDialog::validate() {
    m_grid->commitOpenEditor();
    const project::PdoEditorCheck check = project::checkPdoEditorTable(m_layout.kind, gridRows());
    for (const std::string& message : check.messages) {
        if (m_layout.kind == project::PdoTableKind::Receive)
            m_messages.error(QString::fromStdString(message));
        else
            m_messages.plain(QString::fromStdString(message));
    }
    // Ready for the correction to be typed: the cell of the first problem, else the missing COB-ID.
    if (check.firstProblem) {
        const bool cobId = check.firstProblem->field == project::PdoRowProblem::Field::CobId;
        m_grid->setCurrentCellPosition(cobId ? 1 : 2, static_cast<int>(check.firstProblem->row));
        m_grid->setFocus();
    } else if (check.emptyCobIdRow) {
        m_grid->setCurrentCellPosition(1, static_cast<int>(*check.emptyCobIdRow));
        m_grid->setFocus();
    }
    return check.messages.empty();
}

void PdoEditorDialog::save() {
    if (!validate())
        return;
    const std::vector<project::PdoRow> rows = gridRows();
    const std::span<const project::PdoRow> entries = project::pdoTableEntries(rows);
    try {
        project::writePdoTable(platform::pathFromUtf8(documentPath()), project::pdoRootName(m_layout.kind),
                               {entries.begin(), entries.end()});
    } catch (const std::exception& e) {
        // The file is left as it was; the grid keeps the user's texts.
        m_messages.error(QString::fromStdString(e.what()));
        return;
    }
    done(1);
}

std::int32_t PdoEditorDialog::rowCount() const { return m_grid->entryRows(); }

void PdoEditorDialog::reject() {
    done(2);
}

} // namespace strovane::editors
