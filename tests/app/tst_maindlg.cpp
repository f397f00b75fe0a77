#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

QxRect FrameRect(const QWidget& w)
{
    const QRect r = w.frameGeometry();
    return QxRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QStringList ComboTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QAction* MenuAction(CQXPanMainDlg& dlg, int id)
{
    for (QAction* action : dlg.findChildren<QAction*>()) {
        if (action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

class MainDialog : public ::testing::Test
{
protected:
    // Initialises and shows the dialog the way DoModal does, without a nested event loop.
    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(MainDialog, CaptionAndImageTypesComeFromTheEnvironment)
{
    env.library->files.removeAt(1); // no 797
    Start();
    EXPECT_EQ(dlg.windowTitle(), "Full Check Window - DEMO (ECR-1)");
    EXPECT_EQ(ComboTexts(dlg.m_cbImageType),
              QStringList({"796 - Screen Logo", "797 - ", "798 - Check Window 21",
                           "799 - Check Window 23"}));
    EXPECT_EQ(dlg.m_cbImageType->currentIndex(), 0);
    EXPECT_EQ(dlg.m_nImageTypeSel, 0);
    // The screen logo offers the background and placed bitmap types.
    EXPECT_EQ(dlg.m_cbObjectType->count(), 2);
}

TEST_F(MainDialog, DesignAreaLiesUnderItsLabelBesideTheDeleteButton)
{
    Start();
    const QWidget* label = dlg.GetDlgItem(CQXPanMainDlg::IDC_DESIGNAREA_LABEL);
    const QWidget* del = dlg.GetDlgItem(CQXPanMainDlg::IDC_DELETE);
    ASSERT_TRUE(label && del);
    EXPECT_EQ(dlg.m_DesignDlg.parentWidget(), dlg.ClientArea());
    EXPECT_TRUE(dlg.m_DesignDlg.isVisible());
    EXPECT_EQ(dlg.m_DesignDlg.geometry(),
              QRect(label->x() - 1, label->geometry().bottom() + 2, 801, 601));
    EXPECT_GE(del->x(), label->geometry().right());
    EXPECT_LT(del->y(), label->geometry().bottom());
    // The whole design area is inside the client area of the dialog as first shown.
    EXPECT_TRUE(dlg.ClientArea()->rect().contains(dlg.m_DesignDlg.geometry()));
}

TEST_F(MainDialog, StoredRectangleSurvivesARunUnchanged)
{
    env.library->table.rcWindow = QxRect{100, 80, 900, 700};
    Start();
    QTest::qWait(10);
    EXPECT_EQ(FrameRect(dlg), (QxRect{100, 80, 900, 700}));
    dlg.OnExitEditor();
    EXPECT_EQ(env.library->table.rcWindow, (QxRect{100, 80, 900, 700}));
}

TEST_F(MainDialog, MovedWindowIsRemembered)
{
    env.library->table.rcWindow = QxRect{100, 80, 900, 700};
    Start();
    dlg.move(30, 40);
    dlg.resize(700, 500);
    QTest::qWait(10);
    const QRect frame = dlg.frameGeometry();
    ASSERT_EQ(frame.topLeft(), QPoint(30, 40));
    dlg.OnExitEditor();
    // The outer window rectangle, frame included.
    EXPECT_EQ(env.library->table.rcWindow,
              (QxRect{30, 40, 30 + frame.width(), 40 + frame.height()}));
    EXPECT_GE(frame.width(), 700);
}

TEST_F(MainDialog, EmptyRectangleTakesTheWindowsOwn)
{
    Start();
    const QxRect shown = FrameRect(dlg);
    EXPECT_GT(shown.right - shown.left, 1000);
    dlg.OnExitEditor();
    const QxRect stored = env.library->table.rcWindow;
    EXPECT_EQ(stored.right, shown.right);
    EXPECT_EQ(stored.bottom, shown.bottom);
    // A screen smaller than the dialog puts its corner off screen, which the close clamps.
    const bool offScreen = shown.left < 0 || shown.top < 0;
    EXPECT_EQ(stored.left, offScreen ? 0 : shown.left);
    EXPECT_EQ(stored.top, offScreen ? 0 : shown.top);
}

TEST_F(MainDialog, CannotBeMadeSmallerThan600By400)
{
    Start();
    dlg.resize(200, 100);
    EXPECT_EQ(dlg.size(), QSize(600, 400));
}

TEST_F(MainDialog, MinimizedCloseNormalisesTheRectangleStoredBefore)
{
    env.library->table.rcWindow = QxRect{-20, 5, 300, 200};
    Start();
    dlg.move(50, 50);
    dlg.showMinimized();
    ASSERT_TRUE(dlg.isMinimized());
    dlg.OnExitEditor();
    EXPECT_EQ(env.library->table.rcWindow, (QxRect{0, 0, 600, 400}));
}

TEST_F(MainDialog, MinimizedCloseKeepsTheStoredRectangle)
{
    env.library->table.rcWindow = QxRect{100, 80, 900, 700};
    Start();
    dlg.move(300, 200);
    QTest::qWait(10);
    dlg.showMinimized();
    dlg.OnExitEditor();
    EXPECT_EQ(env.library->table.rcWindow, (QxRect{100, 80, 900, 700}));
    EXPECT_EQ(env.library->tablesWritten, 1);
}

TEST_F(MainDialog, EnterDoesNotEndTheDialog)
{
    Start();
    QTest::keyClick(&dlg, Qt::Key_Return);
    QTest::keyClick(&dlg, Qt::Key_Enter);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(env.library->tablesWritten, 0);
}

TEST_F(MainDialog, ChangeToOldStoresTheRequestAndClosesNormally)
{
    env.library->table.dwMode = 7;
    env.library->table.strMarker = "other";
    Start();
    MenuAction(dlg, ID_FILE_CHANGETOOLD)->trigger();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 2);
    EXPECT_EQ(env.library->table.dwMode, 0x102u);
    EXPECT_EQ(env.library->table.strMarker, "V0101");
    EXPECT_TRUE(env.ui.CallsOf(Kind::StartDetached).isEmpty());
}

// Every way of closing the editor: all must ask to save a modified design and store the table.
struct CloseWay
{
    const char* name;
    void (*close)(CQXPanMainDlg&);
};

void PrintTo(const CloseWay& c, std::ostream* os)
{
    *os << c.name;
}

class CloseTheEditor : public MainDialog, public ::testing::WithParamInterface<CloseWay>
{};

TEST_P(CloseTheEditor, AsksToSaveAModifiedDesignAndCannotBeCancelled)
{
    env.library->table.dwMode = 0x102;
    Start();
    dlg.m_DesignDlg.m_bModified = 1;
    env.ui.QueueAnswer(UserInteraction::IDNO);
    GetParam().close(dlg);
    const auto boxes = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, "Would you like to save the data?");
    EXPECT_EQ(boxes[0].caption, "QXPan");
    EXPECT_EQ(boxes[0].buttons, UserInteraction::MB_YESNO);
    EXPECT_EQ(boxes[0].icon, UserInteraction::MB_ICONEXCLAMATION);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 2);
    EXPECT_EQ(env.library->tablesWritten, 1);
    EXPECT_EQ(env.library->table.dwMode, 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseTheEditor,
    ::testing::Values(CloseWay{"EscKey",
                               [](CQXPanMainDlg& d) {
                                   QTest::keyClick(&d, Qt::Key_Escape);
                               }},
                      CloseWay{"ExitButton",
                               [](CQXPanMainDlg& d) {
                                   QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(2)),
                                                     Qt::LeftButton);
                               }},
                      CloseWay{"CloseBox",
                               [](CQXPanMainDlg& d) {
                                   d.close();
                               }},
                      CloseWay{"MenuExit",
                               [](CQXPanMainDlg& d) {
                                   MenuAction(d, ID_FILE_EXIT)->trigger();
                               }}),
    [](const ::testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.name); });

TEST_F(MainDialog, ACancelledSaveAtExitKeepsTheEditorOpen)
{
    Start();
    dlg.m_DesignDlg.m_bModified = 1;
    env.ui.QueueAnswer(UserInteraction::IDYES);
    env.ui.QueueFileName(QString()); // the save dialog is cancelled
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(env.library->tablesWritten, 0);

    // No is the answer that lets the work go.
    env.ui.QueueAnswer(UserInteraction::IDNO);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(env.library->tablesWritten, 1);
}

TEST_F(MainDialog, FailedLoadLeavesTheWindowEmptyAndTheTableUnwritten)
{
    env.library->folders.remove(DEFBS_ENV_PROGRAM);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(dlg.OnInitDialog());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("fake-store.ini"), std::string::npos) << err;
    EXPECT_NE(err.find("kind 10"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "QX_LayeditV110");
    EXPECT_EQ(dlg.m_cbImageType->count(), 0);
    EXPECT_FALSE(dlg.m_DesignDlg.isVisible());
    dlg.showMinimized();
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(env.library->tablesWritten, 0);
}

TEST(Application, HandsOverToTheOlderEditorOnlyOnTheNextStart)
{
    AppTestEnvironment env;
    WhenDialogRuns([](CQXPanMainDlg& dlg) { MenuAction(dlg, ID_FILE_CHANGETOOLD)->trigger(); });
    EXPECT_FALSE(env.app->InitInstance());
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(env.library->table.strMarker, "V0101");

    // The next start ends before any window shows and starts the older editor.
    env.library->log.clear();
    env.ui.QueueStartDetached(true);
    EXPECT_FALSE(env.app->InitInstance());
    const auto starts = env.ui.CallsOf(Kind::StartDetached);
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts[0].program, "QX_Layedit.exe");
    EXPECT_TRUE(starts[0].arguments.isEmpty());
    EXPECT_EQ(env.ui.Calls().size(), 1);
    EXPECT_FALSE(env.library->log.contains("SetScrIFTab 12"));
}

TEST(Application, WithoutTheOlderEditorSaysSoForgetsTheRequestAndOpens)
{
    AppTestEnvironment env;
    env.library->table.strMarker = "Shop V0101";
    env.library->table.dwMode = 0x102;
    env.ui.QueueStartDetached(false);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    bool opened = false;
    WhenDialogRuns([&opened](CQXPanMainDlg& dlg) {
        opened = true;
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(env.app->InitInstance());
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(opened);
    const auto boxes = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.startsWith("The older editor QX_Layedit.exe could not be started"));
    EXPECT_NE(err.find("QX_Layedit.exe could not be started"), std::string::npos) << err;
    EXPECT_EQ(env.library->table.strMarker, "Shop ");
    EXPECT_EQ(env.library->table.dwMode, 2u);

    // Later starts open this editor straight away.
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_FALSE(env.app->InitInstance());
    EXPECT_EQ(env.ui.CallsOf(Kind::StartDetached).size(), 1);
}

TEST(Application, NormalRunStartsNothing)
{
    AppTestEnvironment env;
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_FALSE(env.app->InitInstance());
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(env.library->tablesWritten, 1);
    EXPECT_EQ(env.library->table.dwMode, 2u);
}

TEST(Application, FolderFailureAfterTheMarkerDoesNotHandOver)
{
    AppTestEnvironment env;
    env.library->table.strMarker = "V0101";
    env.library->folders.remove(DEFBS_ENV_BACKGROUND);
    WhenDialogRuns([](CQXPanMainDlg& dlg) { dlg.close(); });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(env.app->InitInstance());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(env.app->m_dwChangeToOld, 0x0FFF0101u);
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(env.library->tablesWritten, 0);
    // Folders made before the failure stay.
    EXPECT_TRUE(QFileInfo(env.Folder("placed")).isDir());
}

} // namespace
