#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "document/QXPanObjectTypes.h"
#include "refdata/CQXPanRefFolders.h"
#include "refdata/CQXPanRefItem.h"

#include <QList>
#include <QString>

/// The editor's shared item-selection state: the five reference lists, the current object type,
/// the selected row per type pair, the interaction mode, the two clipboard slots and the object
/// being edited, with the rules that map a list row onto a key or placed bitmap. The properties
/// dialog is this state with a form around it; the design area and the item list work on it.
class CQXPanItemState
{
public:
    using enum QXPanObj::Type;
    using enum QXPanObj::Mode;
    static constexpr int kTypeCount = QXPanObj::kTypeCount;

    /// Dialog results as DoModal returns them.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    CQXPanItemState();
    virtual ~CQXPanItemState();
    CQXPanItemState(const CQXPanItemState&) = delete;
    CQXPanItemState& operator=(const CQXPanItemState&) = delete;

    /// The branch folders the reference lists are read from; until they are set nothing loads.
    void SetFolders(const CQXPanRefFolders& folders);
    /// Builds the header rows and the table row, reads the system keys and free functions, lists
    /// both bitmap folders and empties the clipboard slots. 0 (and nothing loaded) when no
    /// folders have been set, else 1.
    int LoadReferenceData();
    /// Rebuilds the background list when which < 1, the placed-bitmap list when which is -1 or 1.
    void ListBitmaps(int which);
    /// Cuts the chosen bitmap lists back to their header rows (releasing their images), then
    /// ListBitmaps(which).
    void RefreshBitmapLists(int which);

    /// The reference list of an object type (0..7), or null for another value.
    CQXPanRefList* ListOfType(int type);
    /// The display name of an object type, empty for another value.
    QString TypeName(int type) const;
    static int ObjectTypeOf(const CQXPanKeyObj& key) { return QXPanObj::ObjectTypeOf(key); }
    static QXPanColor ContrastColour(QXPanColor colour) { return QXPanObj::ContrastColour(colour); }

    /// Takes over the key or table object to be edited (not owned) and selects its reference
    /// row: the current object type becomes its type. A key of the design's list is held by its
    /// index, so the list may grow or shrink while it is edited.
    void SetEditObject(CQXPanKeyObj* pKey);
    /// The design's key list (not owned), whose keys SetEditObject holds by index; null for none.
    void SetKeyObjects(QList<CQXPanKeyObj>* pKeyObjs);
    /// The design removed key index from its list: the edited key is dropped when it was that
    /// one and keeps its place in the list when an earlier one went.
    void KeyObjRemoved(qsizetype index);
    /// The key or table being edited, found anew in the design's list; null when none was set
    /// or it has been removed.
    CQXPanKeyObj* EditObject();
    /// Index of the edited key in the design's list, -1 when it is not one of them.
    qsizetype EditIndex() const;
    /// Remembers a data row of the current type's list.
    void SelectRow(int row);
    /// Takes over a placed bitmap selected on the design area: selects its row and makes
    /// "Place Bitmap" the current object type.
    void SelectBitmapObject(const CQXPanBmpObj& bitmap);
    /// Gives a key the function, texts and colours of the selected row of the current type.
    void ApplyItemToKey(CQXPanKeyObj& key);
    /// Gives a placed bitmap the image and file name of the selected placed-bitmap row, loading
    /// the image on first use; 1 on success, 0 without a valid row or loadable file.
    int ApplyItemToBitmap(CQXPanBmpObj& bitmap);

    /// Copies a key into the key slot.
    void CopyKeyToClipboard(const CQXPanKeyObj& key);
    /// Copies a placed bitmap into the bitmap slot and empties the key slot.
    void CopyBmpToClipboard(const CQXPanBmpObj& bitmap);
    /// Fills a placed bitmap from the bitmap slot.
    void PasteBmpFromClipboard(CQXPanBmpObj& bitmap) const;
    /// True while the key slot holds a key (its shape byte is not 0).
    bool HasKeyInClipboard() const;

    /// Edits the object of SetEditObject modally: kIdOk when it was changed. Without the
    /// properties dialog there is nothing to edit it in.
    virtual int DoModal() { return kIdCancel; }

    /// The number at the start of a text as the C runtime's atoi reads it: white space, an
    /// optional sign, digits; no digits give 0. Numbers beyond the int range saturate.
    static int LeadingInt(const QString& text);

    CQXPanRefList m_BgList;
    CQXPanRefList m_BmpList;
    CQXPanRefList m_TableList;
    CQXPanRefList m_SysKeyList;
    CQXPanRefList m_FreeFuncList;

    QString m_pszTypeName[kTypeCount];
    int m_nObjType = TypeBackground;
    CQXPanBmpObj m_BmpClip; ///< bitmap slot: holds a bitmap while m_pImage is set
    CQXPanKeyObj m_KeyClip; ///< key slot: holds a key while its shape byte is not 0
    /// The edited key when it is not in the design's list (not owned); read it through
    /// EditObject(), which also finds a key of the list.
    CQXPanKeyObj* m_pEditObj = nullptr;
    /// 0 released outside the design area, 1 item list refill, 2 image type switch, 3 row
    /// dragged, 4 idle, 5 button down on the design area.
    int m_nMode = 0;
    int m_nSel[4] = {-1, -1, -1, -1}; ///< selected row per type pair; 0 or less: none

protected:
    /// The main dialog is to show an object type in its "Object Type" box; refill is set when
    /// the item list must be refilled (the type pair changed).
    virtual void ShowObjectType(int type, bool refill);
    /// The main dialog is to select a position of its item list.
    virtual void ShowItemPosition(int position);
    /// True when there is a main dialog to show the object type and the item row in.
    virtual bool HasMainDialog() const { return false; }

    CQXPanRefFolders m_folders;
    bool m_bHasFolders = false;

private:
    void ResetHeaderRows();
    CQXPanRefList* ListOfPair(int pair);

    // A pointer into the list would dangle once an append moves its storage.
    QList<CQXPanKeyObj>* m_pKeyObjs = nullptr;
    qsizetype m_nEditIndex = -1;
};
