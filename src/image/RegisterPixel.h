#pragma once

#include <cstdint>

// The register's pixel word: bit 15 zero, then five bits each of red, green and blue, taken as
// the upper five bits of each 8-bit channel (no rounding, no dithering).

/// Converts one raw source pixel of 16 (5-6-5, little-endian), 24 (blue, green, red) or 32 bits
/// (blue, green, red, unused) to a register pixel word; other depths give 0.
inline std::uint16_t RgbToRegisterWord(const unsigned char* pixel, int bitsPerPixel)
{
    unsigned blue;
    unsigned green;
    unsigned red;
    if (bitsPerPixel == 24 || bitsPerPixel == 32) {
        blue = pixel[0];
        green = pixel[1];
        red = pixel[2];
    } else if (bitsPerPixel == 16) {
        const unsigned low = pixel[0];
        const unsigned high = pixel[1];
        red = high & 0xF8;
        green = (((low >> 3) & 0x1C) + (high << 5)) & 0xF8;
        blue = (low << 3) & 0xFF;
    } else {
        return 0;
    }
    return static_cast<std::uint16_t>(((red & 0xF8) << 7) | ((green & 0xF8) << 2) | (blue >> 3));
}

/// Converts a register pixel word to three bytes blue, green, red; bit 15 is ignored and the
/// lower three bits of every channel are 0.
inline void RegisterWordToRgb(std::uint16_t word, unsigned char* bgr)
{
    bgr[0] = static_cast<unsigned char>((word & 0x1F) << 3);
    bgr[1] = static_cast<unsigned char>(((word >> 5) & 0x1F) << 3);
    bgr[2] = static_cast<unsigned char>(((word >> 10) & 0x1F) << 3);
}
