// The design area's edit commands and keys: Delete, Cut, Copy, Paste, Undo, Redo, nudging.
#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanUndoCommands.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanItemState.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

void CQXPanDesignDlg::keyPressEvent(QKeyEvent* event)
{
    // Keypad arrows count as arrows.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (modifiers == Qt::ControlModifier && key == Qt::Key_A) {
        SelectAll();
        event->accept();
        return;
    }
    if (modifiers == Qt::ControlModifier &&
        (key == Qt::Key_X || key == Qt::Key_C || key == Qt::Key_V)) {
        TriggerEditMenu(key == Qt::Key_X   ? ID_EDIT_CUT
                        : key == Qt::Key_C ? ID_EDIT_COPY
                                           : ID_EDIT_PASTE);
        event->accept();
        return;
    }
    if ((modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) && !m_Group.isEmpty()) {
        // A group moves in register pixels: 1 or 13 (10 design-area pixels).
        const int step = modifiers == Qt::ShiftModifier ? 13 : 1;
        const int dx = key == Qt::Key_Left ? -step : key == Qt::Key_Right ? step : 0;
        const int dy = key == Qt::Key_Up ? -step : key == Qt::Key_Down ? step : 0;
        if (dx || dy) {
            MoveSelection(dx, dy, QStringLiteral("Nudge"));
            event->accept();
            return;
        }
    }
    if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
        const int step = modifiers == Qt::ShiftModifier ? 10 : 1;
        switch (key) {
        case Qt::Key_Left:
            Nudge(-step, 0);
            event->accept();
            return;
        case Qt::Key_Right:
            Nudge(step, 0);
            event->accept();
            return;
        case Qt::Key_Up:
            Nudge(0, -step);
            event->accept();
            return;
        case Qt::Key_Down:
            Nudge(0, step);
            event->accept();
            return;
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_Delete:
        // Exactly what the "Delete(&D)" button does.
        EditCommand(kKeyDelete, 0);
        event->accept();
        return;
    case Qt::Key_Escape:
        if (m_pObjDlg && !Busy())
            Deselect();
        // Enter and Esc never close anything from here.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CQXPanDesignDlg::OnCommand(int id)
{
    if (!m_pObjDlg)
        return;
    switch (id) {
    case ID_EDIT_CUT:
        EditCommand(kKeyCut, kEditFlag);
        break;
    case ID_EDIT_COPY:
        EditCommand(kKeyCopy, kEditFlag);
        break;
    case ID_EDIT_PASTE:
        EditCommand(kKeyPaste, kEditFlag);
        break;
    case ID_EDIT_UNDO:
        Undo();
        break;
    case ID_EDIT_REDO:
        Redo();
        break;
    case ID_ARRANGE_SELECT_ALL:
        SelectAll();
        break;
    default:
        if (id >= ID_ARRANGE_FIRST && id <= ID_ARRANGE_LAST)
            Arrange(QXPanArrange::Op(id - ID_ARRANGE_FIRST));
        break;
    }
}

void CQXPanDesignDlg::DeleteSelected(bool bCut)
{
    const int i = m_SelRect.m_nObjIndex;
    if (!m_SelRect.isVisible() || i < 0)
        return;
    if (!m_Group.isEmpty())
        return DeleteGroup(bCut);
    if (m_pObjDlg->m_nObjType > QXPanObj::TypePlaceBitmap) {
        if (i >= m_KeyObjs.size())
            return;
        const CQXPanKeyObj removed = m_KeyObjs[i];
        if (bCut)
            Do(new CQXPanCutCommand(*this, i, removed, m_bModified));
        else
            Do(new CQXPanDeleteCommand(*this, i, removed, m_bModified));
        // The properties dialog must not keep editing the removed record.
        m_pObjDlg->KeyObjRemoved(i);
    } else {
        if (i >= m_BmpObjs.size())
            return;
        const CQXPanBmpObj removed = m_BmpObjs[i];
        if (bCut)
            Do(new CQXPanCutCommand(*this, i, removed, m_bModified));
        else
            Do(new CQXPanDeleteCommand(*this, i, removed, m_bModified));
    }
    Deselect();
}

void CQXPanDesignDlg::Paste()
{
    const QString noRoom = QStringLiteral("The copied object does not fit here: its top-left "
                                          "corner goes to the paste point.");
    CQXPanKeyObj key;
    key.SetFromRecord(m_pObjDlg->m_KeyClip.m_Record);
    if (key.Shape() != 0) {
        const QXPanRect r = key.DisplayRect().MovedTo(m_ptPaste.x(), m_ptPaste.y());
        if (FitsDesign(r)) {
            key.SetDisplayRect(r);
            if (m_KeyObjs.size() < m_nKeyCapacity)
                Do(new CQXPanPasteCommand(*this, int(m_KeyObjs.size()), key, m_bModified));
            else
                RefuseFullScreen();
            Redraw();
        } else {
            emit Refused(noRoom);
        }
        return;
    }
    CQXPanBmpObj bitmap;
    m_pObjDlg->PasteBmpFromClipboard(bitmap);
    if (!bitmap.m_pImage)
        return;
    const QXPanRect r = bitmap.DisplayRect().MovedTo(m_ptPaste.x(), m_ptPaste.y());
    if (!FitsDesign(r)) {
        emit Refused(noRoom);
        return;
    }
    bitmap.SetDisplayRect(r);
    Do(new CQXPanPasteCommand(*this, int(m_BmpObjs.size()), bitmap, m_bModified));
    Redraw();
}

void CQXPanDesignDlg::EditCommand(int nChar, int nFlags)
{
    if (!m_pObjDlg || m_pObjDlg->m_nMode == QXPanObj::ModeDragging ||
        m_pObjDlg->m_nMode == QXPanObj::ModeButtonDown)
        return;
    const int i = m_SelRect.m_nObjIndex;
    switch (nChar) {
    case kKeyDelete:
        DeleteSelected(false);
        break;
    case kKeyCopy:
    case kKeyCut:
        if (i < 0 || !(nFlags & kEditFlag) || !m_SelRect.isVisible())
            return;
        m_bGroupClipNewest = !m_Group.isEmpty();
        if (m_bGroupClipNewest) {
            CopyGroup();
            if (nChar == kKeyCut)
                DeleteSelected(true);
            break;
        }
        if (m_pObjDlg->m_nObjType > QXPanObj::TypePlaceBitmap) {
            if (i < m_KeyObjs.size())
                m_pObjDlg->CopyKeyToClipboard(m_KeyObjs[i]);
        } else if (i < m_BmpObjs.size()) {
            m_pObjDlg->CopyBmpToClipboard(m_BmpObjs[i]);
        }
        if (nChar == kKeyCut)
            DeleteSelected(true);
        break;
    case kKeyPaste:
        if ((nFlags & kEditFlag) && m_bGroupClipNewest)
            PasteGroup();
        else if (nFlags & kEditFlag)
            Paste();
        break;
    default:
        break;
    }
}

// ---- History and keyboard ----

bool CQXPanDesignDlg::Busy() const
{
    if (!m_pObjDlg)
        return false;
    // Only a row drag that still holds the mouse counts: its release ends the drag mode.
    const int mode = m_pObjDlg->m_nMode;
    return mode == QXPanObj::ModeButtonDown ||
           (mode == QXPanObj::ModeDragging && mouseGrabber() == this);
}

void CQXPanDesignDlg::UndoOrRedo(bool bUndo)
{
    if (!m_pObjDlg || Busy() || !(bUndo ? History().canUndo() : History().canRedo()))
        return;
    // Selecting the object that follows the step must show its type, as a click would; a
    // step taken back or made again also ends what was left of a drop.
    int& mode = m_pObjDlg->m_nMode;
    if (mode == QXPanObj::ModeReleasedOutside || mode == QXPanObj::ModeDragging)
        mode = QXPanObj::ModeIdle;
    if (bUndo)
        History().undo();
    else
        History().redo();
}

void CQXPanDesignDlg::Undo()
{
    UndoOrRedo(true);
}

void CQXPanDesignDlg::Redo()
{
    UndoOrRedo(false);
}

void CQXPanDesignDlg::ShowUndoStep(int nKind, int nIndex)
{
    if (!m_pObjDlg)
        return;
    // The edited record may be gone or at another index now.
    m_pObjDlg->SetEditObject(nullptr);
    m_Group.clear();
    const bool exists = nKind == KindKey ? nIndex >= 0 && nIndex < m_KeyObjs.size()
                                         : nIndex >= 0 && nIndex < m_BmpObjs.size();
    if (exists)
        SelectObject(nKind, nIndex);
    else
        Deselect();
    Redraw();
    // The frame may stay where it was while the object under it changed.
    emit selectionChanged();
}

void CQXPanDesignDlg::SelectObject(int nKind, int nIndex)
{
    m_SelRect.ForgetTrack();
    m_SelRect.m_nObjIndex = nIndex;
    if (nKind == KindKey) {
        m_pObjDlg->SetEditObject(&m_KeyObjs[nIndex]);
        m_SelRect.FrameRect(m_KeyObjs[nIndex].DisplayRect(), nullptr, 0, true);
    } else {
        m_pObjDlg->SelectBitmapObject(m_BmpObjs[nIndex]);
        m_SelRect.FrameRect(m_BmpObjs[nIndex].DisplayRect(), nullptr, 0, true);
    }
}

void CQXPanDesignDlg::TriggerEditMenu(int id)
{
    if (!m_pEditMenu)
        return;
    for (QAction* action : m_pEditMenu->actions()) {
        if (!action->isSeparator() && action->data().toInt() == id) {
            action->trigger();
            return;
        }
    }
}

bool CQXPanDesignDlg::Nudge(int dx, int dy)
{
    if (!m_pObjDlg || Busy())
        return false;
    const int i = m_SelRect.m_nObjIndex;
    const int type = m_pObjDlg->m_nObjType;
    if (!m_SelRect.isVisible() || i < 0 || type < QXPanObj::TypePlaceBitmap ||
        type > QXPanObj::TypeFreeFuncRound)
        return false;
    const bool isKey = type > QXPanObj::TypePlaceBitmap;
    if (i >= (isKey ? m_KeyObjs.size() : m_BmpObjs.size()))
        return false;
    const QXPanRect r = isKey ? m_KeyObjs[i].DisplayRect() : m_BmpObjs[i].DisplayRect();

    // The frame carries the step as it carries a drag of the body, with the same stops at the
    // edges; then the object takes the frame's rectangle as at the end of a drag.
    m_SelRect.FrameRect(r, nullptr, 0, false);
    const int handle = m_SelRect.m_nHandle;
    m_SelRect.m_nHandle = CQXPanSelRect::HandleMove;
    m_SelRect.m_ptAnchor = QPoint(r.left, r.top);
    QPoint pt(r.left + dx, r.top + dy);
    m_SelRect.Track(&pt, 0);
    QXPanRect moved;
    m_SelRect.GetPartRect(moved, 0);
    m_SelRect.m_nHandle = handle;

    const bool wasModified = m_bModified;
    const qint64 now = m_fnNudgeClock ? m_fnNudgeClock() : 0;
    bool changed = false;
    if (isKey) {
        const CQXPanKeyObj before = m_KeyObjs[i];
        changed = m_KeyObjs[i].SetDisplayRect(moved);
        if (changed) {
            m_bModified = true;
            Do(new CQXPanNudgeCommand(*this, i, before, m_KeyObjs[i], wasModified, true, now));
        }
    } else {
        const CQXPanBmpObj before = m_BmpObjs[i];
        changed = m_BmpObjs[i].SetDisplayRect(moved);
        if (changed) {
            m_bModified = true;
            Do(new CQXPanNudgeCommand(*this, i, before, m_BmpObjs[i], wasModified, true, now));
        }
    }
    const QXPanRect stored = isKey ? m_KeyObjs[i].DisplayRect() : m_BmpObjs[i].DisplayRect();
    m_SelRect.FrameRect(stored, nullptr, 0, true);
    if (changed)
        Redraw();
    return changed;
}
