// Catches: store fields lost or misread, an unreadable store overwritten, a bad first start.
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

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
        writeAll(storePath(), ini);
        return QxCtrlStore(storePath());
    }

    QTemporaryDir m_home;
    QByteArray m_oldHome;
};

_ScreenDefinition_InterfaceTable sampleTable()
{
    _ScreenDefinition_InterfaceTable t;
    t.dwMode = 0x102;
    t.dwReserved = 0xDEADBEEF;
    t.rcWindow = {-20, 5, 300, 200};
    t.arrItems1 = {{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xFF}, {}};
    t.arrItems2 = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    t.strMarker = QStringLiteral(" abc, V0101 "); // blanks at both ends are significant
    t.strProgramPath = QStringLiteral("/usr/bin/paint tool;x\\y");
    t.dwFlags = 2;
    return t;
}

} // namespace

TEST_F(ReglibTest, TableRoundTripKeepsEveryField)
{
    const QxCtrlStore store = writeStore("[General]\nBranch=B1\nRegister=R\n");
    for (DEFSCR_TYPE_SCRNO no : {DEFSCR_SCRNO_PANELEDITOR, DEFSCR_SCRNO_BMPEDITOR}) {
        _ScreenDefinition_InterfaceTable written = sampleTable();
        written.dwFlags = quint32(no); // tell the two tables apart
        ASSERT_NE(CDefScrInfo(store).SetScrIFTab(nullptr, no, written), 0);
    }
    for (DEFSCR_TYPE_SCRNO no : {DEFSCR_SCRNO_PANELEDITOR, DEFSCR_SCRNO_BMPEDITOR}) {
        _ScreenDefinition_InterfaceTable expected = sampleTable();
        expected.dwFlags = quint32(no);
        _ScreenDefinition_InterfaceTable read;
        ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, no, read), 0);
        EXPECT_EQ(read, expected) << "screen " << int(no);
    }
    // Writing a table leaves the rest of the store alone.
    QString branch, ecr;
    CDefScrInfo(store).GetCurrBrnAndECR(branch, ecr);
    EXPECT_EQ(branch, QStringLiteral("B1"));
    EXPECT_EQ(ecr, QStringLiteral("R"));
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

    QString branch, ecr;
    CDefScrInfo(store).GetCurrBrnAndECR(branch, ecr);
    EXPECT_EQ(branch, QStringLiteral("Shop 1"));
    EXPECT_EQ(ecr, QStringLiteral("ECR-7"));

    _ScreenDefinition_InterfaceTable t;
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t), 0);
    EXPECT_EQ(t.dwMode, 0x102u);
    EXPECT_EQ(t.rcWindow, (QxRect{1, 2, 3, 4}));
    ASSERT_EQ(t.arrItems1.size(), 2);
    EXPECT_EQ(t.arrItems1[0][11], 0x0B);
    EXPECT_EQ(t.arrItems1[1][0], 0xFF);
    EXPECT_TRUE(t.arrItems2.isEmpty());
    EXPECT_EQ(t.strMarker, QStringLiteral("x, V0101"));

    const QString storeDir = QFileInfo(storePath()).absolutePath();
    const std::pair<DEFBS_TYPE_ENVSTR, QString> folders[] = {
        {DEFBS_ENV_DATA, QStringLiteral("/abs/data")},
        {DEFBS_ENV_WORK, storeDir + QStringLiteral("/work")},
        {DEFBS_ENV_PROGRAM, QStringLiteral("/p")},
        {DEFBS_ENV_PLACEDBMP, QStringLiteral("/b")},
        {DEFBS_ENV_BACKGROUND, QStringLiteral("/g")}};
    for (const auto& [kind, expected] : folders) {
        QString path;
        EXPECT_NE(CQxCtrlApi(store).GetActFolPath(kind, path), 0) << int(kind);
        EXPECT_EQ(path, expected) << int(kind);
    }
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
        const QxCtrlStore store = writeStore(QByteArray(ini));
        QString path = QStringLiteral("unchanged");
        EXPECT_EQ(CQxCtrlApi(store).GetActFolPath(DEFBS_ENV_PROGRAM, path), 0);
        EXPECT_EQ(path, QStringLiteral("unchanged"));
    }
}

TEST_F(ReglibTest, UnreadableStoreFailsEverythingAndIsNotOverwritten)
{
    const QByteArray garbled = "[General]\nBranch=A\n[Branch.A\nFolder10=/p\n[Screen12\nMode=2\n";
    const QxCtrlStore store = writeStore(garbled);
    QString branch = QStringLiteral("x"), ecr = QStringLiteral("y");
    CDefScrInfo(store).GetCurrBrnAndECR(branch, ecr);
    EXPECT_TRUE(branch.isEmpty());
    EXPECT_TRUE(ecr.isEmpty());
    _ScreenDefinition_InterfaceTable t = sampleTable();
    EXPECT_EQ(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t), 0);
    QString path = QStringLiteral("unchanged");
    EXPECT_EQ(CQxCtrlApi(store).GetActFolPath(DEFBS_ENV_PROGRAM, path), 0);
    EXPECT_EQ(path, QStringLiteral("unchanged"));
    EXPECT_EQ(CDefScrInfo(store).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, sampleTable()), 0);
    EXPECT_EQ(readAll(storePath()), garbled);
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

    QString branch, ecr;
    CDefScrInfo(store).GetCurrBrnAndECR(branch, ecr);
    EXPECT_EQ(branch, QStringLiteral("DEMO"));
    EXPECT_EQ(ecr, QStringLiteral("ECR-1"));

    _ScreenDefinition_InterfaceTable t12 = sampleTable(), t4 = sampleTable();
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, t12), 0);
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, t4), 0);
    _ScreenDefinition_InterfaceTable expected12;
    expected12.dwMode = 2;
    EXPECT_EQ(t12, expected12);
    EXPECT_EQ(t4, _ScreenDefinition_InterfaceTable{});

    QList<_ECRFile_Information> files;
    CQxCtrlApi(store).GetECRFileList(1, branch, files);
    QStringList names;
    for (const auto& f : files)
        names << QStringLiteral("%1 - %2").arg(f.wFileNo).arg(f.strName);
    EXPECT_EQ(names, (QStringList{"796 - Screen Logo", "797 - Check Window 22",
                                  "798 - Check Window 21", "799 - Check Window 23"}));

    const QString root = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                         QStringLiteral("/branches/DEMO");
    ASSERT_TRUE(root.startsWith(m_home.path()));
    QString work;
    ASSERT_NE(CQxCtrlApi(store).GetActFolPath(DEFBS_ENV_WORK, work), 0);
    EXPECT_TRUE(work.startsWith(root) && QFileInfo(work).isDir()) << work.toStdString();
    // The embedded demo branch holds exactly the committed example files.
    const std::pair<DEFBS_TYPE_ENVSTR, const char*> sources[] = {
        {DEFBS_ENV_DATA, "data"},
        {DEFBS_ENV_PROGRAM, "program"},
        {DEFBS_ENV_PLACEDBMP, "bitmaps"},
        {DEFBS_ENV_BACKGROUND, "backgrounds"}};
    for (const auto& [kind, sub] : sources) {
        QString path;
        ASSERT_NE(CQxCtrlApi(store).GetActFolPath(kind, path), 0) << sub;
        EXPECT_TRUE(path.startsWith(root)) << path.toStdString();
        const QDir example(QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/") +
                           QLatin1String(sub));
        const QStringList names = example.entryList(QDir::Files, QDir::Name);
        EXPECT_EQ(QDir(path).entryList(QDir::Files, QDir::Name), names) << sub;
        for (const QString& name : names)
            EXPECT_EQ(readAll(path + QLatin1Char('/') + name), readAll(example.filePath(name)))
                << name.toStdString();
    }
    // Copied files are the user's to change.
    QString data;
    CQxCtrlApi(store).GetActFolPath(DEFBS_ENV_DATA, data);
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/funckey.txt")).isWritable());
    EXPECT_TRUE(QFileInfo(CQxCtrlApi(store).ExchangeFolder()).isDir());
}

TEST_F(ReglibTest, EnsureExistsNeverOverwrites)
{
    // A user's file in a demo folder stays; so does an existing store, and then no branch is made.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                         QStringLiteral("/branches/DEMO/data");
    QDir().mkpath(data);
    writeAll(data + QStringLiteral("/funckey.txt"), "mine\n");
    ASSERT_TRUE(QxCtrlStore(storePath()).EnsureExists());
    EXPECT_EQ(readAll(data + QStringLiteral("/funckey.txt")), QByteArray("mine\n"));

    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    const QByteArray content = "[General]\nBranch=Mine\n";
    EXPECT_TRUE(writeStore(content).EnsureExists());
    EXPECT_EQ(readAll(storePath()), content);
    EXPECT_FALSE(
        QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
}

TEST_F(ReglibTest, EnsureExistsFailsWhereStoreCannotBeWritten)
{
    // Root ignores folder permissions, so there a file standing where the folder should be
    // takes the place of the read-only folder.
    const QString folder = m_home.filePath(QStringLiteral("locked"));
    if (geteuid() == 0) {
        writeAll(folder, "not a folder");
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
