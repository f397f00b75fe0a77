#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocumentCommand.h"
#include "document/CQXPanKeyObj.h"

#include <QList>

/// A change of several objects at once (a multi-selection moved, lined up, sized, deleted or
/// pasted, keys filled in): undo and redo put back both object lists and the modified mark, and
/// the selection that went with each side.
class CQXPanGroupCommand : public CQXPanDocumentCommand
{
public:
    /// The objects as they are in the document now become the state after the change.
    struct Side
    {
        QList<CQXPanKeyObj> keys;
        QList<CQXPanBmpObj> bitmaps;
        bool bModified = false;
        int nKind = 2;             ///< CQXPanObjectCommand::Kind of the selection
        QList<int> selection = {}; ///< selected indexes, the reference first
    };
    CQXPanGroupCommand(CQXPanDocument& doc, const QString& text, Side before, Side after);

    /// The document's objects and modified mark, with a selection.
    static Side Capture(const CQXPanDocument& doc, int nKind, QList<int> selection);

    void undo() override;
    void redo() override;
    bool Changes() const override;

private:
    void Put(const Side& side);

    Side m_before;
    Side m_after;
};
