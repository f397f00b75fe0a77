#include "fileio/CQXPanFileFinder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <vector>

QString CQXPanFileFinder::FindName(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || name.isEmpty())
        return {};
    if (QFileInfo(folder + QLatin1Char('/') + name).isFile())
        return name;
    QStringList matches;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString candidate = it.fileName();
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            matches.append(candidate);
    }
    if (matches.isEmpty())
        return {};
    SortNames(matches);
    return matches.first();
}

QString CQXPanFileFinder::FindPath(const QString& folder, const QString& name)
{
    const QString found = FindName(folder, name);
    return found.isEmpty() ? QString() : folder + QLatin1Char('/') + found;
}

QString CQXPanFileFinder::PathFor(const QString& folder, const QString& name)
{
    const QString found = FindPath(folder, name);
    return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

QStringList CQXPanFileFinder::ListBySuffix(const QString& folder, const QString& suffix)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(QLatin1Char('.')) && name.endsWith(suffix, Qt::CaseInsensitive))
            names.append(name);
    }
    SortNames(names);
    return names;
}

QStringList CQXPanFileFinder::ListFirstBySuffix(const QString& folder, const QString& suffix,
                                                qsizetype limit, const QString& excluded)
{
    QStringList names;
    if (folder.isEmpty() || limit <= 0)
        return names;
    // A max-heap of the names kept so far: a folder of any size costs only limit names.
    std::vector<QString> kept;
    kept.reserve(size_t(limit) + 1);
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        if (name.startsWith(QLatin1Char('.')) || !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        if (!excluded.isEmpty() && name.compare(excluded, Qt::CaseInsensitive) == 0)
            continue;
        if (qsizetype(kept.size()) == limit && !NameLess(name, kept.front()))
            continue;
        kept.push_back(std::move(name));
        std::push_heap(kept.begin(), kept.end(), NameLess);
        if (qsizetype(kept.size()) > limit) {
            std::pop_heap(kept.begin(), kept.end(), NameLess);
            kept.pop_back();
        }
    }
    std::sort_heap(kept.begin(), kept.end(), NameLess);
    names.reserve(qsizetype(kept.size()));
    for (QString& name : kept)
        names.append(std::move(name));
    return names;
}

bool CQXPanFileFinder::NameLess(const QString& a, const QString& b)
{
    const int byCase = a.compare(b, Qt::CaseInsensitive);
    return byCase != 0 ? byCase < 0 : a < b;
}

void CQXPanFileFinder::SortNames(QStringList& names)
{
    std::sort(names.begin(), names.end(), NameLess);
}
