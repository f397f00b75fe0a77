// Support: small read-only or full folders (tmpfs as root, else permissions); no test of its own.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

/// A folder whose writes fail the way a user's disk fails them, for the "nothing lost" tests.
///
/// Root ignores file permissions, so as root the folder is a small tmpfs of its own (mounted
/// with the mount system call, never through a shell): remounted read-only, or filled to the
/// last byte. Without root a read-only folder is made with permissions; a full file system
/// needs root. When a kind cannot be made, SkipReason() says why and the test skips.
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
        if (!m_root.isValid()) {
            m_skip = QStringLiteral("no temporary folder");
            return;
        }
        m_path = m_root.filePath(QStringLiteral("mnt"));
        QDir().mkpath(m_path);
        if (geteuid() != 0) {
            if (kind == Kind::Full)
                m_skip = QStringLiteral("a full file system needs root to mount a small tmpfs");
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, size) != 0) {
            m_skip = QStringLiteral("running as root, but a tmpfs cannot be mounted here: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }

    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        else if (!m_path.isEmpty())
            ::chmod(QFile::encodeName(m_path).constData(), 0755);
    }

    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    /// Why the folder cannot be had; empty when it can.
    const QString& SkipReason() const { return m_skip; }
    /// The folder.
    const QString& Path() const { return m_path; }
    /// A path inside the folder.
    QString FilePath(const QString& name) const { return QDir(m_path).filePath(name); }

    /// Makes the folder read-only or fills it (leaving room bytes free); false when that did not
    /// work.
    bool Seal(qint64 room = 0)
    {
        if (!m_skip.isEmpty())
            return false;
        const QByteArray path = QFile::encodeName(m_path);
        if (m_kind == Kind::ReadOnly) {
            if (m_mounted)
                return ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                               nullptr) == 0;
            return ::chmod(path.constData(), 0555) == 0;
        }
        // Fill the file system in pieces until a write fails; nothing more fits then.
        QFile filler(FilePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        QByteArray byte(1, 'x');
        while (filler.write(byte) == 1) {
        }
        const bool freed = room == 0 || filler.resize(std::max<qint64>(0, filler.size() - room));
        filler.close();
        return freed;
    }

private:
    Kind m_kind;
    QTemporaryDir m_root;
    QString m_path;
    QString m_skip;
    bool m_mounted = false;
};
