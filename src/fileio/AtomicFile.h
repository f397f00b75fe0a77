#pragma once

#include "fileio/FileResult.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

/// A write-only device on a file descriptor that writes every byte it is given or remembers why it
/// could not: a short write (a disk that fills up half-way) is an error, not a smaller count.
class CheckedWriter final : public QIODevice
{
public:
    ~CheckedWriter() override;
    /// Takes over fd.
    bool OpenDescriptor(int fd);
    /// Closes the descriptor; false (with Error set) when the system reports a failure.
    bool CloseDescriptor();
    int Descriptor() const { return m_fd; }
    /// The errno of the first failed write, 0 while none failed.
    int Error() const { return m_error; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    int m_fd = -1;
    int m_error = 0;
};

/// Writes one file whole or not at all. The bytes go to a temporary file of a recognisable name
/// beside the target (so on the target's own file system), every write, the flush and the sync
/// are checked, and only then does the temporary replace the target, in one rename. The target is
/// never deleted first and nothing falls back to a copy, so a failure or a kill at any moment
/// leaves the old file whole. An existing target must be a regular file that is not read-only
/// (a symbolic link, a device, a FIFO or a folder is refused, so nothing is written through a
/// link); it keeps its permissions.
class AtomicFile
{
public:
    /// How an existing symbolic link at the target is treated.
    enum class Links
    {
        Refuse, ///< refused: a branch's files and the tool's outputs are not written through
        Follow, ///< the file it points to is replaced (the configuration store)
    };

    explicit AtomicFile(QString path, Links links = Links::Refuse);
    /// Removes the temporary file unless Commit replaced the target with it.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    /// Checks the target and creates the temporary file.
    FileResult Open();
    /// The temporary file, to write to between Open and Commit.
    QIODevice& Device() { return m_out; }
    /// Why a write to Device failed, as the system says it; empty while none has.
    QString WriteError() const;
    /// Flushes and syncs the temporary file and renames it over the target.
    FileResult Commit();

    /// Open, the bytes, Commit.
    static FileResult Write(const QString& path, const QByteArray& bytes,
                            Links links = Links::Refuse);

    /// True for the name of one of our temporary files.
    static bool IsTemporaryName(const QString& fileName);
    /// Removes the temporary files in folder that a process which has ended left behind (a kill
    /// in the middle of a write); those of running processes stay.
    static void RemoveLeftovers(const QString& folder);

private:
    FileResult Fail(const QString& path, int error);
    void RemoveTemporary();

    QString m_path;
    Links m_links;
    QString m_target; ///< the file replaced: m_path, or the file a followed link names
    QString m_temporary;
    CheckedWriter m_out;
    int m_mode = -1; ///< permissions the result gets
};
