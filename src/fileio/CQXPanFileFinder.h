#pragma once

#include <QString>
#include <QStringList>

/// Finds files the way the register's home system does: names compared without regard to case.
class CQXPanFileFinder
{
public:
    /// The name of the file in folder that equals name without regard to case (an exact match
    /// first), or an empty string when there is none.
    static QString FindName(const QString& folder, const QString& name);
    /// folder + "/" + FindName(folder, name), or an empty string when there is no such file.
    static QString FindPath(const QString& folder, const QString& name);
    /// FindPath, or folder/name as given when there is no such file: the path to write to.
    static QString PathFor(const QString& folder, const QString& name);
    /// Names of the files in folder ending in suffix (any case) and not beginning with ".",
    /// sorted without regard to case (ties by exact name, so the order is stable).
    static QStringList ListBySuffix(const QString& folder, const QString& suffix);
    /// The first limit names of ListBySuffix, leaving out names equal to excluded (any case).
    /// Memory stays in proportion to limit however many files the folder holds.
    static QStringList ListFirstBySuffix(const QString& folder, const QString& suffix,
                                         qsizetype limit, const QString& excluded = QString());
    /// Sorts names without regard to case, ties by exact name.
    static void SortNames(QStringList& names);
    /// The order of SortNames: without regard to case, ties by exact name.
    static bool NameLess(const QString& a, const QString& b);
};
