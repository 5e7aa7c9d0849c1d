#pragma once

// The bitmap library's own copies of the device-independent bitmap structures. Their layout is
// byte for byte that of the Windows structures of the same meaning, so a header built here can
// be handed to GDI or the clipboard unchanged, while the portable core needs no Windows header.

#include <cstddef>
#include <cstdint>

struct PLBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // positive: rows stored bottom-up; negative: top-down
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(PLBitmapInfoHeader) == 40, "BITMAPINFOHEADER layout");

// The 40-byte header of an uncompressed bottom-up DIB; every other field is zero.
inline PLBitmapInfoHeader PLMakeInfoHeader(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    PLBitmapInfoHeader header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitsPerPixel;
    return header;
}

// One colour table entry: blue, green, red, fourth byte.
struct PLRGBQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(PLRGBQuad) == 4, "RGBQUAD layout");

constexpr uint32_t PL_BI_RGB = 0;
constexpr uint32_t PL_BI_RLE8 = 1;
constexpr uint32_t PL_BI_RLE4 = 2;
constexpr uint32_t PL_BI_BITFIELDS = 3;

// Width and height of a bitmap.
struct PLSize {
    int32_t cx;
    int32_t cy;
    friend bool operator==(const PLSize&, const PLSize&) = default;
};

// A 32-bit pixel as stored: bytes blue, green, red, alpha in memory, which on the little-endian
// machines this library runs on is the value 0xAARRGGBB.
using PLPixel32 = uint32_t;

constexpr PLPixel32 PLMakePixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return static_cast<PLPixel32>(blue) | (static_cast<PLPixel32>(green) << 8) |
           (static_cast<PLPixel32>(red) << 16) | (static_cast<PLPixel32>(alpha) << 24);
}
constexpr uint8_t PLPixelBlue(PLPixel32 p) { return static_cast<uint8_t>(p); }
constexpr uint8_t PLPixelGreen(PLPixel32 p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t PLPixelRed(PLPixel32 p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t PLPixelAlpha(PLPixel32 p) { return static_cast<uint8_t>(p >> 24); }

constexpr PLPixel32 PLQuadToPixel(PLRGBQuad q) {
    return PLMakePixel(q.rgbRed, q.rgbGreen, q.rgbBlue, q.rgbReserved);
}
constexpr PLRGBQuad PLPixelToQuad(PLPixel32 p) {
    return PLRGBQuad{PLPixelBlue(p), PLPixelGreen(p), PLPixelRed(p), PLPixelAlpha(p)};
}

// Byte offset of each byte of pixel order (offsets into a 4-byte pixel).
constexpr int PL_BLUE = 0;
constexpr int PL_GREEN = 1;
constexpr int PL_RED = 2;
constexpr int PL_ALPHA = 3;
