#include "uikit/QtUserInteraction.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ExecCase
{
    const char* exec;
    QStringList expected;
};

void PrintTo(const ExecCase& c, std::ostream* os)
{
    *os << '"' << c.exec << '"';
}

class DesktopExec : public ::testing::TestWithParam<ExecCase>
{};

TEST_P(DesktopExec, FillsInTheFileAsOneArgument)
{
    EXPECT_EQ(QtUserInteraction::ExpandDesktopExec(QString::fromLatin1(GetParam().exec),
                                                   QStringLiteral("/tmp/my pics/key 1.bmp")),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DesktopExec,
    ::testing::Values(
        ExecCase{"paint %f", {"paint", "/tmp/my pics/key 1.bmp"}},
        ExecCase{"paint --new-window %F", {"paint", "--new-window", "/tmp/my pics/key 1.bmp"}},
        ExecCase{"viewer %U", {"viewer", "file:///tmp/my pics/key 1.bmp"}},
        ExecCase{"\"/opt/my editor/edit\" %i %c %k %u",
                 {"/opt/my editor/edit", "file:///tmp/my pics/key 1.bmp"}},
        ExecCase{"zoom --scale=100%% %f", {"zoom", "--scale=100%", "/tmp/my pics/key 1.bmp"}},
        ExecCase{"plainviewer", {"plainviewer", "/tmp/my pics/key 1.bmp"}}, ExecCase{"", {}}));

TEST(QtUserInteraction, StartAndWaitReportsTheExitCode)
{
    QtUserInteraction ui;
    const auto run = ui.StartAndWait(QStringLiteral("sh"), {"-c", "exit 3"});
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 3);
}

TEST(QtUserInteraction, ArgumentsReachTheProgramUnchangedWithoutAShell)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("a b;$(touch x)"));
    QtUserInteraction ui;
    const auto run = ui.StartAndWait(QStringLiteral("touch"), {marker});
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x"))));
}

TEST(QtUserInteraction, MissingProgramIsNotStarted)
{
    QtUserInteraction ui;
    EXPECT_FALSE(ui.StartAndWait(QStringLiteral("qxpan-no-such-program"), {}).started);
    EXPECT_FALSE(ui.StartDetached(QStringLiteral("qxpan-no-such-program"), {}));
}

} // namespace
