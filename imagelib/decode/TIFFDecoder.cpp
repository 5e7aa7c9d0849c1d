#include "decode/TIFFDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "PixelConvert.h"
#include "PixelRows.h"
#include "encode/TIFFMemClient.h"

namespace {

// libtiff's last error without its trailing line feed (the error path adds one).
std::string LastError(const char* fallback) {
    std::string text = PLTiffLastError();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.empty() ? std::string(fallback) : text;
}

// Closes the handle on every path out of a decode.
struct HandleCloser {
    TIFF* handle;
    ~HandleCloser() {
        if (handle) TIFFClose(handle);
    }
};

void Report(CProgressSink* progress, double done) {
    if (progress) progress->OnProgress(done);
}

// Unpacks a row of samples of bits (1..8) each, most significant first, to one byte per pixel.
void UnpackRow(const uint8_t* src, uint8_t* dst, int32_t width, int bits) {
    if (bits == 8) {
        std::memcpy(dst, src, static_cast<size_t>(width));
        return;
    }
    if (bits == 4) {
        for (int32_t x = 0; x < width; ++x)
            dst[x] = static_cast<uint8_t>((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
        return;
    }
    const unsigned mask = (1u << bits) - 1;
    uint64_t bit = 0;
    for (int32_t x = 0; x < width; ++x, bit += static_cast<uint64_t>(bits)) {
        size_t byte = static_cast<size_t>(bit >> 3);
        unsigned shift = static_cast<unsigned>(bit & 7);
        // Two bytes cover any sample of up to 8 bits; the second may lie past the row's end
        // only when the sample does not reach into it.
        unsigned word = static_cast<unsigned>(src[byte]) << 8;
        if (shift + static_cast<unsigned>(bits) > 8) word |= src[byte + 1];
        dst[x] = static_cast<uint8_t>((word >> (16 - shift - static_cast<unsigned>(bits))) & mask);
    }
}

}  // namespace

CTIFFDecoder::CTIFFDecoder() = default;
CTIFFDecoder::~CTIFFDecoder() = default;

void CTIFFDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding TIFF.\n");
    const uint32_t size = source.GetBytesLeft();
    const uint8_t* data = source.ReadEverything();
    HandleCloser closer{PLTiffOpenRead(data, size)};
    if (!closer.handle) RaiseError(PLErr::WrongSignature, LastError("Cannot open TIFF data.").c_str());
    DoDecodeTIFF(bitmap, palette, wantedDepth, closer.handle, source.GetProgressSink());
}

void CTIFFDecoder::DoDecodeTIFF(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, TIFF* handle,
                                CProgressSink* progress) {
    uint16_t samples = 1, bits = 1, photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetFieldDefaulted(handle, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(handle, TIFFTAG_BITSPERSAMPLE, &bits);
    if (!TIFFGetField(handle, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = PHOTOMETRIC_MINISWHITE;
    const bool loColorPhotometric = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                                    photometric == PHOTOMETRIC_PALETTE;
    if (samples == 1 && bits >= 1 && bits <= 8 && wantedDepth != 32 && !TIFFIsTiled(handle)) {
        if (loColorPhotometric) {
            DoLoColor(bitmap, palette, wantedDepth, handle, progress);
            return;
        }
        PLTrace(0, "unexpected PhotometricInterpretation in CTIFFDecoder::DoLoColor()\n");
    }
    DoHiColor(bitmap, wantedDepth, handle);
}

void CTIFFDecoder::DoLoColor(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, TIFF* handle,
                             CProgressSink* progress) {
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(handle, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(handle, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(handle, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(handle, TIFFTAG_PHOTOMETRIC, &photometric);

    const int depth = bits == 1 ? 1 : 8;
    wantedDepth = depth;
    CreateBitmap(bitmap, width, height, depth, false);

    // The colour table: a ramp up (black is zero), a ramp down (white is zero), or the map.
    palette = AllocPalette();
    const int count = 1 << bits;
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(handle, TIFFTAG_COLORMAP, &red, &green, &blue))
            RaiseError(PLErr::CorruptData, LastError("Palette image without a colour map.").c_str());
        // Maps whose values all stay below 256 hold 8-bit colours; others are 16-bit.
        bool sixteen = false;
        for (int i = 0; i < count; ++i) sixteen = sixteen || red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
        for (int i = 0; i < count; ++i) {
            auto scale = [sixteen](uint16_t v) {
                return static_cast<uint8_t>(sixteen ? (static_cast<uint32_t>(v) * 255 + 32767) / 65535 : v);
            };
            palette[i] = PLRGBQuad{scale(blue[i]), scale(green[i]), scale(red[i]), 255};
        }
    } else {
        const int step = 255 / (count - 1);
        for (int i = 0; i < count; ++i) {
            uint8_t v = static_cast<uint8_t>(photometric == PHOTOMETRIC_MINISBLACK ? i * step : 255 - i * step);
            palette[i] = PLRGBQuad{v, v, v, 255};
        }
    }

    const tmsize_t lineSize = TIFFScanlineSize(handle);
    if (lineSize <= 0) RaiseError(PLErr::CorruptData, LastError("Illegal TIFF scanline size.").c_str());
    std::unique_ptr<uint8_t[]> line(new (std::nothrow) uint8_t[static_cast<size_t>(lineSize) + 1]);
    if (!line) RaiseError(PLErr::NoMemory, "Out of memory allocating TIFF buffer.");
    line[static_cast<size_t>(lineSize)] = 0;
    const size_t rowBytes = CDibBitmap::CalcPackedRowLength(static_cast<int32_t>(width), static_cast<uint16_t>(depth));
    if (depth == 1 && static_cast<size_t>(lineSize) < rowBytes)
        RaiseError(PLErr::CorruptData, "Illegal TIFF scanline size.");
    if (depth == 8 && static_cast<uint64_t>(lineSize) * 8 < static_cast<uint64_t>(width) * bits)
        RaiseError(PLErr::CorruptData, "Illegal TIFF scanline size.");

    CPLBitmapLock lock(bitmap, false, true);
    for (uint32_t y = 0; y < height; ++y) {
        PLTiffClearError();
        if (TIFFReadScanline(handle, line.get(), y, 0) < 0) {
            // Damage early in the picture is an error; later, the rows keep what they have.
            if (y < height / 3) RaiseError(PLErr::CorruptData, LastError("Error reading TIFF row.").c_str());
            continue;
        }
        uint8_t* dst = bitmap.GetLine(static_cast<int32_t>(y));
        if (depth == 1)
            std::memcpy(dst, line.get(), rowBytes);
        else
            UnpackRow(line.get(), dst, static_cast<int32_t>(width), bits);
        if ((y & 63) == 63) Report(progress, static_cast<double>(y + 1) / height);
    }
    bitmap.CopyPalette(palette.get());
}

bool CTIFFDecoder::DoPlainRGB(CDibBitmap& bitmap, int& wantedDepth, TIFF* handle) {
    uint16_t samples = 0, bits = 0, planar = 0, photometric = 0, compression = 0, orientation = 0, extraCount = 0;
    uint16_t* extraTypes = nullptr;
    uint32_t width = 0, height = 0;
    TIFFGetFieldDefaulted(handle, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(handle, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(handle, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(handle, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(handle, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(handle, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    const bool plainCodec = compression == COMPRESSION_NONE || compression == COMPRESSION_LZW ||
                            compression == COMPRESSION_ADOBE_DEFLATE || compression == COMPRESSION_DEFLATE ||
                            compression == COMPRESSION_PACKBITS;
    if (!TIFFGetField(handle, TIFFTAG_PHOTOMETRIC, &photometric) || photometric != PHOTOMETRIC_RGB || samples != 3 ||
        bits != 8 || planar != PLANARCONFIG_CONTIG || extraCount != 0 || orientation != ORIENTATION_TOPLEFT ||
        !plainCodec || TIFFIsTiled(handle) || !TIFFGetField(handle, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(handle, TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 ||
        TIFFScanlineSize64(handle) != static_cast<uint64_t>(width) * 3)
        return false;

    wantedDepth = 32;
    CreateBitmapForOverwrite(bitmap, width, height, 32, false);  // a damaged row fails the whole read
    CPLBitmapLock lock(bitmap, false, true);
    std::unique_ptr<uint8_t[]> line(new (std::nothrow) uint8_t[static_cast<size_t>(width) * 3]);
    if (!line) RaiseError(PLErr::NoMemory, "Out of memory allocating TIFF buffer.");
    uint8_t** lines = bitmap.GetLineArray();
    PLTiffClearError();
    bool failed = false;
    for (uint32_t y = 0; y < height; ++y) {
        // Like the RGBA reader: a damaged row leaves its pixels as they were and the image is
        // reported as unreadable once all rows were tried.
        if (TIFFReadScanline(handle, line.get(), y, 0) < 0) {
            failed = true;
            continue;
        }
        PLExpandRGBTo32(line.get(), lines[y], width);
    }
    if (failed) RaiseError(PLErr::WrongSignature, LastError("Error reading TIFF image.").c_str());
    return true;
}

void CTIFFDecoder::DoHiColor(CDibBitmap& bitmap, int& wantedDepth, TIFF* handle) {
    if (DoPlainRGB(bitmap, wantedDepth, handle)) return;
    uint32_t width = 0, height = 0;
    TIFFGetField(handle, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(handle, TIFFTAG_IMAGELENGTH, &height);
    uint16_t extraCount = 0;
    uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(handle, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    const bool hasAlpha = extraCount > 0;

    char message[1024] = {};
    PLTiffClearError();
    if (!TIFFRGBAImageOK(handle, message))
        RaiseError(PLErr::WrongSignature, message[0] ? message : LastError("Cannot read this TIFF image.").c_str());

    wantedDepth = 32;
    CreateBitmap(bitmap, width, height, 32, hasAlpha);
    CPLBitmapLock lock(bitmap, false, true);

    // libtiff fills a block of width x height pixels. When the bitmap's rows lie in one block
    // (either order) it reads straight into them; otherwise through a buffer.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    uint8_t** lines = bitmap.GetLineArray();
    const bool topDown = height == 1 || lines[1] == lines[0] + rowBytes;
    const bool bottomUp = height > 1 && lines[0] == lines[1] + rowBytes;
    bool contiguous = topDown || bottomUp;
    if (contiguous && height > 1) {
        const uint8_t* last = lines[height - 1];
        contiguous = topDown ? last == lines[0] + (height - 1) * rowBytes : lines[0] == last + (height - 1) * rowBytes;
    }
    std::unique_ptr<uint32_t[]> buffer;
    uint32_t* raster;
    int orientation = ORIENTATION_TOPLEFT;
    if (contiguous) {
        raster = reinterpret_cast<uint32_t*>(topDown ? lines[0] : lines[height - 1]);
        orientation = topDown ? ORIENTATION_TOPLEFT : ORIENTATION_BOTLEFT;
    } else {
        buffer.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
        if (!buffer) RaiseError(PLErr::NoMemory, "Out of memory allocating TIFF buffer.");
        raster = buffer.get();
    }
    PLTiffClearError();
    if (!TIFFReadRGBAImageOriented(handle, width, height, raster, orientation, 0))
        RaiseError(PLErr::WrongSignature, LastError("Error reading TIFF image.").c_str());

    // libtiff's pixels are red, green, blue, alpha in memory with the colour premultiplied by
    // alpha; the bitmap's are blue, green, red, alpha with the colour as it is.
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = contiguous ? lines[y] : reinterpret_cast<const uint8_t*>(raster + static_cast<size_t>(y) * width);
        uint8_t* dst = lines[y];
        for (uint32_t x = 0; x < width; ++x, src += 4, dst += 4) {
            uint8_t r = src[0], g = src[1], b = src[2], a = src[3];
            if (hasAlpha && a != 255 && a != 0) {
                r = static_cast<uint8_t>(std::min(255u, (r * 255u + a / 2) / a));
                g = static_cast<uint8_t>(std::min(255u, (g * 255u + a / 2) / a));
                b = static_cast<uint8_t>(std::min(255u, (b * 255u + a / 2) / a));
            }
            dst[PL_BLUE] = b;
            dst[PL_GREEN] = g;
            dst[PL_RED] = r;
            dst[PL_ALPHA] = hasAlpha ? a : 255;
        }
    }
}
