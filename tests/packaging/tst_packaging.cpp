// Desktop integration: the launcher and metainfo pass the freedesktop checkers, one application
// id ties every file together, `cmake --install` lays out a working tree, and the manual pages
// describe what the programs themselves print for --help.

#include "app/DesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace {

const QString kAppId = QString::fromLatin1(DesktopEntry::kAppId);

// A path pattern with %1 standing for the application id (patterns without it stay as they are).
QString WithId(QString pattern)
{
    return pattern.replace(QStringLiteral("%1"), kAppId);
}

QString SourcePath(const QString& relative)
{
    return QStringLiteral(QXPAN_SOURCE_DIR "/") + relative;
}

QString DesktopFile()
{
    return SourcePath(QStringLiteral("res/desktop/%1.desktop").arg(kAppId));
}

QString MetainfoFile()
{
    return SourcePath(QStringLiteral("res/metainfo/%1.metainfo.xml").arg(kAppId));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun RunProgram(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    ProgramRun run;
    run.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The [Desktop Entry] group of a .desktop file as key -> value.
std::map<QString, QString> DesktopEntries(const QString& path)
{
    std::map<QString, QString> entries;
    bool inGroup = false;
    const QStringList lines = QString::fromUtf8(ReadAll(path)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0)
            entries[line.left(eq)] = line.mid(eq + 1);
    }
    return entries;
}

// Texts of the metainfo elements by name, in document order ("launchable", "binary", ...).
std::multimap<QString, QString> MetainfoElements(const QString& path)
{
    static const QStringList wanted = {QStringLiteral("id"), QStringLiteral("launchable"),
                                       QStringLiteral("icon"), QStringLiteral("binary")};
    std::multimap<QString, QString> elements;
    QXmlStreamReader xml(ReadAll(path));
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && wanted.contains(xml.name().toString()))
            elements.emplace(xml.name().toString(), xml.readElementText());
    }
    elements.emplace(QStringLiteral("#error"), xml.hasError() ? xml.errorString() : QString());
    return elements;
}

// ---------------------------------------------------------------------------------------------
// The freedesktop checkers, when this machine has them (`sh scripts/install-deps package`).

struct CheckerCase
{
    const char* name;
    const char* tool;
    QStringList args;
    QString (*file)();
};

void PrintTo(const CheckerCase& c, std::ostream* os)
{
    *os << c.name;
}

class FreedesktopCheckers : public ::testing::TestWithParam<CheckerCase>
{};

TEST_P(FreedesktopCheckers, AcceptTheFile)
{
    const CheckerCase& c = GetParam();
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(c.tool));
    if (tool.isEmpty())
        GTEST_SKIP() << c.tool << " is not installed (sh scripts/install-deps package adds it)";
    const QString file = c.file();
    ASSERT_TRUE(QFileInfo::exists(file)) << qPrintable(file);
    const ProgramRun run = RunProgram(tool, c.args + QStringList{file});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out) << qPrintable(run.err);
    // Hints and warnings count too: both checkers print them as lines of their own.
    static const QRegularExpression complaint(QStringLiteral("^(E|W|I):|(error|warning|hint):"),
                                              QRegularExpression::MultilineOption);
    EXPECT_FALSE(complaint.match(run.out + run.err).hasMatch())
        << qPrintable(run.out) << qPrintable(run.err);
}

INSTANTIATE_TEST_SUITE_P(
    Launcher, FreedesktopCheckers,
    ::testing::Values(CheckerCase{"desktop", "desktop-file-validate", {}, &DesktopFile},
                      CheckerCase{"metainfo",
                                  "appstreamcli",
                                  {QStringLiteral("validate"), QStringLiteral("--no-net")},
                                  &MetainfoFile}),
    [](const ::testing::TestParamInfo<CheckerCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// One id: the launcher, the metainfo and the editor's own idea of its desktop file name.

TEST(ApplicationId, LauncherAndMetainfoUseTheEditorsId)
{
    const auto desktop = DesktopEntries(DesktopFile());
    ASSERT_FALSE(desktop.empty()) << "no [Desktop Entry] group in " << qPrintable(DesktopFile());
    EXPECT_EQ(desktop.at(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(desktop.at(QStringLiteral("Icon")), kAppId);
    // The launcher starts the program that is installed, found on PATH.
    EXPECT_EQ(desktop.at(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0),
              QStringLiteral("qxpan"));

    const auto meta = MetainfoElements(MetainfoFile());
    EXPECT_EQ(meta.find(QStringLiteral("#error"))->second, QString());
    ASSERT_EQ(meta.count(QStringLiteral("id")), 1u);
    EXPECT_EQ(meta.find(QStringLiteral("id"))->second, kAppId);
    ASSERT_EQ(meta.count(QStringLiteral("launchable")), 1u);
    EXPECT_EQ(meta.find(QStringLiteral("launchable"))->second, kAppId + QStringLiteral(".desktop"));
    ASSERT_EQ(meta.count(QStringLiteral("icon")), 1u);
    EXPECT_EQ(meta.find(QStringLiteral("icon"))->second, kAppId);
    QStringList binaries;
    const auto [first, last] = meta.equal_range(QStringLiteral("binary"));
    for (auto it = first; it != last; ++it)
        binaries << it->second;
    EXPECT_EQ(binaries, (QStringList{QStringLiteral("qxpan"), QStringLiteral("qxpan-cli")}));
}

// Every file that names the release names the one CMake builds.
struct VersionCase
{
    const char* name;
    QString file;
    QString pattern; // one capture: the version
};

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReleaseVersion : public ::testing::TestWithParam<VersionCase>
{};

TEST_P(ReleaseVersion, IsTheProjectVersion)
{
    const VersionCase& c = GetParam();
    const QString text = QString::fromUtf8(ReadAll(SourcePath(WithId(c.file))));
    ASSERT_FALSE(text.isEmpty()) << qPrintable(c.file);
    const QRegularExpressionMatch m =
        QRegularExpression(c.pattern, QRegularExpression::MultilineOption).match(text);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(c.file) << " names no version";
    EXPECT_EQ(m.captured(1), QStringLiteral(QXPAN_VERSION)) << qPrintable(c.file);
}

INSTANTIATE_TEST_SUITE_P(Files, ReleaseVersion,
                         ::testing::Values(
                             // The newest release comes first in both lists.
                             VersionCase{"metainfo", QStringLiteral("res/metainfo/%1.metainfo.xml"),
                                         QStringLiteral("<release version=\"([^\"]+)\"")},
                             VersionCase{"changelog", QStringLiteral("docs/changelog"),
                                         QStringLiteral("\\Aqxpan \\(([^)]+)\\)")},
                             VersionCase{"manEditor", QStringLiteral("docs/qxpan.1"),
                                         QStringLiteral("^\\.TH .* \"QXPan ([^\"]+)\"")},
                             VersionCase{"manCli", QStringLiteral("docs/qxpan-cli.1"),
                                         QStringLiteral("^\\.TH .* \"QXPan ([^\"]+)\"")}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             return info.param.name;
                         });

// ---------------------------------------------------------------------------------------------
// `cmake --install` into a fresh prefix.

enum class Kind
{
    Program,
    Module,
    Png,
    Svg,
    Text,
    Gzipped,
};

struct InstalledFile
{
    QString path; // below the prefix; %1 stands for the application id
    Kind kind;
    int size = 0;   // Png: width and height
    QString source; // Text, Gzipped: the file in the source tree it must equal
};

// Checks one installed file by its kind; failures name the file through the caller's trace.
void CheckInstalledFile(const QString& prefix, const InstalledFile& f)
{
    const QString path = QDir(prefix).filePath(WithId(f.path));
    const QFileInfo info(path);
    ASSERT_TRUE(info.isFile()) << "not installed";

    switch (f.kind) {
    case Kind::Program: {
        ASSERT_TRUE(info.isExecutable());
        // The installed copy runs on its own, away from the build tree.
        const ProgramRun help = RunProgram(path, {QStringLiteral("--help")});
        ASSERT_TRUE(help.finished);
        EXPECT_EQ(help.exitCode, 0) << qPrintable(help.err);
        EXPECT_TRUE(help.out.contains(info.fileName())) << qPrintable(help.out);
        break;
    }
    case Kind::Module:
        // The installed qxpan-cli's --help above runs through it.
        EXPECT_TRUE(ReadAll(path).startsWith("\x7f"
                                             "ELF"))
            << "not a shared object";
        break;
    case Kind::Png: {
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(f.size, f.size));
        EXPECT_TRUE(image.hasAlphaChannel());
        break;
    }
    case Kind::Svg:
        EXPECT_TRUE(ReadAll(path).contains("<svg")) << "not an SVG picture";
        break;
    case Kind::Text:
        EXPECT_EQ(ReadAll(path), ReadAll(SourcePath(WithId(f.source))));
        break;
    case Kind::Gzipped: {
        // gzip, as Debian ships manual pages and change logs, unpacking to our own file.
        ASSERT_TRUE(ReadAll(path).startsWith("\x1f\x8b")) << "not gzip-compressed";
        const QString gzip = QStandardPaths::findExecutable(QStringLiteral("gzip"));
        ASSERT_FALSE(gzip.isEmpty());
        QProcess unpack;
        unpack.start(gzip, {QStringLiteral("-dc"), path});
        ASSERT_TRUE(unpack.waitForFinished(30000));
        EXPECT_EQ(unpack.readAllStandardOutput(), ReadAll(SourcePath(f.source)));
        break;
    }
    }
}

// One installation (it copies both programs), then every file it must hold and nothing else.
TEST(InstallTree, HoldsTheProgramsLauncherIconsMetainfoManualPagesAndDocs)
{
    const QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const ProgramRun install =
        RunProgram(QStringLiteral(QXPAN_CMAKE_COMMAND),
                   {QStringLiteral("--install"), QStringLiteral(QXPAN_BINARY_DIR),
                    QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.finished);
    ASSERT_EQ(install.exitCode, 0) << qPrintable(install.out) << qPrintable(install.err);

    const QList<InstalledFile> expected = {
        {QStringLiteral("bin/qxpan"), Kind::Program, 0, {}},
        {QStringLiteral("bin/qxpan-cli"), Kind::Program, 0, {}},
        {QStringLiteral(QXPAN_INSTALL_LIBDIR "/qxpan/qxpan-cli-commands.so"), Kind::Module, 0, {}},
        {QStringLiteral("share/applications/%1.desktop"), Kind::Text, 0,
         QStringLiteral("res/desktop/%1.desktop")},
        {QStringLiteral("share/metainfo/%1.metainfo.xml"), Kind::Text, 0,
         QStringLiteral("res/metainfo/%1.metainfo.xml")},
        {QStringLiteral("share/icons/hicolor/48x48/apps/%1.png"), Kind::Png, 48, {}},
        {QStringLiteral("share/icons/hicolor/128x128/apps/%1.png"), Kind::Png, 128, {}},
        {QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg"), Kind::Svg, 0, {}},
        {QStringLiteral("share/man/man1/qxpan-cli.1.gz"), Kind::Gzipped, 0,
         QStringLiteral("docs/qxpan-cli.1")},
        {QStringLiteral("share/man/man1/qxpan.1.gz"), Kind::Gzipped, 0,
         QStringLiteral("docs/qxpan.1")},
        {QStringLiteral("share/doc/qxpan/copyright"), Kind::Text, 0,
         QStringLiteral("docs/copyright")},
        {QStringLiteral("share/doc/qxpan/changelog.gz"), Kind::Gzipped, 0,
         QStringLiteral("docs/changelog")},
    };
    QStringList expectedPaths;
    for (const InstalledFile& f : expected) {
        SCOPED_TRACE(qPrintable(WithId(f.path)));
        CheckInstalledFile(prefix.path(), f);
        expectedPaths << WithId(f.path);
    }

    QStringList files;
    QDirIterator it(prefix.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(prefix.path()).relativeFilePath(it.next());
    files.sort();
    expectedPaths.sort();
    EXPECT_EQ(files, expectedPaths);
}

// ---------------------------------------------------------------------------------------------
// The manual pages against the programs' own --help.

// The page as plain text: font changes dropped, escaped minus signs plain.
QString ManText(const QString& page)
{
    QString text = QString::fromUtf8(ReadAll(SourcePath(page)));
    static const QRegularExpression fonts(QStringLiteral("\\\\f[BIRP]"));
    text.remove(fonts);
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    return text;
}

struct ManCase
{
    const char* name;
    QString program;
    QString page;
};

void PrintTo(const ManCase& c, std::ostream* os)
{
    *os << c.name;
}

class ManPages : public ::testing::TestWithParam<ManCase>
{};

TEST_P(ManPages, NameEveryOptionTheProgramKnows)
{
    const ManCase& c = GetParam();
    const ProgramRun help = RunProgram(c.program, {QStringLiteral("--help")});
    ASSERT_TRUE(help.finished);
    ASSERT_EQ(help.exitCode, 0) << qPrintable(help.err);
    QString allHelp = help.out;
    // qxpan-cli explains each command on its own.
    static const QRegularExpression command(QStringLiteral("^  ([a-z]+) "),
                                            QRegularExpression::MultilineOption);
    if (c.program.endsWith(QLatin1String("qxpan-cli"))) {
        for (auto m = command.globalMatch(help.out); m.hasNext();) {
            const ProgramRun one =
                RunProgram(c.program, {m.next().captured(1), QStringLiteral("--help")});
            ASSERT_EQ(one.exitCode, 0) << qPrintable(one.err);
            allHelp += one.out;
        }
    }
    const QString man = ManText(c.page);
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--[a-z][a-z-]*"));
    int options = 0;
    for (auto m = option.globalMatch(allHelp); m.hasNext(); ++options) {
        const QString name = m.next().captured(0);
        EXPECT_TRUE(man.contains(name))
            << qPrintable(c.page) << " does not name " << qPrintable(name);
    }
    EXPECT_GE(options, 2);
}

TEST_P(ManPages, FormatWithoutWarnings)
{
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        GTEST_SKIP() << "groff is not installed";
    const ProgramRun run =
        RunProgram(groff, {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z"),
                           QStringLiteral("-Tutf8"), SourcePath(GetParam().page)});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, QString());
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPages,
                         ::testing::Values(ManCase{"editor", QStringLiteral(QXPAN_EDITOR_PATH),
                                                   QStringLiteral("docs/qxpan.1")},
                                           ManCase{"cli", QStringLiteral(QXPAN_CLI_PATH),
                                                   QStringLiteral("docs/qxpan-cli.1")}),
                         [](const ::testing::TestParamInfo<ManCase>& info) {
                             return info.param.name;
                         });

// Every command the tool lists has its own subsection, titled with the tool's own synopsis.
TEST(CliManPage, HasASubsectionPerCommandWithItsSynopsis)
{
    const ProgramRun help = RunProgram(QStringLiteral(QXPAN_CLI_PATH), {QStringLiteral("--help")});
    ASSERT_EQ(help.exitCode, 0) << qPrintable(help.err);
    QStringList synopses;
    static const QRegularExpression line(QStringLiteral("^  (\\S.*)$"),
                                         QRegularExpression::MultilineOption);
    for (auto m = line.globalMatch(help.out); m.hasNext();)
        synopses << m.next().captured(1).trimmed();
    ASSERT_FALSE(synopses.isEmpty()) << qPrintable(help.out);

    QStringList subsections;
    static const QRegularExpression ss(QStringLiteral("^\\.SS \"(.*)\"$"),
                                       QRegularExpression::MultilineOption);
    const QString man = ManText(QStringLiteral("docs/qxpan-cli.1"));
    for (auto m = ss.globalMatch(man); m.hasNext();)
        subsections << m.next().captured(1);
    EXPECT_EQ(subsections, synopses);
}

} // namespace
