#pragma once

#include "document/QXPanTypes.h"

#include <array>

/// The register's 62-byte record of a key or table, little-endian, exactly as the register reads
/// it.
struct ScreenObjectRecord
{
    /// Byte offsets of the fields. They are the register's layout: do not renumber.
    enum Offset : int
    {
        TypeCode = 0,
        Left = 2,
        Top = 4,
        Right = 6,
        Bottom = 8,
        Shape = 10,
        FillColour = 11,
        TextColour = 14,
        Number = 17,
        Reserved1 = 20,
        Text1 = 21,
        Reserved2 = 41,
        Text2 = 42,
    };
    /// Values of the shape byte. They reach the register: do not renumber.
    enum ShapeKind : quint8
    {
        ShapeFree = 0,
        ShapeRectangle = 1,
        ShapeEllipse = 2,
    };
    static constexpr int kTextLength = 20;

    std::array<quint8, kQXPanRecordSize> bytes{};

    quint16 Word(int offset) const { return quint16(bytes[offset] | (bytes[offset + 1] << 8)); }
    void SetWord(int offset, quint16 value)
    {
        bytes[offset] = quint8(value & 0xFF);
        bytes[offset + 1] = quint8(value >> 8);
    }
    /// Colour stored as red, green, blue bytes from offset.
    QXPanColor Colour(int offset) const
    {
        return QXPanRgb(bytes[offset], bytes[offset + 1], bytes[offset + 2]);
    }
    void SetColour(int offset, QXPanColor colour)
    {
        bytes[offset] = quint8(colour & 0xFF);
        bytes[offset + 1] = quint8((colour >> 8) & 0xFF);
        bytes[offset + 2] = quint8((colour >> 16) & 0xFF);
    }
    const quint8* data() const { return bytes.data(); }
    quint8* data() { return bytes.data(); }
    friend bool operator==(const ScreenObjectRecord&, const ScreenObjectRecord&) = default;
};

static_assert(sizeof(ScreenObjectRecord) == kQXPanRecordSize);
