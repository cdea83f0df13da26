// The update dialog on a real device: a pseudo-terminal, which has no modem lines (POSIX only).
#include "update/gui/update_dialog.h"

#include "platform/port_probe.h"
#include "platform/serial_device.h"
#include "support/gui/message_recorder.h"
#include "workspace/workspace.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

namespace strovane::update {
namespace {

TEST(UpdateDialogPseudoTerminal, ConnectsWithoutModemLines) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string path = name;
    const std::vector<platform::PortCandidate> candidates{{path.substr(5), path, ""}}; // "pts/N" under /dev/
    testing::MessageRecorder messages;
    workspace::Workspace ws;
    UpdateDialog d(
        messages, ws, [&] { return platform::probePorts([&] { return candidates; }); }, platform::createSerialDevice,
        [](auto&&...) { return WaitOutcome{}; });
    d.show();
    ASSERT_EQ(d.portList()->count(), 1);
    EXPECT_EQ(d.portList()->itemText(0).toStdString(), path.substr(5));
    QTest::mouseClick(d.connectButton(), Qt::LeftButton);
    EXPECT_TRUE(d.portConnected());
    EXPECT_TRUE(messages.boxes.empty()) << messages.boxes[0].detail.toStdString();
    // The tested port stays open until Next, so the refreshed list shows it held.
    QTest::mouseClick(d.refreshButton(), Qt::LeftButton);
    EXPECT_EQ(d.portList()->itemText(0).toStdString(), path.substr(5) + " (in use)");
    d.done(2);
    d.refreshButton()->click(); // the dialog is closed: refill the list without the mouse

    EXPECT_EQ(d.portList()->itemText(0).toStdString(), path.substr(5)) << "closing released the port";
    close(slave);
    close(master);
}

} // namespace
} // namespace strovane::update
