#pragma once

// Converting whole rows between the 32-bit pixels of the bitmaps (blue, green, red, alpha in
// memory) and the 3-byte pixels files hold, in either order of the colours. Each has a plain
// loop (four pixels at a time as three 32-bit words) and, on processors with SSSE3, one that
// does sixteen pixels with byte shuffles; the choice is made once, at the first call.

#include <cstdint>

// Blue, green, red of each pixel (Windows bitmaps).
void PLPack32ToBGR(const uint8_t* src, uint8_t* dst, int64_t width);
// Red, green, blue of each pixel (PNG, TIFF).
void PLPack32ToRGB(const uint8_t* src, uint8_t* dst, int64_t width);
// 3-byte blue, green, red pixels into 32-bit pixels with alpha 255.
void PLExpandBGRTo32(const uint8_t* src, uint8_t* dst, int64_t width);
// 3-byte red, green, blue pixels into 32-bit pixels with alpha 255.
void PLExpandRGBTo32(const uint8_t* src, uint8_t* dst, int64_t width);

// Whether the shuffle loops are used: only on processors that have them. Returns the choice in
// force (tests compare both loops).
bool PLUseShuffledRows(bool wanted);
