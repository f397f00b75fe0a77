#include "fileio/FileCopy.h"

#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"

#include <QFile>

FileResult CopyFileReplacing(const QString& source, const QString& destination)
{
    if (FileResult input = InputFile::Check(source); !input)
        return input;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return FileResult::Failed(source, in.errorString());
    AtomicFile out(destination);
    if (FileResult opened = out.Open(); !opened)
        return opened;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return FileResult::Failed(source, in.errorString());
        if (n == 0)
            break;
        if (out.Device().write(chunk.constData(), n) != n)
            break; // Commit reports the write error
    }
    return out.Commit();
}
