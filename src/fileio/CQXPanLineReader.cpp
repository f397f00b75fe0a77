#include "fileio/CQXPanLineReader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

CQXPanLineReader::CQXPanLineReader(QIODevice& device, int maxBytes, int options)
    : m_device(device), m_maxBytes(std::max(1, maxBytes)), m_options(options)
{
    // QIODevice::readLine stops after LF or after maxSize - 1 bytes (room for its terminator).
    m_buffer.resize(qsizetype(m_maxBytes) + 1);
}

bool CQXPanLineReader::ReadLine(QByteArray& line)
{
    char* buffer = m_buffer.data();
    const qint64 n = m_device.readLine(buffer, qint64(m_maxBytes) + 1);
    if (n <= 0) {
        m_bHitEnd = true;
        line.clear();
        return false;
    }
    const bool hasLineEnd = buffer[n - 1] == '\n';
    // fgets stops without touching the end of the file when the buffer is full.
    m_bHitEnd = !hasLineEnd && n < m_maxBytes;
    qint64 length = n;
    if ((m_options & DropCr) && hasLineEnd && n >= 2 && buffer[n - 2] == '\r') {
        buffer[n - 2] = '\n';
        length = n - 1;
    }
    if (m_options & StopAtNul) {
        const void* nul = memchr(buffer, '\0', size_t(length));
        if (nul)
            length = static_cast<const char*>(nul) - buffer;
    }
    line = QByteArray(buffer, length);
    return true;
}

int CQXPanLineReader::NumberAt(const QByteArray& line, int column, int width)
{
    if (column < 0 || column >= line.size())
        return 0;
    const qsizetype end =
        width < 0 ? line.size() : std::min<qsizetype>(line.size(), qsizetype(column) + width);
    qsizetype i = column;
    while (i < end && isCSpace(line[i]))
        ++i;
    bool negative = false;
    if (i < end && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    // Saturate instead of overflowing on absurdly long digit runs.
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < end && line[i] >= '0' && line[i] <= '9'; ++i)
        value = std::min(limit, value * 10 + (line[i] - '0'));
    if (negative)
        return int(-value);
    return int(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

QByteArray CQXPanLineReader::TrimmedRight(const QByteArray& line)
{
    qsizetype length = line.size();
    while (length > 0 && isCSpace(line[length - 1]))
        --length;
    return line.left(length);
}
