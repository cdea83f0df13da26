#pragma once

#include "project/par_gen.h"

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
}

namespace strovane::editors {

// "Set Communication": the CANopen node and serial line parameters of the open project,
// filled from ParGen.xml at every showing and written back whole on OK.
class CommunicationDialog : public QDialog {
    Q_OBJECT
public:
    CommunicationDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages,
             QWidget* parent = nullptr);

    void reject() override;

    // True once the user has changed a control since the dialog last opened.
    bool Is_Change = false;

    // Checks ID, delay and SDO timeout in that order; shows the first failure's error box.
    bool Controllo_Dati();

    QGroupBox* GB_CANopen;
    QLineEdit* E_CANopen_ID;
    QComboBox* CB_CANopen_Baud;
    QCheckBox* CB_CANopen_SetOpe;
    QCheckBox* CB_CANopen_SetOpeNet;
    QLineEdit* E_CANopen_Delay;
    QLineEdit* E_CANopen_SDO_TO;
    QGroupBox* GB_Serial;
    QComboBox* CB_Serial_Serial;
    QComboBox* CB_Serial_Baud;
    QComboBox* CB_Serial_Par;
    QAbstractButton* Btn_OK;
    QAbstractButton* Btn_Cancel;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void On_Change();
    void On_Click();
    void Btn_OKClick();
    void Btn_CancelClick();

    void showValues(const project::ParGenValues& values);
    project::ParGenValues shownValues() const;

    const workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
};

} // namespace strovane::editors
