#pragma once

#include <QByteArray>

class QIODevice;

/// Reads a device line by line the way a fixed line buffer does: a line longer than the buffer
/// comes out in several pieces, so memory stays bounded whatever the input holds.
class QXPanLineReader
{
public:
    /// maxBytes: the most bytes one read returns (the line end included).
    QXPanLineReader(QIODevice& device, int maxBytes);

    /// Reads up to and including the next LF, or maxBytes bytes; false at the end of the data.
    bool ReadLine(QByteArray& line);

private:
    QIODevice& m_device;
    int m_maxBytes;
};
