#include "image/CDibImage.h"

#include "fileio/InputFile.h"
#include "image/PlainBmp.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cstring>
#include <vector>

namespace {

bool withinLimits(int width, int height)
{
    return width > 0 && height > 0 && width <= CDibImage::MaxDimension &&
           height <= CDibImage::MaxDimension;
}

// Bit count of a BMP file's pixels, from its header; 0 when the data is not a BMP.
int bmpBitCount(const QByteArray& head)
{
    if (head.size() < 30 || head[0] != 'B' || head[1] != 'M')
        return 0;
    const auto byteAt = [&head](int i) {
        return static_cast<unsigned char>(head[i]);
    };
    const unsigned headerSize = byteAt(14) | (byteAt(15) << 8);
    // The old 12-byte core header keeps the bit count two bytes earlier.
    const int at = headerSize == 12 ? 24 : 28;
    return byteAt(at) | (byteAt(at + 1) << 8);
}

// The two colour table entries of a 1-bit BMP, in file order; empty when not found.
QList<QRgb> bmpMonoPalette(const QByteArray& head)
{
    if (head.size() < 30 || head[0] != 'B' || head[1] != 'M')
        return {};
    const auto byteAt = [&head](qsizetype i) {
        return static_cast<unsigned char>(head[i]);
    };
    const qsizetype headerSize = byteAt(14) | (byteAt(15) << 8);
    const qsizetype entrySize = headerSize == 12 ? 3 : 4;
    const qsizetype at = 14 + headerSize;
    if (head.size() < at + entrySize + 3)
        return {};
    QList<QRgb> table;
    for (qsizetype i = at; i < at + 2 * entrySize; i += entrySize)
        table.append(qRgb(byteAt(i + 2), byteAt(i + 1), byteAt(i)));
    return table;
}

// A plain 24-bit BMP read straight into the rows of an image of the same layout; null for any
// other file. Qt's decoder widens such a file to 32 bits and normalised() narrows it again: two
// more copies of the picture.
QImage readPlainBmp24(QFile& file, const QByteArray& head)
{
    const std::optional<PlainBmp::Layout> layout = PlainBmp::Plain24(head, CDibImage::MaxDimension);
    if (!layout)
        return {};
    QImage image(layout->width, layout->height, QImage::Format_BGR888);
    if (image.isNull() || image.bytesPerLine() != layout->rowBytes ||
        !PlainBmp::ReadRows(file, *layout, image.bits(), image.bytesPerLine()))
        return {};
    return image;
}

// Brings a decoded image into one of the formats this class works with, keeping the file's own
// depth where there is an equal format.
QImage normalised(QImage image, int fileBits, const QList<QRgb>& filePalette)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB16:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        break;
    case QImage::Format_MonoLSB:
        image = image.convertToFormat(QImage::Format_Mono);
        break;
    case QImage::Format_RGB888:
        image = image.convertToFormat(QImage::Format_BGR888);
        break;
    default:
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
        break;
    }
    // The BMP decoder widens 16- and 24-bit files to 32 bits; keep the file's depth.
    if (image.format() == QImage::Format_RGB32) {
        if (fileBits == 24)
            image = image.convertToFormat(QImage::Format_BGR888);
        else if (fileBits == 16)
            image = image.convertToFormat(QImage::Format_RGB16);
    }
    if (image.colorCount() > 0) {
        QList<QRgb> table = image.colorTable();
        // The 1-bit decoder may swap the two entries (and invert the bits); restore the file's
        // order so that raw rows match the file.
        if (image.format() == QImage::Format_Mono && filePalette.size() == 2 && table.size() == 2 &&
            (table[0] | 0xFF000000u) == filePalette[1] &&
            (table[1] | 0xFF000000u) == filePalette[0] && filePalette[0] != filePalette[1]) {
            image.invertPixels();
            table = filePalette;
        }
        for (QRgb& entry : table)
            entry |= 0xFF000000u;
        image.setColorTable(table);
    }
    return image;
}

// Bytes of a row that carry pixels (without any padding).
qsizetype usedRowBytes(const QImage& image)
{
    return (static_cast<qsizetype>(image.width()) * image.depth() + 7) / 8;
}

// Converts the 24-bit colour (0x00RRGGBB) to the target's pixel at p.
template <QImage::Format Format> inline void storePixel(uchar* p, quint32 rgb)
{
    if constexpr (Format == QImage::Format_BGR888) {
        p[0] = static_cast<uchar>(rgb);
        p[1] = static_cast<uchar>(rgb >> 8);
        p[2] = static_cast<uchar>(rgb >> 16);
    } else if constexpr (Format == QImage::Format_RGB16) {
        const quint32 r = (rgb >> 16) & 0xF8;
        const quint32 g = (rgb >> 8) & 0xFC;
        const quint32 b = (rgb & 0xFF) >> 3;
        const auto v = static_cast<quint16>((r << 8) | (g << 3) | b);
        std::memcpy(p, &v, 2);
    } else { // RGB32, ARGB32: nothing is blended, the copy is opaque
        const quint32 v = 0xFF000000u | rgb;
        std::memcpy(p, &v, 4);
    }
}

bool isDrawableTarget(QImage::Format format)
{
    return format == QImage::Format_BGR888 || format == QImage::Format_RGB16 ||
           format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

// Index ranges of a stretch along one axis: destination index d (0 <= d < dstLen) takes source
// indices [first[d], last[d]). Only destination indices in [from, to) are computed.
struct AxisMap
{
    std::vector<int> first;
    std::vector<int> last;
    bool single = true; // every range holds exactly one index
};

AxisMap mapAxis(qint64 dstLen, qint64 srcLen, qint64 from, qint64 to)
{
    AxisMap map;
    map.first.resize(static_cast<size_t>(to - from));
    map.last.resize(static_cast<size_t>(to - from));
    for (qint64 d = from; d < to; ++d) {
        const qint64 a = d * srcLen / dstLen;
        qint64 b = (d + 1) * srcLen / dstLen;
        if (b <= a)
            b = a + 1;
        if (b - a != 1)
            map.single = false;
        map.first[static_cast<size_t>(d - from)] = static_cast<int>(a);
        map.last[static_cast<size_t>(d - from)] = static_cast<int>(b);
    }
    return map;
}

// Writes the stretched block: each target pixel is the AND of its source block (24-bit colours
// in 32-bit words, the fourth byte ignored); a block of one pixel is a plain copy.
template <QImage::Format Format>
void stretchRows(const QImage& source, int originX, int originY, const AxisMap& cols,
                 const AxisMap& rows, uchar* out, qsizetype stride)
{
    constexpr qsizetype pixelBytes =
        Format == QImage::Format_BGR888 ? 3 : (Format == QImage::Format_RGB16 ? 2 : 4);
    const size_t colCount = cols.first.size();
    for (size_t r = 0; r < rows.first.size(); ++r, out += stride) {
        uchar* o = out;
        const int rowBegin = originY + rows.first[r];
        const int rowEnd = originY + rows.last[r];
        if (cols.single && rowEnd - rowBegin == 1) {
            const auto* line =
                reinterpret_cast<const quint32*>(source.constScanLine(rowBegin)) + originX;
            for (size_t c = 0; c < colCount; ++c, o += pixelBytes)
                storePixel<Format>(o, line[cols.first[c]] & 0xFFFFFFu);
            continue;
        }
        for (size_t c = 0; c < colCount; ++c, o += pixelBytes) {
            quint32 value = 0xFFFFFFu;
            for (int sy = rowBegin; sy < rowEnd; ++sy) {
                const auto* line = reinterpret_cast<const quint32*>(source.constScanLine(sy));
                for (int sx = originX + cols.first[c]; sx < originX + cols.last[c]; ++sx)
                    value &= line[sx];
            }
            storePixel<Format>(o, value & 0xFFFFFFu);
        }
    }
}

} // namespace

CDibImage::CDibImage() = default;

CDibImage::~CDibImage()
{
    endSurface();
}

bool CDibImage::Create(int width, int height, int bitsPerPixel)
{
    QImage::Format format;
    switch (bitsPerPixel) {
    case 16:
        format = QImage::Format_RGB16;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        return false;
    }
    if (!withinLimits(width, height))
        return false;
    QImage image(width, height, format);
    if (image.isNull())
        return false;
    // Clear row padding as well as the pixels.
    std::memset(image.bits(), 0, static_cast<size_t>(image.sizeInBytes()));
    if (format == QImage::Format_RGB32)
        image.fill(0); // Qt keeps the unused fourth byte of this format at 0xFF
    endSurface();
    m_image = std::move(image);
    return true;
}

FileResult CDibImage::Load(const QString& path)
{
    const auto failed = [&path](LoadStatus status) {
        QString reason;
        if (status == LoadTooLarge)
            reason = QStringLiteral("is larger than %1 x %1 pixels, the largest picture that is "
                                    "read")
                         .arg(MaxDimension);
        else if (status == LoadCannotDecode)
            reason = QStringLiteral("is not a picture that can be read (PNG, BMP, JPEG, GIF, ...)");
        else if (const FileResult input = InputFile::Check(path); !input)
            reason = input.reason;
        else
            reason = QStringLiteral("cannot be opened");
        return FileResult::Failed(path, reason, status);
    };
    // A pipe would block and a device never ends: only files are pictures.
    if (InputFile::IsSpecial(path))
        return failed(LoadCannotOpen);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(LoadCannotOpen);
    const QByteArray head = file.peek(256);
    const int fileBits = bmpBitCount(head);

    const bool bmpByName =
        fileBits != 0 && QFileInfo(path).suffix().compare(u"bmp", Qt::CaseInsensitive) == 0;
    if (bmpByName && fileBits == 24) {
        if (QImage image = readPlainBmp24(file, head); !image.isNull()) {
            endSurface();
            m_image = std::move(image);
            return FileResult::Done();
        }
        file.seek(0);
    }
    QImageReader reader(&file);
    // Qt's own decoder reads a BMP of that name whatever the plugins say; naming the format
    // spares loading every image plugin only to ask it first.
    if (bmpByName) {
        reader.setFormat("bmp");
        reader.setAutoDetectImageFormat(false);
    }
    reader.setAutoTransform(false);
    // The limit is ours, in pixels a side: Qt's own allocation limit (128 MiB) would refuse a
    // picture well inside it.
    constexpr int kAllocationLimitMiB =
        int(qint64(MaxDimension) * MaxDimension * 4 / (1024 * 1024)) + 1;
    reader.setAllocationLimit(kAllocationLimitMiB);
    const QSize claimed = reader.size();
    if (claimed.isValid() && !withinLimits(claimed.width(), claimed.height()))
        return failed(LoadTooLarge);
    QImage image = reader.read();
    if (image.isNull())
        return failed(LoadCannotDecode);
    if (!withinLimits(image.width(), image.height()))
        return failed(LoadTooLarge);

    image = normalised(std::move(image), fileBits,
                       fileBits == 1 ? bmpMonoPalette(head) : QList<QRgb>());
    if (image.isNull())
        return failed(LoadCannotDecode);
    endSurface();
    m_image = std::move(image);
    return FileResult::Done();
}

void CDibImage::Destroy()
{
    endSurface();
    m_image = QImage();
}

void CDibImage::CopyFrom(const CDibImage& other)
{
    if (&other == this)
        return;
    endSurface();
    // Shares the pixels until either side paints: a copy costs nothing until then.
    m_image = other.m_image;
}

int CDibImage::BitsPerPixel() const
{
    switch (m_image.format()) {
    case QImage::Format_Mono:
        return 1;
    case QImage::Format_Indexed8:
        return 8;
    case QImage::Format_RGB16:
        return 16;
    case QImage::Format_BGR888:
        return 24;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return 32;
    default:
        return 0;
    }
}

bool CDibImage::HasAlpha() const
{
    return m_image.format() == QImage::Format_ARGB32;
}

bool CDibImage::BitBlt(CDibImage& target, int x, int y, int w, int h, int srcX, int srcY) const
{
    if (IsEmpty() || target.IsEmpty())
        return false;
    if (w <= 0 || h <= 0)
        return true;
    // Clip against the source, then against the target, moving both corners together.
    qint64 sx = srcX, sy = srcY, dx = x, dy = y, cw = w, ch = h;
    if (sx < 0) {
        dx -= sx;
        cw += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        ch += sy;
        sy = 0;
    }
    cw = std::min<qint64>(cw, Width() - sx);
    ch = std::min<qint64>(ch, Height() - sy);
    if (dx < 0) {
        sx -= dx;
        cw += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        ch += dy;
        dy = 0;
    }
    cw = std::min<qint64>(cw, target.Width() - dx);
    ch = std::min<qint64>(ch, target.Height() - dy);
    if (cw <= 0 || ch <= 0)
        return true;

    const QImage::Format format = m_image.format();
    const bool sameLayout = format == target.m_image.format() && m_image.depth() >= 8 &&
                            m_image.colorTable() == target.m_image.colorTable();
    if (sameLayout && this != &target) {
        const qsizetype pixelBytes = m_image.depth() / 8;
        uchar* dst = target.m_image.bits();
        const qsizetype dstStride = target.m_image.bytesPerLine();
        for (qint64 row = 0; row < ch; ++row) {
            const uchar* from = m_image.constScanLine(static_cast<int>(sy + row)) + sx * pixelBytes;
            std::memcpy(dst + (dy + row) * dstStride + dx * pixelBytes, from,
                        static_cast<size_t>(cw * pixelBytes));
        }
        return true;
    }
    const int ix = static_cast<int>(dx), iy = static_cast<int>(dy);
    const int iw = static_cast<int>(cw), ih = static_cast<int>(ch);
    return StretchBlt(target, ix, iy, iw, ih, static_cast<int>(sx), static_cast<int>(sy), iw, ih);
}

bool CDibImage::StretchBlt(CDibImage& target, int x, int y, int w, int h, int srcX, int srcY,
                           int srcW, int srcH) const
{
    if (IsEmpty() || target.IsEmpty() || !isDrawableTarget(target.m_image.format()))
        return false;
    if (srcW <= 0 || srcH <= 0 || srcX < 0 || srcY < 0 ||
        static_cast<qint64>(srcX) + srcW > Width() || static_cast<qint64>(srcY) + srcH > Height())
        return false;
    if (w <= 0 || h <= 0)
        return true;

    // Destination indices relative to (x, y) that lie inside the target.
    const qint64 colFrom = std::max<qint64>(0, -static_cast<qint64>(x));
    const qint64 colTo = std::min<qint64>(w, static_cast<qint64>(target.Width()) - x);
    const qint64 rowFrom = std::max<qint64>(0, -static_cast<qint64>(y));
    const qint64 rowTo = std::min<qint64>(h, static_cast<qint64>(target.Height()) - y);
    if (colFrom >= colTo || rowFrom >= rowTo)
        return true;

    // Work on 24-bit colours: 32-bit sources are read in place (the fourth byte is ignored),
    // every other format is converted once for the block (palette colours, 16-bit channels
    // widened by bit replication).
    const QImage::Format format = m_image.format();
    QImage converted;
    const QImage* source = &m_image;
    int originX = srcX, originY = srcY;
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32) || this == &target) {
        // The whole picture needs no block copy first: the conversion is a new image already,
        // and one that shares this one's pixels is parted from them when the target is written.
        const bool whole = srcX == 0 && srcY == 0 && srcW == Width() && srcH == Height();
        converted = (whole ? m_image : m_image.copy(srcX, srcY, srcW, srcH))
                        .convertToFormat(QImage::Format_RGB32);
        if (converted.isNull())
            return false;
        source = &converted;
        originX = 0;
        originY = 0;
    }

    const AxisMap cols = mapAxis(w, srcW, colFrom, colTo);
    const AxisMap rows = mapAxis(h, srcH, rowFrom, rowTo);
    const QImage::Format targetFormat = target.m_image.format();
    const qsizetype stride = target.m_image.bytesPerLine();
    uchar* out = target.m_image.bits() + (y + rowFrom) * stride +
                 (x + colFrom) * (target.m_image.depth() / 8);
    switch (targetFormat) {
    case QImage::Format_BGR888:
        stretchRows<QImage::Format_BGR888>(*source, originX, originY, cols, rows, out, stride);
        break;
    case QImage::Format_RGB16:
        stretchRows<QImage::Format_RGB16>(*source, originX, originY, cols, rows, out, stride);
        break;
    default:
        stretchRows<QImage::Format_RGB32>(*source, originX, originY, cols, rows, out, stride);
        break;
    }
    return true;
}

qsizetype CDibImage::RawRowBytes() const
{
    if (IsEmpty())
        return 0;
    const qsizetype used = usedRowBytes(m_image);
    return used + (used & 1);
}

qsizetype CDibImage::GetBits(qsizetype byteCount, void* buffer) const
{
    if (IsEmpty() || byteCount <= 0 || buffer == nullptr)
        return 0;
    const qsizetype used = usedRowBytes(m_image);
    const qsizetype rowBytes = RawRowBytes();
    auto* out = static_cast<uchar*>(buffer);
    qsizetype copied = 0;
    for (int row = 0; row < Height() && copied < byteCount; ++row) {
        const qsizetype n = std::min(used, byteCount - copied);
        std::memcpy(out + copied, m_image.constScanLine(row), static_cast<size_t>(n));
        copied += n;
        if (rowBytes > used && copied < byteCount)
            out[copied++] = 0;
    }
    return copied;
}

qsizetype CDibImage::SetBits(qsizetype byteCount, const void* buffer)
{
    if (IsEmpty() || byteCount <= 0 || buffer == nullptr)
        return 0;
    const qsizetype used = usedRowBytes(m_image);
    const qsizetype rowBytes = RawRowBytes();
    const auto* in = static_cast<const uchar*>(buffer);
    qsizetype consumed = 0;
    for (int row = 0; row < Height() && consumed < byteCount; ++row) {
        const qsizetype n = std::min(used, byteCount - consumed);
        std::memcpy(m_image.scanLine(row), in + consumed, static_cast<size_t>(n));
        consumed += std::min(rowBytes, byteCount - consumed);
    }
    return consumed;
}

QPainter* CDibImage::AcquireSurface()
{
    if (IsEmpty() || !isDrawableTarget(m_image.format()))
        return nullptr;
    if (m_surfaceDepth == 0) {
        m_surface = std::make_unique<QPainter>();
        if (!m_surface->begin(&m_image)) {
            m_surface.reset();
            return nullptr;
        }
    }
    ++m_surfaceDepth;
    return m_surface.get();
}

void CDibImage::ReleaseSurface()
{
    if (m_surfaceDepth == 0)
        return;
    if (--m_surfaceDepth == 0)
        endSurface();
}

void CDibImage::endSurface()
{
    if (m_surface) {
        if (m_surface->isActive())
            m_surface->end();
        m_surface.reset();
    }
    m_surfaceDepth = 0;
}
