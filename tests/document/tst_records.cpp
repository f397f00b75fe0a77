#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct ConversionCase
{
    int value;
    int expected;
};

class RegisterToDesignX : public ::testing::TestWithParam<ConversionCase>
{};
class DesignToRegisterX : public ::testing::TestWithParam<ConversionCase>
{};
class RegisterToDesignY : public ::testing::TestWithParam<ConversionCase>
{};
class DesignToRegisterY : public ::testing::TestWithParam<ConversionCase>
{};

ScreenScale Scale()
{
    ScreenScale s;
    s.Compute();
    return s;
}

TEST_P(RegisterToDesignX, RoundsHalfUp)
{
    EXPECT_EQ(Scale().RegisterToDesignX(GetParam().value), GetParam().expected);
}
TEST_P(DesignToRegisterX, RoundsHalfUp)
{
    EXPECT_EQ(Scale().DesignToRegisterX(GetParam().value), GetParam().expected);
}
TEST_P(RegisterToDesignY, RoundsHalfUp)
{
    EXPECT_EQ(Scale().RegisterToDesignY(GetParam().value), GetParam().expected);
}
TEST_P(DesignToRegisterY, RoundsHalfUp)
{
    EXPECT_EQ(Scale().DesignToRegisterY(GetParam().value), GetParam().expected);
}

// 1023*800 = 818400 = 799*1024 + 224: no round-up; 2*800 = 1600 = 1*1024 + 576 >= 512.
INSTANTIATE_TEST_SUITE_P(Cases, RegisterToDesignX,
                         ::testing::Values(ConversionCase{1023, 799}, ConversionCase{2, 2},
                                           ConversionCase{0, 0}, ConversionCase{1024, 800},
                                           ConversionCase{640, 500}, ConversionCase{1, 1},
                                           ConversionCase{-2, -1}, ConversionCase{-1, 0}));
// 799*1024 = 818176 = 1022*800 + 576 >= 400; 2*1024 = 2048 = 2*800 + 448 >= 400.
INSTANTIATE_TEST_SUITE_P(Cases, DesignToRegisterX,
                         ::testing::Values(ConversionCase{799, 1023}, ConversionCase{2, 3},
                                           ConversionCase{800, 1024}, ConversionCase{1, 1},
                                           ConversionCase{-1, -1}));
// 767*600 = 460200 = 599*768 + 168; 5*600 = 3000 = 3*768 + 696.
INSTANTIATE_TEST_SUITE_P(Cases, RegisterToDesignY,
                         ::testing::Values(ConversionCase{767, 599}, ConversionCase{5, 4},
                                           ConversionCase{768, 600}, ConversionCase{2, 2}));
// 599*768 = 460032 = 766*600 + 432 >= 300; 3*768 = 2304 = 3*600 + 504.
INSTANTIATE_TEST_SUITE_P(Cases, DesignToRegisterY,
                         ::testing::Values(ConversionCase{599, 767}, ConversionCase{3, 4},
                                           ConversionCase{600, 768}, ConversionCase{1, 1}));

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

TEST(KeyRegisterRect, StoresLittleEndianWords)
{
    CQXPanKeyObj obj;
    obj.SetRegisterRect(0x123, 0x45, 0x3FF, 0x2FF);
    const auto& b = obj.m_Record.bytes;
    EXPECT_EQ(b[2], 0x23);
    EXPECT_EQ(b[3], 0x01);
    EXPECT_EQ(b[4], 0x45);
    EXPECT_EQ(b[5], 0x00);
    EXPECT_EQ(b[6], 0xFF);
    EXPECT_EQ(b[7], 0x03);
    EXPECT_EQ(b[8], 0xFF);
    EXPECT_EQ(b[9], 0x02);
}

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

TEST(KeyColours, RecordBytesOnlyWhenAsked)
{
    CQXPanKeyObj obj;
    obj.SetFillColour(0x00336699u, false);
    obj.SetTextColour(0x00FFFFFFu, false);
    EXPECT_EQ(obj.m_Cell.m_clrFill, 0x336699u);
    EXPECT_EQ(obj.m_Cell.m_clrLabelBk, 0x336699u);
    EXPECT_EQ(obj.m_Cell.m_clrLabel, 0xFFFFFFu);
    EXPECT_EQ(obj.m_Record, ScreenObjectRecord{});
    obj.SetFillColour(0x00336699u, true);
    obj.SetTextColour(0x00010203u, true);
    EXPECT_EQ(obj.m_Record.bytes[11], 0x99);
    EXPECT_EQ(obj.m_Record.bytes[12], 0x66);
    EXPECT_EQ(obj.m_Record.bytes[13], 0x33);
    EXPECT_EQ(obj.m_Record.bytes[14], 0x03);
    EXPECT_EQ(obj.m_Record.bytes[15], 0x02);
    EXPECT_EQ(obj.m_Record.bytes[16], 0x01);
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
