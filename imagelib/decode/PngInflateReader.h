#pragma once

// CPngInflateReader: reads the image data of the plainest PNG files in one go. libpng inflates
// the data a row at a time through zlib, unfilters each row, then runs its transformations over
// it. For 8-bit, non-interlaced pictures whose pixels need no more than a byte shuffle, this
// reader joins all IDAT chunks (checking each one's CRC), inflates them with one libdeflate call
// into a buffer of exactly the filtered rows, and unfilters and converts row by row straight
// into the bitmap.
//
// It only ever says yes when libpng would have produced the very same pixels without an error:
// anything it does not take on or cannot vouch for (damaged or cut data, chunks after the data
// that libpng would refuse, a zlib stream with a small window, an Adler-32 sum that libpng
// ignores) makes it answer 0, and the caller decodes the file through libpng instead.

#include <cstddef>
#include <cstdint>

class CPngInflateReader {
public:
    // What the file's pixels become in the bitmap.
    enum class Layout {
        Index8,   // grey or palette, 8 bits: the bytes as they are
        GrayTo32, // grey, 8 bits: blue = green = red = grey, alpha 255
        RGBTo32,  // red, green, blue: blue, green, red, 255
        RGBATo32, // red, green, blue, alpha: blue, green, red, alpha
    };

    // data points at the first IDAT chunk's data; firstLength is that chunk's length (its length
    // and type are read already); available is how many bytes may be read from data. rows are
    // the bitmap's height rows of width pixels. Returns how many bytes from data the file used,
    // up to and including the IEND chunk, or 0 when the caller must decode it another way (the
    // rows may then hold anything).
    static size_t Decode(const uint8_t* data, size_t available, uint32_t firstLength, uint32_t width,
                         uint32_t height, Layout layout, uint8_t* const* rows);

    // Bytes of one file pixel in a layout.
    static int BytesPerPixel(Layout layout);
};
