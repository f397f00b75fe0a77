#include "fileio/CQXPanFileFinder.h"
#include "fileio/CQXPanLineReader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct PieceCase
{
    const char* name;
    QByteArray input;
    int maxBytes;
    int options;
    std::vector<QByteArray> pieces;
    bool lastHitEnd; // after the last piece
};

class LineReaderPieces : public ::testing::TestWithParam<PieceCase>
{};

TEST_P(LineReaderPieces, CutsAndCleansLinesLikeFgets)
{
    const PieceCase& c = GetParam();
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

const auto kBoth = CQXPanLineReader::DropCr | CQXPanLineReader::StopAtNul;

INSTANTIATE_TEST_SUITE_P(
    Options, LineReaderPieces,
    ::testing::Values(
        PieceCase{"RawKeepsCrAndNul",
                  QByteArray("ab\r\nc\0d\n", 8),
                  10,
                  CQXPanLineReader::Raw,
                  {"ab\r\n", QByteArray("c\0d\n", 4)},
                  false},
        PieceCase{"TextDropsCrAndStopsAtNul",
                  QByteArray("ab\r\nc\0d\n", 8),
                  10,
                  kBoth,
                  {"ab\n", "c"},
                  false},
        PieceCase{"LoneCrIsKept", "a\rb", 10, kBoth, {"a\rb"}, true},
        // A full buffer is not the end even when the data ends right after it.
        PieceCase{"LongLineInPieces",
                  "abcdefg\n",
                  3,
                  CQXPanLineReader::Raw,
                  {"abc", "def", "g\n"},
                  false},
        PieceCase{
            "FullPieceAtEndOfData", "abcdef", 3, CQXPanLineReader::Raw, {"abc", "def"}, false},
        PieceCase{"ShortLastLine", "ab\ncd", 10, CQXPanLineReader::Raw, {"ab\n", "cd"}, true},
        PieceCase{"Empty", "", 10, kBoth, {}, false}),
    [](const ::testing::TestParamInfo<PieceCase>& info) { return std::string(info.param.name); });

TEST(FileFinderPathFor, ExistingSpellingElseTheNameAsGiven)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(CQXPanFileFinder::PathFor(dir.path(), QStringLiteral("FILE795P.TXT")),
              dir.filePath(QStringLiteral("FILE795P.TXT")));
    QFile file(dir.filePath(QStringLiteral("file795p.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(CQXPanFileFinder::PathFor(dir.path(), QStringLiteral("FILE795P.TXT")),
              dir.filePath(QStringLiteral("file795p.txt")));
}

} // namespace
