#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanUndoCommands.h"
#include "formats/KeyPainter.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"
#include "image/PixelGrid.h"
#include "refdata/CQXPanItemState.h"

#include <QAction>
#include <QColor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// r moved, keeping its size, so that its top-left corner is pt.
QXPanRect MovedTo(const QXPanRect& r, QPoint pt)
{
    return {pt.x(), pt.y(), pt.x() + r.Width(), pt.y() + r.Height()};
}

} // namespace

CQXPanDesignDlg::CQXPanDesignDlg(QWidget* parent) : QWidget(parent), m_SelRect(this)
{
    // Created hidden; the main dialog places and shows it.
    setVisible(false);
    // Erasing draws nothing: without a background the objects land on what was shown before.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    // Moves without a button give the cursor feedback.
    setMouseTracking(true);
    m_SelRect.setObjectName(QString::number(IDC_FRAME));
    m_SelRect.setVisible(false);
    // Every move, resize, select and drop shows in the frame, whoever caused it.
    m_SelRect.installEventFilter(this);
    // A click gives the area the keyboard: Delete, arrows, Esc, Ctrl+X/C/V.
    setFocusPolicy(Qt::ClickFocus);
    m_nudgeTimer.start();
    m_fnNudgeClock = [this] {
        return m_nudgeTimer.elapsed();
    };
    // The area shows what was done to the design; after undo and redo the selection follows.
    connect(&Events(), &CQXPanDocumentEvents::ObjectChanged, this,
            [this](int kind, int index, bool bHistoryStep) {
                if (bHistoryStep)
                    ShowUndoStep(kind, index);
                else
                    Redraw();
            });
    connect(&Events(), &CQXPanDocumentEvents::StateRestored, this,
            [this](int nListSel, bool bHistoryStep) {
                if (!bHistoryStep)
                    return Redraw();
                ShowUndoStep(CQXPanObjectCommand::KindKey, -1);
                emit BackgroundRowRestored(nListSel);
            });
}

CQXPanDesignDlg::~CQXPanDesignDlg()
{
    // The frame outlives this class's part of the object; its last events report nothing.
    m_SelRect.removeEventFilter(this);
}

void CQXPanDesignDlg::OnInitDialog()
{
    m_hMoveCursor = QCursor(Qt::SizeAllCursor);
    m_hArrowCursor = QCursor(Qt::ArrowCursor);
    // Handles 0..7: top-left, top, top-right, left, right, bottom-left, bottom, bottom-right.
    const Qt::CursorShape sizeShapes[8] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor};
    for (int i = 0; i < 8; ++i)
        m_hSizeCursor[i] = QCursor(sizeShapes[i]);

    m_BmpObjs.clear();
    m_KeyObjs.clear();

    const QSize design = DesignSize();
    m_SelRect.SetDesignRect({0, 0, design.width(), design.height()});
    m_SelRect.setGeometry(-1, -1, design.width() + 2, design.height() + 2);
    m_SelRect.lower();
    m_SelRect.hide();
    m_SelRect.Setup(1, false, 1);

    // Labels use the dialog's own font.
    m_Font = font();
}

void CQXPanDesignDlg::SetObjDlg(CQXPanItemState* pObjDlg)
{
    m_pObjDlg = pObjDlg;
    // Only the editor keeps a history: without an object dialog nobody can undo.
    SetRecording(m_pObjDlg != nullptr);
    if (m_pObjDlg)
        m_pObjDlg->SetKeyObjects(&m_KeyObjs);
}

bool CQXPanDesignDlg::RenderScreenImage(CDibImage& target) const
{
    return ::RenderScreenImage(*this, target);
}

QSize CQXPanDesignDlg::DesignSize() const
{
    return QSize(kQXPanDesignRect.Width(), kQXPanDesignRect.Height());
}

void CQXPanDesignDlg::Redraw()
{
    repaint();
}

void CQXPanDesignDlg::Deselect()
{
    if (!m_pObjDlg)
        return;
    m_SelRect.m_nObjIndex = -1;
    m_SelRect.ForgetTrack();
    Redraw();
}

void CQXPanDesignDlg::OnItemListChanged()
{
    if (!m_pObjDlg)
        return;
    if (m_pObjDlg->m_nMode != QXPanObj::ModeImageTypeSwitch)
        m_bModified = true;
    Redraw();
}

void CQXPanDesignDlg::InvalidateObject(const QXPanRect& r)
{
    // (left - 3, top - 3, right + 6, bottom + 6): the object and its frame's margin.
    repaint(QRect(QPoint(r.left - 3, r.top - 3), QPoint(r.right + 6 - 1, r.bottom + 6 - 1)));
}

int CQXPanDesignDlg::AddBmpObjFromItem(int& nIndex)
{
    if (!m_pObjDlg)
        return 0;
    CQXPanBmpObj obj;
    if (!m_pObjDlg->ApplyItemToBitmap(obj))
        return 0;
    const int index = AddBmpObj(obj);
    m_SelRect.m_nObjIndex = index;
    nIndex = index;
    return 1;
}

void CQXPanDesignDlg::paintEvent(QPaintEvent*)
{
    // Qt paints into the window's back buffer and shows it when done: no flicker.
    QPainter painter(this);
    painter.save();
    PaintDesign(painter);
    painter.restore();

    // The one-pixel border right of and below the design rectangle.
    const QSize design = DesignSize();
    const qreal offset = PixelGrid::PenOffset(painter);
    painter.translate(offset, offset);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(design.width(), 0, design.width(), design.height());
    painter.drawLine(0, design.height(), design.width(), design.height());
}

void CQXPanDesignDlg::PaintDesign(QPainter& painter) const
{
    const QSize design = DesignSize();
    // The whole design rectangle: the client area proper, without the border.
    painter.setClipRect(QRect(QPoint(0, 0), design));
    // Stretched pictures are averaged, never just sampled.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // Without a background the register screen is black: show what Convert writes.
    if (!m_Background.IsEmpty())
        painter.drawImage(QRect(QPoint(0, 0), design), m_Background.Image());
    else
        painter.fillRect(QRect(QPoint(0, 0), design), Qt::black);

    // Later bitmaps cover earlier ones.
    for (const CQXPanBmpObj& bmp : m_BmpObjs) {
        if (!bmp.m_pImage || bmp.m_pImage->IsEmpty())
            continue;
        const QXPanRect& r = bmp.DisplayRect();
        if (r.IsRectEmpty())
            continue;
        painter.drawImage(QRect(r.left, r.top, r.Width(), r.Height()), bmp.m_pImage->Image());
    }

    painter.setFont(m_Font);
    // Keys and tables lie above every placed bitmap.
    PaintKeys(painter, m_KeyObjs, KeySpace::Display);
}

void CQXPanDesignDlg::keyPressEvent(QKeyEvent* event)
{
    // Keypad arrows count as arrows.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (modifiers == Qt::ControlModifier &&
        (key == Qt::Key_X || key == Qt::Key_C || key == Qt::Key_V)) {
        TriggerEditMenu(key == Qt::Key_X   ? ID_EDIT_CUT
                        : key == Qt::Key_C ? ID_EDIT_COPY
                                           : ID_EDIT_PASTE);
        event->accept();
        return;
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

bool CQXPanDesignDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_SelRect) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            emit selectionChanged();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CQXPanDesignDlg::leaveEvent(QEvent* event)
{
    emit pointerLeft();
    QWidget::leaveEvent(event);
}

void CQXPanDesignDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint pt = event->position().toPoint();
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(pt);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(pt);
    // Taken here: a press passed on to the main dialog would count as a press elsewhere in it
    // and drop the selection just made.
    event->accept();
    // Another object may be selected within the same frame.
    emit selectionChanged();
}

void CQXPanDesignDlg::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(event->buttons(), event->position().toPoint());
    event->accept();
    emit pointerMoved(event->position().toPoint());
}

void CQXPanDesignDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
    event->accept();
    emit selectionChanged();
}

void CQXPanDesignDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Replaces the second press, as the double-click message does; the base class would turn
    // it into another press.
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
    event->accept();
    // The properties dialog may have changed what the object is.
    emit selectionChanged();
}

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
            r = DrawnRect(r);
            m_BmpObjs[index].SetDisplayRect(r);
            m_SelRect.FrameRect(r, nullptr, 0, true);
            Redraw();
            m_bModified = true;
            // Made in place while drawn; the step makes it for good.
            Do(new CQXPanCreateCommand(*this, index, m_BmpObjs.takeAt(index), wasModified, true));
        } else if (mode == QXPanObj::ModeDragging) {
            int index = -1;
            if (!AddBmpObjFromItem(index))
                return;
            // A dropped bitmap keeps its natural size and must fit entirely at the drop point.
            const QXPanRect r = MovedTo(m_BmpObjs[index].DisplayRect(), pt);
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
    if (k >= 0)
        Do(new CQXPanPropertiesCommand(*this, int(k), before, m_KeyObjs[k], m_bModified));
    mode = QXPanObj::ModeIdle;
}

void CQXPanDesignDlg::OnRButtonDown(QPoint pt)
{
    if (!m_pObjDlg)
        return;
    m_ptPaste = pt;
    m_pObjDlg->m_nMode = QXPanObj::ModeIdle;
    int kind = KindAny;
    if (HitTestObjects(pt, &kind, true)) {
        const int i = m_SelRect.m_nObjIndex;
        SelectHitObject(kind, i, pt);
        InvalidateObject(kind == KindKey ? m_KeyObjs[i].DisplayRect() : m_BmpObjs[i].DisplayRect());
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
    if (const QAction* chosen = popup.exec(mapToGlobal(pt)))
        OnCommand(chosen->data().toInt());
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
    default:
        break;
    }
}

void CQXPanDesignDlg::DeleteSelected(bool bCut)
{
    const int i = m_SelRect.m_nObjIndex;
    if (!m_SelRect.isVisible() || i < 0)
        return;
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
        const QXPanRect r = MovedTo(key.DisplayRect(), m_ptPaste);
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
    const QXPanRect r = MovedTo(bitmap.DisplayRect(), m_ptPaste);
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
        if (nFlags & kEditFlag)
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
