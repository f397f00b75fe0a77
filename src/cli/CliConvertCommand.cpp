#include "cli/CliConvertCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "cli/CliPanelHost.h"
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "fileio/AtomicFile.h"
#include "fileio/BranchLock.h"
#include "formats/BitmapTableFile.h"
#include "formats/FileMessage.h"
#include "formats/ScreenProgramFile.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanRefLists.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

struct BranchFolders
{
    QString branch;
    QString data, work, program, placed, background;
};

// The branch environment as the editor loads it at start-up, folders of kinds 12, 10, 8 and 7
// created (one level) when missing. Returns an empty string or what failed.
QString loadBranch(const QxCtrlStore& store, BranchFolders& folders)
{
    QString ecr;
    CDefScrInfo(store).GetCurrBrnAndECR(folders.branch, ecr);
    if (folders.branch.isEmpty()) {
        const FileResult problem = store.Problem();
        return problem ? QStringLiteral("no current branch") : problem.reason;
    }
    const struct
    {
        DEFBS_TYPE_ENVSTR kind;
        QString* path;
        bool create;
    } kinds[] = {{DEFBS_ENV_DATA, &folders.data, false},
                 {DEFBS_ENV_WORK, &folders.work, true},
                 {DEFBS_ENV_PROGRAM, &folders.program, true},
                 {DEFBS_ENV_PLACEDBMP, &folders.placed, true},
                 {DEFBS_ENV_BACKGROUND, &folders.background, true}};
    for (const auto& k : kinds) {
        if (!CQxCtrlApi(store).GetActFolPath(k.kind, *k.path))
            return QStringLiteral("no folder of kind %1 for branch %2")
                .arg(k.kind)
                .arg(folders.branch);
        if (k.create && !QFileInfo(*k.path).isDir() && !QDir().mkdir(*k.path))
            return QStringLiteral("cannot create the folder %1").arg(*k.path);
    }
    return {};
}

} // namespace

QString CliConvertCommand::Summary() const
{
    return QStringLiteral("Convert a panel file into the register files of image type N.");
}

QString CliConvertCommand::Details() const
{
    return QStringLiteral(
        "Does what the editor's Convert does for image type N (796 screen logo, 797..799 check\n"
        "windows) on the configuration store's current branch: reads the branch's bitmap table\n"
        "FILE795P.TXT, opens DESIGN.pan into image type N (backgrounds and placed bitmaps are\n"
        "looked up in the branch's folders), renders it and writes FILE<N>P.TXT and, for\n"
        "797..799, FILE795P.TXT into the branch's program folder. A placed bitmap missing from\n"
        "the branch is reported on standard error and skipped. The store is --config FILE, else\n"
        "$QXPAN_CONFIG, else the user's qxctrl.ini (created with the demo branch when missing,\n"
        "as the editor does). The files written are listed on standard output.\n"
        "A FILE795P.TXT that cannot be read is not replaced (exit status 1) unless --force is\n"
        "given; it is then kept as FILE795P.TXT.bak first.\n"
        "Exit status: 0 done, 1 the store, the design or a register file is missing or broken or\n"
        "cannot be written, 2 wrong arguments.");
}

int CliConvertCommand::Run(const CliArgs& args, CliIo& io)
{
    bool ok = false;
    const int type = args.Value(QStringLiteral("type")).toInt(&ok);
    if (!args.Has(QStringLiteral("type")) || !ok || type < 796 || type > 799) {
        io.Err() << "qxpan-cli convert: --type must be 796, 797, 798 or 799" << Qt::endl;
        return CliUsage;
    }
    const QString& panelPath = args.Positional()[0];

    const QxCtrlStore store(QxCtrlStore::ResolvePath(args.Value(QStringLiteral("config"))));
    QString error;
    if (!store.EnsureExists(&error))
        return io.Fail(store.path(), error);
    BranchFolders folders;
    error = loadBranch(store, folders);
    if (!error.isEmpty())
        return io.Fail(store.path(), error);

    // One writer at a time in the branch, from reading the key table to writing it back.
    BranchLock lock(folders.program);
    if (const FileResult locked = lock.Acquire(); !locked)
        return io.Fail(locked.path, locked.reason);
    for (const QString* folder : {&folders.program, &folders.background, &folders.placed})
        AtomicFile::RemoveLeftovers(*folder);

    CQXPanRefLists lists(
        CQXPanRefFolders{folders.data, folders.program, folders.placed, folders.background});
    lists.LoadReferenceData();

    QList<CQXPanKeyObj> table;
    const QString tablePath = BitmapTableFile::PathInFolder(folders.program);
    const BitmapTableFile::ReadResult tableRead = BitmapTableFile::Read(
        folders.program, table, [&io, &tablePath](const FileMessage& message) {
            io.Note(tablePath + QStringLiteral(": ") + message.text);
        });
    // Writing a rejected table back would put zeros over the other windows' keys.
    const bool rejected = tableRead.eStatus == BitmapTableFile::ReadStatus::Wrong && type != 796;
    if (rejected && !args.Has(QStringLiteral("force")))
        return io.Fail(tablePath, QStringLiteral("could not be read, nothing was written; --force "
                                                 "replaces it and keeps it as %1.bak")
                                      .arg(QFileInfo(tablePath).fileName()));

    // Choosing the image type gives the design its slice of the table; Open then replaces it.
    CQXPanDocument design;
    design.LoadTableSlice(table, type);
    CliPanelHost host(lists, design, panelPath, io);
    const PanelFile::ReadResult read = PanelFile::Read(panelPath, type, design, host);
    QStringList messages = host.Messages();
    if (read.nResult != 0) {
        const QString reason =
            messages.isEmpty() ? QStringLiteral("cannot read") : messages.takeLast();
        for (const QString& message : messages)
            io.Note(panelPath + QStringLiteral(": ") + message);
        return io.Fail(panelPath, reason);
    }
    for (const QString& message : messages)
        io.Note(panelPath + QStringLiteral(": ") + message);

    CDibImage screen;
    if (!RenderScreenImage(design, screen))
        return io.Fail(panelPath, QStringLiteral("Convert err"));

    bool failed = false;
    const int written = WriteScreenProgramFile(screen, type, folders.program,
                                               [&io, &failed](const FileMessage& message) {
                                                   io.Note(message.text);
                                                   failed = true;
                                               });
    if (written == 0 && !failed)
        io.Out() << QDir(folders.program).filePath(QStringLiteral("FILE%1P.TXT").arg(type))
                 << Qt::endl;
    if (type != 796) {
        if (rejected) {
            const BitmapTableFile::KeptCopy kept = BitmapTableFile::KeepRejected(folders.program);
            if (!kept.bOk)
                return io.Fail(tablePath, kept.strError);
            if (!kept.strPath.isEmpty())
                io.Note(BitmapTableFile::KeptCopyText(kept.strPath));
        }
        FileResult result;
        if (BitmapTableFile::Write(folders.program, table, type, design,
                                   QDateTime::currentDateTime(), &result) != 0)
            return io.Fail(result.path, result.reason);
        io.Out() << tablePath << Qt::endl;
    }
    return failed || written != 0 ? CliBadInput : CliOk;
}
