#include "formats/RegisterPreview.h"

#include "document/CQXPanDocument.h"
#include "document/QXPanTypes.h"
#include "formats/KeyPainter.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include <QByteArray>
#include <QImage>

QImage RegisterPreview::ThroughRegisterColours(const CDibImage& screen)
{
    const int width = kQXPanScreenRect.Width();
    const int height = kQXPanScreenRect.Height();
    const int bitsPerPixel = screen.BitsPerPixel();
    if (screen.Width() != width || screen.Height() != height ||
        (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return QImage();

    QByteArray raw(screen.RawSize(), '\0');
    if (screen.GetBits(raw.size(), raw.data()) != raw.size())
        return QImage();
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return QImage();
    const int bytesPerPixel = bitsPerPixel / 8;
    const qsizetype rowBytes = screen.RawRowBytes();
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const unsigned char*>(raw.constData()) + y * rowBytes;
        auto* target = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            unsigned char bgr[3];
            RegisterWordToRgb(RgbToRegisterWord(source + x * bytesPerPixel, bitsPerPixel), bgr);
            target[x] = qRgb(bgr[2], bgr[1], bgr[0]);
        }
    }
    return picture;
}

bool RegisterPreview::Build(const CQXPanDocument& design, QImage& out)
{
    CDibImage screen;
    if (!RenderScreenImage(design, screen))
        return false;
    QImage picture = ThroughRegisterColours(screen);
    if (picture.isNull())
        return false;
    PaintRegisterKeys(picture, design.m_KeyObjs);
    out = picture;
    return true;
}
