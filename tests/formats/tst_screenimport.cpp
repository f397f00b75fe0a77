#include "formats/ScreenFileImport.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"

#include "TestBmp.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kHeaderLines = "\"C\",\"n:P0797:\"\r\n\"h\",\"36\"\r\n\"f\",\"FILE797\"\r\n";

// A record line as the format states it: "%06d," then the digits in quotes, CR LF.
QByteArray RecordLine(int number, const QByteArray& digits)
{
    return QByteArray::number(number).rightJustified(6, '0') + ",\"" + digits + "\"\r\n";
}

// The 32 digits of an image header with the given length and row length fields.
QByteArray HeaderDigits(quint32 length, int rowBytes)
{
    return QString::asprintf("00%08X0000000000%04X%04X%04X", length, 1024, 768, rowBytes)
        .toLatin1();
}

const QByteArray kFullHeader = HeaderDigits(1572880, 2048);

// A screen file of `records` record lines: record 1 starts with the header digits, the words
// given (four digits each, low byte first) follow, and everything else is zero.
QByteArray ScreenText(const QByteArray& header, const QByteArray& words, int records = 9833)
{
    const QByteArray stream = (header + words).leftJustified(qsizetype(records) * 320, '0', true);
    QByteArray text = kHeaderLines;
    for (int r = 0; r < records; ++r)
        text += RecordLine(r + 1, stream.mid(qsizetype(r) * 320, 320));
    return text;
}

struct Branch
{
    QTemporaryDir root;
    QString program = root.filePath("program");
    QString backgrounds = root.filePath("bg");
    FileResult result; ///< of the last import

    Branch()
    {
        QDir().mkpath(program);
        QDir().mkpath(backgrounds);
    }
    void Put(const QByteArray& text, const QString& name = QStringLiteral("FILE797P.TXT"))
    {
        ASSERT_TRUE(writeBytes(QDir(program).filePath(name), text));
    }
    int Import(CDibImage& background, int number = 797, int objType = 0)
    {
        result = ImportScreenFile(number, objType, background, program, backgrounds);
        return result.code;
    }
};

std::vector<uchar> RawOf(const CDibImage& image)
{
    std::vector<uchar> raw(size_t(image.RawSize()));
    image.GetBits(image.RawSize(), raw.data());
    return raw;
}

bool AllBytes(const CDibImage& image, uchar value)
{
    const std::vector<uchar> raw = RawOf(image);
    return image.Width() == 1024 && image.Height() == 768 && image.BitsPerPixel() == 24 &&
           std::all_of(raw.begin(), raw.end(), [value](uchar b) { return b == value; });
}

} // namespace

TEST(ScreenImport, RoundTripClearsTheLowerThreeBitsOfEveryChannel)
{
    CDibImage picture;
    ASSERT_TRUE(picture.Create(1024, 768, 24));
    std::vector<uchar> raw(size_t(picture.RawSize()));
    quint32 seed = 12345;
    for (uchar& b : raw) {
        seed = seed * 1103515245u + 12345u;
        b = uchar(seed >> 16);
    }
    picture.SetBits(qsizetype(raw.size()), raw.data());

    Branch branch;
    ASSERT_TRUE(WriteScreenProgramFile(picture, 797, branch.program));
    CDibImage background;
    EXPECT_EQ(branch.Import(background), ScreenImportOk);
    ASSERT_EQ(background.BitsPerPixel(), 24);
    const std::vector<uchar> back = RawOf(background);
    ASSERT_EQ(back.size(), raw.size());
    for (size_t i = 0; i < raw.size(); ++i)
        ASSERT_EQ(back[i], raw[i] & 0xF8) << "byte " << i;
}

TEST(ScreenImport, HandMadeWhiteScreenComesBackAs248WhateverTheNameCase)
{
    Branch branch;
    branch.Put(ReadAll(QStringLiteral(QXPAN_TEST_DATA "/screen-golden/white-796.txt")),
               QStringLiteral("file796p.txt"));
    CDibImage background;
    ASSERT_EQ(branch.Import(background, 796), ScreenImportOk);
    EXPECT_TRUE(AllBytes(background, 248));
}

// The needed 9831 records must each be followed by a line; otherwise the background is black.
TEST(ScreenImport, FileMustGoOnAfterTheLastNeededRecord)
{
    for (const auto& [records, expected] :
         {std::pair{9832, ScreenImportOk}, std::pair{9831, ScreenImportRefused}}) {
        SCOPED_TRACE(records);
        Branch branch;
        branch.Put(ScreenText(kFullHeader, "FF7F", records));
        CDibImage background;
        EXPECT_EQ(branch.Import(background), expected);
        EXPECT_TRUE(branch.result.Message().text.isEmpty());
        if (expected == ScreenImportOk)
            EXPECT_EQ(background.Image().pixel(0, 0), qRgb(248, 248, 248));
        else
            EXPECT_TRUE(AllBytes(background, 0));
    }
}

QByteArray Garbage()
{
    QByteArray b(200000, '\0');
    quint32 s = 7;
    for (char& c : b) {
        s = s * 1664525u + 1013904223u;
        c = char(s >> 24);
    }
    return b;
}

// Files whose pixels never reach the picture leave a black background.
TEST(ScreenImport, BrokenFilesGiveTheirResultAndABlackBackground)
{
    constexpr int anyFailure = 1; // random bytes may end either way
    const struct
    {
        const char* name;
        QByteArray text;
        int expected;
    } cases[] = {
        {"empty", "", ScreenImportBrokenHeader},
        {"header lines only", kHeaderLines, ScreenImportBrokenHeader},
        {"length zero", ScreenText(HeaderDigits(0, 2048), "FF7F"), ScreenImportBrokenHeader},
        {"record too short", kHeaderLines + "000001,\"\r\n", ScreenImportBrokenHeader},
        // A row length of zero reads, but nothing lands in the picture.
        {"row length zero", ScreenText(HeaderDigits(1572880, 0), "FF7F"), ScreenImportOk},
        {"huge length", ScreenText(HeaderDigits(0xFFFFFFFFu, 2048), "FF7F"), ScreenImportRefused},
        {"overlong lines only", QByteArray(50000, 'F'), ScreenImportRefused},
        {"binary garbage", Garbage(), anyFailure}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Branch branch;
        branch.Put(c.text);
        CDibImage background;
        ASSERT_TRUE(background.Create(10, 10, 24));
        const int result = branch.Import(background);
        EXPECT_TRUE(AllBytes(background, 0));
        if (c.expected == anyFailure) {
            EXPECT_TRUE(result == ScreenImportRefused || result == ScreenImportBrokenHeader);
            continue;
        }
        EXPECT_EQ(result, c.expected);
        const bool broken = c.expected == ScreenImportBrokenHeader;
        EXPECT_EQ(branch.result.Message().text, broken ? "broken header" : "");
        EXPECT_TRUE(branch.result.title.isEmpty());
        EXPECT_EQ(branch.result.icon, FileMessage::NoIcon);
    }
}

TEST(ScreenImport, GroupsThatAreNotHexadecimalReadAsZeroAndShortLinesFillWhatTheyHold)
{
    // Record 1 words: white, letters, lower-case white, a partly hexadecimal group (reads its
    // leading digits: "1F" -> word 0x1F00), then red. Record 2 holds only "1234".
    QByteArray text = ScreenText(kFullHeader, "FF7FZZZZff7f1F\"x007C");
    const QByteArray record2 = RecordLine(2, QByteArray(320, '0'));
    const qsizetype at = text.indexOf(record2);
    ASSERT_GT(at, 0);
    text.replace(at, record2.size(), "000002,\"1234\"\r\n");
    Branch branch;
    branch.Put(text);
    CDibImage background;
    ASSERT_EQ(branch.Import(background), ScreenImportOk);
    const QImage& img = background.Image();
    EXPECT_EQ(img.pixel(0, 0), qRgb(248, 248, 248));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(248, 248, 248));
    EXPECT_EQ(img.pixel(3, 0), qRgb(56, 192, 0)); // 0x1F00: red 7, green 24
    EXPECT_EQ(img.pixel(4, 0), qRgb(248, 0, 0));
    EXPECT_EQ(img.pixel(72, 0), qRgb(104, 0, 144)); // word 0x3412: red 13, green 0, blue 18
    EXPECT_EQ(img.pixel(73, 0), qRgb(0, 0, 0));
}

TEST(ScreenImport, OtherObjectTypeOrMissingFileKeepsOrReplacesTheBackground)
{
    Branch branch;
    CDibImage background;
    EXPECT_EQ(branch.Import(background), ScreenImportNoBackground);
    EXPECT_TRUE(background.IsEmpty());

    branch.Put(ScreenText(kFullHeader, "FF7F"), QStringLiteral("FILE798P.TXT"));
    CDibImage shown;
    ASSERT_TRUE(shown.Create(7, 3, 24));
    EXPECT_EQ(branch.Import(shown, 798, 1), ScreenImportRefused);
    EXPECT_EQ(shown.Width(), 7);
    EXPECT_EQ(branch.Import(shown), ScreenImportOk); // a background already shown stays
    EXPECT_EQ(shown.Width(), 7);

    // With the empty background present it is loaded.
    ASSERT_TRUE(writeBytes(QDir(branch.backgrounds).filePath("Aempty.bmp"),
                           makeBmp(2, 1, 24, {}, {QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF", 6)})));
    EXPECT_EQ(branch.Import(background), ScreenImportOk);
    EXPECT_EQ(background.Width(), 2);
}
