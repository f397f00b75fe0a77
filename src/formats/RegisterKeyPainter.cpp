#include "formats/RegisterKeyPainter.h"

#include "document/CQXPanKeyObj.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

QColor toColor(quint32 colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// A text line centred on cx with its top at y, drawn transparently.
void drawLine(QPainter& painter, const QString& text, int cx, int y)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    painter.drawText(cx - width / 2, y + metrics.ascent(), text);
}

} // namespace

void RegisterKeyPainter::Paint(QImage& picture, const QList<CQXPanKeyObj>& keys)
{
    QPainter painter(&picture);
    // The design area's label font is the 8-point dialog font, 13 pixels high.
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    for (const CQXPanKeyObj& key : keys) {
        const QXPanRect r = key.RegisterRect();
        const CQXPanCell& cell = key.m_Cell;
        painter.setPen(QPen(toColor(cell.m_clrOutline), 1));
        if (cell.m_clrFill == kQXPanHollow)
            painter.setBrush(Qt::NoBrush);
        else
            painter.setBrush(toColor(cell.m_clrFill));
        // GDI's rectangle and ellipse cover left..right-1, top..bottom-1 including the outline.
        const QRect box(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
        if (key.Shape() == ScreenObjectRecord::ShapeRectangle)
            painter.drawRect(box);
        else if (key.Shape() == ScreenObjectRecord::ShapeEllipse)
            painter.drawEllipse(box);
        const int cx = (r.left + r.right) / 2;
        const int cy = (r.top + r.bottom) / 2;
        painter.setPen(toColor(cell.m_clrLabel));
        drawLine(painter, key.GetText1(), cx, cy - 16);
        drawLine(painter, key.GetText2(), cx, cy);
    }
}
