// Catches: screen/key-table files off their goldens, header lines lost, bad read-back/render pixels
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"
#include "formats/ScreenProgramFile.h"
#include "formats/ScreenRender.h"
#include "image/CDibImage.h"

#include "MeteredDevice.h"
#include "TestBmp.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <vector>

namespace {

using TestFiles::Read;
const QString kData = QStringLiteral(QXPAN_TEST_DATA);
const QDateTime kStamp(QDate(2026, 12, 5), QTime(20, 1, 0));

// A picture of the size and depth whose raw rows are the bytes given, repeated.
void Fill(CDibImage& image, int w, int h, int bits, const QByteArray& pattern)
{
    ASSERT_TRUE(image.Create(w, h, bits));
    const QByteArray raw = pattern.repeated(image.RawSize() / pattern.size() + 1);
    image.SetBits(image.RawSize(), raw.constData());
}

// A program folder and the screen files written into it.
struct Branch
{
    QTemporaryDir root;
    QString File(const QString& name) const { return root.filePath(name); }
    QString Target(int number) const { return File(QString::asprintf("FILE%03dP.TXT", number)); }
    FileResult Write(const CDibImage& image, int number) const
    {
        return WriteScreenProgramFile(image, number, root.path(), kStamp);
    }
    QStringList Files() const { return QDir(root.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST(ScreenFile, BothEncodersWriteTheGoldenFiles)
{
    const struct
    {
        const char* file;
        int width, height, bits, number;
        QByteArray raw; // repeated over the picture
    } cases[] = {{"black-797.txt", 1024, 768, 24, 797, QByteArray(1, '\0')},
                 {"white-796.txt", 1024, 768, 24, 796, QByteArray(1, char(0xFF))},
                 {"odd24-798.txt", 3, 2, 24, 798,
                  QByteArray::fromHex("FF000000FF000000FF0007070708102012345600")},
                 {"rgb16-799.txt", 2, 2, 16, 799, QByteArray::fromHex("FFFF00F8E0071F00")},
                 {"rgb32-797.txt", 2, 1, 32, 797, QByteArray::fromHex("102030ABF80880CD")}};
    for (const bool scalar : {true, false}) // the default, SSSE3 where there is one, last
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.file) + (scalar ? " scalar" : " default"));
            ScreenProgram::forceScalarEncode(scalar);
            CDibImage image;
            Fill(image, c.width, c.height, c.bits, c.raw);
            Branch branch;
            EXPECT_TRUE(branch.Write(image, c.number));
            const QByteArray expected = Read(kData + "/screen-golden/" + c.file);
            EXPECT_TRUE(Read(branch.Target(c.number)) == expected);
            EXPECT_TRUE(ScreenProgram::buildFileText(image, c.number, kStamp) == expected);
        }
}

// A paletted picture is written by its colours; a larger one than the screen fills the records.
// The reader stops at the line after the picture: a 3 GiB hole after it is not read.
TEST(ScreenFile, ReadsBackWhatWasWrittenAndNothingAfterIt)
{
    Branch branch;
    ASSERT_TRUE(
        writeBytes(branch.File("p8.bmp"), makeBmp(3, 1, 8, {qRgb(255, 0, 0), qRgb(255, 255, 255)},
                                                  {QByteArray("\x01\x00\x01", 3)})));
    CDibImage paletted, large;
    ASSERT_TRUE(paletted.Load(branch.File("p8.bmp")));
    Fill(large, 1200, 800, 24, QByteArray(1, char(0xFF)));
    ASSERT_TRUE(branch.Write(paletted, 797) && branch.Write(large, 798));
    const QByteArray p = Read(branch.Target(797)), l = Read(branch.Target(798));
    ASSERT_EQ(QList({p.size(), l.size()}), QList<qsizetype>({3254831, 3254831}));
    // Three pixels as 24 bits: white, red, white, then the row's padding byte.
    EXPECT_EQ(p.mid(p.indexOf("000001,\"") + 8, 48),
              "00000000160000000000000300010006FF7F007CFF7F0000");
    EXPECT_EQ(l.mid(l.indexOf("000001,\"") + 8, 36), "00001D4C10000000000004B003200960FF7F");
    EXPECT_TRUE(l.endsWith("009833,\"" + QByteArray("FF7F").repeated(80) + "\"\r\n"));

    CDibImage white; // of the screen's size: its records end where the picture does
    Fill(white, 1024, 768, 24, QByteArray(1, char(0xFF)));
    ASSERT_TRUE(branch.Write(white, 796));
    QFile file(branch.Target(796));
    ASSERT_TRUE(file.resize(qint64(3) << 30) && file.open(QIODevice::ReadOnly));
    MeteredDevice meter(MeteredDevice::Through(file), file.size());
    QByteArray back(ScreenPixelBytes, '\0');
    ASSERT_TRUE(decodeScreenProgram(meter, reinterpret_cast<uchar*>(back.data())));
    EXPECT_TRUE(back == QByteArray(ScreenPixelBytes, char(0xF8)));
    EXPECT_LE(meter.BytesRead(), 3254831 + (1 << 20));
    EXPECT_LE(meter.LargestRequest(), 1 << 20);
}

// ---- The key table ----

const QDateTime kTableTime(QDate(2026, 3, 4), QTime(5, 6, 59));

CQXPanKeyObj Key(quint16 type, QXPanRect r, quint8 shape, quint32 number, const QString& text1,
                 const QString& text2 = {}, QXPanColor fill = 0, QXPanColor text = 0)
{
    CQXPanKeyObj key;
    key.SetTypeCode(type);
    key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
    key.SetShape(shape);
    key.SetNumber(number);
    key.SetText1(text1);
    key.SetText2(text2);
    key.SetFillColour(fill, true);
    key.SetTextColour(text, true);
    return key;
}

// The table and design whose write gives table-write/FILE795P.TXT (see its make_expected.py).
struct TableSetup
{
    QList<CQXPanKeyObj> table = QList<CQXPanKeyObj>(240);
    CQXPanDocument doc;

    TableSetup()
    {
        const CQXPanKeyObj cash = Key(12, {10, 20, 400, 100}, 1, 5, "CASH", {}, 0xFF, 0xFFFFFF);
        table[0] = cash;
        std::fill(table.begin() + 80, table.begin() + 160, cash); // the old slice of 797
        ScreenObjectRecord pattern;
        for (int k = 0; k < kQXPanRecordSize; ++k)
            pattern.bytes[k] = quint8(k == ScreenObjectRecord::Shape ? 0 : k * 5 + 1);
        table[200].SetFromRecord(pattern); // free, though it holds bytes
        pattern.bytes[ScreenObjectRecord::Shape] = 2;
        table[239].SetFromRecord(pattern);
        doc.m_nKeyCapacity = 80;
        CQXPanKeyObj hollow = Key(7, {30, 40, 300, 200}, 1, 999999, QStringLiteral("caf\u00e9"), {},
                                  kQXPanHollow, 0x80);
        hollow.m_Record.bytes[20] = 0x7A; // left as written
        for (CQXPanKeyObj key :
             {Key(93, {600, 400, 2000, 900}, 2, 1, "TABLE"),
              Key(300, {0, 0, 200, 200}, 2, 123456, "ABCDEFGHIJKLMNOPQRSTUVW", "DEF", 0xFF00),
              hollow})
            doc.AddKeyObj(&key);
    }
};

// The logo has no slice: nothing is written. A failed write names the file and changes nothing.
TEST(KeyTable, WriteGivesTheGoldenFileAndStoresTheSlice)
{
    QTemporaryDir tmp;
    TableSetup s;
    const QList<CQXPanKeyObj> before = s.table;
    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 796, s.doc, kTableTime));
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    const FileResult failed = BitmapTableFile::Write(tmp.filePath("no"), s.table, 797, s.doc);
    EXPECT_EQ(failed.code, BitmapTableFile::kWriteFailed);
    EXPECT_EQ(failed.path, tmp.filePath("no/FILE795P.TXT"));
    for (int i = 0; i < 240; ++i)
        ASSERT_EQ(s.table[i].m_Record, before[i].m_Record) << i;

    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kTableTime));
    EXPECT_EQ(Read(tmp.filePath("FILE795P.TXT")).toStdString(),
              Read(kData + "/table-write/FILE795P.TXT").toStdString());
    EXPECT_EQ(s.table[80].m_Record, s.doc.m_KeyObjs[0].m_Record);
    EXPECT_TRUE(s.table[83].IsFree());
    QList<CQXPanKeyObj> back;

    // A pipe of the name is no table: refused at once, never opened (it would block).
    QTemporaryDir other;
    ASSERT_EQ(::mkfifo(QFile::encodeName(other.filePath("FILE795P.TXT")).constData(), 0644), 0);
    EXPECT_EQ(BitmapTableFile::Read(other.path(), back).eStatus,
              BitmapTableFile::ReadStatus::Wrong);
}

// Each writer keeps the header lines of the file it replaces (of the name in any letter case) by
// its rules; the rest is fresh. Only screen files are written as screens: 795 is the key table.
TEST(ScreenFile, KeepsOrRenewsTheHeaderLines)
{
    const QByteArray c = ScreenProgram::cLine(797), h = ScreenProgram::hLine(kStamp),
                     f = ScreenProgram::fLine(797);
    const QByteArray oldH = "\"h\",\"36\",\"01\",\"0000\",\"990101\",\"0102\",\"0001\",\"01\"\r\n";
    const QByteArray tableHF = "\"h\",\"32\",\"01\",\"0000\",\"260304\",\"0506\",\"0001\",\"00\","
                               "\"02\"\r\n\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";
    const QByteArray longC = "C" + QByteArray(2500, 'x'), record = "000001,\"00\"\r\n";
    const QByteArray screenBody =
        Read(kData + "/screen-golden/black-797.txt").right(ScreenProgram::RecordsBytes);
    QByteArray tableBody; // 240 free records
    for (int i = 1; i <= 240; ++i)
        tableBody +=
            QByteArray::number(i).rightJustified(6, '0') + ",\"" + QByteArray(124, '0') + "\"\r\n";
    const struct
    {
        bool screen;
        const char* name; // of the existing file, which is the one replaced
        QByteArray existing, header;
    } cases[] = {
        // A screen looks at its first two lines as "h" and "f": quoted, the letter in any case.
        {true, "FILE797P.TXT", c + oldH + f, c + h + f},
        {true, "file797p.txt", oldH + f + record, c + oldH + f},
        {true, "FILE797P.TXT", "\"H\",\"x\"\n\"F\",\"y\"\n", c + "\"H\",\"x\"\n\"F\",\"y\"\n"},
        {true, "FILE797P.TXT", oldH + record, c + oldH + f},
        {true, "FILE797P.TXT", "h,\"36\"\r\nf,\"x\"\r\n", c + h + f},
        {true, "FILE797P.TXT", "\"h\",\"kept\"", c + "\"h\",\"kept\"\r\n" + f},
        {true, "FILE797P.TXT", "\"h\"" + QByteArray(3000, 'x') + "\r\n" + f, c + h + f},
        // The key table keeps three lines unchecked; LF alone becomes CR LF. A line longer than
        // its header buffer comes through whole and takes two header places.
        {false, "FILE795P.TXT", "C?\r\nh?\nf?\r\n000001,\"FF\"\r\n", "C?\r\nh?\r\nf?\r\n"},
        {false, "file795p.txt", "\"C\",\"c:P0795:\"\r\n", "\"C\",\"c:P0795:\"\r\n" + tableHF},
        {false, "FILE795P.TXT", "XYZ", "XYZ\r\n" + tableHF},
        {false, "FILE795P.TXT", longC + "\nh\nf\n", longC + "\r\nh\r\n"},
        {false, "FILE795P.TXT", "", "\"C\",\"n:P0795:\"\r\n" + tableHF}};
    CDibImage black;
    ASSERT_TRUE(black.Create(1024, 768, 24));
    for (const auto& k : cases) {
        SCOPED_TRACE(k.existing.left(40).toStdString());
        Branch branch;
        QList<CQXPanKeyObj> table(240);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = 80;
        ASSERT_TRUE(writeBytes(branch.File(k.name), k.existing));
        EXPECT_TRUE(k.screen
                        ? branch.Write(black, 797)
                        : BitmapTableFile::Write(branch.root.path(), table, 798, doc, kTableTime));
        EXPECT_EQ(branch.Files(), QStringList{k.name});
        EXPECT_TRUE(Read(branch.File(k.name)) == k.header + (k.screen ? screenBody : tableBody));
    }
    // A target of 2 GiB without a line end: nothing to keep, and not read to its end.
    Branch branch;
    ASSERT_TRUE(writeBytes(branch.Target(797), {}) && QFile::resize(branch.Target(797), 2LL << 30));
    EXPECT_TRUE(branch.Write(black, 797));
    EXPECT_TRUE(Read(branch.Target(797)) == ScreenProgram::buildFileText(black, 797, kStamp));

    ASSERT_TRUE(writeBytes(branch.Target(795), "table"));
    for (int number : {795, 800}) {
        const FileResult result = branch.Write(black, number);
        EXPECT_EQ(result.code, ScreenProgram::WriteFailed);
        EXPECT_TRUE(result.Text().startsWith(
            QString::asprintf("FILE%03dP.TXT is not a screen file", number)));
    }
    EXPECT_EQ(branch.Files(), QStringList({"FILE795P.TXT", "FILE797P.TXT"}));
    EXPECT_EQ(Read(branch.Target(795)), "table");
}

// "RRGGBB" of each point, in order.
QString Pixels(const QImage& image, std::initializer_list<QPoint> points)
{
    QStringList out;
    for (const QPoint& p : points)
        out << QString::number(image.pixel(p) & 0xFFFFFF, 16).rightJustified(6, '0');
    return out.join(' ');
}

// Placed bitmaps drawn last to first and clipped, over a copy of the background. (Background copy
// and stretch: tests/cli, CliEncodeDecode.)
TEST(Render, BitmapsAndThePreviewWithItsKeys)
{
    CQXPanDocument design;
    CDibImage target, red, green, empty;
    Fill(design.m_Background, 1024, 768, 24, QByteArray::fromHex("563412"));
    Fill(red, 4, 4, 24, QByteArray::fromHex("0000FF"));
    Fill(green, 4, 4, 24, QByteArray::fromHex("00FF00"));
    for (auto [image, rect] : std::vector<std::pair<CDibImage*, QXPanRect>>{
             {&red, {100, 100, 200, 200}},
             {&green, {150, 150, 250, 250}},
             {&empty, {300, 300, 400, 400}},
             {&green, {1000, 700, 1100, 800}}, // past the right and bottom edge
             {nullptr, {0, 0, 50, 50}}}) {
        CQXPanBmpObj obj;
        obj.SetImage(image);
        obj.SetRegisterRect(rect);
        design.AddBmpObj(obj);
    }
    ASSERT_TRUE(RenderScreenImage(design, target));
    // The first record on top; nothing drawn outside, for an empty image or for none.
    EXPECT_EQ(Pixels(target.Image(),
                     {{175, 175}, {225, 225}, {1023, 767}, {99, 99}, {350, 350}, {10, 10}}),
              "ff0000 00ff00 00ff00 123456 123456 123456");
    EXPECT_EQ(Pixels(design.m_Background.Image(), {{175, 175}}), "123456"); // not drawn on

    // The preview draws the keys over that picture; a round table is grey in its middle, not in
    // its box corner. (Rectangle outlines and fills: tests/canvas and tests/cli.)
    design.m_nKeyCapacity = 80;
    CQXPanKeyObj table = Key(93, {400, 200, 500, 300}, 2, 1, {});
    table.SetFillColour(0xE6E6E6u, false);
    design.AddKeyObj(&table);
    QImage preview;
    ASSERT_TRUE(RegisterPreview::Build(design, preview));
    EXPECT_EQ(Pixels(preview, {{450, 250}, {402, 202}}), "e6e6e6 103050");
}

} // namespace
