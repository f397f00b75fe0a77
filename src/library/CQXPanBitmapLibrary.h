#pragma once

#include "refdata/CQXPanRefItem.h"

#include <QString>
#include <QStringList>

class CQXPanDocument;
class CQXPanItemState;
class QxCtrlStore;
class UserInteraction;

/// The branch's bitmap library: the backgrounds and placed bitmaps in their folders, filled by
/// Browse (copies from elsewhere) and changed by Edit (the branch's bitmap editor).
namespace CQXPanBitmapLibrary {

/// Browse: asks for bitmap files and copies them into folder under their own names (".bmp"
/// added), asking once before replacing files there; "Aempty.bmp" is never replaced. False when
/// nothing was chosen or the first file chosen is one of the folder itself.
bool CopyIntoFolder(UserInteraction& ui, const QString& folder);

/// Edit: opens path in the branch's bitmap editor (screen table 4, when set) or in the desktop's
/// program for it and waits; "shell exe err" and false when neither starts.
bool EditAndWait(UserInteraction& ui, const QxCtrlStore& store, const QString& path);

/// The row of a list whose file is name: the same spelling first, else the first that differs
/// only in case; -1 when none.
int RowOfFile(const CQXPanRefList& list, const QString& name);

/// After the placed-bitmap files changed: reads their list again and gives the design's placed
/// bitmaps and the clipboard's bitmap the fresh images, keeping their rectangles. Returns the
/// names of the design's bitmaps that were taken off because their files are gone or unreadable.
QStringList RebindPlacedBitmaps(CQXPanItemState& items, CQXPanDocument& design);

/// After the background files changed: reads their list again and loads the shown background
/// bitmap shownName of folder afresh (one that fails to load keeps the picture shown).
void ReloadBackground(CQXPanItemState& items, CQXPanDocument& design, const QString& shownName,
                      const QString& folder);

} // namespace CQXPanBitmapLibrary
