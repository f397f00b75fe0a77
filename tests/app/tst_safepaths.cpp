// Catches: a path in a panel file or a chosen name that reaches outside the branch or is split.
// Odd names (blanks, quotes, non-ASCII, leading dashes) survive every way a path is handed on.
#include "EditorFixture.h"

#include "uikit/QtUserInteraction.h"

#include <QDirIterator>
#include <QUrl>

namespace {

// Names that a shell or an option parser would take apart.
const QStringList kOddNames = {"with blank.bmp", "quo\"te's.bmp", "\u00FCml\u00E4ut \u00DF.bmp",
                               "-x.bmp",         "--help.bmp",    "$(touch pwned);`x`|y&.bmp"};

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

// A path handed to a program or to the desktop arrives as ONE argument, unsplit and
// uninterpreted, whichever way it leaves the editor; each way with another odd name.
TEST_F(SafePaths, APathHandedOnArrivesAsOneArgument)
{
    enum
    {
        BitmapEditor,
        Program,
        Desktop,
        Send
    }; // the ways, in the order of the names
    const QStringList names = {"-x.bmp", kOddNames[5], kOddNames[1], "pro \"gram\" \u00FC"};
    // An odd program name too; the program writes each argument it got on a line of its own.
    const QString program = outside.filePath("my \"ed\" \u00E9 -p.sh");
    const QString record = outside.filePath("args"), exchange = outside.filePath("-ex change");
    WriteAll(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                      "\"$QXPAN_ARGS_OUT\"\nexit 4\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    for (int starter = BitmapEditor; starter <= Send; ++starter) {
        const QString name = names[starter], path = outside.filePath(name);
        QStringList got, want;
        if (starter == BitmapEditor) { // flag 2: the branch's bitmap editor is set
            WriteBitmap(env.Folder("placed") + "/" + name, 8, 8, QColor(9, 9, 9));
            env.SetBitmapEditor(program, 2);
            Start();
            ChooseObjectType(kPlaceBitmap);
            ClickRow(name);
            EditBitmap();
            const auto run = env.ui.CallsOf(Kind::StartAndWait).value(0);
            got = QStringList{run.program} + run.arguments;
            want = {program, env.Folder("placed") + "/" + name};
        } else if (starter == Program) { // really started, its exit code handed back
            qputenv("QXPAN_ARGS_OUT", QFile::encodeName(record));
            const auto run = QtUserInteraction().StartAndWait(program, {path});
            qunsetenv("QXPAN_ARGS_OUT");
            got = {Line(run.started, run.exitCode), QString::fromUtf8(ReadAll(record))};
            want = {"true|4", path + '\n'};
        } else if (starter == Desktop) { // the command line of the desktop's program for the file
            const QString file = "/tmp/dir with blank/" + name;
            const QString url = QUrl::fromLocalFile(file).toString();
            const QList<std::pair<const char*, QStringList>> execs = {
                {"paint %f", {"paint", file}},
                {"viewer %U", {"viewer", url}},
                {"\"/opt/my editor/edit\" --scale=100%% %i %c %k %F",
                 {"/opt/my editor/edit", "--scale=100%", file}},
                {"plainviewer", {"plainviewer", file}},
                {"", {}}};
            for (const auto& [exec, expected] : execs) {
                got << QtUserInteraction::ExpandDesktopExec(exec, file).join('\n');
                want << expected.join('\n');
            }
        } else { // the transfer's /SEND, into an exchange folder named like an option
            WriteAll(outside.filePath("qxctrl.ini"),
                     "[General]\nBranch=B\nRegister=R\nExchangeFolder=" +
                         QFile::encodeName(exchange));
            ASSERT_TRUE(QDir().mkpath(path));
            WriteAll(path + "/FILE797P.TXT", "screen 797\r\n");
            CQXPgco comm{QxCtrlStore(outside.filePath("qxctrl.ini"))};
            comm.m_dwMode = 1;
            comm.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(path + "/FILE797P.TXT");
            comm.accept();
            got = {comm.statusText(), ReadAll(exchange + "/FILE797P.TXT")};
            want = {"", "screen 797\r\n"};
        }
        EXPECT_EQ(got.join(" | "), want.join(" | ")) << name.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(outside.filePath("pwned")) || QFileInfo::exists("pwned"));
}

} // namespace
