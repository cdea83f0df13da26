#pragma once

// clang-format off
#include <QStringList> // message_recorder.h uses it without including it
// clang-format on

#include "support/file_bytes.h"
#include "support/gui/message_recorder.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace strovane::testing {

// A project folder in a temporary folder, a workspace pointing at its three documents and a
// recorder for the message boxes: what every editor dialog test starts from.
class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() {
        m_workspace.projectName = "P1";
        m_workspace.projectDir = m_dir.path().string();
        m_workspace.parGenFile = (m_dir / "ParGen.xml").string();
        m_workspace.receivePdoFile = (m_dir / "RPDOs.xml").string();
        m_workspace.transmitPdoFile = (m_dir / "TPDOs.xml").string();
    }

    static bool exists(const std::string& path) { return std::filesystem::exists(path); }
    static void makeReadOnly(const std::string& path) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    }

    // Replaces an edit box's text by typing, as a user would.
    static void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    TempDir m_dir;
    workspace::Workspace m_workspace;
    MessageRecorder m_messages;
};

} // namespace strovane::testing
