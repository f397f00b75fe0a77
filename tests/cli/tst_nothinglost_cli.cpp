// Catches: a qxpan-cli picture output lost when its folder is read-only or full.

#include "CliProcess.h"
#include "ScratchMount.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliNothingLost : public ::testing::TestWithParam<ScratchMount::Kind>
{};

TEST_P(CliNothingLost, DecodeIntoAnUnwritableFolderKeepsThePreviousPicture)
{
    ScratchMount mount(GetParam(), "size=1m");
    if (!mount.SkipReason().isEmpty())
        GTEST_SKIP() << mount.SkipReason().toStdString();
    QTemporaryDir home;
    QByteArray text = "\"C\",\"n:P0797:\"\r\n\"h\"\r\n\"f\"\r\n";
    const QByteArray stream =
        QByteArray("0000180010000000000004000300080000FF").leftJustified(9833 * 320, '0');
    for (int r = 0; r < 9833; ++r)
        text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                stream.mid(qsizetype(r) * 320, 320) + "\"\r\n";
    const QString screen = home.filePath("FILE797P.TXT");
    QFile file(screen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
    file.close();
    const QString out = mount.FilePath("screen.bmp");
    QFile previous(out);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    ASSERT_EQ(previous.write("the previous picture"), 20);
    previous.close();
    ASSERT_TRUE(mount.Seal());

    const CliProcess::Run run =
        CliProcess::Start({"decode", screen, out}, CliProcess::IsolatedHome(home), home.path());

    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    // One line naming the file and the system's reason.
    EXPECT_TRUE(run.err.contains(QFile::encodeName(out) + ": ")) << run.err.constData();
    if (GetParam() == ScratchMount::Kind::Full)
        EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.constData();
    else // a read-only tmpfs as root, a folder without write permission otherwise
        EXPECT_TRUE(run.err.contains("Read-only file system") ||
                    run.err.contains("Permission denied"))
            << run.err.constData();
    QFile kept(out);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the previous picture");
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
