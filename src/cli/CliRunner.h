#pragma once

#include <QStringList>

#include <memory>
#include <vector>

class CliCommand;
class CliIo;

/// Picks the command named on the command line, checks its arguments and runs it.
class CliRunner
{
public:
    CliRunner();
    ~CliRunner();

    /// Runs the command line (program name first); returns the exit status.
    int Run(const QStringList& arguments, CliIo& io);
    /// True when the command the line names draws text (program name first).
    bool DrawsText(const QStringList& arguments) const;

private:
    void PrintOverview(CliIo& io, bool toError) const;
    static void PrintCommandHelp(const CliCommand& command, CliIo& io, bool toError);

    std::vector<std::unique_ptr<CliCommand>> m_commands;
};
