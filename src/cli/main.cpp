#include "cli/CliIo.h"
#include "cli/CliRunner.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Our own errors go straight to standard error, one line each; Qt's chatter about the platform
// (runtime folders, fonts) would only blur them, so only its critical messages are kept.
void messageFilter(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qxpan-cli: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(messageFilter);
    // The tool draws previews but never opens a window: it must run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes options such as -reverse or -plugin out of the command line it is given, even
    // after "--"; it gets only the program name, so every argument reaches the commands as typed
    // (a file may be called "-reverse").
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // The same name as the editor, so that both find the same branch folders.
    QGuiApplication::setApplicationName(QStringLiteral("QXPan"));
    CliIo io;
    CliRunner runner;
    return runner.Run(arguments, io);
}
