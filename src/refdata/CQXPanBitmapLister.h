#pragma once

#include "fileio/FileResult.h"
#include "refdata/CQXPanRefRow.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// Lists the branch's bitmap folders as background and placed-bitmap rows, and creates the
/// white placeholder background "Aempty.bmp".
class CQXPanBitmapLister
{
public:
    /// A bitmap list holds at most this many data rows.
    static constexpr int kMaxRows = 500;
    /// The placeholder background's file name.
    static const QString& EmptyBackgroundName();

    /// Rows of the background list: the register screen files 796..799 present in the program
    /// folder, then "Aempty.bmp" (created when missing), then the folder's other ".bmp" files.
    static QList<CQXPanRefRow> ListBackgrounds(const QString& programFolder,
                                               const QString& backgroundFolder);
    /// Rows of the placed-bitmap list: the ".bmp" files of folder.
    static QList<CQXPanRefRow> ListPlacedBitmaps(const QString& folder);

    /// The bytes of the placeholder: a 24-bit 1024 x 768 all-white bitmap file.
    static QByteArray EmptyBackgroundBytes();
    /// Writes the placeholder to path and makes it read-only; on failure, naming the file and
    /// the reason, no file is left behind.
    static FileResult CreateEmptyBackground(const QString& path);
};
