// Catches: qxpan-cli taking a file name with dashes, blanks, quotes or non-ASCII as something else.

#include "CliProcess.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// The design is copied to a file name in the working folder and named on the command line.
TEST(CliFileNames, ConvertReadsDesignsWithOddNamesAndRefusesALeadingDash)
{
    const QString odd = QStringLiteral("my \"new\" d\u00E9sign's.pan"); // blanks, quotes, umlauts
    for (const auto& [fileName, given] :
         {std::pair{QStringLiteral("-x.pan"), QStringList{"--", "-x.pan"}},
          std::pair{QStringLiteral("-x.pan"), QStringList{"./-x.pan"}},
          std::pair{QStringLiteral("-reverse"), QStringList{"--", "-reverse"}}, // Qt's options
          std::pair{QStringLiteral("-plugin"), QStringList{"--", "-plugin"}},
          std::pair{QStringLiteral("--type"), QStringList{"--", "--type"}}, // one of ours
          std::pair{odd, QStringList{odd}}}) {
        SCOPED_TRACE(given.join(' ').toStdString());
        const CliHome h;
        const QString work = h.Path("work dir");
        ASSERT_TRUE(QDir().mkpath(work));
        ASSERT_TRUE(QFile::copy(h.design, QDir(work).filePath(fileName)));
        const CliProcess::Run run = CliProcess::Start(
            QStringList{"convert", "--type", "797", "--config", h.config} + given, h.env, work);
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        // Read as a design: the one bitmap of it that the branch lacks is reported by name.
        EXPECT_TRUE(run.err.contains("missing.bmp")) << run.err.constData();
        EXPECT_TRUE(run.out.contains("/FILE797P.TXT")) << run.out.constData();
    }
    // Without "--" a leading dash makes an option, here an unknown one.
    const CliHome h;
    const CliProcess::Run run = h.Run({"convert", "-x.pan", "--type", "797", "--config", h.config});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("unknown option -x.pan")) << run.err.constData();
}

TEST(CliFileNames, DecodeWritesAPictureNamedLikeAnOption)
{
    const CliHome h;
    ASSERT_TRUE(TestFiles::Write(h.Path("-platform"), CliProcess::ScreenText(797, 0)));
    const CliProcess::Run run = h.Run({"decode", "--", "-platform", "-reverse.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_GT(QFileInfo(h.Path("-reverse.png")).size(), 0);
}

} // namespace
