#pragma once

#include <QString>
#include <QStringList>

class CliArgs;
class CliIo;

/// One command of qxpan-cli: its name, its help text and what it does.
class CliCommand
{
public:
    virtual ~CliCommand() = default;

    /// The word that selects the command.
    virtual QString Name() const = 0;
    /// The command line, e.g. "decode SCREENFILE OUT".
    virtual QString Synopsis() const = 0;
    /// One line for the list of commands.
    virtual QString Summary() const = 0;
    /// The text shown by --help after the synopsis.
    virtual QString Details() const = 0;
    /// Options that take a value (without "--").
    virtual QStringList ValueOptions() const { return {}; }
    /// Options without a value (without "--").
    virtual QStringList Flags() const { return {}; }
    /// Number of positional arguments the command needs.
    virtual int PositionalCount() const = 0;
    /// True when the command draws text, which needs the platform's fonts.
    virtual bool DrawsText() const { return false; }

    /// Runs the command on arguments that passed the generic checks; returns a CliExit value.
    virtual int Run(const CliArgs& args, CliIo& io) = 0;
};
