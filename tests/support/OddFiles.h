// Support: makes the odd things a writer may meet where its file should be; no test of its own.
#pragma once

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>

/// Everything in folder, hidden files too.
inline QStringList FolderNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

/// Makes kind at path, beside dir's file "elsewhere"; false when this machine cannot.
inline bool MakeOddFile(const std::string& kind, const QTemporaryDir& dir, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == "ReadOnlyFile")
        return TestFiles::Write(path, "old") && ::chmod(name.constData(), 0444) == 0;
    if (kind == "LinkToAFile")
        return QFile::link(dir.filePath("elsewhere"), path);
    if (kind == "Folder")
        return QDir().mkdir(path);
    // A device node of our own, never the real /dev: /dev/full's numbers.
    return kind == "Device" && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 7)) == 0;
}
