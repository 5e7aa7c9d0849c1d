#include "encode/TIFFEncoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "PixelRows.h"
#include "encode/TIFFMemClient.h"

namespace {

[[noreturn]] void ThrowLibraryError(const char* fallback) {
    std::string text = PLTiffLastError();
    throw CTextException(PLErr::Unsupported, text.empty() ? std::string(fallback) : text);
}

bool IsGrey(const PLRGBQuad& q) { return q.rgbRed == q.rgbGreen && q.rgbGreen == q.rgbBlue; }

// Bytes of one strip, at least: as large as the file sink's window, so that each strip goes to
// the file straight from the strip buffer.
constexpr size_t kStripBytes = 256 * 1024;

}  // namespace

CTIFFEncoder::CTIFFEncoder() = default;
CTIFFEncoder::~CTIFFEncoder() = default;

void CTIFFEncoder::DoEncode(const CDibBitmap& bitmap, CByteSink& sink) {
    const uint16_t depth = bitmap.GetBitsPerPixel();
    if (depth != 1 && depth != 4 && depth != 8 && depth != 32)
        throw CTextException::Format(PLErr::Unsupported, "Can't write a %u bit bitmap as TIFF.",
                                     static_cast<unsigned>(depth));
    std::exception_ptr failure;
    TIFF* handle = PLTiffOpenWrite(sink, &failure);
    if (!handle) ThrowLibraryError("Cannot open TIFF output.\n");
    try {
        DoEncodeTIFF(bitmap, handle);
    } catch (...) {
        TIFFClose(handle);
        if (failure) std::rethrow_exception(failure);
        throw;
    }
    PLTiffClearError();
    bool flushed = TIFFFlush(handle) != 0;
    TIFFClose(handle);
    if (failure) std::rethrow_exception(failure);
    if (!flushed) ThrowLibraryError("Error writing TIFF directory.\n");
}

void CTIFFEncoder::DoEncodeTIFF(const CDibBitmap& bitmap, TIFF* handle) {
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    const uint16_t depth = bitmap.GetBitsPerPixel();
    const PLRGBQuad* table = bitmap.GetColorTable();

    uint16_t photometric = PHOTOMETRIC_RGB;
    if (depth == 1 && table && IsGrey(table[0]) && IsGrey(table[1]) &&
        (table[0].rgbRed == 0 || table[0].rgbRed == 255) && table[1].rgbRed == 255 - table[0].rgbRed) {
        photometric = table[0].rgbRed < table[1].rgbRed ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE;
    } else if (depth <= 8) {
        photometric = PHOTOMETRIC_PALETTE;
    }

    PLTiffClearError();
    bool ok = TIFFSetField(handle, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width)) &&
              TIFFSetField(handle, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height)) &&
              TIFFSetField(handle, TIFFTAG_BITSPERSAMPLE, depth <= 8 ? depth : 8) &&
              TIFFSetField(handle, TIFFTAG_SAMPLESPERPIXEL, depth <= 8 ? 1 : 3) &&
              TIFFSetField(handle, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(handle, TIFFTAG_PHOTOMETRIC, photometric) &&
              TIFFSetField(handle, TIFFTAG_ROWSPERSTRIP, RowsPerStrip(bitmap));
    if (ok && photometric == PHOTOMETRIC_PALETTE) {
        // The colour map holds 16-bit values; 8-bit colours are scaled by 257 (255 -> 65535).
        const int count = 1 << depth;
        std::vector<uint16_t> red(count), green(count), blue(count);
        for (int i = 0; i < count; ++i) {
            PLRGBQuad q = table ? table[i] : PLRGBQuad{0, 0, 0, 0};
            red[i] = static_cast<uint16_t>(q.rgbRed * 257);
            green[i] = static_cast<uint16_t>(q.rgbGreen * 257);
            blue[i] = static_cast<uint16_t>(q.rgbBlue * 257);
        }
        ok = TIFFSetField(handle, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data()) != 0;
    }
    if (!ok) ThrowLibraryError("Cannot set TIFF fields.\n");

    // Whole strips are built from the rows and handed to libtiff as they are (the data are not
    // compressed), which spares libtiff's own copy of every row.
    const uint8_t* const* lines = bitmap.GetLineArray();
    const size_t rowBytes = RowBytes(bitmap);
    const uint32_t rowsPerStrip = RowsPerStrip(bitmap);
    std::vector<uint8_t> strip(rowBytes * std::min<uint32_t>(rowsPerStrip, static_cast<uint32_t>(height)));
    const unsigned tailBits = static_cast<unsigned>((static_cast<uint64_t>(width) * depth) % 8);
    tstrip_t index = 0;
    for (int32_t top = 0; top < height; top += static_cast<int32_t>(rowsPerStrip), ++index) {
        const int32_t rows = std::min<int32_t>(static_cast<int32_t>(rowsPerStrip), height - top);
        uint8_t* dst = strip.data();
        for (int32_t y = top; y < top + rows; ++y, dst += rowBytes) {
            const uint8_t* src = lines[y];
            if (depth <= 8) {
                std::memcpy(dst, src, rowBytes);
                if (tailBits) dst[rowBytes - 1] &= static_cast<uint8_t>(0xFF00u >> tailBits);
            } else {
                PLPack32ToRGB(src, dst, width);
            }
        }
        const tmsize_t size = static_cast<tmsize_t>(rowBytes * static_cast<size_t>(rows));
        if (TIFFWriteRawStrip(handle, index, strip.data(), size) != size) ThrowLibraryError("Error writing TIFF row.\n");
    }
}

size_t CTIFFEncoder::RowBytes(const CDibBitmap& bitmap) {
    const uint16_t depth = bitmap.GetBitsPerPixel();
    const int32_t width = bitmap.GetWidth();
    return depth <= 8 ? CDibBitmap::CalcPackedRowLength(width, depth) : static_cast<size_t>(width) * 3;
}

uint32_t CTIFFEncoder::RowsPerStrip(const CDibBitmap& bitmap) {
    const size_t rowBytes = RowBytes(bitmap);
    return static_cast<uint32_t>((kStripBytes + rowBytes - 1) / std::max<size_t>(1, rowBytes));
}
