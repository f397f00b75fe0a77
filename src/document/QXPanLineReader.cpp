#include "document/QXPanLineReader.h"

#include <QIODevice>

QXPanLineReader::QXPanLineReader(QIODevice& device, int maxBytes)
    : m_device(device), m_maxBytes(maxBytes)
{}

bool QXPanLineReader::ReadLine(QByteArray& line)
{
    line.resize(m_maxBytes + 1);
    // QIODevice::readLine stops after LF or after maxSize - 1 bytes (room for its terminator).
    const qint64 got = m_device.readLine(line.data(), qint64(m_maxBytes) + 1);
    if (got <= 0) {
        line.clear();
        return false;
    }
    line.resize(got);
    return true;
}
