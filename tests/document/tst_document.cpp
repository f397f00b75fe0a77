// Catches: records, numbers, rects off by a byte; misplaced slices; panel files; uneven arranging
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "document/QXPanArrange.h"
#include "image/CDibImage.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

namespace {

using TestFiles::Read;

QString Rect(const QXPanRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

QByteArray Field(const CQXPanKeyObj& obj, int at, int size)
{
    return QByteArray(reinterpret_cast<const char*>(obj.m_Record.data()) + at, size);
}

// Worked by hand, e.g. 1023*800 = 799*1024 + 224 (no round-up); 16*800 = 12*1024 + 512 (exact
// half: up); 2*1024 = 2*800 + 448 (>= 400); -2*800 = -1*1024 - 576.
TEST(ScreenScale, ConversionsRoundHalfUp)
{
    ScreenScale s;
    s.Compute();
    // Axis (register->design x, design->register x, then y), value, expected.
    const int cases[][3] = {{0, 1023, 799}, {0, 16, 13},   {0, -2, -1}, {1, 799, 1023}, {1, 2, 3},
                            {1, -1, -1},    {2, 767, 599}, {2, 5, 4},   {3, 599, 767},  {3, 3, 4}};
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
    obj.SetText1(QStringLiteral(" AB CD  "));
    obj.m_Record.bytes[21 + 3] = 0; // " AB\0CD  ...": the NUL ends it before trimming
    EXPECT_EQ(text(true), "AB/2");
}

// Register and display rectangles.
template <class Obj> QString Rects(const Obj& obj, const QXPanRect& reg)
{
    return Rect(reg) + ' ' + Rect(obj.DisplayRect());
}

TEST(KeyRect, DisplayRectangleClampsToTheScreenAndGivesTheRegisterOne)
{
    CQXPanKeyObj obj;
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
    const auto cell = [&] {
        obj.SetFromRecord(record);
        return QString::asprintf("%06X/%06X/%06X", obj.m_Cell.m_clrFill, obj.m_Cell.m_clrLabelBk,
                                 obj.m_Cell.m_clrLabel);
    };
    EXPECT_EQ(cell(), "332211/332211/CCBBAA");
    record.SetWord(ScreenObjectRecord::TypeCode, 93);
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
    EXPECT_EQ(Rects(obj, obj.m_rcRegister), "0,0,128,96 0,0,100,75");
    obj.SetRegisterRect({-10, 5, 2000, 900}); // kept as given, no clamping
    obj.SetImage(&image);                     // rectangle not empty: kept, and so is the name
    EXPECT_EQ(Rects(obj, obj.m_rcRegister) + ' ' + obj.m_strFileName,
              "-10,5,2000,900 -7,4,1563,703 icon.bmp");
    EXPECT_TRUE(obj.SetDisplayRect({-1, 10, 850, 610}));
    EXPECT_EQ(Rects(obj, obj.m_rcRegister), "0,13,1023,767 0,10,799,599");
}

CQXPanKeyObj Key(quint16 type, int left)
{
    CQXPanKeyObj obj;
    obj.SetRegisterRect(left, 10, left + 40, 50);
    obj.SetTypeCode(type);
    obj.SetShape(ScreenObjectRecord::ShapeRectangle);
    return obj;
}

QList<CQXPanKeyObj> Table()
{
    QList<CQXPanKeyObj> table;
    for (int i = 0; i < 240; ++i)
        table << Key(quint16(i + 1), i);
    return table;
}

// Windows 798, 797 and 799 own records 1, 81 and 161 on; the logo (796) and others own none.
TEST(TableSlice, LoadsUpToTheFirstFreeRecordAndStoresIntoItsSliceFreeingTheRest)
{
    const QList<CQXPanKeyObj> original = Table();
    for (const auto& [file, start] : {std::pair{798, 0}, std::pair{797, 80}, std::pair{799, 160},
                                      std::pair{796, -1}, std::pair{800, -1}}) {
        SCOPED_TRACE(file);
        QList<CQXPanKeyObj> table = original;
        if (start >= 0)
            table[start + 5].SetShape(ScreenObjectRecord::ShapeFree); // in-use records follow it
        CQXPanDocument doc;
        doc.m_KeyObjs.append(Key(1, 1));
        doc.LoadTableSlice(table, file);
        // A screen without a slice (the logo) has no room for keys at all.
        EXPECT_EQ(doc.m_nKeyCapacity, start < 0 ? 0 : 80);
        ASSERT_EQ(doc.m_KeyObjs.size(), start < 0 ? 0 : 5);
        for (int i = 0; i < doc.m_KeyObjs.size(); ++i)
            EXPECT_EQ(doc.m_KeyObjs[i].m_Record, table[start + i].m_Record);
        table = original;
        doc.m_nKeyCapacity = 80;
        doc.m_KeyObjs = {Key(41, 0), Key(42, 0), Key(43, 0)};
        EXPECT_EQ(doc.StoreTableSlice(table, file), start < 0 ? 0 : 3);
        for (int i = 0; i < 240; ++i) {
            const bool outside = start < 0 || i < start || i >= start + 80;
            EXPECT_EQ(table[i].m_Record, outside         ? original[i].m_Record
                                         : i < start + 3 ? doc.m_KeyObjs[i - start].m_Record
                                                         : ScreenObjectRecord{})
                << i;
        }
    }
    // No more than the capacity is stored.
    QList<CQXPanKeyObj> table = original;
    CQXPanDocument doc;
    doc.m_KeyObjs = QList<CQXPanKeyObj>(5, Key(42, 0));
    doc.m_nKeyCapacity = 2;
    EXPECT_EQ(doc.StoreTableSlice(table, 798), 2);
    EXPECT_TRUE(table[1].TypeCode() == 42 && table[2].IsFree());
    // A full window takes its own 80 records, not the next window's first.
    doc.LoadTableSlice(original, 798);
    EXPECT_EQ(doc.m_KeyObjs.size(), 80);
    // Clearing the bitmaps only (bitmaps rebound) keeps the keys and the modified mark.
    doc.AddBmpObj(CQXPanBmpObj());
    doc.m_bModified = true;
    doc.ClearObjects(true);
    EXPECT_TRUE(doc.m_BmpObjs.isEmpty() && doc.m_KeyObjs.size() == 80 && doc.m_bModified);
}

const QString kData = QStringLiteral(QXPAN_TEST_DATA);
const QString H = QStringLiteral("File Name         ");

// Records every effect the reader asks for, and answers the missing-bitmap question from a list.
// Placed-bitmap rows 1 and 2 have an image each.
struct RecordingHost : PanelReadHost
{
    RecordingHost(QStringList background, QStringList placed, QList<bool> answers = {})
        : m_background(background), m_placed(placed), m_answers(answers)
    {
        m_images[1].Create(8, 8, 24);
        m_images[2].Create(8, 8, 24);
    }
    void BeginRead() override { m_log << "begin"; }
    void EndRead() override { m_log << "end"; }
    QStringList BackgroundNames() const override { return m_background; }
    QStringList PlacedBitmapNames() const override { return m_placed; }
    void SelectBackgroundItem(int nListSel, int nItem) override
    {
        m_log << QStringLiteral("select-background listsel=%1 item=%2").arg(nListSel).arg(nItem);
    }
    void LoadEmptyBackground(int nListSel) override
    {
        m_log << QStringLiteral("empty-background listsel=%1").arg(nListSel);
    }
    void ImportScreenBackground(int nListSel, int fileNumber) override
    {
        m_log
            << QStringLiteral("import-background listsel=%1 file=%2").arg(nListSel).arg(fileNumber);
    }
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override
    {
        m_log << QStringLiteral("take-bitmap row=%1").arg(j);
        obj.SetImage(&m_images[j], &m_placed[j]);
        return true;
    }
    bool AskContinue(const QString& fileName, const QString& question) override
    {
        const bool yes = m_answers.isEmpty() || m_answers.takeFirst();
        EXPECT_EQ(question, PanelFile::MissingBitmapText(fileName));
        m_log << QStringLiteral("ask %1 -> %2").arg(fileName, yes ? "yes" : "no");
        return yes;
    }

    QStringList m_log, m_background, m_placed;
    QList<bool> m_answers;
    CDibImage m_images[3];
};

const char* const kStops[] = {"end-of-file", "not-opened",    "wrong-file",      "declined",
                              "screen-full", "not-an-object", "too-many-bitmaps"};

// Each panel-read-* folder holds input.pan (none: a file that is not there), case.txt (image type,
// capacity, lists, answers) and expected.txt (the effects asked for, the result and the objects
// read, one line per object, @DIR@ for the folder). panel-read-design reads the write golden.
TEST(PanelRead, MatchesTheGoldenFolders)
{
    const QStringList dirs = QDir(kData).entryList({"panel-read-*"}, QDir::Dirs, QDir::Name);
    ASSERT_GE(dirs.size(), 12);
    for (const QString& name : dirs) {
        SCOPED_TRACE(name.toStdString());
        const QString dir = kData + QLatin1Char('/') + name;
        QMap<QString, QString> c; // key -> value of case.txt
        for (const QByteArray& line : Read(dir + QStringLiteral("/case.txt")).split('\n'))
            c[QString(line).section(' ', 0, 0)] = QString(line).section(' ', 1).trimmed();
        QList<bool> answers;
        for (const QString& a : c.value("answers").split(' ', Qt::SkipEmptyParts))
            answers << (a == QLatin1String("yes"));
        RecordingHost host(c["background"].split('|'), c["placed"].split('|'), answers);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = c.value("capacity").toInt();
        doc.m_bModified = true;
        doc.AddBmpObj(CQXPanBmpObj()); // replaced by what the file holds
        const PanelFile::ReadResult result =
            PanelFile::Read(dir + QStringLiteral("/input.pan"), c["type"].toInt(), doc, host);
        QStringList actual = host.m_log;
        if (!result.result) // shown once the reading has stopped
            actual << QStringLiteral("message ") + result.result.Message().text;
        actual << QStringLiteral("result %1 ").arg(result.result.code) + kStops[int(result.eStop)];
        for (const CQXPanBmpObj& obj : doc.m_BmpObjs) {
            actual << QStringLiteral("bmp row=%1 name=%2 reg=%3 disp=%4")
                          .arg(obj.m_pImage ? obj.m_pImage - host.m_images : -1)
                          .arg(obj.m_strFileName, Rect(obj.m_rcRegister), Rect(obj.DisplayRect()));
        }
        for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
            const ScreenObjectRecord& r = obj.m_Record;
            actual << QStringLiteral("key type=%1 reg=%2 disp=%3 shape=%4")
                          .arg(obj.TypeCode())
                          .arg(Rect(obj.RegisterRect()), Rect(obj.DisplayRect()))
                          .arg(obj.Shape());
            actual << QString::asprintf("    fill=%06X text=%06X cell=%08X/%08X/%08X number=%d",
                                        r.Colour(ScreenObjectRecord::FillColour),
                                        r.Colour(ScreenObjectRecord::TextColour),
                                        obj.m_Cell.m_clrFill, obj.m_Cell.m_clrLabelBk,
                                        obj.m_Cell.m_clrLabel, obj.GetNumber());
            actual << QStringLiteral("    t1=[%1] t2=[%2]").arg(obj.GetText1(), obj.GetText2());
        }
        const QString expected = QString::fromUtf8(Read(dir + QStringLiteral("/expected.txt")));
        EXPECT_EQ(actual.join('\n').toStdString(),
                  expected.trimmed().replace("@DIR@", dir).toStdString());
        EXPECT_FALSE(result.result && doc.m_bModified) << "a whole read leaves it unmodified";
    }
}

// Background line resolution against the background list (names after the heading), and the
// number saved for a list selection, which must read back as that selection.
TEST(PanelBackground, LineReadAndNumberSaved)
{
    const struct
    {
        const char* line;
        int type;
        const char* names;
        const char* effect;
    } cases[] = {
        // First bitmap at index 2: B counts bitmaps from there; entries before it add to the
        // list selection. Beyond the last entry: the first bitmap, selection 0.
        {"BG:1\r\n", 797, "FILE797P.TXT|Aempty.bmp|sky.bmp", "select-background listsel=2 item=2"},
        {"BG:5\r\n", 797, "FILE797P.TXT|Aempty.bmp|sky.bmp", "select-background listsel=0 item=1"},
        // No bitmap at all: the index past the list.
        {"BG:2", 797, "", "select-background listsel=2 item=0"},
        // Negative: the screen file of the image type, found without regard to case; a bitmap
        // met first gives the empty background; a search that runs out, the last index.
        {"BG:-1\r\n", 797, "FILE796P.TXT|file797p.txt|Aempty.bmp",
         "import-background listsel=1 file=797"},
        {"BG:-1\r\n", 799, "FILE797P.TXT|Aempty.bmp|FILE799P.TXT", "empty-background listsel=0"},
        {"BG:-3\r\n", 798, "FILE797P.TXT", "import-background listsel=1 file=798"},
        // Numbers beyond and at the limit of an int; "BG" with no number reads as 0.
        {"BG:99999999999\r\n", 797, "FILE797P.TXT|a.bmp", "select-background listsel=0 item=1"},
        {"BG:2147483647\r\n", 797, "FILE797P.TXT", "select-background listsel=2147483647 item=1"},
        {"BGx\r\n", 797, "a.bmp", "select-background listsel=0 item=0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QByteArray text = c.line;
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        RecordingHost host(QStringList{H} + QString(c.names).split('|', Qt::SkipEmptyParts), {H});
        CQXPanDocument doc;
        EXPECT_TRUE(PanelFile::Read(buffer, c.type, doc, host).result);
        EXPECT_EQ(host.m_log, (QStringList{"begin", c.effect, "end"}));
    }
    const QStringList list{H, "FILE797P.TXT", "Aempty.bmp", "sky.bmp"}; // the first row above
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 0), -1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H, "FILE797P.TXT", "x.Bmp"}, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H}, 3), 3);
}

TEST(PanelWrite, MatchesTheGoldenFileOrNamesTheUnwritablePath)
{
    RecordingHost host{{}, {H, "icon.bmp", "logo.bmp"}};
    const QList<PanelFile::BitmapRow> rows{
        {H, nullptr}, {"icon.bmp", &host.m_images[1]}, {"logo.bmp", &host.m_images[2]}};
    CDibImage stray;
    stray.Create(4, 4, 24);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    for (const auto& [image, r] : {std::pair{&host.m_images[2], QXPanRect{10, 20, 110, 220}},
                                   {&stray, {0, 0, 300, 300}},  // not in the list: left out
                                   {nullptr, {0, 0, 300, 300}}, // no image: left out as well
                                   {&host.m_images[1], {-5, -7, 59, 41}}}) {
        CQXPanBmpObj obj;
        obj.SetImage(image);
        obj.SetRegisterRect(r);
        doc.AddBmpObj(obj);
    }
    // Rectangle, type, shape, fill and text colours (explicit or not), number, texts.
    for (const auto& [r, type, shape, fill, text, mine, number, text1, text2] :
         {std::tuple{QXPanRect{40, 30, 240, 130}, 12, 1, 0xFFu, 0xFFFFFFu, true, 5u, "  CASH", ""},
          {{300, 300, 500, 400}, 93, 2, kQXPanTableFill, 0, false, 0, "Table", ""},
          {{600, 500, 800, 700}, 300, 2, 0x00FF00, 0, true, 123456, "ABCDEFGHIJKLMNOPQRST", "DEF"},
          {{0, 700, 100, 767}, 7, 1, kQXPanHollow, 0, true, 0, "", ""}}) {
        CQXPanKeyObj key;
        key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
        key.SetTypeCode(quint16(type));
        key.SetShape(quint8(shape));
        key.SetFillColour(fill, mine);
        key.SetTextColour(text, mine);
        key.SetNumber(number);
        key.SetText1(text1);
        key.SetText2(text2);
        doc.AddKeyObj(&key);
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("design")); // no extension: used as typed
    ASSERT_TRUE(PanelFile::Write(path, doc, 1, QStringLiteral("/branch/Bitmap"), rows));
    EXPECT_EQ(Read(path).toStdString(),
              Read(kData + QStringLiteral("/panel-write-design/expected.pan")).toStdString());
    EXPECT_EQ(PanelFile::Serialize(CQXPanDocument(), -2, QString(), {}), QByteArray("BG:-2\r\n"));
    const FileResult written =
        PanelFile::Write(tmp.filePath(QStringLiteral("missing/folder/x.pan")), doc, 0, {}, rows);
    EXPECT_FALSE(written || written.reason.isEmpty());
    EXPECT_TRUE(written.Text().startsWith(tmp.filePath(QStringLiteral("missing"))));
}

QString Rects(const QList<QXPanRect>& rects)
{
    QStringList out;
    for (const QXPanRect& r : rects)
        out << QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
    return out.join(u' ');
}

// Worked out by hand on the register's own pixels; the first rectangle is the reference.
TEST(Arrange, LinesUpFollowsTheReferenceAndStaysOnTheScreen)
{
    using Op = QXPanArrange::Op;
    const QXPanRect screen{0, 0, 1023, 767};
    const QList<QXPanRect> abc{{100, 100, 200, 150}, {300, 120, 340, 200}, {500, 90, 560, 110}};
    // The reference A stays where aligning and sizing are concerned.
    const QString a = QStringLiteral("100,100,200,150 ");
    for (const auto& [op, rects, expected] :
         {std::tuple{Op::AlignLeft, abc, a + "100,120,140,200 100,90,160,110"},
          {Op::AlignRight, abc, a + "160,120,200,200 140,90,200,110"},
          {Op::AlignTop, abc, a + "300,100,340,180 500,100,560,120"},
          {Op::AlignBottom, abc, a + "300,70,340,150 500,130,560,150"},
          {Op::AlignHorizontalCentres, abc, a + "130,120,170,200 120,90,180,110"},
          {Op::AlignVerticalCentres, abc, a + "300,85,340,165 500,115,560,135"},
          {Op::DistributeHorizontally, abc, a + "330,120,370,200 500,90,560,110"},
          // Overlapping objects get equal (negative) gaps too; the topmost one stays.
          {Op::DistributeVertically, abc, "100,90,200,140 300,120,340,200 500,90,560,110"},
          {Op::SameWidth, abc, a + "300,120,400,200 500,90,600,110"},
          {Op::SameHeight, abc, a + "300,120,340,170 500,90,560,140"},
          {Op::SameSize, QList<QXPanRect>{abc[0], {1000, 700, 1010, 760}}, a + "923,700,1023,750"},
          // 21 pixels of space for two gaps: both get 10, the last object moves in by one.
          {Op::DistributeHorizontally,
           QList<QXPanRect>{{0, 0, 10, 5}, {41, 0, 51, 5}, {20, 0, 30, 5}},
           QStringLiteral("0,0,10,5 40,0,50,5 20,0,30,5")}}) {
        EXPECT_EQ(Rects(QXPanArrange::Apply(op, rects, screen)), expected)
            << QXPanArrange::Text(op).toStdString();
    }
    EXPECT_EQ(QXPanArrange::GroupOffset({abc[0], abc[2]}, 1000, -500, screen), std::pair(463, -90));
    EXPECT_EQ(QXPanArrange::GroupOffset({abc[0]}, -30, 40, screen), std::pair(-30, 40));
    for (const auto& [v, spacing, snapped] :
         {std::tuple{13, 8, 16}, {12, 8, 16}, {11, 8, 8}, {-3, 8, 0}, {5, 1, 5}, {31, 32, 32}})
        EXPECT_EQ(QXPanArrange::Snap(v, spacing), snapped) << v << " on " << spacing;
    const auto cells = QXPanArrange::Fill({100, 100, 400, 300}, 2, 3, 10, 24);
    ASSERT_TRUE(cells);
    EXPECT_EQ(Rects(*cells), QStringLiteral("100,100,193,195 203,100,296,195 306,100,399,195 "
                                            "100,205,193,300 203,205,296,300 306,205,399,300"));
    EXPECT_FALSE(QXPanArrange::Fill({100, 100, 400, 300}, 2, 3, 10, 96));
}

} // namespace
