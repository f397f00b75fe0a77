#pragma once

#include "fileio/FileResult.h"

#include <QDateTime>
#include <QList>
#include <QString>

class CQXPanDocument;
class CQXPanKeyObj;

/// What one Convert came to.
struct ConvertResult
{
    enum class Stage
    {
        Done,         ///< the screen file was tried (its failure is in screen), the table written
        Locked,       ///< another writer holds the branch: nothing was written
        TableRefused, ///< the key table could not be read and may not be replaced: nothing written
        RenderFailed, ///< the design could not be drawn: nothing written
        KeepFailed,   ///< the rejected key table could not be kept: the table was not written
        TableFailed,  ///< the key table could not be written (the old one stays whole)
    };
    Stage stage = Stage::Done;
    FileResult failure; ///< the file and the reason, when stage is not Done
    FileResult screen;  ///< the screen file writer's result, once ScreenTried()
    QString screenPath; ///< the screen file, when written
    QString tablePath;  ///< the key table, when written (never for the logo)
    QString keptCopy;   ///< where a rejected key table was kept before it was replaced

    /// The screen file writer ran: the branch's screen file list may have a new name.
    bool ScreenTried() const
    {
        return stage == Stage::Done || stage == Stage::KeepFailed || stage == Stage::TableFailed;
    }
};

/// Writes the register's files of the design as image type fileNumber (796 to 799) into the
/// program folder: the screen file FILE<n>P.TXT and, for the check windows, the key table
/// FILE795P.TXT. The whole run holds the branch lock. The table's other windows' records come from
/// the file as it is on disk now (another writer may have changed them since table was read; a
/// missing file keeps table as it is), this window's from the design; table holds the table written
/// afterwards. A table file that cannot be read is replaced only when replaceRejected is set, and
/// then kept as "<name>.bak" first. A screen file that cannot be written does not stop the run:
/// its failure is in the result's screen.
ConvertResult ConvertDesign(const CQXPanDocument& design, int fileNumber,
                            const QString& programFolder, QList<CQXPanKeyObj>& table,
                            bool replaceRejected,
                            const QDateTime& now = QDateTime::currentDateTime());
