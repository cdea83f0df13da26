// The modal-dialog driver never leaves a test waiting in exec(): a failed assertion inside the
// action, or an action that leaves the window open, ends the wait with a reported failure.
#include "support/gui/modal.h"

#include <QDialog>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using strovane::testing::onNextModal;

// Runs exec() on a dialog driven by `action`, with the action's failures captured instead of
// failing this test; returns the captured messages and the exec() result.
std::pair<std::vector<std::string>, int> execCapturing(std::function<void(QWidget*)> action, int timeoutMs) {
    QDialog dialog;
    dialog.setObjectName("Driven");
    ::testing::TestPartResultArray captured;
    int result = -1;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &captured);
        onNextModal(std::move(action), timeoutMs);
        result = dialog.exec();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < captured.size(); ++i)
        messages.push_back(captured.GetTestPartResult(i).message());
    return {messages, result};
}

TEST(OnNextModal, AnActionThatFailsAnAssertionDoesNotLeaveExecWaiting) {
    const auto [messages, result] = execCapturing([](QWidget*) { ASSERT_TRUE(false) << "inside the action"; }, 200);
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("inside the action"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("modal window Driven still open 200 ms after its action"), std::string::npos)
        << messages[1];
}

TEST(OnNextModal, AnActionThatClosesTheWindowReportsNothing) {
    const auto [messages, result] = execCapturing([](QWidget* w) { static_cast<QDialog*>(w)->accept(); }, 200);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.empty());
}

} // namespace
