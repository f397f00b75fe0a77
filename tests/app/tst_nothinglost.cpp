// Catches: a writer of the editor that loses or half-writes a file on a read-only or full disk.
// Also: an unreadable configuration store rewritten, a store write failure kept from the user.
// As root the folders are small tmpfs mounts; elsewhere the full-disk cases skip.
#include "EditorFixture.h"
#include "ScratchMount.h"

#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "refdata/CQXPanBitmapLister.h"
#include "reglib/CDefScrInfo.h"

namespace {

using FsKind = ScratchMount::Kind;

// Names and contents of the files in a folder (the filler of a full disk left out).
QMap<QString, QByteArray> Contents(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (name != QLatin1String(".filler"))
            files.insert(name, ReadAll(dir.filePath(name)));
    return files;
}

#define SKIP_UNLESS_SEALED(mount)                                                                  \
    if (!(mount).SkipReason().isEmpty())                                                           \
    GTEST_SKIP() << (mount).SkipReason().toStdString()

class NothingLost : public EditorFixture, public ::testing::WithParamInterface<FsKind>
{
protected:
    void UseMountFor(std::initializer_list<int> kinds)
    {
        for (int kind : kinds)
            env.library->folders.insert(kind, mount.Path());
    }
    void Seal()
    {
        previous = Contents(mount.Path());
        ASSERT_TRUE(sealed = mount.Seal());
    }
    // Whatever the writer did, the sealed folder holds what it held.
    void TearDown() override
    {
        if (sealed) {
            EXPECT_EQ(Contents(mount.Path()), previous);
        }
    }
    // A configuration store in folder with the exchange and program folders given.
    static QString Store(const QString& folder, const QString& exchange, const QString& program)
    {
        const QString store = folder + "/qxctrl.ini";
        WriteAll(store,
                 "[General]\nBranch=B\nRegister=R\nExchangeFolder=" + QFile::encodeName(exchange) +
                     "\n[Branch.B]\nFolder10=" + QFile::encodeName(program) + "\n");
        return store;
    }

    ScratchMount mount{GetParam()};
    QMap<QString, QByteArray> previous;
    bool sealed = false;
};

TEST_P(NothingLost, PanelSaveSaysCantOpenAndKeepsThePreviousFile)
{
    SKIP_UNLESS_SEALED(mount);
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    const QString pan = mount.FilePath("design.pan");
    WriteAll(pan, "BG:0\r\nthe previous design\r\n");
    Seal();
    for (const QString& path : {pan, mount.FilePath("new.pan")}) {
        env.ui.QueueFileName(path);
        env.ui.QueueAnswer(UI::IDOK);
        ASSERT_TRUE(ChooseMenu(kFile, "Save(&S)"));
        EXPECT_EQ(Messages().last(), QString("can't open \"%1\"").arg(path));
    }
}

TEST_P(NothingLost, ConvertSaysWhyAndKeepsBothFiles)
{
    SKIP_UNLESS_SEALED(mount);
    UseMountFor({DEFBS_ENV_PROGRAM, DEFBS_ENV_WORK});
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    CQXPanDocument none;
    ASSERT_TRUE(BitmapTableFile::WriteFile(mount.FilePath("FILE795P.TXT"), table, 797, none));
    Start(kWindow22);
    // Put in place only now, so that it is not listed (and imported) as a background.
    WriteAll(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    Seal();
    Convert({UI::IDOK, UI::IDOK}); // Do you save ...? Convert err
    // Not even the branch's lock file fits: nothing is begun.
    const QString said = Line(Messages().size(), env.ui.Calls().last().icon == UI::MB_ICONERROR,
                              Messages().join('|'));
    EXPECT_TRUE(
        said.startsWith("2|true|Do you save FILE797P.TXT and FILE795P.TXT ?|Convert err\n\n" +
                        mount.Path() + ": the lock file cannot be made here ("))
        << said.toStdString();
}

TEST_P(NothingLost, BrowseCopyFailsQuietlyAndKeepsTheBranchFile)
{
    SKIP_UNLESS_SEALED(mount);
    UseMountFor({DEFBS_ENV_PLACEDBMP});
    WriteBitmap(mount.FilePath("logo.bmp"), 40, 30, Qt::red);
    const QStringList chosen = {env.dir.filePath("logo.bmp"), env.dir.filePath("new.bmp")};
    for (const QString& path : chosen)
        WriteBitmap(path, 400, 300, Qt::blue);
    Start();
    ChooseObjectType(kPlaceBitmap);
    Seal();
    Browse(chosen, {UI::IDYES});
    // Only the question: a failed copy is not reported.
    EXPECT_EQ(Messages(), QStringList{"Do you update existing BMP files in branch?"});
}

TEST_P(NothingLost, EmptyBackgroundIsListedButNeverLeftHalfWritten)
{
    SKIP_UNLESS_SEALED(mount);
    Seal();
    const QList<CQXPanRefRow> rows =
        CQXPanBitmapLister::ListBackgrounds(env.dir.path(), mount.Path());
    EXPECT_EQ(Line(rows.size(), rows.value(0).m_strCol1), "1|Aempty.bmp");
    const FileResult made = CQXPanBitmapLister::CreateEmptyBackground(mount.FilePath("Aempty.bmp"));
    EXPECT_TRUE(!made && !made.reason.isEmpty());
}

// Send into a sealed exchange folder, receive into a sealed program folder.
TEST_P(NothingLost, TransferSaysWhyAndKeepsTheOldFile)
{
    SKIP_UNLESS_SEALED(mount);
    const QString program = env.Folder("program"), exchange = env.Folder("work");
    WriteAll(program + "/FILE797P.TXT", "the new screen\r\n");
    WriteAll(exchange + "/FILE797P.TXT", "the received screen\r\n");
    WriteAll(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    Seal();
    for (const bool send : {true, false}) {
        CQXPgco dlg{QxCtrlStore(send ? Store(env.dir.path(), mount.Path(), program)
                                     : Store(env.dir.path(), exchange, mount.Path()))};
        dlg.m_dwMode = send ? 1 : 2;
        dlg.m_strCommand = send ? QStringLiteral("/SEND \"%1\"").arg(program + "/FILE797P.TXT")
                                : QStringLiteral("/RECEIVE");
        dlg.accept();
        EXPECT_TRUE(dlg.statusText().startsWith("Cannot write")) << dlg.statusText().toStdString();
        EXPECT_EQ(Contents(mount.Path()), previous);
    }
}

// The table of screen definitions: the store keeps its old text, nothing is left beside it.
TEST_P(NothingLost, ConfigurationStoreKeepsItsOldText)
{
    SKIP_UNLESS_SEALED(mount);
    const QString store = mount.FilePath("qxctrl.ini");
    WriteAll(store, "[General]\nBranch=B\nRegister=R\n\n[Screen12]\nMode=2\n");
    Seal();
    _ScreenDefinition_InterfaceTable table;
    table.dwMode = 0x102, table.strMarker = QStringLiteral("V0101");
    EXPECT_EQ(CDefScrInfo(QxCtrlStore(store)).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, table),
              0);
}

INSTANTIATE_TEST_SUITE_P(Folders, NothingLost, ::testing::Values(FsKind::ReadOnly, FsKind::Full),
                         [](const auto& info) {
                             return info.param == FsKind::ReadOnly ? "ReadOnlyFolder" : "FullDisk";
                         });

// ---- The editor on a real configuration store file, as `qxpan --config FILE` runs it ----

// Points the user's configuration and data folders into a temporary folder for one test.
struct TemporaryHome
{
    TemporaryHome()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "QXPAN_CONFIG"})
            old.append({name, qgetenv(name)});
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(DataPath()));
        qunsetenv("QXPAN_CONFIG");
    }
    ~TemporaryHome()
    {
        for (const auto& [name, value] : old)
            value.isNull() ? void(qunsetenv(name)) : void(qputenv(name, value));
    }
    QString StorePath() const { return dir.filePath("qxctrl.ini"); }
    QString DataPath() const { return dir.filePath("data"); }
    QTemporaryDir dir;
    QList<QPair<const char*, QByteArray>> old;
};

// Closing leaves a store the application cannot load from byte for byte, and a read-only one
// too, with a word to the user.
TEST(RealStore, AStoreThatCannotBeLoadedOrWrittenIsNeverRewritten)
{
    for (int broken = 0; broken < 4; ++broken) {
        TemporaryHome home;
        const QxCtrlStore store(home.StorePath());
        if (broken < 2) // no branch; not a store at all
            WriteAll(store.path(), broken == 0 ? QByteArray("[Other]\nKey=1\n")
                                               : QByteArray("\x00\xff\x13garbage=[[\n\x01", 16));
        else { // the folders' parent is gone (only their last level would be made); read-only
            ASSERT_TRUE(store.EnsureExists());
            ASSERT_TRUE(broken == 3 ? QFile::setPermissions(store.path(), QFileDevice::ReadOwner)
                                    : QDir(home.DataPath()).removeRecursively());
        }
        const QByteArray before = ReadAll(store.path());
        ScriptedUserInteraction ui;
        if (broken == 3)
            ui.QueueAnswer(UI::IDOK);
        CQXPanApp app(store, &ui);
        QString caption;
        WhenDialogRuns([&caption](CQXPanMainDlg& dlg) {
            caption = dlg.m_cbImageType->itemText(1);
            dlg.move(70, 60);
            QTest::qWait(10);
            dlg.close();
        });
        testing::internal::CaptureStderr();
        EXPECT_FALSE(app.InitInstance());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Line(ReadAll(store.path()) == before, ui.Calls().size(), caption),
                  broken < 3 ? "true|0|" : "true|1|797 - Check Window 22") // the demo branch
            << broken;
        if (broken == 3)
            EXPECT_EQ(ui.Calls()[0].text, "The window's place and size are not kept: " +
                                              store.path() + ": is read-only");
        else
            EXPECT_NE(err.find(QDir::toNativeSeparators(store.path()).toStdString()),
                      std::string::npos)
                << err;
    }
}

} // namespace
