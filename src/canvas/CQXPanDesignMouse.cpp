// The design area's mouse: hit tests, presses, drags, drawing, drops and the context menu.
#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanGroupCommand.h"
#include "document/CQXPanUndoCommands.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanItemState.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <type_traits>
#include <utility>

bool CQXPanDesignDlg::HitTestObjects(QPoint pt, int* pKind, bool bSelect)
{
    const int kind = *pKind;
    if (kind == KindAny || kind > KindBitmap) {
        for (int i = int(m_KeyObjs.size()) - 1; i >= 0; --i) {
            if (CQXPanSelRect::CellHitTest(m_KeyObjs[i].DisplayRect(), pt)) {
                if (bSelect)
                    m_SelRect.m_nObjIndex = i;
                *pKind = KindKey;
                return true;
            }
        }
        if (bSelect)
            m_SelRect.m_nObjIndex = -1;
    }
    if (kind == KindAny || kind == KindBitmap) {
        for (int i = int(m_BmpObjs.size()) - 1; i >= 0; --i) {
            if (CQXPanSelRect::CellHitTest(m_BmpObjs[i].DisplayRect(), pt)) {
                if (bSelect)
                    m_SelRect.m_nObjIndex = i;
                *pKind = KindBitmap;
                return true;
            }
        }
    }
    if (bSelect)
        m_SelRect.m_nObjIndex = -1;
    return false;
}

void CQXPanDesignDlg::SelectHitObject(int nKind, int i, QPoint pt)
{
    if (nKind == KindKey) {
        m_pObjDlg->SetEditObject(&m_KeyObjs[i]);
        m_SelRect.FrameRect(m_KeyObjs[i].DisplayRect(), &pt, 0, true);
    } else {
        m_pObjDlg->SelectBitmapObject(m_BmpObjs[i]);
        m_SelRect.FrameRect(m_BmpObjs[i].DisplayRect(), &pt, 0, true);
    }
}

bool CQXPanDesignDlg::TypeListEmpty(int type) const
{
    // Tables need no list; the first element of every list is its header, not an item.
    if (type == QXPanObj::TypePlaceBitmap || type >= QXPanObj::TypeSysKeyRect) {
        const CQXPanRefList* list = m_pObjDlg->ListOfType(type);
        return !list || list->size() <= 1;
    }
    return false;
}

void CQXPanDesignDlg::OnLButtonDown(QPoint pt)
{
    if (!m_pObjDlg)
        return;
    // Qt's implicit grab keeps the mouse here until the release.
    m_pObjDlg->m_nMode = QXPanObj::ModeButtonDown;
    int kind = KindAny;
    if (HitTestObjects(pt, &kind, true)) {
        const int i = m_SelRect.m_nObjIndex;
        SelectHitObject(kind, i, pt);
        InvalidateObject(kind == KindKey ? m_KeyObjs[i].DisplayRect() : m_BmpObjs[i].DisplayRect());
        return;
    }
    m_pObjDlg->m_nMode = QXPanObj::ModeIdle;
    if (InDesign(pt))
        m_SelRect.StartRubberBand(pt);
}

void CQXPanDesignDlg::OnMouseMove(Qt::MouseButtons buttons, QPoint pt)
{
    if (!m_pObjDlg)
        return;
    const int type = m_pObjDlg->m_nObjType;
    if (TypeListEmpty(type))
        return;
    if (buttons & Qt::LeftButton) {
        // While a row is dragged the drag cursor stays and nothing is tracked.
        if (type >= QXPanObj::TypePlaceBitmap && type <= QXPanObj::TypeFreeFuncRound &&
            m_pObjDlg->m_nMode != QXPanObj::ModeDragging)
            m_SelRect.Track(&pt, 0);
        return;
    }
    if (m_SelRect.isVisible()) {
        const int h = m_SelRect.HitHandle(pt, 0);
        if (h < CQXPanSelRect::HandleNone) {
            setCursor(h == CQXPanSelRect::HandleBody ? m_hMoveCursor : m_hSizeCursor[h]);
            return;
        }
    }
    int kind = KindAny;
    setCursor(HitTestObjects(pt, &kind, false) ? m_hMoveCursor : m_hArrowCursor);
}

template <class Obj> void CQXPanDesignDlg::EndMoveResize(QList<Obj>& objs, int i, QPoint pt)
{
    Obj& obj = objs[i];
    const Obj before = obj;
    const bool wasModified = m_bModified;
    const bool moved = m_SelRect.m_nHandle == CQXPanSelRect::HandleMove;
    const int handle = m_SelRect.m_nHandle;
    m_SelRect.Track(&pt, 0);
    QXPanRect r;
    m_SelRect.GetPartRect(r, 0);
    if (!obj.SetDisplayRect(r)) {
        InvalidateObject(r);
    } else {
        // The object keeps inside the design area; the frame follows where it was clamped.
        const QXPanRect stored = obj.DisplayRect();
        if (!(stored == r))
            m_SelRect.FrameRect(stored, nullptr, 0, true);
        Redraw();
    }
    if (m_bGridShown) {
        constexpr int kind = std::is_same_v<Obj, CQXPanKeyObj> ? KindKey : KindBitmap;
        SetRegisterRectOf(kind, i,
                          SnappedRect(RegisterRectOf(kind, i), moved ? kSnapMove : handle));
        m_SelRect.FrameRect(obj.DisplayRect(), nullptr, 0, true);
        Redraw();
    }
    m_bModified = true;
    // The whole drag is one step: the record changes only here, at the release.
    if (moved)
        Do(new CQXPanMoveCommand(*this, i, before, objs[i], wasModified, m_bModified));
    else
        Do(new CQXPanResizeCommand(*this, i, before, objs[i], wasModified, m_bModified));
}

bool CQXPanDesignDlg::FitsDesign(const QXPanRect& r) const
{
    const QSize design = DesignSize();
    return !r.IsRectEmpty() && r.right < design.width() && r.bottom < design.height();
}

bool CQXPanDesignDlg::InDesign(QPoint pt) const
{
    return QRect(QPoint(0, 0), DesignSize()).contains(pt);
}

QXPanRect CQXPanDesignDlg::DrawnRect(QXPanRect r) const
{
    const QSize design = DesignSize();
    const int minSize = CQXPanSelRect::kMinTrackSize;
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    // The last pixel an object may cover is the design size - 1, as SetDisplayRect keeps it.
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, design.width() - 1);
    r.bottom = std::min(r.bottom, design.height() - 1);
    if (r.right - r.left < minSize) {
        r.left = std::max(0, r.right - minSize);
        r.right = r.left + minSize;
    }
    if (r.bottom - r.top < minSize) {
        r.top = std::max(0, r.bottom - minSize);
        r.bottom = r.top + minSize;
    }
    return r;
}

void CQXPanDesignDlg::RefuseFullScreen()
{
    if (m_nKeyCapacity <= 0)
        emit Refused(QStringLiteral("Keys and tables cannot be placed on the screen logo."));
    else
        emit Refused(QStringLiteral("This check window already holds %1 keys and tables, as many "
                                    "as it can.")
                         .arg(m_nKeyCapacity));
}

void CQXPanDesignDlg::OnLButtonUp(QPoint pt)
{
    if (!m_pObjDlg)
        return;
    ReleaseLeft(pt);
    // A drop is over with its release, also when it placed nothing: the edit commands work again.
    if (m_pObjDlg->m_nMode == QXPanObj::ModeDragging)
        m_pObjDlg->m_nMode = QXPanObj::ModeIdle;
}

void CQXPanDesignDlg::ReleaseLeft(QPoint pt)
{
    // Ends the grab a row drag from the item list took.
    if (mouseGrabber() == this)
        releaseMouse();
    int& mode = m_pObjDlg->m_nMode;
    if (InDesign(pt)) {
        if (mode < QXPanObj::ModeDragging)
            mode = QXPanObj::ModeIdle;
    } else {
        mode = QXPanObj::ModeReleasedOutside;
    }

    const int t = m_pObjDlg->m_nObjType;
    const int i = m_SelRect.m_nObjIndex;
    if (t <= 0 || t > QXPanObj::TypeFreeFuncRound)
        return;
    const bool wasModified = m_bModified;

    // The end step: a press on the design area is over.
    const auto endStep = [&mode] {
        if (mode == QXPanObj::ModeButtonDown)
            mode = QXPanObj::ModeIdle;
    };

    if (t == QXPanObj::TypePlaceBitmap) {
        if (TypeListEmpty(t)) {
            endStep();
            return;
        }
        if (i >= m_BmpObjs.size())
            return;
        if (i >= 0) {
            EndMoveResize(m_BmpObjs, i, pt);
        } else if (mode == QXPanObj::ModeReleasedOutside) {
            // A drawn bitmap rectangle released outside creates nothing.
        } else if (m_SelRect.isVisible()) {
            int index = -1;
            if (!AddBmpObjFromItem(index))
                return;
            // The image is stretched to the rectangle drawn.
            m_SelRect.Track(&pt, 0);
            QXPanRect r;
            m_SelRect.GetPartRect(r, 0);
            m_BmpObjs[index].SetDisplayRect(DrawnRect(r));
            if (m_bGridShown)
                m_BmpObjs[index].SetRegisterRect(
                    SnappedRect(m_BmpObjs[index].m_rcRegister, kSnapEdges));
            m_SelRect.FrameRect(m_BmpObjs[index].DisplayRect(), nullptr, 0, true);
            Redraw();
            m_bModified = true;
            // Made in place while drawn; the step makes it for good.
            Do(new CQXPanCreateCommand(*this, index, m_BmpObjs.takeAt(index), wasModified, true));
        } else if (mode == QXPanObj::ModeDragging) {
            int index = -1;
            if (!AddBmpObjFromItem(index))
                return;
            // A dropped bitmap keeps its natural size and must fit entirely at the drop point.
            const QXPanRect r = m_BmpObjs[index].DisplayRect().MovedTo(pt.x(), pt.y());
            if (!FitsDesign(r)) {
                m_BmpObjs.removeAt(index);
                m_SelRect.m_nObjIndex = -1;
                emit Refused(QStringLiteral("The bitmap does not fit here: its top-left corner "
                                            "goes where it is dropped, and it would cross the "
                                            "edge. Drop it further up or to the left."));
                return;
            }
            mode = QXPanObj::ModeIdle;
            m_BmpObjs[index].SetDisplayRect(r);
            m_SelRect.FrameRect(m_BmpObjs[index].DisplayRect(), nullptr, 0, true);
            Redraw();
            m_bModified = true;
            // Made in place while drawn; the step makes it for good.
            Do(new CQXPanCreateCommand(*this, index, m_BmpObjs.takeAt(index), wasModified, true));
        }
        endStep();
        return;
    }

    if (TypeListEmpty(t)) {
        if (m_SelRect.isVisible())
            m_SelRect.hide();
        endStep();
        return;
    }
    if (i >= m_KeyObjs.size()) {
        endStep();
        return;
    }
    if (i >= 0) {
        EndMoveResize(m_KeyObjs, i, pt);
        endStep();
        return;
    }
    if (mode == QXPanObj::ModeDragging) {
        // A row dropped onto a key or table gives it the row's function, texts and colours.
        int kind = t;
        if (HitTestObjects(pt, &kind, true)) {
            const int hit = m_SelRect.m_nObjIndex;
            CQXPanKeyObj& key = m_KeyObjs[hit];
            const CQXPanKeyObj before = key;
            m_pObjDlg->ApplyItemToKey(key);
            m_SelRect.FrameRect(key.DisplayRect(), nullptr, 0, true);
            Redraw();
            Do(new CQXPanDropOnKeyCommand(*this, hit, before, key, m_bModified));
            endStep();
            return;
        }
        emit Refused(QStringLiteral("Dropped on no key: draw a rectangle to make a new key, or "
                                    "drop the row onto a key to change that key."));
    }
    if (m_SelRect.HasAnchor() && m_SelRect.isVisible()) {
        if (m_KeyObjs.size() >= m_nKeyCapacity) {
            m_SelRect.m_nObjIndex = -1;
            m_SelRect.hide();
            RefuseFullScreen();
        } else {
            const int index = AddKeyObj();
            m_SelRect.m_nObjIndex = index;
            CQXPanKeyObj& key = m_KeyObjs[index];
            m_pObjDlg->ApplyItemToKey(key);
            m_SelRect.Track(&pt, 0);
            QXPanRect r;
            m_SelRect.GetPartRect(r, 0);
            key.SetDisplayRect(DrawnRect(r));
            if (m_bGridShown) {
                const QXPanRect snapped = SnappedRect(key.RegisterRect(), kSnapEdges);
                key.SetRegisterRect(snapped.left, snapped.top, snapped.right, snapped.bottom);
            }
            m_pObjDlg->SetEditObject(&key);
            m_SelRect.FrameRect(key.DisplayRect(), nullptr, 0, true);
            Redraw();
            m_bModified = true;
            Do(new CQXPanCreateCommand(*this, index, m_KeyObjs.takeAt(index), wasModified, true));
        }
    }
    endStep();
}

void CQXPanDesignDlg::OnLButtonDblClk(QPoint pt)
{
    if (!m_pObjDlg)
        return;
    int& mode = m_pObjDlg->m_nMode;
    mode = QXPanObj::ModeIdle;
    // The dialog edits the key double-clicked; what it changes in its colours, shape and
    // texts goes to every other selected key too.
    const QList<int> group = Selection();
    m_Group.clear();
    int kind = KindAny;
    if (!HitTestObjects(pt, &kind, true))
        return;
    mode = QXPanObj::ModeButtonDown;
    const int i = m_SelRect.m_nObjIndex;
    if (kind == KindBitmap) {
        // No dialog for a placed bitmap; the release that follows ends the press.
        SelectHitObject(kind, i, pt);
        InvalidateObject(m_BmpObjs[i].DisplayRect());
        return;
    }
    SelectHitObject(kind, i, pt);
    InvalidateObject(m_KeyObjs[i].DisplayRect());
    const CQXPanKeyObj before = m_KeyObjs[i];
    const bool spread = group.size() > 1 && group.contains(i) && SelectionKind() == KindKey;
    auto groupBefore = CQXPanGroupCommand::Capture(*this, KindKey, group);
    m_pObjDlg->DoModal();
    // Keys may have come or gone while the dialog ran; it knows where its key is now. Shown
    // also after Cancel: a refused Accept ("Null function") has already written its fields.
    const qsizetype k = m_pObjDlg->EditIndex();
    if (k >= 0) {
        m_SelRect.m_nObjIndex = int(k);
        m_SelRect.FrameRect(m_KeyObjs[k].DisplayRect(), nullptr, 0, true);
        m_pObjDlg->SetEditObject(&m_KeyObjs[k]);
        Redraw();
    }
    if (spread && k == i && m_KeyObjs.size() == groupBefore.keys.size()) {
        SpreadProperties(before, m_KeyObjs[k], group);
        Do(new CQXPanGroupCommand(*this, QStringLiteral("Properties"), std::move(groupBefore),
                                  CQXPanGroupCommand::Capture(*this, KindKey, group)));
        SetSelection(KindKey, group);
    } else if (k >= 0) {
        Do(new CQXPanPropertiesCommand(*this, int(k), before, m_KeyObjs[k], m_bModified));
    }
    mode = QXPanObj::ModeIdle;
}

void CQXPanDesignDlg::OnRButtonDown(QPoint pt)
{
    if (!m_pObjDlg)
        return;
    m_ptPaste = pt;
    m_pObjDlg->m_nMode = QXPanObj::ModeIdle;
    // A right press on one of several selected objects keeps them all for Arrange.
    if (!OnSelectedGroup(pt)) {
        m_Group.clear();
        int kind = KindAny;
        if (HitTestObjects(pt, &kind, true)) {
            const int i = m_SelRect.m_nObjIndex;
            SelectHitObject(kind, i, pt);
            InvalidateObject(kind == KindKey ? m_KeyObjs[i].DisplayRect()
                                             : m_BmpObjs[i].DisplayRect());
        }
    }
    if (!m_pEditMenu)
        return;
    // A copy of the Edit popup, so that the choice comes here and not to the menu bar's
    // handler, which would move the paste point.
    QMenu popup(this);
    for (QAction* action : m_pEditMenu->actions()) {
        if (action->isSeparator())
            popup.addSeparator();
        else {
            QAction* copy = popup.addAction(action->text());
            copy->setData(action->data());
            copy->setShortcuts(action->shortcuts());
            copy->setEnabled(action->isEnabled());
        }
    }
    if (m_pArrangeMenu) {
        popup.addSeparator();
        QMenu* arrange = popup.addMenu(m_pArrangeMenu->title());
        for (QAction* action : m_pArrangeMenu->actions()) {
            if (action->isSeparator())
                arrange->addSeparator();
            else { // the menu bar's own item does it, grid and fill included
                QAction* copy = arrange->addAction(action->text());
                copy->setEnabled(action->isEnabled());
                copy->setCheckable(action->isCheckable());
                copy->setChecked(action->isChecked());
                connect(copy, &QAction::triggered, action, &QAction::trigger);
            }
        }
    }
    if (const QAction* chosen = popup.exec(mapToGlobal(pt)))
        OnCommand(chosen->data().toInt());
}
