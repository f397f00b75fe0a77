#include "document/CQXPanGroupCommand.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanObjectCommand.h"

CQXPanGroupCommand::CQXPanGroupCommand(CQXPanDocument& doc, const QString& text, Side before,
                                       Side after)
    : CQXPanDocumentCommand(doc, text), m_before(std::move(before)), m_after(std::move(after))
{}

CQXPanGroupCommand::Side CQXPanGroupCommand::Capture(const CQXPanDocument& doc, int nKind,
                                                     QList<int> selection)
{
    return {doc.m_KeyObjs, doc.m_BmpObjs, doc.m_bModified, nKind, std::move(selection)};
}

void CQXPanGroupCommand::undo()
{
    Put(m_before);
}

void CQXPanGroupCommand::redo()
{
    Put(m_after);
}

void CQXPanGroupCommand::Put(const Side& side)
{
    m_doc.m_KeyObjs = side.keys;
    m_doc.m_BmpObjs = side.bitmaps;
    m_doc.m_bModified = side.bModified;
    emit m_doc.Events().GroupChanged(side.nKind, side.selection, HistoryStep());
}

bool CQXPanGroupCommand::Changes() const
{
    return !CQXPanObjectCommand::SameList(m_before.keys, m_after.keys) ||
           !CQXPanObjectCommand::SameList(m_before.bitmaps, m_after.bitmaps);
}
