#pragma once

#include "cli/CliExit.h"

#include <QTextStream>

/// Standard output and standard error of qxpan-cli, with the one-line error format.
class CliIo
{
public:
    CliIo();

    QTextStream& Out() { return m_out; }
    QTextStream& Err() { return m_err; }

    /// Prints "qxpan-cli: FILE: WHAT" on standard error and returns CliBadInput.
    int Fail(const QString& file, const QString& what);
    /// Prints a free-form note ("qxpan-cli: TEXT") on standard error.
    void Note(const QString& text);

private:
    QTextStream m_out;
    QTextStream m_err;
};
