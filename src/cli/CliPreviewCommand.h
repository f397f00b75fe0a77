#pragma once

#include "cli/CliCommand.h"

/// preview SCREENFILE OUT.png [--table FILE795P.TXT]: what the register will show.
class CliPreviewCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("preview"); }
    QString Synopsis() const override
    {
        return QStringLiteral("preview SCREENFILE OUT.png [--table FILE795P.TXT]");
    }
    QString Summary() const override;
    QString Details() const override;
    QStringList ValueOptions() const override { return {QStringLiteral("table")}; }
    int PositionalCount() const override { return 2; }
    bool DrawsText() const override { return true; }
    int Run(const CliArgs& args, CliIo& io) override;
};
