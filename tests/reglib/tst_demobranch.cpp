// The committed demo branch must be in the register's formats, or the editor shows an empty
// or broken demo; these checks read the files by the format rules, independently of the code.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QString demoPath(const QString& rel)
{
    return QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/") + rel;
}

QList<QByteArray> crlfLines(const QString& rel)
{
    QFile f(demoPath(rel));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = f.readAll();
    EXPECT_TRUE(all.endsWith("\r\n")) << rel.toStdString() << ": last line has no line end";
    all.chop(1);
    QList<QByteArray> lines = all.split('\n');
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << rel.toStdString() << ": line without CR LF";
        line.chop(1);
    }
    return lines;
}

int leadingNumber(const QByteArray& line, int column)
{
    int i = column, v = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        v = v * 10 + (line[i++] - '0');
    return v;
}

} // namespace

TEST(DemoBranch, SystemKeysAreFoundByVariant402)
{
    const QList<QByteArray> lines = crlfLines(QStringLiteral("data/funckey.txt"));
    // For each record index from 0: the first line of the index whose variant key suits the
    // register key 402 must exist and be accepted.
    int records = 0;
    for (int k = 0;; ++k) {
        const QByteArray* found = nullptr;
        for (const QByteArray& line : lines) {
            if (leadingNumber(line, 5) != k)
                continue;
            const int v = leadingNumber(line, 0);
            if ((v / 100 == 4 && (v % 100 == 2 || v % 100 == 0)) ||
                (v / 100 == 0 && v % 100 == 2) || v == 0) {
                found = &line;
                break;
            }
        }
        if (!found)
            break;
        EXPECT_TRUE(leadingNumber(*found, 0) == 402 || leadingNumber(*found, 2) == 0)
            << found->constData();
        EXPECT_FALSE(found->mid(20).trimmed().isEmpty());
        ++records;
    }
    EXPECT_GE(records, 20);
    EXPECT_LE(records, 40);
    // Every line belongs to one of the records found, so none is silently lost.
    for (const QByteArray& line : lines)
        EXPECT_LT(leadingNumber(line, 5), records) << line.constData();
}

TEST(DemoBranch, FreeFunctionFileHasFixedColumns)
{
    const QList<QByteArray> lines = crlfLines(QStringLiteral("program/FILE002P.TXT"));
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines[0], QByteArray("\"C\",\"n:P0002:\""));
    EXPECT_TRUE(lines[1].startsWith("\"h\""));
    EXPECT_TRUE(lines[2].startsWith("\"f\""));
    const QRegularExpression record(QStringLiteral("^(\\d{6}),\"(\\d{4})\\d{3}(.{16})\\d*\"$"));
    for (int i = 3; i < lines.size(); ++i) {
        const auto m = record.match(QString::fromLatin1(lines[i]));
        ASSERT_TRUE(m.hasMatch()) << lines[i].constData();
        EXPECT_EQ(m.captured(1).toInt(), i - 2);
        EXPECT_FALSE(m.captured(3).trimmed().isEmpty());
    }
    EXPECT_GE(lines.size() - 3, 30);
    EXPECT_LE(lines.size() - 3, 60);
}

TEST(DemoBranch, BitmapTableHas240RecordsInTheFirstTwoSlices)
{
    const QList<QByteArray> lines = crlfLines(QStringLiteral("program/FILE795P.TXT"));
    ASSERT_EQ(lines.size(), 243);
    EXPECT_EQ(lines[0], QByteArray("\"C\",\"n:P0795:\""));
    EXPECT_TRUE(lines[1].startsWith("\"h\",\"32\",\"01\",\"0000\",\""));
    EXPECT_EQ(lines[2], QByteArray("\"f\",\"FILE795\",\"P\",\"P\",\"0001\""));
    int used[3] = {0, 0, 0};
    for (int i = 0; i < 240; ++i) {
        const QByteArray& line = lines[3 + i];
        ASSERT_EQ(line.size(), 133) << i;
        EXPECT_EQ(line.left(8), QByteArray::number(i + 1).rightJustified(6, '0') + ",\"");
        const QByteArray rec = QByteArray::fromHex(line.mid(8, 124));
        EXPECT_EQ(rec.toHex().toUpper(), line.mid(8, 124)) << "not upper-case hexadecimal";
        const int slice = i / 80;
        if (rec[10] == 0) {
            EXPECT_EQ(rec, QByteArray(62, '\0')) << "free record " << i + 1 << " not all zero";
            continue;
        }
        // A free record ends a window's records, so used ones must come first in the slice.
        EXPECT_EQ(used[slice], i % 80) << "record " << i + 1 << " after a free one";
        ++used[slice];
        const auto* b = reinterpret_cast<const uchar*>(rec.constData());
        const int left = qFromLittleEndian<quint16>(b + 2), top = qFromLittleEndian<quint16>(b + 4);
        const int right = qFromLittleEndian<quint16>(b + 6),
                  bottom = qFromLittleEndian<quint16>(b + 8);
        EXPECT_TRUE(rec[10] == 1 || rec[10] == 2);
        EXPECT_TRUE(left >= 0 && right < 1024 && top >= 0 && bottom < 768) << i + 1;
        EXPECT_TRUE(right - left >= 30 && bottom - top >= 30) << i + 1;
        for (int n = 17; n < 20; ++n) // packed decimal digits
            EXPECT_TRUE((b[n] >> 4) < 10 && (b[n] & 15) < 10) << i + 1;
    }
    EXPECT_GT(used[0], 0); // 798, check window 21
    EXPECT_GT(used[1], 0); // 797, check window 22
    EXPECT_EQ(used[2], 0); // 799 left empty
}

TEST(DemoBranch, BitmapsArePalettedUncompressedOfTheRightSize)
{
    struct Folder
    {
        const char* name;
        int minCount, maxCount, minSide, maxSide;
    };
    for (const Folder& folder :
         {Folder{"backgrounds", 3, 5, 768, 1024}, Folder{"bitmaps", 6, 10, 64, 200}}) {
        const QDir dir(demoPath(QLatin1String(folder.name)));
        const QStringList names = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files);
        EXPECT_TRUE(names.size() >= folder.minCount && names.size() <= folder.maxCount);
        for (const QString& name : names) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray head = f.read(54);
            ASSERT_EQ(head.size(), 54);
            const auto* b = reinterpret_cast<const uchar*>(head.constData());
            EXPECT_TRUE(head.startsWith("BM") && qFromLittleEndian<quint16>(b + 28) == 8 &&
                        qFromLittleEndian<quint32>(b + 30) == 0)
                << name.toStdString() << ": not an uncompressed 8-bit bitmap";
            const QImage img(dir.filePath(name));
            ASSERT_FALSE(img.isNull()) << name.toStdString();
            if (QLatin1String(folder.name) == QLatin1String("backgrounds")) {
                EXPECT_EQ(img.size(), QSize(1024, 768));
            } else {
                EXPECT_TRUE(qMin(img.width(), img.height()) >= folder.minSide &&
                            qMax(img.width(), img.height()) <= folder.maxSide)
                    << name.toStdString();
            }
        }
    }
}

TEST(DemoBranch, PanelFileNamesBranchBitmaps)
{
    const QList<QByteArray> lines = crlfLines(QStringLiteral("data/demo.pan"));
    ASSERT_FALSE(lines.isEmpty());
    // ocean.bmp: the bitmap rows of the background list are "Aempty.bmp" and then the folder's
    // bitmaps in name order (mint, ocean, ...).
    EXPECT_EQ(lines[0], QByteArray("BG:2"));
    ASSERT_EQ((lines.size() - 1) % 4, 0);
    const QRegularExpression numbers(QStringLiteral("^-?\\d{4,}( -?\\d{4,}){9}$"));
    int keys = 0;
    for (int i = 1; i < lines.size(); i += 4) {
        const QString first = QString::fromLatin1(lines[i]);
        ASSERT_TRUE(numbers.match(first).hasMatch()) << lines[i].constData();
        const QStringList f = first.split(QLatin1Char(' '));
        EXPECT_TRUE(f[1].toInt() - f[0].toInt() >= 30 && f[3].toInt() - f[2].toInt() >= 30);
        const int kind = f[5].toInt();
        if (kind <= 1) {
            const QByteArray path = lines[i + 1].trimmed();
            const QString name = QString::fromLatin1(path.mid(path.lastIndexOf('\\') + 1));
            EXPECT_TRUE(QFile::exists(demoPath(QStringLiteral("bitmaps/") + name)))
                << name.toStdString();
            EXPECT_EQ(lines[i + 2], QByteArray(" "));
        } else {
            ++keys;
            EXPECT_TRUE(kind >= 2 && kind <= 5);
            EXPECT_EQ(kind >= 4, f[6].toInt() == 93);
            EXPECT_EQ(lines[i + 1], QByteArray(" "));
            EXPECT_TRUE(lines[i + 2].endsWith(' '));
        }
    }
    EXPECT_GT(keys, 0);
}

// The screen logo and check window 22 as the register reads them: three header lines, then
// exactly 9833 records of 160 bytes whose joined bytes hold the 16-byte picture header and the
// 1024 x 768 pixel words, low byte first, padded with zeros.
class DemoScreenFile : public testing::TestWithParam<int>
{};

TEST_P(DemoScreenFile, FollowsTheRegisterLayout)
{
    const int number = GetParam();
    const QList<QByteArray> lines = crlfLines(QStringLiteral("program/FILE%1P.TXT").arg(number));
    ASSERT_EQ(lines.size(), 3 + 9833);
    EXPECT_EQ(lines[0],
              QStringLiteral("\"C\",\"n:P%1:\"").arg(number, 4, 10, QLatin1Char('0')).toLatin1());
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^\"h\",\"36\",\"01\",\"0000\",\"\\d{6}\",\"\\d{4}\",\"0001\","
                                   "\"01\",\"02\",\"9999\"$"))
                    .match(QString::fromLatin1(lines[1]))
                    .hasMatch())
        << lines[1].constData();
    EXPECT_EQ(lines[2],
              QStringLiteral("\"f\",\"FILE%1\",\"P\",\"P\",\"0001\"").arg(number).toLatin1());

    const QRegularExpression record(QStringLiteral("^(\\d{6}),\"([0-9A-F]{320})\"$"));
    QByteArray stream;
    stream.reserve(9833 * 160);
    for (int i = 0; i < 9833; ++i) {
        const auto m = record.match(QString::fromLatin1(lines[3 + i]));
        ASSERT_TRUE(m.hasMatch()) << "record " << i + 1;
        ASSERT_EQ(m.captured(1).toInt(), i + 1);
        stream += QByteArray::fromHex(m.captured(2).toLatin1());
    }
    ASSERT_EQ(stream.size(), 9833 * 160);

    const QByteArray header = QByteArray::fromHex("00001800100000000000040003000800");
    EXPECT_EQ(stream.left(16), header);
    const qsizetype end = 16 + 2 * 1024 * 768;
    EXPECT_EQ(stream.mid(end), QByteArray(stream.size() - end, '\0'));

    // Bit 15 of every word is clear; a word stored high byte first would break this for most
    // colours. A real picture also has more than a handful of colours.
    QSet<quint16> colours;
    int highBitSet = 0;
    for (qsizetype at = 16; at < end; at += 2) {
        const auto lo = quint8(stream[at]), hi = quint8(stream[at + 1]);
        highBitSet += (hi & 0x80) != 0;
        colours.insert(quint16(lo | hi << 8));
    }
    EXPECT_EQ(highBitSet, 0);
    EXPECT_GE(colours.size(), 10);
}

INSTANTIATE_TEST_SUITE_P(LogoAndCheckWindow22, DemoScreenFile, testing::Values(796, 797));
