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
    bool ControlloDati();

    std::int32_t num_sdo = 10;
    QWidget* PanelBColor1;
    QAbstractButton* bitbtn2;

protected:
    std::int32_t& rowCountField() override { return num_sdo; }
    bool validate() override { return ControlloDati(); }

private:
    void BitBtn1Click();
};

} // namespace strovane::editors
