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

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepare();
    void confirm();

    Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;

    QLabel* m_nameLabel;
    QLineEdit* m_nameEdit;
    QAbstractButton* m_okButton;
    QAbstractButton* m_cancelButton;
};

} // namespace strovane::workspace
