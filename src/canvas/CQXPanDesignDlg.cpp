#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanObjectCommand.h"
#include "formats/KeyPainter.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"
#include "image/PixelGrid.h"
#include "refdata/CQXPanItemState.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <utility>

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
    // A click or Tab gives the area the keyboard: Delete, arrows, Esc, Ctrl+X/C/V/A, Tab.
    setFocusPolicy(Qt::StrongFocus);
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
    connect(&Events(), &CQXPanDocumentEvents::GroupChanged, this,
            [this](int kind, const QList<int>& selection, bool bHistoryStep) {
                if (!bHistoryStep)
                    return Redraw();
                m_pObjDlg->SetEditObject(nullptr);
                SetSelection(kind, selection);
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
    m_Group.clear();
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
    PaintGrid(painter);
    PaintSelection(painter);

    // The one-pixel border right of and below the design rectangle.
    const QSize design = DesignSize();
    const qreal offset = PixelGrid::PenOffset(painter);
    painter.translate(offset, offset);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(design.width(), 0, design.width(), design.height());
    painter.drawLine(0, design.height(), design.width(), design.height());
}

const QImage& CQXPanDesignDlg::StretchedBackground(const QPainter& painter) const
{
    // Stretching the background is most of a frame's work; a drag repaints it many times over.
    const QImage& picture = m_Background.Image();
    // The painter's scale, not its device's: a widget rendered into a picture is redirected.
    const qreal ratio = painter.deviceTransform().m11();
    const QSize target = (QSizeF(DesignSize()) * ratio).toSize();
    if (m_stretchedKey != picture.cacheKey() || m_stretched.size() != target) {
        m_stretched = QImage(target, QImage::Format_RGB32);
        m_stretched.setDevicePixelRatio(ratio);
        QPainter stretch(&m_stretched);
        stretch.setRenderHint(QPainter::SmoothPixmapTransform, true);
        stretch.drawImage(QRect(QPoint(0, 0), DesignSize()), picture);
        m_stretchedKey = picture.cacheKey();
    }
    return m_stretched;
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
        painter.drawImage(QRect(QPoint(0, 0), design), StretchedBackground(painter));
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
    if (GroupPress(event)) {
        event->accept();
        emit selectionChanged();
        return;
    }
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
    if (!GroupMove(event->position().toPoint()))
        OnMouseMove(event->buttons(), event->position().toPoint());
    event->accept();
    emit pointerMoved(event->position().toPoint());
}

void CQXPanDesignDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !GroupRelease(event->position().toPoint()))
        OnLButtonUp(event->position().toPoint());
    event->accept();
    emit selectionChanged();
}

bool CQXPanDesignDlg::event(QEvent* event)
{
    // Tab and Shift+Tab step through the objects, as form designers do; past the last one
    // the keyboard moves on to the next control.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            SelectNext(key->key() == Qt::Key_Tab)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
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
