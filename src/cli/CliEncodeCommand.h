#pragma once

#include "cli/CliCommand.h"

/// encode IMAGE OUT --number N: a picture to a register screen file.
class CliEncodeCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("encode"); }
    QString Synopsis() const override { return QStringLiteral("encode IMAGE OUT --number N"); }
    QString Summary() const override;
    QString Details() const override;
    QStringList ValueOptions() const override { return Options(); }
    /// The options of encode, also parsed by the front's own encode.
    static QStringList Options() { return {QStringLiteral("number")}; }
    int PositionalCount() const override { return 2; }
    int Run(const CliArgs& args, CliIo& io) override;
};
