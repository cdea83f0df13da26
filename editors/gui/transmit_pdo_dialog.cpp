#include "editors/gui/transmit_pdo_dialog.h"

namespace strovane::editors {

namespace {

constexpr PdoEditorLayout kTransmitLayout{
    .kind = project::PdoTableKind::Transmit,
    .objectName = "transmitPdoDialog",
    .caption = "Transmit PDOs",
    .raisedBar = true,
    .okLeft = 4,
    .okWidth = 85,
    .cancelLeft = 100,
    .cancelWidth = 85,
    .darkCaptions = false,
};

} // namespace

TransmitPdoDialog::TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kTransmitLayout, workspace, messages, parent) {}

} // namespace strovane::editors
