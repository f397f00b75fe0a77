#include "refdata/CQXPanLineReader.h"

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

CQXPanLineReader::CQXPanLineReader(QIODevice& device, bool textMode)
    : m_device(device), m_bTextMode(textMode)
{}

bool CQXPanLineReader::ReadLine(QByteArray& line)
{
    const qint64 n = m_device.readLine(m_buffer, kBufferSize);
    if (n <= 0) {
        m_bHitEnd = true;
        line.clear();
        return false;
    }
    const bool hasLineEnd = m_buffer[n - 1] == '\n';
    // fgets stops without touching the end of the file when the buffer is full.
    m_bHitEnd = !hasLineEnd && n < kBufferSize - 1;
    qint64 length = n;
    if (m_bTextMode && hasLineEnd && n >= 2 && m_buffer[n - 2] == '\r') {
        m_buffer[n - 2] = '\n';
        length = n - 1;
    }
    // The readers treat the line as a C string: it ends at its first NUL byte.
    const void* nul = memchr(m_buffer, '\0', size_t(length));
    if (nul)
        length = static_cast<const char*>(nul) - m_buffer;
    line = QByteArray(m_buffer, length);
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
