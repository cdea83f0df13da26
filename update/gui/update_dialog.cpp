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

// Client-area positions: the steps page, then the options page that covers it.
constexpr int kClientWidth = 358, kClientHeight = 210;
constexpr QPoint kIntroLabel{8, 8};
constexpr QPoint kTurnOffLabel{24, 32};
constexpr QPoint kJumperLabel{24, 56};
constexpr QPoint kPortLabel{24, 80};
constexpr QRect kPortList{44, 96, 101, 21};
constexpr QRect kRefreshButton{151, 96, 23, 22};
constexpr QRect kConnectButton{180, 96, 81, 21};
constexpr QPoint kTurnOnLabel{24, 128};
constexpr QPoint kLedLabel{24, 152};
constexpr QRect kCancelButton{24, 176, 100, 23};
constexpr QRect kNextButton{128, 176, 100, 23};
constexpr QRect kOptionsPage{0, 0, 353, 209};
constexpr QPoint kOptionsTitle{8, 8};
constexpr QPoint kFirmwareOption{16, 32};
constexpr QPoint kReadFirmwareOption{64, 56};
constexpr QPoint kProjectOption{16, 88};
constexpr QPoint kReadProjectOption{64, 112};
constexpr QRect kOutcomeNotice{8, 136, 337, 32};
constexpr QRect kExecuteButton{8, 174, 169, 23};

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(at);
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
    widgets::makeFixedDialog(this, kClientWidth, kClientHeight);
    setFont(widgets::windowFont()); // on the system button face, unlike the other windows

    m_introLabel = label(this, "introLabel",
                         QStringLiteral("Follow these steps to update the GW40518 from RS232:"), kIntroLabel);
    m_turnOffLabel = label(this, "turnOffLabel", QStringLiteral("1 - Turn OFF the Device"), kTurnOffLabel);
    m_jumperLabel = label(this, "jumperLabel", QStringLiteral("2 - Insert the Boot Jumper (see the manual)"),
                          kJumperLabel);
    m_portLabel = label(this, "portLabel",
                        QStringLiteral("3 - Select the  COM port and press the connect button"), kPortLabel);

    m_portList = new QComboBox(this);
    m_portList->setObjectName(QStringLiteral("portList"));
    m_portList->setEditable(false);
    m_portList->setGeometry(kPortList);
    widgets::labelField(m_portLabel, m_portList);

    auto* refresh = widgets::makeFormButton(this, QStringLiteral("refreshButton"), QString(), kRefreshButton,
                                            QStringLiteral("REFRESH"), widgets::FormButtonLook::Dialog);
    refresh->setColor(widgets::kSysButtonFace);
    refresh->setToolTip(QStringLiteral("Update COM Port List"));
    refresh->setAccessibleName(refresh->toolTip()); // a picture only: its hint names it
    m_refreshButton = refresh;
    m_connectButton =
        widgets::makeFormButton(this, QStringLiteral("connectButton"), QStringLiteral("Connect"),
                                kConnectButton, QString(), widgets::FormButtonLook::Plain);

    m_turnOnLabel = label(this, "turnOnLabel", QStringLiteral("4 - Turn ON the Device"), kTurnOnLabel);
    m_ledLabel =
        label(this, "ledLabel", QStringLiteral("5 - Check the BOOT led. It must blink quickly"), kLedLabel);

    m_cancelButton =
        widgets::makeFormButton(this, QStringLiteral("cancelButton"), QStringLiteral("Cancel"), kCancelButton,
                                QStringLiteral("CANCEL"), widgets::FormButtonLook::Plain);
    auto* next = widgets::makeFormButton(this, QStringLiteral("nextButton"), QStringLiteral("Next"),
                                         kNextButton, QStringLiteral("NEXT"), widgets::FormButtonLook::Plain);
    next->setGlyphLayout(widgets::GlyphLayout::GlyphRight);
    m_nextButton = next;

    // The options page covers the whole steps page when shown.
    m_optionsPage = new QFrame(this);
    m_optionsPage->setObjectName(QStringLiteral("optionsPage"));
    m_optionsPage->setFrameShape(QFrame::NoFrame);
    m_optionsPage->setAutoFillBackground(true);
    m_optionsPage->setGeometry(kOptionsPage);
    m_optionsPage->hide();
    m_optionsTitle =
        label(m_optionsPage, "optionsTitle", QStringLiteral("Update Device Options"), kOptionsTitle);
    // Ticked at program start; the states then persist between openings.
    m_firmwareOption = widgets::makeOptionCheckBox(m_optionsPage, QStringLiteral("firmwareOption"),
                                                   QStringLiteral("Firmware"), kFirmwareOption);
    m_readFirmwareOption =
        widgets::makeOptionCheckBox(m_optionsPage, QStringLiteral("readFirmwareOption"),
                                    QStringLiteral("Read Firmware when finish"), kReadFirmwareOption);
    m_projectOption = widgets::makeOptionCheckBox(m_optionsPage, QStringLiteral("projectOption"),
                                                  QStringLiteral("Project"), kProjectOption);
    m_readProjectOption =
        widgets::makeOptionCheckBox(m_optionsPage, QStringLiteral("readProjectOption"),
                                    QStringLiteral("Read Project when finish"), kReadProjectOption);
    m_executeButton = widgets::makeFormButton(
        m_optionsPage, QStringLiteral("executeButton"), QStringLiteral("Execute update firmware"),
        kExecuteButton, QStringLiteral("EXECUTE"), widgets::FormButtonLook::UpdateExecute);

    m_outcomeNotice = new QLabel(m_optionsPage);
    m_outcomeNotice->setObjectName(QStringLiteral("outcomeNotice"));
    m_outcomeNotice->setGeometry(kOutcomeNotice);
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

    connect(m_connectButton, &QAbstractButton::clicked, this, &UpdateDialog::connectPort);
    connect(m_nextButton, &QAbstractButton::clicked, this, &UpdateDialog::showOptions);
    connect(m_cancelButton, &QAbstractButton::clicked, this, [this] { done(2); });
    connect(m_executeButton, &QAbstractButton::clicked, this, &UpdateDialog::executeUpdate);
    connect(m_refreshButton, &QAbstractButton::clicked, this, &UpdateDialog::refreshPorts);
}

UpdateDialog::~UpdateDialog() { closePort(); }

void UpdateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        widgets::centreOnScreen(this);
        startOver();
    }
}

void UpdateDialog::startOver() {
    m_optionsPage->hide();
    m_portConnected = false;
    m_outcomeNotice->hide();
    setStepsVisible(true);
    loadPorts();
}

void UpdateDialog::done(int result) {
    closePort();
    QDialog::done(result);
}

void UpdateDialog::reject() { done(2); }

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
    for (QWidget* w : {static_cast<QWidget*>(m_introLabel), static_cast<QWidget*>(m_turnOffLabel),
                       static_cast<QWidget*>(m_jumperLabel), static_cast<QWidget*>(m_portLabel),
                       static_cast<QWidget*>(m_turnOnLabel), static_cast<QWidget*>(m_ledLabel),
                       static_cast<QWidget*>(m_refreshButton), static_cast<QWidget*>(m_portList),
                       static_cast<QWidget*>(m_connectButton), static_cast<QWidget*>(m_nextButton),
                       static_cast<QWidget*>(m_cancelButton)})
        w->setVisible(visible);
}

std::vector<platform::PortInfo> UpdateDialog::listPorts() { return m_probe(); }

void UpdateDialog::loadPorts() {
    m_portList->clear();
    int widest = m_portList->width();
    for (const platform::PortInfo& port : listPorts()) {
        const QString text = itemText(port);
        m_portList->addItem(text, QString::fromStdString(port.name));
        m_portList->setItemData(m_portList->count() - 1, QString::fromStdString(port.path), Qt::ToolTipRole);
        widest = std::max(widest, m_portList->fontMetrics().horizontalAdvance(text) + 32);
    }
    m_portList->view()->setMinimumWidth(widest); // the drop-down shows the whole text
    m_portList->setCurrentIndex(m_portList->count() > 0 ? 0 : -1);
}

std::string UpdateDialog::selectedPort() const {
    return m_portList->currentIndex() < 0 ? std::string()
                                          : m_portList->currentData(kPortNameRole).toString().toStdString();
}

UpdateOptions UpdateDialog::options() const {
    return {m_firmwareOption->isChecked(), m_readFirmwareOption->isChecked(), m_projectOption->isChecked(),
            m_readProjectOption->isChecked()};
}

void UpdateDialog::connectPort() {
    m_portConnected = false;
    closePort();
    if (selectedPort().empty()) { // no port present, or none selected
        m_messages.error(QStringLiteral("Select one port."));
        m_portList->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::string path = platform::devicePath(selectedPort());
    try {
        update::connectPort(*m_port, path);
        m_portConnected = true;
    } catch (const SerialPortError& e) {
        std::string detail = e.what();
        if (const std::string hint = platform::permissionHint(path, e.code()); !hint.empty())
            detail += "\n" + hint;
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."), QString::fromStdString(detail));
    } catch (const std::exception& e) {
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."),
                         QString::fromStdString(e.what()));
    } catch (...) {
        m_messages.error(QStringLiteral("Error!! Com Port cannot be open."));
    }
    // Another port can be picked at once.
    if (!m_portConnected)
        m_portList->setFocus(Qt::OtherFocusReason);
}

void UpdateDialog::showOptions() {
    if (!m_portConnected) {
        m_messages.error(QStringLiteral("Select one port."));
        m_portList->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_optionsPage->move(kOptionsPage.topLeft());
    m_optionsPage->show();
    m_optionsPage->raise();
    setStepsVisible(false);
    m_executeButton->setFocus();
    closePort(); // the updater opens the port itself
}

void UpdateDialog::executeUpdate() {
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

void UpdateDialog::refreshPorts() { loadPorts(); }

} // namespace strovane::update
