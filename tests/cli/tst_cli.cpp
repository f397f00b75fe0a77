// Catches: qxpan-cli commands wired wrongly: exit codes, help, outputs, messages of each command.
#include "CliProcess.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <span>

namespace {

using TestFiles::Read;
using TestFiles::Write;

const QString kTable = QXPAN_TEST_DATA "/cli-table/FILE795P.TXT";

// One command's help and wrong arguments; the commands share the parser that says so.
TEST(Cli, ExitStatusesHelpAndWrongArguments)
{
    const CliHome h;
    ExpectExit(h.Run({}), 2, "usage: qxpan-cli COMMAND");
    ExpectExit(h.Run({"frobnicate"}), 2, "unknown command \"frobnicate\"");
    const CliRun help = h.Run({"--help"}), own = h.Run({"decode", "--help"});
    EXPECT_TRUE(help.exitCode == 0 && help.err.isEmpty()) << help.err.constData();
    EXPECT_TRUE(own.exitCode == 0 && own.out.startsWith("usage: qxpan-cli decode SCREENFILE OUT"));
    ExpectExit(h.Run({"decode"}), 2, "decode SCREENFILE OUT");
    ExpectExit(h.Run({"decode", "a", "b", "--bogus"}), 2, "unknown option --bogus");
}

// A screen-sized 24-bit BMP is encoded by the program's QtCore front, any other picture by its
// command module: the same file either way, and the front needs no module. Decoding gives the
// picture back without the lower three bits of each channel.
TEST(CliEncodeDecode, BothEncodersWriteTheSameFileAndDecodeGivesThePictureBack)
{
    const CliHome h;
    QTemporaryDir dir;
    QImage picture(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF));
    const QString bmp = dir.filePath("picture.BMP"), other = dir.filePath("picture.data");
    ASSERT_TRUE(picture.save(bmp, "BMP") && QFile::copy(bmp, other)); // not a BMP by its name
    ASSERT_EQ(Read(bmp).mid(28, 2), QByteArray("\x18\x00", 2)) << "not a 24-bit BMP";
    // Kept "h" and "f" lines, so the files do not differ by the minute they were written in.
    const QByteArray kept = "\"h\",\"1\"\r\n\"f\",\"2\"\r\n";
    const QString front = dir.filePath("front.txt"), module = dir.filePath("module.txt");
    const QString alone = dir.filePath("qxpan-cli"); // the program away from its module
    ASSERT_TRUE(Write(front, kept) && Write(module, kept) && QFile::copy(QXPAN_CLI_PATH, alone));
    ExpectExit(h.Run({"encode", bmp, front, "--number", "799"}, alone), 0);
    ExpectExit(h.Run({"encode", other, module, "--number", "799"}), 0);
    const QByteArray text = Read(front);
    EXPECT_TRUE(text.startsWith("\"C\",\"n:P0799:\"\r\n" + kept + "000001,\"00"));
    EXPECT_EQ(text.size(), 16 + kept.size() + 9833 * 331);
    EXPECT_TRUE(text.endsWith("009833,\"" + QByteArray(320, '0') + "\"\r\n"));
    EXPECT_TRUE(text == Read(module)) << "the two encodes differ";
    for (QRgb& pixel : std::span(reinterpret_cast<QRgb*>(picture.bits()), 1024 * 768))
        pixel &= 0xFFF8F8F8;
    for (const QString& name : {h.Path("out.png"), h.Path("out.bmp")}) {
        ExpectExit(h.Run({"decode", front, name}), 0);
        const QImage back(name);
        EXPECT_TRUE(back.convertToFormat(QImage::Format_RGB32) == picture) << name.toStdString();
        EXPECT_EQ(back.dotsPerMeterX(), 3780); // 96 dpi, with or without a display platform
    }
    // Anything else needs the module and says so when it is missing.
    ExpectExit(h.Run({"--help"}, alone), 1, "qxpan-cli-commands.so");
}

TEST(CliEncodeDecode, TheLastRecordsMayBeMissingAndBadInputsAndOutputsAreRefused)
{
    const CliHome h;
    // The picture needs 9831 records and the line after the last of them; bit 15 is ignored.
    const QString ok = h.Path("FILE798P.TXT"), png = h.Path("out.png");
    ASSERT_TRUE(Write(ok, ScreenText(798, 0x83E0, 9832)));
    ExpectExit(h.Run({"decode", ok, png}), 0);
    EXPECT_EQ(QImage(png).pixel(1023, 767), qRgb(0, 248, 0));
    ASSERT_TRUE(Write(h.Path("garbage.png"), "\x5a\x5a\x5a") &&
                Write(h.Path("cut.txt"), ScreenText(797, 0x7FFF, 9831)));
    // One line names the input, or the output when that cannot be written.
    for (const auto& [command, input, output, why] :
         {std::tuple{"decode", "missing.txt", "new.png", "No such file or directory"},
          {"decode", "cut.txt", "new.png", "ends before"},
          {"decode", "FILE798P.TXT", "no/such/out.png", "cannot write"},
          {"encode", "garbage.png", "out.txt", "not a picture"},
          {"encode", "out.png", "no/such/out.txt", ""}}) {
        const QStringList number = *command == 'e' ? QStringList{"--number", "797"} : QStringList{};
        ExpectOneLine(h.Run(QStringList{command, h.Path(input), h.Path(output)} + number),
                      h.Path(QString(output).startsWith("no/") ? output : input), why);
    }
    EXPECT_FALSE(QFile::exists(h.Path("new.png")) || QFile::exists(h.Path("out.txt")));
    ExpectExit(h.Run({"decode", ok, h.Path("out.jpg")}), 2, ".png or .bmp");
    for (const QStringList& more : {QStringList{}, {"--number", "795"}, {"--number", "x"}})
        EXPECT_EQ(h.Run(QStringList{"encode", png, h.Path("out.txt")} + more).exitCode, 2)
            << more.join(' ').toStdString();
}

TEST(CliTableAndPreview, ListAndDrawTheRecordsInUseAndRefuseWrongTables)
{
    const CliHome h;
    const CliRun run = h.Run({"table", kTable});
    ExpectExit(run, 0);
    EXPECT_EQ(run.out, Read(QXPAN_TEST_DATA "/cli-table/expected.tsv"));
    const CliRun json = h.Run({"table", kTable, "--json"});
    ExpectExit(json, 0);
    EXPECT_EQ(QJsonDocument::fromJson(json.out)["file"].toString(), kTable);
    const QJsonArray records = QJsonDocument::fromJson(json.out)["records"].toArray();
    EXPECT_EQ(QJsonDocument(records[2].toObject()).toJson(QJsonDocument::Compact),
              R"({"bottom":400,"fill":"#123456","left":400,"number":12,"record":82,"right":600,)"
              R"("shape":2,"slice":797,"text1":"TABLE","text2":"ROUND","textColour":"#000000",)"
              R"("top":200,"type":93})");
    // A table cut short after record 83 is rejected; the records the editor keeps are listed.
    const QString cut = h.Path("cut.txt");
    ASSERT_TRUE(Write(cut, Read(kTable).split('\n').mid(0, 3 + 83).join('\n') + '\n'));
    const CliRun partly = h.Run({"table", cut});
    ExpectExit(partly, 1, "Wrong FILE795P.TXT file. The editor keeps the 83 records");
    EXPECT_EQ(partly.out, run.out.left(run.out.indexOf("797\t84\t")));
    // Control characters and DEL in a text are escaped: one record stays one line.
    CQXPanKeyObj key;
    key.SetTypeCode(45);
    key.SetShape(1);
    key.SetRegisterRect(10, 10, 100, 60);
    key.SetText1("A\tB\nC\x1B[2J\\\x7F");
    CQXPanDocument design;
    design.m_nKeyCapacity = 80;
    design.m_KeyObjs.append(key);
    const QString path = h.Path("FILE795P.TXT");
    QList<CQXPanKeyObj> table(240);
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, 798, design));
    const QList<QByteArray> lines = h.Run({"table", path}).out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2); // the heading and the one record
    EXPECT_TRUE(lines[1].endsWith("\tA\\tB\\nC\\x1b[2J\\\\\\x7f")) << lines[1].constData();
    // The preview draws the slice of the screen (record 81: a red rectangle at 100, 200) over
    // the picture; record 1 belongs to window 798.
    const QString screen = h.Path("FILE797P.TXT"), out = h.Path("preview.png");
    ASSERT_TRUE(Write(screen, ScreenText(797, 0x001F)));
    ExpectExit(h.Run({"preview", screen, out, "--table", kTable}), 0);
    EXPECT_EQ(QImage(out).pixel(150, 205), qRgb(255, 0, 0));
    EXPECT_EQ(QImage(out).pixel(20, 15), qRgb(0, 0, 248));
    const QString garbage = h.Path("table.txt");
    ASSERT_TRUE(Write(garbage, "nothing like a table\r\n") && QFile::remove(out));
    ExpectOneLine(h.Run({"preview", screen, out, "--table", garbage}), garbage,
                  "Wrong FILE795P.TXT file.");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliConvert, WritesTheScreenAndTheTableSliceAndReplacesARejectedTableOnlyWhenForced)
{
    const CliHome h;
    const CliRun run = h.Convert("797");
    ExpectExit(run, 0, "missing.bmp"); // the placed bitmap the branch lacks: reported, skipped
    EXPECT_FALSE(run.err.trimmed().contains('\n')) << run.err.constData();
    // Answered no, reading stops there: the key after it is not converted.
    ExpectExit(h.Convert("797", {"--answer", "no"}), 0, "not read (--answer no)");
    EXPECT_TRUE(Read(h.Program("FILE795P.TXT")).contains("\r\n000081,\"0000"));
    ExpectExit(h.Convert("797", {"--answer", "maybe"}), 2, "--answer must be yes or no");
    ExpectExit(h.Convert("797"), 0);
    const QStringList written = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(written, (QStringList{h.Program("FILE797P.TXT"), h.Program("FILE795P.TXT")}));
    // The key of the design is record 81; slice 798 is kept.
    const auto lines = [](const QString& path) {
        return Read(path).replace("\r\n", "\n").trimmed().split('\n');
    };
    const QList<QByteArray> table = lines(written[1]);
    ASSERT_EQ(table.size(), 3 + 240);
    EXPECT_EQ(table[3 + 80], "000081,\"C900B8016E003802C60001FFFFFF00000000000700457370726573736F" +
                                 QByteArray("20").repeated(12) + "00" +
                                 QByteArray("20").repeated(20) + "\"");
    EXPECT_EQ(table.mid(3, 80),
              lines(QXPAN_SOURCE_DIR "/examples/demo-branch/program/FILE795P.TXT").mid(3, 80));
    // The screen shows background 1 (the first bitmap after "Aempty.bmp").
    ExpectExit(h.Run({"decode", written[0], h.Path("screen.png")}), 0);
    const QRgb m = QImage(h.Path("QXPan/branches/DEMO/backgrounds/mint.bmp")).pixel(50, 50);
    EXPECT_EQ(QImage(h.Path("screen.png")).pixel(50, 50), m & 0xFFF8F8F8);
    // The screen logo drops the design's keys and leaves the bitmap table alone; so does a
    // design file that is not a panel file, which says why.
    const QByteArray tableBefore = Read(written[1]);
    const CliRun logo = h.Convert("796");
    EXPECT_EQ(logo.out.trimmed(), QFile::encodeName(h.Program("FILE796P.TXT")));
    const QString wrong = h.Path("wrong.pan");
    ASSERT_TRUE(Write(wrong, "not a design\r\n"));
    ExpectOneLine(h.Run({"convert", wrong, "--type", "797", "--config", h.config}), wrong,
                  "Wrong PAN file.");
    EXPECT_EQ(Read(written[1]), tableBefore);
    // A table the reader rejects (LF line ends only) is replaced only when forced.
    const QByteArray rejected = Read(written[1]).replace("\r\n", "\n");
    ASSERT_TRUE(Write(written[1], rejected));
    ExpectExit(h.Convert("799"), 1, "--force");
    EXPECT_EQ(Read(written[1]), rejected);
    EXPECT_FALSE(QFile::exists(h.Program("FILE799P.TXT")));
    ExpectExit(h.Convert("799", {"--force"}), 0, "FILE795P.TXT.bak");
    EXPECT_EQ(Read(written[1] + ".bak"), rejected);
    EXPECT_NE(Read(written[1]), rejected);
    EXPECT_TRUE(QFile::exists(h.Program("FILE799P.TXT")));
}

// The reference lists as the editor shows them, for every golden reference folder; the demo
// branch of a store named on purpose goes beside it, and the user's data folder stays empty.
TEST(CliLists, ShowTheGoldenReferenceRowsAndLeaveTheHomeAlone)
{
    CliHome h;
    ExpectExit(h.Run({"lists", "--config", h.config}), 0);
    EXPECT_FALSE(QFileInfo::exists(h.Path("data/QXPan")));
    const auto trimmed = [](QString cell) {
        while (cell.endsWith(u' '))
            cell.chop(1);
        return cell;
    };
    for (const auto& [reader, file, folder, section] :
         {std::tuple{"funckey", "funckey.txt", "data", "systemKeys"},
          {"file002p", "FILE002P.TXT", "program", "freeFunctions"}}) {
        const QDir cases(QXPAN_TEST_DATA "/refdata-" + QString(reader));
        for (const QString& name : cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            SCOPED_TRACE(name.toStdString());
            const QString target = h.Path("QXPan/branches/DEMO/" + QString(folder) + '/' + file);
            QFile::remove(target);
            QFile::copy(cases.filePath(name + '/' + file), target); // none for a missing file
            const QStringList lines =
                QString::fromUtf8(h.Run({"lists", "--config", h.config}).out).split('\n');
            QStringList rows;
            for (qsizetype at = lines.indexOf('[' + QString(section) + ']') + 2;
                 at > 1 && at < lines.size() && !lines[at].startsWith('['); ++at)
                rows << QString(lines[at]).replace('\t', '|');
            rows.removeAll(QString());
            QStringList expected;
            for (const QString& line :
                 QString::fromLatin1(Read(cases.filePath(name + "/expected.txt")))
                     .split('\n', Qt::SkipEmptyParts)) {
                QStringList cells = line.split('|');
                std::transform(cells.begin(), cells.end(), cells.begin(), trimmed);
                expected << cells.join('|');
            }
            EXPECT_EQ(rows, expected);
        }
    }
}

// Export then import gives back the panel file the editor's writer makes, for every panel file
// of the test data (written once through import, then again: the same bytes); a text changed in
// the JSON reaches the key; a wrong field is named and nothing is written.
TEST(CliExportImport, RoundTripsEveryPanelFileAndNamesAWrongField)
{
    CliHome h;
    const auto exported = [&h](const QString& pan, const QStringList& more = {}) {
        const CliRun run =
            h.Run(QStringList{"export", pan, "--type", "797", "--config", h.config} + more);
        EXPECT_EQ(run.exitCode, 0) << pan.toStdString() << run.err.constData();
        return run.out;
    };
    const auto imported = [&h](const QByteArray& json, const QString& out) {
        EXPECT_TRUE(Write(h.Path("design.json"), json));
        return h.Run({"import", h.Path("design.json"), out});
    };
    QStringList pans{QXPAN_TEST_DATA "/cli-convert/design.pan",
                     QXPAN_TEST_DATA "/panel-write-design/expected.pan"};
    for (const QString& name : QDir(QXPAN_TEST_DATA).entryList({"panel-read-*"}, QDir::Dirs))
        if (name != "panel-read-empty" && name != "panel-read-wrong" && // not panel files
            QFile::exists(QXPAN_TEST_DATA "/" + name + "/input.pan"))
            pans << QXPAN_TEST_DATA "/" + name + "/input.pan";
    for (const QString& pan : pans) {
        SCOPED_TRACE(pan.toStdString());
        ExpectExit(imported(exported(pan), h.Path("once.pan")), 0);
        ExpectExit(imported(exported(h.Path("once.pan")), h.Path("twice.pan")), 0);
        EXPECT_EQ(Read(h.Path("twice.pan")), Read(h.Path("once.pan")));
    }
    // What the editor shows after Open, as golden JSON: a missing bitmap answered yes or no
    // (no ends the reading before the key), tables, texts cut to 20 characters, odd numbers.
    const QString design = QXPAN_TEST_DATA "/cli-convert/design.pan";
    for (const auto& [pan, answer, golden] :
         {std::tuple{design, "yes", "design-yes.json"},
          {design, "no", "design-no.json"},
          {QString(QXPAN_TEST_DATA "/panel-read-basic/input.pan"), "yes", "basic-yes.json"}})
        EXPECT_EQ(
            QString::fromUtf8(exported(pan, {"--answer", answer})).replace(h.home.path(), "<home>"),
            QString::fromUtf8(Read(QXPAN_TEST_DATA "/cli-export/" + QString(golden))))
            << golden;
    QJsonObject json = QJsonDocument::fromJson(exported(design)).object();
    QJsonArray keys = json["keys"].toArray();
    QJsonObject key = keys[0].toObject();
    key["text1"] = "Ristretto";
    keys[0] = key;
    json["keys"] = keys;
    ExpectExit(imported(QJsonDocument(json).toJson(), h.Path("edited.pan")), 0);
    EXPECT_TRUE(Read(h.Path("edited.pan")).contains("\r\nRistretto \r\n"));
    for (const auto& [path, value, message] :
         {std::tuple{"keys", QJsonValue(3), "keys: must be a list"},
          {"type", QJsonValue(800), "type: must be a whole number from 796 to 799"},
          {"keys/right", QJsonValue(1024), "keys[0].right: must be a whole number from 0 to 1023"},
          {"keys/colour", QJsonValue("#FF0000"), "keys[0].colour: is not a field of a design"},
          {"keys/text1", QJsonValue(QString(21, 'A')), "keys[0].text1: must be at most 20"}}) {
        QJsonObject bad = json;
        const QStringList steps = QString(path).split('/');
        if (steps.size() == 1) {
            bad[steps[0]] = value;
        } else {
            QJsonArray list = bad["keys"].toArray();
            QJsonObject first = list[0].toObject();
            first[steps[1]] = value;
            list[0] = first;
            bad["keys"] = list;
        }
        QFile::remove(h.Path("bad.pan"));
        const CliRun run = imported(QJsonDocument(bad).toJson(), h.Path("bad.pan"));
        ExpectOneLine(run, h.Path("design.json"), message);
        EXPECT_FALSE(QFile::exists(h.Path("bad.pan"))) << message;
    }
}

} // namespace
