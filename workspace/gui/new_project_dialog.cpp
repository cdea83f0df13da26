#include "workspace/gui/new_project_dialog.h"

#include "widgets/gui/message_boxes.h"
#include "widgets/gui/form_controls.h"
#include "workspace/project_folders.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

namespace strovane::workspace {

NewProjectDialog::NewProjectDialog(Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("FNew_Project"));
    setWindowTitle(QStringLiteral("Create New Project"));
    makeFixedDialog(this, 331, 136);
    applyWindowLook(this);

    Label1 = new QLabel(QStringLiteral("Name of the new Project"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(24, 24);

    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(24, 48, 281, 21);
    E_New_Proj->setMaxLength(32767);
    widgets::labelField(Label1, E_New_Proj);

    Btn_OK = widgets::makeFormButton(this, QStringLiteral("Btn_OK"), QStringLiteral("OK"), {117, 91, 90, 23}, QStringLiteral("OK"));

    Btn_Cancel = widgets::makeFormButton(this, QStringLiteral("Btn_Cancel"), QStringLiteral("Cancel"), {215, 91, 90, 23}, QStringLiteral("CANCEL"));

    setTabOrder(E_New_Proj, Btn_OK);
    setTabOrder(Btn_OK, Btn_Cancel);

    connect(Btn_OK, &QAbstractButton::clicked, this, &NewProjectDialog::Btn_OKClick);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, [this] { done(2); });
    // Enter in the name box acts exactly as OK.
    connect(E_New_Proj, &QLineEdit::returnPressed, this, &NewProjectDialog::Btn_OKClick);
}

void NewProjectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(this);
        FormShow();
    }
}

void NewProjectDialog::FormShow() {
    E_New_Proj->clear();
    E_New_Proj->setFocus();
}

void NewProjectDialog::Btn_OKClick() {
    std::string failure;
    const NewProjectResult result = createProject(m_workspace, E_New_Proj->text().toStdString(), &failure);
    if (result != NewProjectResult::Created) {
        m_messages.error(QString::fromUtf8(failure.empty() ? newProjectMessage(result) : failure.c_str()));
        // Back in the name box, the name selected, for another one to be typed at once.
        E_New_Proj->setFocus(Qt::OtherFocusReason);
        E_New_Proj->selectAll();
        return;
    }
    done(1);
}

void NewProjectDialog::reject() { done(2); }

} // namespace strovane::workspace
