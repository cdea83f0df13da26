#pragma once

#include "project/par_gen.h"

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QComboBox;
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
    bool hasChanges() const { return m_changed; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Fills the controls from ParGen.xml; each showing starts at the node ID.
    void loadValues();
    void markChanged();
    // Checks ID, delay and SDO timeout in that order; shows the first failure's error box.
    bool validate();
    // OK: validate, write ParGen.xml, close with 1; the dialog stays open on failure.
    void save();
    // Cancel and Escape: once something changed, asks before closing with 2.
    void cancel();

    void showValues(const project::ParGenValues& values);
    project::ParGenValues shownValues() const;

    const workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
    bool m_changed = false;

    QLineEdit* m_nodeIdEdit;
    QComboBox* m_canBaudList;
    QCheckBox* m_setOperationalCheck;
    QCheckBox* m_setOperationalNetworkCheck;
    QLineEdit* m_startDelayEdit;
    QLineEdit* m_sdoTimeoutEdit;
    QComboBox* m_serialTypeList;
    QComboBox* m_serialBaudList;
    QComboBox* m_parityList;
    QAbstractButton* m_okButton;
    QAbstractButton* m_cancelButton;
};

} // namespace strovane::editors
