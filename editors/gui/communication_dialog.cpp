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

constexpr int kClientWidth = 312;
constexpr int kEditHeight = 21;
constexpr int kListHeight = 22;
constexpr int kCheckHeight = 17;

QLabel* addLabel(QWidget* parent, const char* text, int x, int y) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}


QLineEdit* addEdit(QWidget* parent, const char* name, int x, int y, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(x, y, width, kEditHeight);
    edit->setMaxLength(32767);
    return edit;
}

QComboBox* addList(QWidget* parent, const char* name, int x, int y, std::span<const char* const> items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromUtf8(name));
    list->setGeometry(x, y, 192, kListHeight);
    for (const char* item : items)
        list->addItem(QString::fromUtf8(item));
    return list;
}

QCheckBox* addCheck(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QString::fromUtf8(name));
    check->setGeometry(x, y, 255, kCheckHeight);
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

    GB_CANopen = new QGroupBox(QStringLiteral(" CANopen "), this);
    GB_CANopen->setObjectName(QStringLiteral("GB_CANopen"));
    GB_CANopen->setGeometry(8, 8, 296, 208);
    QLabel* idLabel = addLabel(GB_CANopen, "ID Device", 19, 24);
    E_CANopen_ID = addEdit(GB_CANopen, "E_CANopen_ID", 84, 21, 192);
    widgets::labelField(idLabel, E_CANopen_ID);
    QLabel* canBaudLabel = addLabel(GB_CANopen, "Baudrate", 19, 58);
    CB_CANopen_Baud = addList(GB_CANopen, "CB_CANopen_Baud", 84, 55, project::kCanopenBaudTexts);
    widgets::labelField(canBaudLabel, CB_CANopen_Baud);
    CB_CANopen_SetOpe =
        addCheck(GB_CANopen, "CB_CANopen_SetOpe", "Set Operational State at Start-Up", 19, 92);
    CB_CANopen_SetOpeNet = addCheck(GB_CANopen, "CB_CANopen_SetOpeNet", "Network State at Start-Up", 19, 115);
    QLabel* delayLabel = addLabel(GB_CANopen, "Delay", 55, 141);
    E_CANopen_Delay = addEdit(GB_CANopen, "E_CANopen_Delay", 94, 138, 114);
    widgets::labelField(delayLabel, E_CANopen_Delay);
    E_CANopen_Delay->setAccessibleDescription(addLabel(GB_CANopen, "0-255 sec.", 216, 141)->text());
    QLabel* timeoutLabel = addLabel(GB_CANopen, "SDO Timeout (1/10 ms)", 19, 175);
    E_CANopen_SDO_TO = addEdit(GB_CANopen, "E_CANopen_SDO_TO", 164, 172, 112);
    widgets::labelField(timeoutLabel, E_CANopen_SDO_TO);

    GB_Serial = new QGroupBox(QStringLiteral(" Serial "), this);
    GB_Serial->setObjectName(QStringLiteral("GB_Serial"));
    GB_Serial->setGeometry(8, 222, 296, 125);
    QLabel* serialLabel = addLabel(GB_Serial, "Serial", 16, 24);
    CB_Serial_Serial = addList(GB_Serial, "CB_Serial_Serial", 84, 21, project::kSerialTexts);
    widgets::labelField(serialLabel, CB_Serial_Serial);
    QLabel* serialBaudLabel = addLabel(GB_Serial, "Baudrate", 16, 58);
    CB_Serial_Baud = addList(GB_Serial, "CB_Serial_Baud", 84, 55, project::kSerialBaudTexts);
    widgets::labelField(serialBaudLabel, CB_Serial_Baud);
    QLabel* parityLabel = addLabel(GB_Serial, "Parity", 16, 92);
    CB_Serial_Par = addList(GB_Serial, "CB_Serial_Par", 84, 89, project::kParityTexts);
    widgets::labelField(parityLabel, CB_Serial_Par);

    // FormCreate places them below the serial group.
    Btn_OK = makeDialogButton(this, "Btn_OK", "OK", "OK", QRect(118, 0, 90, 23));
    Btn_Cancel = makeDialogButton(this, "Btn_Cancel", "Cancel", "CANCEL", QRect(214, 0, 90, 23));

    for (QLineEdit* edit : {E_CANopen_ID, E_CANopen_Delay, E_CANopen_SDO_TO})
        connect(edit, &QLineEdit::textChanged, this, &CommunicationDialog::On_Change);
    for (QComboBox* list : {CB_CANopen_Baud, CB_Serial_Serial, CB_Serial_Baud, CB_Serial_Par})
        connect(list, &QComboBox::currentIndexChanged, this, &CommunicationDialog::On_Change);
    for (QCheckBox* check : {CB_CANopen_SetOpe, CB_CANopen_SetOpeNet})
        connect(check, &QAbstractButton::clicked, this, &CommunicationDialog::On_Click);
    connect(Btn_OK, &QAbstractButton::clicked, this, &CommunicationDialog::Btn_OKClick);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, &CommunicationDialog::Btn_CancelClick);

    FormCreate();
    // Until a document has been read, an unreadable one leaves the defaults in view.
    showValues(project::ParGenValues{});
    Is_Change = false;
}

void CommunicationDialog::FormCreate() {
    const int bottom = GB_Serial->y() + GB_Serial->height();
    Btn_OK->setGeometry(118, bottom + 17, 90, 23);
    Btn_Cancel->setGeometry(214, bottom + 17, 90, 23);
    widgets::makeFixedDialog(this, kClientWidth, bottom + 62);
}

void CommunicationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    widgets::centreOnScreen(this);
    FormShow();
}

void CommunicationDialog::FormShow() {
    try {
        showValues(project::readParGenForDialog(platform::pathFromUtf8(m_workspace.parGenFile)));
    } catch (const std::exception& e) {
        // Not well-formed: the controls keep what they showed when the dialog last closed.
        m_messages.error(QString::fromStdString(e.what()));
    }
    // Last: filling the controls ran their change handlers.
    Is_Change = false;
    // Each showing starts at the first field, as a newly opened dialog does.
    E_CANopen_ID->setFocus();
}

void CommunicationDialog::showValues(const project::ParGenValues& v) {
    E_CANopen_ID->setText(QString::fromStdString(v.nodeId));
    selectIndex(CB_CANopen_Baud, v.canBaud);
    CB_CANopen_SetOpe->setChecked(v.setOperational);
    CB_CANopen_SetOpeNet->setChecked(v.setOperationalNetwork);
    E_CANopen_Delay->setText(QString::fromStdString(v.startDelay));
    E_CANopen_SDO_TO->setText(QString::fromStdString(v.sdoTimeout));
    selectIndex(CB_Serial_Serial, v.serialType);
    selectIndex(CB_Serial_Baud, v.serialBaud);
    selectIndex(CB_Serial_Par, v.serialParity);
}

project::ParGenValues CommunicationDialog::shownValues() const {
    project::ParGenValues v;
    v.nodeId = E_CANopen_ID->text().toStdString();
    v.canBaud = CB_CANopen_Baud->currentIndex();
    v.setOperational = CB_CANopen_SetOpe->isChecked();
    v.setOperationalNetwork = CB_CANopen_SetOpeNet->isChecked();
    v.startDelay = E_CANopen_Delay->text().toStdString();
    v.sdoTimeout = E_CANopen_SDO_TO->text().toStdString();
    v.serialType = CB_Serial_Serial->currentIndex();
    v.serialBaud = CB_Serial_Baud->currentIndex();
    v.serialParity = CB_Serial_Par->currentIndex();
    return v;
}

void CommunicationDialog::On_Change() {
    Is_Change = true;
}

void CommunicationDialog::On_Click() {
    Is_Change = true;
}

bool CommunicationDialog::Controllo_Dati() {
    if (const auto message = project::firstParGenRangeMessage(shownValues())) {
        m_messages.error(QString::fromStdString(*message));
        // The user types the correction at once: the field the message is about, its text selected.
        QLineEdit* field = *message == project::kIdRangeMessage      ? E_CANopen_ID
                           : *message == project::kDelayRangeMessage ? E_CANopen_Delay
                                                                     : E_CANopen_SDO_TO;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    }
    return true;
}

void CommunicationDialog::Btn_OKClick() {
    if (!Controllo_Dati())
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

void CommunicationDialog::Btn_CancelClick() {
    if (Is_Change && !m_messages.question(QStringLiteral("Do you want to exit without saving changes?")))
        return;
    done(2);
}

void CommunicationDialog::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel, question included, so a stray key cannot throw away the user's changes.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Btn_CancelClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CommunicationDialog::reject() {
    done(2);
}

} // namespace strovane::editors
