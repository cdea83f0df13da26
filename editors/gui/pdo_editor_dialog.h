#pragma once

#include "project/pdo_checks.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QAbstractButton;

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
}

namespace strovane::editors {

class PdoGrid;

// What the receive and transmit editors do not share.
struct PdoEditorLayout {
    project::PdoTableKind kind;
    const char* objectName;
    const char* caption;
    bool raisedBar; // the button bar along the bottom: a raised panel, or a flat bar with a thin border
    int okLeft, okWidth;
    int cancelLeft, cancelWidth;
    bool darkCaptions; // button captions in RGB(51, 51, 51); otherwise the system's window text
};

// One PDO table editor: a grid of every row of the table's document (ten rows at the least),
// filled at every showing, checked on OK and then written back whole. The grid's cells are the
// only copy of the table while the dialog is open.
class PdoEditorDialog : public QDialog {
    Q_OBJECT
public:
    void reject() override;

    // Every data row of the grid as it stands, empty ones included.
    std::vector<project::PdoRow> gridRows() const;

    PdoGrid* grid() const { return m_grid; }
    QAbstractButton* okButton() const { return m_okButton; }
    // The grid's data rows, set at every opening.
    std::int32_t rowCount() const;

protected:
    PdoEditorDialog(const PdoEditorLayout& layout, const workspace::Workspace& workspace,
                    widgets::MessageBoxes& messages, QWidget* parent);

    void showEvent(QShowEvent* event) override;

private:
    // Builds the grid and loads the document.
    void loadTable();
    // Runs the table rules and shows the editor's messages, then selects the empty COB-ID cell of a
    // gap before text; true when the table may be saved.
    bool validate();
    // OK: validate, write the table's entries, close with 1; the dialog stays open on failure.
    void save();
    const std::string& documentPath() const;

    PdoEditorLayout m_layout;
    const workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;

    PdoGrid* m_grid;
    QWidget* m_buttonBar; // along the bottom, holding OK and Cancel
    QAbstractButton* m_okButton;
    QAbstractButton* m_cancelButton;
};

} // namespace strovane::editors
