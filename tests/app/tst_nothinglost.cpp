// Nothing lost: a read-only folder or a full disk gives the editor's message and leaves the
// previous file whole, and no half-written file behind. As root the folders are small tmpfs
// mounts (read-only, or filled to the last byte); elsewhere read-only folders use permissions
// and the full-disk cases skip.

#include "AppTestEnvironment.h"
#include "ScratchMount.h"

#include "app/CQXPanMainDlg.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "library/CQXPgco.h"
#include "refdata/CQXPanBitmapLister.h"
#include "reglib/CDefScrInfo.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;
using FsKind = ScratchMount::Kind;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Names and contents of the files in a folder (the filler of a full disk left out).
QMap<QString, QByteArray> Contents(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name != QLatin1String(".filler"))
            files.insert(name, ReadAll(dir.filePath(name)));
    }
    return files;
}

const char* KindName(const ::testing::TestParamInfo<FsKind>& info)
{
    return info.param == FsKind::ReadOnly ? "ReadOnlyFolder" : "FullDisk";
}

// A valid bitmap table with all records free, as the editor writes one.
QByteArray FreeTable()
{
    QByteArray text;
    for (const QByteArray& line :
         BitmapTableFile::FreshHeader(QDateTime(QDate(2026, 1, 2), QTime(3, 4))))
        text += line;
    for (int i = 0; i < BitmapTableFile::kTableSize; ++i)
        text += BitmapTableFile::RecordLine(i, CQXPanKeyObj());
    return text;
}

#define SKIP_UNLESS_SEALED(mount)                                                                  \
    do {                                                                                           \
        if (!(mount).SkipReason().isEmpty())                                                       \
            GTEST_SKIP() << (mount).SkipReason().toStdString();                                    \
    } while (false)

class NothingLost : public ::testing::TestWithParam<FsKind>
{
protected:
    // Points branch folders at the mount; must run before the dialog initialises.
    void UseMountFor(std::initializer_list<int> kinds)
    {
        for (int kind : kinds)
            env.library->folders.insert(kind, mount.Path());
    }
    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }
    void Seal()
    {
        previous = Contents(mount.Path());
        ASSERT_TRUE(mount.Seal());
    }
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& call : env.ui.CallsOf(Kind::MessageBox))
            texts << call.text;
        return texts;
    }

    ScratchMount mount{GetParam()};
    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
    QMap<QString, QByteArray> previous;
};

TEST_P(NothingLost, PanelSaveSaysCantOpenAndKeepsThePreviousFile)
{
    SKIP_UNLESS_SEALED(mount);
    Start();
    const QString pan = mount.FilePath("design.pan");
    WriteFile(pan, "BG:0\r\nthe previous design\r\n");
    CQXPanKeyObj key;
    key.SetRegisterRect(40, 40, 160, 100);
    key.SetText1(QString(20, QLatin1Char('K')));
    dlg.m_DesignDlg.m_nKeyCapacity = 80;
    ASSERT_GE(dlg.m_DesignDlg.AddKeyObj(&key), 0);
    Seal();

    env.ui.QueueFileName(pan);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnSave();
    env.ui.QueueFileName(mount.FilePath("new.pan"));
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnSave();

    EXPECT_EQ(Messages(),
              (QStringList{QString("can't open \"%1\"").arg(pan),
                           QString("can't open \"%1\"").arg(mount.FilePath("new.pan"))}));
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, ConvertSaysWhyAndKeepsBothFiles)
{
    SKIP_UNLESS_SEALED(mount);
    UseMountFor({DEFBS_ENV_PROGRAM, DEFBS_ENV_WORK});
    WriteFile(mount.FilePath("FILE795P.TXT"), FreeTable());
    Start();
    dlg.m_cbImageType->setCurrentIndex(1);
    dlg.OnImageTypeChange();
    // Put in place only now, so that it is not listed (and imported) as a background.
    WriteFile(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    Seal();

    env.ui.QueueAnswer(UserInteraction::IDOK); // Do you save ...?
    env.ui.QueueAnswer(UserInteraction::IDOK); // Convert err
    dlg.OnConvert();

    // Not even the branch's lock file fits: nothing is begun.
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "Do you save FILE797P.TXT and FILE795P.TXT ?");
    EXPECT_TRUE(messages[1].startsWith("Convert err\n\n" + mount.Path() +
                                       ": the lock file cannot be made here ("))
        << messages[1].toStdString();
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, BrowseCopyFailsQuietlyAndKeepsTheBranchFile)
{
    SKIP_UNLESS_SEALED(mount);
    UseMountFor({DEFBS_ENV_PLACEDBMP});
    QImage old(40, 30, QImage::Format_RGB888);
    old.fill(Qt::red);
    ASSERT_TRUE(old.save(mount.FilePath("logo.bmp"), "BMP"));
    QTemporaryDir source;
    QImage fresh(400, 300, QImage::Format_RGB888);
    fresh.fill(Qt::blue);
    ASSERT_TRUE(fresh.save(source.filePath("logo.bmp"), "BMP"));
    ASSERT_TRUE(fresh.save(source.filePath("new.bmp"), "BMP"));
    Start();
    dlg.m_cbObjectType->setCurrentIndex(1);
    dlg.OnObjectTypeChange();
    Seal();

    env.ui.QueueFileNames({source.filePath("logo.bmp"), source.filePath("new.bmp")});
    env.ui.QueueAnswer(UserInteraction::IDYES);
    dlg.OnBrowse();

    // Only the question: a failed copy is not reported.
    EXPECT_EQ(Messages(), QStringList{"Do you update existing BMP files in branch?"});
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, EmptyBackgroundIsListedButNeverLeftHalfWritten)
{
    SKIP_UNLESS_SEALED(mount);
    Seal();
    QTemporaryDir program;
    const QList<CQXPanRefRow> rows =
        CQXPanBitmapLister::ListBackgrounds(program.path(), mount.Path());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].m_strCol1, "Aempty.bmp");
    EXPECT_EQ(Contents(mount.Path()), previous);
    const FileResult created =
        CQXPanBitmapLister::CreateEmptyBackground(mount.FilePath("Aempty.bmp"));
    EXPECT_TRUE(!created && !created.reason.isEmpty());
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, TransferSaysWhyAndKeepsTheOldFile)
{
    SKIP_UNLESS_SEALED(mount);
    QTemporaryDir dir;
    const QString program = dir.filePath("program");
    ASSERT_TRUE(QDir().mkpath(program));
    WriteFile(program + "/FILE797P.TXT", "the new screen\r\n");
    WriteFile(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    const QString store = dir.filePath("qxctrl.ini");
    WriteFile(store,
              "[General]\nBranch=B\nRegister=R\nExchangeFolder=" + QFile::encodeName(mount.Path()) +
                  "\n[Branch.B]\nFolder10=" + QFile::encodeName(program) + "\n");
    Seal();

    CQXPgco send{QxCtrlStore(store)};
    send.m_dwMode = 1;
    send.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(program + "/FILE797P.TXT");
    send.accept();
    EXPECT_TRUE(send.statusText().startsWith("Cannot write")) << send.statusText().toStdString();
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, ReceiveIntoAnUnwritableProgramFolderKeepsTheOldFile)
{
    SKIP_UNLESS_SEALED(mount);
    QTemporaryDir dir;
    const QString exchange = dir.filePath("exchange");
    ASSERT_TRUE(QDir().mkpath(exchange));
    WriteFile(exchange + "/FILE797P.TXT", "the received screen\r\n");
    WriteFile(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    const QString store = dir.filePath("qxctrl.ini");
    WriteFile(store,
              "[General]\nBranch=B\nRegister=R\nExchangeFolder=" + QFile::encodeName(exchange) +
                  "\n[Branch.B]\nFolder10=" + QFile::encodeName(mount.Path()) + "\n");
    Seal();

    CQXPgco receive{QxCtrlStore(store)};
    receive.m_dwMode = 2;
    receive.m_strCommand = QStringLiteral("/RECEIVE");
    receive.accept();
    EXPECT_TRUE(receive.statusText().startsWith("Cannot write"))
        << receive.statusText().toStdString();
    EXPECT_EQ(Contents(mount.Path()), previous);
}

TEST_P(NothingLost, ConfigurationStoreKeepsItsOldText)
{
    SKIP_UNLESS_SEALED(mount);
    const QString store = mount.FilePath("qxctrl.ini");
    WriteFile(store, "[General]\nBranch=B\nRegister=R\n\n[Screen.12]\nMode=2\n");
    Seal();

    _ScreenDefinition_InterfaceTable table;
    table.dwMode = 0x102;
    table.strMarker = QStringLiteral("V0101");
    EXPECT_EQ(CDefScrInfo(QxCtrlStore(store)).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, table),
              0);
    EXPECT_EQ(Contents(mount.Path()), previous);
}

// No room at all for the new store: it stays as it was.
TEST(NothingLostStore, AFullDiskKeepsTheStoreWhole)
{
    ScratchMount mount(FsKind::Full);
    SKIP_UNLESS_SEALED(mount);
    const QString store = mount.FilePath("qxctrl.ini");
    WriteFile(store, "[General]\nBranch=B\nRegister=R\n\n[Screen12]\nMode=2\n");
    const QByteArray previous = ReadAll(store);
    ASSERT_TRUE(mount.Seal());

    _ScreenDefinition_InterfaceTable table;
    table.dwMode = 0x102;
    table.strMarker = QStringLiteral("V0101");
    EXPECT_EQ(CDefScrInfo(QxCtrlStore(store)).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, table),
              0);
    EXPECT_EQ(ReadAll(store), previous);
    EXPECT_EQ(Contents(mount.Path()).keys(), QStringList{"qxctrl.ini"}); // nothing left beside it
}

INSTANTIATE_TEST_SUITE_P(Folders, NothingLost, ::testing::Values(FsKind::ReadOnly, FsKind::Full),
                         KindName);

} // namespace
