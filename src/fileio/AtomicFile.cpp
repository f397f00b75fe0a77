#include "fileio/AtomicFile.h"

#include "fileio/FaultPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef QXPAN_FAULT_INJECTION
std::function<int(FaultStep)> g_qxpanFaultHook;
#endif

namespace {

// Our temporary files are named ".<target>.qxpan-<pid>-XXXXXX": hidden, recognisable, and
// telling which process made them.
const QString kMarker = QStringLiteral(".qxpan-");

QString SystemReason(int error)
{
    return qt_error_string(error);
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The process id in one of our temporary file names, or 0.
pid_t OwnerOf(const QString& fileName)
{
    const qsizetype at = fileName.lastIndexOf(kMarker);
    if (!fileName.startsWith(QLatin1Char('.')) || at <= 0)
        return 0;
    const QString rest = fileName.mid(at + kMarker.size());
    const qsizetype dash = rest.indexOf(QLatin1Char('-'));
    if (dash <= 0 || rest.size() - dash - 1 != 6)
        return 0;
    bool ok = false;
    const long pid = rest.left(dash).toLong(&ok);
    return ok && pid > 0 ? pid_t(pid) : 0;
}

} // namespace

CheckedWriter::~CheckedWriter()
{
    CloseDescriptor();
}

bool CheckedWriter::OpenDescriptor(int fd)
{
    m_fd = fd;
    m_error = 0;
    return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool CheckedWriter::CloseDescriptor()
{
    if (isOpen())
        close();
    if (m_fd < 0)
        return m_error == 0;
    const bool closed = ::close(m_fd) == 0;
    if (!closed && m_error == 0)
        m_error = errno;
    m_fd = -1;
    return closed && m_error == 0;
}

qint64 CheckedWriter::readData(char*, qint64)
{
    return -1;
}

qint64 CheckedWriter::writeData(const char* data, qint64 size)
{
    if (m_error != 0 || m_fd < 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        qint64 ask = size - done;
        if (const int fault = FaultAt(FaultStep::Writing); fault > 0) {
            m_error = fault;
            return -1;
        } else if (fault < 0) {
            ask = std::max<qint64>(1, ask / 2); // the system may take fewer bytes than asked
        }
        const ssize_t n = ::write(m_fd, data + done, size_t(ask));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            return -1;
        }
        done += n;
    }
    return done;
}

AtomicFile::AtomicFile(QString path, Links links) : m_path(std::move(path)), m_links(links) {}

AtomicFile::~AtomicFile()
{
    RemoveTemporary();
}

FileResult AtomicFile::Fail(const QString& path, int error)
{
    RemoveTemporary();
    return FileResult::Failed(path, SystemReason(error));
}

QString AtomicFile::WriteError() const
{
    return m_out.Error() == 0 ? QString() : SystemReason(m_out.Error());
}

void AtomicFile::RemoveTemporary()
{
    m_out.CloseDescriptor();
    if (!m_temporary.isEmpty())
        ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

FileResult AtomicFile::Open()
{
    RemoveTemporary();
    m_target = m_path;
    struct stat st
    {};
    if (::lstat(QFile::encodeName(m_path).constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            if (m_links == Links::Refuse)
                return FileResult::Failed(m_path, QStringLiteral("is a symbolic link; nothing is "
                                                                 "written through a link"));
            m_target = QFileInfo(m_path).canonicalFilePath();
            if (m_target.isEmpty())
                return FileResult::Failed(m_path, QStringLiteral("is a symbolic link to nothing"));
            if (::stat(QFile::encodeName(m_target).constData(), &st) != 0)
                return Fail(m_target, errno);
        }
        if (!S_ISREG(st.st_mode))
            return FileResult::Failed(m_target, QStringLiteral("is not a regular file (a folder, "
                                                               "a device or a pipe); it is left "
                                                               "as it is"));
        // The owner's write bit, as root would write through a read-only mode.
        if (!(st.st_mode & S_IWUSR))
            return FileResult::Failed(m_target, QStringLiteral("is read-only"));
        if (::access(QFile::encodeName(m_target).constData(), W_OK) != 0)
            return Fail(m_target, errno);
        m_mode = int(st.st_mode & 07777);
    } else if (errno == ENOENT) {
        m_mode = int(0666 & ~CurrentUmask());
    } else {
        return Fail(m_path, errno);
    }

    const QFileInfo info(m_target);
    QByteArray pattern =
        QFile::encodeName(QDir(info.absolutePath())
                              .filePath(QLatin1Char('.') + info.fileName() + kMarker +
                                        QString::number(::getpid()) + QStringLiteral("-XXXXXX")));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        const int error = errno;
        return FileResult::Failed(
            m_target, QStringLiteral("cannot write beside it: %1").arg(SystemReason(error)));
    }
    m_temporary = QFile::decodeName(pattern);
    m_out.OpenDescriptor(fd);
    if (const int error = FaultAt(FaultStep::TemporaryCreated))
        return Fail(m_target, error);
    return FileResult::Done();
}

FileResult AtomicFile::Commit()
{
    if (m_temporary.isEmpty() || m_out.Descriptor() < 0)
        return FileResult::Failed(m_path, QStringLiteral("was not opened for writing"));
    // Every write was whole, or the first failure is the reason.
    if (m_out.Error() != 0)
        return Fail(m_target, m_out.Error());
    if (const int error = FaultAt(FaultStep::BytesWritten))
        return Fail(m_target, error);
    const int fd = m_out.Descriptor();
    const auto sync = [fd] {
        if (const int fault = FaultAt(FaultStep::Syncing)) {
            errno = fault;
            return -1;
        }
        return ::fsync(fd);
    };
    if (::fchmod(fd, mode_t(m_mode)) != 0 || sync() != 0)
        return Fail(m_target, errno);
    if (!m_out.CloseDescriptor())
        return Fail(m_target, m_out.Error());
    if (const int error = FaultAt(FaultStep::Synced))
        return Fail(m_target, error);
    if (::rename(QFile::encodeName(m_temporary).constData(),
                 QFile::encodeName(m_target).constData()) != 0)
        return Fail(m_target, errno);
    m_temporary.clear();
    FaultAt(FaultStep::Renamed);
    return FileResult::Done();
}

FileResult AtomicFile::Write(const QString& path, const QByteArray& bytes, Links links)
{
    AtomicFile file(path, links);
    if (FileResult opened = file.Open(); !opened)
        return opened;
    file.Device().write(bytes);
    return file.Commit();
}

bool AtomicFile::IsTemporaryName(const QString& fileName)
{
    return OwnerOf(fileName) != 0;
}

void AtomicFile::RemoveLeftovers(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QLatin1Char('*') + kMarker + QLatin1Char('*')},
                      QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        const pid_t owner = OwnerOf(name);
        // A process that still runs may be writing it right now.
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        ::unlink(QFile::encodeName(dir.filePath(name)).constData());
    }
}
