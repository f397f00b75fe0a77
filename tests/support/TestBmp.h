// Support: BMP files built byte by byte; no test of its own.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QRgb>
#include <QString>

#include <vector>

// Builds BMP files byte by byte for the image tests.

inline void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
inline void put32(QByteArray& b, qint64 v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int((v >> 16) & 0xFFFF));
}

// A bottom-up BMP with a 40-byte info header, built byte by byte; rows are given top first and
// padded here to four bytes as the format wants.
inline QByteArray makeBmp(int width, int height, int bits, const std::vector<QRgb>& palette,
                          const std::vector<QByteArray>& rowsTopFirst, int claimedWidth = 0)
{
    QByteArray pixels;
    for (int r = height - 1; r >= 0; --r) {
        QByteArray row = rowsTopFirst[size_t(r)];
        while (row.size() % 4)
            row.append('\0');
        pixels += row;
    }
    const int offset = 14 + 40 + int(palette.size()) * 4;
    QByteArray b("BM");
    put32(b, offset + pixels.size());
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, claimedWidth ? claimedWidth : width);
    put32(b, height);
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);
    put32(b, pixels.size());
    put32(b, 2835);
    put32(b, 2835);
    put32(b, qint64(palette.size()));
    put32(b, 0);
    for (QRgb c : palette) {
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    return b + pixels;
}

inline bool writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}
