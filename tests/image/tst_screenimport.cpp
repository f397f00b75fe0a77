#include "image/CDibImage.h"
#include "image/ScreenFileImport.h"
#include "image/ScreenProgramFile.h"

#include "TestBmp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString golden(const char* name)
{
    return QStringLiteral(QXPAN_TEST_DATA "/screen-golden/") + QLatin1String(name);
}

const QByteArray headerLines = "\"C\",\"n:P0797:\"\r\n\"h\",\"36\"\r\n\"f\",\"FILE797\"\r\n";

// A record line as the format states it: "%06d," then the digits in quotes, CR LF.
QByteArray recordLine(int number, const QByteArray& digits)
{
    return QByteArray::number(number).rightJustified(6, '0') + ",\"" + digits + "\"\r\n";
}

// The 32 digits of an image header with the given length and row length fields.
QByteArray headerDigits(quint32 length, int rowBytes)
{
    return QString::asprintf("00%08X0000000000%04X%04X%04X", length, 1024, 768, rowBytes)
        .toLatin1();
}

// A screen file of `records` record lines: record 1 starts with the header digits, the words
// given (four digits each, low byte first) follow, and everything else is zero.
QByteArray screenText(const QByteArray& header, const QByteArray& words, int records)
{
    QByteArray stream = header + words;
    stream = stream.leftJustified(qsizetype(records) * 320, '0', true);
    QByteArray text = headerLines;
    for (int r = 0; r < records; ++r)
        text += recordLine(r + 1, stream.mid(qsizetype(r) * 320, 320));
    return text;
}

const QByteArray fullHeader = headerDigits(1572880, 2048);

struct Branch
{
    QTemporaryDir root;
    QString program = root.filePath("program");
    QString backgrounds = root.filePath("bg");
    std::vector<FileMessage> messages;

    Branch()
    {
        QDir().mkpath(program);
        QDir().mkpath(backgrounds);
    }
    void put(int number, const QByteArray& text)
    {
        ASSERT_TRUE(
            writeBytes(QDir(program).filePath(QString::asprintf("FILE%dP.TXT", number)), text));
    }
    int import(CDibImage& background, int number = 797, int objType = 0)
    {
        return ImportScreenFile(number, objType, background, program, backgrounds,
                                [this](const FileMessage& m) { messages.push_back(m); });
    }
};

std::vector<unsigned char> rawOf(const CDibImage& image)
{
    std::vector<unsigned char> raw(size_t(image.RawSize()));
    image.GetBits(image.RawSize(), raw.data());
    return raw;
}

bool isBlackScreen(const CDibImage& image)
{
    if (image.Width() != 1024 || image.Height() != 768 || image.BitsPerPixel() != 24)
        return false;
    const std::vector<unsigned char> raw = rawOf(image);
    return std::all_of(raw.begin(), raw.end(), [](unsigned char b) { return b == 0; });
}

} // namespace

TEST(ScreenImport, RoundTripClearsTheLowerThreeBitsOfEveryChannel)
{
    CDibImage picture;
    ASSERT_TRUE(picture.Create(1024, 768, 24));
    std::vector<unsigned char> raw(size_t(picture.RawSize()));
    quint32 seed = 12345;
    for (unsigned char& b : raw) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 16);
    }
    picture.SetBits(qsizetype(raw.size()), raw.data());

    Branch branch;
    const QString work = branch.root.filePath("work");
    QDir().mkpath(work);
    ASSERT_EQ(WriteScreenProgramFile(picture, 797, work, branch.program, {}), 0);

    CDibImage background;
    EXPECT_EQ(branch.import(background), ScreenImportOk);
    EXPECT_TRUE(branch.messages.empty());
    ASSERT_EQ(background.Width(), 1024);
    ASSERT_EQ(background.Height(), 768);
    ASSERT_EQ(background.BitsPerPixel(), 24);
    const std::vector<unsigned char> back = rawOf(background);
    ASSERT_EQ(back.size(), raw.size());
    for (size_t i = 0; i < raw.size(); ++i)
        ASSERT_EQ(back[i], raw[i] & 0xF8) << "byte " << i;
}

TEST(ScreenImport, WhiteScreenComesBackAs248)
{
    Branch branch;
    branch.put(796, readAll(golden("white-796.txt")));
    CDibImage background;
    ASSERT_EQ(branch.import(background, 796), ScreenImportOk);
    const std::vector<unsigned char> back = rawOf(background);
    ASSERT_EQ(back.size(), size_t(1024 * 768 * 3));
    EXPECT_TRUE(std::all_of(back.begin(), back.end(), [](unsigned char b) { return b == 248; }));
}

TEST(ScreenImport, FileNameIsFoundWithoutRegardToCase)
{
    Branch branch;
    ASSERT_TRUE(writeBytes(QDir(branch.program).filePath("file798p.txt"),
                           screenText(fullHeader, "FF7F", 9833)));
    CDibImage background;
    ASSERT_EQ(branch.import(background, 798), ScreenImportOk);
    EXPECT_EQ(background.Image().pixel(0, 0), qRgb(248, 248, 248));
}

// Files cut after a given number of record lines: the needed 9831 records must each be followed
// by a line.
struct CutCase
{
    int records;
    int expected;
};

class ScreenImportCut : public ::testing::TestWithParam<CutCase>
{};

TEST_P(ScreenImportCut, FileMustGoOnAfterTheLastNeededRecord)
{
    const CutCase c = GetParam();
    Branch branch;
    branch.put(797, screenText(fullHeader, "FF7F", c.records));
    CDibImage background;
    EXPECT_EQ(branch.import(background), c.expected);
    EXPECT_TRUE(branch.messages.empty());
    if (c.expected == ScreenImportOk)
        EXPECT_EQ(background.Image().pixel(0, 0), qRgb(248, 248, 248));
    else
        EXPECT_TRUE(isBlackScreen(background));
}

INSTANTIATE_TEST_SUITE_P(Records, ScreenImportCut,
                         ::testing::Values(CutCase{9833, ScreenImportOk},
                                           CutCase{9832, ScreenImportOk},
                                           CutCase{9831, ScreenImportRefused},
                                           CutCase{100, ScreenImportRefused},
                                           CutCase{1, ScreenImportRefused}));

// Files that never reach the picture: the background is black afterwards.
// Random bytes may end either way; only the failure and the black background are certain.
constexpr int anyFailure = 1;

struct BrokenCase
{
    const char* name;
    QByteArray text;
    int expected;
    bool brokenHeaderMessage;
};

std::ostream& operator<<(std::ostream& os, const BrokenCase& c)
{
    return os << c.name;
}

class ScreenImportBroken : public ::testing::TestWithParam<BrokenCase>
{};

TEST_P(ScreenImportBroken, GivesItsResultAndABlackBackground)
{
    const BrokenCase& c = GetParam();
    Branch branch;
    branch.put(797, c.text);
    CDibImage background;
    ASSERT_TRUE(background.Create(10, 10, 24));
    const int result = branch.import(background);
    if (c.expected == anyFailure) {
        EXPECT_TRUE(result == ScreenImportRefused || result == ScreenImportBrokenHeader) << result;
        EXPECT_LE(branch.messages.size(), 1u);
    } else {
        EXPECT_EQ(result, c.expected);
    }
    EXPECT_TRUE(isBlackScreen(background));
    if (c.expected == anyFailure) {
        // checked above
    } else if (c.brokenHeaderMessage) {
        ASSERT_EQ(branch.messages.size(), 1u);
        EXPECT_EQ(branch.messages[0].text, "broken header");
        EXPECT_TRUE(branch.messages[0].title.isEmpty());
        EXPECT_EQ(branch.messages[0].icon, FileMessage::NoIcon);
    } else {
        EXPECT_TRUE(branch.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScreenImportBroken,
    ::testing::Values(
        BrokenCase{"EmptyFile", "", ScreenImportBrokenHeader, true},
        BrokenCase{"OnlyHeaderLines", headerLines, ScreenImportBrokenHeader, true},
        BrokenCase{"TwoLines", "\"C\"\r\n\"h\"\r\n", ScreenImportBrokenHeader, true},
        BrokenCase{"LengthZero", screenText(headerDigits(0, 2048), "FF7F", 9833),
                   ScreenImportBrokenHeader, true},
        BrokenCase{"RecordTooShortForHeader", headerLines + "000001,\"\r\n",
                   ScreenImportBrokenHeader, true},
        BrokenCase{"RowLengthZero", screenText(headerDigits(1572880, 0), "FF7F", 9833),
                   ScreenImportOk, false},
        BrokenCase{"HugeLength", screenText(headerDigits(0xFFFFFFFFu, 2048), "FF7F", 9833),
                   ScreenImportRefused, false},
        BrokenCase{"OverlongLinesOnly", QByteArray(50000, 'F'), ScreenImportRefused, false},
        BrokenCase{"BinaryGarbage",
                   [] {
                       QByteArray b(200000, '\0');
                       quint32 s = 7;
                       for (char& c : b) {
                           s = s * 1664525u + 1013904223u;
                           c = char(s >> 24);
                       }
                       return b;
                   }(),
                   anyFailure, false}));

TEST(ScreenImport, GroupsThatAreNotHexadecimalReadAsZero)
{
    // Record 1 words: a valid white, a group of letters, a lower-case white, a partly hexadecimal
    // group (reads its leading digits: "1F" -> 0x1F -> word 0x1F00), then red.
    const QByteArray words = "FF7F"
                             "ZZZZ"
                             "ff7f"
                             "1F\"x"
                             "007C";
    Branch branch;
    branch.put(797, screenText(fullHeader, words, 9833));
    CDibImage background;
    ASSERT_EQ(branch.import(background), ScreenImportOk);
    const QImage& img = background.Image();
    EXPECT_EQ(img.pixel(0, 0), qRgb(248, 248, 248));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(248, 248, 248));
    // word 0x1F00: red bits 0x1F00 >> 10 = 7 -> 56, green (0x1F00 >> 5) & 0x1F = 24 -> 192.
    EXPECT_EQ(img.pixel(3, 0), qRgb(56, 192, 0));
    EXPECT_EQ(img.pixel(4, 0), qRgb(248, 0, 0));
}

TEST(ScreenImport, ShortRecordLineFillsOnlyWhatItHolds)
{
    // Record 2 holds only "1234": the first pixel of record 2 (pixel 72) is word 0x3412.
    QByteArray text = screenText(fullHeader, QByteArray(), 9833);
    const QByteArray record2 = recordLine(2, QByteArray(320, '0'));
    const qsizetype at = text.indexOf(record2);
    ASSERT_GT(at, 0);
    text.replace(at, record2.size(), "000002,\"1234\"\r\n");
    Branch branch;
    branch.put(797, text);
    CDibImage background;
    ASSERT_EQ(branch.import(background), ScreenImportOk);
    // 0x3412: blue 0x12 -> 144, green 0x20 -> 0 ... computed per channel.
    const unsigned word = 0x3412;
    const QRgb expected = qRgb(int(((word >> 10) & 0x1F) << 3), int(((word >> 5) & 0x1F) << 3),
                               int((word & 0x1F) << 3));
    EXPECT_EQ(background.Image().pixel(72, 0), expected);
    EXPECT_EQ(background.Image().pixel(73, 0), qRgb(0, 0, 0));
}

TEST(ScreenImport, OtherObjectTypeChangesNothing)
{
    Branch branch;
    branch.put(797, readAll(golden("white-796.txt")));
    CDibImage background;
    ASSERT_TRUE(background.Create(5, 5, 24));
    EXPECT_EQ(branch.import(background, 797, 1), ScreenImportRefused);
    EXPECT_EQ(background.Width(), 5);
}

TEST(ScreenImport, MissingFileKeepsOrReplacesTheBackground)
{
    Branch branch;
    CDibImage background;
    // No file, no background, no empty background bitmap.
    EXPECT_EQ(branch.import(background), ScreenImportNoBackground);
    EXPECT_TRUE(background.IsEmpty());

    // With the empty background present it is loaded.
    ASSERT_TRUE(writeBytes(QDir(branch.backgrounds).filePath("Aempty.bmp"),
                           makeBmp(2, 1, 24, {}, {QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF", 6)})));
    EXPECT_EQ(branch.import(background), ScreenImportOk);
    EXPECT_EQ(background.Width(), 2);

    // A background already shown stays.
    CDibImage shown;
    ASSERT_TRUE(shown.Create(7, 3, 24));
    EXPECT_EQ(branch.import(shown), ScreenImportOk);
    EXPECT_EQ(shown.Width(), 7);
    EXPECT_TRUE(branch.messages.empty());
}
