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
    // Starts the updater and waits for it (the main window's startAndWait): program, its
    // command line, hidden or not, the same command line as arguments, a poll callback; tells
    // how the wait ended. Throws platform::ProcessStartError when the updater cannot be started.
    using StartProgram =
        std::function<WaitOutcome(const std::string& program, const std::string& commandLine, bool hidden,
                           const std::vector<std::string>& arguments, const UpdaterLauncher::PollCallback& onPoll)>;

    UpdateDialog(widgets::MessageBoxes& messages, const workspace::Workspace& workspace, platform::PortProbe probe,
              platform::SerialDeviceFactory serialDevices, StartProgram startProgram, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    // The ports present, ordered as the list shows them.
    std::vector<platform::PortInfo> EnumPorts();
    void Load_COM_Port_Avaiable();
    void LbButton1Click(); // Connect
    void LbButton2Click(); // Next
    void LbButton4Click(); // Execute update firmware
    void LbButton5Click(); // refresh the port list

    // The buttons by what they do, for tests that press them as a person does.
    QAbstractButton* connectButton() const { return LbButton1; }
    QAbstractButton* nextButton() const { return LbButton2; }
    QAbstractButton* executeButton() const { return LbButton4; }
    QAbstractButton* refreshButton() const { return LbButton5; }

    // The ticked options, in command-line order.
    UpdateOptions options() const;
    // The port name of the selected list item ("ttyUSB0", "COM3"), empty with none.
    std::string selectedPort() const;

    void done(int result) override;
    void reject() override; // the close box and Escape give Cancel (2)

    // True once a Connect has succeeded; cleared at every opening and every Connect.
    bool Com_select = false;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QComboBox* CB_Com;
    QAbstractButton* LbButton5;
    QAbstractButton* LbButton1;
    QAbstractButton* LbButton3;
    QAbstractButton* LbButton2;
    QFrame* Panel1;
    QLabel* Label7;
    widgets::ImageCheckBox* CB_Firm;
    widgets::ImageCheckBox* CB_RFirm;
    widgets::ImageCheckBox* CB_Proj;
    widgets::ImageCheckBox* CB_RProj;
    QAbstractButton* LbButton4;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void FormClose();
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
};

} // namespace strovane::update
