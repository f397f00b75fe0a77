#include "AppTestEnvironment.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(BranchEnvironment, LoadsEverythingAndLooksUpFoldersInOrder)
{
    AppTestEnvironment env;
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_TRUE(env.app->EnvironmentLoaded());
    EXPECT_EQ(env.app->m_strBranch, "DEMO");
    EXPECT_EQ(env.app->m_strECR, "ECR-1");
    EXPECT_EQ(env.app->m_strDataFolder, env.Folder("data"));
    EXPECT_EQ(env.app->m_strWorkFolder, env.Folder("work"));
    EXPECT_EQ(env.app->m_strProgramFolder, env.Folder("program"));
    EXPECT_EQ(env.app->m_strPlacedBitmapFolder, env.Folder("placed"));
    EXPECT_EQ(env.app->m_strBackgroundFolder, env.Folder("back"));
    EXPECT_EQ(env.library->log,
              QStringList({"GetCurrBrnAndECR", "GetECRFileList 1 DEMO", "GetScrIFTab 12",
                           "GetActFolPath 14", "GetActFolPath 12", "GetActFolPath 10",
                           "GetActFolPath 8", "GetActFolPath 7"}));
    EXPECT_EQ(env.app->m_dwChangeToOld, 0u);
}

TEST(BranchEnvironment, FileListMergeKeepsFourEntriesAndTheLibrarysFirstOfANumber)
{
    AppTestEnvironment env;
    env.library->files = {{900, 1, 1, "Not a screen", "x"},
                          {799, 7, 8, "Window C", "info C"},
                          {797, 3, 4, "Window A", "info A"},
                          {797, 5, 6, "Window A again", "info A2"},
                          {796, 0, 0, "Logo", ""}};
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    const QList<_ECRFile_Information> expected = {{796, 0, 0, "Logo", ""},
                                                  {797, 3, 4, "Window A", "info A"},
                                                  {798, 0, 0, "", ""},
                                                  {799, 7, 8, "Window C", "info C"}};
    EXPECT_EQ(env.app->m_arrECRFiles, expected);
}

TEST(BranchEnvironment, ReloadKeepsNamesTheLibraryNoLongerLists)
{
    AppTestEnvironment env;
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    env.library->files = {{798, 0, 0, "Renamed", ""}};
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    ASSERT_EQ(env.app->m_arrECRFiles.size(), 4);
    EXPECT_EQ(env.app->m_arrECRFiles[1].strName, "Check Window 22");
    EXPECT_EQ(env.app->m_arrECRFiles[2].strName, "Renamed");
}

struct MarkerCase
{
    const char* marker;
    bool requestsOldEditor;
};

void PrintTo(const MarkerCase& c, std::ostream* os)
{
    *os << '"' << c.marker << '"';
}

class OldEditorMarker : public ::testing::TestWithParam<MarkerCase>
{};

TEST_P(OldEditorMarker, LastFiveCharactersDecideWithoutRegardToCase)
{
    AppTestEnvironment env;
    env.library->table.strMarker = QString::fromLatin1(GetParam().marker);
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_EQ(env.app->m_dwChangeToOld, GetParam().requestsOldEditor ? 0x0FFF0101u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Markers, OldEditorMarker,
                         ::testing::Values(MarkerCase{"V0101", true}, MarkerCase{"abcV0101", true},
                                           MarkerCase{"v0101", true}, MarkerCase{"xyzv0101", true},
                                           MarkerCase{"V0101 ", false}, MarkerCase{"V0101x", false},
                                           MarkerCase{"0101", false}, MarkerCase{"V0102", false},
                                           MarkerCase{"", false}));

TEST(BranchEnvironment, MissingFoldersAreCreatedExceptTheDataFolder)
{
    AppTestEnvironment env;
    for (const char* name : {"data", "work", "program", "placed", "back"})
        ASSERT_TRUE(QDir(env.Folder(name)).removeRecursively());
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    EXPECT_FALSE(QFileInfo::exists(env.Folder("data")));
    for (const char* name : {"work", "program", "placed", "back"})
        EXPECT_TRUE(QFileInfo(env.Folder(name)).isDir()) << name;
}

// How a load fails, and which calls it must make (and so not make) before stopping.
struct FailCase
{
    const char* name;
    void (*breakIt)(AppTestEnvironment&);
    const char* failedStep;
    QStringList expectedLog;
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoadFailure : public ::testing::TestWithParam<FailCase>
{};

TEST_P(LoadFailure, StopsAtTheFailingStep)
{
    AppTestEnvironment env;
    GetParam().breakIt(env);
    EXPECT_FALSE(env.app->LoadBranchEnvironment());
    EXPECT_FALSE(env.app->EnvironmentLoaded());
    EXPECT_TRUE(env.app->LoadFailure().contains(QString::fromLatin1(GetParam().failedStep)))
        << qPrintable(env.app->LoadFailure());
    EXPECT_EQ(env.library->log, GetParam().expectedLog);
}

const QStringList kUpToTable = {"GetCurrBrnAndECR", "GetECRFileList 1 DEMO", "GetScrIFTab 12"};

INSTANTIATE_TEST_SUITE_P(
    Steps, LoadFailure,
    ::testing::Values(
        FailCase{"NoBranch",
                 [](AppTestEnvironment& e) { e.library->branch.clear(); },
                 "no current branch",
                 {"GetCurrBrnAndECR"}},
        FailCase{"TableUnreadable", [](AppTestEnvironment& e) { e.library->tableReadable = false; },
                 "screen definition table", kUpToTable},
        FailCase{"DataFolderUnknown",
                 [](AppTestEnvironment& e) { e.library->folders.remove(DEFBS_ENV_DATA); },
                 "kind 14", kUpToTable + QStringList{"GetActFolPath 14"}},
        FailCase{"PlacedFolderUnknown",
                 [](AppTestEnvironment& e) { e.library->folders.remove(DEFBS_ENV_PLACEDBMP); },
                 "kind 8",
                 kUpToTable + QStringList{"GetActFolPath 14", "GetActFolPath 12",
                                          "GetActFolPath 10", "GetActFolPath 8"}},
        FailCase{"ProgramFolderTwoLevelsDeep",
                 [](AppTestEnvironment& e) {
                     e.library->folders[DEFBS_ENV_PROGRAM] = e.Folder("missing/program");
                 },
                 "kind 10",
                 kUpToTable +
                     QStringList{"GetActFolPath 14", "GetActFolPath 12", "GetActFolPath 10"}},
        FailCase{"WorkFolderIsAFile",
                 [](AppTestEnvironment& e) {
                     QDir(e.Folder("work")).removeRecursively();
                     QFile file(e.Folder("work"));
                     ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                 },
                 "kind 12", kUpToTable + QStringList{"GetActFolPath 14", "GetActFolPath 12"}}),
    [](const ::testing::TestParamInfo<FailCase>& info) { return std::string(info.param.name); });

struct StoreCase
{
    quint32 modeRead;
    bool changeToOld;
    quint32 modeStored;
};

void PrintTo(const StoreCase& c, std::ostream* os)
{
    *os << "mode " << c.modeRead << (c.changeToOld ? " change to old" : " exit");
}

class StoreScreenDefinition : public ::testing::TestWithParam<StoreCase>
{};

TEST_P(StoreScreenDefinition, WritesModeAndMarkerAndKeepsTheRest)
{
    AppTestEnvironment env;
    _ScreenDefinition_InterfaceTable read;
    read.dwMode = GetParam().modeRead;
    read.dwReserved = 0xA5A5A5A5;
    read.rcWindow = QxRect{10, 20, 910, 720};
    read.arrItems1 = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    read.arrItems2 = {{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, {}};
    read.strMarker = "someone else's marker";
    read.strProgramPath = "/opt/paint";
    read.dwFlags = 2;
    env.library->table = read;
    ASSERT_TRUE(env.app->LoadBranchEnvironment());
    if (GetParam().changeToOld)
        env.app->m_dwChangeToOld = 0x0FFF0101;
    EXPECT_TRUE(env.app->StoreScreenDefinition());

    _ScreenDefinition_InterfaceTable expected = read;
    expected.dwMode = GetParam().modeStored;
    if (GetParam().changeToOld)
        expected.strMarker = "V0101";
    EXPECT_EQ(env.library->tablesWritten, 1);
    EXPECT_EQ(env.library->table, expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, StoreScreenDefinition,
                         ::testing::Values(StoreCase{0, false, 2}, StoreCase{2, false, 2},
                                           StoreCase{0x102, false, 2},
                                           StoreCase{0xFFFFFFFF, false, 2},
                                           StoreCase{0, true, 0x102}, StoreCase{2, true, 0x102},
                                           StoreCase{0xFFFFFFFF, true, 0x102}));

} // namespace
