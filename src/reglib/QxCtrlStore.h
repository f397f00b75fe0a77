#pragma once

#include <QString>

/// Where the configuration store (one INI file) lives; a cheap value type.
class QxCtrlStore
{
public:
    explicit QxCtrlStore(QString iniPath);

    /// The INI file's path.
    const QString& path() const;

    /// --config FILE if given (non-empty), else $QXPAN_CONFIG, else
    /// QStandardPaths::writableLocation(GenericConfigLocation)/qxctrl.ini.
    static QString ResolvePath(const QString& optionPath);

    /// Creates a missing store with the demo branch "DEMO" (register "ECR-1") and fills the demo
    /// branch folders from the embedded demo branch. An existing store is left untouched (true).
    /// Returns false with *error set when that fails.
    bool EnsureExists(QString* error = nullptr) const;

private:
    QString m_path;
};
