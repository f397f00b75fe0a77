#pragma once

#include <QList>

class CQXPanKeyObj;
class QImage;

/// Draws key and table objects onto a register screen picture the way the design area draws
/// them, but at register resolution (register rectangles instead of display rectangles).
class RegisterKeyPainter
{
public:
    /// Draws the keys in order, each over the ones before it.
    static void Paint(QImage& picture, const QList<CQXPanKeyObj>& keys);
};
