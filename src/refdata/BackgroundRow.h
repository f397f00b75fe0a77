#pragma once

#include "fileio/FileResult.h"
#include "refdata/CQXPanRefFolders.h"

#include <QString>

class CDibImage;

/// What a row of the background list names.
enum class BackgroundRowKind
{
    Other,      ///< neither: nothing is loaded
    Bitmap,     ///< "<name>.bmp" in the background folder
    ScreenFile, ///< "FILE<nnn>P.TXT", a register screen file in the program folder
};

BackgroundRowKind BackgroundRowKindOf(const QString& name);

/// Loads a bitmap as the background (the old one is dropped first, so a failure leaves none).
/// Fails with the file and "open err".
FileResult LoadBackgroundBitmap(const QString& path, CDibImage& background);

/// Shows the background row named name, as choosing it in the item list does: a bitmap is loaded
/// from the background folder, a screen file imported from the program folder. A bitmap that
/// cannot be loaded fails with the file and "open err", a screen file with ImportScreenFile's
/// result.
FileResult LoadBackgroundRow(const QString& name, const CQXPanRefFolders& folders,
                             CDibImage& background);
