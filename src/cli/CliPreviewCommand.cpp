#include "cli/CliPreviewCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "cli/CliScreenFile.h"
#include "cli/CliTable.h"
#include "document/CQXPanDocument.h"
#include "fileio/CQXPanFileFinder.h"
#include "formats/KeyPainter.h"

#include <QFileInfo>
#include <QImage>

QString CliPreviewCommand::Summary() const
{
    return QStringLiteral("Draw a screen file with the keys and tables of its slice.");
}

QString CliPreviewCommand::Details() const
{
    return QStringLiteral(
        "SCREENFILE is decoded as by decode; the key and table records of its slice of the\n"
        "bitmap table (797: records 81-160, 798: 1-80, 799: 161-240, 796: none) are drawn on\n"
        "it at register resolution the way the design area draws them: rectangle or ellipse in\n"
        "the fill colour with a black outline, text lines centred. The slice is read the way\n"
        "the editor loads it (it ends at the first free record). The screen's number comes\n"
        "from its name (FILE797P.TXT) or else from its \"C\" line. Without --table,\n"
        "FILE795P.TXT beside SCREENFILE is used when it exists.\n"
        "Exit status: 0 done, 1 a file is missing or broken or OUT cannot be written,\n"
        "2 wrong arguments.");
}

int CliPreviewCommand::Run(const CliArgs& args, CliIo& io)
{
    const QString& in = args.Positional()[0];
    const QString& out = args.Positional()[1];
    QImage picture;
    const int decoded =
        CliScreenFile::DecodeForPicture(QStringLiteral("preview"), in, out, picture, io);
    if (decoded != CliOk)
        return decoded;

    QString tablePath = args.Value(QStringLiteral("table"));
    if (tablePath.isEmpty())
        tablePath = CQXPanFileFinder::FindPath(QFileInfo(in).absolutePath(),
                                               QStringLiteral("FILE795P.TXT"));
    const int number = CliScreenFile::FileNumber(in);
    if (!tablePath.isEmpty() && number != 796) {
        if (number == 0)
            return io.Fail(in, QStringLiteral("cannot tell the screen's number (796..799) "
                                              "from its name or its \"C\" line"));
        QList<CQXPanKeyObj> table;
        QString error;
        if (!CliTable::Read(tablePath, table, &error))
            return io.Fail(tablePath, error);
        CQXPanDocument design;
        design.LoadTableSlice(table, number);
        picture = picture.convertToFormat(QImage::Format_RGB32);
        PaintRegisterKeys(picture, design.m_KeyObjs);
    }
    if (const FileResult saved = CliScreenFile::SavePicture(picture, out); !saved)
        return io.Fail(saved.path, saved.reason);
    return CliOk;
}
