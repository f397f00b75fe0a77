#include "image/PlainBmp.h"

#include <QByteArray>
#include <QIODevice>

#include <cstring>

namespace PlainBmp {

std::optional<Layout> Plain24(const QByteArray& head, int maxDimension)
{
    if (head.size() < 54)
        return std::nullopt;
    const auto u16 = [&head](int i) {
        return quint32(static_cast<unsigned char>(head[i])) |
               quint32(static_cast<unsigned char>(head[i + 1])) << 8;
    };
    const auto u32 = [&u16](int i) {
        return u16(i) | u16(i + 2) << 16;
    };
    Layout layout;
    layout.offset = u32(10);
    layout.width = qint32(u32(18));
    layout.height = qint32(u32(22));
    if (head[0] != 'B' || head[1] != 'M' || u32(14) != 40 || u16(26) != 1 || u16(28) != 24 ||
        u32(30) != 0 || layout.offset < 54 || layout.width <= 0 || layout.height <= 0 ||
        layout.width > maxDimension || layout.height > maxDimension)
        return std::nullopt;
    layout.rowBytes = (qsizetype(layout.width) * 3 + 3) / 4 * 4;
    return layout;
}

bool ReadRows(QIODevice& file, const Layout& layout, uchar* firstRow, qsizetype stride)
{
    const qsizetype used = qsizetype(layout.width) * 3;
    if (stride < layout.rowBytes || file.size() < layout.offset + layout.rowBytes * layout.height ||
        !file.seek(layout.offset))
        return false;
    for (int y = layout.height - 1; y >= 0; --y) {
        uchar* row = firstRow + qsizetype(y) * stride;
        if (file.read(reinterpret_cast<char*>(row), layout.rowBytes) != layout.rowBytes)
            return false;
        std::memset(row + used, 0, size_t(layout.rowBytes - used));
    }
    return true;
}

} // namespace PlainBmp
