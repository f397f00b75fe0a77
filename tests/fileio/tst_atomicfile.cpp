// Catches: a half or lost file after a kill, full disk or race; writes through links; leftovers.
#include "OddFiles.h"
#include "ScratchMount.h"
#include "TestFiles.h"

#include "fileio/AtomicFile.h"
#include "fileio/BranchLock.h"
#include "fileio/FaultPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using TestFiles::Mode;
using TestFiles::Read;
using TestFiles::Write;

QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Sets the fault hook for one test.
struct Faults
{
    explicit Faults(std::function<int(FaultStep)> hook) { g_qxpanFaultHook = std::move(hook); }
    ~Faults() { g_qxpanFaultHook = nullptr; }
};

const QByteArray kOld = "the old file\n";
const QByteArray kNew = QByteArray("the new file, longer than the old one\n").repeated(1000);

TEST(AtomicFile, WritesANewFileWithTheUsualModeAndReplacesOneKeepingItsMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.txt");
    const mode_t mask = ::umask(022);
    const FileResult result = AtomicFile::Write(path, kNew);
    ::umask(mask);
    ASSERT_TRUE(result) << result.Text().toStdString();
    EXPECT_EQ(Read(path), kNew);
    EXPECT_EQ(Mode(path) & 0777, 0644u);
    for (mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664)}) {
        ASSERT_TRUE(Write(path, kOld));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_TRUE(AtomicFile::Write(path, kNew));
        EXPECT_EQ(Read(path), kNew);
        EXPECT_EQ(Mode(path) & 07777, mode);
    }
    EXPECT_EQ(Names(dir.path()), QStringList{"kept.txt"});
}

// What may not be replaced: it stays exactly as it was, and one line says why.
class Refused : public ::testing::TestWithParam<OddFile>
{};

TEST_P(Refused, ItStaysAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("target");
    ASSERT_TRUE(Write(dir.filePath("elsewhere"), kOld));
    if (!MakeOddFile(GetParam().kind, dir, path))
        GTEST_SKIP() << "cannot be made here";
    const mode_t mode = Mode(path);
    const QStringList before = Names(dir.path());
    const FileResult result = AtomicFile::Write(path, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.path, path);
    EXPECT_TRUE(result.reason.contains(QLatin1String(GetParam().reason)))
        << result.reason.toStdString();
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(Names(dir.path()), before);
    EXPECT_EQ(Read(dir.filePath("elsewhere")), kOld); // never written through a link
}

INSTANTIATE_TEST_SUITE_P(Targets, Refused,
                         ::testing::Values(OddFile{"ReadOnlyFile", "is read-only"},
                                           OddFile{"LinkToAFile", "is a symbolic link"},
                                           OddFile{"LinkToNothing", "is a symbolic link"},
                                           OddFile{"Folder", "is not a regular file"},
                                           OddFile{"Pipe", "is not a regular file"},
                                           OddFile{"Device", "is not a regular file"}),
                         OddFileName);

TEST(AtomicFile, FollowsALinkOnlyWhenAskedAndTheLinkStays)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("store.ini");
    const QString link = dir.filePath("link.ini");
    ASSERT_TRUE(Write(target, kOld));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(AtomicFile::Write(link, kNew, AtomicFile::Links::Follow));
    EXPECT_EQ(Read(target), kNew);
    EXPECT_TRUE(S_ISLNK(Mode(link)));
    EXPECT_EQ(Names(dir.path()), (QStringList{"link.ini", "store.ini"}));
}

const char* const kSteps[] = {"TemporaryCreated", "Writing", "BytesWritten",
                              "Syncing",          "Synced",  "Renamed"};

// A failure at any step: the old file whole, the temporary gone, the file and the reason named.
TEST(AtomicFile, AFailedStepKeepsTheOldFileAndLeavesNothing)
{
    for (const FaultStep failing :
         {FaultStep::TemporaryCreated, FaultStep::Writing, FaultStep::BytesWritten,
          FaultStep::Syncing, FaultStep::Synced}) {
        SCOPED_TRACE(kSteps[int(failing)]);
        QTemporaryDir dir;
        const QString path = dir.filePath("FILE797P.TXT");
        ASSERT_TRUE(Write(path, kOld));
        Faults faults([failing](FaultStep step) { return step == failing ? EIO : 0; });
        const FileResult result = AtomicFile::Write(path, kNew);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.path, path);
        EXPECT_EQ(result.reason, qt_error_string(EIO));
        EXPECT_EQ(Read(path), kOld);
        EXPECT_EQ(Names(dir.path()), QStringList{"FILE797P.TXT"});
    }
}

TEST(AtomicFile, ShortWritesAreCarriedOnToTheLastByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("FILE797P.TXT");
    int writes = 0;
    // Each write call takes half of what it is asked (and is counted).
    Faults faults([&writes](FaultStep s) { return s == FaultStep::Writing && ++writes ? -1 : 0; });
    ASSERT_TRUE(AtomicFile::Write(path, kNew));
    EXPECT_EQ(Read(path), kNew);
    EXPECT_GT(writes, 10);
}

// A kill at any step: the old or the whole new file; what is left beside it goes on the next run.
TEST(AtomicFile, AKillLeavesTheOldOrTheNewFileAndNoLeftoverAfterTheNextRun)
{
    for (const FaultStep killing : {FaultStep::TemporaryCreated, FaultStep::BytesWritten,
                                    FaultStep::Synced, FaultStep::Renamed}) {
        SCOPED_TRACE(kSteps[int(killing)]);
        QTemporaryDir dir;
        const QString path = dir.filePath("FILE795P.TXT");
        ASSERT_TRUE(Write(path, kOld));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            g_qxpanFaultHook = [killing](FaultStep step) {
                if (step == killing)
                    ::_exit(0); // as a kill would: no clean-up of any kind
                return 0;
            };
            AtomicFile::Write(path, kNew);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the step was not reached";
        EXPECT_TRUE(Read(path) == (killing == FaultStep::Renamed ? kNew : kOld));
        AtomicFile::RemoveLeftovers(dir.path());
        EXPECT_EQ(Names(dir.path()), QStringList{"FILE795P.TXT"});
    }
}

TEST(AtomicFile, LeftoversOfRunningProcessesStay)
{
    QTemporaryDir dir;
    const pid_t running = ::fork();
    ASSERT_GE(running, 0);
    if (running == 0) {
        ::pause();
        ::_exit(0);
    }
    const QString ours = QStringLiteral(".a.txt.qxpan-%1-AbCdEf").arg(::getpid());
    const QString theirs = QStringLiteral(".b.txt.qxpan-%1-AbCdEf").arg(running);
    const QString unrelated = QStringLiteral(".c.txt.qxpan-notapid-AbCdEf");
    for (const QString& name : {ours, theirs, unrelated})
        ASSERT_TRUE(Write(dir.filePath(name), "x"));
    AtomicFile::RemoveLeftovers(dir.path());
    EXPECT_EQ(Names(dir.path()).size(), 3);
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    AtomicFile::RemoveLeftovers(dir.path());
    EXPECT_EQ(Names(dir.path()), (QStringList{ours, unrelated}));
}

TEST(AtomicFile, AFullDiskKeepsTheOldFile)
{
    ScratchMount mount(ScratchMount::Kind::Full, "size=64k");
    if (!mount.SkipReason().isEmpty())
        GTEST_SKIP() << mount.SkipReason().toStdString();
    const QString path = mount.FilePath("FILE797P.TXT");
    ASSERT_TRUE(Write(path, kOld));
    ASSERT_TRUE(mount.Seal(8192));
    const FileResult result = AtomicFile::Write(path, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.reason, qt_error_string(ENOSPC));
    EXPECT_EQ(Read(path), kOld);
    EXPECT_EQ(Names(mount.Path()), (QStringList{".filler", "FILE797P.TXT"}));
}

TEST(AtomicFile, TwoWritersAtOnceNeverLeaveAHalfFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("FILE795P.TXT");
    const QByteArray first = QByteArray("first writer\n").repeated(3000);
    const QByteArray second = QByteArray("second writer, other length\n").repeated(2000);
    ASSERT_TRUE(Write(path, first));
    std::atomic<bool> done{false};
    std::atomic<int> failures{0}, torn{0};
    const auto writer = [&](const QByteArray& bytes) {
        for (int round = 0; round < 200; ++round)
            failures += AtomicFile::Write(path, bytes) ? 0 : 1;
    };
    std::thread reader([&] {
        while (!done) {
            const QByteArray now = Read(path);
            torn += now != first && now != second ? 1 : 0;
        }
    });
    std::thread a(writer, first), b(writer, second);
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(Names(dir.path()), QStringList{"FILE795P.TXT"});
}

TEST(BranchLock, ASecondWriterIsToldWhoHoldsTheLock)
{
    QTemporaryDir dir;
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        BranchLock lock(dir.path());
        if (!lock.Acquire(0))
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    const QString lockFile = dir.filePath(".qxpan.lock");
    for (int i = 0; i < 500 && QFileInfo(lockFile).size() == 0; ++i)
        ::usleep(10000);
    ASSERT_GT(QFileInfo(lockFile).size(), 0);
    BranchLock second(dir.path());
    const FileResult refused = second.Acquire(200);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.path, dir.path());
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("process %1").arg(holder)))
        << refused.reason.toStdString();

    // A holder that is gone (killed) holds nothing.
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(second.Acquire(2000));
}

} // namespace
