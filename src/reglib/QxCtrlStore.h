#pragma once

#include "fileio/FileResult.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <memory>

class QxCtrlIniFile;

/// The configuration store (one INI file): where it lives, its contents read once (and again only
/// when the file changes), and its updates. Copies share what was read, so every library object
/// made for one call reads nothing anew.
class QxCtrlStore
{
public:
    explicit QxCtrlStore(QString iniPath);

    /// The INI file's path.
    const QString& path() const;

    /// --config FILE if given (non-empty), else $QXPAN_CONFIG, else
    /// QStandardPaths::writableLocation(GenericConfigLocation)/qxctrl.ini.
    static QString ResolvePath(const QString& optionPath);
    /// The user's own store: QStandardPaths::writableLocation(GenericConfigLocation)/qxctrl.ini.
    static QString DefaultPath();

    /// Creates a missing store with the demo branch "DEMO" (register "ECR-1") and fills the demo
    /// branch folders from the embedded demo branch: in the user's data folder for the user's
    /// own store (DefaultPath), in "QXPan" beside any other store. An existing store is checked,
    /// not changed.
    /// Fails naming the store and why when it cannot be had.
    FileResult EnsureExists() const;

    /// The store's contents, or null when it cannot be read (Problem says why). A missing file
    /// is an empty store.
    const QxCtrlIniFile* File() const;
    /// Why the store cannot be read: the file and the reason (a line that is no INI line, a size
    /// no store has, a pipe...); done when it can.
    FileResult Problem() const;

    /// Sets keys of one section in the store as it is on disk now, and writes it whole (through a
    /// link to it, keeping its mode): every other line stays as it was. Refused, the store left
    /// as it was, when it cannot be read, cannot be written (read-only, say), or would not read
    /// back as meant.
    FileResult Update(const QString& section, const QList<QPair<QString, QVariant>>& values) const;

private:
    struct Cache;
    QString m_path;
    std::shared_ptr<Cache> m_cache;
};
