// Catches: readers off their case dumps, broken fuzz promises or findings, endless input read all
// A case is a folder tests/data/<reader>-read-<case>/: input.* (none: no file), case.txt ("key
// value" lines, "from" names another folder's file) and expected.txt. QXPAN_UPDATE_EXPECTED=1
// rewrites the dumps (then read the diff).
#include "FuzzEnvironment.h"
#include "FuzzPanelHost.h"
#include "FuzzReaders.h"

#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanFuncKeyReader.h"

#include "MeteredDevice.h"
#include "TestBmp.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const QString kData = QStringLiteral(QXPAN_TEST_DATA);
using Reader = FuzzOutcome (*)(const std::uint8_t*, std::size_t);

struct Case
{
    QString name, input; ///< input: the input's file name, empty when the case has none
    QByteArray bytes;
    QMap<QString, QString> options;

    // Writes the input (if any) into dir as name, or by its own name; returns the path.
    QString Put(const QTemporaryDir& dir, QString name = {}) const
    {
        const QString path = dir.filePath(name.isEmpty() ? input : name);
        EXPECT_TRUE(input.isEmpty() || TestFiles::Write(path, bytes));
        return path;
    }
};

QList<Case> Cases(const QString& reader)
{
    QList<Case> cases;
    for (const QString& name : QDir(kData).entryList({reader + "-read-*"}, QDir::Dirs)) {
        const QDir dir(kData + "/" + name);
        Case c{name, {}, {}, {}};
        const QString options = QString::fromUtf8(TestFiles::Read(dir.filePath("case.txt")));
        for (const QString& line : options.split('\n', Qt::SkipEmptyParts))
            c.options.insert(line.section(' ', 0, 0), line.section(' ', 1));
        const QString input =
            c.options.value("from", name + "/" + dir.entryList({"input.*"}, QDir::Files).value(0));
        c.input = QFileInfo(input).fileName();
        if (!c.input.isEmpty())
            c.bytes = TestFiles::Read(kData + "/" + input);
        cases.append(c);
    }
    EXPECT_FALSE(cases.isEmpty()) << "no case folders for " << qPrintable(reader);
    return cases;
}

// The input through the fuzz target's reader and oracle: every promise must hold.
FuzzOutcome Replay(Reader reader, const QByteArray& bytes)
{
    const FuzzOutcome outcome =
        reader(reinterpret_cast<const std::uint8_t*>(bytes.constData()), size_t(bytes.size()));
    EXPECT_TRUE(outcome.problems.isEmpty()) << qPrintable(outcome.problems.join("; "));
    return outcome;
}

QString Hex(quint32 value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, '0');
}

// The code, the user's message and the file a failure names.
QString ResultDump(const FileResult& result, const QTemporaryDir& dir)
{
    QString out = QStringLiteral("result %1\n").arg(result.code);
    if (const QString text = result.Message().text; !text.isEmpty())
        out += "message " + QString(text).replace(dir.path(), "<dir>") + "\n";
    if (!result.path.isEmpty())
        out += "path " + QString(result.path).replace(dir.path(), "<dir>") + "\n";
    return out;
}

// Size and depth, then the colours as runs in row order.
QString PictureDump(const CDibImage& image)
{
    if (image.IsEmpty())
        return "picture none\n";
    QString out = QStringLiteral("picture %1x%2x%3\n")
                      .arg(image.Width())
                      .arg(image.Height())
                      .arg(image.BitsPerPixel());
    const QImage& im = image.Image();
    const auto at = [&im](qint64 i) {
        return im.pixel(int(i % im.width()), int(i / im.width()));
    };
    const qint64 n = qint64(im.width()) * im.height();
    for (qint64 i = 0, start = 0; i < n; ++i)
        if (i + 1 == n || at(i + 1) != at(i)) {
            out += QStringLiteral("run %1 %2\n").arg(i + 1 - start).arg(Hex(at(i) & 0xFFFFFF, 6));
            start = i + 1;
        }
    return out;
}

QString ReadTable(const Case& c, const QTemporaryDir& dir)
{
    c.Put(dir, c.options.value("name", "FILE795P.TXT"));
    QList<CQXPanKeyObj> table(3); // what was there before is replaced whole
    table[1].SetShape(1);
    const BitmapTableFile::ReadResult read = BitmapTableFile::Read(dir.path(), table);
    EXPECT_EQ(table.size(), BitmapTableFile::kTableSize);
    QString dump = ResultDump(read.result, dir) +
                   QStringLiteral("status %1 records %2\n")
                       .arg(QStringList{"read", "missing", "wrong"}[int(read.eStatus)])
                       .arg(read.nRecords);
    for (int k = 0; k < table.size(); ++k) {
        const QByteArray bytes(reinterpret_cast<const char*>(table[k].m_Record.data()),
                               kQXPanRecordSize);
        if (bytes.count('\0') != bytes.size())
            dump +=
                QStringLiteral("record %1 %2 ").arg(k).arg(table[k].IsFree() ? "free" : "used") +
                bytes.toHex().toUpper() + "\n";
    }
    return dump;
}

// case.txt: "name" of the file, "objtype" shown, "before WxH" or "none", "aempty" there.
QString ReadScreen(const Case& c, const QTemporaryDir& dir)
{
    const QString name = c.options.value("name", "FILE797P.TXT");
    c.Put(dir, name);
    if (c.options.contains("aempty"))
        writeBytes(dir.filePath("Aempty.bmp"), makeBmp(2, 1, 24, {}, {QByteArray(6, char(0xFF))}));
    CDibImage background;
    if (const QString size = c.options.value("before", "10x10"); size != "none")
        background.Create(size.section('x', 0, 0).toInt(), size.section('x', 1).toInt(), 24);
    const FileResult result =
        ImportScreenFile(name.mid(4, 3).toInt(), c.options.value("objtype").toInt(), background,
                         dir.path(), dir.path());
    return ResultDump(result, dir) + PictureDump(background);
}

// The image before is 4 x 3 pixels: FuzzReaders::Image sees a failed load leave it as it was.
QString ReadPicture(const Case& c, const QTemporaryDir& dir)
{
    const QString file = c.Put(dir, c.input.isEmpty() ? "input.bmp" : c.input);
    CDibImage image;
    image.Create(4, 3, 24);
    const FileResult result = image.Load(file);
    QString dump = ResultDump(result, dir);
    if (!result)
        return dump;
    dump += PictureDump(image) + (image.HasAlpha() ? "alpha\n" : "");
    for (const QRgb colour : image.ColorTable())
        dump += "colour " + Hex(colour, 8) + "\n";
    QByteArray raw(image.RawSize(), '\0');
    image.GetBits(raw.size(), raw.data());
    for (qsizetype at = 0; at < raw.size(); at += image.RawRowBytes())
        dump += "raw " + raw.mid(at, image.RawRowBytes()).toHex().toUpper() + "\n";
    return dump;
}

TEST(Readers, CasesGiveTheirDumpsAndFuzzFindingsKeepThePromises)
{
    FuzzEnvironment::Init();
    const struct
    {
        const char* reader;
        Reader oracle;
        QString (*read)(const Case&, const QTemporaryDir&);
    } readers[] = {{"table", &FuzzReaders::BitmapTable, &ReadTable},
                   {"screen", &FuzzReaders::ScreenImport, &ReadScreen},
                   {"image", &FuzzReaders::Image, &ReadPicture}};
    for (const auto& r : readers)
        for (const Case& c : Cases(r.reader)) {
            SCOPED_TRACE(c.name.toStdString());
            Replay(r.oracle, c.bytes);
            QTemporaryDir dir;
            const QString actual = r.read(c, dir);
            const QString path = kData + "/" + c.name + "/expected.txt";
            if (qEnvironmentVariableIsSet("QXPAN_UPDATE_EXPECTED"))
                TestFiles::Write(path, actual.toUtf8());
            EXPECT_EQ(QString::fromUtf8(TestFiles::Read(path)).toStdString(), actual.toStdString());
        }

    // The fuzz findings, fuzz-regressions/<target>/FILE, through that target's reader; where there
    // is a FILE.expected, with its "result N" and "message TEXT" lines.
    const QMap<QString, Reader> targets = {{"panel", &FuzzReaders::Panel},
                                           {"bitmaptable", &FuzzReaders::BitmapTable},
                                           {"screenimport", &FuzzReaders::ScreenImport},
                                           {"funckey", &FuzzReaders::FuncKey},
                                           {"freefunc", &FuzzReaders::FreeFunc},
                                           {"store", &FuzzReaders::Store},
                                           {"image", &FuzzReaders::Image}};
    QDirIterator found(kData + "/fuzz-regressions", QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QFileInfo file = found.nextFileInfo();
        if (file.suffix() == "expected")
            continue;
        SCOPED_TRACE(file.filePath().toStdString());
        const QString target = file.dir().dirName();
        ASSERT_TRUE(targets.contains(target)) << "no reader for " << qPrintable(target);
        const FuzzOutcome outcome = Replay(targets[target], TestFiles::Read(file.filePath()));
        const QByteArray expected = TestFiles::Read(file.filePath() + ".expected");
        if (expected.isEmpty())
            continue; // only the promises are asked of this input
        QString actual = QStringLiteral("result %1\n").arg(outcome.nResult);
        for (const QString& message : outcome.messages)
            actual += "message " + message + "\n";
        EXPECT_EQ(actual.toStdString(), QString::fromUtf8(expected).toStdString());
    }
}

// Endless inputs: a reader takes a line in pieces and stops at its limits, never holding it all.
TEST(Readers, HugeStreamsAreReadInPiecesAndStopAtTheLimits)
{
    constexpr qint64 kMiB = qint64(1) << 20;
    // Ten million lines of placed bitmaps, and a line of 20 MB.
    const struct
    {
        QByteArray unit;
        PanelFile::Stop stop;
        qsizetype bitmaps;
    } panels[] = {{"0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n"
                   "..\\..\\elsewhere\\icon.bmp \r\n \r\n \r\n",
                   PanelFile::Stop::TooManyBitmaps, PanelFile::kMaxPlacedBitmaps},
                  {"garbage ", PanelFile::Stop::NotAnObject, 0}};
    for (const auto& c : panels) {
        auto device = MeteredDevice::Repeating("BG:0\r\n", c.unit, 2'500'000);
        const qint64 total = device->bytesAvailable();
        CQXPanDocument doc;
        FuzzOutcome outcome;
        FuzzPanelHost host(0, 797, outcome);
        const PanelFile::ReadResult result = PanelFile::Read(*device, 797, doc, host);
        EXPECT_EQ(result.eStop, c.stop);
        EXPECT_EQ(doc.m_BmpObjs.size(), c.bitmaps);
        EXPECT_TRUE(outcome.problems.isEmpty());
        EXPECT_LT(device->BytesRead(), total / 20);
        EXPECT_LE(device->LargestRequest(), kMiB);
    }

    // A key table record line of 100 MB: every 255-byte piece begins with a digit and counts as
    // a record, so the 241st piece ends the reading.
    auto table = MeteredDevice::Repeating(
        "\"C\",\"n:P0795:\"\r\n\"h\",\"32\"\r\n\"f\",\"FILE795\"\r\n000001,\"", "0123456789",
        100 * kMiB / 10);
    QList<CQXPanKeyObj> keys;
    EXPECT_EQ(BitmapTableFile::ReadDevice(*table, keys).nRecords, 240);
    EXPECT_LE(table->BytesRead(), kMiB);

    // funckey.txt of more records than the list holds.
    constexpr int count = CQXPanFuncKeyReader::kMaxRecords + 500;
    int index = 0;
    MeteredDevice funcKeys(
        [&index](qint64, char* data, qint64 maxSize) -> qint64 {
            qint64 n = 0;
            for (; index < count && maxSize - n >= 64; ++index)
                n += std::snprintf(data + n, 64, "0402 %05d 123      KEY\r\n", index);
            return n;
        },
        qint64(count) * 25);
    const CQXPanRefReadResult rows = CQXPanFuncKeyReader::Read(funcKeys);
    ASSERT_EQ(rows.m_rows.size(), CQXPanFuncKeyReader::kMaxRecords);
    EXPECT_EQ(rows.m_rows.last().m_strCol2, "KEY");
}

} // namespace
