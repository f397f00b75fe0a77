#pragma once

#include <QByteArray>

class QIODevice;

/// Reads a device line by line the way the C runtime's fgets does with a fixed buffer, so that
/// over-long lines arrive in pieces and a line is never held longer than the buffer.
class CQXPanLineReader
{
public:
    /// The most bytes one piece of the register's reference file readers holds (a 1024-byte
    /// buffer).
    static constexpr int kRefLineBytes = 1023;

    /// How a piece is handed back; the flags combine.
    enum Option
    {
        Raw = 0,       ///< the bytes as they stand in the file
        DropCr = 1,    ///< a CR before the LF is dropped, as a text-mode stream does
        StopAtNul = 2, ///< the piece ends at its first NUL byte, as a C string does
    };

    /// maxBytes: the most bytes one piece holds (the line end included); options: Option flags.
    CQXPanLineReader(QIODevice& device, int maxBytes, int options);

    /// Reads up to and including the next LF, or maxBytes bytes; false when nothing is left.
    bool ReadLine(QByteArray& line);
    /// True when the last ReadLine ran into the end of the data before a line end or a full buffer.
    bool HitEnd() const { return m_bHitEnd; }

    /// Reads a number like atoi from column (0-based), looking at most width bytes when width >= 0:
    /// leading white space, an optional sign, digits; no digits or a column past the end gives 0.
    static int NumberAt(const QByteArray& line, int column, int width = -1);
    /// The line without trailing white space (blanks, tabs, CR, LF, VT, FF).
    static QByteArray TrimmedRight(const QByteArray& line);

private:
    QIODevice& m_device;
    int m_maxBytes;
    int m_options;
    bool m_bHitEnd = false;
    QByteArray m_buffer;
};
