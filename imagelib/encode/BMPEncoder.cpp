#include "encode/BMPEncoder.h"

#include <cstring>
#include <vector>

#include "PixelRows.h"

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

CBMPEncoder::CBMPEncoder() = default;
CBMPEncoder::~CBMPEncoder() = default;

void CBMPEncoder::DoEncode(const CDibBitmap& bitmap, CByteSink& sink) {
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    const uint16_t depth = bitmap.GetBitsPerPixel();
    if (depth != 1 && depth != 4 && depth != 8 && depth != 32)
        throw CTextException::Format(PLErr::UnknownVariant, "Can't write a %u bit bitmap as BMP.",
                                     static_cast<unsigned>(depth));
    const uint16_t fileBits = depth > 8 ? 24 : depth;
    const uint32_t colors = depth <= 8 ? (1u << depth) : 0;
    const uint32_t offset = 54 + 4 * colors;
    const uint32_t fileRow = CDibBitmap::CalcDibRowLength(width, fileBits);
    const uint64_t fileSize = offset + static_cast<uint64_t>(fileRow) * static_cast<uint64_t>(height);
    if (fileSize > CByteSink::MaxBytes) throw CTextException(PLErr::EndOfFile, CByteSink::OverflowText);

    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, static_cast<uint32_t>(fileSize));
    Put32(header + 10, offset);
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<uint32_t>(width));
    Put32(header + 22, static_cast<uint32_t>(height));
    Put16(header + 26, 1);
    Put16(header + 28, fileBits);
    // Compression BI_RGB, image size, resolutions, colours used and important: all zero.
    sink.WriteNBytes(sizeof header, header);

    if (colors) {
        const PLRGBQuad* palette = bitmap.GetColorTable();
        std::vector<PLRGBQuad> table(colors, PLRGBQuad{0, 0, 0, 0});
        if (palette) std::memcpy(table.data(), palette, colors * sizeof(PLRGBQuad));
        sink.WriteNBytes(colors * sizeof(PLRGBQuad), table.data());
    }

    // The rows are built in place in the sink, bottom row first.
    sink.ReserveTotal(sink.GetPosition() + static_cast<size_t>(fileSize) - offset);
    const uint8_t* const* lines = bitmap.GetLineArray();
    const size_t pixelBytes = CDibBitmap::CalcPackedRowLength(width, depth);
    const unsigned usedBits = static_cast<unsigned>((static_cast<uint64_t>(width) * depth) % 8);
    for (int32_t y = height - 1; y >= 0; --y) {
        uint8_t* dst = sink.Append(fileRow);
        const uint8_t* src = lines[y];
        size_t written;
        if (depth == 32) {
            PLPack32ToBGR(src, dst, width);
            written = static_cast<size_t>(width) * 3;
        } else {
            std::memcpy(dst, src, pixelBytes);
            // Bits of the last byte beyond the width are not part of the picture.
            if (usedBits) dst[pixelBytes - 1] &= static_cast<uint8_t>(0xFF00u >> usedBits);
            written = pixelBytes;
        }
        std::memset(dst + written, 0, fileRow - written);
    }
}
