#include "cli/CliRunner.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliConvertCommand.h"
#include "cli/CliDecodeCommand.h"
#include "cli/CliEncodeCommand.h"
#include "cli/CliExit.h"
#include "cli/CliExportCommand.h"
#include "cli/CliIo.h"
#include "cli/CliListsCommand.h"
#include "cli/CliPreviewCommand.h"
#include "cli/CliTableCommand.h"

CliRunner::CliRunner()
{
    m_commands.push_back(std::make_unique<CliEncodeCommand>());
    m_commands.push_back(std::make_unique<CliDecodeCommand>());
    m_commands.push_back(std::make_unique<CliTableCommand>());
    m_commands.push_back(std::make_unique<CliPreviewCommand>());
    m_commands.push_back(std::make_unique<CliConvertCommand>());
    m_commands.push_back(std::make_unique<CliListsCommand>());
    m_commands.push_back(std::make_unique<CliExportCommand>());
    m_commands.push_back(std::make_unique<CliImportCommand>());
}

CliRunner::~CliRunner() = default;

int CliRunner::Run(const QStringList& arguments, CliIo& io)
{
    const QStringList args = arguments.mid(1);
    if (args.isEmpty()) {
        PrintOverview(io, true);
        return CliUsage;
    }
    const QString& name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        if (args.size() > 1) {
            for (const auto& command : m_commands) {
                if (command->Name() == args[1]) {
                    PrintCommandHelp(*command, io, false);
                    return CliOk;
                }
            }
        }
        PrintOverview(io, false);
        return CliOk;
    }
    for (const auto& command : m_commands) {
        if (command->Name() != name)
            continue;
        CliArgs parsed;
        QString error;
        if (!parsed.Parse(args.mid(1), command->ValueOptions(), command->Flags(), &error)) {
            io.Err() << "qxpan-cli " << name << ": " << error << Qt::endl;
            PrintCommandHelp(*command, io, true);
            return CliUsage;
        }
        if (parsed.HelpRequested()) {
            PrintCommandHelp(*command, io, false);
            return CliOk;
        }
        if (parsed.Positional().size() != command->PositionalCount()) {
            io.Err() << "qxpan-cli " << name << ": expected " << command->PositionalCount()
                     << " file argument(s), got " << parsed.Positional().size() << Qt::endl;
            PrintCommandHelp(*command, io, true);
            return CliUsage;
        }
        return command->Run(parsed, io);
    }
    io.Err() << "qxpan-cli: unknown command \"" << name << "\"" << Qt::endl;
    PrintOverview(io, true);
    return CliUsage;
}

bool CliRunner::DrawsText(const QStringList& arguments) const
{
    for (const auto& command : m_commands) {
        if (command->Name() == arguments.value(1))
            return command->DrawsText();
    }
    return false;
}

void CliRunner::PrintOverview(CliIo& io, bool toError) const
{
    QTextStream& s = toError ? io.Err() : io.Out();
    s << "usage: qxpan-cli COMMAND [ARGS] (qxpan-cli COMMAND --help for details)\n\ncommands:\n";
    for (const auto& command : m_commands)
        s << "  " << command->Synopsis() << "\n      " << command->Summary() << "\n";
    s.flush();
}

void CliRunner::PrintCommandHelp(const CliCommand& command, CliIo& io, bool toError)
{
    QTextStream& s = toError ? io.Err() : io.Out();
    s << "usage: qxpan-cli " << command.Synopsis() << "\n";
    if (!toError)
        s << "\n" << command.Summary() << "\n\n" << command.Details() << "\n";
    s.flush();
}
