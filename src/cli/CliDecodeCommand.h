#pragma once

#include "cli/CliCommand.h"

/// decode SCREENFILE OUT: a register screen file to a PNG or BMP picture.
class CliDecodeCommand : public CliCommand
{
public:
    QString Name() const override { return QStringLiteral("decode"); }
    QString Synopsis() const override { return QStringLiteral("decode SCREENFILE OUT"); }
    QString Summary() const override;
    QString Details() const override;
    int PositionalCount() const override { return 2; }
    int Run(const CliArgs& args, CliIo& io) override;
};
