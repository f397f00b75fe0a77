#include "app/CQXPanApp.h"
#include "app/DesktopEntry.h"
#include "reglib/QxCtrlStore.h"
#include "uikit/QtUserInteraction.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStringList>

#include <cstdio>

namespace {

// Qt aborts when it finds no display; say what to do instead.
bool DisplayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("QXPan"));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("QXPan: screen layout editor for the register's check windows and logo."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption configOption(
        QStringLiteral("config"),
        QStringLiteral("Configuration store to use (default: $QXPAN_CONFIG, else qxctrl.ini in "
                       "the user's configuration folder)."),
        QStringLiteral("FILE"));
    parser.addOption(configOption);
    // Parsed before the application object exists, so that --help works without a display.
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "qxpan: %s (see --help)\n", qUtf8Printable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object Qt cannot name the executable itself.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("qxpan"));
        std::fputs(qUtf8Printable(help), stdout);
        return 0;
    }

    if (!DisplayAvailable()) {
        std::fputs("qxpan: no display found (DISPLAY and WAYLAND_DISPLAY are unset); QXPan needs "
                   "a graphical display - start it under Xvfb, e.g. `xvfb-run -a make run`\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopEntry::kAppId));

    const QxCtrlStore store(QxCtrlStore::ResolvePath(parser.value(configOption)));
    if (const FileResult ready = store.EnsureExists(); !ready) {
        std::fprintf(stderr, "qxpan: cannot prepare the configuration store %s: %s\n",
                     qUtf8Printable(QDir::toNativeSeparators(store.path())),
                     qUtf8Printable(ready.reason));
        return 1;
    }

    QtUserInteraction ui;
    CQXPanApp qxpan(store, &ui);
    qxpan.InitInstance();
    return 0;
}
