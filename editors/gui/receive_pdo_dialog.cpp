#include "editors/gui/receive_pdo_dialog.h"

namespace strovane::editors {

namespace {

const PdoEditorLayout kReceiveLayout{project::PdoTableKind::Receive,
                                     "receivePdoDialog",
                                     "Receive PDOs",
                                     false,
                                     12,
                                     69,
                                     92,
                                     69,
                                     true};

} // namespace

ReceivePdoDialog::ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kReceiveLayout, workspace, messages, parent) {}

} // namespace strovane::editors
