#pragma once

#include "fileio/FileResult.h"

#include <QImage>
#include <QList>
#include <QString>

#include <memory>

class QPainter;

/// A raster image: backgrounds, placed bitmaps, list thumbnails and the rendered register screen.
///
/// Holds at most one image. Bit depths are 1 and 8 (with a colour table), 16 (5-6-5),
/// 24 (blue, green, red) and 32 (blue, green, red, unused or alpha). Raw pixel rows are
/// exchanged top row first, each row padded to an even number of bytes.
class CDibImage
{
public:
    /// The codes of Load()'s results; 0 is success.
    enum LoadStatus
    {
        LoadOk = 0,
        LoadCannotOpen = -1,   ///< missing or unreadable file
        LoadCannotDecode = -2, ///< not an image the decoder understands
        LoadTooLarge = -3,     ///< claims a size above MaxDimension
    };

    /// Images wider or higher than this are refused, so a forged header cannot allocate gigabytes.
    static constexpr int MaxDimension = 8192;

    CDibImage();
    ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    /// Replaces the image by a black one of 16, 24 or 32 bits per pixel; false on failure.
    bool Create(int width, int height, int bitsPerPixel);
    /// Decodes the file at path. On failure the object is unchanged; the code is a LoadStatus and
    /// the reason says why ("cannot be opened", "is larger than ...", "is not a picture ...").
    FileResult Load(const QString& path);
    /// Releases the image; the object becomes empty.
    void Destroy();
    /// Becomes a copy of other's image, format and colour table included (empty when other is).
    void CopyFrom(const CDibImage& other);

    /// True while no image is held.
    bool IsEmpty() const { return m_image.isNull(); }
    /// Width in pixels, 0 when empty.
    int Width() const { return m_image.width(); }
    /// Height in pixels, 0 when empty.
    int Height() const { return m_image.height(); }
    /// 1, 8, 16, 24 or 32; 0 when empty.
    int BitsPerPixel() const;
    /// True for a 32-bit image whose fourth byte is alpha.
    bool HasAlpha() const;
    /// Colour table of a paletted image (alpha always opaque), empty otherwise.
    QList<QRgb> ColorTable() const { return m_image.colorTable(); }

    /// Copies a w x h block from (srcX, srcY) unchanged to (x, y) of target, clipped at both
    /// images' edges; true on success.
    bool BitBlt(CDibImage& target, int x, int y, int w, int h, int srcX, int srcY) const;
    /// Scales the source block (srcX, srcY, srcW, srcH) to w x h at (x, y) of target: pixels are
    /// repeated when enlarging and ANDed (24-bit colours) when shrinking; clipped at the target's
    /// edges. A zero or negative w or h draws nothing. True on success.
    bool StretchBlt(CDibImage& target, int x, int y, int w, int h, int srcX, int srcY, int srcW,
                    int srcH) const;

    /// Bytes of one raw pixel row (padded to an even length).
    qsizetype RawRowBytes() const;
    /// Bytes of all raw pixel rows.
    qsizetype RawSize() const { return RawRowBytes() * Height(); }
    /// Copies up to byteCount bytes of raw pixel rows into buffer; returns the bytes copied.
    qsizetype GetBits(qsizetype byteCount, void* buffer) const;
    /// Overwrites the pixel rows from up to byteCount bytes of buffer; returns the bytes used.
    qsizetype SetBits(qsizetype byteCount, const void* buffer);

    /// A painter on the image. Acquisitions nest: the first creates it, later ones share it, the
    /// last Release ends it. Null when empty or when the format cannot be painted on (paletted).
    QPainter* AcquireSurface();
    /// Gives up one acquisition of the drawing surface.
    void ReleaseSurface();
    /// Number of acquisitions not yet released.
    int SurfaceDepth() const { return m_surfaceDepth; }

    /// The held image for display; only meant for drawing it on screen.
    const QImage& Image() const { return m_image; }

private:
    void endSurface();

    QImage m_image;
    std::unique_ptr<QPainter> m_surface;
    int m_surfaceDepth = 0;
};
