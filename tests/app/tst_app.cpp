// Catches: a wrong branch load or table write, a wrong hand-over, a faulty wait for a program.
#include "EditorFixture.h"

#include "uikit/QtUserInteraction.h"

#include <QElapsedTimer>
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
    const CQXPanApp& app = *env.app;
    EXPECT_EQ(Line(app.m_strBranch, app.m_strECR, app.m_strDataFolder, app.m_strWorkFolder,
                   app.m_strProgramFolder, app.m_strPlacedBitmapFolder, app.m_strBackgroundFolder),
              Line("DEMO", "ECR-1", env.Folder("data"), env.Folder("work"), env.Folder("program"),
                   env.Folder("placed"), env.Folder("back")));
    QString made; // all but the data folder
    for (const char* name : {"data", "work", "program", "placed", "back"})
        made += QFileInfo(env.Folder(name)).isDir() ? '1' : '0';
    EXPECT_EQ(made, "01111");
    // Four screens, the library's first entry of a number; a reload keeps names no longer listed.
    const QList<_ECRFile_Information> expected = {{796, 0, 0, "Logo", ""},
                                                  {797, 3, 4, "Window A", "info A"},
                                                  {798, 0, 0, "", ""},
                                                  {799, 7, 8, "Window C", "info C"}};
    EXPECT_EQ(env.app->m_arrECRFiles, expected);
    env.library->files = {{798, 0, 0, "Renamed", ""}};
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_EQ(app.m_arrECRFiles[1].strName + app.m_arrECRFiles[2].strName, "Window ARenamed");
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
    for (const char* marker : {"abcV0101", "xyzv0101", "V0101 ", "V0101x", "V0102"}) {
        AppTestEnvironment env;
        env.library->table.strMarker = QString::fromLatin1(marker);
        EXPECT_TRUE(env.app->LoadBranchEnvironment());
        requests += QString::number(env.app->m_dwChangeToOld, 16) + ' ';
    }
    EXPECT_EQ(requests, QString("%1 %1 0 0 0 ").arg(CQXPanApp::kChangeToOld, 0, 16));
}

TEST(BranchEnvironment, StoringWritesModeAndMarkerAndKeepsTheRest)
{
    for (const quint32 modeRead : {0x102u, 0xFFFFFFFFu}) {
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
            EXPECT_EQ(Line(env.library->tablesWritten, env.library->table == read), "1|true")
                << modeRead << " " << changeToOld;
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
    const auto start = env.ui.Calls().value(0);
    EXPECT_EQ(Line(env.ui.Calls().size(), start.kind == Kind::StartDetached, start.program,
                   start.arguments.join(' '), env.library->log.contains("SetScrIFTab 12")),
              "1|true|QX_Layedit.exe||false");
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
        if (!box())
            return;
        boxText = box()->labelText();
        box()->close();
        openAfterClose = box() && box()->isVisible();
        if (box())
            box()->reject();
        openAfterReject = box() && box()->isVisible();
    });
    QElapsedTimer clock;
    clock.start();
    QtUserInteraction ui;
    const auto run = ui.StartAndWait("/bin/sh", {"-c", "sleep 0.4; exit 4"});
    EXPECT_EQ(Line(boxText, openAfterClose, openAfterReject, run.started, run.exitCode,
                   clock.elapsed() >= 350, QApplication::activeModalWidget() == nullptr),
              QString::fromUtf8(
                  "Waiting for the bitmap editor to close\u2026|true|true|true|4|true|true"));

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
    const bool started =
        ui.StartAndWait("/bin/sh", {"-c", QString("sleep 2; touch '%1'").arg(done)}).started;
    EXPECT_EQ(Line(started, clicked, clock.elapsed() < 1800, QFile::exists(done)),
              "true|true|true|false");
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
    const auto killed = ui.StartAndWait("/bin/sh", {"-c", "kill -9 $$"});
    EXPECT_EQ(Line(missing.started, missing.exitCode, clock.elapsed() < 2000,
                   ui.StartDetached("qxpan-no-such-program", {}), killed.started, killed.exitCode),
              "false|-1|true|false|true|-1");
}

} // namespace
