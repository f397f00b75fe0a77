#include "formats/KeyPainter.h"

#include "document/CQXPanKeyObj.h"
#include "document/ScreenObjectRecord.h"
#include "image/PixelGrid.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// The first label line sits this far above the middle of its key, the second starts there.
constexpr int kFirstLineRise = 16;

// Draws text horizontally centred on cx with its top at y, never clipped.
void DrawCentredLine(QPainter& painter, int cx, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(text);
    painter.drawText(QRect(cx - width / 2 - 1, y, width + 2, metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

} // namespace

QColor ToQColor(QXPanColor colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

void PaintKeys(QPainter& painter, const QList<CQXPanKeyObj>& keys, KeySpace space)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    const qreal offset = PixelGrid::PenOffset(painter);
    for (const CQXPanKeyObj& key : keys) {
        const CQXPanCell& cell = key.m_Cell;
        const QXPanRect r = space == KeySpace::Display ? cell.m_rect : key.RegisterRect();
        // Mitred corners: on a scaled screen a bevel would cut the outer corner pixel off.
        painter.setPen(
            QPen(ToQColor(cell.m_clrOutline), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(cell.m_clrFill == kQXPanHollow ? QBrush(Qt::NoBrush)
                                                        : QBrush(ToQColor(cell.m_clrFill)));
        // GDI's rectangle and ellipse cover left..right-1, top..bottom-1 including the outline;
        // with a one-pixel pen Qt outlines the pixels l..r-1 and t..b-1 of this rectangle.
        const QRect outline(r.left, r.top, r.Width() - 1, r.Height() - 1);
        painter.translate(offset, offset);
        if (key.Shape() == ScreenObjectRecord::ShapeRectangle)
            painter.drawRect(outline);
        else if (key.Shape() == ScreenObjectRecord::ShapeEllipse)
            painter.drawEllipse(outline);
        painter.translate(-offset, -offset);

        const int cx = (r.left + r.right) / 2;
        const int cy = (r.top + r.bottom) / 2;
        painter.setPen(ToQColor(cell.m_clrLabel));
        DrawCentredLine(painter, cx, cy - kFirstLineRise, key.GetText1());
        DrawCentredLine(painter, cx, cy, key.GetText2());
    }
    painter.restore();
}

void PaintRegisterKeys(QImage& picture, const QList<CQXPanKeyObj>& keys)
{
    QPainter painter(&picture);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    PaintKeys(painter, keys, KeySpace::Register);
}
