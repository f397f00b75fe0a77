#pragma once

#include <QStringList>

class CQXPanBmpObj;

/// What reading a panel file needs from its surroundings: the reference lists, and the effects
/// the editor shows (list selection, background loading, questions). The editor and the
/// command-line tool each implement it, so both read panel files with the same code; what a
/// failed read tells the user is in the reader's result.
class PanelReadHost
{
public:
    virtual ~PanelReadHost() = default;

    /// The file is open: remember the current object type and select "Background".
    virtual void BeginRead() {}
    /// Reading has ended normally (also when it stopped early): restore the object type.
    virtual void EndRead() {}
    /// File names of the background list; index 0 is its header row.
    virtual QStringList BackgroundNames() const = 0;
    /// File names of the placed-bitmap list; index 0 is its header row.
    virtual QStringList PlacedBitmapNames() const = 0;
    /// The background is a bitmap: set m_nListSel and select item list entry nItem (which may lie
    /// past the last entry when the list holds no bitmap).
    virtual void SelectBackgroundItem(int nListSel, int nItem) = 0;
    /// The background is the background folder's "Aempty.bmp".
    virtual void LoadEmptyBackground(int nListSel) = 0;
    /// The background is the register's own screen file of the given number.
    virtual void ImportScreenBackground(int nListSel, int fileNumber) = 0;
    /// Selects placed-bitmap row j and fills obj from it (image and file name); false when the
    /// row's image cannot be had, and the object is then left out.
    virtual bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) = 0;
    /// A placed bitmap is not in the branch: asks the question; true to go on reading.
    virtual bool AskContinue(const QString& fileName, const QString& question) = 0;
};
