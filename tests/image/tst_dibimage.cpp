// Catches: images not black when made, surfaces ended early, wrong copy/stretch/pixel-word bits
#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::vector<std::vector<quint32>>;

// A 24-bit image from rows of 0xRRGGBB colours.
void Fill24(CDibImage& image, const Rows& rows)
{
    ASSERT_TRUE(image.Create(int(rows[0].size()), int(rows.size()), 24));
    QPainter* painter = image.AcquireSurface();
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[0].size(); ++x)
            painter->fillRect(int(x), int(y), 1, 1, QColor(QRgb(rows[y][x])));
    image.ReleaseSurface();
}

Rows RowsOf(const CDibImage& image)
{
    Rows rows(size_t(image.Height()));
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            rows[size_t(y)].push_back(image.Image().pixel(x, y) & 0xFFFFFFu);
    return rows;
}

constexpr quint32 A = 0xF0F0F0, B = 0x0F0FFF, C = 0x3C3C3C, D = 0xFF00FF, E = 0x123456;
constexpr quint32 Z = 0x000000; // untouched target

TEST(DibImage, CreateGivesABlackImageOfTheDepthAndSurfacesNest)
{
    CDibImage image;
    for (int bits : {16, 24, 32}) {
        ASSERT_TRUE(image.Create(5, 3, bits)) << bits;
        QByteArray raw(image.RawSize(), char(0xAA));
        image.GetBits(raw.size(), raw.data());
        for (qsizetype i = 0; i < raw.size(); ++i) // the fourth byte of 32 bits is unused
            EXPECT_TRUE(raw[i] == '\0' || (bits == 32 && i % 4 == 3)) << bits << " bits, " << i;
    }
    ASSERT_TRUE(image.Create(2, 2, 24));
    // A refused size or depth leaves the image as it was.
    EXPECT_FALSE(image.Create(2, 2, 8) || image.Create(0, 2, 24) ||
                 image.Create(CDibImage::MaxDimension + 1, 1, 24));
    EXPECT_EQ(QSize(image.Width(), image.BitsPerPixel()), QSize(2, 24));

    // Drawing surfaces nest: the last release ends the painter; one too many is harmless.
    EXPECT_EQ(CDibImage().AcquireSurface(), nullptr);
    QPainter* first = image.AcquireSurface();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(image.AcquireSurface(), first);
    image.ReleaseSurface();
    EXPECT_TRUE(first->isActive());
    image.ReleaseSurface();
    EXPECT_EQ(image.SurfaceDepth(), 0);
    image.ReleaseSurface();
    EXPECT_EQ(image.SurfaceDepth(), 0);
}

// Columns of a stretch from sw to w: dx takes [floor(dx*sw/w), floor((dx+1)*sw/w)), or the
// single column floor(dx*sw/w) when that is empty; the pixel is the AND of its block. A copy
// (BitBlt from source column sx) is clipped at both images.
TEST(Stretch, FollowsTheRegisterRuleAndCopiesClip)
{
    const struct
    {
        const char* name;
        Rows source;
        int targetW, targetH, x, y, w, h;
        Rows expected;
        bool copy = false;
        int sx = 0;
    } cases[] = {
        {"2 -> 5 repeats 0,0,0,1,1", {{A, B}}, 5, 1, 0, 0, 5, 1, {{A, A, A, B, B}}},
        {"3 -> 2 takes [0,1) and [1,3)", {{A, B, C}}, 2, 1, 0, 0, 2, 1, {{A, B & C}}},
        // Clipped: the mapping stays that of the full size.
        {"clipped left", {{A, B, C}}, 2, 1, -1, 0, 3, 1, {{B, C}}},
        {"rows AND", {{E, A}, {B, E}}, 4, 1, 0, 0, 4, 1, {{E & B, E & B, A & E, A & E}}},
        {"copy clipped", {{A, B}, {C, D}}, 3, 2, 2, 1, 3, 2, {{Z, Z, Z}, {Z, Z, A}}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDibImage source, target;
        Fill24(source, c.source);
        ASSERT_TRUE(target.Create(c.targetW, c.targetH, 24));
        EXPECT_TRUE(c.copy ? source.BitBlt(target, c.x, c.y, c.w, c.h, c.sx, 0)
                           : source.StretchBlt(target, c.x, c.y, c.w, c.h, 0, 0, source.Width(),
                                               source.Height()));
        EXPECT_EQ(RowsOf(target), c.expected);
    }
    // A source block outside the source, or an empty image, fails.
    CDibImage source, target, empty;
    Fill24(source, {{A, B}});
    ASSERT_TRUE(target.Create(1, 1, 32));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 1, 0, 2, 1) ||
                 source.StretchBlt(empty, 0, 0, 2, 1, 0, 0, 2, 1));
    const uchar pixel[4] = {0x30, 0x20, 0x10, 0x00}; // from 32 bits: alpha 0 is not blended
    target.SetBits(4, pixel);
    ASSERT_TRUE(target.BitBlt(source, 0, 0, 1, 1, 0, 0));
    EXPECT_EQ(RowsOf(source)[0][0], 0x102030u);
}

// The screen file goldens pin whole channels; of 5-6-5 green the lowest bit is dropped, the next
// one kept.
TEST(RegisterWord, PartialGreenOfSixteenBits)
{
    const uchar pixel[2] = {0x60, 0}; // green 3 of 63, little-endian
    EXPECT_EQ(RgbToRegisterWord(pixel, 16), 0x20);
}

} // namespace
