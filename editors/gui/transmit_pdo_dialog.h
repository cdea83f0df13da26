#pragma once

#include "editors/gui/pdo_editor_dialog.h"

namespace strovane::editors {

// "Transmit PDOs": the transmit table in TPDOs.xml. Reports every broken rule, each in its
// own plain box naming the row.
class TransmitPdoDialog : public PdoEditorDialog {
    Q_OBJECT
public:
    TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages,
             QWidget* parent = nullptr);

    // COB-IDs 1 to 0x7FF, dimensions 1 to 8, up to the first empty COB-ID.
    bool Check_Rows();

    std::int32_t NTPDO = 10;
    QWidget* Panel2;
    QAbstractButton* LbButton1;

protected:
    std::int32_t& rowCountField() override { return NTPDO; }
    bool validate() override { return Check_Rows(); }

private:
    void bitbtn1Click();
};

} // namespace strovane::editors
