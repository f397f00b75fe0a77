// Huge and forged inputs: every reader streams in bounded pieces, every list stops at its limit
// and an image too large for a screen is refused, each with the outcome the editor gives.
// Gigabyte files are sparse (QFile::resize) and long streams are generated on the fly.

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenFileImport.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanBitmapLister.h"
#include "refdata/CQXPanFuncKeyReader.h"

#include "MeteredDevice.h"
#include "TestBmp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kGiB = qint64(1) << 30;
constexpr qint64 kMiB = qint64(1) << 20;
// What QIODevice asks a device for at once when a reader reads lines through its buffer, and
// the chunk the screen file reader asks for itself.
constexpr qint64 kLineChunk = 16 * 1024;
constexpr qint64 kScreenChunk = 64 * 1024;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- Screen program files of gigabytes ----

const QByteArray kScreenHeaderLines = "\"C\",\"n:P0797:\"\r\n\"h\",\"36\"\r\n\"f\",\"FILE797\"\r\n";

// Screen file text whose 9833 records carry the 16 header digits given and then white pixels
// (FF7F) for the whole screen, zero words after them.
QByteArray WhiteScreenText(const QByteArray& headerDigits)
{
    QByteArray stream = headerDigits;
    stream.reserve(qsizetype(9833) * 320);
    for (int i = 0; i < 1024 * 768; ++i)
        stream += "FF7F";
    stream = stream.leftJustified(qsizetype(9833) * 320, '0', true);
    QByteArray text = kScreenHeaderLines;
    for (int r = 0; r < 9833; ++r)
        text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                stream.mid(qsizetype(r) * 320, 320) + "\"\r\n";
    return text;
}

// Writes bytes to path and makes the file size bytes long; the rest is a hole of zeros.
void WriteSparse(const QString& path, const QByteArray& bytes, qint64 size)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
    ASSERT_TRUE(f.resize(size)) << f.errorString().toStdString();
}

struct ScreenBranch
{
    QTemporaryDir root;
    QString program = root.filePath("program");
    QString work = root.filePath("work");
    QString backgrounds = root.filePath("bg");

    ScreenBranch()
    {
        QDir().mkpath(program);
        QDir().mkpath(work);
        QDir().mkpath(backgrounds);
    }
    QString Target() const { return QDir(program).filePath("FILE797P.TXT"); }
};

bool AllPixelsAre(const CDibImage& image, uchar value)
{
    std::vector<uchar> raw(size_t(image.RawSize()));
    image.GetBits(image.RawSize(), raw.data());
    return std::all_of(raw.begin(), raw.end(), [value](uchar b) { return b == value; });
}

TEST(ScreenFileBounds, PictureFollowedByGigabytesIsReadOnlyUpToTheRecordAfterIt)
{
    ScreenBranch branch;
    const QByteArray text = WhiteScreenText("00001800100000000000040003000800");
    WriteSparse(branch.Target(), text, 3 * kGiB);

    CDibImage background;
    EXPECT_EQ(ImportScreenFile(797, 0, background, branch.program, branch.backgrounds).code,
              ScreenImportOk);
    ASSERT_EQ(background.Width(), 1024);
    EXPECT_TRUE(AllPixelsAre(background, 248));

    // The same file through a meter: the reader stops after the record that follows the
    // picture (9831 + 1 records), long before the hole.
    QFile file(branch.Target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    MeteredDevice meter(MeteredDevice::Through(file), file.size());
    std::vector<uchar> pixels(size_t(ScreenPixelBytes), 0);
    EXPECT_EQ(decodeScreenProgram(meter, pixels.data()).code, ScreenImportOk);
    EXPECT_LE(meter.BytesRead(), text.size() + kScreenChunk);
    EXPECT_LE(meter.LargestRequest(), kScreenChunk);
}

TEST(ScreenFileBounds, LengthClaimBeyondAGigabyteHoleEndsRefusedAfterOneBoundedPass)
{
    ScreenBranch branch;
    // Length FFFFFFFF asks for 26.8 million records; the file holds one and then 1.5 GiB of
    // zeros without a line end, which arrive as 1023-byte pieces.
    const QByteArray text = kScreenHeaderLines + "000001,\"00FFFFFFFF0000000000040003000800" +
                            QByteArray(288, '0') + "\"\r\n";
    WriteSparse(branch.Target(), text, kGiB + kGiB / 2);

    CDibImage background;
    ASSERT_TRUE(background.Create(16, 16, 24));
    const FileResult imported =
        ImportScreenFile(797, 0, background, branch.program, branch.backgrounds);
    EXPECT_EQ(imported.code, ScreenImportRefused);
    // Refused: the background was rebuilt black at screen size and nothing was reported.
    EXPECT_EQ(background.Width(), 1024);
    EXPECT_TRUE(AllPixelsAre(background, 0));
    EXPECT_TRUE(imported.Text().isEmpty());

    QFile file(branch.Target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    MeteredDevice meter(MeteredDevice::Through(file), file.size());
    std::vector<uchar> pixels(size_t(ScreenPixelBytes), 0);
    EXPECT_EQ(decodeScreenProgram(meter, pixels.data()).code, ScreenImportRefused);
    EXPECT_EQ(meter.BytesRead(), kGiB + kGiB / 2);
    EXPECT_LE(meter.LargestRequest(), kScreenChunk);
}

TEST(ScreenFileBounds, ConvertReplacesAGigabyteTargetWithoutAHeaderLineToKeep)
{
    ScreenBranch branch;
    // An existing target of 2 GiB zeros: its "first line" never ends, so nothing is kept, and
    // only its first megabyte is looked at.
    WriteSparse(branch.Target(), QByteArray(), 2 * kGiB);
    CDibImage screen;
    ASSERT_TRUE(screen.Create(1024, 768, 24));
    const QDateTime written(QDate(2026, 12, 5), QTime(23, 40));

    EXPECT_TRUE(WriteScreenProgramFile(screen, 797, branch.program, written));
    const QByteArray result = ReadAll(branch.Target());
    EXPECT_EQ(result, ScreenProgram::buildFileText(screen, 797, written));
    EXPECT_FALSE(QFile::exists(QDir(branch.work).filePath("file797.out")));
}

// ---- Panel files of ten million lines ----

// Placed-bitmap list {header, "logo.bmp"}; every question about a missing bitmap answered Yes.
class TenMillionHost final : public PanelReadHost
{
public:
    TenMillionHost() { m_image.Create(8, 8, 24); }

    QStringList BackgroundNames() const override { return {QString(), "Aempty.bmp"}; }
    QStringList PlacedBitmapNames() const override { return {QString(), "logo.bmp"}; }
    void SelectBackgroundItem(int, int) override {}
    void LoadEmptyBackground(int) override {}
    void ImportScreenBackground(int, int) override {}
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override
    {
        const QString name = PlacedBitmapNames()[j];
        obj.SetImage(&m_image, &name);
        return true;
    }
    bool AskContinue(const QString&, const QString&) override
    {
        ++m_questions;
        return true;
    }

    qint64 m_questions = 0;

private:
    CDibImage m_image;
};

struct PanelCase
{
    const char* name;
    int imageType;
    QByteArray group; // four lines, repeated to ten million lines
    PanelFile::Stop stop;
    qsizetype keys;
    qsizetype bitmaps;
    qint64 questions;
    bool readsEverything; // the reader goes through the whole stream
};

class PanelFileBounds : public ::testing::TestWithParam<PanelCase>
{};

TEST_P(PanelFileBounds, TenMillionLinesReadInBoundedPiecesEndAsTheyShould)
{
    const PanelCase& c = GetParam();
    constexpr qint64 groups = 2'500'000; // four lines each
    auto device = MeteredDevice::Repeating("BG:0\r\n", c.group, groups);
    const qint64 total = device->bytesAvailable();
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    TenMillionHost host;

    const PanelFile::ReadResult result = PanelFile::Read(*device, c.imageType, doc, host);

    EXPECT_TRUE(result.result);
    EXPECT_EQ(result.eStop, c.stop);
    EXPECT_EQ(doc.m_KeyObjs.size(), c.keys);
    EXPECT_EQ(doc.m_BmpObjs.size(), c.bitmaps);
    EXPECT_EQ(host.m_questions, c.questions);
    EXPECT_LE(device->LargestRequest(), kLineChunk);
    if (c.readsEverything)
        EXPECT_EQ(device->BytesRead(), total);
    else
        EXPECT_LT(device->BytesRead(), total / 100);
}

const QByteArray kKeyGroup =
    "0100 0200 0100 0200 0000 0003 0045 0000 0000 0007\r\n \r\nKEY \r\n \r\n";
const QByteArray kTinyGroup =
    "0100 0110 0100 0200 0000 0003 0045 0000 0000 0007\r\n \r\nKEY \r\n \r\n";
const QByteArray kBitmapGroup = "0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n"
                                "..\\..\\elsewhere\\logo.bmp \r\n \r\n \r\n";
const QByteArray kMissingGroup = "0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n"
                                 "C:\\gone.bmp \r\n \r\n \r\n";

INSTANTIATE_TEST_SUITE_P(
    Streams, PanelFileBounds,
    ::testing::Values(
        // Objects below 30 pixels are passed over: every line is read, nothing is kept.
        PanelCase{"TinyObjects", 797, kTinyGroup, PanelFile::Stop::EndOfFile, 0, 0, 0, true},
        // Keys of a check window stop at the 80 the screen holds.
        PanelCase{"KeysOfACheckWindow", 797, kKeyGroup, PanelFile::Stop::ScreenFull, 80, 0, 0,
                  false},
        // The logo takes no keys: all passed over.
        PanelCase{"KeysOfTheLogo", 796, kKeyGroup, PanelFile::Stop::EndOfFile, 0, 0, 0, true},
        // Placed bitmaps stop at the limit instead of filling memory.
        PanelCase{"PlacedBitmaps", 797, kBitmapGroup, PanelFile::Stop::TooManyBitmaps, 0,
                  PanelFile::kMaxPlacedBitmaps, 0, false},
        // A missing bitmap answered Yes every time: asked each time, nothing kept.
        PanelCase{"MissingBitmaps", 797, kMissingGroup, PanelFile::Stop::EndOfFile, 0, 0, 2'500'000,
                  true},
        // Lines without numbers end the reading at the first of them.
        PanelCase{"NoNumbers", 797, QByteArray("not a panel object line\r\n").repeated(4),
                  PanelFile::Stop::NotAnObject, 0, 0, 0, false}),
    [](const ::testing::TestParamInfo<PanelCase>& info) { return info.param.name; });

TEST(PanelFileBounds, AHundredMegabyteLineArrivesInPiecesAndEndsTheReading)
{
    auto device = MeteredDevice::Repeating("BG:0\r\n", "garbage ", 100 * kMiB / 8);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    TenMillionHost host;
    const PanelFile::ReadResult result = PanelFile::Read(*device, 797, doc, host);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(result.eStop, PanelFile::Stop::NotAnObject);
    EXPECT_LE(device->BytesRead(), kLineChunk + 1024);
}

// ---- FILE795P.TXT with a line of a hundred megabytes ----

const QByteArray kTableHeader = "\"C\",\"n:P0795:\"\r\n\"h\",\"32\"\r\n\"f\",\"FILE795\"\r\n";

QByteArray TableRecords(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(i + 1).rightJustified(6, '0') + ",\"" + QByteArray(124, '0') +
                "\"\r\n";
    return text;
}

struct TableCase
{
    const char* name;
    QByteArray head;
    QByteArray unit; // repeated to 100 MB without a line end
    BitmapTableFile::ReadStatus status;
    int records;
    qint64 mostBytesRead;
};

class BitmapTableBounds : public ::testing::TestWithParam<TableCase>
{};

TEST_P(BitmapTableBounds, HundredMegabyteLineIsReadInPiecesOf255)
{
    const TableCase& c = GetParam();
    auto device = MeteredDevice::Repeating(c.head, c.unit, 100 * kMiB / c.unit.size());
    QList<CQXPanKeyObj> table;
    const auto result = BitmapTableFile::ReadDevice(*device, table);
    EXPECT_EQ(result.eStatus, c.status);
    EXPECT_EQ(result.nRecords, c.records);
    EXPECT_EQ(result.result.Text().isEmpty(), c.status != BitmapTableFile::ReadStatus::Wrong);
    EXPECT_EQ(table.size(), BitmapTableFile::kTableSize);
    EXPECT_LE(device->BytesRead(), c.mostBytesRead);
    EXPECT_LE(device->LargestRequest(), kLineChunk);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BitmapTableBounds,
    ::testing::Values(
        // The long line is the first: it is not the "C" line.
        TableCase{"FirstLine",
                  {},
                  "\"C\",\"n:P0795:\"",
                  BitmapTableFile::ReadStatus::Wrong,
                  0,
                  kLineChunk},
        // A record line of 100 MB of digits: every 255-byte piece begins with a digit and
        // counts as a record, so the 241st piece ends the reading.
        TableCase{"DigitsRecord", kTableHeader + "000001,\"", "0123456789",
                  BitmapTableFile::ReadStatus::Wrong, 240, 241 * 255 + kLineChunk},
        // After 90 good records a line of blanks is not a record line: 90 records stand.
        TableCase{"BlankLineAfter90", kTableHeader + TableRecords(90), "    ",
                  BitmapTableFile::ReadStatus::Read, 90, 90 * 135 + 255 + 2 * kLineChunk}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return info.param.name; });

TEST(BitmapTableBounds, WriterTakesOnlyThreePiecesOfAHundredMegabyteHeaderLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("FILE795P.TXT");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block = QByteArray("\"C\",").repeated(1024);
        for (qint64 written = 0; written < 100 * kMiB; written += block.size())
            ASSERT_EQ(f.write(block), block.size());
    }
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    CQXPanDocument doc;
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, 797, doc));

    // Three pieces of 2047 bytes of the old line (written as they stand), then 240 records.
    const QByteArray written = ReadAll(path);
    ASSERT_EQ(written.size(), 3 * 2047 + 240 * 135);
    EXPECT_EQ(written.left(3 * 2047), QByteArray("\"C\",").repeated(2048).left(3 * 2047));
    EXPECT_TRUE(written.endsWith("000240,\"" + QByteArray(124, '0') + "\"\r\n"));
}

// ---- funckey.txt whose records never start ----

TEST(FuncKeyBounds, RecordsOutOfOrderAreHeldOnlyUpToTheRecordLimit)
{
    // A million lines of records 1, 2, 3, ... and never record 0: nothing can be delivered, and
    // only the records below the limit may wait for it.
    constexpr int count = 1'000'000;
    int index = 1;
    auto device = std::make_unique<MeteredDevice>(
        [&index](qint64, char* data, qint64 maxSize) -> qint64 {
            qint64 n = 0;
            while (index <= count && maxSize - n >= 64) {
                n += std::snprintf(data + n, 64, "0402 %07d 123    KEY\r\n", index);
                ++index;
            }
            return n;
        },
        qint64(count) * 25);
    const CQXPanRefReadResult result = CQXPanFuncKeyReader::Read(*device);
    EXPECT_TRUE(result.m_rows.isEmpty());
    EXPECT_LE(device->LargestRequest(), kLineChunk);
}

TEST(FuncKeyBounds, ReadingEndsAtTheRecordLimit)
{
    constexpr int count = CQXPanFuncKeyReader::kMaxRecords + 500;
    int index = 0;
    auto device = std::make_unique<MeteredDevice>(
        [&index](qint64, char* data, qint64 maxSize) -> qint64 {
            qint64 n = 0;
            while (index < count && maxSize - n >= 64) {
                n += std::snprintf(data + n, 64, "0402 %05d 123      KEY\r\n", index);
                ++index;
            }
            return n;
        },
        qint64(count) * 25);
    const CQXPanRefReadResult result = CQXPanFuncKeyReader::Read(*device);
    ASSERT_EQ(result.m_rows.size(), CQXPanFuncKeyReader::kMaxRecords);
    EXPECT_EQ(result.m_rows.last().m_strCol2, "KEY");
}

// ---- A bitmap folder of 100,000 files ----

TEST(BitmapFolderBounds, HundredThousandFilesGiveTheFirst500Rows)
{
    QTemporaryDir dir;
    const QString placed = dir.filePath("placed");
    const QString program = dir.filePath("program");
    QDir().mkpath(placed);
    QDir().mkpath(program);
    constexpr int count = 100'000;
    for (int i = count - 1; i >= 0; --i) {
        QFile f(QDir(placed).filePath(QString::asprintf("b%06d.bmp", i)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QElapsedTimer timer;
    timer.start();
    const QList<CQXPanRefRow> rows = CQXPanBitmapLister::ListPlacedBitmaps(placed);
    const qint64 placedMs = timer.restart();
    // The same folder as the background folder: "Aempty.bmp" is created and comes first.
    const QList<CQXPanRefRow> backgrounds = CQXPanBitmapLister::ListBackgrounds(program, placed);
    const qint64 backgroundMs = timer.elapsed();

    ASSERT_EQ(rows.size(), CQXPanBitmapLister::kMaxRows);
    for (int i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].m_strCol1, QString::asprintf("b%06d.bmp", i));
    ASSERT_EQ(backgrounds.size(), CQXPanBitmapLister::kMaxRows);
    EXPECT_EQ(backgrounds[0].m_strCol1, "Aempty.bmp");
    EXPECT_EQ(backgrounds[1].m_strCol1, "b000000.bmp");
    EXPECT_EQ(backgrounds.last().m_strCol1, "b000498.bmp");
    // Generous: listing takes a fraction of this even on a slow shared machine.
    EXPECT_LT(placedMs, 10'000);
    EXPECT_LT(backgroundMs, 10'000);
}

// ---- A bitmap header that claims 60000 x 60000 pixels ----

// A 54-byte BMP header (40-byte info header) claiming the size, without pixels.
QByteArray ClaimingBmpHeader(qint32 width, qint32 height, int bits)
{
    QByteArray b("BM");
    const qint64 rowBytes = ((qint64(width < 0 ? -width : width) * bits + 31) / 32) * 4;
    // Unsigned, so the size of the largest claims wraps as the 32-bit field does.
    const quint64 pixels = quint64(rowBytes) * quint64(height < 0 ? -qint64(height) : height);
    put32(b, qint64((54 + pixels) & 0xFFFFFFFF));
    put32(b, 0);
    put32(b, bits <= 8 ? 54 + (4 << bits) : 54);
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);
    put32(b, qint64(pixels & 0xFFFFFFFF));
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    if (bits <= 8)
        b += QByteArray(4 << bits, '\x7F');
    return b;
}

// The 12-byte core header of old bitmaps: 16-bit width and height.
QByteArray ClaimingCoreBmpHeader(int width, int height)
{
    QByteArray b("BM");
    put32(b, 26);
    put32(b, 0);
    put32(b, 26);
    put32(b, 12);
    put16(b, width);
    put16(b, height);
    put16(b, 1);
    put16(b, 24);
    return b;
}

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(QByteArray& b, quint32 v)
{
    b.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

// A PNG signature and an IHDR chunk claiming the size, then an empty image.
QByteArray ClaimingPng(quint32 width, quint32 height)
{
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray ihdr("IHDR");
    PutBig32(ihdr, width);
    PutBig32(ihdr, height);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    PutBig32(png, 13);
    png += ihdr;
    PutBig32(png, Crc32(ihdr));
    PutBig32(png, 0);
    png += "IEND";
    PutBig32(png, Crc32("IEND"));
    return png;
}

struct ClaimCase
{
    const char* name;
    QByteArray bytes;
    qint64 sparseSize; // 0: the file is just the bytes
};

class OversizedImage : public ::testing::TestWithParam<ClaimCase>
{};

TEST_P(OversizedImage, IsRefusedAndTheHeldImageStays)
{
    const ClaimCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.bmp");
    WriteSparse(path, c.bytes, std::max<qint64>(c.sparseSize, c.bytes.size()));

    CDibImage image;
    ASSERT_TRUE(image.Create(4, 3, 24));
    QElapsedTimer timer;
    timer.start();
    const int status = image.Load(path).code;
    EXPECT_TRUE(status == CDibImage::LoadTooLarge || status == CDibImage::LoadCannotDecode)
        << status;
    EXPECT_LT(timer.elapsed(), 5'000);
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.BitsPerPixel(), 24);
}

INSTANTIATE_TEST_SUITE_P(
    Claims, OversizedImage,
    ::testing::Values(ClaimCase{"Bmp24HeaderOnly", ClaimingBmpHeader(60000, 60000, 24), 0},
                      // The file really is as large as it claims (10.8 GB, a hole).
                      ClaimCase{"Bmp24FullSizeSparse", ClaimingBmpHeader(60000, 60000, 24),
                                54 + qint64(60000) * 60000 * 3},
                      ClaimCase{"Bmp24TopDown", ClaimingBmpHeader(60000, -60000, 24), 0},
                      ClaimCase{"Bmp32Wide", ClaimingBmpHeader(60000, 1, 32), 0},
                      ClaimCase{"Bmp32Tall", ClaimingBmpHeader(1, 60000, 32), 0},
                      ClaimCase{"Bmp1", ClaimingBmpHeader(60000, 60000, 1), 0},
                      ClaimCase{"Bmp8", ClaimingBmpHeader(60000, 60000, 8), 0},
                      ClaimCase{"BmpIntMax", ClaimingBmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 24), 0},
                      ClaimCase{"BmpCoreHeader", ClaimingCoreBmpHeader(60000, 60000), 0},
                      ClaimCase{"Png", ClaimingPng(60000, 60000), 0}),
    [](const ::testing::TestParamInfo<ClaimCase>& info) { return info.param.name; });

} // namespace
