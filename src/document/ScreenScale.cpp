#include "document/ScreenScale.h"

void ScreenScale::Compute(const QXPanRect& screen, const QXPanRect& design)
{
    W = screen.Width();
    H = screen.Height();
    w = design.Width();
    h = design.Height();
    W2 = W / 2;
    H2 = H / 2;
    w2 = w / 2;
    h2 = h / 2;
}

int ScreenScale::Convert(int v, int n, int d, int half)
{
    if (d == 0)
        return 0;
    // 64 bits so that coordinates from a foreign file cannot overflow the product.
    const qint64 product = qint64(v) * n;
    const qint64 q = product / d;
    const qint64 r = product % d;
    return int(q + (r >= half ? 1 : 0));
}

QXPanRect ScreenScale::RegisterToDesign(const QXPanRect& r) const
{
    return {RegisterToDesignX(r.left), RegisterToDesignY(r.top), RegisterToDesignX(r.right),
            RegisterToDesignY(r.bottom)};
}

QXPanRect ScreenScale::DesignToRegister(const QXPanRect& r) const
{
    return {DesignToRegisterX(r.left), DesignToRegisterY(r.top), DesignToRegisterX(r.right),
            DesignToRegisterY(r.bottom)};
}
