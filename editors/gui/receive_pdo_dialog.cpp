#include "editors/gui/receive_pdo_dialog.h"

#include <QAbstractButton>

namespace strovane::editors {

namespace {

const PdoEditorLayout kReceiveLayout{project::PdoTableKind::Receive,
                                     "receivePdoDialog",
                                     "Receive PDOs",
                                     "PanelBColor1",
                                     false,
                                     12,
                                     69,
                                     "bitbtn2",
                                     92,
                                     69,
                                     true};

} // namespace

ReceivePdoDialog::ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kReceiveLayout, workspace, messages, parent), PanelBColor1(bar), bitbtn2(cancelButton) {
    connect(bitbtn1, &QAbstractButton::clicked, this, &ReceivePdoDialog::BitBtn1Click);
}

bool ReceivePdoDialog::ControlloDati() {
    return checkTable();
}

void ReceivePdoDialog::BitBtn1Click() {
    saveTable();
}

} // namespace strovane::editors
