#include "reglib/QxCtrlStore.h"

#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlTypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <utility>

// Outside any namespace, as the resource initialiser requires. The demo branch lives in a
// static library, so nothing would pull its resource object in without this reference.
static void initDemoBranchResource()
{
    Q_INIT_RESOURCE(demobranch);
}

namespace {

struct DemoFolder
{
    DEFBS_TYPE_ENVSTR kind;
    const char* name; // sub-folder of the branch and of the embedded demo branch
};

constexpr DemoFolder kDemoFolders[] = {
    {DEFBS_ENV_DATA, "data"},
    {DEFBS_ENV_WORK, "work"},
    {DEFBS_ENV_PROGRAM, "program"},
    {DEFBS_ENV_PLACEDBMP, "bitmaps"},
    {DEFBS_ENV_BACKGROUND, "backgrounds"},
};

struct DemoFile
{
    int number;
    const char* name;
};

constexpr DemoFile kDemoFiles[] = {
    {796, "Screen Logo"},
    {797, "Check Window 22"},
    {798, "Check Window 21"},
    {799, "Check Window 23"},
};

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// Copies the embedded files of one demo folder; files already there are kept as they are.
bool copyDemoFolder(const QString& source, const QString& target, QString* error)
{
    const QDir from(source);
    for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
        const QString dest = target + QLatin1Char('/') + name;
        if (QFileInfo::exists(dest))
            continue;
        if (!QFile::copy(from.filePath(name), dest))
            return fail(error, QStringLiteral("Cannot copy the demo file \"%1\".").arg(dest));
        // Files from the resource come out read-only; the branch's files are the user's.
        QFile::setPermissions(dest, QFile::permissions(dest) | QFileDevice::WriteOwner);
    }
    return true;
}

} // namespace

QxCtrlStore::QxCtrlStore(QString iniPath) : m_path(std::move(iniPath)) {}

const QString& QxCtrlStore::path() const
{
    return m_path;
}

QString QxCtrlStore::ResolvePath(const QString& optionPath)
{
    if (!optionPath.isEmpty())
        return optionPath;
    const QString env = qEnvironmentVariable("QXPAN_CONFIG");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/qxctrl.ini");
}

bool QxCtrlStore::EnsureExists(QString* error) const
{
    if (m_path.isEmpty())
        return fail(error, QStringLiteral("No configuration store file is named."));
    const QFileInfo info(m_path);
    if (info.exists()) {
        if (info.isDir())
            return fail(error,
                        QStringLiteral("The configuration store \"%1\" is a folder.").arg(m_path));
        return true;
    }
    if (!QDir().mkpath(info.absolutePath()))
        return fail(error, QStringLiteral("Cannot create the folder \"%1\" for the configuration "
                                          "store.")
                               .arg(info.absolutePath()));

    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataRoot.isEmpty())
        return fail(error, QStringLiteral("No user data folder is available for the demo branch."));
    const QString branchRoot = dataRoot + QStringLiteral("/branches/DEMO");
    const QString exchange = dataRoot + QStringLiteral("/exchange");

    initDemoBranchResource();
    for (const DemoFolder& folder : kDemoFolders) {
        const QString target = branchRoot + QLatin1Char('/') + QLatin1String(folder.name);
        if (!QDir().mkpath(target))
            return fail(error, QStringLiteral("Cannot create the folder \"%1\".").arg(target));
        if (!copyDemoFolder(QStringLiteral(":/demo-branch/") + QLatin1String(folder.name), target,
                            error))
            return false;
    }
    if (!QDir().mkpath(exchange))
        return fail(error, QStringLiteral("Cannot create the folder \"%1\".").arg(exchange));

    // The store is written last, so a failure above leaves no store and the next start retries.
    QSettings s(m_path, QSettings::IniFormat);
    s.setValue(QxCtrlIni::keyBranch(), QStringLiteral("DEMO"));
    s.setValue(QxCtrlIni::keyRegister(), QStringLiteral("ECR-1"));
    s.setValue(QxCtrlIni::keyExchangeFolder(), exchange);

    s.beginGroup(QxCtrlIni::branchGroup(QStringLiteral("DEMO")));
    for (const DemoFolder& folder : kDemoFolders)
        s.setValue(QStringLiteral("Folder") + QString::number(int(folder.kind)),
                   branchRoot + QLatin1Char('/') + QLatin1String(folder.name));
    s.endGroup();

    for (const DemoFile& file : kDemoFiles) {
        s.beginGroup(QxCtrlIni::fileGroupPrefix(QStringLiteral("DEMO")) +
                     QString::number(file.number));
        s.setValue(QStringLiteral("Name"), QLatin1String(file.name));
        s.setValue(QStringLiteral("Info"), QString());
        s.setValue(QStringLiteral("Word1"), QxCtrlIni::formatWord(0));
        s.setValue(QStringLiteral("Word2"), QxCtrlIni::formatWord(0));
        s.endGroup();
    }

    s.beginGroup(QxCtrlIni::registerGroup(QStringLiteral("ECR-1")));
    s.setValue(QStringLiteral("Capabilities"), QxCtrlIni::formatWord(0));
    s.endGroup();

    // Table 12: mode 2, no window rectangle yet. Table 4: no bitmap editor program set.
    _ScreenDefinition_InterfaceTable panelTable;
    panelTable.dwMode = 2;
    s.beginGroup(QxCtrlIni::screenGroup(DEFSCR_SCRNO_PANELEDITOR));
    QxCtrlIni::writeScreenTable(s, panelTable);
    s.endGroup();
    s.beginGroup(QxCtrlIni::screenGroup(DEFSCR_SCRNO_BMPEDITOR));
    QxCtrlIni::writeScreenTable(s, _ScreenDefinition_InterfaceTable{});
    s.endGroup();

    s.sync();
    if (s.status() != QSettings::NoError)
        return fail(error,
                    QStringLiteral("Cannot write the configuration store \"%1\".").arg(m_path));
    return true;
}
