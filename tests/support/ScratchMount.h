// Support: small read-only or full folders (tmpfs as root, else permissions); no test of its own.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

/// A folder whose writes fail the way a user's disk fails them. Root ignores permissions, so as
/// root it is a small tmpfs of its own (mount system call, no shell), remounted read-only or
/// filled; otherwise read-only by permissions, and a full one cannot be had (SkipReason()).
class ScratchMount
{
public:
    enum class Kind
    {
        ReadOnly, ///< nothing can be created, changed or deleted in the folder
        Full,     ///< files can be opened, but not one more byte fits
    };

    /// An empty writable folder; Seal() turns it into kind once the test has put its files.
    explicit ScratchMount(Kind kind, const char* size = "size=256k") : m_kind(kind)
    {
        if (!m_root.isValid() || !QDir().mkpath(m_path))
            m_skip = QStringLiteral("no temporary folder");
        else if (geteuid() != 0 && kind == Kind::Full)
            m_skip = QStringLiteral("a full file system needs root to mount a small tmpfs");
        else if (geteuid() == 0 && !(m_mounted = ::mount("tmpfs", Native(), "tmpfs", 0, size) == 0))
            m_skip = QStringLiteral("a tmpfs cannot be mounted here: ") + std::strerror(errno);
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(Native(), MNT_DETACH);
        else
            ::chmod(Native(), 0755);
    }

    /// Why the folder cannot be had; empty when it can.
    const QString& SkipReason() const { return m_skip; }
    const QString& Path() const { return m_path; }
    QString FilePath(const QString& name) const { return QDir(m_path).filePath(name); }

    /// Makes the folder read-only or fills it (leaving room bytes free); false when that failed.
    bool Seal(qint64 room = 0)
    {
        if (!m_skip.isEmpty())
            return false;
        if (m_kind == Kind::ReadOnly)
            return m_mounted
                       ? ::mount(nullptr, Native(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0
                       : ::chmod(Native(), 0555) == 0;
        // Fill the file system in blocks, then bytes, until a write fails.
        QFile filler(FilePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        for (const qsizetype size : {4096, 1})
            while (filler.write(QByteArray(size, 'x')) == size) {
            }
        return room == 0 || filler.resize(std::max<qint64>(0, filler.size() - room));
    }

private:
    const char* Native() const { return m_native.constData(); }

    Kind m_kind;
    QTemporaryDir m_root;
    QString m_path = m_root.filePath(QStringLiteral("mnt"));
    QByteArray m_native = QFile::encodeName(m_path);
    QString m_skip;
    bool m_mounted = false;
};
