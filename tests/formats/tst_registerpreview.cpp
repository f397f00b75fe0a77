// The register preview: the rendered screen taken through the register's 15-bit colours, keys
// and tables drawn on top at register resolution.
#include "formats/RegisterPreview.h"

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kW = 1024, kH = 768;

// A 1024 x 768 image of the depth whose every pixel is the raw bytes given.
void FillScreen(CDibImage& image, int bits, const std::vector<unsigned char>& pixel)
{
    ASSERT_TRUE(image.Create(kW, kH, bits));
    QByteArray raw;
    for (int i = 0; i < kW * kH; ++i)
        raw.append(reinterpret_cast<const char*>(pixel.data()), qsizetype(pixel.size()));
    ASSERT_EQ(image.RawSize(), raw.size());
    image.SetBits(raw.size(), raw.constData());
}

struct ColourCase
{
    const char* name;
    int bits;
    std::vector<unsigned char> raw; // one source pixel as stored
    QRgb expected;                  // worked out by hand from the pixel word rules
};

class RegisterColours : public ::testing::TestWithParam<ColourCase>
{};

TEST_P(RegisterColours, EveryPixelComesBackAsTheScreenFileDecodesIt)
{
    const ColourCase& c = GetParam();
    CDibImage screen;
    FillScreen(screen, c.bits, c.raw);
    const QImage picture = RegisterPreview::ThroughRegisterColours(screen);
    ASSERT_EQ(picture.size(), QSize(kW, kH));
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (picture.pixel(x, y) != c.expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex
                              << picture.pixel(x, y) << " instead of " << c.expected;
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    RegisterPreview, RegisterColours,
    ::testing::Values(
        // Blue, green, red: the low three bits of each channel are dropped, not repeated.
        ColourCase{"WhiteBecomes248", 24, {0xFF, 0xFF, 0xFF}, qRgb(248, 248, 248)},
        ColourCase{"SevenIsBlack", 24, {7, 7, 7}, qRgb(0, 0, 0)},
        ColourCase{"ChannelsKeepTheirPlaces", 24, {0x56, 0x34, 0x12}, qRgb(0x10, 0x30, 0x50)},
        ColourCase{"FourthByteSkipped", 32, {0x0F, 0xF0, 0x88, 0xAB}, qRgb(0x88, 0xF0, 0x08)},
        // 5-6-5 words, low byte first.
        ColourCase{"Rgb16Red", 16, {0x00, 0xF8}, qRgb(248, 0, 0)},
        ColourCase{"Rgb16Green", 16, {0xE0, 0x07}, qRgb(0, 248, 0)},
        ColourCase{"Rgb16Blue", 16, {0x1F, 0x00}, qRgb(0, 0, 248)},
        // 0x1234: red 0x10; green (4 + 0x240) & 0xF8 = 0x40; blue 0x1A0 & 0xFF = 0xA0.
        ColourCase{"Rgb16Mixed", 16, {0x34, 0x12}, qRgb(0x10, 0x40, 0xA0)}),
    [](const ::testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });

TEST(RegisterPreview, PixelsStayWhereTheyAre)
{
    CDibImage screen;
    FillScreen(screen, 24, {0, 0, 0});
    QByteArray raw(screen.RawSize(), '\0');
    const auto put = [&raw](int x, int y, char b, char g, char r) {
        const qsizetype at = (qsizetype(y) * kW + x) * 3;
        raw[at] = b;
        raw[at + 1] = g;
        raw[at + 2] = r;
    };
    put(kW - 1, 0, 0, 0, char(0xFF)); // top right red
    put(0, kH - 1, char(0xFF), 0, 0); // bottom left blue
    put(513, 384, 0, char(0xFF), 0);  // one right of the middle green
    screen.SetBits(raw.size(), raw.constData());
    const QImage picture = RegisterPreview::ThroughRegisterColours(screen);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixel(kW - 1, 0), qRgb(248, 0, 0));
    EXPECT_EQ(picture.pixel(0, kH - 1), qRgb(0, 0, 248));
    EXPECT_EQ(picture.pixel(513, 384), qRgb(0, 248, 0));
    EXPECT_EQ(picture.pixel(512, 384), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(RegisterPreview, OnlyTheRegisterScreenIsConverted)
{
    CDibImage empty;
    EXPECT_TRUE(RegisterPreview::ThroughRegisterColours(empty).isNull());
    CDibImage small;
    ASSERT_TRUE(small.Create(800, 600, 24));
    EXPECT_TRUE(RegisterPreview::ThroughRegisterColours(small).isNull());
}

// A design whose background and placed bitmap lose their low bits, with a key and a table that
// are drawn afterwards in their own full colours.
TEST(RegisterPreview, KeysAreDrawnOverTheConvertedPicture)
{
    CQXPanDocument design;
    ASSERT_TRUE(design.m_Background.Create(kW, kH, 24));
    {
        QByteArray raw; // blue, green, red of (0x12, 0x34, 0x56)
        for (int i = 0; i < kW * kH; ++i)
            raw.append(char(0x56)).append(char(0x34)).append(char(0x12));
        design.m_Background.SetBits(raw.size(), raw.constData());
    }
    CDibImage stamp;
    ASSERT_TRUE(stamp.Create(10, 10, 24));
    stamp.SetBits(300, QByteArray(300, char(0xFF)).constData());
    CQXPanBmpObj placed;
    placed.SetImage(&stamp);
    placed.SetRegisterRect({600, 500, 610, 510});
    design.AddBmpObj(placed);

    CQXPanKeyObj key;
    key.SetRegisterRect(100, 200, 300, 260);
    key.SetShape(1);
    key.SetTypeCode(45);
    key.SetFillColour(0x0000FFu, true); // red, as a colour reference holds it
    CQXPanKeyObj table;
    table.SetRegisterRect(400, 200, 500, 300);
    table.SetShape(2);
    table.SetTypeCode(93);
    table.SetFillColour(0xE6E6E6u, false);
    design.m_nKeyCapacity = 80;
    design.AddKeyObj(&key);
    design.AddKeyObj(&table);

    QImage preview;
    ASSERT_TRUE(RegisterPreview::Build(design, preview));
    ASSERT_EQ(preview.size(), QSize(kW, kH));
    EXPECT_EQ(preview.pixel(50, 50), qRgb(0x10, 0x30, 0x50));
    EXPECT_EQ(preview.pixel(605, 505), qRgb(248, 248, 248));
    EXPECT_EQ(preview.pixel(610, 505), qRgb(0x10, 0x30, 0x50));
    // The key's fill keeps its low bits; the outline covers left..right-1.
    EXPECT_EQ(preview.pixel(150, 205), qRgb(255, 0, 0));
    EXPECT_EQ(preview.pixel(100, 230), qRgb(0, 0, 0));
    EXPECT_EQ(preview.pixel(299, 230), qRgb(0, 0, 0));
    EXPECT_EQ(preview.pixel(300, 230), qRgb(0x10, 0x30, 0x50));
    // The round table: grey in its middle, its box corner left to the background.
    EXPECT_EQ(preview.pixel(450, 250), qRgb(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(preview.pixel(402, 202), qRgb(0x10, 0x30, 0x50));

    // Nothing in the design changed.
    EXPECT_EQ(design.m_KeyObjs.size(), 2);
    EXPECT_EQ(design.m_KeyObjs[0].RegisterRect(), (QXPanRect{100, 200, 300, 260}));
}

} // namespace
