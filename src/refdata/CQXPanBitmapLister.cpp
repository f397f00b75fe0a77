#include "refdata/CQXPanBitmapLister.h"

#include "document/RegisterFiles.h"
#include "fileio/AtomicFile.h"

#include "fileio/CQXPanFileFinder.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kFirstScreenFile = 796;
constexpr int kLastScreenFile = 799;
constexpr int kEmptyWidth = 1024;
constexpr int kEmptyHeight = 768;
constexpr int kHeaderBytes = 54;
constexpr int kPixelBytes = 3 * kEmptyWidth * kEmptyHeight;

CQXPanRefRow fileRow(const QString& folder, const QString& name)
{
    CQXPanRefRow row;
    row.m_strCol1 = name;
    row.m_strFilePath = folder + QLatin1Char('/') + name;
    return row;
}

void appendBitmaps(QList<CQXPanRefRow>& rows, const QString& folder, bool skipEmptyBackground)
{
    // Only the names that can still become rows are kept, whatever the folder holds.
    const qsizetype room = CQXPanBitmapLister::kMaxRows - rows.size();
    const QStringList names = CQXPanFileFinder::ListFirstBySuffix(
        folder, QStringLiteral(".bmp"), room,
        skipEmptyBackground ? CQXPanBitmapLister::EmptyBackgroundName() : QString());
    for (const QString& name : names)
        rows.append(fileRow(folder, name));
}

template <typename T> void put(char*& p, T value)
{
    qToLittleEndian(value, p);
    p += sizeof(T);
}

} // namespace

const QString& CQXPanBitmapLister::EmptyBackgroundName()
{
    static const QString name = QStringLiteral("Aempty.bmp");
    return name;
}

QList<CQXPanRefRow> CQXPanBitmapLister::ListBackgrounds(const QString& programFolder,
                                                        const QString& backgroundFolder)
{
    QList<CQXPanRefRow> rows;
    for (int number = kFirstScreenFile; number <= kLastScreenFile; ++number) {
        const QString name = CQXPanFileFinder::FindName(programFolder, RegisterFileName(number));
        if (name.isEmpty())
            continue;
        CQXPanRefRow row = fileRow(programFolder, name);
        row.m_nScreenNo = number;
        rows.append(row);
    }

    QString emptyName = CQXPanFileFinder::FindName(backgroundFolder, EmptyBackgroundName());
    if (emptyName.isEmpty()) {
        emptyName = EmptyBackgroundName();
        // A folder that cannot take the file still lists the name; loading it fails later.
        CreateEmptyBackground(backgroundFolder + QLatin1Char('/') + emptyName);
    }
    rows.append(fileRow(backgroundFolder, emptyName));

    appendBitmaps(rows, backgroundFolder, true);
    return rows;
}

QList<CQXPanRefRow> CQXPanBitmapLister::ListPlacedBitmaps(const QString& folder)
{
    QList<CQXPanRefRow> rows;
    appendBitmaps(rows, folder, false);
    return rows;
}

QByteArray CQXPanBitmapLister::EmptyBackgroundBytes()
{
    QByteArray bytes(kHeaderBytes + kPixelBytes, char(0xFF));
    char* p = bytes.data();
    *p++ = 'B';
    *p++ = 'M';
    put<quint32>(p, kHeaderBytes + kPixelBytes); // file size
    put<quint32>(p, 0);                          // two reserved words
    put<quint32>(p, kHeaderBytes);               // pixel data offset
    put<quint32>(p, 40);                         // info header size
    put<qint32>(p, kEmptyWidth);
    put<qint32>(p, kEmptyHeight); // positive: rows bottom-up
    put<quint16>(p, 1);           // planes
    put<quint16>(p, 24);          // bits per pixel
    put<quint32>(p, 0);           // no compression
    put<quint32>(p, kPixelBytes);
    put<qint32>(p, 0); // resolutions
    put<qint32>(p, 0);
    put<quint32>(p, 0); // colours used, important
    put<quint32>(p, 0);
    return bytes;
}

FileResult CQXPanBitmapLister::CreateEmptyBackground(const QString& path)
{
    // Not through a link: a dangling "Aempty.bmp" link would create a file elsewhere.
    if (const FileResult written = AtomicFile::Write(path, EmptyBackgroundBytes()); !written)
        return written;
    if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup |
                                         QFile::ReadOther))
        return FileResult::Failed(path, QStringLiteral("cannot make %1 read-only").arg(path));
    return FileResult::Done();
}
