#pragma once

#include <QIcon>

namespace DesktopEntry {

/// The freedesktop application id: names the launcher, the metainfo file and the installed icon.
inline constexpr char kAppId[] = "io.github.qxpan.QXPan";

/// The application icon: the installed theme icon of kAppId, else the pictures built in.
QIcon AppIcon();

} // namespace DesktopEntry
