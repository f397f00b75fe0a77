#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"

#include "document/CQXPanDocumentCommand.h"

#include <QList>

#include <algorithm>
#include <optional>

/// A change of one object of the design: added (no record before), removed (no record after)
/// or replaced, at one index of the key or placed-bitmap array. Redo puts the record after the
/// change at the index, undo the one before, each with its modified mark.
class CQXPanObjectCommand : public CQXPanDocumentCommand
{
public:
    /// Which array the index refers to; the design area's hit-test kinds.
    enum Kind : int
    {
        KindBitmap = 1,
        KindKey = 2
    };

    /// A change of the key at index from before to after (either may be absent, not both).
    CQXPanObjectCommand(CQXPanDocument& doc, const QString& text, int index,
                        std::optional<CQXPanKeyObj> before, std::optional<CQXPanKeyObj> after,
                        bool bModifiedBefore, bool bModifiedAfter);
    /// The same for the placed bitmap at index.
    CQXPanObjectCommand(CQXPanDocument& doc, const QString& text, int index,
                        std::optional<CQXPanBmpObj> before, std::optional<CQXPanBmpObj> after,
                        bool bModifiedBefore, bool bModifiedAfter);

    void undo() override;
    void redo() override;

    int Kind() const { return m_nKind; }
    int Index() const { return m_nIndex; }
    /// True when the recorded states differ (an unchanged object is not worth a step).
    bool Changes() const override;

    /// True when two records are equal byte for byte: register record, cell and scale.
    static bool Same(const CQXPanKeyObj& a, const CQXPanKeyObj& b);
    /// True when two placed bitmaps are equal in every field (the same image pointer).
    static bool Same(const CQXPanBmpObj& a, const CQXPanBmpObj& b);
    /// True when two object lists are equal object by object, as Same compares them.
    template <class T> static bool SameList(const QList<T>& a, const QList<T>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const T& x, const T& y) { return Same(x, y); });
    }

protected:
    /// Takes over the later state of a following command of the same object (merging).
    void TakeAfterFrom(const CQXPanObjectCommand& later);
    /// False once the command has been undone: the history has moved past it.
    bool IsFresh() const { return m_bFresh; }

private:
    void Apply(bool bForward);

    int m_nKind;
    int m_nIndex;
    std::optional<CQXPanKeyObj> m_keyBefore;
    std::optional<CQXPanKeyObj> m_keyAfter;
    std::optional<CQXPanBmpObj> m_bmpBefore;
    std::optional<CQXPanBmpObj> m_bmpAfter;
    bool m_bModifiedBefore;
    bool m_bModifiedAfter;
    bool m_bFresh = true;
};
