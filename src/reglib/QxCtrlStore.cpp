#include "reglib/QxCtrlStore.h"

#include "fileio/AtomicFile.h"
#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlIniFile.h"
#include "reglib/QxCtrlTypes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <optional>
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

// Copies the embedded files of one demo folder; files already there are kept as they are.
// Empty, or why a file could not be copied.
QString copyDemoFolder(const QString& source, const QString& target)
{
    const QDir from(source);
    for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
        const QString dest = target + QLatin1Char('/') + name;
        if (QFileInfo::exists(dest))
            continue;
        if (!QFile::copy(from.filePath(name), dest))
            return QStringLiteral("Cannot copy the demo file \"%1\".").arg(dest);
        // Files from the resource come out read-only; the branch's files are the user's.
        QFile::setPermissions(dest, QFile::permissions(dest) | QFileDevice::WriteOwner);
    }
    return QString();
}

} // namespace

struct QxCtrlStore::Cache
{
    bool loaded = false;
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    std::optional<QxCtrlIniFile> file;
    FileResult problem;
};

QxCtrlStore::QxCtrlStore(QString iniPath)
    : m_path(std::move(iniPath)), m_cache(std::make_shared<Cache>())
{}

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
    return DefaultPath();
}

QString QxCtrlStore::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/qxctrl.ini");
}

const QxCtrlIniFile* QxCtrlStore::File() const
{
    Cache& cache = *m_cache;
    const QFileInfo info(m_path);
    const bool exists = info.exists();
    const qint64 size = exists ? info.size() : -1;
    const QDateTime modified =
        exists ? info.fileTime(QFileDevice::FileModificationTime) : QDateTime();
    if (!cache.loaded || cache.exists != exists || cache.size != size ||
        cache.modified != modified) {
        cache.problem = FileResult::Done();
        cache.file = QxCtrlIniFile::Load(m_path, &cache.problem);
        cache.loaded = true;
        cache.exists = exists;
        cache.size = size;
        cache.modified = modified;
    }
    return cache.file ? &*cache.file : nullptr;
}

FileResult QxCtrlStore::Problem() const
{
    File();
    return m_cache->problem;
}

FileResult QxCtrlStore::Update(const QString& section,
                               const QList<QPair<QString, QVariant>>& values) const
{
    FileResult problem;
    std::optional<QxCtrlIniFile> file = QxCtrlIniFile::Load(m_path, &problem);
    if (!file)
        return problem;
    QxCtrlIniFile changed = *file;
    for (const auto& [key, value] : values)
        changed.SetValue(section, key, value);
    // What reaches the disk must read back as meant: the keys set, everything else as it was
    // (an unclosed quote earlier in the file could swallow a new line).
    QString error;
    const std::optional<QxCtrlIniFile> readBack = QxCtrlIniFile::Parse(changed.Text(), &error);
    const auto same = [](const QVariant& a, const QVariant& b) {
        return QxCtrlIni::text(a) == QxCtrlIni::text(b) && a.isValid() == b.isValid();
    };
    bool asMeant = readBack.has_value();
    for (const auto& [key, value] : values)
        asMeant = asMeant && same(readBack->Value(section, key), value);
    if (asMeant) {
        for (const QString& name : file->Sections()) {
            for (const QString& key : file->Keys(name)) {
                const bool set = name == section &&
                                 std::any_of(values.cbegin(), values.cend(),
                                             [&key](const auto& v) { return v.first == key; });
                if (!set && !same(readBack->Value(name, key), file->Value(name, key)))
                    asMeant = false;
            }
        }
    }
    if (!asMeant)
        return FileResult::Failed(m_path, QStringLiteral("the change would not read back as "
                                                         "meant; the store is left as it is"));
    AtomicFile::RemoveLeftovers(QFileInfo(m_path).absolutePath());
    const FileResult written = AtomicFile::Write(m_path, changed.Text(), AtomicFile::Links::Follow);
    if (written)
        m_cache->loaded = false;
    return written;
}

FileResult QxCtrlStore::EnsureExists() const
{
    const auto fail = [this](const QString& why) {
        return FileResult::Failed(m_path, why);
    };
    if (m_path.isEmpty())
        return fail(QStringLiteral("No configuration store file is named."));
    const QFileInfo info(m_path);
    if (info.exists() || info.isSymLink()) {
        if (!File())
            return fail(Problem().reason);
        return FileResult::Done();
    }
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("Cannot create the folder \"%1\" for the configuration "
                                   "store.")
                        .arg(info.absolutePath()));

    // A store named on purpose (--config, QXPAN_CONFIG) keeps its demo branch beside it, so that
    // trying the programs leaves the user's own data folder alone.
    const QString dataRoot =
        QFileInfo(m_path).absoluteFilePath() == QFileInfo(DefaultPath()).absoluteFilePath()
            ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
            : info.absolutePath() + QStringLiteral("/QXPan");
    if (dataRoot.isEmpty())
        return fail(QStringLiteral("No user data folder is available for the demo branch."));
    const QString branchRoot = dataRoot + QStringLiteral("/branches/DEMO");
    const QString exchange = dataRoot + QStringLiteral("/exchange");

    initDemoBranchResource();
    for (const DemoFolder& folder : kDemoFolders) {
        const QString target = branchRoot + QLatin1Char('/') + QLatin1String(folder.name);
        if (!QDir().mkpath(target))
            return fail(QStringLiteral("Cannot create the folder \"%1\".").arg(target));
        if (const QString why = copyDemoFolder(
                QStringLiteral(":/demo-branch/") + QLatin1String(folder.name), target);
            !why.isEmpty())
            return fail(why);
    }
    if (!QDir().mkpath(exchange))
        return fail(QStringLiteral("Cannot create the folder \"%1\".").arg(exchange));

    // The store is written last, so a failure above leaves no store and the next start retries.
    std::optional<QxCtrlIniFile> store = QxCtrlIniFile::Parse(QByteArray(), nullptr);
    store->SetValue(QString(), QxCtrlIni::keyBranch(), QStringLiteral("DEMO"));
    store->SetValue(QString(), QxCtrlIni::keyExchangeFolder(), exchange);
    store->SetValue(QString(), QxCtrlIni::keyRegister(), QStringLiteral("ECR-1"));
    const QString branchGroup = QxCtrlIni::branchGroup(QStringLiteral("DEMO"));
    for (const DemoFolder& folder : kDemoFolders)
        store->SetValue(branchGroup, QStringLiteral("Folder") + QString::number(int(folder.kind)),
                        branchRoot + QLatin1Char('/') + QLatin1String(folder.name));
    for (const DemoFile& file : kDemoFiles) {
        const QString group =
            QxCtrlIni::fileGroupPrefix(QStringLiteral("DEMO")) + QString::number(file.number);
        store->SetValue(group, QStringLiteral("Info"), QString());
        store->SetValue(group, QStringLiteral("Name"), QLatin1String(file.name));
        store->SetValue(group, QStringLiteral("Word1"), QxCtrlIni::formatWord(0));
        store->SetValue(group, QStringLiteral("Word2"), QxCtrlIni::formatWord(0));
    }
    store->SetValue(QxCtrlIni::registerGroup(QStringLiteral("ECR-1")),
                    QStringLiteral("Capabilities"), QxCtrlIni::formatWord(0));
    // Table 12: mode 2, no window rectangle yet. Table 4: no bitmap editor program set.
    _ScreenDefinition_InterfaceTable panelTable;
    panelTable.dwMode = 2;
    for (const auto& [key, value] : QxCtrlIni::screenTableValues(panelTable))
        store->SetValue(QxCtrlIni::screenGroup(DEFSCR_SCRNO_PANELEDITOR), key, value);
    for (const auto& [key, value] :
         QxCtrlIni::screenTableValues(_ScreenDefinition_InterfaceTable{}))
        store->SetValue(QxCtrlIni::screenGroup(DEFSCR_SCRNO_BMPEDITOR), key, value);

    if (const FileResult written = AtomicFile::Write(m_path, store->Text()); !written)
        return fail(QStringLiteral("Cannot write the configuration store: %1").arg(written.Text()));
    m_cache->loaded = false;
    return FileResult::Done();
}
