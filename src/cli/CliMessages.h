#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace CliMessages {

// Our own errors go straight to standard error, one line each; Qt's chatter about the platform
// (runtime folders, fonts) would only blur them, so only its critical messages are kept.
inline void Filter(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qxpan-cli: %s\n", qPrintable(text));
}

} // namespace CliMessages
