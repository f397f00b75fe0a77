// Catches: a wrong branch load or table write, a wrong hand-over, a faulty wait for a program.
#include "EditorFixture.h"

#include "uikit/QtUserInteraction.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QProgressDialog>

namespace {

// Every call of a complete load, in order: branch, screen files, table, the five folders.
const QStringList kLoadLog = {"GetCurrBrnAndECR", "GetECRFileList 1 DEMO", "GetScrIFTab 12",
                              "GetActFolPath 14", "GetActFolPath 12",      "GetActFolPath 10",
                              "GetActFolPath 8",  "GetActFolPath 7"};

TEST(BranchEnvironment, LoadsEverythingInOrderAndMakesMissingFolders)
{
    AppTestEnvironment env;
    for (const char* name : {"data", "work", "program", "placed", "back"})
        ASSERT_TRUE(QDir(env.Folder(name)).removeRecursively());
    env.library->files = {{900, 1, 1, "Not a screen", "x"},
                          {799, 7, 8, "Window C", "info C"},
                          {797, 3, 4, "Window A", "info A"},
                          {797, 5, 6, "Again", "info A2"},
                          {796, 0, 0, "Logo", ""}};
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_EQ(env.library->log, kLoadLog);
    EXPECT_EQ(Line(env.app->m_strBranch, env.app->m_strECR, env.app->m_strDataFolder,
                   env.app->m_strWorkFolder, env.app->m_strProgramFolder,
                   env.app->m_strPlacedBitmapFolder, env.app->m_strBackgroundFolder),
              Line("DEMO", "ECR-1", env.Folder("data"), env.Folder("work"), env.Folder("program"),
                   env.Folder("placed"), env.Folder("back")));
    EXPECT_FALSE(QFileInfo::exists(env.Folder("data"))); // the only folder not made
    for (const char* name : {"work", "program", "placed", "back"})
        EXPECT_TRUE(QFileInfo(env.Folder(name)).isDir()) << name;
    // Four screens, the library's first entry of a number; a reload keeps names no longer listed.
    const QList<_ECRFile_Information> expected = {{796, 0, 0, "Logo", ""},
                                                  {797, 3, 4, "Window A", "info A"},
                                                  {798, 0, 0, "", ""},
                                                  {799, 7, 8, "Window C", "info C"}};
    EXPECT_EQ(env.app->m_arrECRFiles, expected);
    env.library->files = {{798, 0, 0, "Renamed", ""}};
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_EQ(env.app->m_arrECRFiles[1].strName + env.app->m_arrECRFiles[2].strName,
              "Window ARenamed");
}

// How a load fails, and which calls it must make (and so not make) before stopping.
TEST(BranchEnvironment, ALoadStopsAtTheFailingStepAndSaysWhereOnStandardError)
{
    const QList<std::tuple<int, const char*, int>> cases = {
        {0, "no current branch", 1}, {1, "screen definition table", 3},
        {2, "kind 14", 4},           {3, "kind 8", 7},
        {4, "kind 10", 6},           {5, "kind 12", 5}};
    for (const auto& [broken, step, calls] : cases) {
        AppTestEnvironment env;
        if (broken == 0)
            env.library->branch.clear();
        if (broken == 1)
            env.library->tableReadable = false;
        if (broken == 2 || broken == 3)
            env.library->folders.remove(broken == 2 ? DEFBS_ENV_DATA : DEFBS_ENV_PLACEDBMP);
        if (broken == 4) // two levels are missing: only the last would be made
            env.library->folders[DEFBS_ENV_PROGRAM] = env.Folder("missing/program");
        if (broken == 5) {
            QDir(env.Folder("work")).removeRecursively();
            WriteAll(env.Folder("work"), "a file");
        }
        testing::internal::CaptureStderr();
        EXPECT_FALSE(env.app->LoadBranchEnvironment() || env.app->EnvironmentLoaded());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(env.app->LoadFailure().contains(step)) << qPrintable(env.app->LoadFailure());
        EXPECT_NE(err.find("fake-store.ini"), std::string::npos) << err;
        EXPECT_EQ(env.library->log, kLoadLog.mid(0, calls)) << step;
    }
}

// The first four markers ask for the older editor, the others do not.
TEST(BranchEnvironment, TheMarkersLastFiveCharactersAskForTheOlderEditor)
{
    QString requests;
    for (const char* marker :
         {"V0101", "abcV0101", "v0101", "xyzv0101", "V0101 ", "V0101x", "0101", "V0102"}) {
        AppTestEnvironment env;
        env.library->table.strMarker = QString::fromLatin1(marker);
        EXPECT_TRUE(env.app->LoadBranchEnvironment());
        requests += env.app->m_dwChangeToOld == CQXPanApp::kChangeToOld ? '1'
                    : env.app->m_dwChangeToOld == 0u                    ? '0'
                                                                        : '?';
    }
    EXPECT_EQ(requests, "11110000");
}

TEST(BranchEnvironment, StoringWritesModeAndMarkerAndKeepsTheRest)
{
    for (const quint32 modeRead : {0u, 2u, 0x102u, 0xFFFFFFFFu}) {
        for (const bool changeToOld : {false, true}) {
            AppTestEnvironment env;
            _ScreenDefinition_InterfaceTable read{modeRead,
                                                  0xA5A5A5A5,
                                                  QxRect{10, 20, 910, 720},
                                                  {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                                                  {{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, {}},
                                                  "someone else's marker",
                                                  "/opt/paint",
                                                  2};
            env.library->table = read;
            ASSERT_TRUE(env.app->LoadBranchEnvironment());
            if (changeToOld)
                env.app->m_dwChangeToOld = CQXPanApp::kChangeToOld;
            EXPECT_TRUE(env.app->StoreScreenDefinition());
            read.dwMode = changeToOld ? 0x102 : 2;
            if (changeToOld)
                read.strMarker = "V0101";
            EXPECT_EQ(env.library->tablesWritten, 1);
            EXPECT_EQ(env.library->table, read) << modeRead << " " << changeToOld;
        }
    }
}

// ---- The application's runs and the older editor ----

TEST(Application, HandsOverToTheOlderEditorOnlyOnTheNextStart)
{
    AppTestEnvironment env;
    env.library->table.dwMode = 7;
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_FALSE(env.app->InitInstance()); // a normal run starts nothing
    EXPECT_EQ(Line(env.library->tablesWritten, env.library->table.dwMode), "1|2");
    WhenDialogRuns([](CQXPanMainDlg& dlg) {
        dlg.activateWindow();
        EXPECT_TRUE(ChooseMenu(&dlg, "File(&F)", "Change to old(&H)"));
    });
    EXPECT_FALSE(env.app->InitInstance());
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(Line(env.library->table.strMarker, env.library->table.dwMode), "V0101|258");
    // The next start ends before any window shows and starts the older editor.
    env.library->log.clear();
    env.ui.QueueStartDetached(true);
    EXPECT_FALSE(env.app->InitInstance());
    ASSERT_EQ(env.ui.Calls().size(), 1);
    EXPECT_EQ(Line(env.ui.Calls()[0].kind == Kind::StartDetached, env.ui.Calls()[0].program,
                   env.ui.Calls()[0].arguments.join(' ')),
              "true|QX_Layedit.exe|");
    EXPECT_FALSE(env.library->log.contains("SetScrIFTab 12"));
}

TEST(Application, WithoutTheOlderEditorSaysSoForgetsTheRequestAndOpens)
{
    AppTestEnvironment env;
    env.library->table.strMarker = "Shop V0101";
    env.library->table.dwMode = 0x102;
    env.ui.QueueStartDetached(false);
    env.ui.QueueAnswer(UI::IDOK);
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(env.app->InitInstance());
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(env.ui.Calls().size(), 2);
    EXPECT_TRUE(env.ui.Calls()[1].text.startsWith("The older editor QX_Layedit.exe could not be"));
    EXPECT_NE(err.find("QX_Layedit.exe could not be started"), std::string::npos) << err;
    EXPECT_EQ(Line(env.library->table.strMarker, env.library->table.dwMode), "Shop |2");
    // Later starts open this editor straight away.
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_FALSE(env.app->InitInstance());
    EXPECT_EQ(env.ui.Calls().size(), 2);
}

TEST(Application, AFolderFailureAfterTheMarkerDoesNotHandOver)
{
    AppTestEnvironment env;
    env.library->table.strMarker = "V0101";
    env.library->folders.remove(DEFBS_ENV_BACKGROUND);
    WhenDialogRuns([](CQXPanMainDlg& dlg) { dlg.close(); });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(env.app->InitInstance());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Line(env.app->m_dwChangeToOld == CQXPanApp::kChangeToOld, env.ui.Calls().size(),
                   env.library->tablesWritten),
              "true|0|0");
    EXPECT_TRUE(QFileInfo(env.Folder("placed")).isDir()); // folders made before the failure stay
}

// ---- The Qt interaction: the wait for a program, the message box ----

// While the program runs the box shows and events run; only "Stop Waiting" ends the wait early,
// and the program is not killed then.
TEST(QtUserInteraction, TheWaitForAProgramCanOnlyBeEndedByStopWaiting)
{
    QObject guard; // cancels the timers if the test ends without them
    QString boxText;
    bool openAfterClose = false, openAfterReject = false, clicked = false;
    const auto box = [] {
        return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    };
    QTimer::singleShot(50, &guard, [&] {
        boxText = box() ? box()->labelText() : QString();
        if (box())
            box()->close();
        openAfterClose = box() && box()->isVisible();
    });
    QTimer::singleShot(120, &guard, [&] {
        if (box())
            box()->reject();
        openAfterReject = box() && box()->isVisible();
    });
    QElapsedTimer clock;
    clock.start();
    QtUserInteraction ui;
    const auto run = ui.StartAndWait("/bin/sh", {"-c", "sleep 0.4; exit 4"});
    EXPECT_EQ(boxText, QString::fromUtf8("Waiting for the bitmap editor to close\u2026"));
    EXPECT_EQ(Line(openAfterClose, openAfterReject, run.started, run.exitCode), "true|true|true|4");
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTemporaryDir dir;
    const QString done = dir.filePath("done");
    QTimer::singleShot(100, &guard, [&] {
        for (QPushButton* button :
             box() ? box()->findChildren<QPushButton*>() : QList<QPushButton*>())
            if (button->text() == "Stop Waiting") {
                QTest::mouseClick(button, Qt::LeftButton);
                clicked = true;
            }
    });
    clock.restart();
    EXPECT_TRUE(
        ui.StartAndWait("/bin/sh", {"-c", QString("sleep 2; touch '%1'").arg(done)}).started);
    EXPECT_TRUE(clicked);
    EXPECT_LT(clock.elapsed(), 1800);
    EXPECT_FALSE(QFile::exists(done));
    EXPECT_TRUE(QTest::qWaitFor([&done] { return QFile::exists(done); }, 8000));
    // The program ends right after; its QProcess then deletes itself through the event loop.
    QTest::qWait(300);
}

TEST(QtUserInteraction, AMissingOrKilledProgramHasNoExitCode)
{
    QtUserInteraction ui;
    QElapsedTimer clock;
    clock.start();
    const auto missing = ui.StartAndWait("/nonexistent/qxpan-editor", {});
    EXPECT_EQ(Line(missing.started, missing.exitCode), "false|-1");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(ui.StartDetached("qxpan-no-such-program", {}));
    const auto killed = ui.StartAndWait("/bin/sh", {"-c", "kill -9 $$"});
    EXPECT_EQ(Line(killed.started, killed.exitCode), "true|-1");
}

TEST(QtUserInteraction, AShortMessageLeavesRoomForItsTitle)
{
    QObject guard;
    int width = 0;
    QTimer::singleShot(0, &guard, [&width] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            width = box->width();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    QtUserInteraction real;
    EXPECT_EQ(static_cast<UserInteraction&>(real).MessageBox("Normal end"), UI::IDOK);
    // The caption beside a title bar's icon and three buttons, some 32 pixels each.
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    EXPECT_GE(width, QFontMetrics(titleFont).horizontalAdvance("QXPan") + 4 * 32);
}

} // namespace
