#pragma once

#include "cli/CliCommand.h"

/// table FILE795P.TXT [--json]: the key and table records in use.
class CliTableCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("table"); }
    QString Synopsis() const override { return QStringLiteral("table FILE795P.TXT [--json]"); }
    QString Summary() const override;
    QString Details() const override;
    QStringList Flags() const override { return {QStringLiteral("json")}; }
    int PositionalCount() const override { return 1; }
    int Run(const CliArgs& args, CliIo& io) override;
};
