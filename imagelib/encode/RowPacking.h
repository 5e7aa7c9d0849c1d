#pragma once

// Packing 32-bit rows (blue, green, red, alpha in memory) into the 3-byte pixels files hold,
// four pixels at a time as three 32-bit words.

#include <cstdint>
#include <cstring>

// Blue, green, red of each pixel (Windows bitmaps).
inline void PLPack32ToBGR(const uint8_t* src, uint8_t* dst, int64_t width) {
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 16, dst += 12) {
        uint32_t p0, p1, p2, p3;
        std::memcpy(&p0, src, 4);
        std::memcpy(&p1, src + 4, 4);
        std::memcpy(&p2, src + 8, 4);
        std::memcpy(&p3, src + 12, 4);
        const uint32_t w0 = (p0 & 0x00FFFFFFu) | (p1 << 24);
        const uint32_t w1 = ((p1 >> 8) & 0x0000FFFFu) | (p2 << 16);
        const uint32_t w2 = ((p2 >> 16) & 0x000000FFu) | (p3 << 8);
        std::memcpy(dst, &w0, 4);
        std::memcpy(dst + 4, &w1, 4);
        std::memcpy(dst + 8, &w2, 4);
    }
    for (; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

// Red, green, blue of each pixel (PNG, TIFF).
inline void PLPack32ToRGB(const uint8_t* src, uint8_t* dst, int64_t width) {
    // A byte swap turns blue, green, red, alpha into alpha, red, green, blue; shifted down by a
    // byte the word holds red, green, blue in memory order.
    auto rgb = [](const uint8_t* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return __builtin_bswap32(v) >> 8;
    };
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 16, dst += 12) {
        const uint32_t p0 = rgb(src), p1 = rgb(src + 4), p2 = rgb(src + 8), p3 = rgb(src + 12);
        const uint32_t w0 = p0 | (p1 << 24);
        const uint32_t w1 = (p1 >> 8) | (p2 << 16);
        const uint32_t w2 = (p2 >> 16) | (p3 << 8);
        std::memcpy(dst, &w0, 4);
        std::memcpy(dst + 4, &w1, 4);
        std::memcpy(dst + 8, &w2, 4);
    }
    for (; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}
