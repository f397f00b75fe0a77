#pragma once

#include <QtGlobal>

#include <optional>

class QByteArray;
class QIODevice;

// The common 24-bit BMP (40-byte header, no compression, rows bottom-up, every row there), read
// straight into memory without an image decoder: the picture layer uses it to skip two copies of
// the picture, and qxpan-cli to encode such a file without loading the graphics libraries.
namespace PlainBmp {

/// Where the rows of a plain 24-bit BMP are.
struct Layout
{
    int width = 0;
    int height = 0;
    qint64 offset = 0;      ///< of the bottom row, from the start of the file
    qsizetype rowBytes = 0; ///< of each row in the file, padded to four bytes
};

/// The layout of the file whose first bytes are head, when it is a plain 24-bit BMP no wider or
/// higher than maxDimension; nothing for any other file.
std::optional<Layout> Plain24(const QByteArray& head, int maxDimension);

/// Reads the rows of file into memory, top row first: row y goes to firstRow + y * stride, and
/// the bytes of each row past width * 3 up to rowBytes are cleared. False when the file is shorter
/// than its header says or cannot be read; stride must be at least layout.rowBytes.
bool ReadRows(QIODevice& file, const Layout& layout, uchar* firstRow, qsizetype stride);

} // namespace PlainBmp
