#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <gtest/gtest.h>

#include <array>

namespace {

enum class Axis
{
    RegisterToDesignX,
    DesignToRegisterX,
    RegisterToDesignY,
    DesignToRegisterY
};

struct ConversionCase
{
    Axis axis;
    int value;
    int expected;
};

class Conversion : public ::testing::TestWithParam<ConversionCase>
{};

TEST_P(Conversion, RoundsHalfUp)
{
    ScreenScale s;
    s.Compute();
    const int v = GetParam().value;
    const int results[] = {s.RegisterToDesignX(v), s.DesignToRegisterX(v), s.RegisterToDesignY(v),
                           s.DesignToRegisterY(v)};
    EXPECT_EQ(results[int(GetParam().axis)], GetParam().expected);
}

constexpr Axis RX = Axis::RegisterToDesignX, DX = Axis::DesignToRegisterX,
               RY = Axis::RegisterToDesignY, DY = Axis::DesignToRegisterY;

// Worked by hand, e.g. 1023*800 = 799*1024 + 224 (no round-up); 2*800 = 1*1024 + 576 (>= 512);
// 799*1024 = 1022*800 + 576 (>= 400); 2*1024 = 2*800 + 448 (>= 400); -2*800 = -1*1024 - 576.
INSTANTIATE_TEST_SUITE_P(Cases, Conversion,
                         ::testing::Values(ConversionCase{RX, 1023, 799}, ConversionCase{RX, 2, 2},
                                           ConversionCase{RX, 1024, 800},
                                           ConversionCase{RX, 640, 500}, ConversionCase{RX, 1, 1},
                                           ConversionCase{RX, -2, -1}, ConversionCase{RX, -1, 0},
                                           ConversionCase{DX, 799, 1023}, ConversionCase{DX, 2, 3},
                                           ConversionCase{DX, 800, 1024}, ConversionCase{DX, 1, 1},
                                           ConversionCase{DX, -1, -1}, ConversionCase{RY, 767, 599},
                                           ConversionCase{RY, 5, 4}, ConversionCase{RY, 2, 2},
                                           ConversionCase{DY, 599, 767}, ConversionCase{DY, 3, 4},
                                           ConversionCase{DY, 1, 1}));

struct NumberCase
{
    quint32 n;
    std::array<quint8, 3> bytes;
    int readBack;
};

class PackedNumber : public ::testing::TestWithParam<NumberCase>
{};

TEST_P(PackedNumber, EncodesLastSixDigits)
{
    CQXPanKeyObj obj;
    obj.SetNumber(GetParam().n);
    EXPECT_EQ(obj.m_Record.bytes[17], GetParam().bytes[0]);
    EXPECT_EQ(obj.m_Record.bytes[18], GetParam().bytes[1]);
    EXPECT_EQ(obj.m_Record.bytes[19], GetParam().bytes[2]);
    EXPECT_EQ(obj.GetNumber(), GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackedNumber,
    ::testing::Values(NumberCase{123456, {0x12, 0x34, 0x56}, 123456},
                      NumberCase{42, {0x00, 0x00, 0x42}, 42}, NumberCase{0, {0, 0, 0}, 0},
                      NumberCase{1234567, {0x23, 0x45, 0x67}, 234567},
                      NumberCase{999999, {0x99, 0x99, 0x99}, 999999},
                      NumberCase{100, {0x00, 0x01, 0x00}, 100},
                      NumberCase{10000, {0x01, 0x00, 0x00}, 10000},
                      // A multiple of a million keeps nothing of its six low digits.
                      NumberCase{3000000, {0x00, 0x00, 0x00}, 0}));

TEST(PackedNumber, NibblesAboveNineAreDecodedByPlaceValue)
{
    CQXPanKeyObj obj;
    obj.m_Record.bytes[17] = 0x0F;
    obj.m_Record.bytes[18] = 0xA0;
    obj.m_Record.bytes[19] = 0x01;
    EXPECT_EQ(obj.GetNumber(), 10000 * 15 + 1000 * 10 + 1);
}

TEST(KeyText, KeepsFirstTwentyCharactersPaddedWithBlanks)
{
    CQXPanKeyObj obj;
    obj.SetText1(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
    const QByteArray field(reinterpret_cast<const char*>(obj.m_Record.data()) + 21, 20);
    EXPECT_EQ(field, QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(obj.GetText1(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));

    obj.SetText2(QStringLiteral("  Hi"));
    const QByteArray field2(reinterpret_cast<const char*>(obj.m_Record.data()) + 42, 20);
    EXPECT_EQ(field2, QByteArray("  Hi                "));
    int length = -1;
    EXPECT_EQ(obj.GetText2(&length), QStringLiteral("Hi"));
    EXPECT_EQ(length, 2);
    // Neighbouring bytes 20 and 41 are not touched.
    EXPECT_EQ(obj.m_Record.bytes[20], 0);
    EXPECT_EQ(obj.m_Record.bytes[41], 0);
}

TEST(KeyText, BlankAndZeroFieldsReadAsEmpty)
{
    CQXPanKeyObj obj;
    int length = -1;
    EXPECT_EQ(obj.GetText1(&length), QString()); // all zero: the first NUL ends it
    EXPECT_EQ(length, 0);
    obj.SetText1(QString());
    EXPECT_EQ(obj.GetText1(&length), QString());
    EXPECT_EQ(length, 0);
}

TEST(KeyText, NulEndsTheTextBeforeTrimming)
{
    CQXPanKeyObj obj;
    obj.SetText1(QStringLiteral(" AB CD  "));
    obj.m_Record.bytes[21 + 3] = 0; // " AB\0CD  ..."
    EXPECT_EQ(obj.GetText1(), QStringLiteral("AB"));
}

TEST(KeyText, StoresLatin1BytesAndQuestionMarksBeyond)
{
    CQXPanKeyObj obj;
    // e-acute is Latin-1 (0xE9); the euro sign and a character beyond the BMP are not, and the
    // latter counts as one character although it takes two UTF-16 units.
    obj.SetText1(QStringLiteral("caf\u00e9 \u20acx") + QString::fromUcs4(U"\U0001F600") +
                 QStringLiteral("!"));
    const QByteArray field(reinterpret_cast<const char*>(obj.m_Record.data()) + 21, 10);
    EXPECT_EQ(field, QByteArray("caf\xE9 ?x?! "));
    EXPECT_EQ(obj.GetText1(), QStringLiteral("caf\u00e9 ?x?!"));
}

struct RegisterRectCase
{
    QXPanRect in;
    QXPanRect stored;
};

class KeyRegisterRect : public ::testing::TestWithParam<RegisterRectCase>
{};

TEST_P(KeyRegisterRect, ClampsToTheScreen)
{
    CQXPanKeyObj obj;
    const QXPanRect& in = GetParam().in;
    obj.SetRegisterRect(in.left, in.top, in.right, in.bottom);
    EXPECT_EQ(obj.RegisterRect(), GetParam().stored);
    ScreenScale s;
    s.Compute();
    EXPECT_EQ(obj.DisplayRect(), s.RegisterToDesign(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyRegisterRect,
    ::testing::Values(RegisterRectCase{{10, 20, 2000, 100}, {10, 20, 1023, 100}},
                      RegisterRectCase{{-5, -1, 1024, 768}, {0, 0, 1023, 767}},
                      RegisterRectCase{{0, 0, 1023, 767}, {0, 0, 1023, 767}},
                      RegisterRectCase{{100, 200, 300, 400}, {100, 200, 300, 400}}));

TEST(KeyDisplayRect, UnchangedRectangleReportsNoChange)
{
    CQXPanKeyObj obj;
    ASSERT_TRUE(obj.SetDisplayRect(100, 50, 200, 150));
    const ScreenObjectRecord before = obj.m_Record;
    EXPECT_FALSE(obj.SetDisplayRect(100, 50, 200, 150));
    EXPECT_EQ(obj.m_Record, before);
}

TEST(KeyDisplayRect, ClampsAndConvertsToRegister)
{
    CQXPanKeyObj obj;
    ASSERT_TRUE(obj.SetDisplayRect(-3, -4, 900, 700));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 0, 799, 599}));
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{0, 0, 1023, 767}));
    ASSERT_TRUE(obj.SetDisplayRect(2, 3, 400, 300));
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{3, 4, 512, 384}));
}

TEST(KeyRecord, TableFromRecordShowsGreyWhateverItsColours)
{
    ScreenObjectRecord record;
    record.SetWord(ScreenObjectRecord::TypeCode, 93);
    record.bytes[ScreenObjectRecord::Shape] = 1;
    record.SetColour(ScreenObjectRecord::FillColour, QXPanRgb(1, 2, 3));
    record.SetColour(ScreenObjectRecord::TextColour, QXPanRgb(4, 5, 6));
    record.SetWord(ScreenObjectRecord::Right, 1023);
    record.SetWord(ScreenObjectRecord::Bottom, 767);
    CQXPanKeyObj obj;
    obj.SetFromRecord(record);
    EXPECT_EQ(obj.m_Cell.m_clrFill, 0xE6E6E6u);
    EXPECT_EQ(obj.m_Cell.m_clrLabelBk, 0xE6E6E6u);
    EXPECT_EQ(obj.m_Cell.m_clrLabel, 0u);
    EXPECT_EQ(obj.m_Record, record); // the colour bytes stay as read
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 0, 799, 599}));
}

TEST(KeyRecord, KeyFromRecordTakesItsColours)
{
    ScreenObjectRecord record;
    record.SetWord(ScreenObjectRecord::TypeCode, 12);
    record.bytes[ScreenObjectRecord::Shape] = 2;
    record.bytes[11] = 0x11; // red
    record.bytes[12] = 0x22;
    record.bytes[13] = 0x33;
    record.bytes[14] = 0xAA;
    record.bytes[15] = 0xBB;
    record.bytes[16] = 0xCC;
    CQXPanKeyObj obj;
    obj.SetFromRecord(record);
    EXPECT_EQ(obj.m_Cell.m_clrFill, 0x332211u);
    EXPECT_EQ(obj.m_Cell.m_clrLabelBk, 0x332211u);
    EXPECT_EQ(obj.m_Cell.m_clrLabel, 0xCCBBAAu);
    quint16 type = 0;
    EXPECT_FALSE(obj.IsFree(&type));
    EXPECT_EQ(type, 12);
}

TEST(BmpObj, ImageGivesTheRegisterRectangleOnlyWhenEmpty)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(128, 96, 24));
    CQXPanBmpObj obj;
    const QString name = QStringLiteral("icon.bmp");
    obj.SetImage(&image, &name);
    EXPECT_EQ(obj.m_pImage, &image);
    EXPECT_EQ(obj.m_strFileName, name);
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{0, 0, 128, 96}));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 0, 100, 75}));

    obj.SetRegisterRect({-10, 5, 2000, 900}); // kept as given, no clamping
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{-10, 5, 2000, 900}));
    obj.SetImage(&image); // rectangle not empty: kept, and so is the name
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{-10, 5, 2000, 900}));
    EXPECT_EQ(obj.m_strFileName, name);
}

TEST(BmpObj, DisplayRectClampsAndReportsChange)
{
    CQXPanBmpObj obj;
    EXPECT_TRUE(obj.SetDisplayRect({-1, 10, 850, 610}));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 10, 799, 599}));
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{0, 13, 1023, 767}));
    EXPECT_FALSE(obj.SetDisplayRect({0, 10, 799, 599}));
}

} // namespace
