// Catches: a wrong branch load or table write, a wrong hand-over, a faulty wait for a program.
#include "EditorFixture.h"

#include "uikit/QtUserInteraction.h"

#include <QElapsedTimer>

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

// The marker's last five characters, of any case, ask for the older editor; storing writes the
// normal mode (or the older editor's mode and bare marker) and keeps the rest of the table.
TEST(BranchEnvironment, TheMarkerAsksForTheOlderEditorAndStoringKeepsTheRest)
{
    const QList<std::tuple<const char*, quint32, bool>> cases = {{"abcV0101", 2, true},
                                                                 {"xyzv0101", 0xFFFFFFFF, true},
                                                                 {"V0101 ", 0x102, false},
                                                                 {"V0101x", 2, false},
                                                                 {"V0102", 0xFFFFFFFF, false}};
    for (const auto& [marker, modeRead, changeToOld] : cases) {
        AppTestEnvironment env;
        _ScreenDefinition_InterfaceTable read{modeRead,
                                              0xA5A5A5A5,
                                              QxRect{10, 20, 910, 720},
                                              {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                                              {{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, {}},
                                              QString::fromLatin1(marker),
                                              "/opt/paint",
                                              2};
        env.library->table = read;
        ASSERT_TRUE(env.app->LoadBranchEnvironment());
        EXPECT_TRUE(env.app->StoreScreenDefinition());
        read.dwMode = changeToOld ? 0x102 : 2;
        read.strMarker = changeToOld ? "V0101" : read.strMarker;
        EXPECT_EQ(Line(env.app->m_dwChangeToOld == CQXPanApp::kChangeToOld,
                       env.library->tablesWritten, env.library->table == read),
                  Line(changeToOld, 1, true))
            << marker;
    }
}

// ---- The application's runs and the older editor ----

TEST(Application, HandsOverToTheOlderEditorOnlyOnTheNextStartAndWithoutItOpens)
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
    // Without the older editor a start says so, forgets the request and opens this editor.
    env.ui.QueueStartDetached(false);
    env.ui.QueueAnswer(UI::IDOK);
    WhenDialogRuns([](CQXPanMainDlg& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(env.app->InitInstance());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Line(env.ui.Calls().size(), env.ui.Calls().last().text.left(16),
                   env.library->table.strMarker, env.library->table.dwMode),
              "3|The older editor||2");
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
