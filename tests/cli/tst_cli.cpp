// Catches: qxpan-cli commands wired wrongly: exit codes, help, outputs, messages of each command.
#include "CliProcess.h"
#include "TestFiles.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using CliRun = CliProcess::Run;
using TestFiles::Read;
using TestFiles::Write;

const QString kTable = QStringLiteral(QXPAN_TEST_DATA "/cli-table/FILE795P.TXT");

// The run ended with code and its standard error holds part.
void ExpectExit(const CliRun& run, int code, const QByteArray& part = {})
{
    EXPECT_EQ(run.exitCode, code) << run.err.constData();
    EXPECT_TRUE(run.err.contains(part)) << run.err.constData();
}

TEST(Cli, ExitStatusesHelpAndWrongArgumentsOfEachCommand)
{
    const CliHome h;
    ExpectExit(h.Run({}), 2, "usage: qxpan-cli COMMAND");
    ExpectExit(h.Run({"frobnicate"}), 2, "unknown command \"frobnicate\"");
    const CliRun help = h.Run({"--help"});
    EXPECT_TRUE(help.exitCode == 0 && help.err.isEmpty()) << help.err.constData();
    for (const auto& [name, synopsis] :
         {std::pair{"encode", "encode IMAGE OUT --number N"},
          std::pair{"decode", "decode SCREENFILE OUT"},
          std::pair{"table", "table FILE795P.TXT [--json]"},
          std::pair{"preview", "preview SCREENFILE OUT.png [--table FILE795P.TXT]"},
          std::pair{"convert", "convert DESIGN.pan --type N [--config FILE]"}}) {
        SCOPED_TRACE(name);
        const CliRun own = h.Run({name, "--help"});
        EXPECT_EQ(own.exitCode, 0);
        EXPECT_TRUE(own.out.startsWith(QByteArray("usage: qxpan-cli ") + synopsis))
            << own.out.constData();
        ExpectExit(h.Run({name}), 2, synopsis);
        ExpectExit(h.Run({name, "a", "b", "--bogus"}), 2, "unknown option --bogus");
    }
}

TEST(CliDecode, WritesPngOrBmpAndRefusesBrokenInput)
{
    const CliHome h;
    const QString ok = h.Path("FILE798P.TXT");
    // The picture needs 9831 records and the line after the last of them; bit 15 is ignored.
    ASSERT_TRUE(Write(ok, CliProcess::ScreenText(798, 0x83E0, 9832)));
    for (const QString& name : {QStringLiteral("out.png"), QStringLiteral("out.bmp")}) {
        ExpectExit(h.Run({"decode", ok, h.Path(name)}), 0);
        const QImage image(h.Path(name));
        ASSERT_EQ(image.size(), QSize(1024, 768));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 248, 0));
        EXPECT_EQ(image.pixel(1023, 767), qRgb(0, 248, 0));
        EXPECT_EQ(image.dotsPerMeterX(), 3780); // 96 dpi, with or without a display platform
    }
    const QString out = h.Path("new.png");
    ASSERT_TRUE(Write(h.Path("empty.txt"), {}));
    ASSERT_TRUE(Write(h.Path("cut.txt"), CliProcess::ScreenText(797, 0x7FFF, 9831)));
    for (const auto& [in, why] :
         {std::pair{"missing.txt", "No such file or directory"},
          std::pair{"empty.txt", "broken header"}, std::pair{"cut.txt", "ends before"}})
        ExpectOneLine(h.Run({"decode", h.Path(in), out}), h.Path(in), why);
    EXPECT_FALSE(QFile::exists(out));
    ExpectOneLine(h.Run({"decode", ok, h.Path("no/such/out.png")}), h.Path("no/such/out.png"),
                  "cannot write");
    ExpectExit(h.Run({"decode", ok, h.Path("out.jpg")}), 2, ".png or .bmp");
}

// A screen-sized 24-bit BMP is encoded by the program's QtCore front, any other picture by its
// command module: the same picture gives the same file either way, and the front needs no module.
TEST(CliEncode, TheFrontsOwnEncodeWritesWhatTheCommandModuleWrites)
{
    const CliHome h;
    QTemporaryDir dir;
    QImage picture(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF));
    }
    const QString bmp = dir.filePath(QStringLiteral("picture.BMP"));
    ASSERT_TRUE(picture.save(bmp, "BMP"));
    ASSERT_EQ(Read(bmp).mid(28, 2), QByteArray("\x18\x00", 2)) << "not a 24-bit BMP";
    // The same bytes under a name that is not a BMP's go through the image decoders.
    const QString other = dir.filePath(QStringLiteral("picture.data"));
    ASSERT_TRUE(QFile::copy(bmp, other));
    // Kept "h" and "f" lines, so the files do not differ by the minute they were written in.
    const QByteArray kept = "\"h\",\"1\"\r\n\"f\",\"2\"\r\n";
    const QString fromFront = dir.filePath(QStringLiteral("front.txt"));
    const QString fromModule = dir.filePath(QStringLiteral("module.txt"));
    ASSERT_TRUE(Write(fromFront, kept) && Write(fromModule, kept));

    // A copy of the program alone, away from its module.
    const QString alone = dir.filePath(QStringLiteral("qxpan-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QXPAN_CLI_PATH), alone));
    ExpectExit(h.Run({"encode", bmp, fromFront, "--number", "799"}, alone), 0);
    ExpectExit(h.Run({"encode", other, fromModule, "--number", "799"}), 0);
    const QByteArray text = Read(fromFront);
    EXPECT_TRUE(text.startsWith("\"C\",\"n:P0799:\"\r\n" + kept + "000001,\"00"));
    EXPECT_EQ(text.size(), 16 + kept.size() + 9833 * 331);
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray(320, '0') + "\"\r\n"));
    EXPECT_TRUE(text == Read(fromModule)) << "the two encodes differ";
    // Nothing is left beside the outputs (three pictures, two outputs, the copied program).
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
        5);
    // Anything else needs the module and says so when it is missing.
    const CliRun help = h.Run({"--help"}, alone);
    ExpectExit(help, 1, "qxpan-cli-commands.so");
    EXPECT_TRUE(help.err.contains("reinstall")) << help.err.constData();
}

TEST(CliEncode, OtherSizesAreStretchedHeaderLinesKeptBadInputsRefused)
{
    const CliHome h;
    // 800 x 600, left half red, right half blue: screen column x shows source column
    // floor(x * 800 / 1024), so the colours meet between columns 511 and 512.
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    }
    const QString in = h.Path("in.bmp");
    ASSERT_TRUE(picture.save(in));
    const QString screen = h.Path("screen.txt");
    // A file that starts with its "h" and "f" lines keeps them after a fresh "C" line.
    ASSERT_TRUE(Write(screen, "\"h\",\"mine\"\r\n\"f\",\"mine too\"\r\nold\r\n"));
    ExpectExit(h.Run({"encode", in, screen, "--number=798"}), 0);
    EXPECT_TRUE(Read(screen).startsWith("\"C\",\"n:P0798:\"\r\n\"h\",\"mine\"\r\n"
                                        "\"f\",\"mine too\"\r\n000001,\""));
    ExpectExit(h.Run({"decode", screen, h.Path("out.png")}), 0);
    const QImage back(h.Path("out.png"));
    EXPECT_EQ(back.pixel(511, 767), qRgb(248, 0, 0));
    EXPECT_EQ(back.pixel(512, 0), qRgb(0, 0, 248));
    const QString out = h.Path("out.txt");
    ASSERT_TRUE(Write(h.Path("garbage.png"), QByteArray(5000, '\x5a')));
    for (const auto& [bad, why] : {std::pair{"missing.png", "No such file or directory"},
                                   std::pair{"garbage.png", "not a picture"}})
        ExpectOneLine(h.Run({"encode", h.Path(bad), out, "--number", "797"}), h.Path(bad), why);
    EXPECT_FALSE(QFile::exists(out));
    const QString noFolder = h.Path("no/such/out.txt");
    ExpectExit(h.Run({"encode", in, noFolder, "--number", "797"}), 1, noFolder.toUtf8());
    for (const QStringList& more : {QStringList{}, QStringList{"--number", "795"},
                                    QStringList{"--number", "x"}, QStringList{"--number"}})
        EXPECT_EQ(h.Run(QStringList{"encode", in, out} + more).exitCode, 2)
            << qPrintable(more.join(' '));
}

TEST(CliTable, ListsTheRecordsInUseAndRefusesWrongFiles)
{
    const CliHome h;
    const CliRun run = h.Run({"table", kTable});
    ExpectExit(run, 0);
    EXPECT_EQ(QString::fromUtf8(run.out),
              QString::fromUtf8(Read(QStringLiteral(QXPAN_TEST_DATA "/cli-table/expected.tsv"))));
    const CliRun json = h.Run({"table", kTable, "--json"});
    ExpectExit(json, 0);
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(root.value("file").toString(), kTable);
    const QJsonArray records = root.value("records").toArray();
    ASSERT_EQ(records.size(), 4);
    const QJsonObject t = records[2].toObject();
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(t["slice"].toInt())
                  .arg(t["record"].toInt())
                  .arg(t["type"].toInt())
                  .arg(t["fill"].toString(), t["text2"].toString()),
              "797 82 93 #123456 ROUND");
    EXPECT_EQ(records[0].toObject().value("number").toInt(), 123456);

    // A record count other than 90, 150 or 240.
    QByteArray short89 = Read(kTable);
    short89.truncate(short89.lastIndexOf("000090,"));
    ASSERT_TRUE(Write(h.Path("cut.txt"), short89));
    ExpectOneLine(h.Run({"table", h.Path("FILE795P.TXT")}), h.Path("FILE795P.TXT"),
                  "No such file or directory");
    ExpectOneLine(h.Run({"table", h.Path("cut.txt")}), h.Path("cut.txt"),
                  "Wrong FILE795P.TXT file.");
}

TEST(CliPreview, DrawsTheSliceOverThePicture)
{
    const CliHome h;
    const QString screen = h.Path("FILE797P.TXT");
    ASSERT_TRUE(Write(screen, CliProcess::ScreenText(797, 0x001F)));
    const QString out = h.Path("preview.png");
    ExpectExit(h.Run({"preview", screen, out, "--table", kTable}), 0);
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
    const QString screen798 = h.Path("file798p.txt");
    ASSERT_TRUE(Write(screen798, CliProcess::ScreenText(798, 0x001F)));
    ASSERT_TRUE(QFile::copy(kTable, h.Path("FILE795P.TXT")));
    ExpectExit(h.Run({"preview", screen798, out}), 0);
    EXPECT_EQ(QImage(out).pixel(20, 15), qRgb(0, 255, 0));
    const QString garbageTable = h.Path("table.txt");
    ASSERT_TRUE(Write(garbageTable, "nothing like a table\r\n"));
    QFile::remove(out);
    ExpectOneLine(h.Run({"preview", screen, out, "--table", garbageTable}), garbageTable,
                  "Wrong FILE795P.TXT file.");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliConvert, WritesTheScreenAndTheTableSlice)
{
    const CliHome h;
    const CliRun run = h.Convert("797");
    ExpectExit(run, 0);
    // The placed bitmap that is not in the branch is reported and skipped.
    EXPECT_TRUE(run.err.contains("missing.bmp") && !run.err.trimmed().contains('\n'))
        << run.err.constData();
    const QStringList written = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(written.size(), 2) << run.out.constData();
    EXPECT_TRUE(written[0].endsWith(QLatin1String("/FILE797P.TXT")));
    EXPECT_TRUE(written[1].endsWith(QLatin1String("/FILE795P.TXT")));

    // The key of the design is record 81; the rest of the slice is free; slice 798 is kept.
    const auto lines = [](const QString& path) {
        return Read(path).replace("\r\n", "\n").trimmed().split('\n');
    };
    const QList<QByteArray> table = lines(written[1]);
    ASSERT_EQ(table.size(), 3 + 240);
    EXPECT_EQ(table[3 + 80], "000081,\"C900B8016E003802C60001FFFFFF00000000000700457370726573736F" +
                                 QByteArray("20").repeated(12) + "00" +
                                 QByteArray("20").repeated(20) + "\"");
    EXPECT_EQ(table[3 + 81], "000082,\"" + QByteArray(124, '0') + "\"");
    const QList<QByteArray> demoTable =
        lines(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/program/FILE795P.TXT"));
    ASSERT_GE(demoTable.size(), 3 + 80);
    EXPECT_EQ(table.mid(3, 80), demoTable.mid(3, 80));

    // The screen shows background 1 (the first bitmap after "Aempty.bmp").
    ExpectExit(h.Run({"decode", written[0], h.Path("screen.png")}), 0);
    const QImage mint(h.Path("data/QXPan/branches/DEMO/backgrounds/mint.bmp"));
    ASSERT_FALSE(mint.isNull());
    const QRgb m = mint.pixel(50, 50);
    EXPECT_EQ(QImage(h.Path("screen.png")).pixel(50, 50),
              qRgb(qRed(m) & 0xF8, qGreen(m) & 0xF8, qBlue(m) & 0xF8));

    // The screen logo drops the design's keys and leaves the bitmap table alone; so does a
    // design file that is not a panel file, which says why.
    const QByteArray tableBefore = Read(written[1]);
    const CliRun logo = h.Convert("796");
    ExpectExit(logo, 0);
    EXPECT_TRUE(logo.out.trimmed().endsWith("/FILE796P.TXT")) << logo.out.constData();
    const QString wrong = h.Path("wrong.pan");
    ASSERT_TRUE(Write(wrong, "not a design\r\n"));
    ExpectOneLine(h.Run({"convert", wrong, "--type", "797", "--config", h.config}), wrong,
                  "Wrong PAN file.");
    EXPECT_EQ(Read(written[1]), tableBefore);
}

TEST(CliConvert, ARejectedTableIsReplacedOnlyWhenForced)
{
    const CliHome h;
    ExpectExit(h.Convert("797"), 0);
    const QString table = h.Program("FILE795P.TXT");
    // The same table with LF line ends only: the reader rejects it.
    const QByteArray rejected = Read(table).replace("\r\n", "\n");
    ASSERT_TRUE(Write(table, rejected));
    ExpectExit(h.Convert("798"), 1, "--force");
    EXPECT_EQ(Read(table), rejected);
    EXPECT_FALSE(QFile::exists(h.Program("FILE798P.TXT")));
    ExpectExit(h.Convert("798", {"--force"}), 0, "FILE795P.TXT.bak");
    EXPECT_EQ(Read(table + QStringLiteral(".bak")), rejected);
    EXPECT_NE(Read(table), rejected);
}

TEST(CliConvert, StoreProblemsAndArguments)
{
    const CliHome h;
    const auto convert = [&h](const QStringList& args) {
        return h.Run(QStringList{"convert", h.design} + args);
    };
    // The store path is a folder.
    ExpectOneLine(convert({"--type", "797", "--config", h.home.path()}), h.home.path(), "");
    const QString empty = h.Path("empty.ini");
    ASSERT_TRUE(Write(empty, "[General]\n"));
    ExpectOneLine(convert({"--type", "797", "--config", empty}), empty, "no current branch");
    EXPECT_EQ(convert({"--type", "800", "--config", empty}).exitCode, 2);
    EXPECT_EQ(convert({"--config", empty}).exitCode, 2);
}

} // namespace
