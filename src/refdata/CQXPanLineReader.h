#pragma once

#include <QByteArray>

class QIODevice;

/// Reads a device line by line the way the C runtime's fgets does with a fixed buffer, so that
/// over-long lines arrive in pieces and a line is never held longer than the buffer.
class CQXPanLineReader
{
public:
    /// The line buffer of the register file readers; a piece holds at most 1023 bytes.
    static constexpr int kBufferSize = 1024;

    /// textMode: a CR before the LF is dropped, as a text-mode stream does.
    explicit CQXPanLineReader(QIODevice& device, bool textMode);

    /// Reads the next line (with its LF, cut at its first NUL byte); false when nothing is left.
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
    bool m_bTextMode;
    bool m_bHitEnd = false;
    char m_buffer[kBufferSize];
};
