#include "document/CQXPanDocument.h"
#include "formats/ScreenRender.h"

#include <gtest/gtest.h>

namespace {

QRgb Pixel(const CDibImage& image, int x, int y)
{
    return image.Image().pixel(x, y) & 0xFFFFFFu;
}

// A 24-bit image of one colour, filled through raw rows so no painter is involved.
void Fill(CDibImage& image, int w, int h, QRgb colour)
{
    ASSERT_TRUE(image.Create(w, h, 24));
    QByteArray rows(image.RawRowBytes() * h, '\0');
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            char* p = rows.data() + y * image.RawRowBytes() + x * 3;
            p[0] = char(qBlue(colour));
            p[1] = char(qGreen(colour));
            p[2] = char(qRed(colour));
        }
    }
    image.SetBits(rows.size(), rows.constData());
}

TEST(Render, BackgroundIsCopiedOrEnlarged)
{
    CQXPanDocument doc;
    ASSERT_TRUE(doc.m_Background.Create(1024, 768, 24));
    QByteArray rows(doc.m_Background.RawSize(), Qt::Uninitialized);
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i] = char((i * 7 + i / 3072) & 0xFF);
    doc.m_Background.SetBits(rows.size(), rows.constData());
    CDibImage target;
    ASSERT_TRUE(RenderScreenImage(doc, target));
    EXPECT_EQ(target.BitsPerPixel(), 24);
    QByteArray out(target.RawSize(), Qt::Uninitialized);
    target.GetBits(out.size(), out.data());
    EXPECT_EQ(out, rows);

    Fill(doc.m_Background, 2, 2, qRgb(10, 20, 30));
    ASSERT_TRUE(RenderScreenImage(doc, target));
    EXPECT_EQ(Pixel(target, 0, 0), 0x0A141Eu);
    EXPECT_EQ(Pixel(target, 1023, 767), 0x0A141Eu);
}

TEST(Render, FirstPlacedBitmapCoversLaterOnesAndEdgesClip)
{
    CQXPanDocument doc; // no background: black
    CDibImage red, green, empty;
    Fill(red, 4, 4, qRgb(255, 0, 0));
    Fill(green, 4, 4, qRgb(0, 255, 0));
    const auto place = [&](CDibImage* image, QXPanRect rect) {
        CQXPanBmpObj obj;
        obj.SetImage(image);
        obj.SetRegisterRect(rect);
        doc.AddBmpObj(obj);
    };
    place(&red, {100, 100, 200, 200});
    place(&green, {150, 150, 250, 250});
    place(&empty, {300, 300, 400, 400});
    place(&green, {1000, 700, 1100, 800}); // past the right and bottom edge
    place(nullptr, {0, 0, 50, 50});

    CDibImage target;
    ASSERT_TRUE(RenderScreenImage(doc, target));
    EXPECT_EQ(Pixel(target, 175, 175), 0xFF0000u); // first record on top
    EXPECT_EQ(Pixel(target, 225, 225), 0x00FF00u);
    EXPECT_EQ(Pixel(target, 350, 350), 0u); // empty image: background shows
    EXPECT_EQ(Pixel(target, 10, 10), 0u);   // no image
    EXPECT_EQ(Pixel(target, 1023, 767), 0x00FF00u);
    EXPECT_EQ(Pixel(target, 99, 99), 0u);
}

} // namespace
