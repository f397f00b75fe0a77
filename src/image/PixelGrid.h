#pragma once

#include <QPainter>
#include <QTransform>

namespace PixelGrid {

/// How far to move the painter so that a one-pixel pen on whole design-area coordinates covers
/// exactly the pixel right of and below the line on any screen: 0 when design-area pixels are
/// device pixels, where Qt's aliased pen already does that, else half a design-area pixel.
inline qreal PenOffset(const QPainter& painter)
{
    // On a scaled screen (or a grab at a higher pixel ratio) the pen is several device pixels
    // wide and would straddle the line, half of it outside the shape.
    const QTransform toDevice = painter.deviceTransform();
    return toDevice.m11() != 1.0 || toDevice.m22() != 1.0 ? 0.5 : 0.0;
}

} // namespace PixelGrid
