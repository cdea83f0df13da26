// What the dialogs save is what the composer puts into the configuration image.
#include "editor_fixture.h"
#include "editors/gui/communication_dialog.h"
#include "editors/gui/pdo_grid.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "editors/gui/transmit_pdo_dialog.h"
#include "project/config_image.h"

#include <QComboBox>
#include <vector>

namespace {

using namespace strovane;

class EditorsComposeTest : public strovane::testing::EditorFixture {};

TEST_F(EditorsComposeTest, SavedEntriesAndParametersReachTheImage) {
    editors::CommunicationDialog parGen(m_workspace, m_messages);
    parGen.show();
    typeInto(parGen.E_CANopen_ID, "0x20");
    typeInto(parGen.E_CANopen_Delay, "5");
    typeInto(parGen.E_CANopen_SDO_TO, "$1F4");
    parGen.CB_Serial_Par->setCurrentIndex(1);
    click(parGen.Btn_OK);
    ASSERT_EQ(parGen.result(), 1);

    editors::ReceivePdoDialog receive(m_workspace, m_messages);
    receive.show();
    receive.sgA->setCells(1, 1, "0x181");
    receive.sgA->setCells(2, 1, "8");
    receive.sgA->setCells(1, 2, "0");
    receive.sgA->setCells(2, 2, " 2");
    click(receive.bitbtn1);
    ASSERT_EQ(receive.result(), 1);

    editors::TransmitPdoDialog transmit(m_workspace, m_messages);
    transmit.show();
    transmit.sgA->setCells(1, 1, "$7ff");
    transmit.sgA->setCells(2, 1, "1");
    transmit.sgA->setCells(3, 1, "dropped by the composer");
    click(transmit.bitbtn1);
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
