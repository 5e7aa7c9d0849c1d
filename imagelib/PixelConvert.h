#pragma once

// Row converters of the bitmap core: each works on one row of width pixels through plain
// pointers, so the conversions of CDibBitmap run row by row over the row table.

#include <cstdint>
#include <cstring>

#include "BitmapInfo.h"

inline PLPixel32 PLLoadPixel(const uint8_t* p) {
    PLPixel32 v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void PLStorePixel(uint8_t* p, PLPixel32 v) { std::memcpy(p, &v, 4); }

// Colour of an index in a bitmap that has no colour table: a 1-bit bitmap reads white for 0
// and opaque black for 1; deeper ones read the grey ramp.
inline PLPixel32 PLDefaultPaletteColor(uint16_t bitsPerPixel, uint8_t index) {
    if (bitsPerPixel == 1) return index ? 0xFF000000u : 0xFFFFFFFFu;
    int count = 1 << (bitsPerPixel > 8 ? 8 : bitsPerPixel);
    uint8_t v = static_cast<uint8_t>((index & (count - 1)) * (255 / (count - 1)));
    return PLMakePixel(v, v, v, 255);
}

// Black in a 1-bit conversion: red, green and blue all below 128.
inline bool PLIsDark(PLPixel32 c) { return ((c & 0x00808080u) == 0); }

inline void PLExpand8To32(const uint8_t* src, uint8_t* dst, int32_t width, const PLPixel32* lut) {
    for (int32_t x = 0; x < width; ++x) PLStorePixel(dst + 4 * x, lut[src[x]]);
}

inline void PLExpand4To32(const uint8_t* src, uint8_t* dst, int32_t width, const PLPixel32* lut) {
    int32_t x = 0;
    for (; x + 1 < width; x += 2) {
        uint8_t b = src[x >> 1];
        PLStorePixel(dst + 4 * x, lut[b >> 4]);
        PLStorePixel(dst + 4 * x + 4, lut[b & 0x0F]);
    }
    if (x < width) PLStorePixel(dst + 4 * x, lut[src[x >> 1] >> 4]);
}

inline void PLExpand1To32(const uint8_t* src, uint8_t* dst, int32_t width, const PLPixel32* lut) {
    const PLPixel32 clear = lut[0], set = lut[1];
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        uint8_t b = src[x >> 3];
        uint8_t* d = dst + 4 * x;
        PLStorePixel(d, (b & 0x80) ? set : clear);
        PLStorePixel(d + 4, (b & 0x40) ? set : clear);
        PLStorePixel(d + 8, (b & 0x20) ? set : clear);
        PLStorePixel(d + 12, (b & 0x10) ? set : clear);
        PLStorePixel(d + 16, (b & 0x08) ? set : clear);
        PLStorePixel(d + 20, (b & 0x04) ? set : clear);
        PLStorePixel(d + 24, (b & 0x02) ? set : clear);
        PLStorePixel(d + 28, (b & 0x01) ? set : clear);
    }
    for (; x < width; ++x) PLStorePixel(dst + 4 * x, ((src[x >> 3] >> (7 - (x & 7))) & 1) ? set : clear);
}

inline void PLExpand1To8(const uint8_t* src, uint8_t* dst, int32_t width) {
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        unsigned b = src[x >> 3];
        uint8_t* d = dst + x;
        d[0] = static_cast<uint8_t>(b >> 7);
        d[1] = static_cast<uint8_t>((b >> 6) & 1);
        d[2] = static_cast<uint8_t>((b >> 5) & 1);
        d[3] = static_cast<uint8_t>((b >> 4) & 1);
        d[4] = static_cast<uint8_t>((b >> 3) & 1);
        d[5] = static_cast<uint8_t>((b >> 2) & 1);
        d[6] = static_cast<uint8_t>((b >> 1) & 1);
        d[7] = static_cast<uint8_t>(b & 1);
    }
    for (; x < width; ++x) dst[x] = static_cast<uint8_t>((src[x >> 3] >> (7 - (x & 7))) & 1);
}

inline void PLExpand4To8(const uint8_t* src, uint8_t* dst, int32_t width) {
    int32_t x = 0;
    for (; x + 2 <= width; x += 2) {
        dst[x] = static_cast<uint8_t>(src[x >> 1] >> 4);
        dst[x + 1] = static_cast<uint8_t>(src[x >> 1] & 0x0F);
    }
    if (x < width) dst[x] = static_cast<uint8_t>(src[x >> 1] >> 4);
}

// The threshold converters expect a cleared destination row.
inline void PLThreshold32To1(const uint8_t* src, uint8_t* dst, int32_t width) {
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        unsigned bits = 0;
        for (int i = 0; i < 8; ++i) bits = (bits << 1) | (PLIsDark(PLLoadPixel(src + 4 * (x + i))) ? 1u : 0u);
        dst[x >> 3] = static_cast<uint8_t>(bits);
    }
    for (; x < width; ++x)
        if (PLIsDark(PLLoadPixel(src + 4 * x))) dst[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}

inline void PLThreshold8To1(const uint8_t* src, uint8_t* dst, int32_t width, const uint8_t* dark) {
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const uint8_t* s = src + x;
        dst[x >> 3] = static_cast<uint8_t>(dark[s[0]] << 7 | dark[s[1]] << 6 | dark[s[2]] << 5 | dark[s[3]] << 4 |
                                           dark[s[4]] << 3 | dark[s[5]] << 2 | dark[s[6]] << 1 | dark[s[7]]);
    }
    for (; x < width; ++x)
        if (dark[src[x]]) dst[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}

inline void PLThreshold4To1(const uint8_t* src, uint8_t* dst, int32_t width, const uint8_t* dark) {
    for (int32_t x = 0; x < width; ++x) {
        uint8_t index = static_cast<uint8_t>((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
        if (dark[index]) dst[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
}
