// Catches: a qxpan-cli picture output lost when its folder is read-only or full.

#include "CliProcess.h"
#include "ScratchMount.h"
#include "TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class CliNothingLost : public ::testing::TestWithParam<ScratchMount::Kind>
{};

TEST_P(CliNothingLost, DecodeIntoAnUnwritableFolderKeepsThePreviousPicture)
{
    ScratchMount mount(GetParam(), "size=1m");
    if (!mount.SkipReason().isEmpty())
        GTEST_SKIP() << mount.SkipReason().toStdString();
    const CliHome h;
    const QString screen = h.Path("FILE797P.TXT");
    ASSERT_TRUE(TestFiles::Write(screen, CliProcess::ScreenText(797, 0x00FF)));
    const QString out = mount.FilePath("screen.bmp");
    ASSERT_TRUE(TestFiles::Write(out, "the previous picture"));
    ASSERT_TRUE(mount.Seal());
    const CliProcess::Run run = h.Run({"decode", screen, out});
    ExpectOneLine(run, out, ": ");
    // The system's reason; read-only: a read-only tmpfs as root, a folder without write
    // permission otherwise.
    const QByteArray reason = GetParam() == ScratchMount::Kind::Full ? "No space left on device"
                                                                     : "Read-only file system";
    EXPECT_TRUE(run.err.contains(reason) || (GetParam() == ScratchMount::Kind::ReadOnly &&
                                             run.err.contains("Permission denied")))
        << run.err.constData();
    EXPECT_EQ(TestFiles::Read(out), "the previous picture");
    QStringList names = QDir(mount.Path()).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(".filler");
    EXPECT_EQ(names, QStringList{"screen.bmp"});
}

INSTANTIATE_TEST_SUITE_P(Folders, CliNothingLost,
                         ::testing::Values(ScratchMount::Kind::ReadOnly, ScratchMount::Kind::Full),
                         [](const ::testing::TestParamInfo<ScratchMount::Kind>& info) {
                             return info.param == ScratchMount::Kind::ReadOnly ? "ReadOnlyFolder"
                                                                               : "FullDisk";
                         });

} // namespace
