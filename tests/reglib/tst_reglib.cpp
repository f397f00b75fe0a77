// Catches: INI text misread, other lines touched, store fields lost or overwritten, a wrong demo.
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlIniFile.h"
#include "reglib/QxCtrlStore.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using TestFiles::Read;
using TestFiles::Write;
const DEFSCR_TYPE_SCRNO kPanel = DEFSCR_SCRNO_PANELEDITOR;

// Every test runs with a temporary home, so QStandardPaths never reaches the real user folders.
class ReglibTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
    }
    void TearDown() override
    {
        QStandardPaths::setTestModeEnabled(false);
        qputenv("HOME", m_oldHome);
    }
    QString storePath() const { return m_home.filePath(QStringLiteral("cfg/qxctrl.ini")); }
    QxCtrlStore writeStore(const QByteArray& ini)
    {
        QDir().mkpath(QFileInfo(storePath()).absolutePath());
        EXPECT_TRUE(Write(storePath(), ini));
        return QxCtrlStore(storePath());
    }
    // A store named on purpose has its demo branch beside it.
    QString appData() const { return QFileInfo(storePath()).absolutePath() + "/QXPan"; }

    QTemporaryDir m_home;
    const QByteArray m_oldHome = qgetenv("HOME");
};

// "branch/register" as the store gives them; both start out as "x" to show they are set.
QString BranchAndRegister(const QxCtrlStore& store)
{
    QString branch = QStringLiteral("x"), ecr = QStringLiteral("x");
    CDefScrInfo(store).GetCurrBrnAndECR(branch, ecr);
    return branch + QLatin1Char('/') + ecr;
}

// The data, work, program, placed-bitmap and background folders; "-unchanged" for one not given.
QString Folders(const QxCtrlStore& store)
{
    QStringList paths;
    for (DEFBS_TYPE_ENVSTR kind : {DEFBS_ENV_DATA, DEFBS_ENV_WORK, DEFBS_ENV_PROGRAM,
                                   DEFBS_ENV_PLACEDBMP, DEFBS_ENV_BACKGROUND}) {
        QString path = QStringLiteral("unchanged");
        paths << (CQxCtrlApi(store).GetActFolPath(kind, path) ? path : "-" + path);
    }
    return paths.join(QLatin1Char('|'));
}

// The register files of a branch: "number info1 info2 name info" each.
QStringList Files(const QxCtrlStore& store, int mode, const QString& branch)
{
    QList<_ECRFile_Information> files;
    CQxCtrlApi(store).GetECRFileList(mode, branch, files);
    QStringList out;
    for (const auto& f : files)
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(f.wFileNo)
                   .arg(f.dwInfo1)
                   .arg(f.dwInfo2)
                   .arg(f.strName, f.strInfo);
    return out;
}

_ScreenDefinition_InterfaceTable sampleTable(quint32 flags = 2)
{
    _ScreenDefinition_InterfaceTable t;
    t.dwMode = 0x102;
    t.dwReserved = 0xDEADBEEF;
    t.rcWindow = {-20, 5, 300, 200};
    t.arrItems1 = {{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xFF}, {}};
    t.arrItems2 = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    t.strMarker = QStringLiteral(" abc, V0101 "); // blanks at both ends are significant
    t.strProgramPath = QStringLiteral("/usr/bin/paint tool;x\\y");
    t.dwFlags = flags;
    return t;
}

// A hand-written store reads as meant, also after a table written into it reads back whole.
TEST_F(ReglibTest, ReadsHandWrittenStoreAndWrittenTable)
{
    const QxCtrlStore store =
        writeStore("; edited by hand\n"
                   "[General]\nBranch = Shop 1\nRegister=ECR-7\nExchangeFolder=xchg\n"
                   "[Branch.Shop%201]\nFolder14=/abs/data\nFolder12=work\nFolder10=/p\nFolder8=/b\n"
                   "Folder7=/g/\n"
                   "[Branch.Shop%201.File0798]\nName=Check Window 21\nWord1=7\nWord2=0x10\nInfo=x\n"
                   "[Branch.Shop%201.File796]\nName=Logo\n"
                   "[Branch.Other.File797]\nName=not this branch\n"
                   "[Register.ECR-7]\nCapabilities=0x8000000F\n"
                   "[Screen12]\nMode=258\nWindow=1 2  3,4\nItems1=000102030405060708090a0b, "
                   "FFFFFFFFFFFFFFFFFFFFFFFF\nMarker=\"x, V0101\"\n");
    ASSERT_NE(CDefScrInfo(store).SetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, sampleTable()), 0);
    _ScreenDefinition_InterfaceTable t, expected;
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, t), 0);
    EXPECT_EQ(t, sampleTable());
    EXPECT_EQ(BranchAndRegister(store), "Shop 1/ECR-7");
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, kPanel, t), 0);
    expected.dwMode = 0x102;
    expected.rcWindow = {1, 2, 3, 4};
    expected.arrItems1 = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {}};
    expected.arrItems1[1].fill(0xFF);
    expected.strMarker = QStringLiteral("x, V0101");
    EXPECT_EQ(t, expected);
    const QString storeDir = QFileInfo(storePath()).absolutePath();
    EXPECT_EQ(Folders(store), "/abs/data|" + storeDir + "/work|/p|/b|/g");
    EXPECT_EQ(CQxCtrlApi(store).ExchangeFolder(), storeDir + QStringLiteral("/xchg"));
    EXPECT_EQ(Files(store, 1, "Shop 1"),
              (QStringList{"796 0 0 Logo ", "798 7 16 Check Window 21 x"}));
    quint32 flags = 1;
    CDefBaseInfo(store).GetECRQX27Func(QStringLiteral("ECR-7"), flags);
    EXPECT_EQ(flags, 0x8000000Fu);
}

// A store that lacks a key or holds garbage in it makes the call fail and leaves the output alone;
// an unreadable one fails every call and is never rewritten.
TEST_F(ReglibTest, BrokenOrUnreadableStoreFailsAndIsLeftAlone)
{
    for (const char* ini : {"[Screen12]\nWindow=1,2,3,4\n", "[Screen12]\nMode=two\n",
                            "[Screen12]\nMode=0x100000000\n", "[Screen12]\nMode=2\nWindow=1,2,3\n",
                            "[Screen12]\nMode=2\nItems2=0011\n",
                            "[Screen12]\nMode=2\nItems1=00112233445566778899AAXX\n"}) {
        SCOPED_TRACE(ini);
        _ScreenDefinition_InterfaceTable t = sampleTable();
        EXPECT_EQ(CDefScrInfo(writeStore(ini)).GetScrIFTab(nullptr, kPanel, t), 0);
        EXPECT_EQ(t, sampleTable());
    }
    for (const char* ini : {"[General]\nBranch=A\n[Branch.B]\nFolder10=/p\n",
                            "[General]\nBranch=A\n[Branch.A]\nFolder10=  \n"}) {
        SCOPED_TRACE(ini);
        EXPECT_EQ(Folders(writeStore(ini)).section('|', 2, 2), "-unchanged");
    }
    const QByteArray garbled = "[General]\nBranch=A\n[Branch.A\nFolder10=/p\n[Screen12\nMode=2\n";
    const QxCtrlStore store = writeStore(garbled);
    EXPECT_EQ(BranchAndRegister(store), "/");
    _ScreenDefinition_InterfaceTable t = sampleTable();
    EXPECT_EQ(CDefScrInfo(store).GetScrIFTab(nullptr, kPanel, t), 0);
    EXPECT_EQ(Folders(store).section('|', 2, 2), "-unchanged");
    EXPECT_EQ(CDefScrInfo(store).SetScrIFTab(nullptr, kPanel, sampleTable()), 0);
    EXPECT_EQ(Read(storePath()), garbled);
}

// The demo branch made at the first start holds exactly the committed example files.
TEST_F(ReglibTest, EnsureExistsCreatesTheDemoBranch)
{
    const QxCtrlStore store(storePath()); // its folder does not exist yet
    const FileResult ready = store.EnsureExists();
    ASSERT_TRUE(ready) << qPrintable(ready.Text());
    EXPECT_EQ(BranchAndRegister(store), "DEMO/ECR-1");
    EXPECT_EQ(Files(store, 1, "DEMO"),
              (QStringList{"796 0 0 Screen Logo ", "797 0 0 Check Window 22 ",
                           "798 0 0 Check Window 21 ", "799 0 0 Check Window 23 "}));
    const QStringList folders = Folders(store).split(QLatin1Char('|'));
    ASSERT_EQ(folders.size(), 5);
    EXPECT_TRUE(QFileInfo(folders[1]).isDir()) << folders[1].toStdString();
    EXPECT_TRUE(QFileInfo(CQxCtrlApi(store).ExchangeFolder()).isDir());
    for (const auto& [i, sub] : {std::pair{0, "data"}, std::pair{2, "program"},
                                 std::pair{3, "bitmaps"}, std::pair{4, "backgrounds"}}) {
        const QDir example(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/") + sub);
        const QStringList names = example.entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(QDir(folders[i]).entryList(QDir::Files, QDir::Name), names) << sub;
        for (const QString& name : names) {
            const QString path = folders[i] + QLatin1Char('/') + name;
            EXPECT_EQ(Read(path), Read(example.filePath(name))) << name.toStdString();
            EXPECT_TRUE(QFileInfo(path).isWritable()) << path.toStdString(); // the user's to change
        }
    }
}

TEST_F(ReglibTest, EnsureExistsNeverOverwrites)
{
    // A user's file in a demo folder stays; so does an existing store, and then no branch is made.
    const QString data = appData() + QStringLiteral("/branches/DEMO/data");
    QDir().mkpath(data);
    ASSERT_TRUE(Write(data + QStringLiteral("/funckey.txt"), "mine\n"));
    ASSERT_TRUE(QxCtrlStore(storePath()).EnsureExists());
    EXPECT_EQ(Read(data + QStringLiteral("/funckey.txt")), QByteArray("mine\n"));
    QDir(appData()).removeRecursively();
    const QByteArray content = "[General]\nBranch=Mine\n";
    EXPECT_TRUE(writeStore(content).EnsureExists());
    EXPECT_EQ(Read(storePath()), content);
    EXPECT_FALSE(QFileInfo::exists(appData()));
}

// A file where the store's folder should be, and a folder where the store should be.
TEST_F(ReglibTest, EnsureExistsFailsWhereStoreCannotBeWritten)
{
    const QString file = m_home.filePath(QStringLiteral("file"));
    ASSERT_TRUE(Write(file, "not a folder") && QDir().mkpath(storePath()));
    for (const QString& path : {file + QStringLiteral("/qxctrl.ini"), storePath()}) {
        const FileResult ready = QxCtrlStore(path).EnsureExists();
        EXPECT_FALSE(ready || ready.reason.isEmpty()) << path.toStdString();
        EXPECT_EQ(ready.path, path);
    }
    EXPECT_EQ(Read(file), QByteArray("not a folder"));
}

// Each value line of key "Key" in [Section], and what the store means by it.
TEST(IniFile, ValuesReadAsTheStoreMeansThem)
{
    const std::pair<QByteArray, QVariant> cases[] = {
        {"  Key =  two words  ", QStringLiteral("two words")},
        {"Key=", QString()},
        {"Key=120, 80, 1020, 780", QStringList{"120", "80", "1020", "780"}},
        {"Key=\" bg, with blanks \"", QStringLiteral(" bg, with blanks ")},
        {"Key=a\\\\b\\\"c\\td\\x41\\101", QStringLiteral("a\\b\"c\tdAA")},
        {"Key=value ; what it is", QStringLiteral("value")},
        {"Key=\"a;b\"", QStringLiteral("a;b")},
        {"Key=first \\\nsecond", QStringLiteral("first second")},
        {"Key=\\x4a\\x4A\\x6f", QStringLiteral("JJo")},
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
