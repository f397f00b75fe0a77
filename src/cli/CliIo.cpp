#include "cli/CliIo.h"

#include <QString>

#include <cstdio>

CliIo::CliIo() : m_out(stdout), m_err(stderr) {}

int CliIo::Fail(const QString& file, const QString& what)
{
    Note(file + QStringLiteral(": ") + what);
    return CliBadInput;
}

void CliIo::Note(const QString& text)
{
    // Messages of the register formats may span lines; keep one line per message.
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_err << "qxpan-cli: " << line << Qt::endl;
}
