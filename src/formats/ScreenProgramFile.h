#pragma once

#include "fileio/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class CDibImage;

// The register's screen program file (FILE796P.TXT to FILE799P.TXT): three header lines, then
// 9833 record lines of 320 hexadecimal digits that spell a 16-byte image header followed by
// register pixel words, low byte first. All lines end in CR LF.
namespace ScreenProgram {

/// Record lines in every screen program file, whatever the picture size.
constexpr int RecordCount = 9833;
/// Bytes of one record line: "%06d,", a quote, 320 digits, a quote, CR LF.
constexpr int RecordLineBytes = 331;
/// 16-bit words carried by one record.
constexpr int WordsPerRecord = 80;
/// Bytes of all record lines.
constexpr qsizetype RecordsBytes = qsizetype(RecordCount) * RecordLineBytes;
/// Width and height of the register screen.
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;

/// The screen files: 796 the logo, 797 to 799 the check windows.
constexpr int FirstFileNumber = 796;
constexpr int LastFileNumber = 799;

/// The code of WriteScreenProgramFile's result when nothing was written.
constexpr int WriteFailed = -1;

/// The "C" line for the file number, with CR LF.
QByteArray cLine(int fileNumber);
/// A fresh "h" line stamped with the given local time, with CR LF.
QByteArray hLine(const QDateTime& written);
/// The fresh "f" line for the file number, with CR LF.
QByteArray fLine(int fileNumber);

/// Writes the 9833 record lines (RecordsBytes bytes) to out for a picture of the given size whose
/// raw pixel rows (16, 24 or 32 bits) are raw[0..rawSize), read as one continuous byte sequence
/// followed by zeros.
void encodeRecords(const unsigned char* raw, qsizetype rawSize, int width, int height,
                   int bitsPerPixel, char* out);
/// The same for the record lines first to first + count - 1 (0-based) only: count lines to out.
void encodeRecordRange(const unsigned char* raw, qsizetype rawSize, int width, int height,
                       int bitsPerPixel, int first, int count, char* out);

/// A picture as encodeRecords reads it: rows of 16, 24 or 32 bits, top row first.
struct RawPicture
{
    const unsigned char* rows = nullptr;
    qsizetype size = 0; ///< bytes at rows
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
};

/// Encodes without the processor's byte shuffles even where it has them (the output is the same
/// either way), so that tests and benchmarks reach the portable path on any machine.
void forceScalarEncode(bool on);

/// The complete text of a fresh file (new "h" and "f" lines) for image; the image may have any
/// depth, 1- and 8-bit images are taken by their colours.
QByteArray buildFileText(const CDibImage& image, int fileNumber, const QDateTime& written);

} // namespace ScreenProgram

/// Writes picture as the screen program file of fileNumber to path, keeping an existing file's
/// "h" and "f" lines; the file is replaced whole or not at all (see AtomicFile).
FileResult WriteScreenFileTo(const ScreenProgram::RawPicture& picture, int fileNumber,
                             const QString& path,
                             const QDateTime& written = QDateTime::currentDateTime());

/// Writes image as the screen program file of fileNumber to path, keeping an existing file's "h"
/// and "f" lines; the file is replaced whole or not at all (see AtomicFile).
FileResult WriteScreenFileTo(const CDibImage& image, int fileNumber, const QString& path,
                             const QDateTime& written = QDateTime::currentDateTime());

/// Writes image as FILE%03dP.TXT into programFolder (a file of that name in any letter case is
/// the one replaced), whole or not at all. Fails with code WriteFailed (-1) when fileNumber is not
/// a screen file (796 to 799) or the file cannot be written, the old one then left as it was; the
/// failure tells the user (with a stop icon) the file and the reason.
FileResult WriteScreenProgramFile(const CDibImage& image, int fileNumber,
                                  const QString& programFolder,
                                  const QDateTime& written = QDateTime::currentDateTime());
