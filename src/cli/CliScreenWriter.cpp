#include "cli/CliScreenWriter.h"

#include "cli/CliExit.h"
#include "cli/CliIo.h"
#include "image/ScreenProgramFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int CliScreenWriter::Write(const CDibImage& screen, int fileNumber, const QString& out, CliIo& io)
{
    // The writer works on FILE%03dP.TXT in a program folder; give it a private one beside out
    // (same file system), seeded with out itself so that its header lines are kept.
    const QFileInfo outInfo(out);
    QTemporaryDir work(outInfo.absolutePath() + QStringLiteral("/.qxpan-cli-XXXXXX"));
    if (!work.isValid())
        return io.Fail(out, QStringLiteral("cannot write beside it (%1)").arg(work.errorString()));
    const QString target = work.filePath(QStringLiteral("FILE%1P.TXT").arg(fileNumber));
    if (outInfo.exists() && !QFile::copy(out, target))
        return io.Fail(out, QStringLiteral("cannot read its header lines"));

    QString failure;
    const int result =
        WriteScreenProgramFile(screen, fileNumber, work.path(), work.path(),
                               [&failure](const FileMessage& m) { failure = m.text; });
    if (result != 0 || !failure.isEmpty())
        return io.Fail(out, failure.isEmpty() ? QStringLiteral("cannot write") : failure);
    // rename() replaces out in one step, so a reader never sees half a file.
    if (std::rename(QFile::encodeName(target).constData(), QFile::encodeName(out).constData()) != 0)
        return io.Fail(out, QStringLiteral("cannot replace the file"));
    return CliOk;
}
