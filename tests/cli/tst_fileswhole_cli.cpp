// Catches: qxpan-cli writing half files, through links or devices, racing Convert, vague messages.
#include "CliProcess.h"
#include "OddFiles.h"
#include "ScratchMount.h"
#include "TestFiles.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "fileio/BranchLock.h"
#include "formats/BitmapTableFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using TestFiles::Mode;
using TestFiles::Read;
using TestFiles::Write;

// The demo branch of an isolated home, made by a first Convert of check window 22.
struct DemoBranch : CliHome
{
    DemoBranch() { EXPECT_EQ(Convert("797").exitCode, 0); }
};

QString APicture(const QTemporaryDir& dir, int width, int height)
{
    const QString path = dir.filePath(QStringLiteral("picture%1x%2.png").arg(width).arg(height));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(40, 80, 120));
    EXPECT_TRUE(image.save(path));
    return path;
}

// Outputs that may not be replaced stay as they are; a plain one keeps its mode.
class EncodeOutput : public ::testing::TestWithParam<OddFile>
{};

TEST_P(EncodeOutput, IsReplacedWholeOrLeftAlone)
{
    const CliHome h;
    const QString out = h.Path("FILE797P.TXT");
    ASSERT_TRUE(Write(h.Path("elsewhere"), "kept"));
    if (!MakeOddFile(GetParam().kind, h.home, out))
        GTEST_SKIP() << "cannot be made here";
    const mode_t mode = Mode(out);
    const CliProcess::Run run = h.Run({"encode", APicture(h.home, 16, 12), out, "--number", "797"});
    EXPECT_EQ(Mode(out), mode);
    EXPECT_EQ(Read(h.Path("elsewhere")), "kept");
    if (QByteArray(GetParam().reason).isEmpty()) {
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(Read(out).startsWith("\"C\",\"n:P0797:\""));
    } else {
        ExpectOneLine(run, out, GetParam().reason);
    }
    const QStringList names =
        QDir(h.home.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(names.size(), 3) << names.join(' ').toStdString(); // nothing left beside OUT
}

INSTANTIATE_TEST_SUITE_P(Outputs, EncodeOutput,
                         ::testing::Values(OddFile{"PrivateFile", ""},
                                           OddFile{"ReadOnlyFile", "is read-only"},
                                           OddFile{"LinkToAFile", "is a symbolic link"},
                                           OddFile{"Device", "is not a regular file"},
                                           OddFile{"Pipe", "is not a regular file"}),
                         OddFileName);

TEST(CliInputs, APipeIsRefusedAtOnceWhateverItStandsFor)
{
    DemoBranch branch;
    const QString pipe = branch.Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    const QString out = branch.Path("out.png");
    for (const QStringList& args :
         {QStringList{"encode", pipe, out, "--number", "797"}, QStringList{"decode", pipe, out},
          QStringList{"table", pipe},
          QStringList{"convert", pipe, "--type", "797", "--config", branch.config},
          QStringList{"convert", branch.design, "--type", "797", "--config", pipe}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliProcess::Run run = branch.Run(args);
        EXPECT_EQ(run.exitCode, 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains(QFile::encodeName(pipe))) << run.err.constData();
    }
}

TEST(CliConvert, RemovesDeadLeftoversNeitherWritesThroughALinkInTheBranchNorReadsADevice)
{
    DemoBranch branch;
    // A temporary file of a process that no longer runs, and one of ours that is in use.
    const QString dead = branch.Program(".FILE797P.TXT.qxpan-999999999-AbCdEf");
    const QString live = branch.Program(
        QStringLiteral(".FILE798P.TXT.qxpan-%1-AbCdEf").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(Write(dead, "half a screen") && Write(live, "being written"));
    EXPECT_EQ(branch.Convert("797").exitCode, 0);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(QFile::exists(live));

    // The key table a link to a table elsewhere: it is read, but not written through.
    const QString elsewhere = branch.Path("elsewhere.txt");
    const QString table = branch.Program("FILE795P.TXT");
    ASSERT_TRUE(QFile::rename(table, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, table));
    const QByteArray before = Read(elsewhere);
    const CliProcess::Run linked = branch.Convert("798");
    EXPECT_EQ(linked.exitCode, 1);
    EXPECT_TRUE(linked.err.contains(QFile::encodeName(table) + ": is a symbolic link"))
        << linked.err.constData();
    EXPECT_EQ(Read(elsewhere), before);

    // A reference file that is a device that never ends (/dev/zero's numbers): not read.
    ASSERT_TRUE(QFile::remove(table));
    const QString funckey = branch.Path("data/QXPan/branches/DEMO/data/funckey.txt");
    ASSERT_TRUE(QFile::remove(funckey));
    if (::mknod(QFile::encodeName(funckey).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        GTEST_SKIP() << "no device node can be made here";
    EXPECT_EQ(branch.Convert("797").exitCode, 0);
}

TEST(CliConvert, AFullProgramFolderKeepsTheScreenFileAndSaysSo)
{
    ScratchMount mount(ScratchMount::Kind::Full, "size=8m");
    if (!mount.SkipReason().isEmpty())
        GTEST_SKIP() << mount.SkipReason().toStdString();
    DemoBranch branch;
    // The branch's program folder on a small file system of its own.
    const QString program = branch.Program(QString());
    for (const QString& name : QDir(program).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(program + name, mount.FilePath(name)));
    ASSERT_TRUE(QDir(program).removeRecursively());
    ASSERT_TRUE(QFile::link(mount.Path(), program.chopped(1)));
    const QByteArray screen = Read(mount.FilePath("FILE797P.TXT"));
    ASSERT_FALSE(screen.isEmpty());
    ASSERT_TRUE(mount.Seal(16384)); // room for the lock file, not for a screen file
    const CliProcess::Run run = branch.Convert("797");
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.constData();
    EXPECT_FALSE(run.out.contains("FILE797P.TXT")) << run.out.constData();
    EXPECT_EQ(Read(mount.FilePath("FILE797P.TXT")), screen);
    for (const QString& name : QDir(mount.Path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.contains(QLatin1String(".qxpan-"))) << name.toStdString();
}

QList<QByteArray> RecordsOf(const QByteArray& table)
{
    QList<QByteArray> records;
    for (const QByteArray& line : table.split('\n')) {
        if (line.size() > 7 && line[6] == ',')
            records.append(line.mid(7).trimmed());
    }
    return records;
}

TEST(CliConvert, TwoConvertsAtOnceKeepEachOthersKeys)
{
    DemoBranch branch;
    const QString table = branch.Program("FILE795P.TXT");
    const QByteArray key = RecordsOf(Read(table)).value(80); // the design's one key
    const QByteArray demo =
        Read(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/program/FILE795P.TXT"));
    ASSERT_NE(RecordsOf(demo).value(0), key);
    ASSERT_NE(RecordsOf(demo).value(80), key);
    for (int round = 0; round < 5; ++round) {
        // Both windows start from the demo's keys; each convert puts the design's key into its
        // own window. A write from a stale table would put a demo key back.
        ASSERT_TRUE(Write(table, demo));
        QProcess first;
        QProcess second;
        for (auto [process, type] : {std::pair{&first, "797"}, std::pair{&second, "798"}}) {
            process->setProcessEnvironment(branch.env);
            process->start(QStringLiteral(QXPAN_CLI_PATH),
                           {"convert", branch.design, "--type", type, "--config", branch.config});
        }
        ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
        EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
        // The design's key lands in record 1 (window 21) and record 81 (window 22).
        const QList<QByteArray> records = RecordsOf(Read(table));
        EXPECT_EQ(records.value(0), key) << "round " << round;
        EXPECT_EQ(records.value(80), key) << "round " << round;
    }
}

TEST(CliTable, KeepsEveryRecordOnOneLine)
{
    const CliHome h;
    const QString path = h.Path("FILE795P.TXT");
    CQXPanKeyObj key;
    key.SetTypeCode(45);
    key.SetShape(1);
    key.SetRegisterRect(10, 10, 100, 60);
    key.SetText1(QStringLiteral("A\tB\nC\x1B[2J\\\x7F"));
    CQXPanDocument design;
    design.m_nKeyCapacity = 80;
    design.m_KeyObjs.append(key);
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, 798, design));
    const CliProcess::Run run = h.Run({"table", path});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2); // the heading and the one record
    EXPECT_TRUE(lines[1].endsWith("\tA\\tB\\nC\\x1b[2J\\\\\\x7f")) << lines[1].constData();
}

TEST(CliConvert, WaitsForAnotherWriterThenSaysWhoItIs)
{
    DemoBranch branch;
    const QByteArray before = Read(branch.Program("FILE795P.TXT"));
    BranchLock held(branch.Program(QString()));
    ASSERT_TRUE(held.Acquire(0));
    const CliProcess::Run run = branch.Convert("798");
    // The design's own notes come first; the last line names the folder and the holder.
    EXPECT_EQ(run.exitCode, 1);
    const QByteArray last = run.err.trimmed().split('\n').last();
    EXPECT_TRUE(last.contains(QFile::encodeName(branch.Program(QString()).chopped(1))) &&
                last.contains(
                    QStringLiteral("process %1").arg(QCoreApplication::applicationPid()).toUtf8()))
        << run.err.constData();
    EXPECT_EQ(Read(branch.Program("FILE795P.TXT")), before);
    EXPECT_FALSE(QFile::exists(branch.Program("FILE798P.TXT")));
}

TEST(CliStore, AStoreThatCannotBeReadSaysWhyAndIsCopiedNowhere)
{
    CliHome h;
    const QString tmp = h.Path("tmp");
    ASSERT_TRUE(QDir().mkdir(tmp));
    h.env.insert(QStringLiteral("TMPDIR"), tmp);
    // Qt would make its runtime folder in TMPDIR without one.
    const QString runtime = h.Path("runtime");
    ASSERT_TRUE(QDir().mkdir(runtime) &&
                QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
    h.env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const auto convert = [&h](const QString& store) {
        return h.Run({"convert", h.design, "--type", "797", "--config", store});
    };
    // Larger than any store: refused before it is read.
    const QString big = h.Path("big.ini");
    ASSERT_TRUE(Write(big, QByteArray(2 * 1024 * 1024, '\0')));
    ExpectOneLine(convert(big), big, "is 2097152 bytes long");
    // A line that is no INI line, named by its number.
    const QString broken = h.Path("broken.ini");
    ASSERT_TRUE(Write(broken, "[General]\nBranch=A\nnonsense\n"));
    ExpectOneLine(convert(broken), broken, "line 3: neither a [section], a key=value nor a ;");
    EXPECT_TRUE(QDir(tmp).isEmpty());
}

TEST(CliMessages, SayWhatIsWrongWithTheFile)
{
    const CliHome h;
    const QString out = h.Path("FILE797P.TXT");
    // Above Qt's own allocation limit, inside ours.
    EXPECT_EQ(h.Run({"encode", APicture(h.home, 6000, 6000), out, "--number", "797"}).exitCode, 0);
    const QString wide = APicture(h.home, 9000, 10);
    ExpectOneLine(h.Run({"encode", wide, out, "--number", "797"}), wide,
                  "larger than 8192 x 8192 pixels");
    // A name the system's encoding cannot read back would write another file.
    const CliProcess::Run shell =
        h.Run({"-c", "exec \"$0\" encode \"$1\" \"$(printf 'out\\377.txt')\" --number 797",
               QStringLiteral(QXPAN_CLI_PATH), wide},
              QStringLiteral("/bin/sh"));
    EXPECT_EQ(shell.exitCode, 2);
    EXPECT_TRUE(shell.err.contains("argument 3 is not valid text")) << shell.err.constData();
}

} // namespace
