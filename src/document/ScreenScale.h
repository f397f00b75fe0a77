#pragma once

#include "document/QXPanTypes.h"

/// Sizes of the register screen and the design area, and the conversions between the two.
struct ScreenScale
{
    qint32 W = 0;  ///< register screen width
    qint32 H = 0;  ///< register screen height
    qint32 w = 0;  ///< design area width
    qint32 h = 0;  ///< design area height
    qint32 W2 = 0; ///< W / 2
    qint32 H2 = 0; ///< H / 2
    qint32 w2 = 0; ///< w / 2
    qint32 h2 = 0; ///< h / 2

    /// Fills every value from the screen and design rectangles.
    void Compute(const QXPanRect& screen = kQXPanScreenRect,
                 const QXPanRect& design = kQXPanDesignRect);
    /// The scale of the register screen to the design area.
    static ScreenScale Standard()
    {
        ScreenScale scale;
        scale.Compute();
        return scale;
    }
    /// True once the values have been computed.
    bool IsSet() const { return W > 0; }

    /// One coordinate from register pixels to design-area pixels, or back.
    int RegisterToDesignX(int v) const { return Convert(v, w, W, W2); }
    int RegisterToDesignY(int v) const { return Convert(v, h, H, H2); }
    int DesignToRegisterX(int v) const { return Convert(v, W, w, w2); }
    int DesignToRegisterY(int v) const { return Convert(v, H, h, h2); }
    /// Converts a whole rectangle from register pixels to design-area pixels.
    QXPanRect RegisterToDesign(const QXPanRect& r) const;
    /// Converts a whole rectangle from design-area pixels to register pixels.
    QXPanRect DesignToRegister(const QXPanRect& r) const;

    /// v * n / d rounded half up; a negative product is never rounded up.
    static int Convert(int v, int n, int d, int half);

    friend bool operator==(const ScreenScale&, const ScreenScale&) = default;
};
