// Catches: images not black when made, surfaces ended early, wrong copy/stretch/pixel-word bits
#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include "TestBmp.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::vector<std::vector<quint32>>;

// A 24-bit image from rows of 0xRRGGBB colours.
void Fill24(CDibImage& image, const Rows& rows)
{
    ASSERT_TRUE(image.Create(int(rows[0].size()), int(rows.size()), 24));
    QByteArray raw(image.RawSize(), '\0');
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[0].size(); ++x)
            for (int c = 0; c < 3; ++c)
                raw[qsizetype(y) * image.RawRowBytes() + qsizetype(x) * 3 + c] =
                    char(rows[y][x] >> (8 * c));
    image.SetBits(raw.size(), raw.constData());
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
        EXPECT_EQ(image.BitsPerPixel(), bits);
        QByteArray raw(image.RawSize(), char(0xAA));
        image.GetBits(raw.size(), raw.data());
        for (qsizetype i = 0; i < raw.size(); ++i) // the fourth byte of 32 bits is unused
            EXPECT_TRUE(raw[i] == '\0' || (bits == 32 && i % 4 == 3)) << bits << " bits, " << i;
    }
    ASSERT_TRUE(image.Create(2, 2, 24));
    EXPECT_FALSE(image.Create(2, 2, 8));
    EXPECT_FALSE(image.Create(0, 2, 24));
    EXPECT_FALSE(image.Create(2, -1, 24));
    EXPECT_FALSE(image.Create(CDibImage::MaxDimension + 1, 1, 24));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.BitsPerPixel(), 24);

    // Drawing surfaces nest: the last release ends the painter.
    EXPECT_EQ(CDibImage().AcquireSurface(), nullptr);
    QPainter* first = image.AcquireSurface();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(image.AcquireSurface(), first);
    image.ReleaseSurface();
    EXPECT_TRUE(first->isActive());
    first->fillRect(0, 0, 1, 1, QColor(8, 16, 24));
    image.ReleaseSurface();
    EXPECT_EQ(image.SurfaceDepth(), 0);
    EXPECT_EQ(RowsOf(image)[0][0], 0x081018u);
    image.ReleaseSurface(); // one too many is harmless
    EXPECT_EQ(image.SurfaceDepth(), 0);
}

// Columns of a stretch from sw to w: dx takes [floor(dx*sw/w), floor((dx+1)*sw/w)), or the
// single column floor(dx*sw/w) when that is empty; the pixel is the AND of its block.
TEST(Stretch, FollowsTheRegisterRule)
{
    const struct
    {
        const char* name;
        Rows source;
        int targetW, targetH, x, y, w, h;
        Rows expected;
    } cases[] = {
        {"one to one", {{A, B}, {C, D}}, 2, 2, 0, 0, 2, 2, {{A, B}, {C, D}}},
        {"2 -> 5 repeats 0,0,0,1,1", {{A, B}}, 5, 1, 0, 0, 5, 1, {{A, A, A, B, B}}},
        {"4 -> 2 ANDs pairs", {{A, B, C, D}}, 2, 1, 0, 0, 2, 1, {{A & B, C & D}}},
        {"3 -> 2 takes [0,1) and [1,3)", {{A, B, C}}, 2, 1, 0, 0, 2, 1, {{A, B & C}}},
        // Clipped: the mapping stays that of the full size.
        {"clipped right", {{A, B}, {C, D}}, 3, 3, 1, 1, 4, 4, {{Z, Z, Z}, {Z, A, A}, {Z, A, A}}},
        {"clipped left", {{A, B, C}}, 2, 1, -1, 0, 3, 1, {{B, C}}},
        {"entirely outside", {{A}}, 2, 1, 5, 0, 1, 1, {{Z, Z}}},
        {"zero width", {{A}}, 2, 1, 0, 0, 0, 1, {{Z, Z}}},
        {"negative height", {{A}}, 2, 1, 0, 0, 2, -1, {{Z, Z}}},
        {"rows AND", {{E, A}, {B, E}}, 4, 1, 0, 0, 4, 1, {{E & B, E & B, A & E, A & E}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDibImage source, target;
        Fill24(source, c.source);
        ASSERT_TRUE(target.Create(c.targetW, c.targetH, 24));
        EXPECT_TRUE(
            source.StretchBlt(target, c.x, c.y, c.w, c.h, 0, 0, source.Width(), source.Height()));
        EXPECT_EQ(RowsOf(target), c.expected);
    }
    // A source block outside the source, or an empty image on either side, fails.
    CDibImage source, target, empty;
    Fill24(source, {{A, B}});
    ASSERT_TRUE(target.Create(2, 1, 24));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 1, 0, 2, 1));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 0, 0, 0, 1));
    EXPECT_FALSE(empty.StretchBlt(target, 0, 0, 2, 1, 0, 0, 1, 1));
    EXPECT_FALSE(source.StretchBlt(empty, 0, 0, 2, 1, 0, 0, 2, 1));
}

TEST(Stretch, SixteenBitPalettedAndAlphaSourcesAreTakenByTheirColours)
{
    CDibImage source, target, one;
    ASSERT_TRUE(source.Create(2, 1, 16));
    // 5-6-5: full red (0xF800), and red 0x10, green 0x20, blue 0x01.
    const quint16 words[2] = {0xF800, quint16((0x10 << 11) | (0x20 << 5) | 0x01)};
    source.SetBits(4, words);
    ASSERT_TRUE(target.Create(4, 1, 24));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 4, 1, 0, 0, 2, 1));
    // Widened by repeating the top bits: 0x10 -> 0x84, 6-bit 0x20 -> 0x82, 0x01 -> 0x08.
    EXPECT_EQ(RowsOf(target), (Rows{{0xFF0000, 0xFF0000, 0x848208, 0x848208}}));
    ASSERT_TRUE(one.Create(1, 1, 24));
    ASSERT_TRUE(source.StretchBlt(one, 0, 0, 1, 1, 0, 0, 2, 1)); // shrinking ANDs them
    EXPECT_EQ(RowsOf(one), (Rows{{0x840000}}));

    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("p.bmp"), makeBmp(2, 1, 8, {0x00F0F0F0, 0x000F0FFF},
                                                          {QByteArray("\x00\x01", 2)})));
    CDibImage paletted;
    ASSERT_TRUE(paletted.Load(dir.filePath("p.bmp")));
    ASSERT_TRUE(target.Create(3, 1, 24));
    ASSERT_TRUE(paletted.StretchBlt(target, 0, 0, 3, 1, 0, 0, 2, 1));
    EXPECT_EQ(RowsOf(target), (Rows{{A, A, B}}));
    ASSERT_TRUE(paletted.StretchBlt(target, 0, 0, 1, 1, 0, 0, 2, 1));
    EXPECT_EQ(RowsOf(target)[0][0], A & B);

    CDibImage alpha;
    ASSERT_TRUE(alpha.Create(1, 1, 32));
    const uchar pixel[4] = {0x30, 0x20, 0x10, 0x00}; // alpha byte 0: not blended
    alpha.SetBits(4, pixel);
    ASSERT_TRUE(alpha.BitBlt(target, 0, 0, 1, 1, 0, 0));
    EXPECT_EQ(RowsOf(target)[0][0], 0x102030u);
}

TEST(BitBlt, CopiesABlockClippedAtBothImages)
{
    CDibImage source, target, wide;
    Fill24(source, {{A, B, C}, {D, E, A}});
    ASSERT_TRUE(target.Create(3, 2, 24));
    // Source block starting left of the source: only columns 0..1 of the source exist for it.
    ASSERT_TRUE(source.BitBlt(target, 0, 0, 3, 2, -1, 0));
    EXPECT_EQ(RowsOf(target), (Rows{{Z, A, B}, {Z, D, E}}));
    ASSERT_TRUE(target.Create(3, 2, 24));
    ASSERT_TRUE(source.BitBlt(target, 2, 1, 3, 2, 0, 0));
    EXPECT_EQ(RowsOf(target), (Rows{{Z, Z, Z}, {Z, Z, A}}));
    ASSERT_TRUE(wide.Create(3, 2, 32)); // into a 32-bit target the colours convert
    ASSERT_TRUE(source.BitBlt(wide, 0, 0, 3, 2, 0, 0));
    EXPECT_EQ(RowsOf(wide), (Rows{{A, B, C}, {D, E, A}}));
}

// The screen file goldens pin 24- and 32-bit words; these are the bits they do not reach.
TEST(RegisterWord, PartialGreenOfSixteenBitsAndBitFifteen)
{
    // 5-6-5 little-endian: the lowest green bit is dropped, the next one kept.
    for (const auto& [low, word] :
         {std::pair<uchar, quint16>{0x20, 0}, {0x40, 0x20}, {0x1F, 0x1F}}) {
        const uchar pixel[2] = {low, 0};
        EXPECT_EQ(RgbToRegisterWord(pixel, 16), word) << int(low);
    }
    uchar bgr[3] = {1, 1, 1};
    RegisterWordToRgb(0xC041, bgr); // bit 15 is ignored, low bits cleared
    EXPECT_EQ(std::vector<uchar>(bgr, bgr + 3), (std::vector<uchar>{8, 16, 128}));
}

} // namespace
