// Catches: a writer of the editor that loses or half-writes a file on a read-only or full disk.
// Also: an unreadable configuration store rewritten, a store write failure kept from the user.
// As root the folders are small tmpfs mounts; elsewhere the full-disk cases skip.
#include "EditorFixture.h"
#include "ScratchMount.h"

#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "refdata/CQXPanBitmapLister.h"

#include <QScopeGuard>

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
    env.ui.QueueFileName(pan);
    env.ui.QueueAnswer(UI::IDOK);
    ASSERT_TRUE(ChooseMenu(kFile, "Save(&S)"));
    EXPECT_EQ(Messages().last(), QString("can't open \"%1\"").arg(pan));
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
    const auto rows = CQXPanBitmapLister::ListBackgrounds(env.dir.path(), mount.Path());
    EXPECT_EQ(Line(rows.size(), rows.value(0).m_strCol1), "1|Aempty.bmp");
    const FileResult made = CQXPanBitmapLister::CreateEmptyBackground(mount.FilePath("Aempty.bmp"));
    EXPECT_TRUE(!made && !made.reason.isEmpty());
}

// The transfer's send into a sealed exchange folder (receive copies the same way).
TEST_P(NothingLost, TransferSaysWhyAndKeepsTheOldFile)
{
    SKIP_UNLESS_SEALED(mount);
    const QString sent = env.Program("FILE797P.TXT"), store = env.dir.filePath("qxctrl.ini");
    WriteAll(sent, "the new screen\r\n");
    WriteAll(mount.FilePath("FILE797P.TXT"), "the previous screen\r\n");
    WriteAll(store, "[General]\nBranch=B\nRegister=R\nExchangeFolder=" +
                        QFile::encodeName(mount.Path()) + "\n");
    Seal();
    CQXPgco comm{QxCtrlStore(store)};
    comm.m_dwMode = 1;
    comm.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(sent);
    comm.accept();
    EXPECT_TRUE(comm.statusText().startsWith("Cannot write")) << comm.statusText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Folders, NothingLost, ::testing::Values(FsKind::ReadOnly, FsKind::Full),
                         [](const auto& info) {
                             return info.param == FsKind::ReadOnly ? "ReadOnlyFolder" : "FullDisk";
                         });

// Closing leaves a store the application cannot load from byte for byte, and a read-only one
// too, with a word to the user.
TEST(RealStore, AStoreThatCannotBeLoadedOrWrittenIsNeverRewritten)
{
    QTemporaryDir dir; // the demo branch's folders go into its data folder
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&oldData] {
        oldData.isNull() ? void(qunsetenv("XDG_DATA_HOME"))
                         : void(qputenv("XDG_DATA_HOME", oldData));
    });
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
    for (const bool readOnly : {false, true}) {
        const QxCtrlStore store(dir.filePath(readOnly ? "read-only.ini" : "garbage.ini"));
        if (readOnly)
            ASSERT_TRUE(store.EnsureExists() &&
                        QFile::setPermissions(store.path(), QFileDevice::ReadOwner));
        else
            WriteAll(store.path(), QByteArray("\x00\xff\x13garbage=[[\n\x01", 16));
        const QByteArray before = ReadAll(store.path());
        ScriptedUserInteraction ui;
        if (readOnly)
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
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(Line(ReadAll(store.path()) == before, caption, ui.Calls().value(0).text),
                  readOnly ? Line(true, "797 - Check Window 22", // the demo branch
                                  "The window's place and size are not kept: " + store.path() +
                                      ": is read-only")
                           : "true||");
    }
}

} // namespace
