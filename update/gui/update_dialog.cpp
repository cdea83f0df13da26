#include "update/gui/update_dialog.h"

#include "update/serial_port.h"
#include "update/port_check.h"
#include "update/gui/update_progress.h"
#include "widgets/gui/form_controls.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QShowEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QTime>

#include <algorithm>

namespace strovane::update {

namespace {

constexpr int kPortNameRole = Qt::UserRole;

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    l->adjustSize();
    return l;
}

// The list text of a port: its name, what it is when known, and why it may not open.
QString itemText(const platform::PortInfo& port) {
    QString text = QString::fromStdString(port.name);
    if (!port.description.empty())
        text += QStringLiteral(" \u2013 ") + QString::fromStdString(port.description);
    if (port.state != platform::PortState::Present)
        text += QStringLiteral(" (%1)").arg(QString::fromLatin1(platform::portStateText(port.state)));
    return text;
}

} // namespace

UpdateDialog::UpdateDialog(widgets::MessageBoxes& messages, const workspace::Workspace& workspace,
                     platform::PortProbe probe, platform::SerialDeviceFactory serialDevices,
                     StartProgram startProgram, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_workspace(workspace), m_probe(std::move(probe)),
      m_startProgram(std::move(startProgram)) {
    setObjectName(QStringLiteral("updateDialog"));
    setWindowTitle(QStringLiteral("Update Firmware from Serial (RS232)"));
    widgets::makeFixedDialog(this, 358, 210);
    setFont(widgets::windowFont()); // on the system button face, unlike the other windows

    Label1 = label(this, "Label1", QStringLiteral("Follow these steps to update the GW40518 from RS232:"), 8, 8);
    Label2 = label(this, "Label2", QStringLiteral("1 - Turn OFF the Device"), 24, 32);
    Label3 = label(this, "Label3", QStringLiteral("2 - Insert the Boot Jumper (see the manual)"), 24, 56);
    Label4 = label(this, "Label4", QStringLiteral("3 - Select the  COM port and press the connect button"), 24, 80);

    CB_Com = new QComboBox(this);
    CB_Com->setObjectName(QStringLiteral("CB_Com"));
    CB_Com->setEditable(false);
    CB_Com->setGeometry(44, 96, 101, 21);
    widgets::labelField(Label4, CB_Com);

    auto* refresh = widgets::makeFormButton(this, QStringLiteral("LbButton5"), QString(), QRect(151, 96, 23, 22),
                                            QStringLiteral("REFRESH"), widgets::FormButtonLook::Dialog);
    refresh->setColor(widgets::kSysButtonFace);
    refresh->setToolTip(QStringLiteral("Update COM Port List"));
    refresh->setAccessibleName(refresh->toolTip()); // a picture only: its hint names it
    LbButton5 = refresh;
    LbButton1 = widgets::makeFormButton(this, QStringLiteral("LbButton1"), QStringLiteral("Connect"),
                                        QRect(180, 96, 81, 21), QString(), widgets::FormButtonLook::Plain);

    Label5 = label(this, "Label5", QStringLiteral("4 - Turn ON the Device"), 24, 128);
    Label6 = label(this, "Label6", QStringLiteral("5 - Check the BOOT led. It must blink quickly"), 24, 152);

    LbButton3 = widgets::makeFormButton(this, QStringLiteral("LbButton3"), QStringLiteral("Cancel"),
                                        QRect(24, 176, 100, 23), QStringLiteral("CANCEL"), widgets::FormButtonLook::Plain);
    auto* next = widgets::makeFormButton(this, QStringLiteral("LbButton2"), QStringLiteral("Next"),
                                         QRect(128, 176, 100, 23), QStringLiteral("NEXT"), widgets::FormButtonLook::Plain);
    next->setGlyphLayout(widgets::GlyphLayout::GlyphRight);
    LbButton2 = next;

    // The options page covers the whole steps page when shown.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    Panel1->setGeometry(0, 0, 353, 209);
    Panel1->hide();
    Label7 = label(Panel1, "Label7", QStringLiteral("Update Device Options"), 8, 8);
    // Ticked at program start; the states then persist between openings.
    CB_Firm = widgets::makeOptionCheckBox(Panel1, QStringLiteral("CB_Firm"), QStringLiteral("Firmware"), {16, 32});
    CB_RFirm = widgets::makeOptionCheckBox(Panel1, QStringLiteral("CB_RFirm"), QStringLiteral("Read Firmware when finish"),
                                           {64, 56});
    CB_Proj = widgets::makeOptionCheckBox(Panel1, QStringLiteral("CB_Proj"), QStringLiteral("Project"), {16, 88});
    CB_RProj = widgets::makeOptionCheckBox(Panel1, QStringLiteral("CB_RProj"), QStringLiteral("Read Project when finish"),
                                           {64, 112});
    LbButton4 = widgets::makeFormButton(Panel1, QStringLiteral("LbButton4"), QStringLiteral("Execute update firmware"),
                                        QRect(8, 174, 169, 23), QStringLiteral("EXECUTE"),
                                        widgets::FormButtonLook::UpdateExecute);

    m_outcomeNotice = new QLabel(Panel1);
    m_outcomeNotice->setObjectName(QStringLiteral("UpdateOutcome"));
    m_outcomeNotice->setGeometry(8, 136, 337, 32);
    m_outcomeNotice->setWordWrap(true);
    m_outcomeNotice->setMargin(3);
    m_outcomeNotice->setAutoFillBackground(true);
    m_outcomeNotice->hide();

    m_port = std::make_unique<SerialPort>();
    setUpAsUpdatePort(*m_port, std::move(serialDevices));
    // Port events reach the port on the user-interface thread; the event thread waits.
    m_port->setSynchronizer([](const std::function<void()>& call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), call, Qt::BlockingQueuedConnection);
    });

    connect(LbButton1, &QAbstractButton::clicked, this, &UpdateDialog::LbButton1Click);
    connect(LbButton2, &QAbstractButton::clicked, this, &UpdateDialog::LbButton2Click);
    connect(LbButton3, &QAbstractButton::clicked, this, [this] { done(2); });
    connect(LbButton4, &QAbstractButton::clicked, this, &UpdateDialog::LbButton4Click);
    connect(LbButton5, &QAbstractButton::clicked, this, &UpdateDialog::LbButton5Click);
}

UpdateDialog::~UpdateDialog() { closePort(); }

void UpdateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        widgets::centreOnScreen(this);
        FormShow();
    }
}

void UpdateDialog::FormShow() {
    Panel1->hide();
    Com_select = false;
    m_outcomeNotice->hide();
    setStepsVisible(true);
    Load_COM_Port_Avaiable();
}

void UpdateDialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void UpdateDialog::reject() { done(2); }

void UpdateDialog::FormClose() { closePort(); }

void UpdateDialog::closePort() {
    try {
        m_port->close();
    } catch (...) {
        // A port that will not close is left to the component; nothing to tell the user.
    }
}

void UpdateDialog::setStepsVisible(bool visible) {
    // The port list and the Connect, Cancel and Next buttons go too: covered by the options page
    // they would still take the focus by Tab and be read out by assistive technology.
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(LbButton5), static_cast<QWidget*>(CB_Com),
                       static_cast<QWidget*>(LbButton1), static_cast<QWidget*>(LbButton2),
                       static_cast<QWidget*>(LbButton3)})
        w->setVisible(visible);
}

std::vector<platform::PortInfo> UpdateDialog::EnumPorts() { return m_probe(); }

void UpdateDialog::Load_COM_Port_Avaiable() {
    CB_Com->clear();
    int widest = CB_Com->width();
    for (const platform::PortInfo& port : EnumPorts()) {
        const QString text = itemText(port);
        CB_Com->addItem(text, QString::fromStdString(port.name));
        CB_Com->setItemData(CB_Com->count() - 1, QString::fromStdString(port.path), Qt::ToolTipRole);
        widest = std::max(widest, CB_Com->fontMetrics().horizontalAdvance(text) + 32);
    }
    CB_Com->view()->setMinimumWidth(widest); // the drop-down shows the whole text
    CB_Com->setCurrentIndex(CB_Com->count() > 0 ? 0 : -1);
}

std::string UpdateDialog::selectedPort() const {
    return CB_Com->currentIndex() < 0 ? std::string() : CB_Com->currentData(kPortNameRole).toString().toStdString();
}

UpdateOptions UpdateDialog::options() const {
    return {CB_Firm->isChecked(), CB_RFirm->isChecked(), CB_Proj->isChecked(), CB_RProj->isChecked()};
}

void UpdateDialog::LbButton1Click() {
    Com_select = false;
    closePort();
    if (selectedPort().empty()) { // no port present, or none selected
        m_messages.error(QStringLiteral("Select one port."));
        CB_Com->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::string path = platform::devicePath(selectedPort());
    try {
        connectPort(*m_port, path);
        Com_select = true;
    } catch (const SerialPortError& e) {
        std::string detail = e.what();
        if (const std::string hint = platform::permissionHint(path, e.code()); !hint.empty())
            detail += "\n" + hint;
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."), QString::fromStdString(detail));
    } catch (const std::exception& e) {
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."), QString::fromStdString(e.what()));
    } catch (...) {
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."));
    }
    // Another port can be picked at once.
    if (!Com_select)
        CB_Com->setFocus(Qt::OtherFocusReason);
}

void UpdateDialog::LbButton2Click() {
    if (!Com_select) {
        m_messages.error(QStringLiteral("Select one port."));
        CB_Com->setFocus(Qt::OtherFocusReason);
        return;
    }
    Panel1->move(0, 0);
    Panel1->show();
    Panel1->raise();
    setStepsVisible(false);
    LbButton4->setFocus();
    closePort(); // the updater opens the port itself
}

void UpdateDialog::LbButton4Click() {
    m_outcomeNotice->hide();
    const UpdateOptions opts = options();
    if (const std::string problem = firmwareFileProblem(opts, m_workspace.masterDir); !problem.empty()) {
        m_messages.error(QString::fromStdString(problem));
        return;
    }
    const std::string port = selectedPort();
    const platform::ProcessRequest request =
        updaterRequest(m_workspace.workspaceRoot, port, opts, m_workspace.masterDir, m_workspace.projectDir);
    WaitOutcome outcome;
    try {
        runWithProgress(QString::fromStdString(port), this, [&](const UpdaterLauncher::PollCallback& onPoll) {
            outcome = m_startProgram(request.program, request.parameters, false, request.arguments, onPoll);
        });
    } catch (const platform::ProcessStartError& e) {
        m_messages.error(QStringLiteral("Error!! The updater cannot be started: %1")
                             .arg(QString::fromStdString(e.program())),
                         QString::fromStdString(e.systemError()));
        return;
    }
    showOutcome(outcome, UpdaterLauncher::kWaitLimitMs);
}

void UpdateDialog::showOutcome(const WaitOutcome& outcome, std::uint32_t limitMs) {
    const QString when = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString how = QString::fromStdString(outcomeText(outcome, limitMs));
    const bool ok = succeeded(outcome);
    // A success is told on the page, so that the next device can follow at once; a failure also
    // in an error box, which cannot be missed.
    QPalette palette = m_outcomeNotice->palette();
    palette.setColor(QPalette::Window, ok ? QColor(0xd4, 0xf0, 0xd4) : QColor(0xf8, 0xd4, 0xd4));
    palette.setColor(QPalette::WindowText, ok ? QColor(0x10, 0x50, 0x10) : QColor(0x80, 0x10, 0x10));
    m_outcomeNotice->setPalette(palette);
    m_outcomeNotice->setText(ok ? QStringLiteral("Device updated at %1: the updater %2.").arg(when, how)
                                : QStringLiteral("Update failed at %1: the updater %2.").arg(when, how));
    m_outcomeNotice->show();
    if (ok)
        return;
    if (outcome.result == WaitResult::TimedOut)
        m_messages.error(QStringLiteral("Error!! The updater %1.").arg(how),
                         QStringLiteral("It is left running; let it end before the device is switched off or "
                                        "the next update is started."));
    else
        m_messages.error(QStringLiteral("Error!! The updater %1.").arg(how),
                         QStringLiteral("The device may not be updated."));
}

void UpdateDialog::LbButton5Click() { Load_COM_Port_Avaiable(); }

} // namespace strovane::update
