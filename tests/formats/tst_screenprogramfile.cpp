#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"

#include "TestBmp.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

const QDateTime kStamp(QDate(2026, 12, 5), QTime(20, 1, 0));
constexpr qsizetype kFileBytes = 3254831;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Golden(const char* name)
{
    return ReadAll(QStringLiteral(QXPAN_TEST_DATA "/screen-golden/") + QLatin1String(name));
}

const CDibImage& BlackScreen()
{
    static CDibImage image;
    if (image.IsEmpty()) {
        EXPECT_TRUE(image.Create(1024, 768, 24));
    }
    return image;
}

// The program folder of a branch, and the result of its last write.
struct Branch
{
    QTemporaryDir root;
    QString program = root.filePath("program");
    FileResult result;

    Branch() { QDir().mkpath(program); }
    int Write(const CDibImage& image, int number)
    {
        result = WriteScreenProgramFile(image, number, program, kStamp);
        return result.code;
    }
    QString Target(int number) const
    {
        return QDir(program).filePath(QString::asprintf("FILE%03dP.TXT", number));
    }
    QStringList Files() const { return QDir(program).entryList(QDir::Files | QDir::Hidden); }
};

TEST(ScreenProgramFile, WriterProducesTheExactGoldenFiles)
{
    const struct
    {
        const char* file;
        int width, height, bits, number;
        std::vector<uchar> raw; // empty: every byte is fill
        uchar fill;
    } cases[] = {
        {"black-797.txt", 1024, 768, 24, 797, {}, 0x00},
        {"white-796.txt", 1024, 768, 24, 796, {}, 0xFF},
        {"odd24-798.txt",
         3,
         2,
         24,
         798,
         {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
          0x07, 0x07, 0x07, 0x08, 0x10, 0x20, 0x12, 0x34, 0x56, 0x00},
         0},
        {"rgb16-799.txt", 2, 2, 16, 799, {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, 0},
        {"rgb32-797.txt", 2, 1, 32, 797, {0x10, 0x20, 0x30, 0xAB, 0xF8, 0x08, 0x80, 0xCD}, 0}};
    // Both encoders, whichever the processor picks by itself; the default is left last.
    for (const bool scalar : {true, false})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.file) + (scalar ? " scalar" : " default"));
            ScreenProgram::forceScalarEncode(scalar);
            CDibImage image;
            ASSERT_TRUE(image.Create(c.width, c.height, c.bits));
            std::vector<uchar> raw = c.raw;
            if (raw.empty())
                raw.assign(size_t(image.RawSize()), c.fill);
            ASSERT_EQ(image.SetBits(qsizetype(raw.size()), raw.data()), image.RawSize());

            Branch branch;
            EXPECT_EQ(branch.Write(image, c.number), 0);
            const QByteArray expected = Golden(c.file);
            ASSERT_EQ(expected.size(), kFileBytes) << "golden file missing";
            const QByteArray written = ReadAll(branch.Target(c.number));
            ASSERT_EQ(written.size(), expected.size());
            EXPECT_TRUE(written == expected)
                << "first difference at byte "
                << std::mismatch(written.begin(), written.end(), expected.begin()).first -
                       written.begin();
            EXPECT_EQ(branch.Files(),
                      QStringList{QString::asprintf("FILE%03dP.TXT", c.number)}); // nothing left
            EXPECT_TRUE(ScreenProgram::buildFileText(image, c.number, kStamp) == expected);
        }
}

TEST(ScreenProgramFile, PalettedImageIsWrittenByItsColours)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p8.bmp");
    ASSERT_TRUE(writeBytes(path, makeBmp(3, 1, 8, {qRgb(255, 0, 0), qRgb(255, 255, 255)},
                                         {QByteArray("\x01\x00\x01", 3)})));
    CDibImage image;
    ASSERT_TRUE(image.Load(path));
    ASSERT_EQ(image.BitsPerPixel(), 8);
    const QByteArray text = ScreenProgram::buildFileText(image, 797, kStamp);
    const qsizetype record1 = text.indexOf("000001,\"");
    ASSERT_GE(record1, 0);
    // 24-bit rows of 9 bytes plus one padding byte: white, red, white, then the padding byte.
    EXPECT_EQ(text.mid(record1 + 8, 48),
              QByteArray("00000000160000000000000300010006FF7F007CFF7F0000"));
}

TEST(ScreenProgramFile, EmptyImageGivesZeroSizedHeaderAndZeroRecords)
{
    const QByteArray text = ScreenProgram::buildFileText(CDibImage(), 796, kStamp);
    ASSERT_EQ(text.size(), kFileBytes);
    const qsizetype record1 = text.indexOf("000001,\"");
    EXPECT_EQ(text.mid(record1 + 8, 40), QByteArray("0000000010" + QByteArray(30, '0')));
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray(320, '0') + "\"\r\n"));
}

const QByteArray kFreshH =
    "\"h\",\"36\",\"01\",\"0000\",\"261205\",\"2001\",\"0001\",\"01\",\"02\","
    "\"9999\"\r\n";
const QByteArray kF = "\"f\",\"FILE797\",\"P\",\"P\",\"0001\"\r\n";
const QByteArray kOldH = "\"h\",\"36\",\"01\",\"0000\",\"990101\",\"0102\",\"0001\",\"01\",\"02\","
                         "\"9999\"\r\n";

// The "h" and "f" lines of an existing target are kept by the rules; the rest is fresh.
TEST(ScreenProgramFile, KeepsOrRenewsTheHeaderLines)
{
    const QByteArray black = Golden("black-797.txt");
    const QByteArray cLine = "\"C\",\"n:P0797:\"\r\n";
    const struct
    {
        const char* name;
        QByteArray existing;
        QByteArray expectedLines; // the lines after the "C" line
    } cases[] = {
        {"own file", cLine + kOldH + kF + "000001,\"00\"\r\n", kFreshH + kF},
        {"h and f without C line", kOldH + kF + "000001,\"00\"\r\n", kOldH + kF},
        {"capitals and own line ends", "\"H\",\"x\"\n\"F\",\"y\"\n", "\"H\",\"x\"\n\"F\",\"y\"\n"},
        {"h without f", kOldH + "000001,\"00\"\r\n", kOldH + kF},
        {"f first", kF + kOldH, kFreshH + kF},
        {"no quote", "h,\"36\"\r\nf,\"x\"\r\n", kFreshH + kF},
        {"last line without line end", "\"h\",\"kept\"", "\"h\",\"kept\"\r\n" + kF},
        {"overlong first line", "\"h\"" + QByteArray(3000, 'x') + "\r\n" + kF, kFreshH + kF},
        {"binary garbage", QByteArray("\x00\xff\"h\r\n\x01", 7), kFreshH + kF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Branch branch;
        ASSERT_TRUE(writeBytes(branch.Target(797), c.existing));
        EXPECT_EQ(branch.Write(BlackScreen(), 797), 0);
        const QByteArray written = ReadAll(branch.Target(797));
        EXPECT_EQ(written.left(cLine.size() + c.expectedLines.size()), cLine + c.expectedLines);
        EXPECT_EQ(written.size(),
                  cLine.size() + c.expectedLines.size() + ScreenProgram::RecordsBytes);
        EXPECT_TRUE(written.right(ScreenProgram::RecordsBytes) ==
                    black.right(ScreenProgram::RecordsBytes));
    }
}

TEST(ScreenProgramFile, TargetWithOtherLetterCaseIsReplacedInPlace)
{
    Branch branch;
    const QString lower = QDir(branch.program).filePath("file797p.txt");
    ASSERT_TRUE(writeBytes(lower, kOldH + kF));
    EXPECT_EQ(branch.Write(BlackScreen(), 797), 0);
    EXPECT_EQ(branch.Files(), QStringList{"file797p.txt"});
    EXPECT_EQ(ReadAll(lower).mid(16, kOldH.size()), kOldH);
}

TEST(ScreenProgramFile, OnlyTheFourScreenFilesAreWritten)
{
    Branch branch;
    // 795 is the key table: a picture must never replace it.
    ASSERT_TRUE(writeBytes(branch.Target(795), kOldH + kF));
    for (int number : {795, 800}) {
        EXPECT_EQ(branch.Write(BlackScreen(), number), ScreenProgram::WriteFailed);
        EXPECT_TRUE(branch.result.Text().startsWith(
            QString::asprintf("FILE%03dP.TXT is not a screen file", number)));
    }
    EXPECT_EQ(branch.Files(), QStringList{"FILE795P.TXT"});
    EXPECT_EQ(ReadAll(branch.Target(795)), kOldH + kF);
}

TEST(ScreenProgramFile, AFailedWriteNamesTheFileAndItsReasonAndChangesNothing)
{
    // A folder of the target's name is no file to replace.
    Branch branch;
    ASSERT_TRUE(QDir().mkpath(branch.Target(798)));
    EXPECT_EQ(branch.Write(BlackScreen(), 798), ScreenProgram::WriteFailed);
    EXPECT_EQ(branch.result.Message().text, "Could not write " + branch.Target(798) +
                                                ": is not a regular file (a folder, a device or "
                                                "a pipe); it is left as it is");
    EXPECT_EQ(branch.result.icon, FileMessage::StopIcon);
    EXPECT_TRUE(QFileInfo(branch.Target(798)).isDir());
    EXPECT_EQ(branch.Files(), QStringList());
}

TEST(ScreenProgramFile, PictureLargerThanTheScreenStillFillsExactlyTheRecords)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(1200, 800, 24));
    std::vector<uchar> raw(size_t(image.RawSize()), 0xFF);
    image.SetBits(qsizetype(raw.size()), raw.data());
    const QByteArray text = ScreenProgram::buildFileText(image, 797, kStamp);
    ASSERT_EQ(text.size(), kFileBytes);
    const qsizetype record1 = text.indexOf("000001,\"");
    EXPECT_EQ(text.mid(record1 + 8, 36), QByteArray("00001D4C10000000000004B003200960FF7F"));
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray("FF7F").repeated(80) + "\"\r\n"));
}

} // namespace
