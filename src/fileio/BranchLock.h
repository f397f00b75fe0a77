#pragma once

#include "fileio/FileResult.h"

#include <QLockFile>
#include <QString>

/// One writer at a time for a branch's register files (Convert in the editor and in qxpan-cli):
/// a lock file in the program folder, released when the object goes or its process ends.
class BranchLock
{
public:
    /// Time a second writer waits before it gives up.
    static constexpr int kWaitMilliseconds = 5000;

    explicit BranchLock(const QString& programFolder);

    /// Takes the lock, waiting up to waitMs; when another process keeps it, says who.
    FileResult Acquire(int waitMs = kWaitMilliseconds);

private:
    QString m_folder;
    QLockFile m_lock;
};
