#include "app/gui/workspace_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace strovane::app {

namespace {

// The path as the system writes it, exactly (wide names on Windows, bytes elsewhere).
QString pathText(const std::filesystem::path& path) { return QDir::toNativeSeparators(QFileInfo(path).filePath()); }

// Whether a lock file's host is this machine: Qt writes the host name, on Windows the computer
// name (COMPUTERNAME, which may differ from the host name in letter case or length).
bool isThisMachine(const QString& host) {
    for (const QString& name : {QSysInfo::machineHostName(), qEnvironmentVariable("COMPUTERNAME")})
        if (!name.isEmpty() && host.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

WorkspaceLock::WorkspaceLock(const std::filesystem::path& workspaceFolder)
    : m_folder(workspaceFolder), m_file(pathText(workspaceFolder / kFileName)) {
    // Only a holder that is gone frees the lock, never its age: a program may run for days.
    m_file.setStaleLockTime(0);
}

std::optional<QString> WorkspaceLock::acquire() {
    if (m_file.tryLock(0))
        return std::nullopt;
    if (m_file.error() != QLockFile::LockFailedError)
        return std::nullopt;
    qint64 pid = 0;
    QString host;
    QString application;
    QString holder = QStringLiteral("another Strovane");
    if (m_file.getLockInfo(&pid, &host, &application)) {
        holder = QStringLiteral("process %1").arg(pid);
        if (!host.isEmpty() && !isThisMachine(host))
            holder += QStringLiteral(" on %1").arg(host);
    }
    return QStringLiteral("Error! The workspace \"%1\" is in use by %2.").arg(pathText(m_folder), holder);
}

} // namespace strovane::app
