// Catches: qxpan-cli taking a file name with dashes, blanks, quotes or non-ASCII as something else.

#include "CliProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ConvertCase
{
    const char* name;
    QString fileName;  // the design is copied to this name in the working folder
    QStringList given; // how it is named on the command line
};

class CliFileNames : public ::testing::TestWithParam<ConvertCase>
{};

TEST_P(CliFileNames, ConvertReadsTheDesignUnderItsName)
{
    const ConvertCase& c = GetParam();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString work = home.filePath("work dir");
    ASSERT_TRUE(QDir().mkpath(work));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QXPAN_TEST_DATA "/cli-convert/design.pan"),
                            QDir(work).filePath(c.fileName)));
    const QString config = home.filePath("qxctrl.ini");

    QStringList args{"convert", "--type", "797", "--config", config};
    args += c.given;
    const CliProcess::Run run = CliProcess::Start(args, CliProcess::IsolatedHome(home), work);

    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    // Read as a design: the one bitmap of it that the branch lacks is reported by name.
    EXPECT_TRUE(run.err.contains("missing.bmp")) << run.err.constData();
    EXPECT_TRUE(run.out.contains("/FILE797P.TXT")) << run.out.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Names, CliFileNames,
    ::testing::Values(ConvertCase{"DashAfterDoubleDash", "-x.pan", {"--", "-x.pan"}},
                      ConvertCase{"DashAsDotSlash", "-x.pan", {"./-x.pan"}},
                      ConvertCase{"QtOptionNameAfterDoubleDash", "-reverse", {"--", "-reverse"}},
                      ConvertCase{"QtOptionWithValueAfterDoubleDash", "-plugin", {"--", "-plugin"}},
                      ConvertCase{"OptionLookalike", "--type", {"--", "--type"}},
                      ConvertCase{"BlanksQuotesUmlauts",
                                  "my \"new\" d\u00E9sign's.pan",
                                  {"my \"new\" d\u00E9sign's.pan"}}),
    [](const ::testing::TestParamInfo<ConvertCase>& info) { return info.param.name; });

TEST(CliFileNames, ALeadingDashWithoutDoubleDashIsAnUnknownOption)
{
    QTemporaryDir home;
    const CliProcess::Run run = CliProcess::Start(
        {"convert", "-x.pan", "--type", "797", "--config", home.filePath("qxctrl.ini")},
        CliProcess::IsolatedHome(home), home.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("unknown option -x.pan")) << run.err.constData();
}

TEST(CliFileNames, DecodeWritesAPictureNamedLikeAnOption)
{
    QTemporaryDir home;
    const QString work = home.filePath("w");
    ASSERT_TRUE(QDir().mkpath(work));
    QByteArray text = "\"C\",\"n:P0797:\"\r\n\"h\"\r\n\"f\"\r\n";
    const QByteArray stream =
        QByteArray("00001800100000000000040003000800").leftJustified(9833 * 320, '0');
    for (int r = 0; r < 9833; ++r)
        text += QByteArray::number(r + 1).rightJustified(6, '0') + ",\"" +
                stream.mid(qsizetype(r) * 320, 320) + "\"\r\n";
    QFile screen(QDir(work).filePath("-platform"));
    ASSERT_TRUE(screen.open(QIODevice::WriteOnly));
    ASSERT_EQ(screen.write(text), text.size());
    screen.close();

    const CliProcess::Run run = CliProcess::Start({"decode", "--", "-platform", "-reverse.png"},
                                                  CliProcess::IsolatedHome(home), work);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(QFileInfo(QDir(work).filePath("-reverse.png")).size() > 0);
}

} // namespace
