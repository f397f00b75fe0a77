#include "CliProcess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString dataPath(const QString& sub)
{
    return QStringLiteral(QXPAN_TEST_DATA "/") + sub;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<QByteArray> crlfLines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// A screen program file built from the format rules: three header lines, then 9833 records of
// 320 hexadecimal digits spelling the 16-byte header and 1024 x 768 copies of one pixel word
// (low byte first), zeros after the picture. recordCount below 9833 cuts the file short.
QByteArray screenFileText(int number, quint16 word, int recordCount = 9833)
{
    QByteArray digits = "00001800100000000000040003000800";
    const QByteArray pixel = QByteArray::number(word & 0xFF, 16).rightJustified(2, '0').toUpper() +
                             QByteArray::number(word >> 8, 16).rightJustified(2, '0').toUpper();
    digits += pixel.repeated(1024 * 768);
    digits += QByteArray(9833 * 320 - digits.size(), '0');
    QByteArray text = "\"C\",\"n:P0" + QByteArray::number(number) + ":\"\r\n" +
                      "\"h\",\"36\",\"01\",\"0000\",\"261205\",\"1015\",\"0001\",\"01\","
                      "\"02\",\"9999\"\r\n" +
                      "\"f\",\"FILE" + QByteArray::number(number) + "\",\"P\",\"P\",\"0001\"\r\n";
    for (int r = 0; r < recordCount; ++r)
        text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                digits.mid(qsizetype(r) * 320, 320) + "\"\r\n";
    return text;
}

// Expects the command to fail with exit status 1 and exactly one stderr line naming file.
void expectBadInput(const CliProcess& run, const QString& file, const char* what)
{
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    const QStringList lines = run.errLines();
    ASSERT_EQ(lines.size(), 1) << run.err.constData();
    EXPECT_TRUE(lines[0].contains(file)) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains(QLatin1String(what))) << qPrintable(lines[0]);
}

// ---------------------------------------------------------------------------------------------
// The command framework: exit statuses, usage and help.

struct UsageCase
{
    const char* name;
    QStringList args;
    int exitCode;
    const char* errContains; // empty: nothing on standard error
};

class CliUsage : public ::testing::TestWithParam<UsageCase>
{};

TEST_P(CliUsage, ExitStatusAndMessage)
{
    const UsageCase& c = GetParam();
    const CliProcess run = CliProcess::Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.constData();
    if (*c.errContains)
        EXPECT_TRUE(run.err.contains(c.errContains)) << run.err.constData();
    else
        EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsage,
    ::testing::Values(UsageCase{"NoCommand", {}, 2, "usage: qxpan-cli COMMAND"},
                      UsageCase{
                          "UnknownCommand", {"frobnicate"}, 2, "unknown command \"frobnicate\""},
                      UsageCase{"Help", {"--help"}, 0, ""}, UsageCase{"HelpWord", {"help"}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Every command explains itself and rejects wrong arguments with status 2.

class CliCommandHelp : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{};

TEST_P(CliCommandHelp, HelpAndWrongArguments)
{
    const auto [name, synopsis] = GetParam();
    const CliProcess help = CliProcess::Run({name, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QByteArray("usage: qxpan-cli ") + synopsis))
        << help.out.constData();
    EXPECT_TRUE(help.err.isEmpty());

    const CliProcess tooFew = CliProcess::Run({name});
    EXPECT_EQ(tooFew.exitCode, 2);
    EXPECT_TRUE(tooFew.err.contains(synopsis)) << tooFew.err.constData();
    const CliProcess unknown = CliProcess::Run({name, "a", "b", "--bogus"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("unknown option --bogus")) << unknown.err.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliCommandHelp,
    ::testing::Values(std::pair{"encode", "encode IMAGE OUT --number N"},
                      std::pair{"decode", "decode SCREENFILE OUT"},
                      std::pair{"table", "table FILE795P.TXT [--json]"},
                      std::pair{"preview", "preview SCREENFILE OUT.png [--table FILE795P.TXT]"},
                      std::pair{"convert", "convert DESIGN.pan --type N [--config FILE]"}),
    [](const auto& info) { return std::string(info.param.first); });

// ---------------------------------------------------------------------------------------------
// decode

struct DecodeCase
{
    const char* name;
    quint16 word;
    QRgb colour;
};

class CliDecode : public ::testing::TestWithParam<DecodeCase>
{};

TEST_P(CliDecode, OneColourScreen)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("FILE798P.TXT"));
    ASSERT_TRUE(writeFile(in, screenFileText(798, GetParam().word)));
    for (const QString& name : {QStringLiteral("out.png"), QStringLiteral("out.bmp")}) {
        const QString out = dir.filePath(name);
        const CliProcess run = CliProcess::Run({"decode", in, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QImage image(out);
        ASSERT_EQ(image.size(), QSize(1024, 768));
        for (const QPoint p : {QPoint(0, 0), QPoint(1023, 0), QPoint(512, 384), QPoint(1023, 767)})
            EXPECT_EQ(image.pixel(p), GetParam().colour) << p.x() << "," << p.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliDecode,
                         ::testing::Values(DecodeCase{"White", 0x7FFF, qRgb(248, 248, 248)},
                                           DecodeCase{"Red", 0x7C00, qRgb(248, 0, 0)},
                                           DecodeCase{"Blue", 0x001F, qRgb(0, 0, 248)},
                                           DecodeCase{"Bit15Ignored", 0x83E0, qRgb(0, 248, 0)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CliDecodeErrors, BrokenInputsGiveOneLine)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.png"));
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    expectBadInput(CliProcess::Run({"decode", missing, out}), missing, "cannot open");

    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(writeFile(empty, {}));
    expectBadInput(CliProcess::Run({"decode", empty, out}), empty, "broken header");

    // The picture needs 9831 records and the line after the last of them.
    const QString cut = dir.filePath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(writeFile(cut, screenFileText(797, 0x7FFF, 9831)));
    expectBadInput(CliProcess::Run({"decode", cut, out}), cut, "ends before");
    EXPECT_FALSE(QFile::exists(out));

    const QString ok = dir.filePath(QStringLiteral("ok.txt"));
    ASSERT_TRUE(writeFile(ok, screenFileText(797, 0x7FFF, 9832)));
    EXPECT_EQ(CliProcess::Run({"decode", ok, out}).exitCode, 0);
    const QString noFolder = dir.filePath(QStringLiteral("no/such/out.png"));
    expectBadInput(CliProcess::Run({"decode", ok, noFolder}), noFolder, "cannot write");

    const CliProcess wrongType = CliProcess::Run({"decode", ok, dir.filePath("out.jpg")});
    EXPECT_EQ(wrongType.exitCode, 2);
    EXPECT_TRUE(wrongType.err.contains(".png or .bmp"));
}

// ---------------------------------------------------------------------------------------------
// encode

TEST(CliEncode, WritesTheScreenFileFormat)
{
    QTemporaryDir dir;
    QImage white(1024, 768, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QString in = dir.filePath(QStringLiteral("white.png"));
    ASSERT_TRUE(white.save(in));
    const QString out = dir.filePath(QStringLiteral("screen.txt"));
    const CliProcess run = CliProcess::Run({"encode", in, out, "--number", "797"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();

    const QByteArray text = readAll(out);
    EXPECT_EQ(text.count("\r\n"), 3 + 9833);
    const QList<QByteArray> lines = crlfLines(text);
    ASSERT_EQ(lines.size(), 3 + 9833);
    EXPECT_EQ(lines[0], QByteArray("\"C\",\"n:P0797:\""));
    EXPECT_TRUE(lines[1].startsWith("\"h\",\"36\",\"01\",\"0000\",\""));
    EXPECT_EQ(lines[2], QByteArray("\"f\",\"FILE797\",\"P\",\"P\",\"0001\""));
    EXPECT_EQ(lines[3],
              "000001,\"00001800100000000000040003000800" + QByteArray("FF7F").repeated(72) + "\"");
    EXPECT_EQ(lines[3 + 9830],
              "009831,\"" + QByteArray("FF7F").repeated(40) + QByteArray(160, '0') + "\"");
    EXPECT_EQ(lines.last(), "009833,\"" + QByteArray(320, '0') + "\"");
    // No temporary folder is left beside the output.
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
        2);
}

TEST(CliEncode, RoundTripClearsTheLowerThreeBits)
{
    QTemporaryDir dir;
    QImage picture(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF));
    }
    const QString in = dir.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(picture.save(in));
    const QString screen = dir.filePath(QStringLiteral("FILE799P.TXT"));
    ASSERT_EQ(CliProcess::Run({"encode", in, screen, "--number=799"}).exitCode, 0);
    const QString out = dir.filePath(QStringLiteral("out.png"));
    ASSERT_EQ(CliProcess::Run({"decode", screen, out}).exitCode, 0);
    const QImage back = QImage(out).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), picture.size());
    int wrong = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const QRgb p = picture.pixel(x, y);
            if (back.pixel(x, y) != qRgb(qRed(p) & 0xF8, qGreen(p) & 0xF8, qBlue(p) & 0xF8))
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(CliEncode, OtherSizesAreStretchedAndHeaderLinesKept)
{
    QTemporaryDir dir;
    // 800 x 600, left half red, right half blue: screen column x shows source column
    // floor(x * 800 / 1024), so the colours meet between columns 511 and 512.
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    }
    const QString in = dir.filePath(QStringLiteral("in.bmp"));
    ASSERT_TRUE(picture.save(in));
    const QString screen = dir.filePath(QStringLiteral("screen.txt"));
    // A file that starts with its "h" and "f" lines keeps them after a fresh "C" line.
    ASSERT_TRUE(writeFile(screen, "\"h\",\"mine\"\r\n\"f\",\"mine too\"\r\nold\r\n"));
    ASSERT_EQ(CliProcess::Run({"encode", in, screen, "--number", "798"}).exitCode, 0);
    const QList<QByteArray> lines = crlfLines(readAll(screen).left(200));
    EXPECT_EQ(lines[0], QByteArray("\"C\",\"n:P0798:\""));
    EXPECT_EQ(lines[1], QByteArray("\"h\",\"mine\""));
    EXPECT_EQ(lines[2], QByteArray("\"f\",\"mine too\""));

    const QString out = dir.filePath(QStringLiteral("out.png"));
    ASSERT_EQ(CliProcess::Run({"decode", screen, out}).exitCode, 0);
    const QImage back(out);
    EXPECT_EQ(back.pixel(511, 0), qRgb(248, 0, 0));
    EXPECT_EQ(back.pixel(512, 0), qRgb(0, 0, 248));
    EXPECT_EQ(back.pixel(0, 767), qRgb(248, 0, 0));
    EXPECT_EQ(back.pixel(1023, 767), qRgb(0, 0, 248));
}

TEST(CliEncodeErrors, BadImagesAndArguments)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QString missing = dir.filePath(QStringLiteral("missing.png"));
    expectBadInput(CliProcess::Run({"encode", missing, out, "--number", "797"}), missing,
                   "cannot open");
    const QString garbage = dir.filePath(QStringLiteral("garbage.png"));
    ASSERT_TRUE(writeFile(garbage, QByteArray(5000, '\x5a')));
    expectBadInput(CliProcess::Run({"encode", garbage, out, "--number", "797"}), garbage,
                   "not a picture");
    EXPECT_FALSE(QFile::exists(out));

    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::green);
    const QString in = dir.filePath(QStringLiteral("small.png"));
    ASSERT_TRUE(small.save(in));
    const QString noFolder = dir.filePath(QStringLiteral("no/such/out.txt"));
    const CliProcess unwritable = CliProcess::Run({"encode", in, noFolder, "--number", "797"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains(noFolder.toUtf8())) << unwritable.err.constData();

    for (const QStringList& args :
         {QStringList{"encode", in, out}, QStringList{"encode", in, out, "--number", "795"},
          QStringList{"encode", in, out, "--number", "x"},
          QStringList{"encode", in, out, "--number"}}) {
        const CliProcess run = CliProcess::Run(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
    }
}

// ---------------------------------------------------------------------------------------------
// table

TEST(CliTable, ListsTheRecordsInUse)
{
    const QString path = dataPath(QStringLiteral("cli-table/FILE795P.TXT"));
    const CliProcess run = CliProcess::Run({"table", path});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QString::fromUtf8(readAll(dataPath(QStringLiteral("cli-table/expected.tsv")))));

    const CliProcess json = CliProcess::Run({"table", path, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(json.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(root.value("file").toString(), path);
    const QJsonArray records = root.value("records").toArray();
    ASSERT_EQ(records.size(), 4);
    const QJsonObject table = records[2].toObject();
    EXPECT_EQ(table.value("slice").toInt(), 797);
    EXPECT_EQ(table.value("record").toInt(), 82);
    EXPECT_EQ(table.value("type").toInt(), 93);
    EXPECT_EQ(table.value("right").toInt(), 600);
    EXPECT_EQ(table.value("shape").toInt(), 2);
    EXPECT_EQ(table.value("fill").toString(), "#123456");
    EXPECT_EQ(table.value("number").toInt(), 12);
    EXPECT_EQ(table.value("text2").toString(), "ROUND");
    EXPECT_EQ(records[0].toObject().value("number").toInt(), 123456);
}

TEST(CliTable, WrongAndMissingFiles)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("FILE795P.TXT"));
    expectBadInput(CliProcess::Run({"table", missing}), missing, "cannot open");
    const QString garbage = dir.filePath(QStringLiteral("garbage.txt"));
    ASSERT_TRUE(writeFile(garbage, QByteArray("\x01\x02\xff garbage\n").repeated(100)));
    expectBadInput(CliProcess::Run({"table", garbage}), garbage, "Wrong FILE795P.TXT file.");
    // A record count other than 90, 150 or 240.
    QByteArray short89 = readAll(dataPath(QStringLiteral("cli-table/FILE795P.TXT")));
    short89.truncate(short89.lastIndexOf("000090,"));
    const QString cut = dir.filePath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(writeFile(cut, short89));
    expectBadInput(CliProcess::Run({"table", cut}), cut, "Wrong FILE795P.TXT file.");
}

// ---------------------------------------------------------------------------------------------
// preview

TEST(CliPreview, DrawsTheSliceOverThePicture)
{
    QTemporaryDir dir;
    const QString table = dataPath(QStringLiteral("cli-table/FILE795P.TXT"));
    const QString screen = dir.filePath(QStringLiteral("FILE797P.TXT"));
    ASSERT_TRUE(writeFile(screen, screenFileText(797, 0x001F)));
    const QString out = dir.filePath(QStringLiteral("preview.png"));
    const CliProcess run = CliProcess::Run({"preview", screen, out, "--table", table});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(1024, 768));
    const QRgb background = qRgb(0, 0, 248);
    EXPECT_EQ(image.pixel(10, 700), background);
    // Record 81: red rectangle (100, 200)-(300, 260) with a black outline.
    EXPECT_EQ(image.pixel(150, 205), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(100, 230), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(299, 230), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(99, 230), background);
    EXPECT_EQ(image.pixel(300, 230), background);
    // Record 82: a round table shows grey whatever its stored fill; its box corner stays clear.
    EXPECT_EQ(image.pixel(450, 300), qRgb(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(image.pixel(405, 205), background);
    // Record 84 follows the free record 83, so it is not part of the window.
    EXPECT_EQ(image.pixel(25, 25), background);
    // Record 1 belongs to window 798.
    EXPECT_EQ(image.pixel(20, 15), background);

    // Without --table the table beside the screen file is used; 798 shows its own record.
    const QString screen798 = dir.filePath(QStringLiteral("file798p.txt"));
    ASSERT_TRUE(writeFile(screen798, screenFileText(798, 0x001F)));
    ASSERT_TRUE(QFile::copy(table, dir.filePath(QStringLiteral("FILE795P.TXT"))));
    ASSERT_EQ(CliProcess::Run({"preview", screen798, out}).exitCode, 0);
    const QImage image798(out);
    EXPECT_EQ(image798.pixel(20, 15), qRgb(0, 255, 0));
    EXPECT_EQ(image798.pixel(150, 205), background);
}

TEST(CliPreview, BrokenInputs)
{
    QTemporaryDir dir;
    const QString screen = dir.filePath(QStringLiteral("FILE797P.TXT"));
    ASSERT_TRUE(writeFile(screen, screenFileText(797, 0)));
    const QString out = dir.filePath(QStringLiteral("preview.png"));
    const QString garbageTable = dir.filePath(QStringLiteral("table.txt"));
    ASSERT_TRUE(writeFile(garbageTable, "nothing like a table\r\n"));
    expectBadInput(CliProcess::Run({"preview", screen, out, "--table", garbageTable}), garbageTable,
                   "Wrong FILE795P.TXT file.");
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(writeFile(empty, {}));
    expectBadInput(CliProcess::Run({"preview", empty, out}), empty, "broken header");
    EXPECT_FALSE(QFile::exists(out));
}

// ---------------------------------------------------------------------------------------------
// convert, on the demo branch of a store made for the test

TEST(CliConvert, WritesTheScreenAndTheTableSlice)
{
    QTemporaryDir home;
    const QStringList env{QStringLiteral("HOME=") + home.path(),
                          QStringLiteral("XDG_CONFIG_HOME=") + home.filePath("config"),
                          QStringLiteral("XDG_DATA_HOME=") + home.filePath("data"),
                          QStringLiteral("QXPAN_CONFIG=")};
    const QString config = home.filePath(QStringLiteral("qxctrl.ini"));
    const QString design = dataPath(QStringLiteral("cli-convert/design.pan"));
    const CliProcess run =
        CliProcess::Run({"convert", design, "--type", "797", "--config", config}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    // The placed bitmap that is not in the branch is reported and skipped.
    const QStringList notes = run.errLines();
    ASSERT_EQ(notes.size(), 1) << run.err.constData();
    EXPECT_TRUE(notes[0].contains(QLatin1String("missing.bmp")));

    const QStringList written = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(written.size(), 2) << run.out.constData();
    EXPECT_TRUE(written[0].endsWith(QLatin1String("/FILE797P.TXT")));
    EXPECT_TRUE(written[1].endsWith(QLatin1String("/FILE795P.TXT")));
    const QString branch = home.filePath(QStringLiteral("data/QXPan/branches/DEMO"));

    // The key of the design is record 81; the rest of the slice is free; slice 798 is kept.
    const QList<QByteArray> table = crlfLines(readAll(written[1]));
    ASSERT_EQ(table.size(), 3 + 240);
    EXPECT_EQ(table[3 + 80], "000081,\"C900B8016E003802C60001FFFFFF00000000000700457370726573736F" +
                                 QByteArray("20").repeated(12) + "00" +
                                 QByteArray("20").repeated(20) + "\"");
    EXPECT_EQ(table[3 + 81], "000082,\"" + QByteArray(124, '0') + "\"");
    const QList<QByteArray> demoTable = crlfLines(
        readAll(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/program/FILE795P.TXT")));
    ASSERT_GE(demoTable.size(), 3 + 80);
    EXPECT_EQ(table.mid(3, 80), demoTable.mid(3, 80));

    // The screen shows background 1 (the first bitmap after "Aempty.bmp").
    const QString out = home.filePath(QStringLiteral("screen.png"));
    ASSERT_EQ(CliProcess::Run({"decode", written[0], out}).exitCode, 0);
    const QImage screen(out);
    const QImage mint(branch + QStringLiteral("/backgrounds/mint.bmp"));
    ASSERT_FALSE(mint.isNull());
    const QRgb m = mint.pixel(50, 50);
    EXPECT_EQ(screen.pixel(50, 50), qRgb(qRed(m) & 0xF8, qGreen(m) & 0xF8, qBlue(m) & 0xF8));

    // The screen logo drops the design's keys and leaves the bitmap table alone.
    const QByteArray tableBefore = readAll(written[1]);
    const CliProcess logo =
        CliProcess::Run({"convert", design, "--type", "796", "--config", config}, env);
    ASSERT_EQ(logo.exitCode, 0) << logo.err.constData();
    const QStringList logoWritten = QString::fromUtf8(logo.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(logoWritten.size(), 1);
    EXPECT_TRUE(logoWritten[0].endsWith(QLatin1String("/FILE796P.TXT")));
    EXPECT_EQ(readAll(written[1]), tableBefore);

    // A design file that is not a panel file changes nothing and says why.
    const QString wrong = home.filePath(QStringLiteral("wrong.pan"));
    ASSERT_TRUE(writeFile(wrong, "not a design\r\n"));
    const QByteArray before = readAll(written[1]);
    expectBadInput(CliProcess::Run({"convert", wrong, "--type", "797", "--config", config}, env),
                   wrong, "Wrong PAN file.");
    EXPECT_EQ(readAll(written[1]), before);
}

TEST(CliConvert, StoreProblemsAndArguments)
{
    QTemporaryDir home;
    const QStringList env{QStringLiteral("HOME=") + home.path(),
                          QStringLiteral("XDG_DATA_HOME=") + home.filePath("data")};
    const QString design = dataPath(QStringLiteral("cli-convert/design.pan"));
    // The store path is a folder.
    const CliProcess folder =
        CliProcess::Run({"convert", design, "--type", "797", "--config", home.path()}, env);
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.errLines().size(), 1) << folder.err.constData();
    // A store without a current branch.
    const QString empty = home.filePath(QStringLiteral("empty.ini"));
    ASSERT_TRUE(writeFile(empty, "[General]\n"));
    expectBadInput(CliProcess::Run({"convert", design, "--type", "797", "--config", empty}, env),
                   empty, "no current branch");
    EXPECT_EQ(
        CliProcess::Run({"convert", design, "--type", "800", "--config", empty}, env).exitCode, 2);
    EXPECT_EQ(CliProcess::Run({"convert", design, "--config", empty}, env).exitCode, 2);
}

} // namespace
