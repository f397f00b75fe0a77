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
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

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
            ASSERT_EQ(expected.size(), 3254831) << "golden file missing";
            const QByteArray written = Read(branch.Target(c.number));
            ASSERT_EQ(written.size(), expected.size());
            EXPECT_TRUE(written == expected)
                << "first difference at byte "
                << std::mismatch(written.begin(), written.end(), expected.begin()).first -
                       written.begin();
            EXPECT_TRUE(ScreenProgram::buildFileText(image, c.number, kStamp) == expected);
        }
}

// A paletted picture is written by its colours; a larger one than the screen fills the records.
TEST(ScreenFile, PalettedAndOversizedPicturesFillExactlyTheRecords)
{
    Branch branch;
    ASSERT_TRUE(
        writeBytes(branch.File("p8.bmp"), makeBmp(3, 1, 8, {qRgb(255, 0, 0), qRgb(255, 255, 255)},
                                                  {QByteArray("\x01\x00\x01", 3)})));
    CDibImage paletted, large;
    ASSERT_TRUE(paletted.Load(branch.File("p8.bmp")));
    Fill(large, 1200, 800, 24, QByteArray(1, char(0xFF)));
    ASSERT_TRUE(branch.Write(paletted, 797));
    ASSERT_TRUE(branch.Write(large, 798));
    const QByteArray p = Read(branch.Target(797)), l = Read(branch.Target(798));
    ASSERT_EQ(p.size(), 3254831);
    ASSERT_EQ(l.size(), 3254831);
    // Three pixels as 24 bits: white, red, white, then the row's padding byte.
    EXPECT_EQ(p.mid(p.indexOf("000001,\"") + 8, 48),
              "00000000160000000000000300010006FF7F007CFF7F0000");
    EXPECT_EQ(l.mid(l.indexOf("000001,\"") + 8, 36), "00001D4C10000000000004B003200960FF7F");
    EXPECT_TRUE(l.endsWith("009833,\"" + QByteArray("FF7F").repeated(80) + "\"\r\n"));
}

// The "h" and "f" lines of an existing target are kept by the rules; the rest is fresh.
TEST(ScreenFile, KeepsOrRenewsTheHeaderLines)
{
    const QByteArray freshH = ScreenProgram::hLine(kStamp), f = ScreenProgram::fLine(797);
    const QByteArray oldH = "\"h\",\"36\",\"01\",\"0000\",\"990101\",\"0102\",\"0001\",\"01\"\r\n";
    const QByteArray records =
        Read(kData + "/screen-golden/black-797.txt").right(ScreenProgram::RecordsBytes);
    const struct
    {
        const char* name; // of the existing target
        QByteArray existing;
        QByteArray kept; // the lines after the "C" line
    } cases[] = {{"FILE797P.TXT", ScreenProgram::cLine(797) + oldH + f, freshH + f},
                 {"file797p.txt", oldH + f + "000001,\"00\"\r\n", oldH + f}, // replaced in place
                 {"FILE797P.TXT", "\"H\",\"x\"\n\"F\",\"y\"\n", "\"H\",\"x\"\n\"F\",\"y\"\n"},
                 {"FILE797P.TXT", oldH + "000001,\"00\"\r\n", oldH + f},
                 {"FILE797P.TXT", f + oldH, freshH + f},
                 {"FILE797P.TXT", "h,\"36\"\r\nf,\"x\"\r\n", freshH + f},
                 {"FILE797P.TXT", "\"h\",\"kept\"", "\"h\",\"kept\"\r\n" + f},
                 {"FILE797P.TXT", "\"h\"" + QByteArray(3000, 'x') + "\r\n" + f, freshH + f}};
    CDibImage black;
    ASSERT_TRUE(black.Create(1024, 768, 24));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing.left(40).toStdString());
        Branch branch;
        ASSERT_TRUE(writeBytes(branch.File(c.name), c.existing));
        EXPECT_TRUE(branch.Write(black, 797));
        EXPECT_EQ(branch.Files(), QStringList{c.name});
        EXPECT_TRUE(Read(branch.File(c.name)) == ScreenProgram::cLine(797) + c.kept + records);
    }
    // A target of 2 GiB without a line end: nothing to keep, and not read to its end.
    Branch branch;
    ASSERT_TRUE(writeBytes(branch.Target(797), {}) && QFile::resize(branch.Target(797), 2LL << 30));
    EXPECT_TRUE(branch.Write(black, 797));
    EXPECT_TRUE(Read(branch.Target(797)) == ScreenProgram::buildFileText(black, 797, kStamp));
}

TEST(ScreenFile, OnlyScreenFilesAreWrittenAndAFailedWriteChangesNothing)
{
    CDibImage black;
    ASSERT_TRUE(black.Create(1024, 768, 24));
    Branch branch;
    // 795 is the key table: a picture must never replace it.
    ASSERT_TRUE(writeBytes(branch.Target(795), "table"));
    for (int number : {795, 800}) {
        const FileResult result = branch.Write(black, number);
        EXPECT_EQ(result.code, ScreenProgram::WriteFailed);
        EXPECT_TRUE(result.Text().startsWith(
            QString::asprintf("FILE%03dP.TXT is not a screen file", number)));
    }
    // A folder of the target's name is no file to replace.
    ASSERT_TRUE(QDir().mkpath(branch.Target(798)));
    const FileResult failed = branch.Write(black, 798);
    EXPECT_EQ(failed.code, ScreenProgram::WriteFailed);
    EXPECT_EQ(failed.Message().text, "Could not write " + branch.Target(798) +
                                         ": is not a regular file (a folder, a device or a pipe); "
                                         "it is left as it is");
    EXPECT_EQ(failed.icon, FileMessage::StopIcon);
    EXPECT_TRUE(QFileInfo(branch.Target(798)).isDir());
    EXPECT_EQ(branch.Files(), QStringList{"FILE795P.TXT"});
    EXPECT_EQ(Read(branch.Target(795)), "table");
}

// Every channel value through the encoder in use and the decoder: the lower three bits go. The
// reader stops at the line after the picture: a 3 GiB hole after it is not read.
TEST(ScreenFile, ReadsBackWhatWasWrittenAndNothingAfterIt)
{
    QByteArray raw(qsizetype(1024) * 768 * 3, '\0');
    quint32 seed = 12345;
    for (char& b : raw) {
        seed = seed * 1103515245u + 12345u;
        b = char(seed >> 16);
    }
    CDibImage picture;
    Fill(picture, 1024, 768, 24, raw);
    Branch branch;
    ASSERT_TRUE(branch.Write(picture, 797));
    QFile file(branch.Target(797));
    ASSERT_TRUE(file.resize(qint64(3) << 30));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    MeteredDevice meter(MeteredDevice::Through(file), file.size());
    QByteArray back(raw.size(), '\0');
    ASSERT_TRUE(decodeScreenProgram(meter, reinterpret_cast<uchar*>(back.data())));
    EXPECT_LE(meter.BytesRead(), 3254831 + (1 << 20));
    EXPECT_LE(meter.LargestRequest(), 1 << 20);
    for (qsizetype i = 0; i < raw.size(); ++i)
        ASSERT_EQ(uchar(back[i]), uchar(raw[i]) & 0xF8) << "byte " << i;
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
TEST(KeyTable, WriteGivesTheGoldenFileStoresTheSliceAndReadsBack)
{
    QTemporaryDir tmp;
    TableSetup s;
    const QList<CQXPanKeyObj> before = s.table;
    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 796, s.doc, kTableTime));
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    const FileResult failed = BitmapTableFile::Write(tmp.filePath("no"), s.table, 797, s.doc);
    EXPECT_EQ(failed.code, BitmapTableFile::kWriteFailed);
    EXPECT_EQ(failed.path, tmp.filePath("no/FILE795P.TXT"));
    EXPECT_FALSE(failed.reason.isEmpty());
    for (int i = 0; i < 240; ++i)
        ASSERT_EQ(s.table[i].m_Record, before[i].m_Record) << i;

    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kTableTime));
    EXPECT_EQ(Read(tmp.filePath("FILE795P.TXT")).toStdString(),
              Read(kData + "/table-write/FILE795P.TXT").toStdString());
    EXPECT_EQ(s.table[80].m_Record, s.doc.m_KeyObjs[0].m_Record);
    EXPECT_TRUE(s.table[83].IsFree());
    QList<CQXPanKeyObj> back;
    ASSERT_EQ(BitmapTableFile::Read(tmp.path(), back).nRecords, 240);
    for (int i = 0; i < 240; ++i) // free records come back as zeros
        EXPECT_EQ(back[i].m_Record,
                  s.table[i].IsFree() ? ScreenObjectRecord{} : s.table[i].m_Record)
            << i;

    // A pipe of the name is no table: refused at once, never opened (it would block).
    QTemporaryDir other;
    ASSERT_EQ(::mkfifo(QFile::encodeName(other.filePath("FILE795P.TXT")).constData(), 0644), 0);
    EXPECT_EQ(BitmapTableFile::Read(other.path(), back).eStatus,
              BitmapTableFile::ReadStatus::Wrong);
}

TEST(KeyTable, KeepsExistingHeaderLinesAndFillsMissingOnes)
{
    const QByteArray freshH =
        "\"h\",\"32\",\"01\",\"0000\",\"260304\",\"0506\",\"0001\",\"00\",\"02\"\r\n";
    const QByteArray freshF = "\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";
    const QByteArray longC = "C" + QByteArray(2500, 'x');
    const struct
    {
        const char* name; // of the existing file, which is the one replaced
        QByteArray existing;
        QByteArray header; // expected first lines of the written file
    } cases[] = {
        // Unchecked: even lines the reader would reject are kept; LF alone becomes CR LF.
        {"FILE795P.TXT", "C?\r\nh?\nf?\r\n000001,\"FF\"\r\n", "C?\r\nh?\r\nf?\r\n"},
        {"file795p.txt", "\"C\",\"c:P0795:\"\r\n", "\"C\",\"c:P0795:\"\r\n" + freshH + freshF},
        {"FILE795P.TXT", "XYZ", "XYZ\r\n" + freshH + freshF},
        // A line longer than the header buffer comes through whole and takes two header places.
        {"FILE795P.TXT", longC + "\nh\nf\n", longC + "\r\nh\r\n"},
        {"FILE795P.TXT", "", "\"C\",\"n:P0795:\"\r\n" + freshH + freshF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing.left(20).toStdString());
        QTemporaryDir tmp;
        ASSERT_TRUE(writeBytes(tmp.filePath(c.name), c.existing));
        QList<CQXPanKeyObj> table(240);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = 80;
        ASSERT_TRUE(BitmapTableFile::Write(tmp.path(), table, 798, doc, kTableTime));
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{c.name});
        const QByteArray written = Read(tmp.filePath(c.name));
        EXPECT_EQ(written.left(c.header.size()).toStdString(), c.header.toStdString());
        EXPECT_EQ(written.size(), c.header.size() + 240 * 135);
        EXPECT_TRUE(written.endsWith("000240,\"" + QByteArray(124, '0') + "\"\r\n"));
    }
}

// The background copied or enlarged, placed bitmaps drawn last to first and clipped; the preview
// takes that picture through register words and draws the keys over it.
TEST(Render, BackgroundBitmapsAndThePreviewWithItsKeys)
{
    CDibImage small;
    ASSERT_TRUE(small.Create(800, 600, 24)); // only the register screen is converted
    EXPECT_TRUE(RegisterPreview::ThroughRegisterColours(small).isNull());

    CQXPanDocument design;
    CDibImage target, red, green, empty;
    QByteArray raw = QByteArray::fromHex("563412").repeated(1024 * 768);
    for (const auto& [x, y] : {std::pair{1023, 0}, {0, 767}, {513, 384}})
        raw.replace((qsizetype(y) * 1024 + x) * 3, 3, QByteArray::fromHex("0000FF"));
    Fill(design.m_Background, 1024, 768, 24, raw);
    ASSERT_TRUE(RenderScreenImage(design, target));
    QByteArray out(raw.size(), '\0');
    EXPECT_EQ(target.GetBits(out.size(), out.data()), raw.size());
    EXPECT_TRUE(out == raw);

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
    const auto pixel = [&target](int x, int y) {
        return target.Image().pixel(x, y) & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(175, 175), 0xFF0000u); // the first record on top
    EXPECT_EQ(pixel(225, 225), 0x00FF00u);
    EXPECT_EQ(pixel(1023, 767), 0x00FF00u);
    for (const auto& [x, y] : {std::pair{99, 99}, {350, 350}, {10, 10}}) // none, empty, no image
        EXPECT_EQ(pixel(x, y), 0x123456u) << x << ", " << y;
    design.m_Background.GetBits(out.size(), out.data());
    EXPECT_TRUE(out == raw); // the design's own background is not drawn on

    design.m_nKeyCapacity = 80;
    CQXPanKeyObj key = Key(45, {100, 200, 300, 260}, 1, 1, {}, {}, 0xFF); // red, as a reference
    CQXPanKeyObj table = Key(93, {400, 200, 500, 300}, 2, 1, {});
    table.SetFillColour(0xE6E6E6u, false);
    design.AddKeyObj(&key);
    design.AddKeyObj(&table);
    QImage preview;
    ASSERT_TRUE(RegisterPreview::Build(design, preview));
    ASSERT_EQ(preview.size(), QSize(1024, 768));
    const QRgb background = qRgb(0x10, 0x30, 0x50); // the low three bits of each channel go
    for (const auto& [x, y] : {std::pair{1023, 0}, {0, 767}, {513, 384}, {175, 175}})
        EXPECT_EQ(preview.pixel(x, y), qRgb(248, 0, 0)) << x << ", " << y;
    // The key's fill keeps its low bits; the outline covers left..right-1.
    EXPECT_EQ(preview.pixel(150, 205), qRgb(255, 0, 0));
    EXPECT_EQ(preview.pixel(100, 230), qRgb(0, 0, 0));
    EXPECT_EQ(preview.pixel(299, 230), qRgb(0, 0, 0));
    EXPECT_EQ(preview.pixel(300, 230), background);
    // The round table: grey in its middle, its box corner left to the background.
    EXPECT_EQ(preview.pixel(450, 250), qRgb(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(preview.pixel(402, 202), background);

    Fill(design.m_Background, 2, 2, 24, QByteArray::fromHex("1E140A")); // enlarged
    ASSERT_TRUE(RenderScreenImage(design, target));
    EXPECT_EQ(pixel(10, 10), 0x0A141Eu);
    EXPECT_EQ(pixel(1023, 0), 0x0A141Eu);
}

} // namespace
