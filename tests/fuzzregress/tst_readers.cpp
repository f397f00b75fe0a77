// Catches: readers off their case dumps, broken fuzz promises or findings, endless input read all
// A case is a folder tests/data/<reader>-read-<case>/: input.* (none: no file), case.txt ("key
// value" lines; "from" names another folder's file), expected.txt (rewritten by
// QXPAN_UPDATE_EXPECTED=1; then read the diff).
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

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(QXPAN_TEST_DATA);
using Reader = FuzzOutcome (*)(const std::uint8_t*, std::size_t);
using Options = QMap<QString, QString>;

// The input through the fuzz target's reader and oracle: every promise must hold.
FuzzOutcome Replay(Reader reader, const QByteArray& bytes)
{
    const FuzzOutcome outcome =
        reader(reinterpret_cast<const std::uint8_t*>(bytes.constData()), size_t(bytes.size()));
    EXPECT_TRUE(outcome.problems.isEmpty()) << qPrintable(outcome.problems.join("; "));
    return outcome;
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
    const QImage& im = image.Image();
    QString out =
        QString::asprintf("picture %dx%dx%d\n", im.width(), im.height(), image.BitsPerPixel());
    const auto at = [&im](qint64 i) {
        return im.pixel(int(i % im.width()), int(i / im.width()));
    };
    const qint64 n = qint64(im.width()) * im.height();
    for (qint64 i = 0, start = 0; i < n; ++i)
        if (i + 1 == n || at(i + 1) != at(i)) {
            out += QString::asprintf("run %lld %06X\n", i + 1 - start, at(i) & 0xFFFFFF);
            start = i + 1;
        }
    return out;
}

// What was in the table before is replaced whole.
QString ReadTable(const Options&, const QString&, const QTemporaryDir& dir)
{
    QList<CQXPanKeyObj> table(3);
    table[1].SetShape(1);
    const BitmapTableFile::ReadResult read = BitmapTableFile::Read(dir.path(), table);
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

// case.txt: "objtype" shown, "before WxH" or "none", "aempty" there.
QString ReadScreen(const Options& o, const QString& path, const QTemporaryDir& dir)
{
    if (o.contains("aempty"))
        writeBytes(dir.filePath("Aempty.bmp"), makeBmp(2, 1, 24, {}, {QByteArray(6, char(0xFF))}));
    CDibImage background;
    if (const QString size = o.value("before", "10x10"); size != "none")
        background.Create(size.section('x', 0, 0).toInt(), size.section('x', 1).toInt(), 24);
    const FileResult result =
        ImportScreenFile(QFileInfo(path).fileName().mid(4, 3).toInt(), o.value("objtype").toInt(),
                         background, dir.path(), dir.path());
    return ResultDump(result, dir) + PictureDump(background);
}

// The image before is 4 x 3 pixels: FuzzReaders::Image sees a failed load leave it as it was.
QString ReadPicture(const Options&, const QString& path, const QTemporaryDir& dir)
{
    CDibImage image;
    image.Create(4, 3, 24);
    const FileResult result = image.Load(path);
    QString dump = ResultDump(result, dir);
    if (!result)
        return dump;
    dump += PictureDump(image) + (image.HasAlpha() ? "alpha\n" : "");
    for (const QRgb colour : image.ColorTable())
        dump += QString::asprintf("colour %08X\n", colour);
    QByteArray raw(image.RawSize(), '\0');
    image.GetBits(raw.size(), raw.data());
    for (qsizetype at = 0; at < raw.size(); at += image.RawRowBytes())
        dump += "raw " + raw.mid(at, image.RawRowBytes()).toHex().toUpper() + "\n";
    return dump;
}

TEST(Readers, CasesGiveTheirDumpsAndFuzzFindingsKeepThePromises)
{
    FuzzEnvironment::Init();
    // The reader, its fuzz target, its dump and the input's name unless case.txt has a "name"
    // (none: its own name).
    using Dump = QString (*)(const Options&, const QString&, const QTemporaryDir&);
    for (const auto& [reader, oracle, read, fileName] :
         {std::tuple<QString, Reader, Dump, QString>{"table", &FuzzReaders::BitmapTable, &ReadTable,
                                                     "FILE795P.TXT"},
          {"screen", &FuzzReaders::ScreenImport, &ReadScreen, "FILE797P.TXT"},
          {"image", &FuzzReaders::Image, &ReadPicture, {}}}) {
        const QStringList names = QDir(kData).entryList({reader + "-read-*"}, QDir::Dirs);
        EXPECT_FALSE(names.isEmpty()) << "no case folders for " << qPrintable(reader);
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            const QDir dir(kData + "/" + name);
            Options options;
            for (const QString& line : QString::fromUtf8(TestFiles::Read(dir.filePath("case.txt")))
                                           .split('\n', Qt::SkipEmptyParts))
                options.insert(line.section(' ', 0, 0), line.section(' ', 1));
            const QString own = dir.entryList({"input.*"}, QDir::Files).value(0, "input.bmp");
            const QString input = kData + "/" + options.value("from", name + "/" + own);
            const QByteArray bytes = TestFiles::Read(input);
            Replay(oracle, bytes);
            QTemporaryDir tmp;
            const QString file =
                options.value("name", fileName.isEmpty() ? QFileInfo(input).fileName() : fileName);
            EXPECT_TRUE(!QFile::exists(input) || TestFiles::Write(tmp.filePath(file), bytes));
            const QString actual = read(options, tmp.filePath(file), tmp);
            if (qEnvironmentVariableIsSet("QXPAN_UPDATE_EXPECTED"))
                TestFiles::Write(dir.filePath("expected.txt"), actual.toUtf8());
            EXPECT_EQ(
                QString::fromUtf8(TestFiles::Read(dir.filePath("expected.txt"))).toStdString(),
                actual.toStdString());
        }
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
    for (const auto& [unit, stop, bitmaps] :
         {std::tuple<QByteArray, PanelFile::Stop, qsizetype>{
              "0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n"
              "..\\..\\elsewhere\\icon.bmp \r\n \r\n \r\n",
              PanelFile::Stop::TooManyBitmaps, PanelFile::kMaxPlacedBitmaps},
          {"garbage ", PanelFile::Stop::NotAnObject, 0}}) {
        auto device = MeteredDevice::Repeating("BG:0\r\n", unit, 2'500'000);
        CQXPanDocument doc;
        FuzzOutcome outcome;
        FuzzPanelHost host(0, 797, outcome);
        EXPECT_EQ(PanelFile::Read(*device, 797, doc, host).eStop, stop);
        EXPECT_EQ(doc.m_BmpObjs.size(), bitmaps);
        EXPECT_TRUE(outcome.problems.isEmpty());
        EXPECT_LT(device->BytesRead(), device->bytesAvailable() / 10);
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
    QByteArray lines;
    for (int i = 0; i < CQXPanFuncKeyReader::kMaxRecords + 500; ++i)
        lines += QString::asprintf("0402 %05d 123      KEY\r\n", i).toLatin1();
    QBuffer funcKeys(&lines);
    ASSERT_TRUE(funcKeys.open(QIODevice::ReadOnly));
    EXPECT_EQ(CQXPanFuncKeyReader::Read(funcKeys).m_rows.size(), CQXPanFuncKeyReader::kMaxRecords);
}

} // namespace
