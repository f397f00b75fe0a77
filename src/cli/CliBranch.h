#pragma once

#include "branch/BranchEnvironment.h"

#include <optional>

class CliArgs;
class CliIo;

/// The configuration store's current branch as the editor loads it at start: the store from
/// --config, $QXPAN_CONFIG or the user's own (made with the demo branch when missing), its
/// current branch and folders, and what a killed writer left there removed. Nothing when that
/// fails; the reason is on standard error and exitCode says which exit status to give.
std::optional<BranchFolders> LoadCliBranch(const CliArgs& args, CliIo& io, int& exitCode);
