#pragma once

#include "branch/ConfigLibrary.h"
#include "fileio/FileResult.h"
#include "refdata/CQXPanRefFolders.h"

#include <QString>

/// The folders of the current branch that the editor and qxpan-cli work in.
struct BranchFolders
{
    QString data;       ///< kind 14: "funckey.txt"
    QString work;       ///< kind 12
    QString program;    ///< kind 10: the register files
    QString placed;     ///< kind 8: placed bitmaps
    QString background; ///< kind 7: backgrounds and "Aempty.bmp"

    CQXPanRefFolders RefFolders() const { return {data, program, placed, background}; }
};

/// The current branch and register. No branch fails with the store's own problem (which line,
/// what size, ...) or "no current branch"; the path is the store's.
FileResult ReadCurrentBranch(ConfigLibrary& library, QString& branch, QString& ecr);

/// The branch folders in the order the configuration software expects them to be asked for;
/// every one but the data folder is created (its last level only: the parents belong to the
/// configuration software) when it is missing. Stops at the first that is not set or cannot be
/// created.
FileResult ReadBranchFolders(ConfigLibrary& library, BranchFolders& folders);

/// Removes what writes killed half-way left in the folders the programs write to.
void RemoveBranchLeftovers(const BranchFolders& folders);
