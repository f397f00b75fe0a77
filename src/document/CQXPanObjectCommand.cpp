#include "document/CQXPanObjectCommand.h"

#include "document/CQXPanDocument.h"

namespace {

bool SameCell(const CQXPanCell& a, const CQXPanCell& b)
{
    return a.m_nReserved1 == b.m_nReserved1 && a.m_rect == b.m_rect &&
           a.m_nReserved2 == b.m_nReserved2 && a.m_clrOutline == b.m_clrOutline &&
           a.m_clrFill == b.m_clrFill && a.m_strLabel.isNull() == b.m_strLabel.isNull() &&
           a.m_strLabel == b.m_strLabel && a.m_clrLabel == b.m_clrLabel &&
           a.m_clrLabelBk == b.m_clrLabelBk;
}

// Puts the record of one state at index: replaced, inserted or removed. False (and nothing
// changed) when the index does not fit the array, which only a history out of step with the
// design could cause.
template <class T>
bool PutState(QList<T>& list, int index, const std::optional<T>& from, const std::optional<T>& to)
{
    if (to && from) {
        if (index < 0 || index >= list.size())
            return false;
        list[index] = *to;
    } else if (to) {
        if (index < 0 || index > list.size())
            return false;
        list.insert(index, *to);
    } else if (from) {
        if (index < 0 || index >= list.size())
            return false;
        list.removeAt(index);
    }
    return true;
}

} // namespace

CQXPanObjectCommand::CQXPanObjectCommand(CQXPanDocument& doc, const QString& text, int index,
                                         std::optional<CQXPanKeyObj> before,
                                         std::optional<CQXPanKeyObj> after, bool bModifiedBefore,
                                         bool bModifiedAfter)
    : CQXPanDocumentCommand(doc, text), m_nKind(KindKey), m_nIndex(index),
      m_keyBefore(std::move(before)), m_keyAfter(std::move(after)),
      m_bModifiedBefore(bModifiedBefore), m_bModifiedAfter(bModifiedAfter)
{}

CQXPanObjectCommand::CQXPanObjectCommand(CQXPanDocument& doc, const QString& text, int index,
                                         std::optional<CQXPanBmpObj> before,
                                         std::optional<CQXPanBmpObj> after, bool bModifiedBefore,
                                         bool bModifiedAfter)
    : CQXPanDocumentCommand(doc, text), m_nKind(KindBitmap), m_nIndex(index),
      m_bmpBefore(std::move(before)), m_bmpAfter(std::move(after)),
      m_bModifiedBefore(bModifiedBefore), m_bModifiedAfter(bModifiedAfter)
{}

void CQXPanObjectCommand::undo()
{
    m_bFresh = false;
    Apply(false);
}

void CQXPanObjectCommand::redo()
{
    Apply(true);
}

void CQXPanObjectCommand::Apply(bool bForward)
{
    bool ok = false;
    bool present = false;
    if (m_nKind == KindKey) {
        const auto& from = bForward ? m_keyBefore : m_keyAfter;
        const auto& to = bForward ? m_keyAfter : m_keyBefore;
        ok = PutState(m_doc.m_KeyObjs, m_nIndex, from, to);
        present = to.has_value();
    } else {
        const auto& from = bForward ? m_bmpBefore : m_bmpAfter;
        const auto& to = bForward ? m_bmpAfter : m_bmpBefore;
        ok = PutState(m_doc.m_BmpObjs, m_nIndex, from, to);
        present = to.has_value();
    }
    if (ok)
        m_doc.m_bModified = bForward ? m_bModifiedAfter : m_bModifiedBefore;
    emit m_doc.Events().ObjectChanged(m_nKind, ok && present ? m_nIndex : -1, HistoryStep());
}

void CQXPanObjectCommand::TakeAfterFrom(const CQXPanObjectCommand& later)
{
    m_keyAfter = later.m_keyAfter;
    m_bmpAfter = later.m_bmpAfter;
    m_bModifiedAfter = later.m_bModifiedAfter;
}

bool CQXPanObjectCommand::Changes() const
{
    if (m_nKind == KindKey) {
        if (m_keyBefore.has_value() != m_keyAfter.has_value())
            return true;
        return m_keyBefore && !Same(*m_keyBefore, *m_keyAfter);
    }
    if (m_bmpBefore.has_value() != m_bmpAfter.has_value())
        return true;
    return m_bmpBefore && !Same(*m_bmpBefore, *m_bmpAfter);
}

bool CQXPanObjectCommand::Same(const CQXPanKeyObj& a, const CQXPanKeyObj& b)
{
    return a.m_Record == b.m_Record && SameCell(a.m_Cell, b.m_Cell) && a.m_Scale == b.m_Scale;
}

bool CQXPanObjectCommand::Same(const CQXPanBmpObj& a, const CQXPanBmpObj& b)
{
    return a.m_Scale == b.m_Scale && a.m_pImage == b.m_pImage && a.m_rcRegister == b.m_rcRegister &&
           SameCell(a.m_Cell, b.m_Cell) && a.m_strFileName == b.m_strFileName;
}
