#include "cli/CliBranch.h"

#include "branch/StoreConfigLibrary.h"
#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "document/PanelFile.h"
#include "formats/BitmapTableFile.h"
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

std::unique_ptr<CliOpenedDesign> OpenCliDesign(const QString& command, const CliArgs& args,
                                               CliIo& io, int& exitCode)
{
    auto opened = std::make_unique<CliOpenedDesign>();
    bool ok = false;
    opened->nType = args.Value(QStringLiteral("type")).toInt(&ok);
    const QString answer = args.Value(QStringLiteral("answer"));
    exitCode = CliUsage;
    if (!args.Has(QStringLiteral("type")) || !ok || opened->nType < 796 || opened->nType > 799) {
        io.Err() << "qxpan-cli " << command << ": --type must be 796, 797, 798 or 799" << Qt::endl;
        return nullptr;
    }
    if (args.Has(QStringLiteral("answer")) && answer != QLatin1String("yes") &&
        answer != QLatin1String("no")) {
        io.Err() << "qxpan-cli " << command << ": --answer must be yes or no" << Qt::endl;
        return nullptr;
    }
    std::optional<BranchFolders> branch = LoadCliBranch(args, io, exitCode);
    if (!branch)
        return nullptr;
    opened->folders = *branch;
    opened->lists = std::make_unique<CQXPanRefLists>(opened->folders.RefFolders());
    opened->lists->LoadReferenceData();
    // Choosing the image type gives the design its slice of the table; Open then replaces it.
    if (const BitmapTableFile::ReadResult read =
            BitmapTableFile::Read(opened->folders.program, opened->table);
        !read.result)
        io.Note(BitmapTableFile::PathInFolder(opened->folders.program) + QStringLiteral(": ") +
                read.result.text);
    opened->design.LoadTableSlice(opened->table, opened->nType);
    const QString& panelPath = args.Positional()[0];
    opened->host = std::make_unique<CliPanelHost>(*opened->lists, opened->design, panelPath, io);
    opened->host->SetAnswer(answer != QLatin1String("no"));
    if (const PanelFile::ReadResult read =
            PanelFile::Read(panelPath, opened->nType, opened->design, *opened->host);
        !read.result) {
        exitCode = io.Fail(panelPath, read.result.text.isEmpty() ? QStringLiteral("cannot read")
                                                                 : read.result.text);
        return nullptr;
    }
    exitCode = CliOk;
    return opened;
}
