// Catches: store fields lost or misread, an unreadable store overwritten, a bad first start.
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlStore.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using TestFiles::Read;
using TestFiles::Write;

// Every test runs with a temporary home, so QStandardPaths never reaches the real user folders.
class ReglibTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_oldHome = qgetenv("HOME");
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

    QTemporaryDir m_home;
    QByteArray m_oldHome;
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

} // namespace

TEST_F(ReglibTest, TableRoundTripKeepsEveryField)
{
    const QxCtrlStore store = writeStore("[General]\nBranch=B1\nRegister=R\n");
    // The screen number as flags tells the two tables apart.
    for (DEFSCR_TYPE_SCRNO no : {DEFSCR_SCRNO_PANELEDITOR, DEFSCR_SCRNO_BMPEDITOR})
        ASSERT_NE(CDefScrInfo(store).SetScrIFTab(nullptr, no, sampleTable(quint32(no))), 0);
    for (DEFSCR_TYPE_SCRNO no : {DEFSCR_SCRNO_PANELEDITOR, DEFSCR_SCRNO_BMPEDITOR}) {
        _ScreenDefinition_InterfaceTable read;
        ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, no, read), 0);
        EXPECT_EQ(read, sampleTable(quint32(no))) << "screen " << int(no);
    }
    // Writing a table leaves the rest of the store alone.
    EXPECT_EQ(BranchAndRegister(store), "B1/R");
}

TEST_F(ReglibTest, ReadsHandWrittenStore)
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
    const QString branch = QStringLiteral("Shop 1"), ecr = QStringLiteral("ECR-7");
    EXPECT_EQ(BranchAndRegister(store), "Shop 1/ECR-7");
    _ScreenDefinition_InterfaceTable t;
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t), 0);
    _ScreenDefinition_InterfaceTable expected;
    expected.dwMode = 0x102;
    expected.rcWindow = {1, 2, 3, 4};
    expected.arrItems1 = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {}};
    expected.arrItems1[1].fill(0xFF);
    expected.strMarker = QStringLiteral("x, V0101");
    EXPECT_EQ(t, expected);
    const QString storeDir = QFileInfo(storePath()).absolutePath();
    EXPECT_EQ(Folders(store), "/abs/data|" + storeDir + "/work|/p|/b|/g");
    EXPECT_EQ(CQxCtrlApi(store).ExchangeFolder(), storeDir + QStringLiteral("/xchg"));
    QList<_ECRFile_Information> files;
    CQxCtrlApi(store).GetECRFileList(1, branch, files);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].wFileNo, 796);
    EXPECT_EQ(files[0].strName, QStringLiteral("Logo"));
    EXPECT_EQ(files[1], (_ECRFile_Information{798, 7, 16, QStringLiteral("Check Window 21"),
                                              QStringLiteral("x")}));
    CQxCtrlApi(store).GetECRFileList(2, branch, files);
    EXPECT_TRUE(files.isEmpty());
    quint32 flags = 1;
    CDefBaseInfo(store).GetECRQX27Func(ecr, flags);
    EXPECT_EQ(flags, 0x8000000Fu);
    CDefBaseInfo(store).GetECRQX27Func(QStringLiteral("ECR-unknown"), flags);
    EXPECT_EQ(flags, 0u);
}

// A store that lacks a key or holds garbage in it makes the call fail and leaves the output alone.
TEST_F(ReglibTest, BrokenStoreEntriesFailAndLeaveTheOutputAlone)
{
    for (const char* ini :
         {"[Screen4]\nMode=2\n", "[Screen12]\nWindow=1,2,3,4\n", "[Screen12]\nMode=two\n",
          "[Screen12]\nMode=0x100000000\n", "[Screen12]\nMode=2\nWindow=1,2,3\n",
          "[Screen12]\nMode=2\nItems2=0011\n",
          "[Screen12]\nMode=2\nItems1=00112233445566778899AAXX\n"}) {
        SCOPED_TRACE(ini);
        const QxCtrlStore store = writeStore(QByteArray(ini));
        _ScreenDefinition_InterfaceTable t = sampleTable();
        EXPECT_EQ(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t), 0);
        EXPECT_EQ(t, sampleTable());
    }
    for (const char* ini :
         {"[Branch.]\nFolder10=/p\n", "[General]\nBranch=A\n[Branch.A]\nFolder12=/w\n",
          "[General]\nBranch=A\n[Branch.B]\nFolder10=/p\n",
          "[General]\nBranch=A\n[Branch.A]\nFolder10=  \n"}) {
        SCOPED_TRACE(ini);
        EXPECT_EQ(Folders(writeStore(QByteArray(ini))).section('|', 2, 2), "-unchanged");
    }
}

TEST_F(ReglibTest, UnreadableStoreFailsEverythingAndIsNotOverwritten)
{
    const QByteArray garbled = "[General]\nBranch=A\n[Branch.A\nFolder10=/p\n[Screen12\nMode=2\n";
    const QxCtrlStore store = writeStore(garbled);
    EXPECT_EQ(BranchAndRegister(store), "/");
    _ScreenDefinition_InterfaceTable t = sampleTable();
    EXPECT_EQ(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t), 0);
    EXPECT_EQ(Folders(store).section('|', 2, 2), "-unchanged");
    EXPECT_EQ(CDefScrInfo(store).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, sampleTable()), 0);
    EXPECT_EQ(Read(storePath()), garbled);
}

TEST_F(ReglibTest, ResolvePathOrder)
{
    const QByteArray old = qgetenv("QXPAN_CONFIG");
    qputenv("QXPAN_CONFIG", "/env/store.ini");
    EXPECT_EQ(QxCtrlStore::ResolvePath(QStringLiteral("/opt/x.ini")), QStringLiteral("/opt/x.ini"));
    EXPECT_EQ(QxCtrlStore::ResolvePath(QString()), QStringLiteral("/env/store.ini"));
    qunsetenv("QXPAN_CONFIG");
    EXPECT_EQ(QxCtrlStore::ResolvePath(QString()),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/qxctrl.ini"));
    EXPECT_TRUE(QxCtrlStore::ResolvePath(QString()).startsWith(m_home.path()));
    if (!old.isNull())
        qputenv("QXPAN_CONFIG", old);
}

TEST_F(ReglibTest, EnsureExistsCreatesDemoBranch)
{
    const QxCtrlStore store(storePath()); // its folder does not exist yet
    const FileResult ready = store.EnsureExists();
    ASSERT_TRUE(ready) << qPrintable(ready.Text());
    EXPECT_EQ(BranchAndRegister(store), "DEMO/ECR-1");
    _ScreenDefinition_InterfaceTable t12 = sampleTable(), t4 = sampleTable();
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t12), 0);
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, t4), 0);
    _ScreenDefinition_InterfaceTable expected12;
    expected12.dwMode = 2;
    EXPECT_EQ(t12, expected12);
    EXPECT_EQ(t4, _ScreenDefinition_InterfaceTable{});
    QList<_ECRFile_Information> files;
    CQxCtrlApi(store).GetECRFileList(1, QStringLiteral("DEMO"), files);
    QStringList names;
    for (const auto& f : files)
        names << QStringLiteral("%1 - %2").arg(f.wFileNo).arg(f.strName);
    EXPECT_EQ(names, (QStringList{"796 - Screen Logo", "797 - Check Window 22",
                                  "798 - Check Window 21", "799 - Check Window 23"}));
    const QString root = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                         QStringLiteral("/branches/DEMO");
    ASSERT_TRUE(root.startsWith(m_home.path()));
    const QStringList folders = Folders(store).split(QLatin1Char('|'));
    ASSERT_EQ(folders.size(), 5);
    for (const QString& folder : folders)
        EXPECT_TRUE(folder.startsWith(root)) << folder.toStdString();
    EXPECT_TRUE(QFileInfo(folders[1]).isDir()) << folders[1].toStdString();
    // The embedded demo branch holds exactly the committed example files.
    for (const auto& [i, sub] : {std::pair{0, "data"}, std::pair{2, "program"},
                                 std::pair{3, "bitmaps"}, std::pair{4, "backgrounds"}}) {
        const QDir example(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/") +
                           QLatin1String(sub));
        const QStringList names = example.entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(QDir(folders[i]).entryList(QDir::Files, QDir::Name), names) << sub;
        for (const QString& name : names)
            EXPECT_EQ(Read(folders[i] + QLatin1Char('/') + name), Read(example.filePath(name)))
                << name.toStdString();
    }
    // Copied files are the user's to change.
    EXPECT_TRUE(QFileInfo(folders[0] + QStringLiteral("/funckey.txt")).isWritable());
    EXPECT_TRUE(QFileInfo(CQxCtrlApi(store).ExchangeFolder()).isDir());
}

TEST_F(ReglibTest, EnsureExistsNeverOverwrites)
{
    // A user's file in a demo folder stays; so does an existing store, and then no branch is made.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                         QStringLiteral("/branches/DEMO/data");
    QDir().mkpath(data);
    ASSERT_TRUE(Write(data + QStringLiteral("/funckey.txt"), "mine\n"));
    ASSERT_TRUE(QxCtrlStore(storePath()).EnsureExists());
    EXPECT_EQ(Read(data + QStringLiteral("/funckey.txt")), QByteArray("mine\n"));
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    const QByteArray content = "[General]\nBranch=Mine\n";
    EXPECT_TRUE(writeStore(content).EnsureExists());
    EXPECT_EQ(Read(storePath()), content);
    EXPECT_FALSE(
        QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
}

TEST_F(ReglibTest, EnsureExistsFailsWhereStoreCannotBeWritten)
{
    // Root ignores folder permissions, so there a file standing where the folder should be
    // takes the place of the read-only folder.
    const QString folder = m_home.filePath(QStringLiteral("locked"));
    if (geteuid() == 0) {
        ASSERT_TRUE(Write(folder, "not a folder"));
    } else {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    QDir().mkpath(storePath()); // a folder where the store should be
    for (const QString& path : {folder + QStringLiteral("/qxctrl.ini"), storePath()}) {
        const FileResult ready = QxCtrlStore(path).EnsureExists();
        EXPECT_FALSE(ready) << path.toStdString();
        EXPECT_EQ(ready.path, path);
        EXPECT_FALSE(ready.reason.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/qxctrl.ini")));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
