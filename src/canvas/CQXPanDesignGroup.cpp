// The design area's multi-selection: Ctrl+click, the marquee, Ctrl+A, Tab, and moving, lining
// up and deleting the selected objects together. Positions are worked out in register pixels,
// so equal gaps on the design area are equal on the register.
#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanGroupCommand.h"
#include "document/CQXPanObjectCommand.h"
#include "document/ScreenScale.h"
#include "image/PixelGrid.h"
#include "refdata/CQXPanItemState.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// The register screen as an object may cover it: its last pixel is one inside the edge.
constexpr QXPanRect kRegisterBounds{0, 0, kQXPanScreenRect.right - 1, kQXPanScreenRect.bottom - 1};

} // namespace

int CQXPanDesignDlg::SelectionKind() const
{
    return m_pObjDlg && m_pObjDlg->m_nObjType == QXPanObj::TypePlaceBitmap ? KindBitmap : KindKey;
}

int CQXPanDesignDlg::ObjectCount(int nKind) const
{
    return int(nKind == KindKey ? m_KeyObjs.size() : m_BmpObjs.size());
}

QList<int> CQXPanDesignDlg::Selection() const
{
    const int i = m_SelRect.m_nObjIndex;
    const int count = ObjectCount(SelectionKind());
    // The frame is hidden while the group is dragged.
    if (!m_pObjDlg || !(m_SelRect.isVisible() || m_drag == Drag::Group) || i < 0 || i >= count)
        return {};
    QList<int> selection{i};
    for (int k : m_Group) {
        if (k >= 0 && k < count && !selection.contains(k))
            selection.append(k);
    }
    return selection;
}

void CQXPanDesignDlg::SetSelection(int nKind, const QList<int>& indexes)
{
    if (!m_pObjDlg)
        return;
    if (indexes.isEmpty()) {
        Deselect();
    } else {
        SelectObject(nKind, indexes.constFirst());
        m_Group = indexes.mid(1);
        Redraw();
    }
    emit selectionChanged();
}

int CQXPanDesignDlg::ObjectAt(QPoint pt, int nKind)
{
    const int kept = m_SelRect.m_nObjIndex;
    int kind = nKind;
    const bool hit = HitTestObjects(pt, &kind, true);
    const int found = hit && kind == nKind ? m_SelRect.m_nObjIndex : -1;
    m_SelRect.m_nObjIndex = kept;
    return found;
}

bool CQXPanDesignDlg::OnSelectedGroup(QPoint pt)
{
    return !m_Group.isEmpty() && Selection().contains(ObjectAt(pt, SelectionKind()));
}

bool CQXPanDesignDlg::KeepsSelectionOnPress(QPoint pt, Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ControlModifier) || OnSelectedGroup(pt);
}

void CQXPanDesignDlg::ToggleSelect(QPoint pt)
{
    if (!m_pObjDlg || Busy())
        return;
    QList<int> selection = Selection();
    int kind = KindAny;
    if (!HitTestObjects(pt, &kind, false))
        return;
    if (!selection.isEmpty() && kind != SelectionKind()) {
        emit Refused(QStringLiteral("Keys and tables are selected together, and placed bitmaps "
                                    "together, never both at once."));
        return;
    }
    const int i = ObjectAt(pt, kind);
    if (!selection.removeOne(i))
        selection.append(i);
    SetSelection(kind, selection);
}

void CQXPanDesignDlg::SelectAll()
{
    if (!m_pObjDlg || Busy())
        return;
    const int kind = SelectionKind();
    QList<int> all(ObjectCount(kind));
    std::iota(all.begin(), all.end(), 0);
    SetSelection(kind, all);
}

bool CQXPanDesignDlg::SelectNext(bool bForward)
{
    if (!m_pObjDlg || Busy())
        return false;
    const int kind = SelectionKind();
    const int count = ObjectCount(kind);
    const QList<int> selection = Selection();
    const int next = selection.isEmpty() ? (bForward ? 0 : count - 1)
                                         : selection.constFirst() + (bForward ? 1 : -1);
    if (next < 0 || next >= count)
        return false;
    SetSelection(kind, {next});
    return true;
}

QXPanRect CQXPanDesignDlg::RegisterRectOf(int nKind, int i) const
{
    return nKind == KindKey ? m_KeyObjs[i].RegisterRect() : m_BmpObjs[i].m_rcRegister;
}

void CQXPanDesignDlg::SetRegisterRectOf(int nKind, int i, const QXPanRect& r)
{
    if (nKind == KindKey)
        m_KeyObjs[i].SetRegisterRect(r.left, r.top, r.right, r.bottom);
    else
        m_BmpObjs[i].SetRegisterRect(r);
}

QList<QXPanRect> CQXPanDesignDlg::SelectionRects() const
{
    QList<QXPanRect> rects;
    for (int i : Selection())
        rects.append(RegisterRectOf(SelectionKind(), i));
    return rects;
}

void CQXPanDesignDlg::ApplySelectionRects(const QList<QXPanRect>& rects, const QString& text)
{
    const int kind = SelectionKind();
    const QList<int> selection = Selection();
    if (rects == SelectionRects())
        return;
    auto before = CQXPanGroupCommand::Capture(*this, kind, selection);
    for (qsizetype k = 0; k < selection.size() && k < rects.size(); ++k)
        SetRegisterRectOf(kind, selection[k], rects[k]);
    m_bModified = true;
    // Made in place; the step keeps it.
    auto after = CQXPanGroupCommand::Capture(*this, kind, selection);
    Do(new CQXPanGroupCommand(*this, text, std::move(before), std::move(after)));
    SetSelection(kind, selection);
}

bool CQXPanDesignDlg::MoveSelection(int dx, int dy, const QString& text)
{
    if (!m_pObjDlg || Busy())
        return false;
    QList<QXPanRect> rects = SelectionRects();
    const auto [ox, oy] = QXPanArrange::GroupOffset(rects, dx, dy, kRegisterBounds);
    if (rects.isEmpty() || (ox == 0 && oy == 0))
        return false;
    for (QXPanRect& r : rects)
        r = r.MovedTo(r.left + ox, r.top + oy);
    ApplySelectionRects(rects, text);
    return true;
}

void CQXPanDesignDlg::Arrange(QXPanArrange::Op op)
{
    if (!m_pObjDlg || Busy())
        return;
    const bool distribute = op == QXPanArrange::Op::DistributeHorizontally ||
                            op == QXPanArrange::Op::DistributeVertically;
    const QList<QXPanRect> rects = SelectionRects();
    if (rects.size() < (distribute ? 3 : 2)) {
        emit Refused(distribute ? QStringLiteral("Select three objects or more to distribute "
                                                 "them (Ctrl+click, or Shift+drag around them).")
                                : QStringLiteral("Select two objects or more to line them up; "
                                                 "the first one selected is the reference."));
        return;
    }
    ApplySelectionRects(QXPanArrange::Apply(op, rects, kRegisterBounds), QXPanArrange::Text(op));
}

void CQXPanDesignDlg::SpreadProperties(const CQXPanKeyObj& was, const CQXPanKeyObj& now,
                                       const QList<int>& keys)
{
    using R = ScreenObjectRecord;
    // The record's byte ranges of the shape, the two colours and the two text lines.
    const std::pair<int, int> fields[] = {{R::Shape, R::FillColour},
                                          {R::FillColour, R::TextColour},
                                          {R::TextColour, R::Number},
                                          {R::Text1, R::Reserved2},
                                          {R::Text2, kQXPanRecordSize}};
    for (int j : keys) {
        R record = m_KeyObjs[j].m_Record;
        for (const auto& [from, to] : fields) {
            if (!std::equal(was.m_Record.data() + from, was.m_Record.data() + to,
                            now.m_Record.data() + from))
                std::copy(now.m_Record.data() + from, now.m_Record.data() + to,
                          record.data() + from);
        }
        m_KeyObjs[j].SetFromRecord(record);
    }
}

void CQXPanDesignDlg::DeleteGroup(bool bCut)
{
    const int kind = SelectionKind();
    QList<int> selection = Selection();
    auto before = CQXPanGroupCommand::Capture(*this, kind, selection);
    std::sort(selection.begin(), selection.end(), std::greater<>());
    for (int i : selection) {
        if (kind == KindKey) {
            m_KeyObjs.removeAt(i);
            // The properties dialog must not keep editing a removed record.
            m_pObjDlg->KeyObjRemoved(i);
        } else {
            m_BmpObjs.removeAt(i);
        }
    }
    auto after = CQXPanGroupCommand::Capture(*this, kind, {});
    Do(new CQXPanGroupCommand(*this, bCut ? QStringLiteral("Cut") : QStringLiteral("Delete"),
                              std::move(before), std::move(after)));
    Deselect();
}

void CQXPanDesignDlg::CopyGroup()
{
    m_GroupKeyClip.clear();
    m_GroupBmpClip.clear();
    for (int i : Selection()) {
        if (SelectionKind() == KindKey)
            m_GroupKeyClip.append(m_KeyObjs[i]);
        else
            m_GroupBmpClip.append(m_BmpObjs[i]);
    }
}

void CQXPanDesignDlg::PasteGroup()
{
    const int kind = m_GroupKeyClip.isEmpty() ? KindBitmap : KindKey;
    QList<QXPanRect> rects;
    for (const CQXPanKeyObj& key : m_GroupKeyClip)
        rects.append(key.RegisterRect());
    for (const CQXPanBmpObj& bitmap : m_GroupBmpClip)
        rects.append(bitmap.m_rcRegister);
    if (rects.isEmpty())
        return;
    if (kind == KindKey && m_KeyObjs.size() + rects.size() > m_nKeyCapacity) {
        emit Refused(QStringLiteral("The %1 copied keys do not fit into this check window: it "
                                    "holds %2 of at most %3 keys and tables. Nothing was pasted.")
                         .arg(rects.size())
                         .arg(m_KeyObjs.size())
                         .arg(std::max(0, m_nKeyCapacity)));
        return;
    }
    // The group keeps its shape: its top-left corner goes to the paste point.
    const QXPanRect box = QXPanArrange::Bounds(rects);
    const ScreenScale scale = ScreenScale::Standard();
    const int dx = scale.DesignToRegisterX(m_ptPaste.x()) - box.left;
    const int dy = scale.DesignToRegisterY(m_ptPaste.y()) - box.top;
    if (QXPanArrange::GroupOffset(rects, dx, dy, kRegisterBounds) != std::pair(dx, dy)) {
        emit Refused(QStringLiteral("The copied objects do not fit here: the top-left corner of "
                                    "the group goes to the paste point. Nothing was pasted."));
        return;
    }
    auto before = CQXPanGroupCommand::Capture(*this, kind, Selection());
    QList<int> pasted;
    for (qsizetype k = 0; k < rects.size(); ++k) {
        const QXPanRect r = rects[k].MovedTo(rects[k].left + dx, rects[k].top + dy);
        if (kind == KindKey) {
            pasted.append(int(m_KeyObjs.size()));
            m_KeyObjs.append(m_GroupKeyClip[k]);
        } else {
            pasted.append(int(m_BmpObjs.size()));
            m_BmpObjs.append(m_GroupBmpClip[k]);
        }
        SetRegisterRectOf(kind, pasted.constLast(), r);
    }
    auto after = CQXPanGroupCommand::Capture(*this, kind, pasted);
    Do(new CQXPanGroupCommand(*this, QStringLiteral("Paste"), std::move(before), std::move(after)));
    // The pasted group is selected, so that it can be moved on at once.
    SetSelection(kind, pasted);
}

std::pair<int, int> CQXPanDesignDlg::GroupDragOffset() const
{
    const ScreenScale scale = ScreenScale::Standard();
    const QPoint d = m_ptDragTo - m_ptDragFrom;
    const QList<QXPanRect> rects = SelectionRects();
    if (rects.isEmpty())
        return {0, 0};
    // The reference lands on the grid; the others keep their places around it.
    const QXPanRect& ref = rects.constFirst();
    const QXPanRect to = SnappedRect(ref.MovedTo(ref.left + scale.DesignToRegisterX(d.x()),
                                                 ref.top + scale.DesignToRegisterY(d.y())),
                                     kSnapMove);
    return QXPanArrange::GroupOffset(rects, to.left - ref.left, to.top - ref.top, kRegisterBounds);
}

bool CQXPanDesignDlg::GroupPress(QMouseEvent* event)
{
    if (!m_pObjDlg || event->button() != Qt::LeftButton || Busy())
        return false;
    const QPoint pt = event->position().toPoint();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    m_ptDragFrom = m_ptDragTo = pt;
    if (modifiers & Qt::ControlModifier) {
        m_drag = Drag::Swallowed;
        ToggleSelect(pt);
        return true;
    }
    int kind = KindAny;
    if ((modifiers & Qt::ShiftModifier) && !HitTestObjects(pt, &kind, false) && InDesign(pt)) {
        m_drag = Drag::Marquee;
        Deselect();
        return true;
    }
    if (OnSelectedGroup(pt)) {
        m_drag = Drag::Group;
        m_pObjDlg->m_nMode = QXPanObj::ModeButtonDown;
        m_SelRect.hide();
        return true;
    }
    // Anything else selects one object or draws one, as without a multi-selection.
    m_Group.clear();
    return false;
}

bool CQXPanDesignDlg::GroupMove(QPoint pt)
{
    if (m_drag == Drag::None)
        return false;
    m_ptDragTo = pt;
    if (m_drag != Drag::Swallowed)
        update();
    return true;
}

bool CQXPanDesignDlg::GroupRelease(QPoint pt)
{
    const Drag drag = m_drag;
    if (drag == Drag::None)
        return false;
    m_ptDragTo = pt;
    if (drag == Drag::Marquee) {
        const QRect band = QRect(m_ptDragFrom, m_ptDragTo).normalized();
        const int kind = SelectionKind();
        QList<int> inside;
        for (int i = 0; i < ObjectCount(kind); ++i) {
            const QXPanRect& r =
                kind == KindKey ? m_KeyObjs[i].DisplayRect() : m_BmpObjs[i].DisplayRect();
            if (band.contains(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom))))
                inside.append(i);
        }
        SetSelection(kind, inside);
    } else if (drag == Drag::Group) {
        m_pObjDlg->m_nMode = QXPanObj::ModeIdle;
        const auto [dx, dy] = GroupDragOffset();
        const int kind = SelectionKind();
        const QList<int> selection = Selection();
        m_drag = Drag::None;
        m_SelRect.show();
        if (!MoveSelection(dx, dy, QStringLiteral("Move")))
            SetSelection(kind, selection);
    }
    m_drag = Drag::None;
    update(); // without the marquee
    return true;
}

void CQXPanDesignDlg::PaintSelection(QPainter& painter) const
{
    const ScreenScale scale = ScreenScale::Standard();
    const int kind = SelectionKind();
    QList<int> outlined = m_drag == Drag::Group ? Selection() : m_Group;
    const auto [dx, dy] = m_drag == Drag::Group ? GroupDragOffset() : std::pair(0, 0);
    painter.save();
    const qreal offset = PixelGrid::PenOffset(painter);
    painter.translate(offset, offset);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    for (int i : outlined) {
        if (i < 0 || i >= ObjectCount(kind))
            continue;
        QXPanRect r = RegisterRectOf(kind, i);
        r = scale.RegisterToDesign(r.MovedTo(r.left + dx, r.top + dy));
        painter.drawRect(r.left - 1, r.top - 1, r.Width() + 1, r.Height() + 1);
    }
    if (m_drag == Drag::Marquee) {
        painter.setPen(QPen(Qt::blue, 1, Qt::DotLine));
        painter.drawRect(QRect(m_ptDragFrom, m_ptDragTo).normalized());
    }
    painter.restore();
}

void CQXPanDesignDlg::SetGrid(bool bShown, int nSpacing)
{
    m_bGridShown = bShown;
    m_nGridSpacing = std::clamp(nSpacing, 2, 256);
    // Made once here, not on every repaint of a drag.
    const ScreenScale scale = ScreenScale::Standard();
    m_gridDots.clear();
    for (int y = 0; y < kQXPanScreenRect.bottom; y += m_nGridSpacing)
        for (int x = 0; x < kQXPanScreenRect.right; x += m_nGridSpacing)
            m_gridDots.append({scale.RegisterToDesignX(x), scale.RegisterToDesignY(y)});
    update();
}

QXPanRect CQXPanDesignDlg::SnappedRect(QXPanRect r, int nHandle) const
{
    if (!m_bGridShown)
        return r;
    const int g = m_nGridSpacing;
    const auto snap = [g](int v) {
        return QXPanArrange::Snap(v, g);
    };
    if (nHandle == kSnapMove)
        return QXPanArrange::KeptWithin(r.MovedTo(snap(r.left), snap(r.top)), kRegisterBounds);
    const bool all = nHandle == kSnapEdges;
    if (all || nHandle == 0 || nHandle == 3 || nHandle == 5)
        r.left = snap(r.left);
    if (all || nHandle == 2 || nHandle == 4 || nHandle == 7)
        r.right = std::min(snap(r.right), kRegisterBounds.right);
    if (all || nHandle == 0 || nHandle == 1 || nHandle == 2)
        r.top = snap(r.top);
    if (all || nHandle == 5 || nHandle == 6 || nHandle == 7)
        r.bottom = std::min(snap(r.bottom), kRegisterBounds.bottom);
    // An edge snapped onto the other keeps one grid step between them.
    if (r.right <= r.left)
        r.right = r.left + g;
    if (r.bottom <= r.top)
        r.bottom = r.top + g;
    return QXPanArrange::KeptWithin(r, kRegisterBounds);
}

void CQXPanDesignDlg::PaintGrid(QPainter& painter) const
{
    if (!m_bGridShown)
        return;
    painter.save();
    painter.setPen(QPen(QColor(128, 128, 128, 160), 1));
    painter.drawPoints(m_gridDots.constData(), int(m_gridDots.size()));
    painter.restore();
}

bool CQXPanDesignDlg::FillWithKeys(int nRows, int nColumns, int nGap)
{
    if (!m_pObjDlg || Busy())
        return false;
    const QList<int> selection = Selection();
    if (SelectionKind() != KindKey || selection.size() != 1) {
        emit Refused(QStringLiteral("Draw or select one key or table first: its rectangle is "
                                    "the area the keys fill."));
        return false;
    }
    // The smallest key the mouse draws, in register pixels.
    const int minSize = ScreenScale::Standard().DesignToRegisterX(CQXPanSelRect::kMinTrackSize);
    const auto cells = QXPanArrange::Fill(RegisterRectOf(KindKey, selection.constFirst()), nRows,
                                          nColumns, nGap, minSize);
    if (!cells) {
        emit Refused(QStringLiteral("%1 x %2 keys with a gap of %3 do not fit into the rectangle: "
                                    "each would be smaller than %4 x %4 register pixels.")
                         .arg(nRows)
                         .arg(nColumns)
                         .arg(nGap)
                         .arg(minSize));
        return false;
    }
    const qsizetype total = m_KeyObjs.size() - 1 + cells->size();
    if (total > m_nKeyCapacity) {
        emit Refused(QStringLiteral("%1 keys do not fit into this check window: with them it would "
                                    "hold %2 keys and tables, and it holds at most %3. Nothing "
                                    "was filled.")
                         .arg(cells->size())
                         .arg(total)
                         .arg(std::max(0, m_nKeyCapacity)));
        return false;
    }
    auto before = CQXPanGroupCommand::Capture(*this, KindKey, selection);
    m_KeyObjs.removeAt(selection.constFirst());
    m_pObjDlg->KeyObjRemoved(selection.constFirst());
    QList<int> made;
    for (const QXPanRect& r : *cells) {
        CQXPanKeyObj key;
        m_pObjDlg->ApplyItemToKey(key);
        key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
        made.append(int(m_KeyObjs.size()));
        m_KeyObjs.append(key);
    }
    m_bModified = true;
    auto after = CQXPanGroupCommand::Capture(*this, KindKey, made);
    Do(new CQXPanGroupCommand(*this, QStringLiteral("Fill with Keys"), std::move(before),
                              std::move(after)));
    SetSelection(KindKey, made);
    return true;
}
