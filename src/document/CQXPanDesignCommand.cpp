#include "document/CQXPanDesignCommand.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanObjectCommand.h"
#include "image/CDibImage.h"

namespace {

bool SamePicture(const CDibImage* a, const CDibImage* b)
{
    if (!a || !b)
        return a == b;
    // QImage compares format, size, colour table and pixels.
    return a->Image() == b->Image();
}

} // namespace

CQXPanDesignCommand::CQXPanDesignCommand(CQXPanDocument& doc, const QString& text,
                                         CQXPanDesignState before, CQXPanDesignState after)
    : CQXPanDocumentCommand(doc, text), m_before(std::move(before)), m_after(std::move(after))
{}

void CQXPanDesignCommand::undo()
{
    m_doc.RestoreState(m_before, HistoryStep());
}

void CQXPanDesignCommand::redo()
{
    m_doc.RestoreState(m_after, HistoryStep());
}

bool CQXPanDesignCommand::Changes() const
{
    // The modified mark alone is no step: reselecting the shown background sets it.
    return m_before.nListSel != m_after.nListSel ||
           !CQXPanObjectCommand::SameList(m_before.keys, m_after.keys) ||
           !CQXPanObjectCommand::SameList(m_before.bitmaps, m_after.bitmaps) ||
           !SamePicture(m_before.background.get(), m_after.background.get());
}
