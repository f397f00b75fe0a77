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
    for (const auto& [n, hex, readBack] : {std::tuple{123456u, "123456", 123456},
                                           {42u, "000042", 42},
                                           {10000u, "010000", 10000},
                                           {1234567u, "234567", 234567},
                                           {3000000u, "000000", 0}}) {
        CQXPanKeyObj obj;
        obj.SetNumber(n);
        EXPECT_EQ(Field(obj, 17, 3).toHex() + ' ' + QByteArray::number(obj.GetNumber()),
                  hex + (' ' + QByteArray::number(readBack)));
    }
    // Nibbles above nine are decoded by place value.
    CQXPanKeyObj obj;
    std::copy_n("\x0F\xA0\x01", 3, obj.m_Record.bytes.begin() + 17);
    EXPECT_EQ(obj.GetNumber(), 10000 * 15 + 1000 * 10 + 1);
}

TEST(KeyText, KeepsTwentyLatin1CharactersPaddedWithBlanksUpToTheFirstNul)
{
    CQXPanKeyObj obj;
    int length = -1;
    const auto text = [&](bool first) {
        const QString t = first ? obj.GetText1(&length) : obj.GetText2(&length);
        return t + '/' + QString::number(length);
    };
    obj.SetText1(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
    obj.SetText2(QStringLiteral("  Hi"));
    EXPECT_EQ(Field(obj, 20, 42), QByteArray("\0ABCDEFGHIJKLMNOPQRST\0  Hi                ", 42));
    EXPECT_EQ(text(true), "ABCDEFGHIJKLMNOPQRST/20");
    EXPECT_EQ(text(false), "Hi/2");
    // e-acute is Latin-1 (0xE9); the euro sign and a character beyond the BMP are not, and the
    // latter counts as one character although it takes two UTF-16 units.
    obj.SetText1(QStringLiteral("caf\u00e9 \u20acx") + QString::fromUcs4(U"\U0001F600") +
                 QStringLiteral("!"));
    EXPECT_EQ(Field(obj, 21, 10), QByteArray("caf\xE9 ?x?! "));
    EXPECT_EQ(text(true), QStringLiteral("caf\u00e9 ?x?!/9"));
    obj = CQXPanKeyObj();
    EXPECT_EQ(text(true), "/0"); // all zero: the first NUL ends it
    obj.SetText1(QString());
    EXPECT_EQ(text(true), "/0");
    obj.SetText1(QStringLiteral(" AB CD  "));
    obj.m_Record.bytes[21 + 3] = 0; // " AB\0CD  ...": the NUL ends it before trimming
    EXPECT_EQ(text(true), "AB/2");
}

// Register and display rectangles, "left,top,right,bottom left,top,right,bottom".
template <class Obj> QString Rects(const Obj& obj, const QXPanRect& reg)
{
    QStringList out;
    for (const QXPanRect& r : {reg, obj.DisplayRect()})
        out << QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
    return out.join(' ');
}

TEST(KeyRect, RegisterAndDisplayRectanglesClampToTheScreen)
{
    CQXPanKeyObj obj;
    obj.SetRegisterRect(10, 20, 2000, 100);
    EXPECT_EQ(Rects(obj, obj.RegisterRect()), "10,20,1023,100 8,16,799,78");
    obj.SetRegisterRect(-5, -1, 1024, 768);
    EXPECT_EQ(Rects(obj, obj.RegisterRect()), "0,0,1023,767 0,0,799,599");
    ASSERT_TRUE(obj.SetDisplayRect(-3, -4, 900, 700));
    EXPECT_EQ(Rects(obj, obj.RegisterRect()), "0,0,1023,767 0,0,799,599");
    ASSERT_TRUE(obj.SetDisplayRect(2, 3, 400, 300));
    EXPECT_EQ(Rects(obj, obj.RegisterRect()), "3,4,512,384 2,3,400,300");
    const ScreenObjectRecord before = obj.m_Record;
    EXPECT_FALSE(obj.SetDisplayRect(2, 3, 400, 300)); // unchanged: no change reported
    EXPECT_EQ(obj.m_Record, before);
}

TEST(KeyRecord, KeysTakeTheirColoursAndTablesShowGrey)
{
    ScreenObjectRecord record;
    record.SetWord(ScreenObjectRecord::TypeCode, 12);
    record.bytes[ScreenObjectRecord::Shape] = 2;
    std::copy_n("\x11\x22\x33\xAA\xBB\xCC", 6, record.bytes.begin() + 11); // fill, text; red first
    CQXPanKeyObj obj;
    quint16 type = 0;
    const auto cell = [&] {
        obj.SetFromRecord(record);
        const bool free = obj.IsFree(&type);
        return QString::asprintf("%06X/%06X/%06X free %d type %d", obj.m_Cell.m_clrFill,
                                 obj.m_Cell.m_clrLabelBk, obj.m_Cell.m_clrLabel, free, type);
    };
    EXPECT_EQ(cell(), "332211/332211/CCBBAA free 0 type 12");
    record.SetWord(ScreenObjectRecord::TypeCode, 93);
    EXPECT_EQ(cell(), "E6E6E6/E6E6E6/000000 free 0 type 93");
    EXPECT_EQ(obj.m_Record, record); // the colour bytes stay as read
}

TEST(BmpObj, ImageGivesTheRegisterRectangleOnlyWhenEmpty)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(128, 96, 24));
    CQXPanBmpObj obj;
    const QString name = QStringLiteral("icon.bmp");
    obj.SetImage(&image, &name);
    EXPECT_EQ(Rects(obj, obj.m_rcRegister), "0,0,128,96 0,0,100,75");
    obj.SetRegisterRect({-10, 5, 2000, 900}); // kept as given, no clamping
    obj.SetImage(&image);                     // rectangle not empty: kept, and so is the name
    EXPECT_EQ(Rects(obj, obj.m_rcRegister) + ' ' + obj.m_strFileName,
              "-10,5,2000,900 -7,4,1563,703 icon.bmp");
    EXPECT_TRUE(obj.SetDisplayRect({-1, 10, 850, 610}));
    EXPECT_EQ(Rects(obj, obj.m_rcRegister), "0,13,1023,767 0,10,799,599");
    EXPECT_FALSE(obj.SetDisplayRect({0, 10, 799, 599}));
}

} // namespace
