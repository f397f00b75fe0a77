#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// One run of the built qxpan-cli: its exit status and what it printed.
struct CliProcess
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    /// Runs qxpan-cli with args (environment extended by env, "NAME=value" entries).
    static CliProcess Run(const QStringList& args, const QStringList& env = {});
    /// The lines printed on standard error.
    QStringList errLines() const;
};
