// Support: a sequential device that meters how much a reader takes; no test of its own.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <functional>
#include <memory>

/// Serves the bytes a source produces, piece by piece, so a test can offer gigabytes without
/// keeping them anywhere, and records how much was read and the largest single read asked for.
class MeteredDevice final : public QIODevice
{
public:
    /// Fills up to maxSize bytes from position on; returns how many (0 at the end).
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
        const qint64 end = head.size() + body.size() * count, total = end + tail.size();
        const auto at = [=](qint64 pos) {
            return pos < head.size() ? head[pos]
                   : pos < end       ? body[(pos - head.size()) % body.size()]
                                     : tail[pos - end];
        };
        return std::make_unique<MeteredDevice>(
            [=](qint64 pos, char* data, qint64 maxSize) {
                const qint64 n = std::clamp<qint64>(total - pos, 0, maxSize);
                for (qint64 i = 0; i < n; ++i)
                    data[i] = at(pos + i);
                return n;
            },
            total);
    }

    /// The bytes of another device, read through this one (to meter a file).
    static Source Through(QIODevice& device)
    {
        return [&device](qint64, char* data, qint64 maxSize) {
            return std::max<qint64>(0, device.read(data, maxSize));
        };
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return QIODevice::bytesAvailable() + (m_total - m_position);
    }
    qint64 BytesRead() const { return m_position; }
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
