#pragma once

#include <QUndoCommand>

class CQXPanDocument;

/// One step of the design's history. redo() makes the change on the document, undo() takes it
/// back; both tell the views through the document's events.
class CQXPanDocumentCommand : public QUndoCommand
{
public:
    CQXPanDocumentCommand(CQXPanDocument& doc, const QString& text) : QUndoCommand(text), m_doc(doc)
    {}

    /// True when the step changes anything undo would put back; others are not recorded.
    virtual bool Changes() const = 0;

protected:
    /// False for the redo that first makes the change, true for every undo and redo after it.
    bool HistoryStep()
    {
        const bool step = m_bMade;
        m_bMade = true;
        return step;
    }

    CQXPanDocument& m_doc;

private:
    bool m_bMade = false;
};
