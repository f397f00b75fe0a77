#include "refdata/CQXPanFileCopy.h"

#include <QFile>
#include <QSaveFile>

bool CopyFileReplacing(const QString& source, const QString& destination, QString* pError)
{
    const auto fail = [pError](const QString& reason) {
        if (pError)
            *pError = reason;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0 || (n > 0 && out.write(chunk.constData(), n) != n)) {
            const QString reason = n < 0 ? in.errorString() : out.errorString();
            out.cancelWriting();
            return fail(reason);
        }
        if (n == 0)
            break;
    }
    // commit() misses a failed flush of the last buffered bytes and would put a cut file in
    // place on a full disk, so the bytes are flushed (and checked) first.
    if (!out.flush() || !out.commit())
        return fail(out.errorString());
    return true;
}
