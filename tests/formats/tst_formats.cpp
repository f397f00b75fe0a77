// Catches: screen/key-table files off their goldens, header lines lost, bad read-back/render pixels
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
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
    // The golden, the picture's size and depth, its number and its raw bytes (repeated).
    const std::tuple<const char*, int, int, int, int, QByteArray> cases[] = {
        {"white-796.txt", 1024, 768, 24, 796, QByteArray(1, char(0xFF))},
        {"odd24-798.txt", 3, 2, 24, 798,
         QByteArray::fromHex("FF000000FF000000FF0007070708102012345600")},
        {"rgb16-799.txt", 2, 2, 16, 799, QByteArray::fromHex("FFFF00F8E0071F00")},
        {"rgb32-797.txt", 2, 1, 32, 797, QByteArray::fromHex("102030ABF80880CD")}};
    for (const bool scalar : {true, false}) // the default, SSSE3 where there is one, last
        for (const auto& [file, width, height, bits, number, raw] : cases) {
            SCOPED_TRACE(std::string(file) + (scalar ? " scalar" : " default"));
            ScreenProgram::forceScalarEncode(scalar);
            CDibImage image;
            Fill(image, width, height, bits, raw);
            Branch branch;
            EXPECT_TRUE(branch.Write(image, number));
            EXPECT_TRUE(Read(branch.Target(number)) == Read(kData + "/screen-golden/" + file));
        }
}

// A paletted picture is written by its colours.
// The reader stops at the line after the picture: a 3 GiB hole after it is not read.
TEST(ScreenFile, ReadsBackWhatWasWrittenAndNothingAfterIt)
{
    Branch branch;
    ASSERT_TRUE(
        writeBytes(branch.File("p8.bmp"), makeBmp(3, 1, 8, {qRgb(255, 0, 0), qRgb(255, 255, 255)},
                                                  {QByteArray("\x01\x00\x01", 3)})));
    CDibImage paletted;
    ASSERT_TRUE(paletted.Load(branch.File("p8.bmp")) && branch.Write(paletted, 797));
    const QByteArray p = Read(branch.Target(797));
    // Three pixels as 24 bits: white, red, white, then the row's padding byte.
    EXPECT_EQ(p.mid(p.indexOf("000001,\"") + 8, 48),
              "00000000160000000000000300010006FF7F007CFF7F0000");

    QFile file(branch.Target(796)); // of the screen's size: its records end where the picture does
    ASSERT_TRUE(QFile::copy(kData + "/screen-golden/white-796.txt", file.fileName()));
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

TEST(KeyTable, WriteGivesTheGoldenFileAndStoresTheSlice)
{
    QTemporaryDir tmp;
    TableSetup s;
    EXPECT_EQ(BitmapTableFile::Write(tmp.filePath("no"), s.table, 797, s.doc).code,
              BitmapTableFile::kWriteFailed);
    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kTableTime));
    EXPECT_EQ(Read(tmp.filePath("FILE795P.TXT")).toStdString(),
              Read(kData + "/table-write/FILE795P.TXT").toStdString());
    EXPECT_EQ(s.table[80].m_Record, s.doc.m_KeyObjs[0].m_Record);
    EXPECT_TRUE(s.table[83].IsFree());

    // A pipe of the name is no table: refused at once, never opened (it would block).
    QTemporaryDir other;
    ASSERT_EQ(::mkfifo(QFile::encodeName(other.filePath("FILE795P.TXT")).constData(), 0644), 0);
    EXPECT_EQ(BitmapTableFile::Read(other.path(), s.table).eStatus,
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
    const std::tuple<bool, const char*, QByteArray, QByteArray> cases[] = {
        // A screen looks at its first two lines as "h" and "f": quoted, the letter in any case.
        {true, "FILE797P.TXT", c + oldH + f, c + h + f},
        {true, "file797p.txt", "\"H\",\"x\"\n\"F\",\"y\"\n", c + "\"H\",\"x\"\n\"F\",\"y\"\n"},
        {true, "FILE797P.TXT", oldH + record, c + oldH + f},
        {true, "FILE797P.TXT", "h,\"36\"\r\nf,\"x\"\r\n", c + h + f},
        {true, "FILE797P.TXT", "\"h\",\"kept\"", c + "\"h\",\"kept\"\r\n" + f},
        {true, "FILE797P.TXT", "\"h\"" + QByteArray(3000, 'x') + "\r\n" + f, c + h + f},
        // The key table keeps three lines unchecked; LF alone becomes CR LF. A line longer than
        // its header buffer comes through whole and takes two header places.
        {false, "FILE795P.TXT", "C?\r\nh?\nf?\r\n000001,\"FF\"\r\n", "C?\r\nh?\r\nf?\r\n"},
        {false, "file795p.txt", "\"C\",\"c:P0795:\"", "\"C\",\"c:P0795:\"\r\n" + tableHF},
        {false, "FILE795P.TXT", longC + "\nh\nf\n", longC + "\r\nh\r\n"},
        {false, "FILE795P.TXT", "", "\"C\",\"n:P0795:\"\r\n" + tableHF}};
    CDibImage black;
    ASSERT_TRUE(black.Create(1024, 768, 24));
    for (const auto& [screen, name, existing, header] : cases) {
        SCOPED_TRACE(existing.left(40).toStdString());
        Branch branch;
        TableSetup s;
        ASSERT_TRUE(writeBytes(branch.File(name), existing));
        EXPECT_TRUE(
            screen ? branch.Write(black, 797)
                   : BitmapTableFile::Write(branch.root.path(), s.table, 798, s.doc, kTableTime));
        EXPECT_EQ(branch.Files(), QStringList{name});
        const QByteArray written = Read(branch.File(name)); // then the records (bytes: the goldens)
        EXPECT_TRUE(written.startsWith(header));
        EXPECT_EQ(written.size() - header.size(), screen ? ScreenProgram::RecordsBytes : 240 * 135);
    }
    Branch branch;
    ASSERT_TRUE(writeBytes(branch.Target(795), "table"));
    for (int number : {795, 800})
        EXPECT_EQ(branch.Write(black, number).code, ScreenProgram::WriteFailed);
    EXPECT_EQ(branch.Files(), QStringList{"FILE795P.TXT"});
    EXPECT_EQ(Read(branch.Target(795)), "table");
}

// Placed bitmaps drawn last to first and clipped at the screen, over a copy of the background; no
// image is skipped. (Background copy and stretch: tests/cli.)
TEST(Render, BitmapsOverTheBackground)
{
    CQXPanDocument design;
    CDibImage target, red, green;
    Fill(design.m_Background, 1024, 768, 24, QByteArray::fromHex("563412"));
    Fill(red, 4, 4, 24, QByteArray::fromHex("0000FF"));
    Fill(green, 4, 4, 24, QByteArray::fromHex("00FF00"));
    for (auto [image, rect] :
         std::vector<std::pair<CDibImage*, QXPanRect>>{{&red, {900, 600, 1000, 720}},
                                                       {&green, {950, 700, 1100, 800}},
                                                       {nullptr, {0, 0, 50, 50}}}) {
        CQXPanBmpObj obj;
        obj.SetImage(image);
        obj.SetRegisterRect(rect);
        design.AddBmpObj(obj);
    }
    ASSERT_TRUE(RenderScreenImage(design, target));
    const QImage& out = target.Image();
    const QRgb back = qRgb(0x12, 0x34, 0x56);
    EXPECT_EQ(
        QList({out.pixel(975, 710), out.pixel(1023, 767), out.pixel(899, 599), out.pixel(9, 9)}),
        QList({qRgb(255, 0, 0), qRgb(0, 255, 0), back, back}));
}

} // namespace
