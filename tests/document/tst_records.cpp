// Catches: 62-byte key records, packed numbers, texts, rectangles or colours off by a byte.
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <gtest/gtest.h>

namespace {

QByteArray Field(const CQXPanKeyObj& obj, int at, int size)
{
    return QByteArray(reinterpret_cast<const char*>(obj.m_Record.data()) + at, size);
}

// Worked by hand, e.g. 1023*800 = 799*1024 + 224 (no round-up); 16*800 = 12*1024 + 512 (exact
// half: up); 2*800 = 1*1024 + 576 (>= 512);
// 799*1024 = 1022*800 + 576 (>= 400); 2*1024 = 2*800 + 448 (>= 400); -2*800 = -1*1024 - 576.
TEST(ScreenScale, ConversionsRoundHalfUp)
{
    ScreenScale s;
    s.Compute();
    // Axis (register->design x, design->register x, then y), value, expected.
    const int cases[][3] = {{0, 1023, 799}, {0, 16, 13},   {0, 2, 2},      {0, 640, 500},
                            {0, -2, -1},    {0, -1, 0},    {1, 799, 1023}, {1, 2, 3},
                            {1, 800, 1024}, {1, -1, -1},   {2, 767, 599},  {2, 16, 13},
                            {2, 5, 4},      {3, 599, 767}, {3, 3, 4},      {3, 1, 1}};
    for (const auto& [axis, value, expected] : cases) {
        const int results[] = {s.RegisterToDesignX(value), s.DesignToRegisterX(value),
                               s.RegisterToDesignY(value), s.DesignToRegisterY(value)};
        EXPECT_EQ(results[axis], expected) << "axis " << axis << " value " << value;
    }
}

TEST(PackedNumber, EncodesTheLastSixDigitsAsPackedDecimal)
{
    // Bytes 17 to 19 of the record, as hexadecimal digits, and the number read back.
    const struct
    {
        quint32 n;
        const char* hex;
        int readBack;
    } cases[] = {{123456, "123456", 123456},
                 {42, "000042", 42},
                 {10000, "010000", 10000},
                 {1234567, "234567", 234567},
                 {3000000, "000000", 0}};
    for (const auto& c : cases) {
        CQXPanKeyObj obj;
        obj.SetNumber(c.n);
        EXPECT_EQ(Field(obj, 17, 3).toHex(), c.hex) << c.n;
        EXPECT_EQ(obj.GetNumber(), c.readBack);
    }
    // Nibbles above nine are decoded by place value.
    CQXPanKeyObj obj;
    std::copy_n("\x0F\xA0\x01", 3, obj.m_Record.bytes.begin() + 17);
    EXPECT_EQ(obj.GetNumber(), 10000 * 15 + 1000 * 10 + 1);
}

TEST(KeyText, KeepsTwentyLatin1CharactersPaddedWithBlanksUpToTheFirstNul)
{
    CQXPanKeyObj obj;
    obj.SetText1(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
    EXPECT_EQ(Field(obj, 21, 20), QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(obj.GetText1(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    obj.SetText2(QStringLiteral("  Hi"));
    EXPECT_EQ(Field(obj, 42, 20), QByteArray("  Hi                "));
    int length = -1;
    EXPECT_EQ(obj.GetText2(&length), QStringLiteral("Hi"));
    EXPECT_EQ(length, 2);
    EXPECT_EQ(obj.m_Record.bytes[20], 0); // neighbours untouched
    EXPECT_EQ(obj.m_Record.bytes[41], 0);

    // e-acute is Latin-1 (0xE9); the euro sign and a character beyond the BMP are not, and the
    // latter counts as one character although it takes two UTF-16 units.
    obj.SetText1(QStringLiteral("caf\u00e9 \u20acx") + QString::fromUcs4(U"\U0001F600") +
                 QStringLiteral("!"));
    EXPECT_EQ(Field(obj, 21, 10), QByteArray("caf\xE9 ?x?! "));
    EXPECT_EQ(obj.GetText1(), QStringLiteral("caf\u00e9 ?x?!"));
    obj = CQXPanKeyObj();
    EXPECT_EQ(obj.GetText1(&length), QString()); // all zero: the first NUL ends it
    EXPECT_EQ(length, 0);
    obj.SetText1(QString());
    EXPECT_EQ(obj.GetText1(&length), QString());
    EXPECT_EQ(length, 0);
    obj.SetText1(QStringLiteral(" AB CD  "));
    obj.m_Record.bytes[21 + 3] = 0; // " AB\0CD  ...": the NUL ends it before trimming
    EXPECT_EQ(obj.GetText1(), QStringLiteral("AB"));
}

TEST(KeyRect, RegisterAndDisplayRectanglesClampToTheScreen)
{
    CQXPanKeyObj obj;
    obj.SetRegisterRect(10, 20, 2000, 100);
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{10, 20, 1023, 100}));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{8, 16, 799, 78}));
    obj.SetRegisterRect(-5, -1, 1024, 768);
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{0, 0, 1023, 767}));
    ASSERT_TRUE(obj.SetDisplayRect(-3, -4, 900, 700));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 0, 799, 599}));
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{0, 0, 1023, 767}));
    ASSERT_TRUE(obj.SetDisplayRect(2, 3, 400, 300));
    EXPECT_EQ(obj.RegisterRect(), (QXPanRect{3, 4, 512, 384}));
    const ScreenObjectRecord before = obj.m_Record;
    EXPECT_FALSE(obj.SetDisplayRect(2, 3, 400, 300)); // unchanged: no change reported
    EXPECT_EQ(obj.m_Record, before);
}

TEST(KeyRecord, KeysTakeTheirColoursAndTablesShowGrey)
{
    ScreenObjectRecord record;
    record.SetWord(ScreenObjectRecord::TypeCode, 12);
    record.bytes[ScreenObjectRecord::Shape] = 2;
    const quint8 colours[] = {0x11, 0x22, 0x33, 0xAA, 0xBB, 0xCC}; // fill then text, red first
    std::copy(std::begin(colours), std::end(colours), record.bytes.begin() + 11);
    CQXPanKeyObj obj;
    obj.SetFromRecord(record);
    const auto cell = [&obj] {
        return QString::asprintf("%06X/%06X/%06X", obj.m_Cell.m_clrFill, obj.m_Cell.m_clrLabelBk,
                                 obj.m_Cell.m_clrLabel);
    };
    EXPECT_EQ(cell(), "332211/332211/CCBBAA");
    quint16 type = 0;
    EXPECT_FALSE(obj.IsFree(&type));
    EXPECT_EQ(type, 12);
    record.SetWord(ScreenObjectRecord::TypeCode, 93);
    obj.SetFromRecord(record);
    EXPECT_EQ(cell(), "E6E6E6/E6E6E6/000000");
    EXPECT_EQ(obj.m_Record, record); // the colour bytes stay as read
}

TEST(BmpObj, ImageGivesTheRegisterRectangleOnlyWhenEmpty)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(128, 96, 24));
    CQXPanBmpObj obj;
    const QString name = QStringLiteral("icon.bmp");
    obj.SetImage(&image, &name);
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{0, 0, 128, 96}));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 0, 100, 75}));
    obj.SetRegisterRect({-10, 5, 2000, 900}); // kept as given, no clamping
    obj.SetImage(&image);                     // rectangle not empty: kept, and so is the name
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{-10, 5, 2000, 900}));
    EXPECT_EQ(obj.m_strFileName, name);
    EXPECT_TRUE(obj.SetDisplayRect({-1, 10, 850, 610}));
    EXPECT_EQ(obj.DisplayRect(), (QXPanRect{0, 10, 799, 599}));
    EXPECT_EQ(obj.m_rcRegister, (QXPanRect{0, 13, 1023, 767}));
    EXPECT_FALSE(obj.SetDisplayRect({0, 10, 799, 599}));
}

} // namespace
