#include "editors/gui/transmit_pdo_dialog.h"

namespace strovane::editors {

namespace {

const PdoEditorLayout kTransmitLayout{project::PdoTableKind::Transmit,
                                      "transmitPdoDialog",
                                      "Transmit PDOs",
                                      true,
                                      4,
                                      85,
                                      100,
                                      85,
                                      false};

} // namespace

TransmitPdoDialog::TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kTransmitLayout, workspace, messages, parent) {}

} // namespace strovane::editors
