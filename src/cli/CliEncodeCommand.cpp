#include "cli/CliEncodeCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "cli/CliScreenWriter.h"
#include "document/CQXPanDocument.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"

QString CliEncodeCommand::Summary() const
{
    return QStringLiteral("Write a picture as the register screen file of number N (796..799).");
}

QString CliEncodeCommand::Details() const
{
    return QStringLiteral(
        "IMAGE (any format Qt reads) becomes the background of an empty design and is rendered\n"
        "the way Convert renders it: a 1024 x 768 picture is copied, any other size is stretched\n"
        "with the register's stretch. The result is written to OUT as the screen program file of\n"
        "number N; when OUT exists its \"h\" and \"f\" lines are kept where they fit the number.\n"
        "Exit status: 0 done, 1 IMAGE cannot be read or OUT cannot be written, 2 wrong arguments.");
}

int CliEncodeCommand::Run(const CliArgs& args, CliIo& io)
{
    bool ok = false;
    const int number = args.Value(QStringLiteral("number")).toInt(&ok);
    if (!args.Has(QStringLiteral("number")) || !ok || number < 796 || number > 799) {
        io.Err() << "qxpan-cli encode: --number must be 796, 797, 798 or 799" << Qt::endl;
        return CliUsage;
    }
    const QString& in = args.Positional()[0];
    const QString& out = args.Positional()[1];

    CQXPanDocument design;
    if (const FileResult loaded = design.m_Background.Load(in); !loaded)
        return io.Fail(in, loaded.reason);
    CDibImage screen;
    if (!RenderScreenImage(design, screen))
        return io.Fail(in, QStringLiteral("Convert err"));
    return CliScreenWriter::Write(screen, number, out, io);
}
