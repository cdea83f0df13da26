#include "editors/gui/receive_pdo_dialog.h"

namespace strovane::editors {

namespace {

constexpr PdoEditorLayout kReceiveLayout{
    .kind = project::PdoTableKind::Receive,
    .objectName = "receivePdoDialog",
    .caption = "Receive PDOs",
    .raisedBar = false,
    .okLeft = 12,
    .okWidth = 69,
    .cancelLeft = 92,
    .cancelWidth = 69,
    .darkCaptions = true,
};

} // namespace

ReceivePdoDialog::ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kReceiveLayout, workspace, messages, parent) {}

} // namespace strovane::editors
