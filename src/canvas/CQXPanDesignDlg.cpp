#include "canvas/CQXPanDesignDlg.h"

#include "app/CQXPanApp.h"
#include "image/CDibImage.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QColor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace {

// Interaction modes of the shared selection state that the design area looks at here.
constexpr int kModeImageTypeSwitch = 2;
constexpr int kModeDragging = 3;

// Shape bytes of a key or table record.
constexpr quint8 kShapeRectangle = 1;
constexpr quint8 kShapeEllipse = 2;

// The first label line sits this far above the middle of its key, the second starts there.
constexpr int kFirstLineRise = 16;

QColor ToQColor(QXPanColor colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// Draws text horizontally centred on cx with its top at y, never clipped.
void DrawCentredLine(QPainter& painter, int cx, int y, const QString& text)
{
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(text);
    painter.drawText(QRect(cx - width / 2 - 1, y, width + 2, metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

} // namespace

CQXPanDesignDlg::CQXPanDesignDlg(QWidget* parent) : QWidget(parent), m_SelRect(this)
{
    // Created hidden; the main dialog places and shows it.
    setVisible(false);
    // Erasing draws nothing: without a background the objects land on what was shown before.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    m_SelRect.setObjectName(QString::number(IDC_FRAME));
    m_SelRect.setVisible(false);
}

CQXPanDesignDlg::~CQXPanDesignDlg() = default;

bool CQXPanDesignDlg::OnInitDialog(CQXPanApp* pApp)
{
    m_pApp = pApp;
    if (!m_pApp)
        return false;

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
    return true;
}

void CQXPanDesignDlg::SetObjDlg(CQXPanObjDlg* pObjDlg)
{
    m_pObjDlg = pObjDlg;
}

QSize CQXPanDesignDlg::DesignSize() const
{
    if (!m_pApp)
        return QSize(kQXPanDesignRect.Width(), kQXPanDesignRect.Height());
    return QSize(m_pApp->m_rcDesign.right - m_pApp->m_rcDesign.left,
                 m_pApp->m_rcDesign.bottom - m_pApp->m_rcDesign.top);
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
    if (m_pObjDlg->m_nMode != kModeImageTypeSwitch)
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

    if (!m_Background.IsEmpty())
        painter.drawImage(QRect(QPoint(0, 0), design), m_Background.Image());

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
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);

    // Keys and tables lie above every placed bitmap.
    for (const CQXPanKeyObj& key : m_KeyObjs) {
        const CQXPanCell& cell = key.m_Cell;
        const QXPanRect& r = cell.m_rect;
        painter.setPen(QPen(ToQColor(cell.m_clrOutline), 1, Qt::SolidLine));
        painter.setBrush(cell.m_clrFill == kQXPanHollow ? QBrush(Qt::NoBrush)
                                                        : QBrush(ToQColor(cell.m_clrFill)));
        const quint8 shape = key.Shape();
        // With a one-pixel pen Qt outlines the pixels l..r-1 and t..b-1 of this rectangle.
        const QRect outline(r.left, r.top, r.Width() - 1, r.Height() - 1);
        if (shape == kShapeRectangle)
            painter.drawRect(outline);
        else if (shape == kShapeEllipse)
            painter.drawEllipse(outline);

        const int cx = (r.left + r.right) / 2;
        const int cy = (r.top + r.bottom) / 2;
        painter.setBackground(ToQColor(cell.m_clrLabelBk));
        painter.setPen(ToQColor(cell.m_clrLabel));
        const QString text1 = key.GetText1();
        if (!text1.isEmpty())
            DrawCentredLine(painter, cx, cy - kFirstLineRise, text1);
        const QString text2 = key.GetText2();
        if (!text2.isEmpty())
            DrawCentredLine(painter, cx, cy, text2);
    }
    painter.setBrush(Qt::NoBrush);
}

void CQXPanDesignDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter and Esc never close anything from here.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CQXPanDesignDlg::mouseReleaseEvent(QMouseEvent* event)
{
    // Ends a row drag that the item list started: the capture and the drag cursor go. Dropping
    // the row onto the design is not handled yet; the mode stays 3 inside the area and becomes
    // 0 outside it, as after any release.
    if (m_pObjDlg && m_pObjDlg->m_nMode == kModeDragging && event->button() == Qt::LeftButton) {
        releaseMouse();
        const QSize design = DesignSize();
        const QPoint pt = event->position().toPoint();
        if (!QRect(QPoint(0, 0), design).contains(pt))
            m_pObjDlg->m_nMode = 0;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
