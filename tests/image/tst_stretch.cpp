#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include "TestBmp.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 24-bit image from rows of 0xRRGGBB colours.
void fill24(CDibImage& image, const std::vector<std::vector<quint32>>& rows)
{
    const int h = int(rows.size());
    const int w = int(rows[0].size());
    ASSERT_TRUE(image.Create(w, h, 24));
    std::vector<unsigned char> raw(size_t(image.RawSize()), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned char* p = raw.data() + y * image.RawRowBytes() + x * 3;
            p[0] = uchar(rows[y][x]);
            p[1] = uchar(rows[y][x] >> 8);
            p[2] = uchar(rows[y][x] >> 16);
        }
    }
    image.SetBits(qsizetype(raw.size()), raw.data());
}

std::vector<std::vector<quint32>> rowsOf(const CDibImage& image)
{
    std::vector<std::vector<quint32>> rows;
    for (int y = 0; y < image.Height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < image.Width(); ++x)
            rows.back().push_back(image.Image().pixel(x, y) & 0xFFFFFFu);
    }
    return rows;
}

using Rows = std::vector<std::vector<quint32>>;

constexpr quint32 A = 0xF0F0F0, B = 0x0F0FFF, C = 0x3C3C3C, D = 0xFF00FF, E = 0x123456;
constexpr quint32 Z = 0x000000; // untouched target

struct StretchCase
{
    const char* name;
    Rows source;
    int targetW, targetH;
    int x, y, w, h;
    Rows expected;
};

std::ostream& operator<<(std::ostream& os, const StretchCase& c)
{
    return os << c.name;
}

class Stretch : public ::testing::TestWithParam<StretchCase>
{};

TEST_P(Stretch, FollowsTheRegisterRule)
{
    const StretchCase& c = GetParam();
    CDibImage source;
    fill24(source, c.source);
    CDibImage target;
    ASSERT_TRUE(target.Create(c.targetW, c.targetH, 24));
    EXPECT_TRUE(
        source.StretchBlt(target, c.x, c.y, c.w, c.h, 0, 0, source.Width(), source.Height()));
    EXPECT_EQ(rowsOf(target), c.expected);
}

// Columns of a stretch from sw to w: dx takes [floor(dx*sw/w), floor((dx+1)*sw/w)), or the
// single column floor(dx*sw/w) when that is empty; the pixel is the AND of its block.
INSTANTIATE_TEST_SUITE_P(
    Cases, Stretch,
    ::testing::Values(
        StretchCase{"OneToOne", {{A, B}, {C, D}}, 2, 2, 0, 0, 2, 2, {{A, B}, {C, D}}},
        // 2 -> 5: columns 0,0,0,1,1.
        StretchCase{"EnlargeRepeats", {{A, B}}, 5, 1, 0, 0, 5, 1, {{A, A, A, B, B}}},
        // 1 -> 3 rows.
        StretchCase{"EnlargeRows", {{A}, {B}}, 1, 3, 0, 0, 1, 3, {{A}, {A}, {B}}},
        // 4 -> 2: blocks {0,1} and {2,3}.
        StretchCase{"ShrinkAnds", {{A, B, C, D}}, 2, 1, 0, 0, 2, 1, {{A & B, C& D}}},
        // 3 -> 2: dx 0 takes [0,1), dx 1 takes [1,3).
        StretchCase{"ShrinkUneven", {{A, B, C}}, 2, 1, 0, 0, 2, 1, {{A, B& C}}},
        StretchCase{"ShrinkBothAxes", {{A, B}, {C, D}}, 1, 1, 0, 0, 1, 1, {{A & B & C & D}}},
        // Clipped at the right and bottom edges: the mapping stays that of the full size.
        StretchCase{"ClippedRightBottom",
                    {{A, B}, {C, D}},
                    3,
                    3,
                    1,
                    1,
                    4,
                    4,
                    {{Z, Z, Z}, {Z, A, A}, {Z, A, A}}},
        // Clipped at the left and top edges.
        StretchCase{"ClippedLeftTop", {{A, B, C}}, 2, 1, -1, 0, 3, 1, {{B, C}}},
        StretchCase{"EntirelyOutside", {{A}}, 2, 1, 5, 0, 1, 1, {{Z, Z}}},
        StretchCase{"ZeroWidthDrawsNothing", {{A}}, 2, 1, 0, 0, 0, 1, {{Z, Z}}},
        StretchCase{"NegativeHeightDrawsNothing", {{A}}, 2, 1, 0, 0, 2, -1, {{Z, Z}}},
        // Rows 2 -> 1 are ANDed while columns 2 -> 4 repeat.
        StretchCase{"ShrinkRowsEnlargeColumns",
                    {{E, A}, {B, E}},
                    4,
                    1,
                    0,
                    0,
                    4,
                    1,
                    {{E & B, E& B, A& E, A& E}}}));

TEST(StretchSources, SixteenBitChannelsAreWidenedByReplication)
{
    CDibImage source;
    ASSERT_TRUE(source.Create(2, 1, 16));
    // 5-6-5: full red (0xF800), and red 0x10, green 0x20, blue 0x01.
    const quint16 words[2] = {0xF800, quint16((0x10 << 11) | (0x20 << 5) | 0x01)};
    source.SetBits(4, words);
    CDibImage target;
    ASSERT_TRUE(target.Create(4, 1, 24));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 4, 1, 0, 0, 2, 1));
    // 0x10 -> 0x84, 6-bit 0x20 -> 0x82, 0x01 -> 0x08.
    EXPECT_EQ(rowsOf(target), (Rows{{0xFF0000, 0xFF0000, 0x848208, 0x848208}}));
    // Shrinking ANDs the widened colours.
    CDibImage one;
    ASSERT_TRUE(one.Create(1, 1, 24));
    ASSERT_TRUE(source.StretchBlt(one, 0, 0, 1, 1, 0, 0, 2, 1));
    EXPECT_EQ(rowsOf(one), (Rows{{0x840000}}));
}

TEST(StretchSources, PalettedSourceUsesItsColours)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.bmp");
    ASSERT_TRUE(
        writeBytes(path, makeBmp(2, 1, 8, {0x00F0F0F0, 0x000F0FFF}, {QByteArray("\x00\x01", 2)})));
    CDibImage source;
    ASSERT_EQ(source.Load(path), CDibImage::LoadOk);
    ASSERT_EQ(source.BitsPerPixel(), 8);
    CDibImage target;
    ASSERT_TRUE(target.Create(3, 1, 24));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 3, 1, 0, 0, 2, 1));
    EXPECT_EQ(rowsOf(target), (Rows{{A, A, B}}));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 1, 1, 0, 0, 2, 1));
    EXPECT_EQ(rowsOf(target)[0][0], A & B);
}

TEST(StretchSources, ThirtyTwoBitAlphaIsNotBlended)
{
    CDibImage source;
    ASSERT_TRUE(source.Create(1, 1, 32));
    const unsigned char pixel[4] = {0x30, 0x20, 0x10, 0x00}; // alpha byte 0
    source.SetBits(4, pixel);
    CDibImage target;
    ASSERT_TRUE(target.Create(1, 1, 24));
    ASSERT_TRUE(source.BitBlt(target, 0, 0, 1, 1, 0, 0));
    EXPECT_EQ(rowsOf(target), (Rows{{0x102030}}));
}

TEST(StretchSources, SourceBlockOutsideTheSourceFails)
{
    CDibImage source;
    fill24(source, {{A, B}});
    CDibImage target;
    ASSERT_TRUE(target.Create(2, 1, 24));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 1, 0, 2, 1));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 0, 0, 0, 1));
    CDibImage empty;
    EXPECT_FALSE(empty.StretchBlt(target, 0, 0, 2, 1, 0, 0, 1, 1));
    EXPECT_FALSE(source.StretchBlt(empty, 0, 0, 2, 1, 0, 0, 2, 1));
}

TEST(BitBlt, CopiesABlockClippedAtBothImages)
{
    CDibImage source;
    fill24(source, {{A, B, C}, {D, E, A}});
    CDibImage target;
    ASSERT_TRUE(target.Create(3, 2, 24));
    // Source block starting left of the source: only columns 0..1 of the source exist for it.
    ASSERT_TRUE(source.BitBlt(target, 0, 0, 3, 2, -1, 0));
    EXPECT_EQ(rowsOf(target), (Rows{{Z, A, B}, {Z, D, E}}));
    ASSERT_TRUE(target.Create(3, 2, 24));
    ASSERT_TRUE(source.BitBlt(target, 2, 1, 3, 2, 0, 0));
    EXPECT_EQ(rowsOf(target), (Rows{{Z, Z, Z}, {Z, Z, A}}));
    // Into a 32-bit target the colours convert.
    CDibImage wide;
    ASSERT_TRUE(wide.Create(3, 2, 32));
    ASSERT_TRUE(source.BitBlt(wide, 0, 0, 3, 2, 0, 0));
    EXPECT_EQ(rowsOf(wide), (Rows{{A, B, C}, {D, E, A}}));
}

// Register pixel words from raw pixels of every depth.
struct WordCase
{
    int bits;
    std::vector<unsigned char> pixel;
    quint16 word;
};

class RegisterWord : public ::testing::TestWithParam<WordCase>
{};

TEST_P(RegisterWord, FromRawPixel)
{
    const WordCase& c = GetParam();
    EXPECT_EQ(RgbToRegisterWord(c.pixel.data(), c.bits), c.word);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, RegisterWord,
    ::testing::Values(WordCase{24, {0, 0, 0}, 0x0000}, WordCase{24, {255, 255, 255}, 0x7FFF},
                      WordCase{24, {0, 0, 255}, 0x7C00}, WordCase{24, {0, 255, 0}, 0x03E0},
                      WordCase{24, {255, 0, 0}, 0x001F}, WordCase{24, {7, 7, 7}, 0x0000},
                      WordCase{24, {8, 16, 128}, 0x4041}, WordCase{32, {255, 255, 255, 0}, 0x7FFF},
                      WordCase{32, {0x10, 0x20, 0x30, 0xFF}, 0x1882},
                      // 5-6-5 little-endian: white, red, green, blue, the lowest green bit.
                      WordCase{16, {0xFF, 0xFF}, 0x7FFF}, WordCase{16, {0x00, 0xF8}, 0x7C00},
                      WordCase{16, {0xE0, 0x07}, 0x03E0}, WordCase{16, {0x1F, 0x00}, 0x001F},
                      WordCase{16, {0x20, 0x00}, 0x0000}, WordCase{16, {0x40, 0x00}, 0x0020}));

TEST(RegisterWordToRgb, ClearsLowBitsAndIgnoresBit15)
{
    const struct
    {
        quint16 word;
        unsigned char b, g, r;
    } cases[] = {{0x7FFF, 248, 248, 248}, {0xFFFF, 248, 248, 248}, {0x0000, 0, 0, 0},
                 {0x7C00, 0, 0, 248},     {0x03E0, 0, 248, 0},     {0x001F, 248, 0, 0},
                 {0x4041, 8, 16, 128}};
    for (const auto& c : cases) {
        unsigned char bgr[3] = {1, 1, 1};
        RegisterWordToRgb(c.word, bgr);
        EXPECT_EQ(bgr[0], c.b) << c.word;
        EXPECT_EQ(bgr[1], c.g) << c.word;
        EXPECT_EQ(bgr[2], c.r) << c.word;
    }
}

} // namespace
