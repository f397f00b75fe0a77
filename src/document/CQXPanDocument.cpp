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
