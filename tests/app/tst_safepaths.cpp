// Catches: a path in a panel file or a chosen name that reaches outside the branch or is split.
// Names with blanks, quotes, non-ASCII characters and leading dashes work in every command.
#include "EditorFixture.h"

#include "uikit/QtUserInteraction.h"

#include <QDirIterator>
#include <QUrl>

namespace {

// Names that a shell or an option parser would take apart.
const QStringList kOddNames = {
    QStringLiteral("with blank.bmp"),
    QStringLiteral("quo\"te's.bmp"),
    QStringLiteral("\u00FCml\u00E4ut \u00DF.bmp"),
    QStringLiteral("-x.bmp"),
    QStringLiteral("--help.bmp"),
    QStringLiteral("$(touch pwned);`x`|y&.bmp"),
};

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

class SafePaths : public EditorFixture
{
protected:
    SafePaths()
    { // Same names as the branch's files, other colours: must never be read.
        WriteBitmap(outside.filePath("logo.bmp"), 64, 32, QColor(0, 255, 0));
        WriteBitmap(outside.filePath("only-outside.bmp"), 40, 30, QColor(0, 255, 0));
    }
    QTemporaryDir outside;
};

// A bitmap path inside a panel file: the line; the questions asked, the file name of the object
// read and whether it is the branch's file (red), never the outside one (green).
TEST_F(SafePaths, OnlyTheFileNameOfAPathInAPanelFileIsLookedUpInTheBranch)
{
    const QString missing = QStringLiteral("There isn't \"%1\" in this branch. Are you continue?");
    const QList<std::pair<QString, QString>> cases = {
        {"../../../%1/logo.bmp", "|logo.bmp|true"},
        {"C:\\..\\..\\windows\\logo.BMP", "|logo.bmp|true"},
        {"..\\..\\logo", "|logo.bmp|true"},
        {"%1/only-outside.bmp", missing.arg("only-outside.bmp") + "||false"},
        {"%1/..", missing.arg("...bmp") + "||false"},
        {"%1/", "||false"}};
    Start(kWindow22);
    for (const auto& [pathLine, expected] : cases) {
        const QString pan = env.dir.filePath("design.pan");
        WriteAll(pan, "BG:0\r\n0100 0200 0100 0200 0000 0001 0000 0000 0000 0000\r\n" +
                          QString(pathLine).replace("%1", outside.path()).toUtf8() +
                          " \r\n \r\n \r\n");
        const qsizetype asks = Messages().size();
        env.ui.QueueFileName(pan);
        if (expected.startsWith("There"))
            env.ui.QueueAnswer(UI::IDYES);
        ASSERT_TRUE(ChooseMenu(kFile, "Open(&O)"));
        const QList<CQXPanBmpObj>& bmps = design().m_BmpObjs;
        EXPECT_EQ(
            Line(Messages().mid(asks).join(','), bmps.value(0).m_strFileName,
                 bmps.size() == 1 && bmps[0].m_pImage->Image().pixel(5, 5) == qRgb(200, 0, 0)),
            expected)
            << pathLine.toStdString();
    }
}

// Odd names are copied under their own names; names that look like paths on another system, a
// folder and paths that climb never write outside the target folder.
TEST_F(SafePaths, BrowseWritesOnlyIntoTheTargetFolderUnderTheChosenFilesOwnNames)
{
    Start();
    ChooseObjectType(kPlaceBitmap);
    ASSERT_TRUE(QDir(outside.path()).mkpath("deep/er"));
    ASSERT_TRUE(QDir(outside.path()).mkdir("folder.bmp"));
    QMap<QString, QString> copies = {{"only-outside.bmp", outside.filePath("only-outside.bmp")}};
    QStringList chosen = {outside.filePath("folder.bmp"),
                          outside.filePath("deep/../only-outside.bmp"), outside.filePath("deep/.."),
                          outside.filePath("deep/")};
    for (const QString& name : kOddNames + QStringList{"..\\..\\escaped.bmp"}) {
        chosen << outside.filePath("deep/er/" + name);
        copies.insert(name, chosen.last());
        WriteBitmap(chosen.last(), 11, 7, QColor(1, 2, 3));
    }
    const QMap<QString, qint64> before = Tree(env.dir.path()), outsideBefore = Tree(outside.path());
    Browse(chosen);
    QMap<QString, qint64> after = Tree(env.dir.path());
    for (const auto& [name, source] : copies.asKeyValueRange()) {
        const QString copied = env.Folder("placed") + "/" + name;
        EXPECT_TRUE(ReadAll(copied) == ReadAll(source) && (name.contains('\\') || Row(name)))
            << name.toStdString(); // copied and listed
        after.remove(copied);
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(Tree(outside.path()), outsideBefore);
    EXPECT_FALSE(QFileInfo::exists(env.Folder("placed") + "/folder.bmp"));
}

// ---- Edit, Save and Open under odd names ----

TEST_F(SafePaths, TheBitmapEditorGetsTheAbsolutePathAsOneArgument)
{
    for (const QString& name : kOddNames)
        WriteBitmap(env.Folder("placed") + "/" + name, 8, 8, QColor(9, 9, 9));
    const QString editor = outside.filePath("my \"editor\" \u00E9.sh");
    env.SetBitmapEditor(editor, 2);
    Start();
    ChooseObjectType(kPlaceBitmap);
    for (int i = 0; i < kOddNames.size(); ++i) {
        ClickRow(kOddNames[i]);
        EditBitmap();
        const auto run = env.ui.CallsOf(Kind::StartAndWait).value(i);
        EXPECT_EQ(Line(run.program, run.arguments.join('\n')),
                  Line(editor, env.Folder("placed") + "/" + kOddNames[i]));
    }
}

TEST_F(SafePaths, PanelFilesSaveAndOpenUnderOddNames)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    for (const QString& name : kOddNames) {
        const QString pan = env.dir.filePath(QString(name).replace(".bmp", ".pan"));
        ASSERT_TRUE(File("Save(&S)", pan) && QFileInfo::exists(pan)) << name.toStdString();
        ASSERT_TRUE(File("Open(&O)", pan));
        EXPECT_EQ(design().m_KeyObjs.size(), 1) << name.toStdString();
    }
    EXPECT_TRUE(Messages().isEmpty());
}

// ---- Programs really started, and the desktop's command lines ----

TEST(ProgramArguments, ArriveUnsplitAndUninterpreted)
{
    QTemporaryDir dir;
    // The program's own name is odd too; it writes each argument it got on a line of its own.
    const QString program = dir.filePath("my \"ed\" \u00E9 -p.sh");
    const QString record = dir.filePath("args");
    WriteAll(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                      "\"$QXPAN_ARGS_OUT\"\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    qputenv("QXPAN_ARGS_OUT", QFile::encodeName(record));
    QtUserInteraction ui;
    for (const QString& name : kOddNames) {
        const QString argument = dir.filePath(name);
        const UserInteraction::ProgramRun run = ui.StartAndWait(program, {argument});
        EXPECT_EQ(Line(run.started, run.exitCode, ReadAll(record)),
                  Line(true, 0, QFile::encodeName(argument) + '\n'));
    }
    qunsetenv("QXPAN_ARGS_OUT");
    // Nothing in the names was run.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("pwned")) || QFileInfo::exists("pwned"));
}

struct ExecCase
{
    const char* exec;
    QStringList expected; // "F" stands for the file, "U" for its URL
};

TEST(DesktopCommand, TheFileIsOneArgumentWhateverItsName)
{
    const QList<ExecCase> cases = {
        {"paint %f", {"paint", "F"}},
        {"paint --new-window %F", {"paint", "--new-window", "F"}},
        {"viewer %U", {"viewer", "U"}},
        {"\"/opt/my editor/edit\" %i %c %k %u", {"/opt/my editor/edit", "U"}},
        {"zoom --scale=100%% %f", {"zoom", "--scale=100%", "F"}},
        {"plainviewer", {"plainviewer", "F"}},
        {"", {}}};
    for (const QString& name : kOddNames) {
        const QString path = "/tmp/dir with blank/" + name;
        for (const ExecCase& c : cases) {
            QStringList expected = c.expected;
            for (QString& word : expected)
                word = word == "F"   ? path
                       : word == "U" ? QUrl::fromLocalFile(path).toString()
                                     : word;
            EXPECT_EQ(QtUserInteraction::ExpandDesktopExec(c.exec, path), expected)
                << c.exec << " " << name.toStdString();
        }
    }
}

TEST(CommDialogPath, SendsAFileWhosePathHoldsQuotes)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("pro \"gram\" \u00FC"),
                  exchange = dir.filePath("-ex change");
    WriteAll(dir.filePath("qxctrl.ini"),
             "[General]\nBranch=B\nRegister=R\nExchangeFolder=" + QFile::encodeName(exchange));
    ASSERT_TRUE(QDir().mkpath(program));
    WriteAll(program + "/FILE797P.TXT", "screen 797\r\n");
    CQXPgco dlg{QxCtrlStore(dir.filePath("qxctrl.ini"))};
    dlg.m_dwMode = 1;
    dlg.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(program + "/FILE797P.TXT");
    dlg.accept();
    EXPECT_EQ(Line(dlg.statusText(), ReadAll(exchange + "/FILE797P.TXT")), "|screen 797\r\n");
}

} // namespace
