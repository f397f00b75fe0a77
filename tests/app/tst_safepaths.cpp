// Paths and program starts: a path inside a panel file contributes only its file name, Browse
// writes only into the target folder, programs get their arguments as a list, and file names
// with blanks, quotes, non-ASCII characters and leading dashes work in every command.

#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "library/CQXPgco.h"
#include "reglib/CDefScrInfo.h"
#include "uikit/QtUserInteraction.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

constexpr int kBackground = 0;
constexpr int kPlaceBitmap = 1;

// Names that a shell or an option parser would take apart.
const QStringList kOddNames = {
    QStringLiteral("with blank.bmp"),
    QStringLiteral("quo\"te's.bmp"),
    QStringLiteral("\u00FCml\u00E4ut \u00DF.bmp"),
    QStringLiteral("-x.bmp"),
    QStringLiteral("--help.bmp"),
    QStringLiteral("$(touch pwned);`x`|y&.bmp"),
};

void WriteBitmap(const QString& path, QColor colour, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP")) << path.toStdString();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Every file below root with its size, to see that nothing appeared or changed elsewhere.
QMap<QString, qint64> Tree(const QString& root)
{
    QMap<QString, qint64> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        files.insert(it.filePath(), it.fileInfo().size());
    }
    return files;
}

class SafePaths : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBitmap(env.Folder("placed") + "/logo.bmp", QColor(200, 0, 0));
        WriteBitmap(env.Folder("back") + "/sky.bmp", QColor(0, 0, 200));
        ASSERT_TRUE(outside.isValid());
        // Same names as the branch's files, other colours: must never be read.
        WriteBitmap(outside.filePath("logo.bmp"), QColor(0, 255, 0));
        WriteBitmap(outside.filePath("only-outside.bmp"), QColor(0, 255, 0));
    }

    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        dlg.m_cbImageType->setCurrentIndex(1);
        dlg.OnImageTypeChange();
    }
    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }

    AppTestEnvironment env;
    QTemporaryDir outside;
    CQXPanMainDlg dlg{env.app.get()};
};

// ---- A bitmap path inside a panel file ----

struct PanelPathCase
{
    const char* name;
    QString pathLine; // line 2 of a placed-bitmap group, "%1" = the outside folder
    QString placed;   // file name of the object read, empty when none
    QString asked;    // name in the missing-bitmap question, empty when none is asked
};

class PanelBitmapPath : public SafePaths, public ::testing::WithParamInterface<PanelPathCase>
{};

TEST_P(PanelBitmapPath, OnlyTheFileNameIsLookedUpInTheBranch)
{
    const PanelPathCase& c = GetParam();
    Start();
    const QString line = QString(c.pathLine).replace("%1", outside.path());
    const QString pan = env.dir.filePath("design.pan");
    WriteFile(pan, "BG:0\r\n0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n" + line.toUtf8() +
                       " \r\n \r\n \r\n");
    if (!c.asked.isEmpty())
        env.ui.QueueAnswer(UserInteraction::IDYES);

    EXPECT_EQ(dlg.ReadPanelFile(pan), 0);

    const auto questions = env.ui.CallsOf(Kind::MessageBox);
    if (c.asked.isEmpty()) {
        EXPECT_TRUE(questions.isEmpty());
    } else {
        ASSERT_EQ(questions.size(), 1);
        EXPECT_EQ(questions[0].text,
                  QString("There isn't \"%1\" in this branch. Are you continue?").arg(c.asked));
    }
    if (QString(c.placed).isEmpty()) {
        EXPECT_TRUE(dlg.m_DesignDlg.m_BmpObjs.isEmpty());
        return;
    }
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    const CQXPanBmpObj& obj = dlg.m_DesignDlg.m_BmpObjs[0];
    EXPECT_EQ(obj.m_strFileName, c.placed);
    // The picture is the branch's file (red), never the outside one of the same name (green).
    ASSERT_NE(obj.m_pImage, nullptr);
    EXPECT_EQ(obj.m_pImage->Image().pixel(5, 5), qRgb(200, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PanelBitmapPath,
    ::testing::Values(PanelPathCase{"Relative", "../../../%1/logo.bmp", "logo.bmp", ""},
                      PanelPathCase{"Absolute", "%1/logo.bmp", "logo.bmp", ""},
                      PanelPathCase{"Backslashes", "C:\\..\\..\\windows\\logo.BMP", "logo.bmp", ""},
                      PanelPathCase{"NoExtension", "..\\..\\logo", "logo.bmp", ""},
                      PanelPathCase{"OnlyOutside", "%1/only-outside.bmp", "", "only-outside.bmp"},
                      PanelPathCase{"DotDot", "%1/..", "", "...bmp"},
                      PanelPathCase{"FolderOnly", "%1/", "", ""},
                      PanelPathCase{"Root", "/", "", ""}),
    [](const ::testing::TestParamInfo<PanelPathCase>& info) { return info.param.name; });

// ---- Browse ----

class BrowseName : public SafePaths, public ::testing::WithParamInterface<QString>
{};

TEST_P(BrowseName, CopiesIntoTheTargetFolderUnderItsOwnName)
{
    const QString name = GetParam();
    Start();
    ChooseObjectType(kPlaceBitmap);
    ASSERT_TRUE(QDir(outside.path()).mkpath("deep/er"));
    const QString source = outside.filePath("deep/er/" + name);
    WriteBitmap(source, QColor(1, 2, 3), 11, 7);
    const QMap<QString, qint64> before = Tree(env.dir.path());

    env.ui.QueueFileNames({source});
    dlg.OnBrowse();

    const QString copied = env.Folder("placed") + "/" + name;
    EXPECT_EQ(ReadAll(copied), ReadAll(source));
    QMap<QString, qint64> after = Tree(env.dir.path());
    after.remove(copied);
    EXPECT_EQ(after, before);
    int row = -1;
    for (size_t i = 1; i < dlg.m_ObjDlg.m_BmpList.size(); ++i)
        if (dlg.m_ObjDlg.m_BmpList[i].m_strCol1 == name)
            row = int(i);
    EXPECT_GT(row, 0);
}

INSTANTIATE_TEST_SUITE_P(OddNames, BrowseName, ::testing::ValuesIn(kOddNames),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return "Name" + std::to_string(info.index);
                         });

TEST_F(SafePaths, BrowseNeverWritesOutsideTheTargetFolderWhateverTheChosenPathHolds)
{
    Start();
    ChooseObjectType(kPlaceBitmap);
    // Names that look like paths on another system, a folder, and paths that climb.
    const QString backslashed = outside.filePath("..\\..\\escaped.bmp");
    WriteBitmap(backslashed, QColor(1, 2, 3));
    ASSERT_TRUE(QDir(outside.path()).mkdir("folder.bmp"));
    ASSERT_TRUE(QDir(outside.path()).mkdir("sub"));
    const QString climbing = outside.filePath("sub/../only-outside.bmp");
    const QMap<QString, qint64> before = Tree(env.dir.path());
    const QMap<QString, qint64> outsideBefore = Tree(outside.path());

    env.ui.QueueFileNames({backslashed, outside.filePath("folder.bmp"), climbing,
                           outside.filePath("sub/.."), outside.filePath("sub/")});
    dlg.OnBrowse();

    QMap<QString, qint64> after = Tree(env.dir.path());
    const QString placed = env.Folder("placed");
    EXPECT_EQ(ReadAll(placed + "/..\\..\\escaped.bmp"), ReadAll(backslashed));
    EXPECT_EQ(ReadAll(placed + "/only-outside.bmp"), ReadAll(outside.filePath("only-outside.bmp")));
    after.remove(placed + "/..\\..\\escaped.bmp");
    after.remove(placed + "/only-outside.bmp");
    EXPECT_EQ(after, before);
    EXPECT_EQ(Tree(outside.path()), outsideBefore);
    EXPECT_FALSE(QFileInfo::exists(placed + "/folder.bmp"));
}

// ---- Edit: the bitmap editor's arguments ----

class EditName : public SafePaths, public ::testing::WithParamInterface<QString>
{};

TEST_P(EditName, TheEditorGetsTheBitmapsAbsolutePathAsOneArgument)
{
    const QString name = GetParam();
    WriteBitmap(env.Folder("placed") + "/" + name, QColor(9, 9, 9));
    Start();
    ChooseObjectType(kPlaceBitmap);
    int row = -1;
    for (size_t i = 1; i < dlg.m_ObjDlg.m_BmpList.size(); ++i)
        if (dlg.m_ObjDlg.m_BmpList[i].m_strCol1 == name)
            row = int(i);
    ASSERT_GT(row, 0);
    dlg.m_ObjDlg.SelectRow(row);
    _ScreenDefinition_InterfaceTable table;
    table.dwMode = 2;
    table.strProgramPath = outside.filePath("my \"editor\" \u00E9.sh");
    table.dwFlags = 2;
    ASSERT_NE(CDefScrInfo(env.app->Store()).SetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, table), 0);
    env.ui.QueueProgramRun({true, 0});

    dlg.OnEdit();

    const auto runs = env.ui.CallsOf(Kind::StartAndWait);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].program, table.strProgramPath);
    EXPECT_EQ(runs[0].arguments, QStringList{env.Folder("placed") + "/" + name});
    EXPECT_TRUE(QFileInfo(runs[0].arguments[0]).isAbsolute());
}

INSTANTIATE_TEST_SUITE_P(OddNames, EditName, ::testing::ValuesIn(kOddNames),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return "Name" + std::to_string(info.index);
                         });

// ---- Programs really started: every argument arrives as it was given ----

class ProgramArguments : public ::testing::TestWithParam<QString>
{};

TEST_P(ProgramArguments, ArriveUnsplitAndUninterpreted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The program's own name is odd too; it writes each argument it got on a line of its own.
    const QString program = dir.filePath("my \"ed\" \u00E9 -p.sh");
    const QString record = dir.filePath("args");
    WriteFile(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                       "\"$QXPAN_ARGS_OUT\"\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    qputenv("QXPAN_ARGS_OUT", QFile::encodeName(record));
    const QString argument = dir.filePath(GetParam());

    QtUserInteraction ui;
    const UserInteraction::ProgramRun run = ui.StartAndWait(program, {argument});
    qunsetenv("QXPAN_ARGS_OUT");

    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadAll(record), QFile::encodeName(argument) + '\n');
    // Nothing in the name was run.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("pwned")));
    EXPECT_FALSE(QFileInfo::exists("pwned"));
}

INSTANTIATE_TEST_SUITE_P(OddNames, ProgramArguments, ::testing::ValuesIn(kOddNames),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return "Name" + std::to_string(info.index);
                         });

TEST(DesktopCommand, TheFileIsOneArgumentWhateverItsName)
{
    for (const QString& name : kOddNames) {
        const QString path = "/tmp/dir with blank/" + name;
        EXPECT_EQ(QtUserInteraction::ExpandDesktopExec("viewer --new %f", path),
                  (QStringList{"viewer", "--new", path}));
        const QStringList url = QtUserInteraction::ExpandDesktopExec("\"my viewer\" %U", path);
        ASSERT_EQ(url.size(), 2);
        EXPECT_EQ(url[0], "my viewer");
        EXPECT_EQ(QUrl(url[1]).toLocalFile(), path);
    }
}

// ---- Panel files and the communication dialog under odd names ----

class PanelFileName : public SafePaths, public ::testing::WithParamInterface<QString>
{};

TEST_P(PanelFileName, SavesAndOpensUnderTheName)
{
    Start();
    const QString pan = env.dir.filePath(QString(GetParam()).replace(".bmp", ".pan"));
    CQXPanKeyObj key;
    key.SetRegisterRect(40, 40, 160, 100);
    key.SetShape(1);
    key.SetTypeCode(45);
    key.SetText1("CLERK");
    ASSERT_GE(dlg.m_DesignDlg.AddKeyObj(&key), 0);
    env.ui.QueueFileName(pan);
    dlg.OnSave();
    ASSERT_TRUE(QFileInfo::exists(pan));
    dlg.m_DesignDlg.ClearObjects(false);

    EXPECT_EQ(dlg.ReadPanelFile(pan), 0);
    EXPECT_TRUE(env.ui.CallsOf(Kind::MessageBox).isEmpty());
    ASSERT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[0].GetText1(), "CLERK");
}

INSTANTIATE_TEST_SUITE_P(OddNames, PanelFileName, ::testing::ValuesIn(kOddNames),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return "Name" + std::to_string(info.index);
                         });

TEST(CommDialogPath, SendsAFileWhosePathHoldsQuotes)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("pro \"gram\" \u00FC");
    const QString exchange = dir.filePath("-ex change");
    ASSERT_TRUE(QDir().mkpath(program));
    const QString store = dir.filePath("qxctrl.ini");
    WriteFile(store, "[General]\nBranch=B\nRegister=R\nExchangeFolder=" +
                         QFile::encodeName(exchange) + "\n");
    const QString source = program + "/FILE797P.TXT";
    WriteFile(source, "screen 797\r\n");

    CQXPgco dlg{QxCtrlStore(store)};
    dlg.m_dwMode = 1;
    dlg.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(source);
    dlg.accept();

    EXPECT_EQ(dlg.statusText(), QString());
    EXPECT_EQ(ReadAll(exchange + "/FILE797P.TXT"), "screen 797\r\n");
}

} // namespace
