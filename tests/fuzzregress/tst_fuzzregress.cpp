// Every input under tests/data/fuzz-regressions/<target>/ goes through the reader of that fuzz
// target. It must keep every promise the fuzz harness checks, and where a file <input>.expected
// exists, give the result ("result N") and the messages ("message TEXT", in order) it lists.
#include "FuzzEnvironment.h"
#include "FuzzReaders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>

namespace {

using Reader = FuzzOutcome (*)(const std::uint8_t*, std::size_t);

const std::map<QString, Reader>& readers()
{
    static const std::map<QString, Reader> map = {
        {QStringLiteral("panel"), &FuzzReaders::Panel},
        {QStringLiteral("bitmaptable"), &FuzzReaders::BitmapTable},
        {QStringLiteral("screenimport"), &FuzzReaders::ScreenImport},
        {QStringLiteral("funckey"), &FuzzReaders::FuncKey},
        {QStringLiteral("freefunc"), &FuzzReaders::FreeFunc},
        {QStringLiteral("store"), &FuzzReaders::Store},
        {QStringLiteral("image"), &FuzzReaders::Image},
    };
    return map;
}

struct RegressionCase
{
    QString target;
    QString path;
};

void PrintTo(const RegressionCase& c, std::ostream* os)
{
    *os << qPrintable(c.path);
}

std::vector<RegressionCase> regressionCases()
{
    std::vector<RegressionCase> cases;
    const QDir root(QStringLiteral(QXPAN_TEST_DATA "/fuzz-regressions"));
    for (const QString& target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(root.filePath(target));
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
            if (file.suffix() != QLatin1String("expected"))
                cases.push_back({target, file.filePath()});
        }
    }
    return cases;
}

std::string caseName(const testing::TestParamInfo<RegressionCase>& info)
{
    std::string name =
        (info.param.target + QLatin1Char('_') + QFileInfo(info.param.path).fileName())
            .toStdString();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

class FuzzRegression : public testing::TestWithParam<RegressionCase>
{
protected:
    static void SetUpTestSuite() { FuzzEnvironment::Init(); }
};

TEST_P(FuzzRegression, ReaderKeepsItsPromises)
{
    const RegressionCase& c = GetParam();
    const auto reader = readers().find(c.target);
    ASSERT_NE(reader, readers().end()) << "no reader for folder " << qPrintable(c.target);
    QFile file(c.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();

    const FuzzOutcome outcome = reader->second(
        reinterpret_cast<const std::uint8_t*>(input.constData()), std::size_t(input.size()));
    EXPECT_TRUE(outcome.problems.isEmpty())
        << qPrintable(outcome.problems.join(QStringLiteral("; ")));

    QFile expectedFile(c.path + QStringLiteral(".expected"));
    if (!expectedFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return; // nothing is asked of this input beyond keeping the promises
    QStringList expectedMessages;
    bool haveResult = false;
    int expectedResult = 0;
    for (const QByteArray& raw : expectedFile.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("result "))) {
            haveResult = true;
            expectedResult = line.mid(7).toInt();
        } else if (line.startsWith(QLatin1String("message "))) {
            expectedMessages.append(line.mid(8));
        }
    }
    ASSERT_TRUE(haveResult) << "expected file without a result line";
    EXPECT_EQ(outcome.nResult, expectedResult);
    EXPECT_EQ(outcome.messages, expectedMessages);
}

INSTANTIATE_TEST_SUITE_P(Found, FuzzRegression, testing::ValuesIn(regressionCases()), caseName);

} // namespace
