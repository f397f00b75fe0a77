#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

/// A sequential device for the bounded-resource tests: serves the bytes a source function
/// produces, piece by piece, without ever holding more than the piece asked for, and records
/// how much was read and the largest single read the device was asked for.
///
/// The source fills up to maxSize bytes at a position and returns how many it wrote (0 at the
/// end), so a test can offer gigabytes without keeping them anywhere.
class MeteredDevice final : public QIODevice
{
public:
    using Source = std::function<qint64(qint64 position, char* data, qint64 maxSize)>;

    /// total: the number of bytes the source produces in all.
    MeteredDevice(Source source, qint64 total) : m_source(std::move(source)), m_total(total)
    {
        open(QIODevice::ReadOnly);
    }

    /// A device of head, then body count times, then tail.
    static std::unique_ptr<MeteredDevice> Repeating(const QByteArray& head, const QByteArray& body,
                                                    qint64 count, const QByteArray& tail = {})
    {
        return std::make_unique<MeteredDevice>(Repeat(head, body, count, tail),
                                               head.size() + body.size() * count + tail.size());
    }

    /// head, then body count times, then tail.
    static Source Repeat(QByteArray head, QByteArray body, qint64 count, QByteArray tail = {})
    {
        return [head = std::move(head), body = std::move(body), count,
                tail = std::move(tail)](qint64 pos, char* data, qint64 maxSize) -> qint64 {
            const qint64 bodyBytes = body.size() * count;
            const qint64 total = head.size() + bodyBytes + tail.size();
            qint64 written = 0;
            while (written < maxSize && pos < total) {
                const char* from;
                qint64 available;
                if (pos < head.size()) {
                    from = head.constData() + pos;
                    available = head.size() - pos;
                } else if (pos < head.size() + bodyBytes) {
                    const qint64 at = (pos - head.size()) % body.size();
                    from = body.constData() + at;
                    available = body.size() - at;
                } else {
                    const qint64 at = pos - head.size() - bodyBytes;
                    from = tail.constData() + at;
                    available = tail.size() - at;
                }
                const qint64 n = std::min(available, maxSize - written);
                std::memcpy(data + written, from, size_t(n));
                written += n;
                pos += n;
            }
            return written;
        };
    }

    /// The bytes of another device, read through this one (to meter a file).
    static Source Through(QIODevice& device)
    {
        return [&device](qint64, char* data, qint64 maxSize) -> qint64 {
            const qint64 n = device.read(data, maxSize);
            return n < 0 ? 0 : n;
        };
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return QIODevice::bytesAvailable() + (m_total - m_position);
    }

    /// Bytes handed out so far.
    qint64 BytesRead() const { return m_position; }
    /// The largest number of bytes asked for in one read.
    qint64 LargestRequest() const { return m_largestRequest; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        m_largestRequest = std::max(m_largestRequest, maxSize);
        const qint64 n = m_source(m_position, data, maxSize);
        m_position += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    Source m_source;
    qint64 m_total = 0;
    qint64 m_position = 0;
    qint64 m_largestRequest = 0;
};
