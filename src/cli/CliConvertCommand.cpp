#include "cli/CliConvertCommand.h"

#include "branch/BranchConvert.h"
#include "branch/BranchEnvironment.h"
#include "cli/CliArgs.h"
#include "cli/CliBranch.h"
#include "cli/CliIo.h"
#include "formats/BitmapTableFile.h"

#include <QFileInfo>

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
        "the branch is reported on standard error and skipped, as the editor's \"Yes\" to its\n"
        "question does; --answer no stops reading the design there, as its \"No\" does.\n"
        "The store is --config FILE, else $QXPAN_CONFIG, else the user's qxctrl.ini (created\n"
        "with the demo branch when missing, as the editor does). The files written are listed on\n"
        "standard output.\n"
        "A FILE795P.TXT that cannot be read is not replaced (exit status 1) unless --force is\n"
        "given; it is then kept as FILE795P.TXT.bak first.\n"
        "Exit status: 0 done, 1 the store, the design or a register file is missing or broken or\n"
        "cannot be written, 2 wrong arguments.");
}

int CliConvertCommand::Run(const CliArgs& args, CliIo& io)
{
    int failed = CliOk;
    std::unique_ptr<CliOpenedDesign> opened =
        OpenCliDesign(QStringLiteral("convert"), args, io, failed);
    if (!opened)
        return failed;
    const QString& panelPath = args.Positional()[0];
    const BranchFolders& folders = opened->folders;
    const int type = opened->nType;
    CQXPanDocument& design = opened->design;
    QList<CQXPanKeyObj>& table = opened->table;
    const ConvertResult converted =
        ConvertDesign(design, type, folders.program, table, args.Has(QStringLiteral("force")));
    if (!converted.screen)
        io.Note(converted.screen.Text());
    if (!converted.screenPath.isEmpty())
        io.Out() << converted.screenPath << Qt::endl;
    if (!converted.keptCopy.isEmpty())
        io.Note(BitmapTableFile::KeptCopyText(converted.keptCopy));
    switch (converted.stage) {
    case ConvertResult::Stage::Done:
        break;
    case ConvertResult::Stage::TableRefused:
        return io.Fail(converted.failure.path,
                       QStringLiteral("could not be read, nothing was written; --force replaces it "
                                      "and keeps it as %1.bak")
                           .arg(QFileInfo(converted.failure.path).fileName()));
    case ConvertResult::Stage::RenderFailed:
        return io.Fail(panelPath, QStringLiteral("Convert err"));
    case ConvertResult::Stage::Locked:
    case ConvertResult::Stage::KeepFailed:
    case ConvertResult::Stage::TableFailed:
        return io.Fail(converted.failure.path, converted.failure.reason);
    }
    if (!converted.tablePath.isEmpty())
        io.Out() << converted.tablePath << Qt::endl;
    return converted.screen ? CliOk : CliBadInput;
}
