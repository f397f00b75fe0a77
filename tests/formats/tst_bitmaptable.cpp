#include "formats/BitmapTableFile.h"

#include "document/CQXPanDocument.h"

#include "TestBmp.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <array>

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

TEST(HexToBytes, FillsFromTheLastByteBackwards)
{
    const struct
    {
        const char* text;
        std::array<quint8, 4> bytes;
    } cases[] = {{"1234", {0, 0, 0x12, 0x34}},
                 {"\"12345678\"\r\n", {0x12, 0x34, 0x56, 0x78}},
                 {"AB12345678", {0x12, 0x34, 0x56, 0x78}}, // surplus in front ignored
                 {"\"0012ab34\"", {0, 0, 0x12, 0x34}},     // lower case skipped
                 {"123", {0, 0, 0x01, 0x23}},
                 // ":" to "@" count as digits 3 to 9 (code - 0x37); "G" is no digit.
                 {":@;?G", {0, 0, 0x39, 0x48}}};
    for (const auto& c : cases) {
        std::array<quint8, 4> out{0xEE, 0xEE, 0xEE, 0xEE};
        BitmapTableFile::HexToBytes(QByteArray(c.text), out.data(), 4);
        EXPECT_EQ(out, c.bytes) << c.text;
    }
}

QByteArray FreshHeader()
{
    return "\"C\",\"n:P0795:\"\r\n\"h\",\"32\",\"01\",\"0000\",\"261205\",\"1200\",\"0001\",\"00\","
           "\"02\"\r\n\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";
}

QByteArray Edited(const char* from, const char* to)
{
    return FreshHeader().replace(from, to);
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
    bool read; // false: "Wrong FILE795P.TXT file."
    int records;
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
    const auto result = BitmapTableFile::ReadDevice(buffer, table);
    EXPECT_EQ(result.eStatus, GetParam().read ? BitmapTableFile::ReadStatus::Read
                                              : BitmapTableFile::ReadStatus::Wrong);
    EXPECT_EQ(result.nRecords, GetParam().records);
    EXPECT_EQ(result.result.Message().text, GetParam().read ? "" : "Wrong FILE795P.TXT file.");
    EXPECT_EQ(result.result.icon, FileMessage::NoIcon);
    EXPECT_TRUE(result.result.title.isEmpty()); // the application's title
    ASSERT_EQ(table.size(), 240);
    for (const CQXPanKeyObj& obj : table)
        EXPECT_TRUE(obj.IsFree());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableRead,
    ::testing::Values(
        ReadCase{"all_free", FreshHeader() + ZeroRecords(240), true, 240},
        ReadCase{"c_form", Edited("n:P0795", "c:P0795") + ZeroRecords(150), true, 150},
        ReadCase{"ninety", FreshHeader() + ZeroRecords(90), true, 90},
        ReadCase{"hundred", FreshHeader() + ZeroRecords(100), false, 100},
        ReadCase{"too_many", FreshHeader() + ZeroRecords(241), false, 240},
        ReadCase{"lower_case_c_field", Edited("\"C\"", "\"c\"") + ZeroRecords(240), false, 0},
        ReadCase{"lf_only_first_line", Edited("\"\r\n\"h", "\"\n\"h") + ZeroRecords(240), false, 0},
        ReadCase{"upper_case_h_and_f",
                 Edited("\"h\"", "\"H\"").replace("\"f\"", "\"F\"") + ZeroRecords(90), true, 90},
        ReadCase{"no_h_line", Edited("\"h\"", "\"x\"") + ZeroRecords(240), false, 0},
        ReadCase{"ends_after_two_lines", FreshHeader().left(70), false, 0},
        ReadCase{"binary", QByteArray("\x00\xFF\xFE\x89PNG\r\n\x1A\n\x00\x00", 13), false, 0},
        // Reading ends at a line that does not begin with a digit.
        ReadCase{"stops_at_text", FreshHeader() + ZeroRecords(90) + "END\r\n" + ZeroRecords(10),
                 true, 90},
        // A record line longer than the line buffer: its rest begins with "Z", no digit.
        ReadCase{"long_line",
                 FreshHeader() + ZeroRecords(89) + "000090,\"" + QByteArray(124, '0') + "\"" +
                     QByteArray(200, 'Z') + "\r\n",
                 true, 90}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(TableReadRecords, ShortAndLowerCaseRecordLines)
{
    QByteArray content = FreshHeader() + "000001,\"1234\"\r\n" + "000002,\"" +
                         QByteArray(116, '0') + "02" + "00ABcD" + "\"\r\n" + ZeroRecords(88);
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QList<CQXPanKeyObj> table;
    EXPECT_EQ(BitmapTableFile::ReadDevice(buffer, table).eStatus,
              BitmapTableFile::ReadStatus::Read);
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

TEST(TableReadFile, NinetyRecordsFillTheFirstNinety)
{
    QList<CQXPanKeyObj> table;
    const auto result = BitmapTableFile::Read(DataDir() + QStringLiteral("/table-90"), table);
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(result.nRecords, 90);
    EXPECT_TRUE(result.result);
    ASSERT_EQ(table.size(), 240);
    EXPECT_EQ(table[0].m_Record, KeyA().m_Record);
    EXPECT_EQ(table[0].DisplayRect(), (QXPanRect{8, 16, 313, 78}));
    EXPECT_EQ(table[0].m_Cell.m_clrFill, 0x0000FFu);
    EXPECT_EQ(table[0].m_Cell.m_clrLabel, 0xFFFFFFu);

    // Line numbered 000777 is the fifth record: the numbers are not checked. A table shows grey.
    const CQXPanKeyObj& table5 = table[4];
    EXPECT_EQ(table5.TypeCode(), 93);
    EXPECT_EQ(table5.m_Cell.m_clrFill, 0xE6E6E6u);
    EXPECT_EQ(table5.m_Record.Colour(ScreenObjectRecord::FillColour), 0x332211u);
    EXPECT_EQ(table5.GetNumber(), 42);
    for (int i = 0; i < 240; ++i)
        EXPECT_EQ(table[i].IsFree(), i != 0 && i != 4) << i;
}

TEST(TableReadFile, MissingFileIsSilentAndLeavesEveryRecordFree)
{
    QTemporaryDir tmp;
    QList<CQXPanKeyObj> table(5);
    table[0].SetShape(2);
    const auto result = BitmapTableFile::Read(tmp.path(), table);
    EXPECT_EQ(result.eStatus, BitmapTableFile::ReadStatus::Missing);
    EXPECT_TRUE(result.result);
    ASSERT_EQ(table.size(), 240);
    EXPECT_TRUE(table[0].IsFree());
}

// Writing.

const QDateTime kWriteTime(QDate(2026, 3, 4), QTime(5, 6, 59));

ScreenObjectRecord Pattern(bool free)
{
    ScreenObjectRecord r;
    for (int k = 0; k < kQXPanRecordSize; ++k)
        r.bytes[k] = quint8(k * 5 + 1);
    r.bytes[ScreenObjectRecord::Shape] = free ? 0 : 2;
    return r;
}

CQXPanKeyObj Key(quint16 type, QXPanRect r, quint8 shape, quint32 number, const QString& text1,
                 const QString& text2 = QString())
{
    CQXPanKeyObj key;
    key.SetTypeCode(type);
    key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
    key.SetShape(shape);
    key.SetNumber(number);
    key.SetText1(text1);
    key.SetText2(text2);
    return key;
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
        CQXPanKeyObj t = Key(93, {600, 400, 2000, 900}, 2, 1, QStringLiteral("TABLE"));
        doc.AddKeyObj(&t);
        CQXPanKeyObj round = Key(300, {0, 0, 200, 200}, 2, 123456,
                                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW"), QStringLiteral("DEF"));
        round.SetFillColour(0x00FF00, true);
        round.SetTextColour(0, true);
        doc.AddKeyObj(&round);
        CQXPanKeyObj hollow = Key(7, {30, 40, 300, 200}, 1, 999999, QStringLiteral("caf\u00e9"));
        hollow.m_Record.bytes[20] = 0x7A; // left as written
        hollow.SetFillColour(kQXPanHollow, true);
        hollow.SetTextColour(0x000080, true);
        doc.AddKeyObj(&hollow);
    }
};

TEST(TableWrite, MatchesGoldenFileStoresTheSliceAndReadsBack)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteSetup s;
    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 797, s.doc, kWriteTime));
    EXPECT_EQ(ReadAll(tmp.filePath(QStringLiteral("FILE795P.TXT"))).toStdString(),
              ReadAll(DataDir() + QStringLiteral("/table-write/FILE795P.TXT")).toStdString());
    EXPECT_EQ(s.table[80].m_Record, s.doc.m_KeyObjs[0].m_Record);
    EXPECT_TRUE(s.table[83].IsFree());
    EXPECT_FALSE(s.table[239].IsFree());

    QList<CQXPanKeyObj> back;
    ASSERT_EQ(BitmapTableFile::Read(tmp.path(), back).eStatus, BitmapTableFile::ReadStatus::Read);
    for (int i = 0; i < 240; ++i) // free records come back as zeros
        EXPECT_EQ(back[i].m_Record,
                  s.table[i].IsFree() ? ScreenObjectRecord{} : s.table[i].m_Record)
            << i;
}

const QByteArray kFreshH =
    "\"h\",\"32\",\"01\",\"0000\",\"260304\",\"0506\",\"0001\",\"00\",\"02\"\r\n";
const QByteArray kFreshF = "\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n";

TEST(TableWrite, KeepsExistingHeaderLinesAndFillsMissingOnes)
{
    const struct
    {
        QByteArray existing;
        QByteArray header; // expected first lines of the written file
    } cases[] = {
        // Unchecked: even lines the reader would reject are kept; LF alone becomes CR LF.
        {"C?\r\nh?\nf?\r\n000001,\"FF\"\r\n", "C?\r\nh?\r\nf?\r\n"},
        {"\"C\",\"c:P0795:\"\r\n", "\"C\",\"c:P0795:\"\r\n" + kFreshH + kFreshF},
        {"XYZ", "XYZ\r\n" + kFreshH + kFreshF},
        // A line longer than the header buffer comes through whole and takes two header places.
        {"C" + QByteArray(2500, 'x') + "\nh\nf\n", "C" + QByteArray(2500, 'x') + "\r\nh\r\n"},
        {"", "\"C\",\"n:P0795:\"\r\n" + kFreshH + kFreshF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing.left(20).toStdString());
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("FILE795P.TXT"));
        ASSERT_TRUE(writeBytes(path, c.existing));
        QList<CQXPanKeyObj> table(240);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = 80;
        ASSERT_TRUE(BitmapTableFile::Write(tmp.path(), table, 798, doc, kWriteTime));
        const QByteArray written = ReadAll(path);
        EXPECT_EQ(written.left(c.header.size()).toStdString(), c.header.toStdString());
        EXPECT_EQ(written.size(), c.header.size() + 240 * 135);
        EXPECT_TRUE(written.endsWith(QByteArray("000240,\"") + QByteArray(124, '0') + "\"\r\n"));
    }
}

TEST(TableWrite, ScreenLogoWritesNothingAndUnwritableFolderGivesMinusTwo)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    WriteSetup s;
    const QList<CQXPanKeyObj> before = s.table;
    EXPECT_TRUE(BitmapTableFile::Write(tmp.path(), s.table, 796, s.doc, kWriteTime));
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    const QString missing = tmp.filePath(QStringLiteral("missing"));
    const FileResult failed = BitmapTableFile::Write(missing, s.table, 797, s.doc, kWriteTime);
    EXPECT_EQ(failed.code, -2);
    EXPECT_TRUE(failed.path.startsWith(missing)) << qPrintable(failed.Text());
    for (int i = 0; i < 240; ++i)
        EXPECT_EQ(s.table[i].m_Record, before[i].m_Record);
}

TEST(TableWrite, FindsTheFileWhateverItsLetterCase)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString lower = tmp.filePath(QStringLiteral("file795p.txt"));
    ASSERT_TRUE(writeBytes(lower, ReadAll(DataDir() + QStringLiteral("/table-90/FILE795P.TXT"))));
    QList<CQXPanKeyObj> table;
    EXPECT_EQ(BitmapTableFile::Read(tmp.path(), table).nRecords, 90);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    ASSERT_TRUE(BitmapTableFile::Write(tmp.path(), table, 799, doc, kWriteTime));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("file795p.txt")});
    EXPECT_TRUE(ReadAll(lower).startsWith("\"C\",\"c:P0795:\"\r\n")); // old header kept
    EXPECT_EQ(BitmapTableFile::Read(tmp.path(), table).nRecords, 240);
}

} // namespace
