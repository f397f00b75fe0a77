#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDesignState.h"
#include "document/CQXPanDocumentEvents.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QList>
#include <QUndoStack>

class CQXPanDocumentCommand;

/// The design of one register screen: background, placed bitmaps and key or table objects.
/// The design area derives from it, so these members keep their established names.
class CQXPanDocument
{
public:
    CQXPanDocument() = default;
    CQXPanDocument(const CQXPanDocument&) = delete;
    CQXPanDocument& operator=(const CQXPanDocument&) = delete;
    virtual ~CQXPanDocument() = default;

    /// Removes the placed bitmaps and, unless bBitmapsOnly, the key objects and the modified mark.
    void ClearObjects(bool bBitmapsOnly);
    /// Appends a copy of the placed bitmap and returns its index.
    int AddBmpObj(const CQXPanBmpObj& obj);
    /// Appends a copy of the key object (a new one when pObj is null); -1 when the screen is full.
    int AddKeyObj(const CQXPanKeyObj* pObj = nullptr);
    /// Copies the slice of the bitmap table for the given screen file into m_KeyObjs.
    void LoadTableSlice(const QList<CQXPanKeyObj>& table, int fileNumber);
    /// Copies m_KeyObjs back into the slice of the given screen file; returns the records stored.
    int StoreTableSlice(QList<CQXPanKeyObj>& table, int fileNumber) const;

    /// First table record of the slice of a screen file, or -1 for a file without slice.
    static int SliceStart(int tableSize, int fileNumber);

    /// Makes the change of the command (its redo) and keeps it in the history when recording;
    /// a command that changes nothing is dropped. Takes ownership.
    void Do(CQXPanDocumentCommand* pCommand);
    /// The history records only while recording is on and not suspended.
    void SetRecording(bool bOn) { m_bRecording = bOn; }
    void SuspendRecording() { ++m_nRecordingSuspended; }
    void ResumeRecording() { --m_nRecordingSuspended; }
    bool IsRecording() const { return m_bRecording && m_nRecordingSuspended == 0; }
    QUndoStack& History() { return m_History; }
    const QUndoStack& History() const { return m_History; }
    /// Forgets every step; what they changed still counts as a change since the last save.
    void ClearHistory();
    /// The design as it is now has been saved (or written to the register's files).
    void MarkSaved();
    /// True when m_bModified is set or steps were taken since the last MarkSaved, also when
    /// their history has been cleared since.
    bool IsDesignModified() const;

    /// Everything a whole-design step can change, to be put back later.
    CQXPanDesignState CaptureState(int nListSel) const;
    /// Puts a captured state back and tells the views (bHistoryStep: by undo or redo).
    void RestoreState(const CQXPanDesignState& state, bool bHistoryStep);
    /// Starts a whole-design change (New, Open, a background): the state before it, and no
    /// recording of the single steps it is made of.
    CQXPanDesignState BeginDesignChange(int nListSel);
    /// Ends it as one step of the given command type.
    template <class Command> void EndDesignChange(CQXPanDesignState before, int nListSel)
    {
        ResumeRecording();
        Do(new Command(*this, std::move(before), CaptureState(nListSel)));
    }

    /// Where the views learn what the history changed.
    CQXPanDocumentEvents& Events() { return m_Events; }

    QList<CQXPanBmpObj> m_BmpObjs;
    QList<CQXPanKeyObj> m_KeyObjs;
    int m_nKeyCapacity = 0;
    bool m_bModified = false;
    CDibImage m_Background;

private:
    CQXPanDocumentEvents m_Events;
    QUndoStack m_History;
    bool m_bRecording = false;
    int m_nRecordingSuspended = 0;
    bool m_bUnsavedHistory = false;
};
