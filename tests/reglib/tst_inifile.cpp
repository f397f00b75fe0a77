// Catches: INI text read unlike the store means it, bad lines not named, edits touching others.
#include "reglib/QxCtrlIniFile.h"

#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Each value line of key "Key" in [Section], and what the store means by it.
TEST(IniFile, ValuesReadAsTheStoreMeansThem)
{
    const std::pair<QByteArray, QVariant> cases[] = {
        {"Key=value", QStringLiteral("value")},
        {"  Key =  two words  ", QStringLiteral("two words")},
        {"Key=", QString()},
        {"Key=120, 80, 1020, 780", QStringList{"120", "80", "1020", "780"}},
        {"Key=\" bg, with blanks \"", QStringLiteral(" bg, with blanks ")},
        {"Key=a\\\\b\\\"c\\td\\x41\\101", QStringLiteral("a\\b\"c\tdAA")},
        {"Key=value ; what it is", QStringLiteral("value")},
        {"Key=\"a;b\"", QStringLiteral("a;b")},
        {"Key=first \\\nsecond", QStringLiteral("first second")},
        {"Key=first \\\r\nsecond", QStringLiteral("first second")},
        {"Key=\\x4a\\x4A\\x6f", QStringLiteral("JJo")},
        {"Key=\"one\ntwo\"", QStringLiteral("one\ntwo")},
        {"Key=@String(@home)", QStringLiteral("@home")},
        {"Key=Caf\xC3\xA9", QStringLiteral("Caf\u00E9")}};
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line.toStdString());
        QString error;
        const auto file = QxCtrlIniFile::Parse("[Section]\n" + line + "\nNext=1\n", &error);
        ASSERT_TRUE(file) << error.toStdString();
        EXPECT_EQ(file->Value("Section", "Key"), expected);
        EXPECT_EQ(file->Value("Section", "Next"), QStringLiteral("1"));
    }
}

TEST(IniFile, NamesAreUnescapedAndGeneralIsTheTopLevel)
{
    const auto file = QxCtrlIniFile::Parse("\xEF\xBB\xBFTop=1\n[General]\nBranch=Shop 1\n"
                                           "[Branch.Shop%201]\nKey%2FSlash=x\n[%U00E9t%E9]\nK=v\n"
                                           "[%General]\nK=w\n[Shop%]\nK=x\r",
                                           nullptr); // a lone CR at the very end ends the line
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Sections(),
              (QStringList{"", "Branch.Shop 1", "\u00E9t\u00E9", "General", "Shop%"}));
    EXPECT_EQ(file->Value(QString(), "Top"), QStringLiteral("1"));
    EXPECT_EQ(file->Value(QString(), "Branch"), QStringLiteral("Shop 1"));
    EXPECT_EQ(file->Keys("Branch.Shop 1"), QStringList{"Key/Slash"});
    EXPECT_EQ(file->Value("\u00E9t\u00E9", "K"), QStringLiteral("v"));
    EXPECT_EQ(file->Value("Shop%", "K"), QStringLiteral("x"));
}

TEST(IniFile, ALineThatIsNoIniLineIsNamedByItsNumber)
{
    for (const auto& [text, message] :
         {std::pair{QByteArray("[General]\nBranch=A\n\n[Branch.A\nFolder10=/p\n"),
                    "line 4: a section name without its closing ]"},
          std::pair{QByteArray("; comment\n[Screen12]\nMode=2\nM\n"),
                    "line 4: neither a [section], a key=value nor a ; comment"},
          std::pair{QByteArray("[S]\nK=\"two\nlines\"\n=value\n"), "line 4: a value without a key"},
          std::pair{QByteArray("[S]\r\nK=joined \\\r\nline\r\nbad\r\n"),
                    "line 4: neither a [section], a key=value nor a ; comment"}}) {
        QString error;
        EXPECT_FALSE(QxCtrlIniFile::Parse(text, &error));
        EXPECT_EQ(error, QLatin1String(message));
    }
    // A store is read whole, so one that grew without bound is refused rather than read.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qxctrl.ini"));
    const QByteArray text = "[General]\nBranch=A\n;" + QByteArray(QxCtrlIniFile::kMaxBytes, 'x');
    ASSERT_TRUE(TestFiles::Write(path, text.left(QxCtrlIniFile::kMaxBytes)));
    EXPECT_TRUE(QxCtrlIniFile::Load(path, nullptr));
    ASSERT_TRUE(TestFiles::Write(path, text.left(QxCtrlIniFile::kMaxBytes + 1)));
    EXPECT_FALSE(QxCtrlIniFile::Load(path, nullptr));
}

TEST(IniFile, AChangeTouchesItsOwnLineOnly)
{
    const QByteArray before = "; the branch software's store\r\n[General]\r\nBranch=Shop%201\r\n"
                              "Register=\"ECR, 7\"  ; quoted\r\n\r\n[Screen12]\r\nMode=0x2\r\n"
                              "Window=1, 2, 3, 4\r\n\r\n[Branch.Shop%201]\r\n"
                              "Key%2FSlash=\\\\server\\\\share \xFF\r\n";
    auto file = QxCtrlIniFile::Parse(before, nullptr);
    ASSERT_TRUE(file);
    file->SetValue("Screen12", "Window", QStringList{"10", "20", "830", "640"});
    file->SetValue("Screen12", "Marker", QStringLiteral("V0101, again"));
    file->SetValue("Screen4", "Mode", QStringLiteral("0x2"));
    QByteArray expected = before;
    expected.replace("Window=1, 2, 3, 4\r\n",
                     "Window=10, 20, 830, 640\r\nMarker=\"V0101, again\"\r\n");
    expected += "\r\n[Screen4]\r\nMode=0x2\r\n";
    EXPECT_EQ(file->Text(), expected);
    EXPECT_EQ(file->Value("Screen12", "Marker"), QStringLiteral("V0101, again"));
}

} // namespace
