// Catches: lines cut unlike fgets, numbers read unlike atoi, file names found with regard to case.
#include "fileio/CQXPanFileFinder.h"
#include "fileio/CQXPanLineReader.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(LineReader, CutsAndCleansLinesLikeFgets)
{
    const int both = CQXPanLineReader::DropCr | CQXPanLineReader::StopAtNul;
    // The pieces read, "|" between them; "$" when HitEnd() held after the last one.
    for (const auto& [input, maxBytes, options, pieces] :
         {std::tuple{QByteArray("ab\r\nc\0d\n", 8), 10, int(CQXPanLineReader::Raw),
                     QByteArray("ab\r\n|c\0d\n", 9)},
          {QByteArray("ab\r\nc\0d\n", 8), 10, both, "ab\n|c"},
          {"a\rb", 10, both, "a\rb$"},
          // A full buffer is not the end even when the data ends right after it.
          {"abcdef", 3, CQXPanLineReader::Raw, "abc|def"},
          {"", 10, both, ""}}) {
        SCOPED_TRACE(input.toStdString());
        QByteArray data = input, line, read;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        CQXPanLineReader reader(buffer, maxBytes, options);
        for (bool first = true; reader.ReadLine(line); first = false)
            read += (first ? "" : "|") + line + (reader.HitEnd() ? "$" : "");
        EXPECT_EQ(read, pieces);
        EXPECT_TRUE(reader.HitEnd() && line.isEmpty()); // a failed read is always at the end
    }
}

TEST(LineReader, NumberAtReadsLikeAtoi)
{
    for (const auto& [line, column, width, expected] :
         {std::tuple{"0402 00012", 5, -1, 12},
          {"x  \t -17abc", 1, -1, -17},
          {"12", 7, -1, 0},
          {"- 5", 0, -1, 0},
          {"000012,\"00931234", 8, 4, 93},
          {"   7", 0, 3, 0},
          {"99999999999999999999", 0, -1, 2147483647},
          {"-99999999999999999999", 0, -1, -2147483647 - 1}})
        EXPECT_EQ(CQXPanLineReader::NumberAt(QByteArray(line), column, width), expected) << line;
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
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "FILE798P.TXT"), QString());
    ASSERT_TRUE(touch("FILE795P.TXT"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "FILE795P.TXT"), "FILE795P.TXT");
    // Folders are not files.
    ASSERT_TRUE(QDir(folder).mkdir("FILE798P.TXT"));
    EXPECT_EQ(CQXPanFileFinder::FindName(folder, "file798p.txt"), QString());
}

} // namespace
