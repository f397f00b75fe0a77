#include "document/CQXPanDocument.h"

#include "document/CQXPanDocumentCommand.h"

#include <array>
#include <memory>

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

void CQXPanDocument::Do(CQXPanDocumentCommand* pCommand)
{
    std::unique_ptr<CQXPanDocumentCommand> command(pCommand);
    // A step that changes nothing finds the design as it would leave it.
    if (!command->Changes())
        return;
    if (IsRecording()) {
        // The stack runs redo(), which makes the change.
        m_History.push(command.release());
        return;
    }
    command->redo();
}

void CQXPanDocument::ClearHistory()
{
    if (!m_History.isClean())
        m_bUnsavedHistory = true;
    m_History.clear();
}

void CQXPanDocument::MarkSaved()
{
    m_bUnsavedHistory = false;
    m_History.setClean();
}

bool CQXPanDocument::IsDesignModified() const
{
    return m_bModified || m_bUnsavedHistory || !m_History.isClean();
}

CQXPanDesignState CQXPanDocument::CaptureState(int nListSel) const
{
    CQXPanDesignState state;
    state.keys = m_KeyObjs;
    state.bitmaps = m_BmpObjs;
    auto background = std::make_shared<CDibImage>();
    background->CopyFrom(m_Background);
    state.background = std::move(background);
    state.nListSel = nListSel;
    state.bModified = m_bModified;
    return state;
}

void CQXPanDocument::RestoreState(const CQXPanDesignState& state, bool bHistoryStep)
{
    m_KeyObjs = state.keys;
    m_BmpObjs = state.bitmaps;
    if (state.background)
        m_Background.CopyFrom(*state.background);
    else
        m_Background.Destroy();
    m_bModified = state.bModified;
    emit m_Events.StateRestored(state.nListSel, bHistoryStep);
}

CQXPanDesignState CQXPanDocument::BeginDesignChange(int nListSel)
{
    CQXPanDesignState before = CaptureState(nListSel);
    SuspendRecording();
    return before;
}
