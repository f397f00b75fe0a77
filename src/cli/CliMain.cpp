#include "cli/CliIo.h"
#include "cli/CliMessages.h"
#include "cli/CliRunner.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

// The commands of qxpan-cli, loaded by its front (main.cpp) for everything the front does not do
// itself; the module brings the graphics libraries that pictures, text and previews need.
extern "C" Q_DECL_EXPORT int qxpan_cli_main(int argc, char* argv[])
{
    qInstallMessageHandler(CliMessages::Filter);
    // The tool draws previews but never opens a window: it must run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes options such as -reverse or -plugin out of the command line it is given, even
    // after "--"; it gets only the program name, so every argument reaches the commands as typed
    // (a file may be called "-reverse").
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        // A path with bytes the system's encoding cannot read would come back as another name
        // and write another file.
        if (QFile::encodeName(argument) != QByteArray(argv[i])) {
            std::fprintf(stderr,
                         "qxpan-cli: argument %d is not valid text in the system's encoding "
                         "(%s); rename the file\n",
                         i, qUtf8Printable(argument));
            return 2;
        }
        arguments << argument;
    }
    int qtArgc = 1;
    CliRunner runner;
    // Pictures need no more than QtCore's application; the platform that text drawing needs
    // costs more to start and end than an encode takes.
    std::unique_ptr<QCoreApplication> app;
    if (runner.DrawsText(arguments))
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
    else
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    // The same name as the editor, so that both find the same branch folders.
    QCoreApplication::setApplicationName(QStringLiteral("QXPan"));
    CliIo io;
    return runner.Run(arguments, io);
}
