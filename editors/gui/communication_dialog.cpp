#include "editors/gui/communication_dialog.h"

#include "editors/gui/dialog_button.h"
#include "platform/path_text.h"
#include "widgets/gui/form_controls.h"
#include "project/par_gen_checks.h"
#include "widgets/gui/hover_button.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <span>

namespace strovane::editors {

namespace {

// Client-area positions; the controls are placed in their group box. Edits are 21 pixels high,
// lists 192 x 22, check boxes 255 x 17.
constexpr int kClientWidth = 312;
constexpr int kEditHeight = 21;
constexpr int kListWidth = 192;
constexpr int kListHeight = 22;
constexpr int kCheckWidth = 255;
constexpr int kCheckHeight = 17;

constexpr QRect kCanopenGroup{8, 8, 296, 208};
constexpr QPoint kNodeIdLabel{19, 24};
constexpr QRect kNodeIdEdit{84, 21, 192, kEditHeight};
constexpr QPoint kCanBaudLabel{19, 58};
constexpr QPoint kCanBaudList{84, 55};
constexpr QPoint kSetOperationalCheck{19, 92};
constexpr QPoint kSetOperationalNetworkCheck{19, 115};
constexpr QPoint kDelayLabel{55, 141};
constexpr QRect kStartDelayEdit{94, 138, 114, kEditHeight};
constexpr QPoint kDelayUnitLabel{216, 141};
constexpr QPoint kSdoTimeoutLabel{19, 175};
constexpr QRect kSdoTimeoutEdit{164, 172, 112, kEditHeight};

constexpr QRect kSerialGroup{8, 222, 296, 125};
constexpr QPoint kSerialTypeLabel{16, 24};
constexpr QPoint kSerialTypeList{84, 21};
constexpr QPoint kSerialBaudLabel{16, 58};
constexpr QPoint kSerialBaudList{84, 55};
constexpr QPoint kParityLabel{16, 92};
constexpr QPoint kParityList{84, 89};

// The buttons sit 17 pixels below the serial group; the window ends 62 pixels below it.
constexpr int kSerialGroupBottom = kSerialGroup.y() + kSerialGroup.height();
constexpr QRect kOkButton{118, kSerialGroupBottom + 17, 90, 23};
constexpr QRect kCancelButton{214, kSerialGroupBottom + 17, 90, 23};
constexpr int kClientHeight = kSerialGroupBottom + 62;

QLabel* addLabel(QWidget* parent, const char* text, QPoint at) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(at);
    label->adjustSize();
    return label;
}

QLineEdit* addEdit(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(geometry);
    edit->setMaxLength(32767);
    return edit;
}

QComboBox* addList(QWidget* parent, const char* name, QPoint at, std::span<const char* const> items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromUtf8(name));
    list->setGeometry(at.x(), at.y(), kListWidth, kListHeight);
    for (const char* item : items)
        list->addItem(QString::fromUtf8(item));
    return list;
}

QCheckBox* addCheck(QWidget* parent, const char* name, const char* caption, QPoint at) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QString::fromUtf8(name));
    check->setGeometry(at.x(), at.y(), kCheckWidth, kCheckHeight);
    return check;
}

// An index outside the list selects nothing; OK then saves -1 for it.
void selectIndex(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

} // namespace

CommunicationDialog::CommunicationDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("communicationDialog"));
    setWindowTitle(QStringLiteral("Set Communication"));
    widgets::applyWindowLook(this);

    auto* canopenGroup = new QGroupBox(QStringLiteral(" CANopen "), this);
    canopenGroup->setObjectName(QStringLiteral("canopenGroup"));
    canopenGroup->setGeometry(kCanopenGroup);
    QLabel* idLabel = addLabel(canopenGroup, "ID Device", kNodeIdLabel);
    m_nodeIdEdit = addEdit(canopenGroup, "nodeIdEdit", kNodeIdEdit);
    widgets::labelField(idLabel, m_nodeIdEdit);
    QLabel* canBaudLabel = addLabel(canopenGroup, "Baudrate", kCanBaudLabel);
    m_canBaudList = addList(canopenGroup, "canBaudList", kCanBaudList, project::kCanopenBaudTexts);
    widgets::labelField(canBaudLabel, m_canBaudList);
    m_setOperationalCheck =
        addCheck(canopenGroup, "setOperationalCheck", "Set Operational State at Start-Up", kSetOperationalCheck);
    m_setOperationalNetworkCheck = addCheck(canopenGroup, "setOperationalNetworkCheck", "Network State at Start-Up",
                                            kSetOperationalNetworkCheck);
    QLabel* delayLabel = addLabel(canopenGroup, "Delay", kDelayLabel);
    m_startDelayEdit = addEdit(canopenGroup, "startDelayEdit", kStartDelayEdit);
    widgets::labelField(delayLabel, m_startDelayEdit);
    m_startDelayEdit->setAccessibleDescription(addLabel(canopenGroup, "0-255 sec.", kDelayUnitLabel)->text());
    QLabel* timeoutLabel = addLabel(canopenGroup, "SDO Timeout (1/10 ms)", kSdoTimeoutLabel);
    m_sdoTimeoutEdit = addEdit(canopenGroup, "sdoTimeoutEdit", kSdoTimeoutEdit);
    widgets::labelField(timeoutLabel, m_sdoTimeoutEdit);

    auto* serialGroup = new QGroupBox(QStringLiteral(" Serial "), this);
    serialGroup->setObjectName(QStringLiteral("serialGroup"));
    serialGroup->setGeometry(kSerialGroup);
    QLabel* serialLabel = addLabel(serialGroup, "Serial", kSerialTypeLabel);
    m_serialTypeList = addList(serialGroup, "serialTypeList", kSerialTypeList, project::kSerialTexts);
    widgets::labelField(serialLabel, m_serialTypeList);
    QLabel* serialBaudLabel = addLabel(serialGroup, "Baudrate", kSerialBaudLabel);
    m_serialBaudList = addList(serialGroup, "serialBaudList", kSerialBaudList, project::kSerialBaudTexts);
    widgets::labelField(serialBaudLabel, m_serialBaudList);
    QLabel* parityLabel = addLabel(serialGroup, "Parity", kParityLabel);
    m_parityList = addList(serialGroup, "parityList", kParityList, project::kParityTexts);
    widgets::labelField(parityLabel, m_parityList);

    m_okButton = makeDialogButton(this, "okButton", "OK", "OK", kOkButton);
    m_cancelButton = makeDialogButton(this, "cancelButton", "Cancel", "CANCEL", kCancelButton);

    for (QLineEdit* edit : {m_nodeIdEdit, m_startDelayEdit, m_sdoTimeoutEdit})
        connect(edit, &QLineEdit::textChanged, this, &CommunicationDialog::markChanged);
    for (QComboBox* list : {m_canBaudList, m_serialTypeList, m_serialBaudList, m_parityList})
        connect(list, &QComboBox::currentIndexChanged, this, &CommunicationDialog::markChanged);
    for (QCheckBox* check : {m_setOperationalCheck, m_setOperationalNetworkCheck})
        connect(check, &QAbstractButton::clicked, this, &CommunicationDialog::markChanged);
    connect(m_okButton, &QAbstractButton::clicked, this, &CommunicationDialog::save);
    connect(m_cancelButton, &QAbstractButton::clicked, this, &CommunicationDialog::cancel);

    widgets::makeFixedDialog(this, kClientWidth, kClientHeight);
    // Until a document has been read, an unreadable one leaves the defaults in view.
    showValues(project::ParGenValues{});
    m_changed = false;
}

void CommunicationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    widgets::centreOnScreen(this);
    loadValues();
}

void CommunicationDialog::loadValues() {
    try {
        showValues(project::readParGenForDialog(platform::pathFromUtf8(m_workspace.parGenFile)));
    } catch (const std::exception& e) {
        // Not well-formed: the controls keep what they showed when the dialog last closed.
        m_messages.error(QString::fromStdString(e.what()));
    }
    // Last: filling the controls ran their change handlers.
    m_changed = false;
    // Each showing starts at the first field, as a newly opened dialog does.
    m_nodeIdEdit->setFocus();
}

void CommunicationDialog::showValues(const project::ParGenValues& v) {
    m_nodeIdEdit->setText(QString::fromStdString(v.nodeId));
    selectIndex(m_canBaudList, v.canBaud);
    m_setOperationalCheck->setChecked(v.setOperational);
    m_setOperationalNetworkCheck->setChecked(v.setOperationalNetwork);
    m_startDelayEdit->setText(QString::fromStdString(v.startDelay));
    m_sdoTimeoutEdit->setText(QString::fromStdString(v.sdoTimeout));
    selectIndex(m_serialTypeList, v.serialType);
    selectIndex(m_serialBaudList, v.serialBaud);
    selectIndex(m_parityList, v.serialParity);
}

project::ParGenValues CommunicationDialog::shownValues() const {
    project::ParGenValues v;
    v.nodeId = m_nodeIdEdit->text().toStdString();
    v.canBaud = m_canBaudList->currentIndex();
    v.setOperational = m_setOperationalCheck->isChecked();
    v.setOperationalNetwork = m_setOperationalNetworkCheck->isChecked();
    v.startDelay = m_startDelayEdit->text().toStdString();
    v.sdoTimeout = m_sdoTimeoutEdit->text().toStdString();
    v.serialType = m_serialTypeList->currentIndex();
    v.serialBaud = m_serialBaudList->currentIndex();
    v.serialParity = m_parityList->currentIndex();
    return v;
}

void CommunicationDialog::markChanged() {
    m_changed = true;
}

bool CommunicationDialog::validate() {
    if (const auto message = project::firstParGenRangeMessage(shownValues())) {
        m_messages.error(QString::fromStdString(*message));
        // The user types the correction at once: the field the message is about, its text selected.
        QLineEdit* field = *message == project::kIdRangeMessage      ? m_nodeIdEdit
                           : *message == project::kDelayRangeMessage ? m_startDelayEdit
                                                                     : m_sdoTimeoutEdit;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    }
    return true;
}

void CommunicationDialog::save() {
    if (!validate())
        return;
    try {
        project::writeParGen(platform::pathFromUtf8(m_workspace.parGenFile), shownValues());
    } catch (const std::exception& e) {
        // The file is left as it was; the user's input stays in the dialog.
        m_messages.error(QString::fromStdString(e.what()));
        return;
    }
    done(1);
}

void CommunicationDialog::cancel() {
    if (m_changed && !m_messages.question(QStringLiteral("Do you want to exit without saving changes?")))
        return;
    done(2);
}

void CommunicationDialog::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel, question included, so a stray key cannot throw away the user's changes.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CommunicationDialog::reject() {
    done(2);
}

} // namespace strovane::editors
