// What the dialogs save is what the composer puts into the configuration image.
#include "editor_fixture.h"
#include "editors/gui/communication_dialog.h"
#include "editors/gui/pdo_grid.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "editors/gui/transmit_pdo_dialog.h"
#include "project/config_image.h"

#include <QComboBox>
#include <QLineEdit>
#include <vector>

namespace {

using namespace strovane;

class EditorsComposeTest : public strovane::testing::EditorFixture {};

TEST_F(EditorsComposeTest, SavedEntriesAndParametersReachTheImage) {
    editors::CommunicationDialog communication(m_workspace, m_messages);
    communication.show();
    typeInto(communication.findChild<QLineEdit*>("nodeIdEdit"), "0x20");
    typeInto(communication.findChild<QLineEdit*>("startDelayEdit"), "5");
    typeInto(communication.findChild<QLineEdit*>("sdoTimeoutEdit"), "$1F4");
    communication.findChild<QComboBox*>("parityList")->setCurrentIndex(1);
    click(communication.findChild<QAbstractButton*>("okButton"));
    ASSERT_EQ(communication.result(), 1);

    editors::ReceivePdoDialog receive(m_workspace, m_messages);
    receive.show();
    receive.grid()->setCellText(1, 1, "0x181");
    receive.grid()->setCellText(2, 1, "8");
    receive.grid()->setCellText(1, 2, "0");
    receive.grid()->setCellText(2, 2, " 2");
    click(receive.okButton());
    ASSERT_EQ(receive.result(), 1);

    editors::TransmitPdoDialog transmit(m_workspace, m_messages);
    transmit.show();
    transmit.grid()->setCellText(1, 1, "$7ff");
    transmit.grid()->setCellText(2, 1, "1");
    transmit.grid()->setCellText(3, 1, "dropped by the composer");
    click(transmit.okButton());
    ASSERT_EQ(transmit.result(), 1);
    ASSERT_TRUE(m_messages.boxes.empty());

    project::ConfigImage image;
    image.composeFrom({m_workspace.parGenFile, m_workspace.receivePdoFile, m_workspace.transmitPdoFile});
    const auto bytes = image.bytes();
    const std::vector<std::uint8_t> expected = {
        12,   0,    0, 0,    18,   0,    0,    0, 21, 0, 0, 0, // header
        0x81, 0x01, 8, 0x00, 0x00, 2,                          // receive entries
        0xFF, 0x07, 1,                                         // transmit entry
        0x20, 7,    0, 0,    5,    0xF4, 0x01, 0, 7,  1, 2, 1, // parameters, entry counts
    };
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
}

} // namespace
