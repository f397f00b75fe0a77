#pragma once

#include "fileio/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class CQXPanDocument;
class CQXPanKeyObj;
class QIODevice;

/// The bitmap table file FILE795P.TXT: the key and table records of the three check windows.
class BitmapTableFile
{
public:
    /// Records of the table.
    static constexpr int kTableSize = 240;

    /// How reading ended.
    enum class ReadStatus
    {
        Read,    ///< a file of 90, 150 or 240 records was read
        Missing, ///< no file: every record stays free
        Wrong,   ///< the file was rejected or has a wrong number of records
    };

    struct ReadResult
    {
        FileResult result; ///< a rejected file fails telling "Wrong FILE795P.TXT file." (or why a
                           ///< file that is no regular file is not read)
        ReadStatus eStatus = ReadStatus::Missing;
        int nRecords = 0; ///< record lines stored in the table
    };

    /// The code of Write's result when the file cannot be written.
    static constexpr int kWriteFailed = -2;

    /// Reads FILE795P.TXT (name in any letter case) of the program folder into table.
    static ReadResult Read(const QString& programFolder, QList<CQXPanKeyObj>& table);
    /// Reads a bitmap table file given by its path.
    static ReadResult ReadFile(const QString& path, QList<CQXPanKeyObj>& table);
    /// Reads a bitmap table from an open device.
    static ReadResult ReadDevice(QIODevice& device, QList<CQXPanKeyObj>& table);

    /// Stores the design's key objects into the slice of fileNumber and writes the whole table
    /// to FILE795P.TXT of the program folder, whole or not at all. Done, also when the screen has
    /// no slice (796 and below); code kWriteFailed, naming the file and the reason, when the file
    /// cannot be written (the old file then stays whole).
    static FileResult Write(const QString& programFolder, QList<CQXPanKeyObj>& table,
                            int fileNumber, const CQXPanDocument& doc,
                            const QDateTime& now = QDateTime::currentDateTime());
    /// As Write, to the given file path.
    static FileResult WriteFile(const QString& path, QList<CQXPanKeyObj>& table, int fileNumber,
                                const CQXPanDocument& doc,
                                const QDateTime& now = QDateTime::currentDateTime());

    /// The three fresh header lines ("C", "h", "f"), each ended by CR LF.
    static QList<QByteArray> FreshHeader(const QDateTime& now);
    /// One record line (CR LF included); a free record is written as zeros.
    static QByteArray RecordLine(int index, const CQXPanKeyObj& record);
    /// Path of FILE795P.TXT in the folder: an existing file of that name in any letter case,
    /// else the name in capitals.
    static QString PathInFolder(const QString& programFolder);

    /// Fills count bytes from the hexadecimal digits of text, from its last digit backwards.
    /// Codes 0x30 to 0x46 are digits; every other character is skipped.
    static void HexToBytes(const char* text, qsizetype length, quint8* bytes, int count);
    static void HexToBytes(const QByteArray& text, quint8* bytes, int count)
    {
        HexToBytes(text.constData(), text.size(), bytes, count);
    }

    /// The message for a rejected file.
    static QString WrongFileText();

    /// Copies FILE795P.TXT of the program folder (name in any letter case) beside itself as
    /// "<name>.bak", replacing an older copy, so that a table the reader rejected is not lost
    /// when the next write replaces it with what could be read. keptPath gets the copy's path,
    /// empty when there was no file to keep. Fails naming the table and the reason.
    static FileResult KeepRejected(const QString& programFolder, QString& keptPath);
    /// Tells the user where the rejected file was kept.
    static QString KeptCopyText(const QString& copyPath);
};
