#pragma once

#include "refdata/CQXPanRefFolders.h"
#include "refdata/CQXPanRefRow.h"

#include <QList>

/// The five reference lists of a branch as plain rows (header rows only until loaded). Row 0 of
/// every list is its header row, whose texts are the item list's column captions; data rows start
/// at 1.
class CQXPanRefLists
{
public:
    explicit CQXPanRefLists(const CQXPanRefFolders& folders);

    /// Builds the header rows and the table row, reads "funckey.txt" and "FILE002P.TXT" and
    /// lists both bitmap folders. Missing files leave their list with its header only.
    void LoadReferenceData();
    /// Rebuilds the background list when which < 1, the placed-bitmap list when which is -1 or 1.
    void ListBitmaps(int which);
    /// Cuts the chosen lists back to their header rows, then ListBitmaps(which).
    void RefreshBitmapLists(int which);

    const CQXPanRefFolders& folders() const { return m_folders; }

    QList<CQXPanRefRow> m_BgList;       ///< backgrounds: screen files, "Aempty.bmp", bitmaps
    QList<CQXPanRefRow> m_BmpList;      ///< placed bitmaps
    QList<CQXPanRefRow> m_TableList;    ///< the single table item, function code 093
    QList<CQXPanRefRow> m_SysKeyList;   ///< system keys from "funckey.txt"
    QList<CQXPanRefRow> m_FreeFuncList; ///< free functions from "FILE002P.TXT"

    /// A header row with the given column captions.
    static CQXPanRefRow HeaderRow(const QString& col1, const QString& col2, const QString& col3);

private:
    void ResetLists();

    CQXPanRefFolders m_folders;
};
