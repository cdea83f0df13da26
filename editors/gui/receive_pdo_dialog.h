#pragma once

#include "editors/gui/pdo_editor_dialog.h"

namespace strovane::editors {

// "Receive PDOs": the receive table in RPDOs.xml. Stops at the first broken rule and shows it
// in an error box.
class ReceivePdoDialog : public PdoEditorDialog {
    Q_OBJECT
public:
    ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent = nullptr);
};

} // namespace strovane::editors
