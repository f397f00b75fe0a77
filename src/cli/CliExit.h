#pragma once

/// Exit statuses of qxpan-cli; scripts rely on them, so they must not be renumbered.
enum CliExit : int
{
    CliOk = 0,       ///< the command did what was asked
    CliBadInput = 1, ///< an input file is missing, broken or cannot be written
    CliUsage = 2,    ///< wrong arguments
};
