#include "document/CQXPanDocument.h"

#include <array>

void CQXPanDocument::ClearObjects(bool bBitmapsOnly)
{
    m_BmpObjs.clear();
    if (!bBitmapsOnly) {
        m_KeyObjs.clear();
        m_bModified = false;
    }
}

int CQXPanDocument::AddBmpObj(const CQXPanBmpObj& obj)
{
    m_BmpObjs.append(obj);
    return int(m_BmpObjs.size()) - 1;
}

int CQXPanDocument::AddKeyObj(const CQXPanKeyObj* pObj)
{
    if (m_KeyObjs.size() >= m_nKeyCapacity)
        return -1;
    m_KeyObjs.append(pObj ? *pObj : CQXPanKeyObj());
    return int(m_KeyObjs.size()) - 1;
}

int CQXPanDocument::SliceStart(int tableSize, int fileNumber)
{
    const int sliceSize = tableSize / 3;
    switch (fileNumber) {
    case 798:
        return 0;
    case 797:
        return sliceSize;
    case 799:
        return 2 * sliceSize;
    default:
        return -1;
    }
}

void CQXPanDocument::LoadTableSlice(const QList<CQXPanKeyObj>& table, int fileNumber)
{
    const int sliceSize = int(table.size()) / 3;
    m_KeyObjs.clear();
    const int start = SliceStart(int(table.size()), fileNumber);
    // A screen without a slice (the logo) holds no keys: nothing may be pasted onto it either.
    m_nKeyCapacity = start < 0 ? 0 : sliceSize;
    if (start < 0)
        return;
    // The window's records end at the first free slot.
    for (int i = start; i < start + sliceSize && !table[i].IsFree(); ++i)
        m_KeyObjs.append(table[i]);
}

int CQXPanDocument::StoreTableSlice(QList<CQXPanKeyObj>& table, int fileNumber) const
{
    const int sliceSize = int(table.size()) / 3;
    const int start = SliceStart(int(table.size()), fileNumber);
    if (start < 0)
        return 0;
    const int n = int(
        std::min<qsizetype>({m_KeyObjs.size(), qsizetype(m_nKeyCapacity), qsizetype(sliceSize)}));
    for (int i = 0; i < n; ++i)
        table[start + i] = m_KeyObjs[i];
    static const std::array<quint8, kQXPanRecordSize> zeros{};
    for (int i = start + n; i < start + sliceSize; ++i)
        table[i].SetFromRecord(zeros.data());
    return n;
}

bool CQXPanDocument::RenderScreenImage(CDibImage& target) const
{
    const int width = kQXPanScreenRect.Width();
    const int height = kQXPanScreenRect.Height();
    if (!target.Create(width, height, 24))
        return false;
    // Without a background the picture stays black (the created image).
    if (!m_Background.IsEmpty()) {
        bool ok = false;
        if (m_Background.Width() == width && m_Background.Height() == height)
            ok = m_Background.BitBlt(target, 0, 0, width, height, 0, 0);
        else
            ok = m_Background.StretchBlt(target, 0, 0, width, height, 0, 0, m_Background.Width(),
                                         m_Background.Height());
        if (!ok)
            return false;
    }
    // Last to first, so the first placed bitmap ends up on top.
    for (qsizetype i = m_BmpObjs.size() - 1; i >= 0; --i) {
        const CQXPanBmpObj& obj = m_BmpObjs[i];
        if (!obj.m_pImage || obj.m_pImage->IsEmpty())
            continue;
        const QXPanRect& r = obj.m_rcRegister;
        // A failed stretch of one bitmap is ignored.
        obj.m_pImage->StretchBlt(target, r.left, r.top, r.Width(), r.Height(), 0, 0,
                                 obj.m_pImage->Width(), obj.m_pImage->Height());
    }
    return true;
}
