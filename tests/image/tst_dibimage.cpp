#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include "TestBmp.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Raw = std::vector<uchar>;
using Rows = std::vector<std::vector<quint32>>;

Raw RawOf(const CDibImage& image)
{
    Raw raw(size_t(image.RawSize()), 0xAA);
    EXPECT_EQ(image.GetBits(image.RawSize(), raw.data()), image.RawSize());
    return raw;
}

// Writes a BMP into dir and loads it; the image is empty if that fails.
void LoadBmp(CDibImage& image, const QTemporaryDir& dir, const QByteArray& bmp)
{
    const QString path = dir.filePath(QStringLiteral("x.bmp"));
    ASSERT_TRUE(writeBytes(path, bmp));
    ASSERT_TRUE(image.Load(path));
}

// A 24-bit image from rows of 0xRRGGBB colours.
void Fill24(CDibImage& image, const Rows& rows)
{
    ASSERT_TRUE(image.Create(int(rows[0].size()), int(rows.size()), 24));
    Raw raw(size_t(image.RawSize()), 0);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[0].size(); ++x) {
            uchar* p = raw.data() + y * size_t(image.RawRowBytes()) + x * 3;
            p[0] = uchar(rows[y][x]);
            p[1] = uchar(rows[y][x] >> 8);
            p[2] = uchar(rows[y][x] >> 16);
        }
    }
    image.SetBits(qsizetype(raw.size()), raw.data());
}

Rows RowsOf(const CDibImage& image)
{
    Rows rows(size_t(image.Height()));
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x)
            rows[size_t(y)].push_back(image.Image().pixel(x, y) & 0xFFFFFFu);
    }
    return rows;
}

constexpr quint32 A = 0xF0F0F0, B = 0x0F0FFF, C = 0x3C3C3C, D = 0xFF00FF, E = 0x123456;
constexpr quint32 Z = 0x000000; // untouched target

TEST(DibImage, CreateGivesBlackImageOfRequestedDepthAndRefusesBadOnes)
{
    CDibImage image;
    EXPECT_TRUE(image.IsEmpty());
    for (int bits : {16, 24, 32}) {
        ASSERT_TRUE(image.Create(5, 3, bits)) << bits;
        EXPECT_EQ(image.Width(), 5);
        EXPECT_EQ(image.Height(), 3);
        EXPECT_EQ(image.BitsPerPixel(), bits);
        const Raw raw = RawOf(image);
        // Every colour byte is zero (the fourth byte of a 32-bit pixel is unused).
        for (size_t i = 0; i < raw.size(); ++i) {
            if (bits != 32 || i % 4 != 3) {
                ASSERT_EQ(raw[i], 0) << bits << " bits, byte " << i;
            }
        }
    }
    ASSERT_TRUE(image.Create(2, 2, 24));
    EXPECT_FALSE(image.Create(2, 2, 8));
    EXPECT_FALSE(image.Create(0, 2, 24));
    EXPECT_FALSE(image.Create(2, -1, 24));
    EXPECT_FALSE(image.Create(CDibImage::MaxDimension + 1, 1, 24));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    image.Destroy();
    EXPECT_TRUE(image.IsEmpty());
}

// Raw rows: top row first, rows padded to an even byte count; padding bytes read as zero.
TEST(DibImage, RawRowsArePaddedToEvenLengthAndRoundTrip)
{
    const struct
    {
        int width, bits;
        qsizetype rowBytes;
    } cases[] = {{3, 24, 10}, {3, 16, 6}, {3, 32, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        CDibImage image;
        ASSERT_TRUE(image.Create(c.width, 3, c.bits));
        ASSERT_EQ(image.RawRowBytes(), c.rowBytes);
        Raw in(size_t(image.RawSize()));
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = qsizetype(i % size_t(c.rowBytes)) < c.width * c.bits / 8 ? uchar(1 + i * 7) : 0;
        EXPECT_EQ(image.SetBits(qsizetype(in.size()), in.data()), qsizetype(in.size()));
        EXPECT_EQ(RawOf(image), in);
        if (c.bits == 24) { // the first row really is the top row
            EXPECT_EQ(image.Image().pixel(0, 0) & 0xFFFFFFu, qRgb(in[2], in[1], in[0]) & 0xFFFFFFu);
        }
    }
}

TEST(DibImage, PalettedBmpStaysPalettedAndDrawsInPaletteColours)
{
    QTemporaryDir dir;
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(200, 100, 50), qRgb(1, 2, 3),
                                       qRgb(255, 255, 255)};
    CDibImage image;
    LoadBmp(
        image, dir,
        makeBmp(3, 2, 8, palette, {QByteArray("\x01\x02\x03", 3), QByteArray("\x03\x00\x01", 3)}));
    EXPECT_EQ(image.BitsPerPixel(), 8);
    ASSERT_GE(image.ColorTable().size(), 4);
    EXPECT_EQ(image.ColorTable()[1], qRgb(200, 100, 50));
    EXPECT_EQ(RawOf(image), (Raw{1, 2, 3, 0, 3, 0, 1, 0}));

    CDibImage target;
    ASSERT_TRUE(target.Create(3, 2, 24));
    ASSERT_TRUE(image.BitBlt(target, 0, 0, 3, 2, 0, 0));
    EXPECT_EQ(RowsOf(target), (Rows{{0xC86432, 0x010203, 0xFFFFFF}, {0xFFFFFF, 0, 0xC86432}}));

    CDibImage mono;
    LoadBmp(mono, dir,
            makeBmp(10, 1, 1, {qRgb(10, 20, 30), qRgb(40, 50, 60)}, {QByteArray("\xA0\x40", 2)}));
    EXPECT_EQ(mono.BitsPerPixel(), 1);
    const Raw bits = RawOf(mono);
    ASSERT_EQ(bits.size(), 2u);
    EXPECT_EQ(bits[0], 0xA0);
    EXPECT_EQ(bits[1] & 0xC0, 0x40);
}

TEST(DibImage, TrueColourBmpsKeepTheirDepthAndColours)
{
    QTemporaryDir dir;
    CDibImage t24;
    LoadBmp(t24, dir,
            makeBmp(2, 2, 24, {},
                    {QByteArray("\x01\x02\x03\x04\x05\x06", 6),
                     QByteArray("\x07\x08\x09\x0A\x0B\x0C", 6)}));
    EXPECT_EQ(t24.BitsPerPixel(), 24);
    EXPECT_EQ(RawOf(t24), (Raw{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // 16 bits (5-5-5 in the file): red, white; 32 bits: blue, green (fourth byte unused).
    const struct
    {
        int bits;
        QByteArray row;
        quint16 words[2];
    } cases[] = {{16, QByteArray("\x00\x7C\xFF\x7F", 4), {0x7C00, 0x7FFF}},
                 {32, QByteArray("\xFF\x00\x00\x00\x00\xFF\x00\x00", 8), {0x001F, 0x03E0}}};
    for (const auto& c : cases) {
        CDibImage image;
        LoadBmp(image, dir, makeBmp(2, 1, c.bits, {}, {c.row}));
        ASSERT_EQ(image.BitsPerPixel(), c.bits);
        EXPECT_FALSE(image.HasAlpha());
        const Raw raw = RawOf(image);
        EXPECT_EQ(RgbToRegisterWord(raw.data(), c.bits), c.words[0]) << c.bits;
        EXPECT_EQ(RgbToRegisterWord(raw.data() + c.bits / 8, c.bits), c.words[1]) << c.bits;
    }
}

TEST(DibImage, FailedLoadLeavesTheImageAsItWas)
{
    QTemporaryDir dir;
    CDibImage image;
    ASSERT_TRUE(image.Create(4, 4, 24));
    const auto load = [&](const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("bad.bmp"));
        EXPECT_TRUE(writeBytes(path, bytes));
        return image.Load(path).code;
    };
    const FileResult missing = image.Load(dir.filePath("missing.bmp"));
    EXPECT_EQ(missing.code, CDibImage::LoadCannotOpen);
    EXPECT_EQ(missing.Text(), dir.filePath("missing.bmp") + ": No such file or directory");
    EXPECT_EQ(load(QByteArray()), CDibImage::LoadCannotDecode);
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) & 0xFF);
    EXPECT_EQ(load(garbage), CDibImage::LoadCannotDecode);
    const QByteArray bmp = makeBmp(2, 2, 24, {}, {QByteArray(6, '\0'), QByteArray(6, '\0')});
    EXPECT_NE(load(bmp.left(20)), CDibImage::LoadOk); // truncated header
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.BitsPerPixel(), 24);

    // 9000 x 9000 pixels claimed (243 MB as 24 bits), a few bytes present.
    QByteArray huge = makeBmp(1, 1, 24, {}, {QByteArray(3, '\0')}, 9000);
    huge[22] = char(9000 & 0xFF);
    huge[23] = char(9000 >> 8);
    CDibImage empty;
    ASSERT_TRUE(writeBytes(dir.filePath("h.bmp"), huge));
    EXPECT_EQ(empty.Load(dir.filePath("h.bmp")).code, CDibImage::LoadTooLarge);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(DibImage, SurfaceAcquisitionsNest)
{
    CDibImage image;
    EXPECT_EQ(image.AcquireSurface(), nullptr);
    ASSERT_TRUE(image.Create(4, 4, 24));
    QPainter* first = image.AcquireSurface();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(image.AcquireSurface(), first);
    EXPECT_EQ(image.SurfaceDepth(), 2);
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
    } cases[] = {{"one to one", {{A, B}, {C, D}}, 2, 2, 0, 0, 2, 2, {{A, B}, {C, D}}},
                 {"2 -> 5 repeats 0,0,0,1,1", {{A, B}}, 5, 1, 0, 0, 5, 1, {{A, A, A, B, B}}},
                 {"4 -> 2 ANDs pairs", {{A, B, C, D}}, 2, 1, 0, 0, 2, 1, {{A & B, C & D}}},
                 {"3 -> 2 takes [0,1) and [1,3)", {{A, B, C}}, 2, 1, 0, 0, 2, 1, {{A, B & C}}},
                 // Clipped: the mapping stays that of the full size.
                 {"clipped right/bottom",
                  {{A, B}, {C, D}},
                  3,
                  3,
                  1,
                  1,
                  4,
                  4,
                  {{Z, Z, Z}, {Z, A, A}, {Z, A, A}}},
                 {"clipped left", {{A, B, C}}, 2, 1, -1, 0, 3, 1, {{B, C}}},
                 {"entirely outside", {{A}}, 2, 1, 5, 0, 1, 1, {{Z, Z}}},
                 {"zero width", {{A}}, 2, 1, 0, 0, 0, 1, {{Z, Z}}},
                 {"negative height", {{A}}, 2, 1, 0, 0, 2, -1, {{Z, Z}}},
                 {"rows AND, columns repeat",
                  {{E, A}, {B, E}},
                  4,
                  1,
                  0,
                  0,
                  4,
                  1,
                  {{E & B, E & B, A & E, A & E}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDibImage source, target;
        Fill24(source, c.source);
        ASSERT_TRUE(target.Create(c.targetW, c.targetH, 24));
        EXPECT_TRUE(
            source.StretchBlt(target, c.x, c.y, c.w, c.h, 0, 0, source.Width(), source.Height()));
        EXPECT_EQ(RowsOf(target), c.expected);
    }
}

TEST(Stretch, SixteenBitChannelsAreWidenedByReplication)
{
    CDibImage source;
    ASSERT_TRUE(source.Create(2, 1, 16));
    // 5-6-5: full red (0xF800), and red 0x10, green 0x20, blue 0x01.
    const quint16 words[2] = {0xF800, quint16((0x10 << 11) | (0x20 << 5) | 0x01)};
    source.SetBits(4, words);
    CDibImage target, one;
    ASSERT_TRUE(target.Create(4, 1, 24));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 4, 1, 0, 0, 2, 1));
    // 0x10 -> 0x84, 6-bit 0x20 -> 0x82, 0x01 -> 0x08.
    EXPECT_EQ(RowsOf(target), (Rows{{0xFF0000, 0xFF0000, 0x848208, 0x848208}}));
    ASSERT_TRUE(one.Create(1, 1, 24));
    ASSERT_TRUE(source.StretchBlt(one, 0, 0, 1, 1, 0, 0, 2, 1)); // shrinking ANDs them
    EXPECT_EQ(RowsOf(one), (Rows{{0x840000}}));
}

TEST(Stretch, PalettedAndAlphaSources)
{
    QTemporaryDir dir;
    CDibImage source, target;
    LoadBmp(source, dir, makeBmp(2, 1, 8, {0x00F0F0F0, 0x000F0FFF}, {QByteArray("\x00\x01", 2)}));
    ASSERT_TRUE(target.Create(3, 1, 24));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 3, 1, 0, 0, 2, 1));
    EXPECT_EQ(RowsOf(target), (Rows{{A, A, B}}));
    ASSERT_TRUE(source.StretchBlt(target, 0, 0, 1, 1, 0, 0, 2, 1));
    EXPECT_EQ(RowsOf(target)[0][0], A & B);

    CDibImage alpha;
    ASSERT_TRUE(alpha.Create(1, 1, 32));
    const uchar pixel[4] = {0x30, 0x20, 0x10, 0x00}; // alpha byte 0: not blended
    alpha.SetBits(4, pixel);
    ASSERT_TRUE(alpha.BitBlt(target, 0, 0, 1, 1, 0, 0));
    EXPECT_EQ(RowsOf(target)[0][0], 0x102030u);
}

TEST(Stretch, SourceBlockOutsideTheSourceFails)
{
    CDibImage source, target, empty;
    Fill24(source, {{A, B}});
    ASSERT_TRUE(target.Create(2, 1, 24));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 1, 0, 2, 1));
    EXPECT_FALSE(source.StretchBlt(target, 0, 0, 2, 1, 0, 0, 0, 1));
    EXPECT_FALSE(empty.StretchBlt(target, 0, 0, 2, 1, 0, 0, 1, 1));
    EXPECT_FALSE(source.StretchBlt(empty, 0, 0, 2, 1, 0, 0, 2, 1));
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

// Whole words are pinned by the screen file goldens; these are the bits those do not reach.
TEST(RegisterWord, PartialChannelsOfEveryDepth)
{
    const struct
    {
        int bits;
        Raw pixel;
        quint16 word;
    } cases[] = {{24, {7, 7, 7}, 0x0000},
                 {24, {8, 16, 128}, 0x4041},
                 {32, {0x10, 0x20, 0x30, 0xFF}, 0x1882},
                 // 5-6-5 little-endian: the lowest green bit is dropped, the next one kept.
                 {16, {0x20, 0x00}, 0x0000},
                 {16, {0x40, 0x00}, 0x0020},
                 {16, {0x1F, 0x00}, 0x001F}};
    for (const auto& c : cases)
        EXPECT_EQ(RgbToRegisterWord(c.pixel.data(), c.bits), c.word) << c.bits << " " << c.word;
    Raw bgr{1, 1, 1};
    RegisterWordToRgb(0xC041, bgr.data()); // bit 15 is ignored, low bits cleared
    EXPECT_EQ(bgr, (Raw{8, 16, 128}));
}

} // namespace
