#pragma once

#include <QString>

/// Path of the file called name in folder, found without regard to letter case: an existing
/// file whose name differs only in case wins, otherwise folder/name as given.
QString FindFileNoCase(const QString& folder, const QString& name);
