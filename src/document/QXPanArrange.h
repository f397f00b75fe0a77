#pragma once

#include "document/QXPanTypes.h"

#include <QList>
#include <QString>

#include <optional>

/// Lining objects up, in register pixels, so that what looks equal on the design area is equal
/// on the register. A rectangle's right and bottom lie just outside it; every result lies
/// within the bounds given (right <= bounds.right, bottom <= bounds.bottom).
namespace QXPanArrange {

enum class Op
{
    AlignLeft,
    AlignRight,
    AlignTop,
    AlignBottom,
    AlignHorizontalCentres, ///< one vertical line through every centre
    AlignVerticalCentres,   ///< one horizontal line through every centre
    DistributeHorizontally,
    DistributeVertically,
    SameWidth,
    SameHeight,
    SameSize
};

/// The menu text of an operation, which is also the name of its undo step.
QString Text(Op op);

/// The rectangles after the operation; rects[0] is the reference, which aligning and sizing
/// follow and which itself stays. Distributing keeps the leftmost (topmost) and rightmost
/// (bottommost) objects where they are and makes every gap between neighbours the same; when
/// the space does not divide evenly the far object moves in by the remainder.
QList<QXPanRect> Apply(Op op, QList<QXPanRect> rects, const QXPanRect& bounds);

/// The smallest rectangle holding all of them (an empty one for none).
QXPanRect Bounds(const QList<QXPanRect>& rects);

/// The rectangle moved, keeping its size as far as the bounds allow, to lie within them.
QXPanRect KeptWithin(QXPanRect r, const QXPanRect& bounds);

/// The offset (dx, dy) cut down so that the group, moved by it, stays within the bounds.
std::pair<int, int> GroupOffset(const QList<QXPanRect>& rects, int dx, int dy,
                                const QXPanRect& bounds);

/// The nearest multiple of the spacing (half way rounds up); the value itself for spacing < 2.
int Snap(int v, int spacing);

/// rows x columns cells with the gap between them filling the area, row by row; nothing when a
/// cell would be narrower or lower than minSize.
std::optional<QList<QXPanRect>> Fill(const QXPanRect& area, int rows, int columns, int gap,
                                     int minSize);

} // namespace QXPanArrange
