#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "library/CQXPgco.h"
#include "reglib/CDefScrInfo.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

enum : int
{
    Background = 0,
    PlaceBitmap = 1
};

void WriteBitmap(const QString& path, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP"));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The main dialog with the communication dialog's run replaced: the members it was handed are
// recorded instead of running it modally.
class ObservedMainDlg : public CQXPanMainDlg
{
public:
    using CQXPanMainDlg::CQXPanMainDlg;

    struct CommRun
    {
        quint32 mode = 0;
        QString command;
        quint32 func = 0;
    };
    QList<CommRun> runs;

protected:
    int RunCommDialog(CQXPgco& dlg) override
    {
        runs.append({dlg.m_dwMode, dlg.m_strCommand, dlg.m_dwFunc});
        return 2;
    }
};

class BitmapLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBitmap(env.Folder("back") + "/sky.bmp", 16, 12, QColor(0, 0, 200));
        WriteBitmap(env.Folder("back") + "/sea.bmp", 20, 10, QColor(0, 200, 0));
        WriteBitmap(env.Folder("placed") + "/logo.bmp", 64, 32, QColor(200, 0, 0));
        WriteBitmap(env.Folder("placed") + "/star.bmp", 10, 10, QColor(200, 200, 0));
        ASSERT_TRUE(source.isValid());
    }

    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }

    // Row of the placed-bitmap list holding this file, -1 when there is none.
    int PlacedRow(const QString& name) const
    {
        for (size_t row = 1; row < dlg.m_ObjDlg.m_BmpList.size(); ++row)
            if (dlg.m_ObjDlg.m_BmpList[row].m_strCol1 == name)
                return int(row);
        return -1;
    }

    // Places a bitmap of the placed-bitmap list at a register rectangle.
    void Place(const QString& name, const QXPanRect& rect)
    {
        const int row = PlacedRow(name);
        ASSERT_GT(row, 0) << name.toStdString();
        dlg.m_ObjDlg.SelectRow(row);
        int index = -1;
        ASSERT_EQ(dlg.m_DesignDlg.AddBmpObjFromItem(index), 1);
        dlg.m_DesignDlg.m_BmpObjs[index].SetRegisterRect(rect);
    }

    int ItemPosition(const QString& name) const
    {
        for (int i = 0; i < dlg.m_lcItems->topLevelItemCount(); ++i)
            if (dlg.m_lcItems->topLevelItem(i)->text(0) == name)
                return i;
        return -1;
    }

    void SetEditor(const QString& program, quint32 flags)
    {
        _ScreenDefinition_InterfaceTable table;
        table.dwMode = 2;
        table.strProgramPath = program;
        table.dwFlags = flags;
        ASSERT_NE(CDefScrInfo(env.app->Store()).SetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, table),
                  0);
    }

    QString Src(const QString& name) const { return source.filePath(name); }

    AppTestEnvironment env;
    QTemporaryDir source;
    ObservedMainDlg dlg{env.app.get()};
};

} // namespace

TEST_F(BitmapLibrary, BrowseAsksOnceAboutExistingFilesAndNoKeepsThem)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    const QByteArray oldLogo = ReadAll(env.Folder("placed") + "/logo.bmp");
    WriteBitmap(Src("logo.bmp"), 8, 8, QColor(1, 2, 3));
    WriteBitmap(Src("new.bmp"), 9, 9, QColor(1, 2, 3));
    WriteBitmap(Src("star.bmp"), 7, 7, QColor(1, 2, 3));
    WriteBitmap(Src("aempty.BMP"), 5, 5, QColor(1, 2, 3));
    WriteBitmap(Src("plain"), 6, 6, QColor(1, 2, 3)); // title without its extension
    env.ui.QueueFileNames(
        {Src("logo.bmp"), Src("new.bmp"), Src("aempty.BMP"), Src("star.bmp"), Src("plain")});
    env.ui.QueueAnswer(UserInteraction::IDNO);

    dlg.OnBrowse();

    const auto dialogs = env.ui.CallsOf(Kind::OpenFileNames);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].request.title, "Copy into branch");
    EXPECT_TRUE(dialogs[0].request.options.testFlag(UserInteraction::FileMustExist));
    EXPECT_TRUE(dialogs[0].request.initialName.startsWith(env.Folder("placed")));
    const auto questions = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0].text, "Do you update existing BMP files in branch?");
    EXPECT_EQ(questions[0].buttons, UserInteraction::MB_YESNO);

    EXPECT_EQ(ReadAll(env.Folder("placed") + "/logo.bmp"), oldLogo);
    EXPECT_EQ(ReadAll(env.Folder("placed") + "/new.bmp"), ReadAll(Src("new.bmp")));
    EXPECT_EQ(ReadAll(env.Folder("placed") + "/plain.bmp"), ReadAll(Src("plain")));
    EXPECT_FALSE(QFile::exists(env.Folder("placed") + "/aempty.BMP"));
    EXPECT_NE(ReadAll(env.Folder("placed") + "/star.bmp"), ReadAll(Src("star.bmp")));
    // The lists and the item list show the new files.
    EXPECT_GT(PlacedRow("new.bmp"), 0);
    EXPECT_GE(ItemPosition("plain.bmp"), 0);
}

TEST_F(BitmapLibrary, BrowseYesReplacesEveryExistingFileAfterOneQuestion)
{
    Start(); // background type, the folder of backgrounds
    WriteBitmap(Src("sky.bmp"), 8, 8, QColor(1, 2, 3));
    WriteBitmap(Src("sea.bmp"), 9, 9, QColor(1, 2, 3));
    env.ui.QueueFileNames({Src("sky.bmp"), Src("sea.bmp")});
    env.ui.QueueAnswer(UserInteraction::IDYES);

    dlg.OnBrowse();

    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(ReadAll(env.Folder("back") + "/sky.bmp"), ReadAll(Src("sky.bmp")));
    EXPECT_EQ(ReadAll(env.Folder("back") + "/sea.bmp"), ReadAll(Src("sea.bmp")));
}

TEST_F(BitmapLibrary, BrowseOfAFileAlreadyInTheFolderEndsAtOnce)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    Place("logo.bmp", {10, 10, 74, 42});
    QFile::remove(env.Folder("placed") + "/logo.bmp");
    WriteBitmap(Src("new.bmp"), 9, 9, QColor(1, 2, 3));
    env.ui.QueueFileNames({env.Folder("placed") + "/star.bmp", Src("new.bmp")});

    dlg.OnBrowse();

    EXPECT_FALSE(QFile::exists(env.Folder("placed") + "/new.bmp"));
    EXPECT_TRUE(env.ui.CallsOf(Kind::MessageBox).isEmpty());
    // Nothing refreshed: the object of the deleted file is still there.
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
}

TEST_F(BitmapLibrary, BrowseCancelledChangesNothing)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    Place("logo.bmp", {10, 10, 74, 42});
    QFile::remove(env.Folder("placed") + "/logo.bmp");
    env.ui.QueueFileNames({});
    dlg.OnBrowse();
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
}

TEST_F(BitmapLibrary, RefreshDropsObjectsOfGoneOrBrokenFilesWithAWordAndKeepsRectangles)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    Place("logo.bmp", {10, 10, 74, 42});
    Place("star.bmp", {100, 100, 110, 110});
    Place("logo.bmp", {200, 50, 264, 82});
    ASSERT_FALSE(dlg.m_DesignDlg.m_bModified);
    QFile::remove(env.Folder("placed") + "/star.bmp");
    // A second file whose name differs only in case must not double the objects.
    WriteBitmap(env.Folder("placed") + "/LOGO.bmp", 8, 8, QColor(0, 0, 0));
    WriteBitmap(Src("new.bmp"), 9, 9, QColor(1, 2, 3));
    env.ui.QueueFileNames({Src("new.bmp")});
    env.ui.QueueAnswer(UserInteraction::IDOK);

    QTest::mouseClick(static_cast<QPushButton*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_BROWSE)),
                      Qt::LeftButton);

    const auto boxes = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.endsWith("\n\nstar.bmp")) << boxes[0].text.toStdString();
    EXPECT_TRUE(dlg.m_DesignDlg.m_bModified);
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 2);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].m_rcRegister, (QXPanRect{10, 10, 74, 42}));
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[1].m_rcRegister, (QXPanRect{200, 50, 264, 82}));
    for (const CQXPanBmpObj& obj : dlg.m_DesignDlg.m_BmpObjs) {
        EXPECT_EQ(obj.m_strFileName, "logo.bmp");
        ASSERT_NE(obj.m_pImage, nullptr);
        EXPECT_EQ(obj.m_pImage->Width(), 64);
    }

    // A file still listed but no longer a bitmap: its object is left out.
    QFile garbage(env.Folder("placed") + "/logo.bmp");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write("not a bitmap at all");
    garbage.close();
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.RefreshAfterBitmapChange();
    EXPECT_TRUE(dlg.m_DesignDlg.m_BmpObjs.isEmpty());
    EXPECT_TRUE(env.ui.CallsOf(Kind::MessageBox).last().text.endsWith("\n\nlogo.bmp"));
}

TEST_F(BitmapLibrary, EditOfAPlacedBitmapRunsTheEditorThenShowsTheNewPictureEverywhere)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    Place("logo.bmp", {10, 10, 74, 42});
    Place("logo.bmp", {300, 300, 364, 332});
    dlg.m_ObjDlg.CopyBmpToClipboard(dlg.m_DesignDlg.m_BmpObjs[0]);
    SetEditor("/opt/paint/bin/paint", 2);
    dlg.m_ObjDlg.SelectRow(PlacedRow("logo.bmp"));
    // What the editor does to the file while it runs.
    WriteBitmap(env.Folder("placed") + "/logo.bmp", 40, 20, QColor(0, 0, 0));
    env.ui.QueueProgramRun({true, 0});

    dlg.OnEdit();

    const auto runs = env.ui.CallsOf(Kind::StartAndWait);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].program, "/opt/paint/bin/paint");
    EXPECT_EQ(runs[0].arguments, QStringList{env.Folder("placed") + "/logo.bmp"});
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 2);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].m_rcRegister, (QXPanRect{10, 10, 74, 42}));
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[1].m_rcRegister, (QXPanRect{300, 300, 364, 332}));
    for (const CQXPanBmpObj& obj : dlg.m_DesignDlg.m_BmpObjs) {
        ASSERT_NE(obj.m_pImage, nullptr);
        EXPECT_EQ(obj.m_pImage->Width(), 40);
    }
    // The copied bitmap now points at the reloaded picture, not at the released one.
    ASSERT_NE(dlg.m_ObjDlg.m_BmpClip.m_pImage, nullptr);
    EXPECT_EQ(dlg.m_ObjDlg.m_BmpClip.m_pImage, dlg.m_DesignDlg.m_BmpObjs[0].m_pImage);
}

TEST_F(BitmapLibrary, EditWithoutEditorFlagOpensWithTheDesktopProgramAndReportsAFailedStart)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    Place("logo.bmp", {10, 10, 74, 42});
    SetEditor("/opt/paint/bin/paint", 1); // path present, but bit value 2 not set
    dlg.m_ObjDlg.SelectRow(PlacedRow("logo.bmp"));
    const CDibImage* before = dlg.m_DesignDlg.m_BmpObjs[0].m_pImage;
    QFile::remove(env.Folder("placed") + "/logo.bmp");
    env.ui.QueueProgramRun({false, -1});
    env.ui.QueueAnswer(UserInteraction::IDOK);

    dlg.OnEdit();

    const auto opens = env.ui.CallsOf(Kind::OpenDocumentAndWait);
    ASSERT_EQ(opens.size(), 1);
    EXPECT_EQ(opens[0].program, env.Folder("placed") + "/logo.bmp");
    EXPECT_TRUE(env.ui.CallsOf(Kind::StartAndWait).isEmpty());
    const auto messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "shell exe err");
    EXPECT_EQ(messages[0].caption, "QXPan");
    // Nothing refreshed after a failed start.
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].m_pImage, before);
}

TEST_F(BitmapLibrary, EditOfABackgroundReloadsItUnlessTheFirstRowIsShown)
{
    Start();
    ASSERT_EQ(dlg.m_nListSel, 0);
    env.ui.QueueProgramRun({true, 0});
    const QString placeholder = dlg.m_lcItems->topLevelItem(0)->text(0);
    WriteBitmap(env.Folder("back") + "/" + placeholder, 30, 30, QColor(0, 0, 0));
    const int firstWidth = dlg.m_DesignDlg.m_Background.Width();
    dlg.OnEdit(); // first position: edited, but no background reloaded
    EXPECT_EQ(env.ui.CallsOf(Kind::OpenDocumentAndWait).size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), firstWidth);

    const int sky = ItemPosition("sky.bmp");
    ASSERT_GT(sky, 0);
    dlg.SelectListPosition(sky);
    ASSERT_EQ(dlg.m_DesignDlg.m_Background.Width(), 16);
    WriteBitmap(env.Folder("back") + "/sky.bmp", 33, 22, QColor(9, 9, 9));
    env.ui.QueueProgramRun({true, 0});
    dlg.OnEdit();
    const auto opens = env.ui.CallsOf(Kind::OpenDocumentAndWait);
    ASSERT_EQ(opens.size(), 2);
    EXPECT_EQ(opens[1].program, env.Folder("back") + "/sky.bmp");
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), 33);
}

TEST_F(BitmapLibrary, ReceiveSendSendsAPresentFileAndReceivesAMissingOne)
{
    ASSERT_TRUE(
        env.app->Store().Update(QStringLiteral("Register.ECR-1"),
                                {{QStringLiteral("Capabilities"), QStringLiteral("0x1234")}}));
    QFile file(env.Folder("program") + "/FILE798P.TXT");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Start();

    dlg.m_cbImageType->setCurrentIndex(2);
    dlg.OnReceiveSend();
    dlg.m_cbImageType->setCurrentIndex(0);
    dlg.OnReceiveSend();

    ASSERT_EQ(dlg.runs.size(), 2);
    EXPECT_EQ(dlg.runs[0].mode, 1u);
    EXPECT_EQ(dlg.runs[0].command, "/SEND \"" + env.Folder("program") + "/FILE798P.TXT\"");
    EXPECT_EQ(dlg.runs[0].func, 0x1234u);
    EXPECT_EQ(dlg.runs[1].mode, 2u);
    EXPECT_EQ(dlg.runs[1].command, "/RECEIVE");
    EXPECT_EQ(dlg.runs[1].func, 0x1234u);
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

TEST_F(BitmapLibrary, ButtonsRunTheirCommands)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    env.ui.QueueFileNames({});
    QTest::mouseClick(dlg.GetDlgItem(CQXPanMainDlg::IDC_BROWSE), Qt::LeftButton);
    EXPECT_EQ(env.ui.CallsOf(Kind::OpenFileNames).size(), 1);

    dlg.m_ObjDlg.SelectRow(PlacedRow("star.bmp"));
    env.ui.QueueProgramRun({true, 0});
    QTest::mouseClick(dlg.GetDlgItem(CQXPanMainDlg::IDC_EDIT), Qt::LeftButton);
    EXPECT_EQ(env.ui.CallsOf(Kind::OpenDocumentAndWait).size(), 1);

    // The button is hidden and disabled as built; a caller that makes it available reaches
    // the command.
    auto* receiveSend = qobject_cast<QPushButton*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_RECEIVESEND));
    ASSERT_NE(receiveSend, nullptr);
    EXPECT_FALSE(receiveSend->isVisible());
    receiveSend->setEnabled(true);
    receiveSend->click();
    EXPECT_EQ(dlg.runs.size(), 1);
}
