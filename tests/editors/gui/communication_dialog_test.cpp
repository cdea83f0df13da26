#include "editor_fixture.h"
#include "editors/gui/communication_dialog.h"
#include "support/gui/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>

namespace {

using strovane::editors::CommunicationDialog;
using strovane::testing::MessageRecorder;
using strovane::testing::readFile;
using strovane::testing::writeFile;

constexpr const char* kIdMessage = "Error CANopen!! ID Device must be between 1 and 127";
constexpr const char* kDelayMessage = "Error CANopen!! Delay must be between 0 and 255";
constexpr const char* kTimeoutMessage = "Error CANopen!! SDO Timeout must be between 0 and 50000";
constexpr const char* kExitQuestion = "Do you want to exit without saving changes?";

std::string parGenXml(const std::string& id, const std::string& baud, const std::string& ope,
                      const std::string& opeNet, const std::string& delay, const std::string& timeout,
                      const std::string& serial, const std::string& serialBaud, const std::string& parity) {
    return "<Par_Gen><CANopen_ID>" + id + "</CANopen_ID><CANopen_Baud>" + baud +
           "</CANopen_Baud><CANopen_Set_Ope>" + ope + "</CANopen_Set_Ope><CANopen_Set_Ope_Net>" + opeNet +
           "</CANopen_Set_Ope_Net><CANopen_Delay>" + delay + "</CANopen_Delay><CANopen_SDO_TO>" + timeout +
           "</CANopen_SDO_TO><Serial_Serial>" + serial + "</Serial_Serial><Serial_Baud>" + serialBaud +
           "</Serial_Baud><Serial_Par>" + parity + "</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->";
}

class CommunicationDialogTest : public strovane::testing::EditorFixture {
protected:
    CommunicationDialogTest() : m_dialog(m_workspace, m_messages) {}

    void open() {
        m_dialog.setResult(0);
        m_dialog.show();
    }
    QLineEdit* edit(const char* name) { return m_dialog.findChild<QLineEdit*>(name); }
    QComboBox* list(const char* name) { return m_dialog.findChild<QComboBox*>(name); }
    QCheckBox* check(const char* name) { return m_dialog.findChild<QCheckBox*>(name); }
    QAbstractButton* button(const char* name) { return m_dialog.findChild<QAbstractButton*>(name); }

    // The nine values as the controls show them, in document order.
    QStringList shown() {
        return {edit("nodeIdEdit")->text(),
                list("canBaudList")->currentText(),
                check("setOperationalCheck")->isChecked() ? "ticked" : "-",
                check("setOperationalNetworkCheck")->isChecked() ? "ticked" : "-",
                edit("startDelayEdit")->text(),
                edit("sdoTimeoutEdit")->text(),
                list("serialTypeList")->currentText(),
                list("serialBaudList")->currentText(),
                list("parityList")->currentText()};
    }

    CommunicationDialog m_dialog;
};

const QStringList kDefaults = {"10", "1000K", "-", "-", "0", "10000", "RS232", "115200", "NONE"};

TEST_F(CommunicationDialogTest, ControlsHaveTheirPlacesAndItems) {
    open();
    EXPECT_EQ(m_dialog.size(), QSize(312, 409));
    EXPECT_EQ(m_dialog.windowTitle(), "Set Communication");
    EXPECT_EQ(m_dialog.findChild<QGroupBox*>("canopenGroup")->geometry(), QRect(8, 8, 296, 208));
    EXPECT_EQ(m_dialog.findChild<QGroupBox*>("serialGroup")->geometry(), QRect(8, 222, 296, 125));
    EXPECT_EQ(edit("nodeIdEdit")->geometry(), QRect(84, 21, 192, 21));
    EXPECT_EQ(edit("startDelayEdit")->geometry(), QRect(94, 138, 114, 21));
    EXPECT_EQ(edit("sdoTimeoutEdit")->geometry(), QRect(164, 172, 112, 21));
    EXPECT_EQ(list("parityList")->geometry(), QRect(84, 89, 192, 22));
    EXPECT_EQ(button("okButton")->geometry(), QRect(118, 364, 90, 23));
    EXPECT_EQ(button("cancelButton")->geometry(), QRect(214, 364, 90, 23));
    EXPECT_EQ(list("canBaudList")->count(), 8);
    EXPECT_EQ(list("serialTypeList")->count(), 2);
    EXPECT_EQ(list("serialBaudList")->itemText(0), "1200");
    EXPECT_EQ(list("parityList")->itemText(2), "ODD");
    EXPECT_FALSE(list("parityList")->isEditable());
}

TEST_F(CommunicationDialogTest, NoDocumentShowsDefaultsAndCancelClosesWithoutAsking) {
    open();
    EXPECT_EQ(shown(), kDefaults);
    EXPECT_FALSE(m_dialog.hasChanges());
    click(button("cancelButton"));
    EXPECT_EQ(m_dialog.result(), 2);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_TRUE(m_messages.boxes.empty());
    EXPECT_FALSE(exists(m_workspace.parGenFile));
}

TEST_F(CommunicationDialogTest, DocumentFillsControlsWhateverTheElementOrder) {
    writeFile(m_workspace.parGenFile,
              "<Par_Gen><Serial_Par>2</Serial_Par><Extra>x</Extra><CANopen_Set_Ope>1</CANopen_Set_Ope>"
              "<CANopen_ID>0x7F</CANopen_ID><CANopen_Set_Ope_Net>2</CANopen_Set_Ope_Net>"
              "<CANopen_Baud>$3</CANopen_Baud><Serial_Baud>abc</Serial_Baud><CANopen_Delay> 9</CANopen_Delay>"
              "</Par_Gen>");
    open();
    EXPECT_EQ(shown(), QStringList({"0x7F", "125K", "ticked", "-", " 9", "10000", "RS232", "115200", "ODD"}));
    EXPECT_FALSE(m_dialog.hasChanges());
    EXPECT_TRUE(m_messages.boxes.empty());
}

// One typed value and what OK does with it: the first failing range's message, or the text
// saved exactly as typed.
struct TypedCase {
    const char* control;
    const char* text;
    const char* message; // nullptr: accepted
};

class CommunicationTypedValueTest : public CommunicationDialogTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(CommunicationTypedValueTest, OkRefusesOrSavesAsTyped) {
    const TypedCase& c = GetParam();
    open();
    typeInto(edit(c.control), QString::fromUtf8(c.text));
    click(button("okButton"));
    if (c.message) {
        ASSERT_EQ(m_messages.boxes.size(), 1u);
        EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
        EXPECT_EQ(m_messages.boxes[0].text, c.message);
        EXPECT_TRUE(m_dialog.isVisible());
        EXPECT_EQ(m_dialog.result(), 0);
        EXPECT_EQ(edit(c.control)->text(), c.text);
        EXPECT_FALSE(exists(m_workspace.parGenFile));
        // After the box the focus is on the field, its text selected, so the correction is typed at once.
        EXPECT_EQ(m_dialog.focusWidget(), edit(c.control));
        EXPECT_EQ(edit(c.control)->selectedText(), c.text);
    } else {
        EXPECT_TRUE(m_messages.boxes.empty());
        EXPECT_EQ(m_dialog.result(), 1);
        const std::string element = std::string(c.control) == "nodeIdEdit"      ? "CANopen_ID"
                                    : std::string(c.control) == "startDelayEdit" ? "CANopen_Delay"
                                                                                  : "CANopen_SDO_TO";
        EXPECT_NE(readFile(m_workspace.parGenFile).find("<" + element + ">" + c.text + "</" + element + ">"),
                  std::string::npos)
            << readFile(m_workspace.parGenFile);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CommunicationTypedValueTest,
    ::testing::Values(
        TypedCase{"nodeIdEdit", "0", kIdMessage}, TypedCase{"nodeIdEdit", "128", kIdMessage},
        TypedCase{"nodeIdEdit", "", kIdMessage}, TypedCase{"nodeIdEdit", "12 ", kIdMessage},
        TypedCase{"nodeIdEdit", "0x80", kIdMessage}, TypedCase{"nodeIdEdit", "0x7F", nullptr},
        TypedCase{"nodeIdEdit", " 127", nullptr}, TypedCase{"nodeIdEdit", "1", nullptr},
        TypedCase{"startDelayEdit", "255", nullptr}, TypedCase{"startDelayEdit", "256", kDelayMessage},
        TypedCase{"startDelayEdit", "-1", kDelayMessage}, TypedCase{"sdoTimeoutEdit", "50000", nullptr},
        TypedCase{"sdoTimeoutEdit", "50001", kTimeoutMessage},
        TypedCase{"sdoTimeoutEdit", "$FFFFFFFF", kTimeoutMessage}));

TEST_F(CommunicationDialogTest, OnlyTheFirstBadValueIsReported) {
    open();
    typeInto(edit("sdoTimeoutEdit"), "x");
    typeInto(edit("startDelayEdit"), "300");
    click(button("okButton"));
    EXPECT_EQ(m_messages.texts(), QStringList{kDelayMessage});
    typeInto(edit("nodeIdEdit"), "0");
    click(button("okButton"));
    EXPECT_EQ(m_messages.texts(), QStringList({kDelayMessage, kIdMessage}));
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_FALSE(exists(m_workspace.parGenFile));
}

TEST_F(CommunicationDialogTest, OkWritesTheNineElementsAndReopeningShowsThem) {
    open();
    typeInto(edit("nodeIdEdit"), "0x7F");
    list("canBaudList")->setCurrentIndex(2);
    click(check("setOperationalNetworkCheck"));
    typeInto(edit("startDelayEdit"), " 12");
    typeInto(edit("sdoTimeoutEdit"), "$1F4");
    list("serialTypeList")->setCurrentIndex(1);
    list("serialBaudList")->setCurrentIndex(3);
    list("parityList")->setCurrentIndex(2);
    click(button("okButton"));
    ASSERT_EQ(m_dialog.result(), 1);
    EXPECT_TRUE(m_messages.boxes.empty());
    EXPECT_EQ(readFile(m_workspace.parGenFile),
              parGenXml("0x7F", "2", "0", "1", " 12", "$1F4", "1", "3", "2"));

    open();
    EXPECT_EQ(shown(), QStringList({"0x7F", "100K", "-", "ticked", " 12", "$1F4", "RS485", "9600", "ODD"}));
    EXPECT_FALSE(m_dialog.hasChanges());
}

TEST_F(CommunicationDialogTest, ListIndexOutsideItsListShowsNoSelectionAndSavesMinusOne) {
    writeFile(m_workspace.parGenFile, parGenXml("5", "-2", "1", "1", "3", "4", "1", "8", "5"));
    open();
    EXPECT_EQ(list("canBaudList")->currentIndex(), -1);
    EXPECT_EQ(list("serialBaudList")->currentIndex(), -1);
    EXPECT_EQ(list("parityList")->currentIndex(), -1);
    EXPECT_EQ(list("serialTypeList")->currentText(), "RS485");
    click(button("okButton"));
    ASSERT_EQ(m_dialog.result(), 1);
    EXPECT_EQ(readFile(m_workspace.parGenFile), parGenXml("5", "-1", "1", "1", "3", "4", "1", "-1", "-1"));
}

TEST_F(CommunicationDialogTest, CancelAfterAnyChangeAsksAndNoKeepsTheDialogOpen) {
    writeFile(m_workspace.parGenFile, parGenXml("5", "1", "0", "0", "3", "4", "1", "2", "1"));
    const std::string before = readFile(m_workspace.parGenFile);
    open();
    click(check("setOperationalCheck"));
    click(check("setOperationalCheck")); // undone, but still a change
    EXPECT_TRUE(m_dialog.hasChanges());

    m_messages.answers = {false};
    click(button("cancelButton"));
    EXPECT_EQ(m_messages.texts(), QStringList{kExitQuestion});
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Question);
    EXPECT_TRUE(m_dialog.isVisible());

    typeInto(edit("nodeIdEdit"), "99");
    m_messages.answers = {true};
    click(button("cancelButton"));
    EXPECT_EQ(m_messages.boxes.size(), 2u);
    EXPECT_EQ(m_dialog.result(), 2);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(readFile(m_workspace.parGenFile), before);

    open(); // nothing typed in the cancelled showing survives
    EXPECT_EQ(edit("nodeIdEdit")->text(), "5");
    EXPECT_FALSE(m_dialog.hasChanges());
}

TEST_F(CommunicationDialogTest, EachKindOfControlCountsAsAChange) {
    const std::function<void()> changes[] = {
        [&] { QTest::keyClicks(edit("startDelayEdit"), "1"); },
        [&] { list("serialBaudList")->setCurrentIndex(1); },
        [&] { click(check("setOperationalNetworkCheck")); },
    };
    for (const auto& change : changes) {
        open();
        ASSERT_FALSE(m_dialog.hasChanges());
        change();
        EXPECT_TRUE(m_dialog.hasChanges());
        m_dialog.reject();
    }
}

TEST_F(CommunicationDialogTest, CloseBoxClosesWithCancelWithoutAsking) {
    open();
    typeInto(edit("nodeIdEdit"), "77");
    m_dialog.close();
    EXPECT_EQ(m_dialog.result(), 2);
    EXPECT_TRUE(m_messages.boxes.empty());
    EXPECT_FALSE(exists(m_workspace.parGenFile));
}

TEST_F(CommunicationDialogTest, EscapeAsksLikeCancelOnceSomethingChanged) {
    open();
    typeInto(edit("nodeIdEdit"), "77");
    QTest::keyClick(edit("nodeIdEdit"), Qt::Key_Escape);
    EXPECT_EQ(m_messages.texts(), QStringList{kExitQuestion});
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(CommunicationDialogTest, EveryShowingStartsAtTheNodeId) {
    open();
    m_dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    EXPECT_EQ(m_dialog.focusWidget(), edit("nodeIdEdit"));
    button("okButton")->setFocus();
    m_dialog.close();
    open();
    EXPECT_EQ(m_dialog.focusWidget(), edit("nodeIdEdit")) << "not where the last showing left it";
}

TEST_F(CommunicationDialogTest, UnreadableDocumentIsReportedAndTheLastValuesStay) {
    writeFile(m_workspace.parGenFile, parGenXml("42", "1", "1", "0", "3", "4", "1", "2", "1"));
    open();
    m_dialog.reject();
    writeFile(m_workspace.parGenFile, "<Par_Gen><CANopen_ID>9</CANopen_ID>");
    open();
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(m_messages.boxes[0].text.contains("ParGen.xml")) << m_messages.boxes[0].text.toStdString();
    EXPECT_EQ(shown(), QStringList({"42", "50K", "ticked", "-", "3", "4", "RS485", "4800", "EVEN"}));
    EXPECT_FALSE(m_dialog.hasChanges());
}

TEST_F(CommunicationDialogTest, SaveFailureKeepsTheDialogAndTheFile) {
    writeFile(m_workspace.parGenFile, parGenXml("5", "1", "0", "0", "3", "4", "1", "2", "1"));
    const std::string before = readFile(m_workspace.parGenFile);
    makeReadOnly(m_workspace.parGenFile);
    open();
    typeInto(edit("nodeIdEdit"), "6");
    click(button("okButton"));
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_EQ(m_messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(m_messages.boxes[0].text.contains("ParGen.xml")) << m_messages.boxes[0].text.toStdString();
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), 0);
    EXPECT_EQ(edit("nodeIdEdit")->text(), "6");
    EXPECT_EQ(readFile(m_workspace.parGenFile), before);
}

TEST_F(CommunicationDialogTest, MissingProjectFolderOnSaveIsReported) {
    m_workspace.parGenFile = (m_dir / "gone" / "ParGen.xml").string();
    open();
    click(button("okButton"));
    ASSERT_EQ(m_messages.boxes.size(), 1u);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_FALSE(exists(m_workspace.parGenFile));
}

TEST_F(CommunicationDialogTest, ModalShowingAnswersOkWithOne) {
    strovane::testing::onNextModal([](QWidget* w) {
        auto* id = w->findChild<QLineEdit*>("nodeIdEdit");
        typeInto(id, "33");
        click(w->findChild<QAbstractButton*>("okButton"));
    });
    EXPECT_EQ(m_dialog.exec(), 1);
    EXPECT_EQ(readFile(m_workspace.parGenFile), parGenXml("33", "7", "0", "0", "0", "10000", "0", "7", "0"));
}

} // namespace
