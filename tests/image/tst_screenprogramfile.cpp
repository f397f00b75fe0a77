#include "image/CDibImage.h"
#include "image/ScreenProgramFile.h"

#include "TestBmp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

namespace {

const QDateTime stamp(QDate(2026, 12, 5), QTime(20, 1, 0));

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

QString golden(const char* name)
{
    return QStringLiteral(QXPAN_TEST_DATA "/screen-golden/") + QLatin1String(name);
}

// Work and program folders of a branch, and the messages of one write.
struct Branch
{
    QTemporaryDir root;
    QString work = root.filePath("work");
    QString program = root.filePath("program");
    std::vector<FileMessage> messages;

    Branch()
    {
        QDir().mkpath(work);
        QDir().mkpath(program);
    }
    int write(const CDibImage& image, int number)
    {
        return WriteScreenProgramFile(
            image, number, work, program, [this](const FileMessage& m) { messages.push_back(m); },
            stamp);
    }
    QString target(int number) const
    {
        return QDir(program).filePath(QString::asprintf("FILE%03dP.TXT", number));
    }
    QString temp(int number) const
    {
        return QDir(work).filePath(QStringLiteral("file%1.out").arg(number));
    }
};

struct GoldenCase
{
    const char* file;
    int width;
    int height;
    int bits;
    int number;
    std::vector<unsigned char> raw; // empty: every byte is fill
    unsigned char fill;
};

std::ostream& operator<<(std::ostream& os, const GoldenCase& c)
{
    return os << c.file;
}

class ScreenGolden : public ::testing::TestWithParam<GoldenCase>
{};

TEST_P(ScreenGolden, WriterProducesTheExactFile)
{
    const GoldenCase& c = GetParam();
    CDibImage image;
    ASSERT_TRUE(image.Create(c.width, c.height, c.bits));
    std::vector<unsigned char> raw = c.raw;
    if (raw.empty())
        raw.assign(size_t(image.RawSize()), c.fill);
    ASSERT_EQ(image.SetBits(qsizetype(raw.size()), raw.data()), image.RawSize());

    Branch branch;
    EXPECT_EQ(branch.write(image, c.number), 0);
    EXPECT_TRUE(branch.messages.empty());
    const QByteArray expected = readAll(golden(c.file));
    ASSERT_EQ(expected.size(), 3254831) << "golden file missing";
    const QByteArray written = readAll(branch.target(c.number));
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected)
        << "first difference at byte "
        << std::mismatch(written.begin(), written.end(), expected.begin()).first - written.begin();
    EXPECT_FALSE(QFile::exists(branch.temp(c.number)));
    // The in-memory text is the same file.
    EXPECT_TRUE(ScreenProgram::buildFileText(image, c.number, stamp) == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScreenGolden,
    ::testing::Values(
        GoldenCase{"black-797.txt", 1024, 768, 24, 797, {}, 0x00},
        GoldenCase{"white-796.txt", 1024, 768, 24, 796, {}, 0xFF},
        GoldenCase{"odd24-798.txt",
                   3,
                   2,
                   24,
                   798,
                   {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
                    0x07, 0x07, 0x07, 0x08, 0x10, 0x20, 0x12, 0x34, 0x56, 0x00},
                   0},
        GoldenCase{
            "rgb16-799.txt", 2, 2, 16, 799, {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, 0},
        GoldenCase{
            "rgb32-797.txt", 2, 1, 32, 797, {0x10, 0x20, 0x30, 0xAB, 0xF8, 0x08, 0x80, 0xCD}, 0}));

TEST(ScreenProgramFile, PalettedImageIsWrittenByItsColours)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p8.bmp");
    ASSERT_TRUE(writeBytes(path, makeBmp(3, 1, 8, {qRgb(255, 0, 0), qRgb(255, 255, 255)},
                                         {QByteArray("\x01\x00\x01", 3)})));
    CDibImage image;
    ASSERT_EQ(image.Load(path), CDibImage::LoadOk);
    ASSERT_EQ(image.BitsPerPixel(), 8);
    const QByteArray text = ScreenProgram::buildFileText(image, 797, stamp);
    const qsizetype record1 = text.indexOf("000001,\"");
    ASSERT_GE(record1, 0);
    // 24-bit rows of 9 bytes plus one padding byte: white, red, white, then the padding byte.
    EXPECT_EQ(text.mid(record1 + 8, 48), QByteArray("00"
                                                    "00000016"
                                                    "0000000000"
                                                    "0003"
                                                    "0001"
                                                    "0006"
                                                    "FF7F"
                                                    "007C"
                                                    "FF7F"
                                                    "0000"));
}

// The "h" and "f" lines of an existing target are kept by the rules; the rest is fresh.
struct HeaderCase
{
    const char* name;
    QByteArray existing;
    QByteArray expectedLines; // the lines after the "C" line
};

std::ostream& operator<<(std::ostream& os, const HeaderCase& c)
{
    return os << c.name;
}

class ScreenHeaderKeeping : public ::testing::TestWithParam<HeaderCase>
{};

const QByteArray freshH = "\"h\",\"36\",\"01\",\"0000\",\"261205\",\"2001\",\"0001\",\"01\",\"02\","
                          "\"9999\"\r\n";
const QByteArray freshF = "\"f\",\"FILE797\",\"P\",\"P\",\"0001\"\r\n";
const QByteArray oldH = "\"h\",\"36\",\"01\",\"0000\",\"990101\",\"0102\",\"0001\",\"01\",\"02\","
                        "\"9999\"\r\n";
const QByteArray oldF = "\"f\",\"FILE797\",\"P\",\"P\",\"0001\"\r\n";

TEST_P(ScreenHeaderKeeping, KeepsOrRenewsTheHeaderLines)
{
    const HeaderCase& c = GetParam();
    Branch branch;
    writeAll(branch.target(797), c.existing);
    CDibImage image;
    ASSERT_TRUE(image.Create(1024, 768, 24));
    EXPECT_EQ(branch.write(image, 797), 0);
    EXPECT_TRUE(branch.messages.empty());

    const QByteArray written = readAll(branch.target(797));
    const QByteArray black = readAll(golden("black-797.txt"));
    const QByteArray cLine = "\"C\",\"n:P0797:\"\r\n";
    ASSERT_TRUE(written.startsWith(cLine));
    EXPECT_EQ(written.mid(cLine.size(), c.expectedLines.size()), c.expectedLines);
    // The records follow unchanged.
    EXPECT_TRUE(written.right(ScreenProgram::RecordsBytes) ==
                black.right(ScreenProgram::RecordsBytes));
    EXPECT_EQ(written.size(), cLine.size() + c.expectedLines.size() + ScreenProgram::RecordsBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ScreenHeaderKeeping,
    ::testing::Values(
        HeaderCase{"OwnFile", "\"C\",\"n:P0797:\"\r\n" + oldH + oldF + "000001,\"00\"\r\n",
                   freshH + freshF},
        HeaderCase{"HAndFWithoutCLine", oldH + oldF + "000001,\"00\"\r\n", oldH + oldF},
        HeaderCase{"CapitalLettersAndOwnLineEnds", "\"H\",\"x\"\n\"F\",\"y\"\n",
                   "\"H\",\"x\"\n\"F\",\"y\"\n"},
        HeaderCase{"HWithoutF", oldH + "000001,\"00\"\r\n", oldH + freshF},
        HeaderCase{"FFirst", oldF + oldH, freshH + freshF},
        HeaderCase{"NoQuote", "h,\"36\"\r\nf,\"x\"\r\n", freshH + freshF},
        HeaderCase{"EmptyFile", "", freshH + freshF},
        HeaderCase{"LastLineWithoutLineEnd", "\"h\",\"kept\"", "\"h\",\"kept\"\r\n" + freshF},
        HeaderCase{"OverlongFirstLine", "\"h\"" + QByteArray(3000, 'x') + "\r\n" + oldF,
                   freshH + oldF},
        HeaderCase{"BinaryGarbage", QByteArray("\x00\xff\"h\r\n\x01", 7), freshH + freshF}));

TEST(ScreenProgramFile, TargetWithOtherLetterCaseIsReplaced)
{
    Branch branch;
    const QString lower = QDir(branch.program).filePath("file797p.txt");
    writeAll(lower, oldH + oldF);
    CDibImage image;
    ASSERT_TRUE(image.Create(1024, 768, 24));
    EXPECT_EQ(branch.write(image, 797), 0);
    EXPECT_TRUE(branch.messages.empty());
    EXPECT_FALSE(QFile::exists(lower));
    const QByteArray written = readAll(branch.target(797));
    EXPECT_EQ(written.mid(16, oldH.size()), oldH);
}

TEST(ScreenProgramFile, MissingWorkFolderChangesNothing)
{
    Branch branch;
    writeAll(branch.target(797), oldH + oldF);
    QDir(branch.work).removeRecursively();
    CDibImage image;
    ASSERT_TRUE(image.Create(1024, 768, 24));
    EXPECT_EQ(branch.write(image, 797), ScreenProgram::WriteFailed);
    ASSERT_EQ(branch.messages.size(), 1u);
    EXPECT_EQ(branch.messages[0].text, "Could not Open " + branch.temp(797));
    EXPECT_TRUE(branch.messages[0].title.isEmpty());
    EXPECT_EQ(branch.messages[0].icon, FileMessage::StopIcon);
    EXPECT_EQ(readAll(branch.target(797)), oldH + oldF);
}

TEST(ScreenProgramFile, TargetThatCannotBeReplacedLeavesTheTemporaryFile)
{
    // A folder of the target's name cannot be read as a file (so it counts as absent) and
    // blocks the move.
    Branch branch;
    ASSERT_TRUE(QDir().mkpath(branch.target(798)));
    CDibImage image;
    ASSERT_TRUE(image.Create(1024, 768, 24));
    EXPECT_EQ(branch.write(image, 798), 0);
    ASSERT_EQ(branch.messages.size(), 1u);
    EXPECT_EQ(branch.messages[0].title, "Could not rename file");
    EXPECT_EQ(branch.messages[0].icon, FileMessage::ExclamationIcon);
    EXPECT_FALSE(branch.messages[0].text.isEmpty());
    EXPECT_EQ(readAll(branch.temp(798)).size(), 3254831);
}

TEST(ScreenProgramFile, TargetThatCannotBeDeletedIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not stop root";
    Branch branch;
    writeAll(branch.target(799), oldH + oldF);
    QFile::setPermissions(branch.program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    CDibImage image;
    ASSERT_TRUE(image.Create(1024, 768, 24));
    EXPECT_EQ(branch.write(image, 799), 0);
    QFile::setPermissions(branch.program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(branch.messages.size(), 1u);
    EXPECT_EQ(branch.messages[0].title, "Could not delete input file");
    EXPECT_EQ(readAll(branch.target(799)), oldH + oldF);
    EXPECT_EQ(readAll(branch.temp(799)).size(), 3254831);
}

TEST(ScreenProgramFile, EmptyImageGivesZeroSizedHeaderAndZeroRecords)
{
    CDibImage image;
    const QByteArray text = ScreenProgram::buildFileText(image, 796, stamp);
    ASSERT_EQ(text.size(), 3254831);
    const qsizetype record1 = text.indexOf("000001,\"");
    EXPECT_EQ(text.mid(record1 + 8, 40), QByteArray("0000000010000000000000000000000000000000"));
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray(320, '0') + "\"\r\n"));
}

} // namespace

namespace {

// The digit stream of all records, spelled out pixel by pixel from the format rules.
QByteArray referenceDigits(const std::vector<unsigned char>& raw, int width, int height, int bits)
{
    const quint32 length = 16u + 2u * quint32(width) * quint32(height);
    QByteArray digits =
        QString::asprintf("00%08X0000000000%04X%04X%04X", length, width, height, 2 * width)
            .toLatin1();
    const size_t step = size_t(bits / 8);
    for (size_t i = 0; i < size_t(ScreenProgram::RecordCount * 80 - 8); ++i) {
        unsigned char px[4] = {0, 0, 0, 0};
        for (size_t k = 0; k < step; ++k)
            px[k] = i * step + k < raw.size() ? raw[i * step + k] : 0;
        unsigned r, g, b;
        if (bits == 16) {
            r = px[1] & 0xF8u;
            g = ((((px[0] >> 3) & 0x1Cu) + unsigned(px[1] << 5)) & 0xF8u);
            b = (px[0] << 3) & 0xFFu;
        } else {
            b = px[0];
            g = px[1];
            r = px[2];
        }
        const unsigned word = ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3);
        digits += QString::asprintf("%02X%02X", word & 0xFF, word >> 8).toLatin1();
    }
    return digits;
}

struct SizeCase
{
    int width;
    int height;
    int bits;
};

class ScreenEncodeSizes : public ::testing::TestWithParam<SizeCase>
{};

TEST_P(ScreenEncodeSizes, RandomPixelsMatchTheRules)
{
    const SizeCase c = GetParam();
    CDibImage image;
    ASSERT_TRUE(image.Create(c.width, c.height, c.bits));
    std::vector<unsigned char> raw(size_t(image.RawSize()));
    quint32 seed = quint32(c.width * 7919 + c.height * 31 + c.bits);
    for (unsigned char& b : raw) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    // Row padding reads back as zero, so the reference gets zeros there too.
    const qsizetype used = qsizetype(c.width) * c.bits / 8;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (qsizetype(i % size_t(image.RawRowBytes())) >= used)
            raw[i] = 0;
    }
    image.SetBits(qsizetype(raw.size()), raw.data());

    const QByteArray text = ScreenProgram::buildFileText(image, 797, stamp);
    const qsizetype first = text.indexOf("000001,\"");
    ASSERT_GT(first, 0);
    QByteArray digits;
    for (int r = 0; r < ScreenProgram::RecordCount; ++r)
        digits += text.mid(first + qsizetype(r) * ScreenProgram::RecordLineBytes + 8, 320);
    const QByteArray expected = referenceDigits(raw, c.width, c.height, c.bits);
    ASSERT_EQ(digits.size(), expected.size());
    const auto diff = std::mismatch(digits.begin(), digits.end(), expected.begin());
    EXPECT_TRUE(diff.first == digits.end())
        << "first difference at digit " << diff.first - digits.begin();
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenEncodeSizes,
                         ::testing::Values(SizeCase{1021, 5, 24}, SizeCase{6, 1, 24},
                                           SizeCase{1, 1, 24}, SizeCase{1024, 768, 32},
                                           SizeCase{7, 3, 32}, SizeCase{5, 2, 16},
                                           SizeCase{1200, 800, 24}));

} // namespace
