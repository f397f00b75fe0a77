#include "app/DesktopEntry.h"

#include <QString>

namespace DesktopEntry {

QIcon AppIcon()
{
    // The same picture at three sizes, so that a scaled screen gets a sharp one.
    QIcon builtIn;
    builtIn.addFile(QStringLiteral(":/qxpan/icons/qxpan-48.png"));
    builtIn.addFile(QStringLiteral(":/qxpan/qxpan.png"));
    builtIn.addFile(QStringLiteral(":/qxpan/icons/qxpan-128.png"));
    return QIcon::fromTheme(QString::fromLatin1(kAppId), builtIn);
}

} // namespace DesktopEntry
