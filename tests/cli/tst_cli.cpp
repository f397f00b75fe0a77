// Catches: qxpan-cli commands wired wrongly: exit codes, help, outputs, messages of each command.
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

using CliRun = CliProcess::Run;

// Runs qxpan-cli (or program) with args, the environment extended by env ("NAME=value" entries).
CliRun RunCli(const QStringList& args, const QStringList& env = {},
              const QString& program = QStringLiteral(QXPAN_CLI_PATH))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env)
        environment.insert(entry.section(QLatin1Char('='), 0, 0),
                           entry.section(QLatin1Char('='), 1));
    return CliProcess::Start(args, environment, QDir::currentPath(), program);
}

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
    digits += QString::asprintf("%02X%02X", word & 0xFF, word >> 8).toLatin1().repeated(1024 * 768);
    digits += QByteArray(9833 * 320 - digits.size(), '0');
    QByteArray text = "\"C\",\"n:P0" + QByteArray::number(number) + ":\"\r\n\"h\",\"36\"\r\n" +
                      "\"f\",\"FILE" + QByteArray::number(number) + "\"\r\n";
    for (int r = 0; r < recordCount; ++r)
        text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                digits.mid(qsizetype(r) * 320, 320) + "\"\r\n";
    return text;
}

// Expects the command to fail with exit status 1 and exactly one stderr line naming file.
void expectBadInput(const CliRun& run, const QString& file, const char* what)
{
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    const QStringList lines = run.errLines();
    ASSERT_EQ(lines.size(), 1) << run.err.constData();
    EXPECT_TRUE(lines[0].contains(file)) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains(QLatin1String(what))) << qPrintable(lines[0]);
}

TEST(Cli, ExitStatusesOfTheCommandFramework)
{
    const CliRun none = RunCli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains("usage: qxpan-cli COMMAND")) << none.err.constData();
    const CliRun unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("unknown command \"frobnicate\"")) << unknown.err.constData();
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.isEmpty());
}

// Every command explains itself and rejects wrong arguments with status 2.
TEST(Cli, EachCommandsHelpAndWrongArguments)
{
    for (const auto& [name, synopsis] :
         {std::pair{"encode", "encode IMAGE OUT --number N"},
          std::pair{"decode", "decode SCREENFILE OUT"},
          std::pair{"table", "table FILE795P.TXT [--json]"},
          std::pair{"preview", "preview SCREENFILE OUT.png [--table FILE795P.TXT]"},
          std::pair{"convert", "convert DESIGN.pan --type N [--config FILE]"}}) {
        SCOPED_TRACE(name);
        const CliRun help = RunCli({name, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith(QByteArray("usage: qxpan-cli ") + synopsis))
            << help.out.constData();
        const CliRun tooFew = RunCli({name});
        EXPECT_EQ(tooFew.exitCode, 2);
        EXPECT_TRUE(tooFew.err.contains(synopsis)) << tooFew.err.constData();
        const CliRun unknown = RunCli({name, "a", "b", "--bogus"});
        EXPECT_EQ(unknown.exitCode, 2);
        EXPECT_TRUE(unknown.err.contains("unknown option --bogus")) << unknown.err.constData();
    }
}

TEST(CliDecode, WritesPngOrBmpAndRefusesBrokenInput)
{
    QTemporaryDir dir;
    const QString ok = dir.filePath(QStringLiteral("FILE798P.TXT"));
    // The picture needs 9831 records and the line after the last of them.
    ASSERT_TRUE(writeFile(ok, screenFileText(798, 0x83E0, 9832))); // bit 15 is ignored
    for (const QString& name : {QStringLiteral("out.png"), QStringLiteral("out.bmp")}) {
        const CliRun run = RunCli({"decode", ok, dir.filePath(name)});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QImage image(dir.filePath(name));
        ASSERT_EQ(image.size(), QSize(1024, 768));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 248, 0));
        EXPECT_EQ(image.pixel(1023, 767), qRgb(0, 248, 0));
        EXPECT_EQ(image.dotsPerMeterX(), 3780); // 96 dpi, with or without a display platform
    }

    const QString out = dir.filePath(QStringLiteral("new.png"));
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    expectBadInput(RunCli({"decode", missing, out}), missing, "No such file or directory");
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(writeFile(empty, {}));
    expectBadInput(RunCli({"decode", empty, out}), empty, "broken header");
    const QString cut = dir.filePath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(writeFile(cut, screenFileText(797, 0x7FFF, 9831)));
    expectBadInput(RunCli({"decode", cut, out}), cut, "ends before");
    EXPECT_FALSE(QFile::exists(out));
    const QString noFolder = dir.filePath(QStringLiteral("no/such/out.png"));
    expectBadInput(RunCli({"decode", ok, noFolder}), noFolder, "cannot write");
    const CliRun wrongType = RunCli({"decode", ok, dir.filePath("out.jpg")});
    EXPECT_EQ(wrongType.exitCode, 2);
    EXPECT_TRUE(wrongType.err.contains(".png or .bmp"));
}

// A screen-sized 24-bit BMP is encoded by the program's QtCore front, any other picture by its
// command module: the same picture gives the same file either way, and the front needs no module.
TEST(CliEncode, TheFrontsOwnEncodeWritesWhatTheCommandModuleWrites)
{
    QTemporaryDir dir;
    QImage picture(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF));
    }
    const QString bmp = dir.filePath(QStringLiteral("picture.BMP"));
    ASSERT_TRUE(picture.save(bmp, "BMP"));
    ASSERT_EQ(readAll(bmp).mid(28, 2), QByteArray("\x18\x00", 2)) << "not a 24-bit BMP";
    // The same bytes under a name that is not a BMP's go through the image decoders.
    const QString other = dir.filePath(QStringLiteral("picture.data"));
    ASSERT_TRUE(QFile::copy(bmp, other));
    // Kept "h" and "f" lines, so the files do not differ by the minute they were written in.
    const QByteArray kept = "\"h\",\"1\"\r\n\"f\",\"2\"\r\n";
    const QString fromFront = dir.filePath(QStringLiteral("front.txt"));
    const QString fromModule = dir.filePath(QStringLiteral("module.txt"));
    ASSERT_TRUE(writeFile(fromFront, kept) && writeFile(fromModule, kept));

    // A copy of the program alone, away from its module.
    const QString alone = dir.filePath(QStringLiteral("qxpan-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QXPAN_CLI_PATH), alone));
    const CliRun front = RunCli({"encode", bmp, fromFront, "--number", "799"}, {}, alone);
    ASSERT_EQ(front.exitCode, 0) << front.err.constData();
    ASSERT_EQ(RunCli({"encode", other, fromModule, "--number", "799"}).exitCode, 0);
    const QByteArray text = readAll(fromFront);
    EXPECT_TRUE(text.startsWith("\"C\",\"n:P0799:\"\r\n" + kept + "000001,\"00"));
    EXPECT_EQ(text.size(), 16 + kept.size() + 9833 * 331);
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray(320, '0') + "\"\r\n"));
    EXPECT_TRUE(text == readAll(fromModule)) << "the two encodes differ";
    // Nothing is left beside the outputs (three pictures, two outputs, the copied program).
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
        5);

    // Anything else needs the module and says so when it is missing.
    const CliRun help = RunCli({"--help"}, {}, alone);
    EXPECT_EQ(help.exitCode, 1);
    EXPECT_TRUE(help.err.contains("qxpan-cli-commands.so") && help.err.contains("reinstall"))
        << help.err.constData();
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
    ASSERT_EQ(RunCli({"encode", in, screen, "--number=798"}).exitCode, 0);
    EXPECT_TRUE(readAll(screen).startsWith("\"C\",\"n:P0798:\"\r\n\"h\",\"mine\"\r\n"
                                           "\"f\",\"mine too\"\r\n000001,\""));

    const QString out = dir.filePath(QStringLiteral("out.png"));
    ASSERT_EQ(RunCli({"decode", screen, out}).exitCode, 0);
    const QImage back(out);
    EXPECT_EQ(back.pixel(511, 767), qRgb(248, 0, 0));
    EXPECT_EQ(back.pixel(512, 0), qRgb(0, 0, 248));
}

TEST(CliEncode, BadImagesAndArguments)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QString missing = dir.filePath(QStringLiteral("missing.png"));
    expectBadInput(RunCli({"encode", missing, out, "--number", "797"}), missing,
                   "No such file or directory");
    const QString garbage = dir.filePath(QStringLiteral("garbage.png"));
    ASSERT_TRUE(writeFile(garbage, QByteArray(5000, '\x5a')));
    expectBadInput(RunCli({"encode", garbage, out, "--number", "797"}), garbage, "not a picture");
    EXPECT_FALSE(QFile::exists(out));

    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::green);
    const QString in = dir.filePath(QStringLiteral("small.png"));
    ASSERT_TRUE(small.save(in));
    const QString noFolder = dir.filePath(QStringLiteral("no/such/out.txt"));
    const CliRun unwritable = RunCli({"encode", in, noFolder, "--number", "797"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains(noFolder.toUtf8())) << unwritable.err.constData();
    for (const QStringList& more : {QStringList{}, QStringList{"--number", "795"},
                                    QStringList{"--number", "x"}, QStringList{"--number"}})
        EXPECT_EQ(RunCli(QStringList{"encode", in, out} + more).exitCode, 2)
            << qPrintable(more.join(' '));
}

TEST(CliTable, ListsTheRecordsInUseAndRefusesWrongFiles)
{
    const QString path = dataPath(QStringLiteral("cli-table/FILE795P.TXT"));
    const CliRun run = RunCli({"table", path});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QString::fromUtf8(readAll(dataPath(QStringLiteral("cli-table/expected.tsv")))));

    const CliRun json = RunCli({"table", path, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(root.value("file").toString(), path);
    const QJsonArray records = root.value("records").toArray();
    ASSERT_EQ(records.size(), 4);
    const QJsonObject table = records[2].toObject();
    EXPECT_EQ(table.value("slice").toInt(), 797);
    EXPECT_EQ(table.value("record").toInt(), 82);
    EXPECT_EQ(table.value("type").toInt(), 93);
    EXPECT_EQ(table.value("fill").toString(), "#123456");
    EXPECT_EQ(table.value("text2").toString(), "ROUND");
    EXPECT_EQ(records[0].toObject().value("number").toInt(), 123456);

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("FILE795P.TXT"));
    expectBadInput(RunCli({"table", missing}), missing, "No such file or directory");
    // A record count other than 90, 150 or 240.
    QByteArray short89 = readAll(path);
    short89.truncate(short89.lastIndexOf("000090,"));
    const QString cut = dir.filePath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(writeFile(cut, short89));
    expectBadInput(RunCli({"table", cut}), cut, "Wrong FILE795P.TXT file.");
}

TEST(CliPreview, DrawsTheSliceOverThePicture)
{
    QTemporaryDir dir;
    const QString table = dataPath(QStringLiteral("cli-table/FILE795P.TXT"));
    const QString screen = dir.filePath(QStringLiteral("FILE797P.TXT"));
    ASSERT_TRUE(writeFile(screen, screenFileText(797, 0x001F)));
    const QString out = dir.filePath(QStringLiteral("preview.png"));
    const CliRun run = RunCli({"preview", screen, out, "--table", table});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(1024, 768));
    const QRgb background = qRgb(0, 0, 248);
    // Record 81: red rectangle (100, 200)-(300, 260) with a black outline.
    EXPECT_EQ(image.pixel(150, 205), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(100, 230), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(299, 230), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(300, 230), background);
    // Record 82: a round table shows grey whatever its stored fill; its box corner stays clear.
    EXPECT_EQ(image.pixel(450, 300), qRgb(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(image.pixel(405, 205), background);
    EXPECT_EQ(image.pixel(25, 25), background); // record 84 follows the free record 83
    EXPECT_EQ(image.pixel(20, 15), background); // record 1 belongs to window 798

    // Without --table the table beside the screen file is used; 798 shows its own record.
    const QString screen798 = dir.filePath(QStringLiteral("file798p.txt"));
    ASSERT_TRUE(writeFile(screen798, screenFileText(798, 0x001F)));
    ASSERT_TRUE(QFile::copy(table, dir.filePath(QStringLiteral("FILE795P.TXT"))));
    ASSERT_EQ(RunCli({"preview", screen798, out}).exitCode, 0);
    EXPECT_EQ(QImage(out).pixel(20, 15), qRgb(0, 255, 0));

    const QString garbageTable = dir.filePath(QStringLiteral("table.txt"));
    ASSERT_TRUE(writeFile(garbageTable, "nothing like a table\r\n"));
    QFile::remove(out);
    expectBadInput(RunCli({"preview", screen, out, "--table", garbageTable}), garbageTable,
                   "Wrong FILE795P.TXT file.");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliConvert, WritesTheScreenAndTheTableSlice)
{
    QTemporaryDir home;
    const QStringList env{QStringLiteral("HOME=") + home.path(),
                          QStringLiteral("XDG_CONFIG_HOME=") + home.filePath("config"),
                          QStringLiteral("XDG_DATA_HOME=") + home.filePath("data"),
                          QStringLiteral("QXPAN_CONFIG=")};
    const QString config = home.filePath(QStringLiteral("qxctrl.ini"));
    const QString design = dataPath(QStringLiteral("cli-convert/design.pan"));
    const CliRun run = RunCli({"convert", design, "--type", "797", "--config", config}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    // The placed bitmap that is not in the branch is reported and skipped.
    ASSERT_EQ(run.errLines().size(), 1) << run.err.constData();
    EXPECT_TRUE(run.errLines()[0].contains(QLatin1String("missing.bmp")));
    const QStringList written = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(written.size(), 2) << run.out.constData();
    EXPECT_TRUE(written[0].endsWith(QLatin1String("/FILE797P.TXT")));
    EXPECT_TRUE(written[1].endsWith(QLatin1String("/FILE795P.TXT")));

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
    ASSERT_EQ(RunCli({"decode", written[0], out}).exitCode, 0);
    const QImage mint(
        home.filePath(QStringLiteral("data/QXPan/branches/DEMO/backgrounds/mint.bmp")));
    ASSERT_FALSE(mint.isNull());
    const QRgb m = mint.pixel(50, 50);
    EXPECT_EQ(QImage(out).pixel(50, 50), qRgb(qRed(m) & 0xF8, qGreen(m) & 0xF8, qBlue(m) & 0xF8));

    // The screen logo drops the design's keys and leaves the bitmap table alone; so does a
    // design file that is not a panel file, which says why.
    const QByteArray tableBefore = readAll(written[1]);
    const CliRun logo = RunCli({"convert", design, "--type", "796", "--config", config}, env);
    ASSERT_EQ(logo.exitCode, 0) << logo.err.constData();
    EXPECT_TRUE(logo.out.trimmed().endsWith("/FILE796P.TXT")) << logo.out.constData();
    const QString wrong = home.filePath(QStringLiteral("wrong.pan"));
    ASSERT_TRUE(writeFile(wrong, "not a design\r\n"));
    expectBadInput(RunCli({"convert", wrong, "--type", "797", "--config", config}, env), wrong,
                   "Wrong PAN file.");
    EXPECT_EQ(readAll(written[1]), tableBefore);
}

TEST(CliConvert, ARejectedTableIsReplacedOnlyWhenForced)
{
    QTemporaryDir home;
    const QStringList env{QStringLiteral("HOME=") + home.path(),
                          QStringLiteral("XDG_DATA_HOME=") + home.filePath("data"),
                          QStringLiteral("QXPAN_CONFIG=")};
    const QString config = home.filePath(QStringLiteral("qxctrl.ini"));
    const QString design = dataPath(QStringLiteral("cli-convert/design.pan"));
    ASSERT_EQ(RunCli({"convert", design, "--type", "797", "--config", config}, env).exitCode, 0);
    const QString program = home.filePath(QStringLiteral("data/QXPan/branches/DEMO/program"));
    const QString table = program + QStringLiteral("/FILE795P.TXT");
    // The same table with LF line ends only: the reader rejects it.
    QByteArray rejected = readAll(table);
    rejected.replace("\r\n", "\n");
    ASSERT_TRUE(writeFile(table, rejected));

    const CliRun refused = RunCli({"convert", design, "--type", "798", "--config", config}, env);
    EXPECT_EQ(refused.exitCode, 1) << refused.err.constData();
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.constData();
    EXPECT_EQ(readAll(table), rejected);
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("/FILE798P.TXT")));

    const CliRun forced =
        RunCli({"convert", design, "--type", "798", "--config", config, "--force"}, env);
    ASSERT_EQ(forced.exitCode, 0) << forced.err.constData();
    EXPECT_EQ(readAll(table + QStringLiteral(".bak")), rejected);
    EXPECT_TRUE(forced.err.contains("FILE795P.TXT.bak")) << forced.err.constData();
    EXPECT_NE(readAll(table), rejected);
}

TEST(CliConvert, StoreProblemsAndArguments)
{
    QTemporaryDir home;
    const QStringList env{QStringLiteral("HOME=") + home.path(),
                          QStringLiteral("XDG_DATA_HOME=") + home.filePath("data")};
    const QString design = dataPath(QStringLiteral("cli-convert/design.pan"));
    const CliRun folder =
        RunCli({"convert", design, "--type", "797", "--config", home.path()}, env);
    EXPECT_EQ(folder.exitCode, 1); // the store path is a folder
    EXPECT_EQ(folder.errLines().size(), 1) << folder.err.constData();
    const QString empty = home.filePath(QStringLiteral("empty.ini"));
    ASSERT_TRUE(writeFile(empty, "[General]\n"));
    expectBadInput(RunCli({"convert", design, "--type", "797", "--config", empty}, env), empty,
                   "no current branch");
    EXPECT_EQ(RunCli({"convert", design, "--type", "800", "--config", empty}, env).exitCode, 2);
    EXPECT_EQ(RunCli({"convert", design, "--config", empty}, env).exitCode, 2);
}

} // namespace
