#pragma once

#include "document/QXPanTypes.h"

#include <QColor>
#include <QList>

class CQXPanKeyObj;
class QImage;
class QPainter;

/// A colour of a record or panel file as Qt draws it.
QColor ToQColor(QXPanColor colour);

/// Which rectangles of the keys to draw in.
enum class KeySpace
{
    Display,  ///< the design area's 800 x 600 rectangles
    Register, ///< the register screen's 1024 x 768 rectangles
};

/// Draws key and table objects with the painter's font, in order, each over the ones before it:
/// outline and fill in the key's shape, the two text lines centred around its middle. The design
/// area, the register preview and qxpan-cli all draw keys through this.
void PaintKeys(QPainter& painter, const QList<CQXPanKeyObj>& keys, KeySpace space);

/// PaintKeys onto a register screen picture in register rectangles, with the design area's
/// 8-point dialog font (13 pixels high).
void PaintRegisterKeys(QImage& picture, const QList<CQXPanKeyObj>& keys);
