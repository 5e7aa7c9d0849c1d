#include "decode/PCXDecoder.h"

#include <vector>

#include "decode/DecoderSupport.h"

CPCXDecoder::CPCXDecoder() = default;

CPCXDecoder::~CPCXDecoder() = default;

namespace {

constexpr uint32_t kPaletteBytes = 768;

// Index of pixel x of a row of 1, 2, 4 or 8 bits per pixel.
inline uint8_t PackedIndex(const uint8_t* row, int32_t x, int bits) {
    uint32_t bit = static_cast<uint32_t>(x) * static_cast<uint32_t>(bits);
    int shift = 8 - bits - static_cast<int>(bit & 7);
    return static_cast<uint8_t>((row[bit >> 3] >> shift) & ((1 << bits) - 1));
}

}  // namespace

void CPCXDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding PCX.\n");
    const uint8_t* header = source.ReadNBytes(128);
    if (header[0] != 10) RaiseError(PLErr::WrongSignature, "Error decoding pcx: Not a PCX file.");
    if (header[2] != 1) RaiseError(PLErr::WrongSignature, "File has unknown encoding scheme.");
    const int bits = header[3];
    auto word = [header](int offset) { return static_cast<int32_t>(header[offset] | (header[offset + 1] << 8)); };
    const int32_t xmin = word(4), ymin = word(6), xmax = word(8), ymax = word(10);
    const int planes = header[65];
    const uint32_t bytesPerLine = static_cast<uint32_t>(word(66));

    if (bits == 1) {
        if (planes > 4) RaiseError(PLErr::UnknownVariant, "Can't handle image with more than 4 planes.");
        if (planes < 1) RaiseError(PLErr::UnknownVariant, "Can't handle bits per pixel image with planes.");
    } else if (!((bits == 2 || bits == 4 || bits == 8) && (planes == 1 || planes == 3))) {
        RaiseError(PLErr::UnknownVariant, "Can't handle bits per pixel image with planes.");
    }

    const int32_t width = xmax - xmin + 1;
    const int32_t height = ymax - ymin + 1;
    if (width < 1 || height < 1) RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %d x %d.", width, height);
    if (static_cast<uint64_t>(bytesPerLine) * 8 < static_cast<uint64_t>(width) * static_cast<uint64_t>(bits))
        RaiseError(PLErr::CorruptData, "Error decoding pcx: bytes per line too small.");
    const uint32_t scanBytes = bytesPerLine * static_cast<uint32_t>(planes);  // at most 4 x 65535
    uint64_t remaining = static_cast<uint64_t>(scanBytes) * static_cast<uint64_t>(height);
    // Every byte of packed data yields at most 63 bytes.
    if (remaining > static_cast<uint64_t>(source.GetBytesLeft()) * 63u)
        RaiseEndOfFile();

    // The bitmap is always 32 bits. Rows of indexed images first hold their indices (one byte
    // per pixel at the start of the row); they become colours once the palette is known.
    wantedDepth = 32;
    CreateBitmap(bitmap, width, height, 32, false);
    CPLBitmapLock lock(bitmap, false, true);
    const bool trueColor = bits == 8 && planes == 3;

    std::vector<uint8_t> scan(scanBytes);
    uint32_t runCount = 0;
    uint8_t runValue = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (uint32_t i = 0; i < scanBytes; ++i) {
            while (runCount == 0) {
                uint8_t b = source.ReadByte();
                if (b > 191) {
                    runCount = b & 0x3Fu;
                    runValue = source.ReadByte();
                    if (runCount > remaining) RaiseError(PLErr::CorruptData, "repeat count spans end of image.");
                } else {
                    runCount = 1;
                    runValue = b;
                }
            }
            scan[i] = runValue;
            --runCount;
            --remaining;
        }
        uint8_t* dst = bitmap.GetLine(y);
        const uint8_t* s = scan.data();
        if (trueColor) {
            for (int32_t x = 0; x < width; ++x)
                PLStorePixel(dst + 4 * x, PLMakePixel(s[x], s[bytesPerLine + x], s[2 * bytesPerLine + x], 255));
        } else if (planes == 3 && bits > 1) {
            // 2 or 4 bits per colour component.
            const int maxValue = (1 << bits) - 1;
            for (int32_t x = 0; x < width; ++x) {
                auto level = [&](int plane) {
                    return static_cast<uint8_t>(PackedIndex(s + plane * bytesPerLine, x, bits) * 255 / maxValue);
                };
                PLStorePixel(dst + 4 * x, PLMakePixel(level(0), level(1), level(2), 255));
            }
        } else if (planes == 1) {
            for (int32_t x = 0; x < width; ++x) dst[x] = PackedIndex(s, x, bits);
        } else {
            // Several 1-bit planes: plane i gives bit i of the index.
            for (int32_t x = 0; x < width; ++x) {
                uint8_t index = 0;
                for (int p = 0; p < planes; ++p)
                    index = static_cast<uint8_t>(index | (PackedIndex(s + p * bytesPerLine, x, 1) << p));
                dst[x] = index;
            }
        }
    }
    if (trueColor || (planes == 3 && bits > 1)) return;

    // Palette: 16 entries of the header; 256 behind the data for 8-bit images; black and white
    // for a single 1-bit plane.
    palette = AllocPalette();
    if (bits == 8) {
        // The table is announced by the byte 12 right behind the data; files that leave a gap
        // still carry it as the last 769 bytes.
        const uint8_t* next = source.GetBufferPtr(1);
        if (*next != 12) {
            uint32_t left = source.GetBytesLeft();
            if (left > kPaletteBytes + 1 && next[left - kPaletteBytes - 1] == 12)
                source.Skip(left - kPaletteBytes - 1);
            else
                RaiseError(PLErr::CorruptData, "bad color map signature.");
        }
        source.Skip(1);
        const uint8_t* p = source.ReadNBytes(kPaletteBytes);
        for (int i = 0; i < 256; ++i) palette[i] = PLRGBQuad{p[3 * i + 2], p[3 * i + 1], p[3 * i], 255};
    } else if (bits == 1 && planes == 1) {
        palette[0] = PLRGBQuad{0, 0, 0, 255};
        palette[1] = PLRGBQuad{255, 255, 255, 255};
    } else {
        const uint8_t* p = header + 16;
        for (int i = 0; i < 16; ++i) palette[i] = PLRGBQuad{p[3 * i + 2], p[3 * i + 1], p[3 * i], 255};
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bitmap.GetLine(y);
        // Backwards, so that no index is overwritten before it is read.
        for (int32_t x = width - 1; x >= 0; --x) {
            PLRGBQuad c = palette[row[x]];
            PLStorePixel(row + 4 * x, PLMakePixel(c.rgbRed, c.rgbGreen, c.rgbBlue, 255));
        }
    }
}
