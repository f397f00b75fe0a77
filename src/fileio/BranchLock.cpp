#include "fileio/BranchLock.h"

#include <QDir>
#include <QTemporaryFile>

BranchLock::BranchLock(const QString& programFolder)
    : m_folder(programFolder), m_lock(QDir(programFolder).filePath(QStringLiteral(".qxpan.lock")))
{}

FileResult BranchLock::Acquire(int waitMs)
{
    if (m_lock.tryLock(waitMs))
        return FileResult::Done();
    switch (m_lock.error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock.getLockInfo(&pid, &host, &application))
            return FileResult::Failed(
                m_folder,
                QStringLiteral("%1 (process %2 on %3) is writing the branch's register "
                               "files; nothing was written, try again when it is done")
                    .arg(application.isEmpty() ? QStringLiteral("another program") : application)
                    .arg(pid)
                    .arg(host));
        return FileResult::Failed(m_folder, QStringLiteral("another program is writing the "
                                                           "branch's register files; nothing was "
                                                           "written"));
    }
    default: {
        // QLockFile names no reason: a file made the same way tells it (read-only, full, ...).
        QTemporaryFile probe(QDir(m_folder).filePath(QStringLiteral(".qxpan-probe-XXXXXX")));
        const QString reason = probe.open() ? QStringLiteral("unknown error") : probe.errorString();
        return FileResult::Failed(m_folder,
                                  QStringLiteral("the lock file cannot be made here (%1); "
                                                 "nothing was written")
                                      .arg(reason));
    }
    }
}
