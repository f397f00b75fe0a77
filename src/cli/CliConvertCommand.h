#pragma once

#include "cli/CliCommand.h"

/// convert DESIGN.pan --type N [--config FILE] [--force]: what the editor's Convert writes.
class CliConvertCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("convert"); }
    QString Synopsis() const override
    {
        return QStringLiteral(
            "convert DESIGN.pan --type N [--config FILE] [--answer yes|no] [--force]");
    }
    QString Summary() const override;
    QString Details() const override;
    QStringList ValueOptions() const override
    {
        return {QStringLiteral("type"), QStringLiteral("config"), QStringLiteral("answer")};
    }
    QStringList Flags() const override { return {QStringLiteral("force")}; }
    int PositionalCount() const override { return 1; }
    int Run(const CliArgs& args, CliIo& io) override;
};
