// Catches: lines cut unlike fgets, numbers read unlike atoi, file names found with regard to case.
#include "fileio/CQXPanFileFinder.h"
#include "fileio/CQXPanLineReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LineReader, CutsAndCleansLinesLikeFgets)
{
    const auto both = CQXPanLineReader::DropCr | CQXPanLineReader::StopAtNul;
    const auto raw = CQXPanLineReader::Raw;
    const struct
    {
        QByteArray input;
        int maxBytes;
        int options;
        std::vector<QByteArray> pieces;
        bool lastHitEnd; // after the last piece
    } cases[] = {
        {QByteArray("ab\r\nc\0d\n", 8), 10, raw, {"ab\r\n", QByteArray("c\0d\n", 4)}, false},
        {QByteArray("ab\r\nc\0d\n", 8), 10, both, {"ab\n", "c"}, false},
        {"a\rb", 10, both, {"a\rb"}, true},
        // A full buffer is not the end even when the data ends right after it.
        {"abcdefg\n", 3, raw, {"abc", "def", "g\n"}, false},
        {"abcdef", 3, raw, {"abc", "def"}, false},
        {"ab\ncd", 10, raw, {"ab\n", "cd"}, true},
        {"", 10, both, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        QByteArray data = c.input;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        CQXPanLineReader reader(buffer, c.maxBytes, c.options);
        std::vector<QByteArray> pieces;
        QByteArray line;
        bool hitEndAfterLast = false;
        while (reader.ReadLine(line)) {
            pieces.push_back(line);
            hitEndAfterLast = reader.HitEnd();
        }
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(hitEndAfterLast, c.lastHitEnd);
        EXPECT_TRUE(reader.HitEnd()); // a failed read is always at the end
        EXPECT_TRUE(line.isEmpty());
    }
}

TEST(LineReader, NumberAtReadsLikeAtoi)
{
    const struct
    {
        const char* line;
        int column, width, expected;
    } cases[] = {{"0402 00012", 0, -1, 402},
                 {"0402 00012", 5, -1, 12},
                 {"x  \t -17abc", 1, -1, -17},
                 {"  +8", 0, -1, 8},
                 {"abc", 0, -1, 0},
                 {"12", 7, -1, 0},
                 {"- 5", 0, -1, 0},
                 {"000012,\"00931234", 8, 4, 93},
                 {"   7", 0, 3, 0},
                 {"99999999999999999999", 0, -1, 2147483647},
                 {"-99999999999999999999", 0, -1, -2147483647 - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(CQXPanLineReader::NumberAt(QByteArray(c.line), c.column, c.width), c.expected)
            << c.line << " @" << c.column;
    }
}

TEST(FileFinder, FindsNamesWithoutRegardToCaseAnExactMatchFirst)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    const auto touch = [&dir](const char* name) {
        return QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    };
    // A name not there is the name as given.
    EXPECT_EQ(CQXPanFileFinder::PathFor(folder, "FILE795P.TXT"), dir.filePath("FILE795P.TXT"));
    ASSERT_TRUE(touch("file795p.txt"));
    EXPECT_EQ(CQXPanFileFinder::PathFor(folder, "FILE795P.TXT"), dir.filePath("file795p.txt"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "File795P.txt"), "file795p.txt");
    EXPECT_EQ(CQXPanFileFinder::FindPath(folder, "FILE795P.TXT"), dir.filePath("file795p.txt"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "FILE798P.TXT"), QString());
    ASSERT_TRUE(touch("FILE795P.TXT"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "FILE795P.TXT"), "FILE795P.TXT");
    // Folders are not files.
    ASSERT_TRUE(QDir(folder).mkdir("FILE798P.TXT"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "file798p.txt"), QString());
}

} // namespace
