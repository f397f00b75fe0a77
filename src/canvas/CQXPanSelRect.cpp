#include "canvas/CQXPanSelRect.h"

#include "formats/KeyPainter.h"
#include "image/PixelGrid.h"

#include <QColor>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace {

/// Floor division for a positive divisor: handle offsets round toward minus infinity.
int FloorDiv(int a, int b)
{
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

/// Half-open containment: left and top edges in, right and bottom edges out.
bool Contains(const QXPanRect& r, QPoint pt)
{
    return pt.x() >= r.left && pt.x() < r.right && pt.y() >= r.top && pt.y() < r.bottom;
}

QXPanRect Offset(const QXPanRect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

QXPanRect MovedTo(const QXPanRect& r, int x, int y)
{
    return {x, y, x + r.Width(), y + r.Height()};
}

/// A rectangle drawn the register editor's way: the 1-pixel outline lies on the outermost
/// pixels inside (left, top, right, bottom), the fill inside that; right and bottom stay out.
void DrawFramedRect(QPainter& painter, const QXPanRect& r, QXPanColor pen, QXPanColor fill)
{
    const int w = r.Width();
    const int h = r.Height();
    if (w <= 0 || h <= 0)
        return;
    if (fill != kQXPanHollow)
        painter.fillRect(QRect(r.left, r.top, w, h), ToQColor(fill));
    // One design-area pixel wide with square corners, so that a scaled screen shows the same
    // frame, only finer.
    painter.setPen(QPen(ToQColor(pen), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    if (w == 1 || h == 1) {
        painter.fillRect(QRect(r.left, r.top, w, h), ToQColor(pen));
    } else {
        const qreal offset = PixelGrid::PenOffset(painter);
        painter.translate(offset, offset);
        painter.drawRect(QRect(r.left, r.top, w - 1, h - 1));
        painter.translate(-offset, -offset);
    }
}

} // namespace

CQXPanSelRect::CQXPanSelRect(QWidget* parent) : QWidget(parent)
{
    // Presses reach the parent; the frame only shows and tracks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The picture beneath stays visible inside the frame.
    setAutoFillBackground(false);
}

CQXPanSelRect::~CQXPanSelRect() = default;

void CQXPanSelRect::Setup(int nParts, bool bLayout, int nMode)
{
    if (!m_pParent)
        m_pParent = parentWidget();

    if (m_pParent) {
        m_Font = m_pParent->font();
    } else {
        // No parent to take after: a tiny default font.
        m_Font = QFont();
        m_Font.setPixelSize(4);
    }

    nParts = std::max(nParts, 0);
    m_nHandleMode = nMode;
    m_Parts.resize(nParts);

    if (nMode == 1) {
        m_Handles.resize(8 * qsizetype(nParts));
        for (CQXPanCell& handle : m_Handles) {
            handle.m_clrFill = 0xFFFFFFu;
            handle.m_rect = {0, 0, kHandleSize, kHandleSize};
        }
    }

    const int w = width();
    const int h = height();
    if (bLayout && nParts > 0 && w > h) {
        const int q = w / nParts;
        const int rem = w % nParts;
        int left = 0;
        for (int i = 0; i < nParts; ++i) {
            const int right = (i == nParts - 1) ? w : left + q + (i < rem ? 1 : 0);
            m_Parts[i].m_rect = {left, 0, right, h};
            left = right;
        }
    }
}

void CQXPanSelRect::SetPartColour(QXPanColor fill, QXPanColor pen, int nPart)
{
    if (!IsPart(nPart))
        return;
    CQXPanCell& part = m_Parts[nPart];
    part.m_clrFill = fill;
    part.m_clrOutline = pen;
    part.m_clrLabelBk = fill;
    repaint();
}

QXPanColor CQXPanSelRect::GetPartColour(int nPart, bool bPen) const
{
    if (!IsPart(nPart))
        return 0;
    const CQXPanCell& part = m_Parts[nPart];
    return bPen ? part.m_clrOutline : part.m_clrFill;
}

void CQXPanSelRect::SetPartText(int nPart, const QString& text, QXPanColor textColour)
{
    if (!IsPart(nPart))
        return;
    CQXPanCell& part = m_Parts[nPart];
    // A null text would read as "no label": an empty label is still a label.
    part.SetText(text.isNull() ? QStringLiteral("") : text);
    part.m_clrLabel = textColour;
    part.m_clrLabelBk = part.m_clrFill;
    repaint();
}

void CQXPanSelRect::FrameRect(const QXPanRect& r, const QPoint* pt, int nPart, bool bRepaint)
{
    if (!IsPart(nPart))
        return;
    CQXPanCell& part = m_Parts[nPart];
    part.m_rect = r;

    QXPanRect window;
    if (m_nHandleMode != 1) {
        window = r;
        part.m_rect = MovedTo(r, 0, 0);
    } else {
        window = {r.left - kFrameMargin, r.top - kFrameMargin, r.right + kFrameMargin,
                  r.bottom + kFrameMargin};
        part.m_rect = MovedTo(r, kFrameMargin, kFrameMargin);
        PlaceHandles(nPart);
    }

    SetWindowRect(window);
    if (isHidden())
        show();
    if (bRepaint)
        repaint();

    m_nHandle = BeginTrack(pt, nPart);
}

int CQXPanSelRect::BeginTrack(const QPoint* pt, int nPart)
{
    if (!IsPart(nPart))
        return HandleNone;
    if (!pt)
        return m_nHandle;

    const QPoint local = *pt - pos();
    const QXPanRect& r = m_Parts[nPart].m_rect;

    if (m_nHandleMode == 0)
        return Contains(r, local) ? HandleMove : HandleNone;

    if (m_nHandle == HandleNone && !CellHitTest(r, local)) {
        m_ptAnchor = QPoint(-1, -1);
        return HandleNone;
    }

    const qsizetype first = 8 * qsizetype(nPart);
    for (int k = 7; k >= 0; --k) {
        if (first + k >= m_Handles.size())
            continue;
        if (!Contains(m_Handles[first + k].m_rect, local))
            continue;
        m_nHandle = k;
        QPoint fixed;
        switch (k) {
        case HandleTopLeft:
        case HandleTop:
        case HandleLeft:
            fixed = QPoint(r.right, r.bottom);
            break;
        case HandleTopRight:
            fixed = QPoint(r.left, r.bottom);
            break;
        case HandleBottomLeft:
            fixed = QPoint(r.right, r.top);
            break;
        default: // right, bottom, bottom-right
            fixed = QPoint(r.left, r.top);
            break;
        }
        m_ptAnchor = fixed + pos();
        return k;
    }

    m_ptAnchor = *pt;
    return HandleMove;
}

int CQXPanSelRect::HitHandle(QPoint pt, int nPart) const
{
    if (!IsPart(nPart))
        return HandleNone;
    const QPoint local = pt - pos();
    if (Contains(m_Parts[nPart].m_rect, local))
        return HandleBody;
    const qsizetype first = 8 * qsizetype(nPart);
    for (int k = 7; k >= 0; --k) {
        if (first + k < m_Handles.size() && Contains(m_Handles[first + k].m_rect, local))
            return k;
    }
    return HandleNone;
}

void CQXPanSelRect::GetPartRect(QXPanRect& out, int nPart)
{
    if (IsPart(nPart))
        out = Offset(m_Parts[nPart].m_rect, x(), y());
    m_ptAnchor = QPoint(-1, -1);
}

void CQXPanSelRect::StartRubberBand(QPoint pt)
{
    m_ptAnchor = pt;
    m_nHandle = HandleNone;
    if (!isHidden())
        hide();
}

bool CQXPanSelRect::HasAnchor() const
{
    return m_ptAnchor.x() >= 0 && m_ptAnchor.y() >= 0;
}

void CQXPanSelRect::Track(QPoint* pt, int nPart)
{
    if (!pt || !IsPart(nPart) || !m_pParent)
        return;
    if (!HasAnchor() && m_nHandle != HandleMove)
        return;

    const QPoint anchor = m_ptAnchor;
    const QXPanRect r = Offset(m_Parts[nPart].m_rect, x(), y());

    if (m_nHandle == HandleMove) {
        const int dx = pt->x() - anchor.x();
        const int dy = pt->y() - anchor.y();
        int left = std::max(r.left + dx, 0);
        int top = std::max(r.top + dy, 0);
        const int designWidth = m_rcDesign.Width();
        const int designHeight = m_rcDesign.Height();
        if (r.right + dx >= designWidth)
            left -= (r.right + dx) - designWidth + 1;
        if (r.bottom + dy >= designHeight)
            top -= (r.bottom + dy) - designHeight + 1;
        const QXPanRect& inWindow = m_Parts[nPart].m_rect;
        move(left - inWindow.left, top - inWindow.top);
        update();
        m_ptAnchor = *pt;
        return;
    }

    if (m_nHandle >= HandleTopLeft && m_nHandle <= HandleBottomRight) {
        const int minLeft = anchor.x() - kMinTrackSize;
        const int minRight = anchor.x() + kMinTrackSize;
        const int minTop = anchor.y() - kMinTrackSize;
        const int minBottom = anchor.y() + kMinTrackSize;
        int nx = pt->x();
        int ny = pt->y();
        switch (m_nHandle) {
        case HandleTopLeft:
            nx = std::min(nx, minLeft);
            ny = std::min(ny, minTop);
            break;
        case HandleTop:
            nx = r.left;
            ny = std::min(ny, minTop);
            break;
        case HandleTopRight:
            nx = std::max(nx, minRight);
            ny = std::min(ny, minTop);
            break;
        case HandleLeft:
            nx = std::min(nx, minLeft);
            ny = r.top;
            break;
        case HandleRight:
            nx = std::max(nx, minRight);
            ny = r.bottom;
            break;
        case HandleBottomLeft:
            nx = std::min(nx, minLeft);
            ny = std::max(ny, minBottom);
            break;
        case HandleBottom:
            nx = r.right;
            ny = std::max(ny, minBottom);
            break;
        default: // bottom-right
            nx = std::max(nx, minRight);
            ny = std::max(ny, minBottom);
            break;
        }
        *pt = QPoint(nx, ny);
    } else if (m_nHandle == HandleNone) {
        if (std::abs(pt->x() - anchor.x()) < kMinTrackSize ||
            std::abs(pt->y() - anchor.y()) < kMinTrackSize)
            return;
    } else {
        return;
    }

    const QXPanRect spanned{std::min(anchor.x(), pt->x()), std::min(anchor.y(), pt->y()),
                            std::max(anchor.x(), pt->x()), std::max(anchor.y(), pt->y())};
    FrameRect(spanned, nullptr, nPart, true);
}

void CQXPanSelRect::ForgetTrack()
{
    m_ptAnchor = QPoint(-1, -1);
    m_nHandle = HandleNone;
    if (!isHidden())
        hide();
}

bool CQXPanSelRect::CellHitTest(const QXPanRect& r, QPoint pt)
{
    if (r.Width() < kHandleSize || r.Height() < kHandleSize)
        return false;
    for (int k = 0; k < 8; ++k) {
        const QPoint o = HandleOrigin(r, k);
        if (Contains({o.x(), o.y(), o.x() + kHandleSize, o.y() + kHandleSize}, pt))
            return true;
    }
    return Contains(r, pt);
}

QPoint CQXPanSelRect::HandleOrigin(const QXPanRect& r, int k)
{
    const int midX = r.left + FloorDiv(r.Width() - kHandleSize, 2);
    const int midY = r.top + FloorDiv(r.Height() - kHandleSize, 2);
    const int left = r.left - kFrameMargin;
    const int top = r.top - kFrameMargin;
    const int right = r.right - kFrameMargin;
    const int bottom = r.bottom - kFrameMargin;
    switch (k) {
    case HandleTopLeft:
        return {left, top};
    case HandleTop:
        return {midX, top};
    case HandleTopRight:
        return {right, top};
    case HandleLeft:
        return {left, midY};
    case HandleRight:
        return {right, midY};
    case HandleBottomLeft:
        return {left, bottom};
    case HandleBottom:
        return {midX, bottom};
    default:
        return {right, bottom};
    }
}

void CQXPanSelRect::PlaceHandles(int nPart)
{
    const QXPanRect& r = m_Parts[nPart].m_rect;
    const qsizetype first = 8 * qsizetype(nPart);
    for (int k = 0; k < 8 && first + k < m_Handles.size(); ++k) {
        const QPoint o = HandleOrigin(r, k);
        m_Handles[first + k].m_rect = {o.x(), o.y(), o.x() + kHandleSize, o.y() + kHandleSize};
    }
}

void CQXPanSelRect::SetWindowRect(const QXPanRect& r)
{
    setGeometry(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

void CQXPanSelRect::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.save();
    painter.setFont(m_Font);
    const QFontMetrics metrics(m_Font);

    for (int i = 0; i < m_Parts.size(); ++i) {
        const CQXPanCell& part = m_Parts[i];
        DrawFramedRect(painter, part.m_rect, part.m_clrOutline, part.m_clrFill);

        if (part.HasText()) {
            const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
            const QRect at(part.m_rect.left + 4, part.m_rect.top + 4, 0, 0);
            const QRect box = metrics.boundingRect(at, flags, part.m_strLabel);
            // Opaque text: the label sits on its own background box.
            painter.fillRect(box, ToQColor(part.m_clrLabelBk));
            painter.setPen(ToQColor(part.m_clrLabel));
            painter.drawText(box, flags, part.m_strLabel);
        }

        DrawHandles(painter, i);
    }

    painter.restore();
}

void CQXPanSelRect::DrawHandles(QPainter& painter, int nPart) const
{
    if (m_nHandleMode != 1)
        return;
    const qsizetype first = 8 * qsizetype(nPart);
    if (first >= m_Handles.size())
        return;
    // Every handle of the part is drawn in the first handle's colours.
    const QXPanColor pen = m_Handles[first].m_clrOutline;
    const QXPanColor fill = m_Handles[first].m_clrFill;
    for (int k = 0; k < 8 && first + k < m_Handles.size(); ++k)
        DrawFramedRect(painter, m_Handles[first + k].m_rect, pen, fill);
}
