#include "workspace/gui/new_project_dialog.h"

#include "widgets/gui/form_controls.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/window_style.h"
#include "workspace/project_folders.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

namespace strovane::workspace {
namespace {
// Client-area positions.
constexpr int kClientWidth = 331;
constexpr int kClientHeight = 136;
constexpr QPoint kNameLabel{24, 24};
constexpr QRect kNameEdit{24, 48, 281, 21};
constexpr QRect kOkButton{117, 91, 90, 23};
constexpr QRect kCancelButton{215, 91, 90, 23};
} // namespace

NewProjectDialog::NewProjectDialog(Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("newProjectDialog"));
    setWindowTitle(QStringLiteral("Create New Project"));
    widgets::makeFixedDialog(this, kClientWidth, kClientHeight);
    widgets::applyWindowLook(this);

    m_nameLabel = new QLabel(QStringLiteral("Name of the new Project"), this);
    m_nameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_nameLabel->move(kNameLabel);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setGeometry(kNameEdit);
    m_nameEdit->setMaxLength(32767);
    widgets::labelField(m_nameLabel, m_nameEdit);

    m_okButton = widgets::makeFormButton(this, QStringLiteral("okButton"), QStringLiteral("OK"), kOkButton,
                                         QStringLiteral("OK"));

    m_cancelButton = widgets::makeFormButton(this, QStringLiteral("cancelButton"), QStringLiteral("Cancel"),
                                             kCancelButton, QStringLiteral("CANCEL"));

    setTabOrder(m_nameEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QAbstractButton::clicked, this, &NewProjectDialog::confirm);
    connect(m_cancelButton, &QAbstractButton::clicked, this, [this] { done(2); });
    // Enter in the name box acts exactly as OK.
    connect(m_nameEdit, &QLineEdit::returnPressed, this, &NewProjectDialog::confirm);
}

void NewProjectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        widgets::centreOnScreen(this);
        prepare();
    }
}

void NewProjectDialog::prepare() {
    m_nameEdit->clear();
    m_nameEdit->setFocus();
}

void NewProjectDialog::confirm() {
    std::string failure;
    const NewProjectResult result = createProject(m_workspace, m_nameEdit->text().toStdString(), &failure);
    if (result != NewProjectResult::Created) {
        m_messages.error(QString::fromUtf8(failure.empty() ? newProjectMessage(result) : failure.c_str()));
        // Back in the name box, the name selected, for another one to be typed at once.
        m_nameEdit->setFocus(Qt::OtherFocusReason);
        m_nameEdit->selectAll();
        return;
    }
    done(1);
}

void NewProjectDialog::reject() { done(2); }

} // namespace strovane::workspace
