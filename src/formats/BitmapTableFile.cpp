#include "formats/BitmapTableFile.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "document/RegisterFiles.h"
#include "fileio/AtomicFile.h"
#include "fileio/CQXPanFileFinder.h"
#include "fileio/CQXPanLineReader.h"
#include "fileio/FileCopy.h"
#include "fileio/InputFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Lines are read with a buffer of 256 bytes, the terminator included.
constexpr int kMaxLineBytes = 255;
// Header lines of an existing file are taken with a buffer of 2048 bytes.
constexpr int kMaxHeaderBytes = 2047;
constexpr int kLogoFileNumber = 796;
constexpr int kFileNumber = 795;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool AcceptedRecordCount(int n)
{
    return n == 90 || n == 150 || n == 240;
}

// A header line as it comes back from the file opened as text, written again as text: its line
// end becomes CR LF and it ends at a NUL byte. A piece cut by the buffer goes on in the next piece
// and is written as it is; a last line without its end gets one, so the records start on a line
// of their own.
QByteArray KeptHeaderLine(QByteArray line)
{
    const bool cut = !line.endsWith('\n') && line.size() == kMaxHeaderBytes;
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return cut ? line : line + "\r\n";
}

} // namespace

QString BitmapTableFile::WrongFileText()
{
    return QStringLiteral("Wrong FILE795P.TXT file.");
}

FileResult BitmapTableFile::KeepRejected(const QString& programFolder, QString& keptPath)
{
    keptPath.clear();
    const QString path = CQXPanFileFinder::FindPath(programFolder, RegisterFileName(kFileNumber));
    // No file, or none to read (a folder, a pipe, a device): nothing to keep.
    if (path.isEmpty() || InputFile::IsSpecial(path))
        return FileResult::Done();
    const QString copy = path + QStringLiteral(".bak");
    if (const FileResult copied = CopyFileReplacing(path, copy); !copied)
        return FileResult::Failed(path, QStringLiteral("could not be kept as %1: %2")
                                            .arg(QFileInfo(copy).fileName(), copied.reason));
    keptPath = copy;
    return FileResult::Done();
}

QString BitmapTableFile::KeptCopyText(const QString& copyPath)
{
    const QString name = QFileInfo(copyPath).fileName();
    return QStringLiteral("The key table that could not be read was kept as %1.").arg(name);
}

QString BitmapTableFile::PathInFolder(const QString& programFolder)
{
    return RegisterFilePath(programFolder, kFileNumber);
}

void BitmapTableFile::HexToBytes(const char* text, qsizetype length, quint8* bytes, int count)
{
    std::fill(bytes, bytes + count, quint8(0));
    int byteIndex = count - 1;
    bool highHalf = false;
    for (qsizetype i = length - 1; i >= 0 && byteIndex >= 0; --i) {
        const int code = quint8(text[i]);
        if (code < 0x30 || code > 0x46)
            continue;
        const int value = code <= '9' ? code - 0x30 : code - 0x37;
        if (highHalf) {
            bytes[byteIndex] = quint8(bytes[byteIndex] | (value << 4));
            --byteIndex;
        } else {
            bytes[byteIndex] = quint8(value);
        }
        highHalf = !highHalf;
    }
}

BitmapTableFile::ReadResult BitmapTableFile::Read(const QString& programFolder,
                                                  QList<CQXPanKeyObj>& table)
{
    return ReadFile(PathInFolder(programFolder), table);
}

BitmapTableFile::ReadResult BitmapTableFile::ReadFile(const QString& path,
                                                      QList<CQXPanKeyObj>& table)
{
    table = QList<CQXPanKeyObj>(kTableSize);
    // A pipe would block the reader and a device never ends: such a file is no table.
    if (const FileResult input = InputFile::Check(path); !input && InputFile::IsSpecial(path))
        return {input.Told(input.Text()), ReadStatus::Wrong, 0};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileResult::Done(), ReadStatus::Missing, 0};
    ReadResult read = ReadDevice(file, table);
    if (!read.result)
        read.result.path = path;
    return read;
}

BitmapTableFile::ReadResult BitmapTableFile::ReadDevice(QIODevice& device,
                                                        QList<CQXPanKeyObj>& table)
{
    table = QList<CQXPanKeyObj>(kTableSize);
    auto wrong = [](int records) {
        return ReadResult{FileResult::Failed(QString(), QString()).Told(WrongFileText()),
                          ReadStatus::Wrong, records};
    };

    CQXPanLineReader reader(device, kMaxLineBytes, CQXPanLineReader::Raw);
    QByteArray line;
    reader.ReadLine(line);
    if (line != "\"C\",\"n:P0795:\"\r\n" && line != "\"C\",\"c:P0795:\"\r\n")
        return wrong(0);
    if (!reader.ReadLine(line) || line.size() < 2 || (line[1] != 'H' && line[1] != 'h'))
        return wrong(0);
    if (!reader.ReadLine(line) || line.size() < 2 || (line[1] != 'F' && line[1] != 'f'))
        return wrong(0);

    std::array<quint8, kQXPanRecordSize> bytes{};
    int k = 0;
    while (reader.ReadLine(line) && IsDigit(line[0])) {
        if (k >= kTableSize)
            return wrong(k); // a 241st record is not stored
        // The hexadecimal text starts at the quote after the comma.
        const qsizetype from = std::min<qsizetype>(7, line.size());
        HexToBytes(line.constData() + from, line.size() - from, bytes.data(), kQXPanRecordSize);
        table[k].SetFromRecord(bytes.data());
        ++k;
    }
    if (!AcceptedRecordCount(k))
        return wrong(k);
    return {FileResult::Done(), ReadStatus::Read, k};
}

QList<QByteArray> BitmapTableFile::FreshHeader(const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    char h[96];
    const int n = std::snprintf(
        h, sizeof h,
        "\"h\",\"32\",\"01\",\"0000\",\"%02u%02u%02u\",\"%02u%02u\",\"0001\",\"00\",\"02\"\r\n",
        unsigned(date.year() % 100), unsigned(date.month()), unsigned(date.day()),
        unsigned(time.hour()), unsigned(time.minute()));
    return {QByteArray("\"C\",\"n:P0795:\"\r\n"), QByteArray(h, n),
            QByteArray("\"f\",\"FILE795\",\"P\",\"P\",\"0001\"\r\n")};
}

QByteArray BitmapTableFile::RecordLine(int index, const CQXPanKeyObj& record)
{
    static const char digits[] = "0123456789ABCDEF";
    char number[16];
    std::snprintf(number, sizeof number, "%06d", index + 1);
    QByteArray line;
    line.reserve(135);
    line += number;
    line += ",\"";
    const bool free = record.IsFree();
    for (int i = 0; i < kQXPanRecordSize; ++i) {
        const quint8 b = free ? 0 : record.m_Record.bytes[i];
        line += digits[b >> 4];
        line += digits[b & 0xF];
    }
    line += "\"\r\n";
    return line;
}

FileResult BitmapTableFile::Write(const QString& programFolder, QList<CQXPanKeyObj>& table,
                                  int fileNumber, const CQXPanDocument& doc, const QDateTime& now)
{
    if (fileNumber <= kLogoFileNumber)
        return FileResult::Done();
    return WriteFile(PathInFolder(programFolder), table, fileNumber, doc, now);
}

FileResult BitmapTableFile::WriteFile(const QString& path, QList<CQXPanKeyObj>& table,
                                      int fileNumber, const CQXPanDocument& doc,
                                      const QDateTime& now)
{
    if (fileNumber <= kLogoFileNumber)
        return FileResult::Done();

    // An existing file keeps its header lines as they are; missing ones are made fresh.
    QList<QByteArray> header = FreshHeader(now);
    QFile old(path);
    if (!InputFile::IsSpecial(path) && old.open(QIODevice::ReadOnly)) {
        CQXPanLineReader reader(old, kMaxHeaderBytes, CQXPanLineReader::Raw);
        QByteArray line;
        for (int i = 0; i < 3 && reader.ReadLine(line); ++i)
            header[i] = KeptHeaderLine(line);
        old.close();
    }

    const auto done = [](FileResult result) {
        if (!result)
            result.code = kWriteFailed;
        return result;
    };
    // The table takes the design's slice only once the file can be written.
    AtomicFile file(path);
    if (FileResult opened = file.Open(); !opened)
        return done(opened);
    QByteArray text;
    text.reserve(3 * 64 + qsizetype(table.size()) * 135);
    for (const QByteArray& line : header)
        text += line;
    doc.StoreTableSlice(table, fileNumber);
    for (int i = 0; i < table.size(); ++i)
        text += RecordLine(i, table[i]);
    file.Device().write(text);
    return done(file.Commit());
}
