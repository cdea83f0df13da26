#include "app/gui/workspace_lock.h"

#include "platform/system.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

namespace fs = std::filesystem;
using strovane::app::WorkspaceLock;
using strovane::testing::TempDir;

TEST(WorkspaceLock, ASecondProgramIsToldWhichProcessHoldsTheWorkspace) {
    TempDir dir;
    auto first = std::make_unique<WorkspaceLock>(dir.path());
    EXPECT_EQ(first->acquire(), std::nullopt);
    EXPECT_TRUE(first->held());
    EXPECT_TRUE(fs::exists(dir / WorkspaceLock::kFileName));

    // However long the first program has been running. (Windows lets no one else write the file
    // its holder keeps open, so there it cannot be made to look old.)
    std::error_code aged;
    fs::last_write_time(dir / WorkspaceLock::kFileName,
                        fs::last_write_time(dir / WorkspaceLock::kFileName) - std::chrono::hours(30), aged);
    EXPECT_TRUE(!aged || strovane::platform::kWindows) << aged.message();
    WorkspaceLock second(dir.path());
    const std::optional<QString> refused = second.acquire();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->toStdString(), "Error! The workspace \"" + dir.path().string() + "\" is in use by process " +
                                          std::to_string(QCoreApplication::applicationPid()) + ".");
    EXPECT_FALSE(second.held());

    // Once the first program has ended, the workspace is free again and the file gone.
    first.reset();
    EXPECT_FALSE(fs::exists(dir / WorkspaceLock::kFileName));
    EXPECT_EQ(second.acquire(), std::nullopt);
    EXPECT_TRUE(second.held());
}

// A program that was killed leaves its lock file; its process is gone, so the lock is taken over,
// however recent the file.
TEST(WorkspaceLock, ALockLeftByAProgramThatIsGoneIsTakenOver) {
    TempDir dir;
    QProcess gone;
    gone.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_list_tests")});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    // The file as Qt writes it on this system (the machine's name differs between systems), with
    // the pid of the process that is gone.
    const QString path = QString::fromStdString((dir / WorkspaceLock::kFileName).string());
    QByteArray left;
    {
        QLockFile own(path);
        ASSERT_TRUE(own.tryLock(0));
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        left = written.readAll();
    }
    left = QByteArray::number(pid) + left.mid(left.indexOf('\n'));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(left);
    }
    WorkspaceLock lock(dir.path());
    EXPECT_EQ(lock.acquire(), std::nullopt);
    EXPECT_TRUE(lock.held());
}

// Where no lock can be made, the program still starts; the start-up reports the folder.
TEST(WorkspaceLock, NoLockWhereNoneCanBeMade) {
    TempDir dir;
    WorkspaceLock lock(dir / "missing");
    EXPECT_EQ(lock.acquire(), std::nullopt);
    EXPECT_FALSE(lock.held());
}

} // namespace
