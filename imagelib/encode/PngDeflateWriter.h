#pragma once

// PNG files written in one piece: every row is filtered into one block, which libdeflate then
// compresses in a single call (several times faster than zlib's stream at the same level, and
// at least as small). The chunks around it are the ones the libpng path writes: IHDR, sBIT,
// PLTE, IDAT, IEND.

#include <cstddef>
#include <cstdint>

#include "encode/ByteSink.h"

struct PLPngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 8;    // 1, 4 or 8
    uint8_t colorType = 2;   // 0 grey, 2 RGB, 3 palette, 6 RGB with alpha
    // The bitmap's rows: packed samples for depths up to 8, else 32-bit blue, green, red, alpha.
    const uint8_t* const* rows = nullptr;
    const uint8_t* palette = nullptr;  // red, green, blue triples for colour type 3
    int paletteSize = 0;
    const uint8_t* significantBits = nullptr;  // the sBIT payload
    size_t significantBitsSize = 0;
};

// Writes the file to the sink. False, with nothing written, when the working blocks cannot be
// had (a very large picture in a crowded address space): the caller then takes the streaming
// path. Sink errors pass through as they are.
bool PLWritePngWithDeflate(const PLPngImage& image, int level, CByteSink& sink);

// The filtered rows of the image as they go into the zlib stream (filter byte, then the row),
// chosen as libpng and most writers choose them: no filter for palette and sub-byte images,
// else per row the filter whose output has the smallest sum of absolute values.
// out holds height x (1 + row bytes) bytes.
void PLPngFilterRows(const PLPngImage& image, uint8_t* out);

// Bytes of one row of the image in the file (without the filter byte).
size_t PLPngRowBytes(const PLPngImage& image);
