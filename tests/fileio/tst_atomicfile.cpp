// Catches: a half or lost file after a kill, failed write or race; writes through links; leftovers.
#include "OddFiles.h"
#include "TestFiles.h"

#include "fileio/AtomicFile.h"
#include "fileio/FaultPoint.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sys/wait.h>
#include <thread>

namespace {

using TestFiles::Mode;
using TestFiles::Read;
using TestFiles::Write;

const QByteArray kOld = "the old file\n";
const QByteArray kNew = QByteArray("the new file, longer than the old one\n").repeated(1000);

TEST(AtomicFile, WritesWithTheUsualModeKeepsAModeFollowsALinkOnlyWhenAsked)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.txt");
    const mode_t mask = ::umask(022);
    const FileResult result = AtomicFile::Write(path, kNew);
    ::umask(mask);
    ASSERT_TRUE(result) << result.Text().toStdString();
    EXPECT_EQ(Mode(path) & 0777, 0644u);
    ASSERT_TRUE(Write(path, kOld) && ::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    ASSERT_TRUE(AtomicFile::Write(path, kNew));
    EXPECT_EQ(Read(path), kNew);
    EXPECT_EQ(Mode(path) & 07777, 0640u);
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(Write(path, kOld) && QFile::link(path, link));
    ASSERT_TRUE(AtomicFile::Write(link, kNew, AtomicFile::Links::Follow));
    EXPECT_EQ(Read(path), kNew);
    EXPECT_TRUE(S_ISLNK(Mode(link)));
    EXPECT_EQ(FolderNames(dir.path()), (QStringList{"kept.txt", "link.txt"}));
}

// What may not be replaced stays exactly as it was, and the reason is told.
TEST(AtomicFile, RefusesWhatMayNotBeReplaced)
{
    for (const auto& [kind, reason] : {std::pair{"ReadOnlyFile", "is read-only"},
                                       {"LinkToAFile", "is a symbolic link"},
                                       {"Folder", "is not a regular file"},
                                       {"Device", "is not a regular file"}}) {
        SCOPED_TRACE(kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("target");
        ASSERT_TRUE(Write(dir.filePath("elsewhere"), kOld));
        if (!MakeOddFile(kind, dir, path))
            continue; // this machine cannot make it
        const mode_t mode = Mode(path);
        const QStringList before = FolderNames(dir.path());
        const FileResult result = AtomicFile::Write(path, kNew);
        EXPECT_TRUE(!result && result.path == path && result.reason.contains(reason))
            << result.Text().toStdString();
        EXPECT_EQ(Mode(path), mode);
        EXPECT_EQ(FolderNames(dir.path()), before);
        EXPECT_EQ(Read(dir.filePath("elsewhere")), kOld); // never written through a link
    }
}

// At each step: a failure keeps the old file, names file and reason and leaves nothing. A writer
// stopped there leaves the old or the whole new file; its temporary stays while it runs and goes
// on the next run after a kill. Temporaries of this process and unrelated names always stay.
TEST(AtomicFile, AFailureOrAKillAtAnyStepKeepsTheOldOrTheWholeNewFile)
{
    for (const FaultStep step :
         {FaultStep::TemporaryCreated, FaultStep::Writing, FaultStep::BytesWritten,
          FaultStep::Syncing, FaultStep::Synced, FaultStep::Renamed}) {
        SCOPED_TRACE(int(step));
        QTemporaryDir dir;
        const QString path = dir.filePath("FILE797P.TXT");
        ASSERT_TRUE(Write(path, kOld));
        if (step != FaultStep::Renamed) {
            g_qxpanFaultHook = [step](FaultStep now) {
                return now == step ? EIO : 0;
            };
            const FileResult result = AtomicFile::Write(path, kNew);
            g_qxpanFaultHook = nullptr;
            EXPECT_TRUE(!result && result.path == path && result.reason == qt_error_string(EIO));
            EXPECT_EQ(Read(path), kOld);
            EXPECT_EQ(FolderNames(dir.path()), QStringList{"FILE797P.TXT"});
        }
        if (step == FaultStep::Writing) { // each write call takes half of what it is asked
            int writes = 0;
            g_qxpanFaultHook = [&writes](FaultStep now) {
                return now == FaultStep::Writing && ++writes ? -1 : 0;
            };
            EXPECT_TRUE(AtomicFile::Write(path, kNew) && Read(path) == kNew && writes > 10);
            g_qxpanFaultHook = nullptr;
            ASSERT_TRUE(Write(path, kOld));
        }
        const QStringList kept{QStringLiteral(".a.txt.qxpan-%1-AbCdEf").arg(::getpid()),
                               ".c.txt.qxpan-notapid-AbCdEf", "FILE797P.TXT"};
        ASSERT_TRUE(Write(dir.filePath(kept[0]), "x") && Write(dir.filePath(kept[1]), "x"));
        int reached[2];
        ASSERT_EQ(::pipe(reached), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            g_qxpanFaultHook = [step, &reached](FaultStep now) {
                if (now == step && ::write(reached[1], "!", 1) == 1)
                    ::pause(); // until killed: no clean-up of any kind
                return 0;
            };
            AtomicFile::Write(path, kNew);
            ::_exit(1);
        }
        ::close(reached[1]);
        char byte = 0;
        ASSERT_EQ(::read(reached[0], &byte, 1), 1) << "the step was not reached";
        ::close(reached[0]);
        EXPECT_TRUE(Read(path) == (step == FaultStep::Renamed ? kNew : kOld));
        AtomicFile::RemoveLeftovers(dir.path());
        EXPECT_EQ(FolderNames(dir.path()).size(), step == FaultStep::Renamed ? 3 : 4);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        AtomicFile::RemoveLeftovers(dir.path());
        EXPECT_EQ(FolderNames(dir.path()), kept);
    }
}

TEST(AtomicFile, TwoWritersAtOnceNeverLeaveAHalfFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("FILE795P.TXT");
    ASSERT_TRUE(Write(path, kOld));
    std::atomic<bool> done{false};
    std::atomic<int> failed{0}; // writes that failed, and reads of neither file
    const auto writer = [&](const QByteArray& bytes) {
        for (int round = 0; round < 200; ++round)
            failed += AtomicFile::Write(path, bytes) ? 0 : 1;
    };
    std::thread reader([&] {
        while (!done) {
            const QByteArray now = Read(path);
            failed += now != kOld && now != kNew ? 1 : 0;
        }
    });
    std::thread a(writer, kOld), b(writer, kNew);
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(FolderNames(dir.path()), QStringList{"FILE795P.TXT"});
}

} // namespace
