// Catches: qxpan-cli writing half files, through links or devices, racing Convert, vague messages.
#include "CliProcess.h"
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

// One line on standard error, naming the file and saying why.
void ExpectOneLine(const CliProcess::Run& run, const QString& file, const char* why)
{
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1) << run.err.constData();
    EXPECT_TRUE(lines[0].contains(QFile::encodeName(file))) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains(why)) << lines[0].constData();
}

// The demo branch of an isolated home, made by a first Convert of check window 22.
struct DemoBranch
{
    QTemporaryDir home;
    QProcessEnvironment env = CliProcess::IsolatedHome(home);
    QString config = home.filePath(QStringLiteral("qxctrl.ini"));
    QString design = QStringLiteral(QXPAN_TEST_DATA "/cli-convert/design.pan");

    DemoBranch() { EXPECT_EQ(Convert(QStringLiteral("797")).exitCode, 0); }
    CliProcess::Run Run(const QStringList& args) const
    {
        return CliProcess::Start(args, env, home.path());
    }
    CliProcess::Run Convert(const QString& type) const
    {
        return Run({"convert", design, "--type", type, "--config", config});
    }
    QString Program(const QString& name) const
    {
        return home.filePath(QStringLiteral("data/QXPan/branches/DEMO/program/") + name);
    }
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
struct Output
{
    const char* name;
    const char* why; // empty: written
    bool (*make)(const QTemporaryDir& dir, const QString& out);
};

void PrintTo(const Output& o, std::ostream* os)
{
    *os << o.name;
}

class EncodeOutput : public ::testing::TestWithParam<Output>
{};

TEST_P(EncodeOutput, IsReplacedWholeOrLeftAlone)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("FILE797P.TXT"));
    ASSERT_TRUE(Write(dir.filePath(QStringLiteral("elsewhere")), "kept"));
    if (!GetParam().make(dir, out))
        GTEST_SKIP() << "cannot be made here";
    const mode_t mode = Mode(out);
    const CliProcess::Run run =
        CliProcess::Start({"encode", APicture(dir, 16, 12), out, "--number", "797"},
                          CliProcess::IsolatedHome(dir), dir.path());
    EXPECT_EQ(Mode(out), mode);
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("elsewhere"))), "kept");
    if (QByteArray(GetParam().why).isEmpty()) {
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(Read(out).startsWith("\"C\",\"n:P0797:\""));
    } else {
        ExpectOneLine(run, out, GetParam().why);
    }
    const QStringList names =
        QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(names.size(), 3) << names.join(' ').toStdString(); // nothing left beside OUT
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, EncodeOutput,
    ::testing::Values(Output{"PrivateFile", "",
                             [](const QTemporaryDir&, const QString& out) {
                                 return Write(out, "old") &&
                                        ::chmod(QFile::encodeName(out).constData(), 0600) == 0;
                             }},
                      Output{"ReadOnlyFile", "is read-only",
                             [](const QTemporaryDir&, const QString& out) {
                                 return Write(out, "old") &&
                                        ::chmod(QFile::encodeName(out).constData(), 0444) == 0;
                             }},
                      Output{"LinkToAFile", "is a symbolic link",
                             [](const QTemporaryDir& dir, const QString& out) {
                                 return QFile::link(dir.filePath(QStringLiteral("elsewhere")), out);
                             }},
                      // /dev/full's numbers, as a node of our own.
                      Output{"Device", "is not a regular file",
                             [](const QTemporaryDir&, const QString& out) {
                                 return ::mknod(QFile::encodeName(out).constData(), S_IFCHR | 0666,
                                                makedev(1, 7)) == 0;
                             }},
                      Output{"Pipe", "is not a regular file",
                             [](const QTemporaryDir&, const QString& out) {
                                 return ::mkfifo(QFile::encodeName(out).constData(), 0644) == 0;
                             }}),
    [](const ::testing::TestParamInfo<Output>& info) { return std::string(info.param.name); });

TEST(CliInputs, APipeIsRefusedAtOnceWhateverItStandsFor)
{
    DemoBranch branch;
    const QString pipe = branch.home.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    const QString out = branch.home.filePath(QStringLiteral("out.png"));
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

TEST(CliConvert, NeitherWritesThroughALinkInTheBranchNorReadsADevice)
{
    DemoBranch branch;
    // The key table a link to a table elsewhere: it is read, but not written through.
    const QString elsewhere = branch.home.filePath(QStringLiteral("elsewhere.txt"));
    const QString table = branch.Program(QStringLiteral("FILE795P.TXT"));
    ASSERT_TRUE(QFile::rename(table, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, table));
    const QByteArray before = Read(elsewhere);
    const CliProcess::Run linked = branch.Convert(QStringLiteral("798"));
    EXPECT_EQ(linked.exitCode, 1);
    EXPECT_TRUE(linked.err.contains(QFile::encodeName(table) + ": is a symbolic link"))
        << linked.err.constData();
    EXPECT_EQ(Read(elsewhere), before);

    // A reference file that is a device that never ends (/dev/zero's numbers): not read.
    ASSERT_TRUE(QFile::remove(table));
    const QString funckey =
        branch.home.filePath(QStringLiteral("data/QXPan/branches/DEMO/data/funckey.txt"));
    ASSERT_TRUE(QFile::remove(funckey));
    if (::mknod(QFile::encodeName(funckey).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        GTEST_SKIP() << "no device node can be made here";
    EXPECT_EQ(branch.Convert(QStringLiteral("797")).exitCode, 0);
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
    const QByteArray screen = Read(mount.FilePath(QStringLiteral("FILE797P.TXT")));
    ASSERT_FALSE(screen.isEmpty());
    ASSERT_TRUE(mount.Seal(16384)); // room for the lock file, not for a screen file

    const CliProcess::Run run = branch.Convert(QStringLiteral("797"));
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.constData();
    EXPECT_FALSE(run.out.contains("FILE797P.TXT")) << run.out.constData();
    EXPECT_EQ(Read(mount.FilePath(QStringLiteral("FILE797P.TXT"))), screen);
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
    const QString table = branch.Program(QStringLiteral("FILE795P.TXT"));
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

TEST(CliConvert, RemovesWhatAKilledWriteLeftBehind)
{
    DemoBranch branch;
    // A temporary file of a process that no longer runs, and one of ours that is in use.
    const QString dead = branch.Program(QStringLiteral(".FILE797P.TXT.qxpan-999999999-AbCdEf"));
    const QString live = branch.Program(
        QStringLiteral(".FILE798P.TXT.qxpan-%1-AbCdEf").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(Write(dead, "half a screen"));
    ASSERT_TRUE(Write(live, "being written"));
    EXPECT_EQ(branch.Convert(QStringLiteral("797")).exitCode, 0);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(QFile::exists(live));
}

TEST(CliTable, KeepsEveryRecordOnOneLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FILE795P.TXT"));
    CQXPanKeyObj key;
    key.SetTypeCode(45);
    key.SetShape(1);
    key.SetRegisterRect(10, 10, 100, 60);
    key.SetText1(QStringLiteral("A\tB\nC\x1B[2J\\"));
    CQXPanDocument design;
    design.m_nKeyCapacity = 80;
    design.m_KeyObjs.append(key);
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, 798, design));
    const CliProcess::Run run =
        CliProcess::Start({"table", path}, CliProcess::IsolatedHome(dir), dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2); // the heading and the one record
    EXPECT_TRUE(lines[1].endsWith("\tA\\tB\\nC\\x1b[2J\\\\")) << lines[1].constData();
}

TEST(CliConvert, WaitsForAnotherWriterThenSaysWhoItIs)
{
    DemoBranch branch;
    const QByteArray before = Read(branch.Program(QStringLiteral("FILE795P.TXT")));
    BranchLock held(branch.Program(QString()));
    ASSERT_TRUE(held.Acquire(0));
    const CliProcess::Run run = branch.Convert(QStringLiteral("798"));
    // The design's own notes come first; the last line names the folder and the holder.
    EXPECT_EQ(run.exitCode, 1);
    const QByteArray last = run.err.trimmed().split('\n').last();
    EXPECT_TRUE(last.contains(QFile::encodeName(branch.Program(QString()).chopped(1))) &&
                last.contains(
                    QStringLiteral("process %1").arg(QCoreApplication::applicationPid()).toUtf8()))
        << run.err.constData();
    EXPECT_EQ(Read(branch.Program(QStringLiteral("FILE795P.TXT"))), before);
    EXPECT_FALSE(QFile::exists(branch.Program(QStringLiteral("FILE798P.TXT"))));
}

TEST(CliStore, AStoreThatCannotBeReadSaysWhyAndIsCopiedNowhere)
{
    QTemporaryDir dir;
    QProcessEnvironment env = CliProcess::IsolatedHome(dir);
    const QString tmp = dir.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkdir(tmp));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    // Qt would make its runtime folder in TMPDIR without one.
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkdir(runtime) &&
                QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const QString design = QStringLiteral(QXPAN_TEST_DATA "/cli-convert/design.pan");
    const auto convert = [&](const QString& store) {
        return CliProcess::Start({"convert", design, "--type", "797", "--config", store}, env,
                                 dir.path());
    };
    // Larger than any store: refused before it is read.
    const QString big = dir.filePath(QStringLiteral("big.ini"));
    QFile bigFile(big);
    ASSERT_TRUE(bigFile.open(QIODevice::WriteOnly) && bigFile.resize(2 * 1024 * 1024));
    bigFile.close();
    ExpectOneLine(convert(big), big, "is 2097152 bytes long");
    // A line that is no INI line, named by its number.
    const QString broken = dir.filePath(QStringLiteral("broken.ini"));
    ASSERT_TRUE(Write(broken, "[General]\nBranch=A\nnonsense\n"));
    ExpectOneLine(convert(broken), broken, "line 3: neither a [section], a key=value nor a ;");
    EXPECT_TRUE(QDir(tmp).isEmpty());
}

TEST(CliMessages, SayWhatIsWrongWithTheFile)
{
    QTemporaryDir dir;
    const QProcessEnvironment env = CliProcess::IsolatedHome(dir);
    const QString out = dir.filePath(QStringLiteral("FILE797P.TXT"));
    // Above Qt's own allocation limit, inside ours.
    EXPECT_EQ(CliProcess::Start({"encode", APicture(dir, 6000, 6000), out, "--number", "797"}, env,
                                dir.path())
                  .exitCode,
              0);
    const QString wide = APicture(dir, 9000, 10);
    ExpectOneLine(CliProcess::Start({"encode", wide, out, "--number", "797"}, env, dir.path()),
                  wide, "larger than 8192 x 8192 pixels");
    // A name the system's encoding cannot read back would write another file.
    QProcess shell;
    shell.setProcessEnvironment(env);
    shell.start(QStringLiteral("/bin/sh"),
                {"-c",
                 QStringLiteral("exec \"$0\" encode \"$1\" \"$(printf 'out\\377.txt')\" "
                                "--number 797"),
                 QStringLiteral(QXPAN_CLI_PATH), wide});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_TRUE(shell.readAllStandardError().contains("argument 3 is not valid text"));
}

} // namespace
