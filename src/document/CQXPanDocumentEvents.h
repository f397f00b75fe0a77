#pragma once

#include <QList>
#include <QObject>

/// What the document tells the views when its history changes it. The document cannot be a
/// QObject itself (the design area, a widget, derives from it), so it owns one of these.
class CQXPanDocumentEvents : public QObject
{
    Q_OBJECT

signals:
    /// One object was changed, added or removed. kind is the object's array
    /// (CQXPanObjectCommand::Kind); index is where the object now is, -1 when it is gone.
    /// bHistoryStep is false when the change is first made (the view that made it knows what to
    /// select) and true when undo or redo makes it (the selection follows the object).
    void ObjectChanged(int kind, int index, bool bHistoryStep);
    /// The whole design was set to a state; nListSel is its background row then.
    void StateRestored(int nListSel, bool bHistoryStep);
    /// Several objects of the kind changed at once; selection holds the indexes to select then,
    /// the reference first.
    void GroupChanged(int kind, const QList<int>& selection, bool bHistoryStep);
};
