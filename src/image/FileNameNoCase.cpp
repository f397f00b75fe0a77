#include "image/FileNameNoCase.h"

#include <QDir>
#include <QFileInfo>

QString FindFileNoCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    // Register files travel between systems that ignore case; FILE797P.TXT is file797p.txt.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}
