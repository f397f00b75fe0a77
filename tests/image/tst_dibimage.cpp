#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include "TestBmp.h"

#include <QByteArray>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

std::array<uchar, 3> pixelBgr(const CDibImage& image, int x, int y)
{
    std::vector<uchar> raw(size_t(image.RawSize()));
    image.GetBits(image.RawSize(), raw.data());
    const size_t at = size_t(y) * size_t(image.RawRowBytes()) + size_t(x) * 3;
    return {raw[at], raw[at + 1], raw[at + 2]};
}

using Bgr = std::array<uchar, 3>;

} // namespace

TEST(DibImage, CreateGivesBlackImageOfRequestedDepth)
{
    CDibImage image;
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.BitsPerPixel(), 0);
    for (int bits : {16, 24, 32}) {
        ASSERT_TRUE(image.Create(5, 3, bits)) << bits;
        EXPECT_FALSE(image.IsEmpty());
        EXPECT_EQ(image.Width(), 5);
        EXPECT_EQ(image.Height(), 3);
        EXPECT_EQ(image.BitsPerPixel(), bits);
        std::vector<uchar> raw(size_t(image.RawSize()), 0xAA);
        EXPECT_EQ(image.GetBits(image.RawSize(), raw.data()), image.RawSize());
        // Every colour byte is zero (the fourth byte of a 32-bit pixel is unused).
        for (size_t i = 0; i < raw.size(); ++i) {
            if (bits != 32 || i % 4 != 3) {
                ASSERT_EQ(raw[i], 0) << bits << " bits, byte " << i;
            }
        }
    }
    image.Destroy();
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Width(), 0);
}

TEST(DibImage, CreateRefusesBadDepthsAndSizesAndKeepsTheOldImage)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(2, 2, 24));
    EXPECT_FALSE(image.Create(2, 2, 8));
    EXPECT_FALSE(image.Create(0, 2, 24));
    EXPECT_FALSE(image.Create(2, -1, 24));
    EXPECT_FALSE(image.Create(CDibImage::MaxDimension + 1, 1, 24));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.BitsPerPixel(), 24);
}

// Raw rows: top row first, rows padded to an even byte count; padding bytes read as zero.
struct RawLayoutCase
{
    int width;
    int bits;
    qsizetype rowBytes;
};

class DibRawLayout : public ::testing::TestWithParam<RawLayoutCase>
{};

TEST_P(DibRawLayout, RowsArePaddedToEvenLengthAndRoundTrip)
{
    const RawLayoutCase c = GetParam();
    CDibImage image;
    ASSERT_TRUE(image.Create(c.width, 3, c.bits));
    ASSERT_EQ(image.RawRowBytes(), c.rowBytes);
    const qsizetype used = c.width * c.bits / 8;
    std::vector<uchar> in(size_t(image.RawSize()));
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = qsizetype(i % size_t(c.rowBytes)) < used ? uchar(1 + i * 7) : uchar(0);
    EXPECT_EQ(image.SetBits(qsizetype(in.size()), in.data()), qsizetype(in.size()));
    std::vector<uchar> out(in.size(), 0xEE);
    EXPECT_EQ(image.GetBits(qsizetype(out.size()), out.data()), qsizetype(out.size()));
    EXPECT_EQ(out, in);
    // The first row really is the top row.
    if (c.bits == 24) {
        const QRgb top = image.Image().pixel(0, 0);
        EXPECT_EQ(qBlue(top), in[0]);
        EXPECT_EQ(qGreen(top), in[1]);
        EXPECT_EQ(qRed(top), in[2]);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DibRawLayout,
                         ::testing::Values(RawLayoutCase{1024, 24, 3072}, RawLayoutCase{3, 24, 10},
                                           RawLayoutCase{5, 24, 16}, RawLayoutCase{3, 16, 6},
                                           RawLayoutCase{3, 32, 12}));

TEST(DibImage, PalettedBmpStaysPalettedAndDrawsInPaletteColours)
{
    QTemporaryDir dir;
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(200, 100, 50), qRgb(1, 2, 3),
                                       qRgb(255, 255, 255)};
    const QString path = writeFile(
        dir, "p8.bmp",
        makeBmp(3, 2, 8, palette, {QByteArray("\x01\x02\x03", 3), QByteArray("\x03\x00\x01", 3)}));
    CDibImage image;
    ASSERT_EQ(image.Load(path), CDibImage::LoadOk);
    EXPECT_EQ(image.BitsPerPixel(), 8);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    ASSERT_GE(image.ColorTable().size(), 4);
    EXPECT_EQ(image.ColorTable()[1], qRgb(200, 100, 50));
    EXPECT_EQ(image.RawRowBytes(), 4);
    std::vector<uchar> raw(8);
    image.GetBits(8, raw.data());
    EXPECT_EQ(raw, (std::vector<uchar>{1, 2, 3, 0, 3, 0, 1, 0}));

    CDibImage target;
    ASSERT_TRUE(target.Create(3, 2, 24));
    ASSERT_TRUE(image.BitBlt(target, 0, 0, 3, 2, 0, 0));
    EXPECT_EQ(pixelBgr(target, 0, 0), (Bgr{50, 100, 200}));
    EXPECT_EQ(pixelBgr(target, 2, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(pixelBgr(target, 1, 1), (Bgr{0, 0, 0}));
}

TEST(DibImage, OneBitBmpKeepsItsColourTable)
{
    QTemporaryDir dir;
    const QString path = writeFile(
        dir, "p1.bmp",
        makeBmp(10, 1, 1, {qRgb(10, 20, 30), qRgb(40, 50, 60)}, {QByteArray("\xA0\x40", 2)}));
    CDibImage image;
    ASSERT_EQ(image.Load(path), CDibImage::LoadOk);
    EXPECT_EQ(image.BitsPerPixel(), 1);
    EXPECT_EQ(image.RawRowBytes(), 2);
    std::vector<uchar> raw(2);
    image.GetBits(2, raw.data());
    EXPECT_EQ(raw[0], 0xA0);
    EXPECT_EQ(raw[1] & 0xC0, 0x40);
}

TEST(DibImage, TrueColourBmpKeepsItsDepth)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "t24.bmp",
                                   makeBmp(2, 2, 24, {},
                                           {QByteArray("\x01\x02\x03\x04\x05\x06", 6),
                                            QByteArray("\x07\x08\x09\x0A\x0B\x0C", 6)}));
    CDibImage image;
    ASSERT_EQ(image.Load(path), CDibImage::LoadOk);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    std::vector<uchar> raw(size_t(image.RawSize()));
    image.GetBits(image.RawSize(), raw.data());
    EXPECT_EQ(raw, (std::vector<uchar>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(DibImage, OtherTrueColourDepthsKeepTheirDepthAndColours)
{
    QTemporaryDir dir;
    // 16 bits (5-5-5 in the file): red, white; 32 bits: blue, green (fourth byte unused).
    const QString p16 =
        writeFile(dir, "t16.bmp", makeBmp(2, 1, 16, {}, {QByteArray("\x00\x7C\xFF\x7F", 4)}));
    const QString p32 = writeFile(
        dir, "t32.bmp", makeBmp(2, 1, 32, {}, {QByteArray("\xFF\x00\x00\x00\x00\xFF\x00\x00", 8)}));
    const struct
    {
        QString path;
        int bits;
        quint16 words[2];
    } cases[] = {{p16, 16, {0x7C00, 0x7FFF}}, {p32, 32, {0x001F, 0x03E0}}};
    for (const auto& c : cases) {
        CDibImage image;
        ASSERT_EQ(image.Load(c.path), CDibImage::LoadOk) << c.bits;
        ASSERT_EQ(image.BitsPerPixel(), c.bits);
        EXPECT_FALSE(image.HasAlpha());
        std::vector<uchar> raw(size_t(image.RawSize()));
        image.GetBits(image.RawSize(), raw.data());
        EXPECT_EQ(RgbToRegisterWord(raw.data(), c.bits), c.words[0]) << c.bits;
        EXPECT_EQ(RgbToRegisterWord(raw.data() + c.bits / 8, c.bits), c.words[1]) << c.bits;
    }
}

TEST(DibImage, FailedLoadLeavesTheImageAsItWas)
{
    QTemporaryDir dir;
    CDibImage image;
    ASSERT_TRUE(image.Create(4, 4, 24));
    EXPECT_EQ(image.Load(dir.filePath("missing.bmp")), CDibImage::LoadCannotOpen);
    EXPECT_EQ(image.Load(writeFile(dir, "empty.bmp", QByteArray())), CDibImage::LoadCannotDecode);
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) & 0xFF);
    EXPECT_EQ(image.Load(writeFile(dir, "garbage.bmp", garbage)), CDibImage::LoadCannotDecode);
    // A truncated header.
    QByteArray bmp = makeBmp(2, 2, 24, {}, {QByteArray(6, '\0'), QByteArray(6, '\0')});
    EXPECT_NE(image.Load(writeFile(dir, "cut.bmp", bmp.left(20))), CDibImage::LoadOk);
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.BitsPerPixel(), 24);
}

TEST(DibImage, AbsurdClaimedSizeIsRefusedWithoutAllocating)
{
    QTemporaryDir dir;
    // 9000 x 9000 pixels claimed (243 MB as 24 bits), a few bytes present.
    QByteArray patched = makeBmp(1, 1, 24, {}, {QByteArray(3, '\0')}, 9000);
    patched[22] = char(9000 & 0xFF);
    patched[23] = char(9000 >> 8);
    CDibImage image;
    EXPECT_EQ(image.Load(writeFile(dir, "huge.bmp", patched)), CDibImage::LoadTooLarge);
    EXPECT_TRUE(image.IsEmpty());
}

TEST(DibImage, SurfaceAcquisitionsNest)
{
    CDibImage image;
    EXPECT_EQ(image.AcquireSurface(), nullptr);
    ASSERT_TRUE(image.Create(4, 4, 24));
    QPainter* first = image.AcquireSurface();
    ASSERT_NE(first, nullptr);
    QPainter* second = image.AcquireSurface();
    EXPECT_EQ(first, second);
    EXPECT_EQ(image.SurfaceDepth(), 2);
    image.ReleaseSurface();
    EXPECT_TRUE(first->isActive());
    first->fillRect(0, 0, 1, 1, QColor(8, 16, 24));
    image.ReleaseSurface();
    EXPECT_EQ(image.SurfaceDepth(), 0);
    EXPECT_EQ(pixelBgr(image, 0, 0), (Bgr{24, 16, 8}));
    image.ReleaseSurface(); // one too many is harmless
    EXPECT_EQ(image.SurfaceDepth(), 0);
}
