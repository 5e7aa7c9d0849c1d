#pragma once

// The LZW decompression of a GIF image's data, for the GIF decoder.
//
// giflib hands out one row at a time and follows every string back through its prefix chain
// one pixel after another. Here the whole image is decoded into one buffer, and every string of
// the table is a place in what was written before (each entry is the previous string plus the
// first pixel of the next, which is exactly what follows that string in the output), so a code
// costs one short copy. The results are those of giflib, errors included: a code beyond the
// table is a defect, an end code before the image is full ends it too soon.

#include <cstddef>
#include <cstdint>

enum class GifLzwStatus {
    Complete,    // the image is full (later codes are ignored, as giflib does)
    EndTooSoon,  // an end code before the image was full
    DataEnded,   // the data ended before the image was full
    Defect,      // a code the table does not hold yet
};

struct GifLzwResult {
    size_t written = 0;  // pixels written from the start of out
    GifLzwStatus status = GifLzwStatus::Complete;
};

// Extra bytes the output buffer must have behind its capacity: strings are copied in whole
// 16-byte pieces.
constexpr size_t kGifLzwSlack = 16;

// Decodes the image data (the data sub-blocks joined, without their length bytes) with the
// minimum code size of the image (1 to 8) into out, which holds capacity pixels and
// kGifLzwSlack more bytes. The bytes behind the pixels written are undefined.
GifLzwResult DecodeGifLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t capacity);
