#pragma once

#include "cli/CliCommand.h"

/// lists [--config FILE] [--json]: the branch's reference lists as the editor shows them.
class CliListsCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("lists"); }
    QString Synopsis() const override { return QStringLiteral("lists [--config FILE] [--json]"); }
    QString Summary() const override;
    QString Details() const override;
    QStringList ValueOptions() const override { return {QStringLiteral("config")}; }
    QStringList Flags() const override { return {QStringLiteral("json")}; }
    int PositionalCount() const override { return 0; }
    int Run(const CliArgs& args, CliIo& io) override;
};
