#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QAbstractButton;

namespace strovane::widgets {
class MessageBoxes;
}

namespace strovane::workspace {

struct Workspace;

// Asks for a project name, creates PROJECTS/<name>/bin and adopts the project.
// Result 1 when a project was created, 2 on Cancel or the close box.
class NewProjectDialog : public QDialog {
    Q_OBJECT
public:
    NewProjectDialog(Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent = nullptr);

    void Btn_OKClick();
    void reject() override;

    QLabel* Label1;
    QLineEdit* E_New_Proj;
    QAbstractButton* Btn_OK;
    QAbstractButton* Btn_Cancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
};

} // namespace strovane::workspace
