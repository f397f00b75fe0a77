#include "fileio/InputFile.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

FileResult InputFile::Check(const QString& path, qint64 maxBytes)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return FileResult::Failed(path, qt_error_string(errno));
    if (!S_ISREG(st.st_mode))
        return FileResult::Failed(path, S_ISDIR(st.st_mode)
                                            ? QStringLiteral("is a folder, not a file")
                                            : QStringLiteral("is not a regular file (a device "
                                                             "or a pipe); it is not read"));
    if (maxBytes >= 0 && qint64(st.st_size) > maxBytes)
        return FileResult::Failed(path, QStringLiteral("is %1 bytes long; no such file is larger "
                                                       "than %2 bytes")
                                            .arg(qint64(st.st_size))
                                            .arg(maxBytes));
    return FileResult::Done();
}

bool InputFile::IsSpecial(const QString& path)
{
    struct stat st
    {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}
