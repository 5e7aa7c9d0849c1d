#include "decode/TGADecoder.h"

#include <vector>

#include "decode/DecoderSupport.h"

namespace {

struct TgaHeader {
    uint8_t idLength;
    uint8_t mapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntrySize;
    uint16_t width;
    uint16_t height;
    uint8_t pixelDepth;
    uint8_t descriptor;
};

bool IsGreyType(uint8_t type) { return type == 3 || type == 11; }
bool IsRLEType(uint8_t type) { return type >= 9; }

// A 5-5-5 colour (bit 15 aside) as a 32-bit pixel.
PLPixel32 Pixel555(uint32_t v, uint8_t alpha) {
    return PLMakePixel(static_cast<uint8_t>((v >> 7) & 0xF8), static_cast<uint8_t>((v >> 2) & 0xF8),
                       static_cast<uint8_t>((v << 3) & 0xF8), alpha);
}

// Converts one stored pixel (or colour-map entry) of the given bit depth to 32 bits.
// attributeBits: the alpha bits the descriptor declares; a 16-bit pixel's top bit is its
// alpha only when the file declares one.
PLPixel32 ConvertPixel(const uint8_t* p, int bits, const PLRGBQuad* palette, int attributeBits) {
    switch (bits) {
    case 8: {
        PLRGBQuad c = palette[p[0]];
        return PLMakePixel(c.rgbRed, c.rgbGreen, c.rgbBlue, 255);
    }
    case 15:
    case 16: {
        uint32_t v = static_cast<uint32_t>(p[0] | (p[1] << 8));
        uint8_t alpha = 255;
        if (bits == 16 && attributeBits != 0) alpha = (v & 0x8000) ? 255 : 0;
        return Pixel555(v, alpha);
    }
    case 24: return PLMakePixel(p[2], p[1], p[0], 255);
    case 32: return PLMakePixel(p[2], p[1], p[0], p[3]);
    default: return PLMakePixel(0, 0, 0, 255);
    }
}

}  // namespace

CTGADecoder::CTGADecoder() = default;

CTGADecoder::~CTGADecoder() = default;

void CTGADecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    TgaHeader h{};
    h.idLength = source.ReadByte();
    h.mapType = source.ReadByte();
    h.imageType = source.ReadByte();
    h.mapFirst = source.ReadWordLE();
    h.mapLength = source.ReadWordLE();
    h.mapEntrySize = source.ReadByte();
    source.Skip(4);  // x and y origin
    h.width = source.ReadWordLE();
    h.height = source.ReadWordLE();
    h.pixelDepth = source.ReadByte();
    h.descriptor = source.ReadByte();
    source.Skip(h.idLength);
    PLTrace(2, "Decoding TGA.\n");

    switch (h.imageType) {
    case 1: case 2: case 3: case 9: case 10: case 11: break;
    default: RaiseError(PLErr::UnknownVariant, "Unknown TGA image type.");
    }
    const int bits = h.pixelDepth;
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)
        RaiseErrorF(PLErr::UnknownVariant, "Unknown TGA pixel depth %d.", bits);
    const int bytesPerPixel = (bits + 7) / 8;
    const int attributeBits = h.descriptor & 0x0F;

    // Colour map: entries first ... first + length - 1 of a 256-entry table.
    palette = AllocPalette();
    if (h.mapType == 1) {
        const int entryBits = h.mapEntrySize;
        const uint32_t entryBytes = (entryBits + 7u) / 8u;
        const uint8_t* map = source.ReadNBytes(entryBytes * h.mapLength);
        for (uint32_t i = 0; i < h.mapLength && entryBytes != 0; ++i) {
            uint32_t index = h.mapFirst + i;
            if (index >= 256) break;
            const uint8_t* e = map + i * entryBytes;
            PLPixel32 c = entryBits == 8 ? PLMakePixel(e[0], e[0], e[0]) : ConvertPixel(e, entryBits, nullptr, 0);
            palette[index] = PLRGBQuad{PLPixelBlue(c), PLPixelGreen(c), PLPixelRed(c), 255};
        }
    }
    if (IsGreyType(h.imageType) || h.mapType != 1) {
        for (int i = 0; i < 256; ++i) {
            uint8_t v = static_cast<uint8_t>(i);
            palette[i] = PLRGBQuad{v, v, v, 255};
        }
    }

    if (h.width == 0 || h.height == 0) RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %u x %u.", h.width, h.height);
    const int32_t width = h.width;
    const int32_t height = h.height;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    // Refuse data that cannot hold the picture before the bitmap is allocated.
    if (!IsRLEType(h.imageType) ? pixels * bytesPerPixel > source.GetBytesLeft()
                                : pixels > static_cast<uint64_t>(source.GetBytesLeft()) * 128u)
        RaiseEndOfFile();

    const int depth = ChooseDepth(wantedDepth, bits);
    wantedDepth = depth;
    CreateBitmap(bitmap, width, height, depth, depth == 32 && (bits == 16 || bits == 32));
    if (depth == 8) bitmap.CopyPalette(palette.get());
    CPLBitmapLock lock(bitmap, false, true);

    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool rightToLeft = (h.descriptor & 0x10) != 0;
    const bool rle = IsRLEType(h.imageType);
    int runLeft = 0;
    bool runRepeats = false;
    uint8_t runPixel[4] = {0, 0, 0, 0};

    for (int32_t line = 0; line < height; ++line) {
        uint8_t* dst = bitmap.GetLine(topDown ? line : height - 1 - line);
        const uint8_t* rowData = rle ? nullptr : source.ReadNBytes(static_cast<uint32_t>(width * bytesPerPixel));
        for (int32_t i = 0; i < width; ++i) {
            const uint8_t* p;
            if (rle) {
                // Packets may run on into the next row.
                if (runLeft == 0) {
                    uint8_t head = source.ReadByte();
                    runRepeats = (head & 0x80) != 0;
                    runLeft = (head & 0x7F) + 1;
                    if (runRepeats) std::memcpy(runPixel, source.ReadNBytes(static_cast<uint32_t>(bytesPerPixel)), bytesPerPixel);
                }
                p = runRepeats ? runPixel : source.ReadNBytes(static_cast<uint32_t>(bytesPerPixel));
                --runLeft;
            } else {
                p = rowData + i * bytesPerPixel;
            }
            const int32_t x = rightToLeft ? width - 1 - i : i;
            if (depth == 8)
                dst[x] = p[0];
            else
                PLStorePixel(dst + 4 * x, ConvertPixel(p, bits, palette.get(), attributeBits));
        }
    }
}
