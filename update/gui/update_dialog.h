#pragma once

#include "platform/port_probe.h"
#include "platform/serial_device.h"
#include "update/updater_launcher.h"
#include "update/updater_command.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QFrame;
class QLabel;

namespace strovane::widgets {
class MessageBoxes;
class ImageCheckBox;
} // namespace strovane::widgets
namespace strovane::workspace {
struct Workspace;
}

namespace strovane::update {

class SerialPort;

// The last step: put the device in boot mode, pick and test the serial port, choose the
// update options and run the updater.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    // Starts the updater and waits for it: the program, its command line, hidden or not, the
    // same command line as arguments, a poll callback; tells how the wait ended. Throws
    // platform::ProcessStartError when the updater cannot be started.
    using StartProgram = std::function<WaitOutcome(const std::string& program, const std::string& commandLine,
                                                   bool hidden, const std::vector<std::string>& arguments,
                                                   const UpdaterLauncher::PollCallback& onPoll)>;

    UpdateDialog(widgets::MessageBoxes& messages, const workspace::Workspace& workspace,
                 platform::PortProbe probe, platform::SerialDeviceFactory serialDevices,
                 StartProgram startProgram, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    // The ports present, ordered as the list shows them.
    std::vector<platform::PortInfo> listPorts();
    // Fills the port list with the ports present and selects the first.
    void loadPorts();
    // Connect: opens the selected port and raises DTR; tells the user when it cannot.
    void connectPort();
    // Next: after a successful Connect, shows the options page.
    void showOptions();
    // Execute update firmware: runs the updater with the ticked options and tells how it ended.
    void executeUpdate();
    // The refresh button: reloads the list; a tested port stays open.
    void refreshPorts();

    // The buttons by what they do, for tests that press them as a person does.
    QAbstractButton* connectButton() const { return m_connectButton; }
    QAbstractButton* nextButton() const { return m_nextButton; }
    QAbstractButton* executeButton() const { return m_executeButton; }
    QAbstractButton* refreshButton() const { return m_refreshButton; }

    // The ticked options, in command-line order.
    UpdateOptions options() const;
    // The port name of the selected list item ("ttyUSB0", "COM3"), empty with none.
    std::string selectedPort() const;

    void done(int result) override;
    void reject() override; // the close box and Escape give Cancel (2)

    QComboBox* portList() const { return m_portList; }
    QFrame* optionsPage() const { return m_optionsPage; }
    // True once a Connect has succeeded; cleared at every opening and every Connect.
    bool portConnected() const { return m_portConnected; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend struct UpdateDialogTestAccess; // lets a test start from an earlier Connect's state

    // Every opening starts on the steps page, untested, with the ports present now.
    void startOver();
    void closePort();
    void setStepsVisible(bool visible);
    void showOutcome(const WaitOutcome& outcome, std::uint32_t limitMs);

    widgets::MessageBoxes& m_messages;
    const workspace::Workspace& m_workspace;
    platform::PortProbe m_probe;
    StartProgram m_startProgram;
    std::unique_ptr<SerialPort> m_port;
    // How the last update ended, on the options page: seen at a glance, no click needed.
    QLabel* m_outcomeNotice;
    bool m_portConnected = false;

    QLabel* m_introLabel;
    QLabel* m_turnOffLabel;
    QLabel* m_jumperLabel;
    QLabel* m_portLabel;
    QLabel* m_turnOnLabel;
    QLabel* m_ledLabel;
    QComboBox* m_portList;
    QAbstractButton* m_refreshButton;
    QAbstractButton* m_connectButton;
    QAbstractButton* m_cancelButton;
    QAbstractButton* m_nextButton;
    QFrame* m_optionsPage;
    QLabel* m_optionsTitle;
    widgets::ImageCheckBox* m_firmwareOption;
    widgets::ImageCheckBox* m_readFirmwareOption;
    widgets::ImageCheckBox* m_projectOption;
    widgets::ImageCheckBox* m_readProjectOption;
    QAbstractButton* m_executeButton;
};

} // namespace strovane::update
