#pragma once

#include "editors/gui/pdo_editor_dialog.h"

namespace strovane::editors {

// "Transmit PDOs": the transmit table in TPDOs.xml. Reports every broken rule, each in its
// own plain box naming the row.
class TransmitPdoDialog : public PdoEditorDialog {
    Q_OBJECT
public:
    TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent = nullptr);
};

} // namespace strovane::editors
