// Catches: qxpan-cli losing or halving files, writing through links, racing, odd names taken wrong.
#include "CliProcess.h"
#include "OddFiles.h"
#include "ScratchMount.h"

#include "fileio/BranchLock.h"

#include <QCoreApplication>
#include <QImage>

#include <thread>

namespace {

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

// Each writer of the tool, on a read-only or a full folder: the previous files whole, the
// system's reason said, no temporary file left.
TEST(CliWriters, AnUnwritableFolderKeepsThePreviousFilesAndSaysWhy)
{
    for (const auto kind : {ScratchMount::Kind::ReadOnly, ScratchMount::Kind::Full}) {
        ScratchMount mount(kind, "size=8m");
        if (!mount.SkipReason().isEmpty())
            GTEST_SKIP() << mount.SkipReason().toStdString();
        DemoBranch h;
        // The branch's program folder on the mount, with a picture decoded before.
        const QString program = h.Program(""), screen = h.Program("FILE797P.TXT");
        for (const QString& name : QDir(program).entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(program + name, mount.FilePath(name)));
        ASSERT_TRUE(QDir(program).removeRecursively() &&
                    QFile::link(mount.Path(), program.chopped(1)) &&
                    Write(h.Program("out.bmp"), "the previous picture"));
        const QByteArray before = Read(screen);
        ASSERT_TRUE(mount.Seal(16384)); // room for the lock file, not for a screen file
        for (const QStringList& args :
             {QStringList{"decode", screen, h.Program("out.bmp")},
              {"encode", APicture(h.home, 16, 12), screen, "--number", "797"},
              {"convert", h.design, "--type", "797", "--config", h.config}}) {
            SCOPED_TRACE(args[0].toStdString());
            const CliRun run = h.Run(args);
            ExpectExit(run, 1,
                       kind == ScratchMount::Kind::Full ? "No space left on device"
                                                        : "Read-only file system");
            EXPECT_TRUE(run.err.contains(QFile::encodeName(program.chopped(1))))
                << run.err.constData();
        }
        EXPECT_TRUE(Read(screen) == before && Read(h.Program("out.bmp")) == "the previous picture");
        EXPECT_EQ(FolderNames(mount.Path()).filter(".qxpan-"), QStringList{});
    }
}

// Every writer removes the temporaries a killed earlier run left beside its output (one in use
// stays: tests/fileio). A pipe is refused at once, whatever it stands for.
TEST(CliWriters, RemoveDeadLeftoversNeitherWriteThroughALinkNorReadAPipeOrADevice)
{
    DemoBranch branch;
    const QString screen = branch.Program("FILE797P.TXT"), out = branch.Path("out/");
    const QString picture = APicture(branch.home, 16, 12);
    ASSERT_TRUE(QDir().mkpath(out));
    for (const QStringList& args :
         {QStringList{"convert", branch.design, "--type", "797", "--config", branch.config},
          {"encode", picture, out + "FILE797P.TXT", "--number", "797"},
          {"decode", screen, out + "screen.png"}}) {
        SCOPED_TRACE(args[0].toStdString());
        const QFileInfo target(args[0] == "convert" ? screen : args[2]);
        const QString dead =
            target.dir().filePath("." + target.fileName() + ".qxpan-999999999-AbCdEf");
        ASSERT_TRUE(Write(dead, "half a file"));
        ExpectExit(branch.Run(args), 0);
        EXPECT_FALSE(QFile::exists(dead));
    }
    const QString pipe = branch.Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    for (const QStringList& args : {QStringList{"encode", pipe, out + "p.txt", "--number", "797"},
                                    {"decode", pipe, out + "p.png"},
                                    {"table", pipe},
                                    {"convert", pipe, "--type", "797", "--config", branch.config},
                                    {"convert", branch.design, "--type", "797", "--config", pipe}})
        ExpectExit(branch.Run(args), 1, QFile::encodeName(pipe));

    // The key table a link to a table elsewhere: it is read, but not written through; nor does
    // encode replace a link (devices, pipes and the plain file's mode: tests/fileio).
    const QString elsewhere = branch.Path("elsewhere"), table = branch.Program("FILE795P.TXT");
    ASSERT_TRUE(QFile::rename(table, elsewhere) && QFile::link(elsewhere, table));
    const QByteArray before = Read(elsewhere);
    ExpectExit(branch.Convert("798"), 1, QFile::encodeName(table) + ": is a symbolic link");
    const QString link = out + "link";
    ASSERT_TRUE(MakeOddFile("LinkToAFile", branch.home, link));
    ExpectOneLine(branch.Run({"encode", picture, link, "--number", "797"}), link,
                  "is a symbolic link");
    EXPECT_EQ(Read(elsewhere), before);
    EXPECT_EQ(FolderNames(out).filter(".qxpan-"), QStringList{});

    // A reference file that is a device that never ends (reads of /dev/full): not read.
    const QString funckey = branch.Path("QXPan/branches/DEMO/data/funckey.txt");
    ASSERT_TRUE(QFile::remove(table) && QFile::remove(funckey));
    if (!MakeOddFile("Device", branch.home, funckey))
        GTEST_SKIP() << "no device node can be made here";
    ExpectExit(branch.Convert("797"), 0);
}

TEST(CliConvert, TwoConvertsAtOnceKeepEachOthersKeysAndAHeldLockIsNamed)
{
    DemoBranch branch;
    const QString table = branch.Program("FILE795P.TXT");
    const auto record = [&table](int index) {
        return Read(table).split('\n').value(3 + index).mid(7);
    };
    const QByteArray key = record(80); // the design's one key
    const QByteArray demo = Read(QXPAN_SOURCE_DIR "/examples/demo-branch/program/FILE795P.TXT");
    for (int round = 0; round < 2; ++round) {
        // Both windows start from the demo's keys; each convert puts the design's key into its
        // own window (records 1 and 81). A write from a stale table would put a demo key back.
        ASSERT_TRUE(Write(table, demo));
        ASSERT_TRUE(record(0) != key && record(80) != key);
        CliRun second;
        std::thread other([&] { second = branch.Convert("798"); });
        const CliRun first = branch.Convert("797");
        other.join();
        EXPECT_EQ(first.exitCode + second.exitCode, 0)
            << first.err.constData() << second.err.constData();
        EXPECT_TRUE(record(0) == key && record(80) == key) << "round " << round;
    }
    // A writer that holds the lock: nothing is written, the last line names it.
    const QByteArray before = Read(table);
    BranchLock held(branch.Program(""));
    ASSERT_TRUE(held.Acquire(0));
    const CliRun run = branch.Convert("799");
    EXPECT_EQ(run.exitCode, 1);
    const QByteArray last = run.err.trimmed().split('\n').last();
    EXPECT_TRUE(last.contains(QFile::encodeName(branch.Program("").chopped(1))) &&
                last.contains(
                    QStringLiteral("process %1").arg(QCoreApplication::applicationPid()).toUtf8()))
        << run.err.constData();
    EXPECT_EQ(Read(table), before);
    EXPECT_FALSE(QFile::exists(branch.Program("FILE799P.TXT")));
}

TEST(CliMessages, SayWhatIsWrongWithTheStoreTheArgumentsOrThePicture)
{
    const CliHome h;
    const QString broken = h.Path("broken.ini"), empty = h.Path("empty.ini");
    ASSERT_TRUE(Write(broken, "[General]\nBranch=A\nnonsense\n") && Write(empty, "[General]\n"));
    const auto convert = [&h](const QString& config, const char* type = "797") {
        return h.Run({"convert", h.design, "--type", type, "--config", config});
    };
    // A store that cannot be read says why.
    ExpectOneLine(convert(broken), broken, "line 3: neither a [section]");
    ExpectOneLine(convert(empty), empty, "no current branch");
    EXPECT_EQ(convert(empty, "800").exitCode, 2);
    const QString out = h.Path("FILE797P.TXT"), wide = APicture(h.home, 9000, 10);
    // Above Qt's own allocation limit, inside ours.
    ExpectExit(h.Run({"encode", APicture(h.home, 6000, 6000), out, "--number", "797"}), 0);
    ExpectOneLine(h.Run({"encode", wide, out, "--number", "797"}), wide,
                  "larger than 8192 x 8192 pixels");
    // A name the system's encoding cannot read back would write another file.
    ExpectExit(h.Run({"-c", "exec \"$0\" encode \"$1\" \"$(printf 'out\\377.txt')\" --number 797",
                      QXPAN_CLI_PATH, wide},
                     "/bin/sh"),
               2, "argument 3 is not valid text");
}

// A design named like an option, with blanks, quotes or non-ASCII is read as the design.
TEST(CliFileNames, OddNamesAreFilesAndALeadingDashIsAnOptionWithoutDashDash)
{
    const QString odd = QStringLiteral("my \"new\" d\u00E9sign's.pan");
    for (const auto& [fileName, given] :
         {std::pair{QStringLiteral("-reverse"), QStringList{"--", "-reverse"}}, // Qt's option
          {"--type", {"--", "--type"}},                                         // one of ours
          {odd, {odd}}}) {
        SCOPED_TRACE(given.join(' ').toStdString());
        const CliHome h;
        const QString work = h.Path("work dir");
        ASSERT_TRUE(QDir().mkpath(work) && QFile::copy(h.design, QDir(work).filePath(fileName)));
        const CliRun run =
            h.Run(QStringList{"convert", "--type", "797", "--config", h.config} + given,
                  QXPAN_CLI_PATH, work);
        // Read as a design: the one bitmap of it that the branch lacks is reported by name.
        ExpectExit(run, 0, "missing.bmp");
        EXPECT_TRUE(run.out.contains("/FILE797P.TXT")) << run.out.constData();
    }
    const CliHome h;
    ExpectExit(h.Run({"convert", "-x.pan", "--type", "797", "--config", h.config}), 2,
               "unknown option -x.pan");
}

} // namespace
