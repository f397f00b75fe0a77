#include "cli/CliModule.h"

#include "cli/CliExit.h"
#include "cli/CliIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace CliModule {

int Run(int argc, char* argv[])
{
    const QDir here =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absoluteDir();
    const QString installed = QDir::cleanPath(
        here.filePath(QStringLiteral(QXPAN_CLI_MODULE_FROM_BIN "/" QXPAN_CLI_MODULE)));
    const QString built = here.filePath(QStringLiteral(QXPAN_CLI_MODULE));
    const QString path = QFileInfo::exists(installed) ? installed : built;
    CliIo io;
    void* module = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        return io.Fail(path, QStringLiteral("the commands of qxpan-cli cannot be loaded (%1); "
                                            "reinstall qxpan")
                                 .arg(QString::fromLocal8Bit(::dlerror())));
    using Main = int (*)(int, char**);
    const auto entry = reinterpret_cast<Main>(::dlsym(module, "qxpan_cli_main"));
    if (entry == nullptr)
        return io.Fail(path, QStringLiteral("is not the command module of this qxpan-cli; "
                                            "reinstall qxpan"));
    return entry(argc, argv);
}

} // namespace CliModule
