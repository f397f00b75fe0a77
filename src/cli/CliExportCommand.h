#pragma once

#include "cli/CliCommand.h"

/// export DESIGN.pan --type N [--config FILE] [--answer yes|no] [-o FILE]: the design as JSON.
class CliExportCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("export"); }
    QString Synopsis() const override
    {
        return QStringLiteral(
            "export DESIGN.pan --type N [--config FILE] [--answer yes|no] [-o FILE]");
    }
    QString Summary() const override;
    QString Details() const override;
    QStringList ValueOptions() const override
    {
        return {QStringLiteral("type"), QStringLiteral("config"), QStringLiteral("answer"),
                QStringLiteral("output")};
    }
    int PositionalCount() const override { return 1; }
    int Run(const CliArgs& args, CliIo& io) override;
};

/// import DESIGN.json OUT.pan: the panel file the editor saves for the design.
class CliImportCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("import"); }
    QString Synopsis() const override { return QStringLiteral("import DESIGN.json OUT.pan"); }
    QString Summary() const override;
    QString Details() const override;
    int PositionalCount() const override { return 2; }
    int Run(const CliArgs& args, CliIo& io) override;
};
