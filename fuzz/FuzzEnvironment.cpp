#include "FuzzEnvironment.h"

#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// A plain std::string, so the folder is still known to the exit handler after Qt's statics are
// gone.
std::string& folderPath()
{
    static std::string path;
    return path;
}

void removeFolder()
{
    std::error_code ignored;
    if (!folderPath().empty())
        std::filesystem::remove_all(folderPath(), ignored);
}

} // namespace

void FuzzEnvironment::Init()
{
    if (!folderPath().empty())
        return;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qxpan-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort(); // nowhere safe to work: better no run than one in the user's folders
    folderPath() = pattern;
    for (const char* sub : {"config", "data", "cache", "runtime", "tmp"})
        std::filesystem::create_directory(pattern + "/" + sub);
    std::filesystem::permissions(pattern + "/runtime", std::filesystem::perms::owner_all);
    setenv("HOME", pattern.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (pattern + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (pattern + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (pattern + "/runtime").c_str(), 1);
    setenv("TMPDIR", (pattern + "/tmp").c_str(), 1);
    unsetenv("QXPAN_CONFIG");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::atexit(removeFolder);
}

QString FuzzEnvironment::Folder()
{
    return QString::fromStdString(folderPath());
}

QString FuzzEnvironment::WriteFile(const QString& name, const std::uint8_t* data, std::size_t size)
{
    const QString path = Folder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    const qint64 length = qint64(size);
    if (length > 0 && file.write(reinterpret_cast<const char*>(data), length) != length)
        return {};
    return path;
}
