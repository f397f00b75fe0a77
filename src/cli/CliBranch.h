#pragma once

#include "branch/BranchEnvironment.h"
#include "cli/CliPanelHost.h"
#include "document/CQXPanDocument.h"
#include "refdata/CQXPanRefLists.h"

#include <memory>
#include <optional>

class CliArgs;
class CliIo;

/// The configuration store's current branch as the editor loads it at start: the store from
/// --config, $QXPAN_CONFIG or the user's own (made with the demo branch when missing), its
/// current branch and folders, and what a killed writer left there removed. Nothing when that
/// fails; the reason is on standard error and exitCode says which exit status to give.
std::optional<BranchFolders> LoadCliBranch(const CliArgs& args, CliIo& io, int& exitCode);

/// A panel file opened on the current branch as the editor's Open does: the image type's slice
/// of the bitmap table first, then the file, the missing-bitmap question answered by --answer.
struct CliOpenedDesign
{
    int nType = 0;
    BranchFolders folders;
    std::unique_ptr<CQXPanRefLists> lists;
    QList<CQXPanKeyObj> table; ///< the branch's bitmap table as read (free records when unread)
    CQXPanDocument design;
    std::unique_ptr<CliPanelHost> host;
};

/// Opens the panel file of the first argument for --type N (796..799); nothing when the
/// arguments, the store, the branch or the file are wrong, which is said on standard error
/// with exitCode set. command names the command in the usage lines.
std::unique_ptr<CliOpenedDesign> OpenCliDesign(const QString& command, const CliArgs& args,
                                               CliIo& io, int& exitCode);
