#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QList>

/// The design of one register screen: background, placed bitmaps and key or table objects.
/// The design area derives from it, so these members keep their established names.
class CQXPanDocument
{
public:
    CQXPanDocument() = default;
    CQXPanDocument(const CQXPanDocument&) = delete;
    CQXPanDocument& operator=(const CQXPanDocument&) = delete;
    virtual ~CQXPanDocument() = default;

    /// Removes the placed bitmaps and, unless bBitmapsOnly, the key objects and the modified mark.
    void ClearObjects(bool bBitmapsOnly);
    /// Appends a copy of the placed bitmap and returns its index.
    int AddBmpObj(const CQXPanBmpObj& obj);
    /// Appends a copy of the key object (a new one when pObj is null); -1 when the screen is full.
    int AddKeyObj(const CQXPanKeyObj* pObj = nullptr);
    /// Copies the slice of the bitmap table for the given screen file into m_KeyObjs.
    void LoadTableSlice(const QList<CQXPanKeyObj>& table, int fileNumber);
    /// Copies m_KeyObjs back into the slice of the given screen file; returns the records stored.
    int StoreTableSlice(QList<CQXPanKeyObj>& table, int fileNumber) const;

    /// First table record of the slice of a screen file, or -1 for a file without slice.
    static int SliceStart(int tableSize, int fileNumber);

    QList<CQXPanBmpObj> m_BmpObjs;
    QList<CQXPanKeyObj> m_KeyObjs;
    int m_nKeyCapacity = 0;
    bool m_bModified = false;
    CDibImage m_Background;
};
