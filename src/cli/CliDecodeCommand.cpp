#include "cli/CliDecodeCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "cli/CliScreenFile.h"

#include <QImage>

QString CliDecodeCommand::Summary() const
{
    return QStringLiteral(
        "Decode a register screen file (FILE796P.TXT..FILE799P.TXT) to a picture.");
}

QString CliDecodeCommand::Details() const
{
    return QStringLiteral(
        "SCREENFILE is read the way the editor imports a screen file as its background; the\n"
        "1024 x 768 picture is saved to OUT as PNG or BMP, chosen by OUT's extension.\n"
        "Colours come back with the lower three bits of every channel cleared.\n"
        "Exit status: 0 done, 1 the screen file is missing or broken or OUT cannot be written,\n"
        "2 wrong arguments.");
}

int CliDecodeCommand::Run(const CliArgs& args, CliIo& io)
{
    const QString& in = args.Positional()[0];
    const QString& out = args.Positional()[1];
    QImage picture;
    const int decoded =
        CliScreenFile::DecodeForPicture(QStringLiteral("decode"), in, out, picture, io);
    if (decoded != CliOk)
        return decoded;
    if (const FileResult saved = CliScreenFile::SavePicture(picture, out); !saved)
        return io.Fail(saved.path, saved.reason);
    return CliOk;
}
