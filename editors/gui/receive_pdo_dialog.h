#pragma once

#include "editors/gui/pdo_editor_dialog.h"

namespace strovane::editors {

// "Receive PDOs": the receive table in RPDOs.xml. Stops at the first broken rule and shows it
// in an error box.
class ReceivePdoDialog : public PdoEditorDialog {
    Q_OBJECT
public:
    ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages,
             QWidget* parent = nullptr);

    // COB-IDs 0 to 0x7FF, dimensions 1 to 8, up to the first empty COB-ID.
    bool checkRows();

protected:
    bool validate() override { return checkRows(); }

private:
    void save();
};

} // namespace strovane::editors
