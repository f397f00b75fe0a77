#include "branch/BranchConvert.h"

#include "document/CQXPanDocument.h"
#include "document/RegisterFiles.h"
#include "fileio/BranchLock.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenProgramFile.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"

#include <QDir>

namespace {

ConvertResult Stopped(ConvertResult::Stage stage, const FileResult& why)
{
    ConvertResult result;
    result.stage = stage;
    result.failure = why;
    return result;
}

} // namespace

ConvertResult ConvertDesign(const CQXPanDocument& design, int fileNumber,
                            const QString& programFolder, QList<CQXPanKeyObj>& table,
                            bool replaceRejected, const QDateTime& now)
{
    using Stage = ConvertResult::Stage;
    // One writer at a time in the branch, from reading the key table to writing it back.
    BranchLock lock(programFolder);
    if (const FileResult locked = lock.Acquire(); !locked)
        return Stopped(Stage::Locked, locked);

    const bool hasTable = fileNumber != ScreenProgram::FirstFileNumber;
    const QString tablePath = BitmapTableFile::PathInFolder(programFolder);
    bool rejected = false;
    if (hasTable) {
        QList<CQXPanKeyObj> current;
        const BitmapTableFile::ReadResult read = BitmapTableFile::Read(programFolder, current);
        rejected = read.eStatus == BitmapTableFile::ReadStatus::Wrong;
        if (read.eStatus == BitmapTableFile::ReadStatus::Read)
            table = current;
    }
    // Writing a rejected table back would put zeros over the other windows' keys.
    if (rejected && !replaceRejected)
        return Stopped(Stage::TableRefused,
                       FileResult::Failed(tablePath, BitmapTableFile::WrongFileText()));

    CDibImage screen;
    if (!RenderScreenImage(design, screen))
        return Stopped(Stage::RenderFailed, FileResult::Failed(programFolder, QString()));

    ConvertResult result;
    result.screen = WriteScreenProgramFile(screen, fileNumber, programFolder);
    if (result.screen)
        result.screenPath = RegisterFilePath(programFolder, fileNumber);
    if (!hasTable)
        return result;

    if (rejected) {
        if (const FileResult kept = BitmapTableFile::KeepRejected(programFolder, result.keptCopy);
            !kept) {
            result.stage = Stage::KeepFailed;
            result.failure = kept;
            return result;
        }
    }
    if (FileResult written = BitmapTableFile::Write(programFolder, table, fileNumber, design, now);
        !written) {
        result.stage = Stage::TableFailed;
        result.failure = written;
        return result;
    }
    result.tablePath = tablePath;
    return result;
}
