#include "cli/CliBranch.h"

#include "branch/StoreConfigLibrary.h"
#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "reglib/QxCtrlStore.h"

std::optional<BranchFolders> LoadCliBranch(const CliArgs& args, CliIo& io, int& exitCode)
{
    const QxCtrlStore store(QxCtrlStore::ResolvePath(args.Value(QStringLiteral("config"))));
    if (const FileResult ready = store.EnsureExists(); !ready) {
        exitCode = io.Fail(store.path(), ready.reason);
        return std::nullopt;
    }
    StoreConfigLibrary library(store);
    QString branch, ecr;
    BranchFolders folders;
    FileResult loaded = ReadCurrentBranch(library, branch, ecr);
    if (loaded)
        loaded = ReadBranchFolders(library, folders);
    if (!loaded) {
        exitCode = io.Fail(loaded.path, loaded.reason);
        return std::nullopt;
    }
    RemoveBranchLeftovers(folders);
    return folders;
}
