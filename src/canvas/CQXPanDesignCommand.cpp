#include "canvas/CQXPanDesignCommand.h"

#include "canvas/CQXPanDesignDlg.h"
#include "canvas/CQXPanObjectCommand.h"
#include "image/CDibImage.h"

namespace {

template <class T> bool SameList(const QList<T>& a, const QList<T>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!CQXPanObjectCommand::Same(a[i], b[i]))
            return false;
    }
    return true;
}

bool SamePicture(const CDibImage* a, const CDibImage* b)
{
    if (!a || !b)
        return a == b;
    // QImage compares format, size, colour table and pixels.
    return a->Image() == b->Image();
}

} // namespace

CQXPanDesignCommand::CQXPanDesignCommand(CQXPanDesignDlg& design, const QString& text,
                                         CQXPanDesignState before, CQXPanDesignState after)
    : QUndoCommand(text), m_design(design), m_before(std::move(before)), m_after(std::move(after))
{}

void CQXPanDesignCommand::undo()
{
    m_design.RestoreState(m_before);
}

void CQXPanDesignCommand::redo()
{
    // The change was made before it was recorded.
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    m_design.RestoreState(m_after);
}

bool CQXPanDesignCommand::Changes() const
{
    // The modified mark alone is no step: reselecting the shown background sets it.
    return m_before.nListSel != m_after.nListSel || !SameList(m_before.keys, m_after.keys) ||
           !SameList(m_before.bitmaps, m_after.bitmaps) ||
           !SamePicture(m_before.background.get(), m_after.background.get());
}
