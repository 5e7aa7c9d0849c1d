#include "decode/BMPDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PixelRows.h"
#include "decode/DecoderSupport.h"

using pldecode::CMaskChannel;
using pldecode::StoreIndexRow;

namespace {

struct BmpInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool hasMasks = false;
};

bool IsLegalBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

CBMPDecoder::CBMPDecoder() = default;

CBMPDecoder::~CBMPDecoder() = default;

namespace {

// Decodes the RLE8 and RLE4 run-length data into one row of indices at a time.
void DecodeRLE(CDibBitmap& bitmap, const PLRGBQuad* palette, CByteSource& source, bool rle4, bool bottomUp) {
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    std::vector<uint8_t> row(static_cast<size_t>(width), 0);
    int32_t line = 0;  // rows finished so far, in file order
    int32_t x = 0;
    auto put = [&](uint8_t index) {
        if (x < width) row[static_cast<size_t>(x)] = index;
        ++x;
    };
    auto storeRow = [&]() {
        StoreIndexRow(bitmap, bottomUp ? height - 1 - line : line, row.data(), palette);
        std::fill(row.begin(), row.end(), 0);
        x = 0;
        ++line;
    };
    while (line < height) {
        uint8_t count = source.ReadByte();
        uint8_t value = source.ReadByte();
        if (count > 0) {
            // Encoded run: count pixels of value (RLE4: alternating high and low nibble).
            for (int k = 0; k < count && x < width; ++k)
                put(rle4 ? static_cast<uint8_t>((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of row
            storeRow();
            break;
        case 1:  // end of bitmap: the current row still counts
            storeRow();
            return;
        case 2:
            CImageDecoder::RaiseError(PLErr::Unsupported, "Encountered delta escape.");
            break;
        default: {
            // Absolute run of value pixels, padded to an even number of bytes.
            uint32_t bytes = rle4 ? (value + 1u) / 2u : value;
            const uint8_t* p = source.ReadNBytes(bytes);
            for (int k = 0; k < value && x < width; ++k)
                put(rle4 ? static_cast<uint8_t>((k & 1) ? (p[k / 2] & 0x0F) : (p[k / 2] >> 4)) : p[k]);
            if (bytes & 1) source.Skip(1);
            break;
        }
        }
    }
}

}  // namespace

void CBMPDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    const uint32_t start = source.GetPosition();

    // File header.
    uint16_t signature = source.ReadWordLE();
    if (signature != 0x4D42) RaiseError(PLErr::WrongSignature, "Bitmap decoder: This isn't a bitmap.");
    PLTrace(2, "Bitmap file signature found\n");
    source.Skip(4 + 2 + 2);  // file size, two reserved words
    uint32_t offBits = source.ReadLongLE();

    // Info header.
    BmpInfo info;
    uint32_t infoStart = source.GetPosition();
    info.headerSize = source.ReadLongLE();
    if (info.headerSize < 40) RaiseError(PLErr::UnknownVariant, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    info.width = static_cast<int32_t>(source.ReadLongLE());
    info.height = static_cast<int32_t>(source.ReadLongLE());
    info.planes = source.ReadWordLE();
    info.bitCount = source.ReadWordLE();
    info.compression = source.ReadLongLE();
    source.Skip(4 + 4 + 4);  // image size, resolutions
    info.colorsUsed = source.ReadLongLE();
    source.Skip(4);  // colours important
    PLTrace(2, "Bitmap header is ok.\n");
    if (!IsLegalBitCount(info.bitCount)) RaiseError(PLErr::UnknownVariant, "Decoding bmp: Illegal bpp value.");

    // Colour masks: inside headers of 52 bytes or more, else behind the 40-byte header.
    const bool masked = (info.bitCount == 16 || info.bitCount == 32) && info.compression != 0;
    if (info.headerSize >= 52) {
        info.masks[0] = source.ReadLongLE();
        info.masks[1] = source.ReadLongLE();
        info.masks[2] = source.ReadLongLE();
        if (info.headerSize >= 56) info.masks[3] = source.ReadLongLE();
        info.hasMasks = masked;
    }
    uint32_t headerEnd = infoStart + info.headerSize;
    if (headerEnd < infoStart) RaiseError(PLErr::UnknownVariant, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    source.Skip(headerEnd - source.GetPosition());
    // Some writers set BI_BITFIELDS without writing the masks: the pixel offset then points
    // where the masks would be, and the standard masks apply (5-6-5 for 16 bits).
    const uint32_t headerEndInFile = headerEnd - start;
    const bool masksMissing = offBits >= 14 + 40 && offBits < headerEndInFile + 12;
    if (masked && info.headerSize < 52 && masksMissing) {
        info.masks[0] = info.bitCount == 16 ? 0xF800 : 0x00FF0000;
        info.masks[1] = info.bitCount == 16 ? 0x07E0 : 0x0000FF00;
        info.masks[2] = info.bitCount == 16 ? 0x001F : 0x000000FF;
        info.hasMasks = true;
    } else if (masked && info.headerSize < 52) {
        info.masks[0] = source.ReadLongLE();
        info.masks[1] = source.ReadLongLE();
        info.masks[2] = source.ReadLongLE();
        info.hasMasks = true;
    }

    // Colour table.
    palette = AllocPalette();
    if (info.bitCount <= 8) {
        PLTrace(2, "Reading palette.\n");
        uint32_t entries = info.colorsUsed != 0 ? info.colorsUsed : (1u << info.bitCount);
        // A pixel offset inside the table says that fewer entries were written.
        uint32_t tableStart = source.GetPosition() - start;
        if (offBits >= tableStart && offBits - tableStart < 4 * std::min<uint32_t>(entries, 256))
            entries = (offBits - tableStart) / 4;
        uint32_t stored = std::min<uint32_t>(entries, 256);
        const uint8_t* p = source.ReadNBytes(stored * 4);
        for (uint32_t i = 0; i < stored; ++i) palette[i] = PLRGBQuad{p[4 * i], p[4 * i + 1], p[4 * i + 2], 255};
        // Entries beyond 256 are skipped below unless the pixel offset says where the rows are.
        if (entries > stored && (offBits < source.GetPosition() - start))
            source.Skip(std::min<uint32_t>(entries - stored, source.GetBytesLeft() / 4) * 4);
    }

    // The rows start at the pixel offset of the file header (when it points forward).
    uint32_t here = source.GetPosition() - start;
    if (offBits > here) source.Skip(offBits - here);

    if (info.width <= 0 || info.height == 0 || info.height == INT32_MIN)
        RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %d x %d.", info.width, info.height);
    const bool bottomUp = info.height > 0;
    const int32_t width = info.width;
    const int32_t height = bottomUp ? info.height : -info.height;
    const bool rle = info.compression != 0 && (info.bitCount == 4 || info.bitCount == 8);

    // Uncompressed rows must all be there (the last one may lack its padding).
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * info.bitCount + 31) / 32 * 4;
    const uint64_t pixelBytes = (static_cast<uint64_t>(width) * info.bitCount + 7) / 8;
    if (!rle && rowBytes * static_cast<uint64_t>(height - 1) + pixelBytes > source.GetBytesLeft())
        RaiseEndOfFile();

    int depth = ChooseDepth(wantedDepth, info.bitCount);
    wantedDepth = depth;
    CreateBitmap(bitmap, width, height, depth, false);
    if (depth == 8) bitmap.CopyPalette(palette.get());
    CPLBitmapLock lock(bitmap, false, true);

    if (rle) {
        PLTrace(2, info.bitCount == 4 ? "Decoding RLE4-compressed bitmap.\n" : "Decoding RLE8-compressed bitmap.\n");
        DecodeRLE(bitmap, palette.get(), source, info.bitCount == 4, bottomUp);
        PLTrace(3, "Decoding finished.\n");
        return;
    }

    switch (info.bitCount) {
    case 1: PLTrace(2, "Decoding 1 bit per pixel bitmap.\n"); break;
    case 4: PLTrace(2, "Decoding uncompressed 4 bit per pixel bitmap.\n"); break;
    case 8: PLTrace(2, "Decoding uncompressed 8 bit per pixel bitmap.\n"); break;
    default: PLTrace(2, "Decoding true-color bitmap.\n"); break;
    }

    // Masks of the true-colour depths.
    CMaskChannel red, green, blue, alpha;
    bool copy32 = info.bitCount == 32;
    if (info.bitCount == 16) {
        if (info.hasMasks) {
            red = CMaskChannel(info.masks[0]);
            green = CMaskChannel(info.masks[1]);
            blue = CMaskChannel(info.masks[2]);
        } else {
            red = CMaskChannel(0x7C00);
            green = CMaskChannel(0x03E0);
            blue = CMaskChannel(0x001F);
        }
    } else if (info.bitCount == 32 && info.hasMasks &&
               !(info.masks[0] == 0x00FF0000 && info.masks[1] == 0x0000FF00 && info.masks[2] == 0x000000FF)) {
        copy32 = false;
        red = CMaskChannel(info.masks[0]);
        green = CMaskChannel(info.masks[1]);
        blue = CMaskChannel(info.masks[2]);
        alpha = CMaskChannel(info.masks[3]);
    }

    std::vector<uint8_t> indices(info.bitCount <= 8 ? static_cast<size_t>(width) : 0);
    const uint32_t padding = static_cast<uint32_t>(rowBytes - pixelBytes);
    for (int32_t line = 0; line < height; ++line) {
        const int32_t y = bottomUp ? height - 1 - line : line;
        const uint8_t* src = source.ReadNBytes(static_cast<uint32_t>(pixelBytes));
        uint8_t* dst = bitmap.GetLine(y);
        switch (info.bitCount) {
        case 1:
            for (int32_t x = 0; x < width; ++x) indices[x] = static_cast<uint8_t>((src[x >> 3] >> (7 - (x & 7))) & 1);
            StoreIndexRow(bitmap, y, indices.data(), palette.get());
            break;
        case 4:
            for (int32_t x = 0; x < width; ++x)
                indices[x] = static_cast<uint8_t>((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4));
            StoreIndexRow(bitmap, y, indices.data(), palette.get());
            break;
        case 8:
            StoreIndexRow(bitmap, y, src, palette.get());
            break;
        case 16:
            for (int32_t x = 0; x < width; ++x) {
                uint32_t v = static_cast<uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
                PLStorePixel(dst + 4 * x, PLMakePixel(red.Extract(v), green.Extract(v), blue.Extract(v), 255));
            }
            break;
        case 24:
            PLExpandBGRTo32(src, dst, width);
            break;
        case 32:
            if (copy32) {
                std::memcpy(dst, src, static_cast<size_t>(width) * 4);
            } else {
                for (int32_t x = 0; x < width; ++x) {
                    uint32_t v = static_cast<uint32_t>(src[4 * x]) | (static_cast<uint32_t>(src[4 * x + 1]) << 8) |
                                 (static_cast<uint32_t>(src[4 * x + 2]) << 16) |
                                 (static_cast<uint32_t>(src[4 * x + 3]) << 24);
                    uint8_t a = alpha.IsPresent() ? alpha.Extract(v) : 255;
                    PLStorePixel(dst + 4 * x, PLMakePixel(red.Extract(v), green.Extract(v), blue.Extract(v), a));
                }
            }
            break;
        default:
            break;
        }
        source.Skip(std::min(padding, source.GetBytesLeft()));
    }
    PLTrace(3, "Decoding finished.\n");
}
