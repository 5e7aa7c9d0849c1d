#include "encode/TIFFEncoder.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "encode/TIFFMemClient.h"

namespace {

[[noreturn]] void ThrowLibraryError(const char* fallback) {
    std::string text = PLTiffLastError();
    throw CTextException(PLErr::Unsupported, text.empty() ? std::string(fallback) : text);
}

bool IsGrey(const PLRGBQuad& q) { return q.rgbRed == q.rgbGreen && q.rgbGreen == q.rgbBlue; }

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
              TIFFSetField(handle, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(handle, 0));
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

    const uint8_t* const* lines = bitmap.GetLineArray();
    const size_t rowBytes = depth <= 8 ? CDibBitmap::CalcPackedRowLength(width, depth) : static_cast<size_t>(width) * 3;
    std::vector<uint8_t> row(rowBytes);
    const unsigned tailBits = static_cast<unsigned>((static_cast<uint64_t>(width) * depth) % 8);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = lines[y];
        if (depth <= 8) {
            std::memcpy(row.data(), src, rowBytes);
            if (tailBits) row[rowBytes - 1] &= static_cast<uint8_t>(0xFF00u >> tailBits);
        } else {
            uint8_t* dst = row.data();
            for (int32_t x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[PL_RED];
                dst[1] = src[PL_GREEN];
                dst[2] = src[PL_BLUE];
            }
        }
        if (TIFFWriteScanline(handle, row.data(), static_cast<uint32_t>(y), 0) < 0)
            ThrowLibraryError("Error writing TIFF row.\n");
    }
}
