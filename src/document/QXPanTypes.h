#pragma once

#include <QtGlobal>

/// A colour as the register and the panel file keep it: red in the low byte, then green, then blue.
using QXPanColor = quint32;

/// Fill colour meaning "no fill".
inline constexpr QXPanColor kQXPanHollow = 0xFFFFFFFFu;

/// Builds a colour from its three channels.
constexpr QXPanColor QXPanRgb(int red, int green, int blue)
{
    return QXPanColor(quint8(red)) | (QXPanColor(quint8(green)) << 8) |
           (QXPanColor(quint8(blue)) << 16);
}

/// A rectangle as (left, top, right, bottom); right and bottom lie just outside it.
struct QXPanRect
{
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    /// True when the rectangle has no area (zero or negative width or height).
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    /// The rectangle moved, keeping its size, so that its top-left corner is (x, y).
    constexpr QXPanRect MovedTo(int x, int y) const { return {x, y, x + Width(), y + Height()}; }
    friend constexpr bool operator==(const QXPanRect&, const QXPanRect&) = default;
};

/// The register screen (m_rcScreen of the application object).
inline constexpr QXPanRect kQXPanScreenRect{0, 0, 1024, 768};
/// The design area (m_rcDesign of the application object).
inline constexpr QXPanRect kQXPanDesignRect{0, 0, 800, 600};
/// Bytes of one register record of a key or table (m_nRecordSize).
inline constexpr int kQXPanRecordSize = 62;
/// Type code that marks a table.
inline constexpr quint16 kQXPanTableCode = 93;
/// Fixed fill colour of a table.
inline constexpr QXPanColor kQXPanTableFill = 0xE6E6E6u;
