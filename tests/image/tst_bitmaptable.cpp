#include "image/BitmapTableFile.h"

#include "document/CQXPanDocument.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <array>
#include <vector>

namespace {

QString DataDir()
{
    return QStringLiteral(QXPAN_TEST_DATA);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// HexToBytes.

struct HexCase
{
    const char* text;
    std::array<quint8, 4> bytes;
};

class HexToBytes : public ::testing::TestWithParam<HexCase>
{};

TEST_P(HexToBytes, FillsFromTheLastByteBackwards)
{
    std::array<quint8, 4> out{0xEE, 0xEE, 0xEE, 0xEE};
    BitmapTableFile::HexToBytes(QByteArray(GetParam().text), out.data(), 4);
    EXPECT_EQ(out, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexToBytes,
    ::testing::Values(HexCase{"1234", {0, 0, 0x12, 0x34}},
                      HexCase{"\"12345678\"\r\n", {0x12, 0x34, 0x56, 0x78}},
                      HexCase{"AB12345678", {0x12, 0x34, 0x56, 0x78}}, // surplus in front ignored
                      HexCase{"\"0012ab34\"", {0, 0, 0x12, 0x34}},     // lower case skipped
                      HexCase{"123", {0, 0, 0x01, 0x23}}, HexCase{"", {0, 0, 0, 0}},
                      HexCase{"FfEeDd", {0, 0, 0x0F, 0xED}},
                      // ":" to "@" count as digits 3 to 9 (code - 0x37); "G" is no digit.
                      HexCase{":@;?G", {0, 0, 0x39, 0x48}},
                      HexCase{"0,\"9A\"", {0, 0, 0x00, 0x9A}}));

// Reading.

QByteArray FreshHeader()
{
    return "\"C\",\"n:P0795:\"\r\n\"h\",\"32\",\"01\",\"0000\",\"261205\",\"1200\",\"0001\",\"00\","
           "\"02\"\r\n\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";
}

QByteArray ZeroRecords(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(i + 1).rightJustified(6, '0') + ",\"" + QByteArray(124, '0') +
               "\"\r\n";
    return out;
}

struct ReadCase
{
    const char* name;
    QByteArray content;
    BitmapTableFile::ReadStatus status;
    int records;
    int messages;
};

class TableRead : public ::testing::TestWithParam<ReadCase>
{};

TEST_P(TableRead, GivesStatusCountAndMessages)
{
    QByteArray content = GetParam().content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QList<CQXPanKeyObj> table(3); // replaced by a table of 240 free records
    table[0].SetShape(1);
    QList<FileMessage> messages;
    const auto result =
        BitmapTableFile::ReadDevice(buffer, table, [&](const FileMessage& m) { messages << m; });
    EXPECT_EQ(result.eStatus, GetParam().status);
    EXPECT_EQ(result.nRecords, GetParam().records);
    ASSERT_EQ(messages.size(), GetParam().messages);
    for (const FileMessage& m : messages) {
        EXPECT_EQ(m.text, QStringLiteral("Wrong FILE795P.TXT file."));
        EXPECT_EQ(m.icon, FileMessage::NoIcon);
        EXPECT_TRUE(m.title.isEmpty()); // the application's title
    }
    ASSERT_EQ(table.size(), 240);
    for (const CQXPanKeyObj& obj : table)
        EXPECT_TRUE(obj.IsFree());
}

using RS = BitmapTableFile::ReadStatus;

INSTANTIATE_TEST_SUITE_P(
    Cases, TableRead,
    ::testing::Values(
        ReadCase{"all_free", FreshHeader() + ZeroRecords(240), RS::Read, 240, 0},
        ReadCase{"c_form",
                 QByteArray(FreshHeader()).replace("n:P0795", "c:P0795") + ZeroRecords(150),
                 RS::Read, 150, 0},
        ReadCase{"ninety", FreshHeader() + ZeroRecords(90), RS::Read, 90, 0},
        ReadCase{"hundred", FreshHeader() + ZeroRecords(100), RS::Wrong, 100, 1},
        ReadCase{"no_records", FreshHeader(), RS::Wrong, 0, 1},
        ReadCase{"too_many", FreshHeader() + ZeroRecords(241), RS::Wrong, 240, 1},
        ReadCase{"far_too_many", FreshHeader() + ZeroRecords(300), RS::Wrong, 240, 1},
        ReadCase{"lower_case_c_field",
                 QByteArray(FreshHeader()).replace("\"C\"", "\"c\"") + ZeroRecords(240), RS::Wrong,
                 0, 1},
        ReadCase{"lf_only_first_line",
                 QByteArray(FreshHeader()).replace("\"\r\n\"h", "\"\n\"h") + ZeroRecords(240),
                 RS::Wrong, 0, 1},
        ReadCase{"upper_case_h_and_f",
                 QByteArray(FreshHeader()).replace("\"h\"", "\"H\"").replace("\"f\"", "\"F\"") +
                     ZeroRecords(90),
                 RS::Read, 90, 0},
        ReadCase{"no_h_line",
                 QByteArray(FreshHeader()).replace("\"h\"", "\"x\"") + ZeroRecords(240), RS::Wrong,
                 0, 1},
        ReadCase{"ends_after_two_lines", FreshHeader().left(70), RS::Wrong, 0, 1},
        ReadCase{"empty", QByteArray(), RS::Wrong, 0, 1},
        ReadCase{"binary", QByteArray("\x00\xFF\xFE\x89PNG\r\n\x1A\n\x00\x00", 13), RS::Wrong, 0,
                 1},
        // Reading ends at a line that does not begin with a digit.
        ReadCase{"stops_at_text", FreshHeader() + ZeroRecords(90) + "END\r\n" + ZeroRecords(10),
                 RS::Read, 90, 0},
        // A record line longer than the line buffer: its rest begins with "Z", no digit.
        ReadCase{"long_line",
                 FreshHeader() + ZeroRecords(89) + "000090,\"" + QByteArray(124, '0') + "\"" +
                     QByteArray(200, 'Z') + "\r\n",
                 RS::Read, 90, 0}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(TableReadRecords, ShortAndLowerCaseRecordLines)
{
    QByteArray content = FreshHeader() + "000001,\"1234\"\r\n" + "000002,\"" +
                         QByteArray(116, '0') + "02" + "00ABcD" + "\"\r\n" + ZeroRecords(88);
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QList<CQXPanKeyObj> table;
    int messages = 0;
    const auto result =
        BitmapTableFile::ReadDevice(buffer, table, [&](const FileMessage&) { ++messages; });
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(messages, 0);
    ScreenObjectRecord first;
    first.bytes[60] = 0x12;
    first.bytes[61] = 0x34;
    EXPECT_EQ(table[0].m_Record, first);
    // "c" is skipped, so every digit before it moves half a byte on: "02" ends up as the high
    // half of byte 59 instead of byte 58.
    ScreenObjectRecord second;
    second.bytes[61] = 0xBD;
    second.bytes[60] = 0x0A;
    second.bytes[59] = 0x20;
    EXPECT_EQ(table[1].m_Record, second);
}

TEST(TableReadFile, NinetyRecordsFillTheFirstNinety)
{
    QList<CQXPanKeyObj> table;
    QStringList messages;
    const auto result = BitmapTableFile::Read(DataDir() + QStringLiteral("/table-90"), table,
                                              [&](const FileMessage& m) { messages << m.text; });
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(result.nRecords, 90);
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_EQ(table.size(), 240);

    const CQXPanKeyObj& key = table[0];
    EXPECT_EQ(key.TypeCode(), 12);
    EXPECT_EQ(key.RegisterRect(), (QXPanRect{10, 20, 400, 100}));
    EXPECT_EQ(key.DisplayRect(), (QXPanRect{8, 16, 313, 78}));
    EXPECT_EQ(key.Shape(), 1);
    EXPECT_EQ(key.m_Cell.m_clrFill, 0x0000FFu);
    EXPECT_EQ(key.m_Cell.m_clrLabel, 0xFFFFFFu);
    EXPECT_EQ(key.GetNumber(), 5);
    EXPECT_EQ(key.GetText1(), QStringLiteral("CASH"));
    EXPECT_EQ(key.GetText2(), QString());

    // Line numbered 000777 is the fifth record: the numbers are not checked.
    const CQXPanKeyObj& table5 = table[4];
    EXPECT_EQ(table5.TypeCode(), 93);
    EXPECT_EQ(table5.m_Cell.m_clrFill, 0xE6E6E6u);
    EXPECT_EQ(table5.m_Cell.m_clrLabel, 0u);
    EXPECT_EQ(table5.m_Record.Colour(ScreenObjectRecord::FillColour), 0x332211u);
    EXPECT_EQ(table5.GetNumber(), 42);
    for (int i = 0; i < 240; ++i) {
        if (i != 0 && i != 4) {
            EXPECT_TRUE(table[i].IsFree()) << i;
        }
    }

    // The window of 798 ends at its first free record, the second.
    CQXPanDocument doc;
    doc.LoadTableSlice(table, 798);
    EXPECT_EQ(doc.m_KeyObjs.size(), 1); // record 2 is free and ends the window
}

TEST(TableReadFile, MissingFileIsSilentAndLeavesEveryRecordFree)
{
    QTemporaryDir tmp;
    QList<CQXPanKeyObj> table(5);
    table[0].SetShape(2);
    int messages = 0;
    const auto result =
        BitmapTableFile::Read(tmp.path(), table, [&](const FileMessage&) { ++messages; });
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Missing);
    EXPECT_EQ(messages, 0);
    ASSERT_EQ(table.size(), 240);
    EXPECT_TRUE(table[0].IsFree());
}

// Writing.

const QDateTime kWriteTime(QDate(2026, 3, 4), QTime(5, 6, 59));

CQXPanKeyObj KeyA()
{
    CQXPanKeyObj key;
    key.SetTypeCode(12);
    key.SetRegisterRect(10, 20, 400, 100);
    key.SetShape(1);
    key.SetFillColour(0x0000FF, true);
    key.SetTextColour(0xFFFFFF, true);
    key.SetNumber(5);
    key.SetText1(QStringLiteral("CASH"));
    key.SetText2(QString());
    return key;
}

ScreenObjectRecord Pattern(bool free)
{
    ScreenObjectRecord r;
    for (int k = 0; k < kQXPanRecordSize; ++k)
        r.bytes[k] = quint8(k * 5 + 1);
    r.bytes[ScreenObjectRecord::Shape] = free ? 0 : 2;
    return r;
}

// The table and design whose write gives table-write/FILE795P.TXT.
struct WriteSetup
{
    QList<CQXPanKeyObj> table = QList<CQXPanKeyObj>(240);
    CQXPanDocument doc;

    WriteSetup()
    {
        table[0] = KeyA();
        for (int i = 80; i < 160; ++i) // the old content of the slice of 797
            table[i] = KeyA();
        table[200].SetFromRecord(Pattern(true));
        table[239].SetFromRecord(Pattern(false));

        doc.m_nKeyCapacity = 80;
        CQXPanKeyObj t;
        t.SetTypeCode(93);
        t.SetRegisterRect(600, 400, 2000, 900);
        t.SetShape(2);
        t.SetNumber(1);
        t.SetText1(QStringLiteral("TABLE"));
        t.SetText2(QString());
        doc.AddKeyObj(&t);

        CQXPanKeyObj round;
        round.SetTypeCode(300);
        round.SetRegisterRect(0, 0, 200, 200);
        round.SetShape(2);
        round.SetFillColour(0x00FF00, true);
        round.SetTextColour(0, true);
        round.SetNumber(123456);
        round.SetText1(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW"));
        round.SetText2(QStringLiteral("DEF"));
        doc.AddKeyObj(&round);

        CQXPanKeyObj hollow;
        hollow.m_Record.bytes[20] = 0x7A; // left as read
        hollow.SetTypeCode(7);
        hollow.SetRegisterRect(30, 40, 300, 200);
        hollow.SetShape(1);
        hollow.SetFillColour(kQXPanHollow, true);
        hollow.SetTextColour(0x000080, true);
        hollow.SetNumber(999999);
        hollow.SetText1(QStringLiteral("caf\u00e9"));
        hollow.SetText2(QString());
        doc.AddKeyObj(&hollow);
    }
};

TEST(TableWrite, MatchesGoldenFileAndStoresTheSlice)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteSetup s;
    EXPECT_EQ(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kWriteTime), 0);
    const QByteArray written = ReadAll(tmp.filePath(QStringLiteral("FILE795P.TXT")));
    EXPECT_EQ(written.toStdString(),
              ReadAll(DataDir() + QStringLiteral("/table-write/FILE795P.TXT")).toStdString());
    EXPECT_EQ(s.table[80].m_Record, s.doc.m_KeyObjs[0].m_Record);
    EXPECT_TRUE(s.table[83].IsFree());
    EXPECT_FALSE(s.table[239].IsFree());
}

TEST(TableWrite, ReadsBackAsWritten)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteSetup s;
    ASSERT_EQ(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kWriteTime), 0);
    QList<CQXPanKeyObj> back;
    int messages = 0;
    const auto result =
        BitmapTableFile::Read(tmp.path(), back, [&](const FileMessage&) { ++messages; });
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(messages, 0);
    for (int i = 0; i < 240; ++i) {
        SCOPED_TRACE(i);
        // Free records come back as zeros.
        const ScreenObjectRecord expected =
            s.table[i].IsFree() ? ScreenObjectRecord{} : s.table[i].m_Record;
        EXPECT_EQ(back[i].m_Record, expected);
    }
}

struct HeaderCase
{
    const char* name;
    QByteArray existing;
    QByteArray header; // expected first lines of the written file
};

class TableWriteHeader : public ::testing::TestWithParam<HeaderCase>
{};

TEST_P(TableWriteHeader, KeepsExistingLinesAndFillsMissingOnes)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("FILE795P.TXT"));
    ASSERT_TRUE(WriteAll(path, GetParam().existing));
    QList<CQXPanKeyObj> table(240);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    ASSERT_EQ(BitmapTableFile::Write(tmp.path(), table, 798, doc, kWriteTime), 0);
    const QByteArray written = ReadAll(path);
    EXPECT_EQ(written.left(GetParam().header.size()).toStdString(),
              GetParam().header.toStdString());
    EXPECT_EQ(written.size(), GetParam().header.size() + 240 * 135);
    EXPECT_TRUE(written.endsWith(QByteArray("000240,\"") + QByteArray(124, '0') + "\"\r\n"));
}

const QByteArray kFreshH =
    "\"h\",\"32\",\"01\",\"0000\",\"260304\",\"0506\",\"0001\",\"00\",\"02\"\r\n";
const QByteArray kFreshF = "\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, TableWriteHeader,
    ::testing::Values(
        // Unchecked: even lines the reader would reject are kept; LF alone becomes CR LF.
        HeaderCase{"kept", "C?\r\nh?\nf?\r\n000001,\"FF\"\r\n", "C?\r\nh?\r\nf?\r\n"},
        HeaderCase{"one_line", "\"C\",\"c:P0795:\"\r\n",
                   "\"C\",\"c:P0795:\"\r\n" + kFreshH + kFreshF},
        HeaderCase{"no_line_end", "XYZ", "XYZ\r\n" + kFreshH + kFreshF},
        // A line longer than the header buffer comes through whole and takes two header places.
        HeaderCase{"long_line", "C" + QByteArray(2500, 'x') + "\nh\nf\n",
                   "C" + QByteArray(2500, 'x') + "\r\nh\r\n"},
        HeaderCase{"empty", "", "\"C\",\"n:P0795:\"\r\n" + kFreshH + kFreshF}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(TableWrite, ScreenLogoWritesNothing)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QList<CQXPanKeyObj> table(240);
    CQXPanDocument doc;
    EXPECT_EQ(BitmapTableFile::Write(tmp.path(), table, 796, doc, kWriteTime), 0);
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
}

TEST(TableWrite, UnwritableFolderReturnsMinusTwoAndLeavesTheTable)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteSetup s;
    const QList<CQXPanKeyObj> before = s.table;
    EXPECT_EQ(BitmapTableFile::Write(tmp.filePath(QStringLiteral("missing")), s.table, 797, s.doc,
                                     kWriteTime),
              -2);
    for (int i = 0; i < 240; ++i)
        EXPECT_EQ(s.table[i].m_Record, before[i].m_Record);
}

TEST(TableWrite, FindsTheFileWhateverItsLetterCase)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString lower = tmp.filePath(QStringLiteral("file795p.txt"));
    ASSERT_TRUE(QFile::copy(DataDir() + QStringLiteral("/table-90/FILE795P.TXT"), lower));
    QFile::setPermissions(lower, QFile::ReadOwner | QFile::WriteOwner);

    QList<CQXPanKeyObj> table;
    EXPECT_EQ(BitmapTableFile::Read(tmp.path(), table, {}).nRecords, 90);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    ASSERT_EQ(BitmapTableFile::Write(tmp.path(), table, 799, doc, kWriteTime), 0);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("file795p.txt")});
    // The old header is kept, and there are now 240 records.
    const QByteArray written = ReadAll(lower);
    EXPECT_TRUE(written.startsWith("\"C\",\"c:P0795:\"\r\n"));
    EXPECT_EQ(BitmapTableFile::Read(tmp.path(), table, {}).nRecords, 240);
}

} // namespace
