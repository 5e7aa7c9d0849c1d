// Reading a packed DIB (header, optional bit masks, colour table, rows) from memory, as the
// clipboard and bitmap resources hold it. Every length is checked against the block before
// anything is read, and the old content of the bitmap is kept until the DIB is known good.

#include <bit>
#include <cstring>

#include "DibBitmap.h"
#include "PixelConvert.h"

namespace {

struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // mask >> shift

    explicit ChannelMask(uint32_t m = 0) : mask(m) {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    uint8_t Extract(uint32_t value) const {
        if (max == 0) return 0;
        uint32_t v = (value & mask) >> shift;
        if (max == 255) return static_cast<uint8_t>(v);
        return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + max / 2) / max);
    }
};

struct DibLayout {
    int32_t width = 0;
    int32_t height = 0;  // always positive
    bool topDown = false;
    uint16_t bitCount = 0;
    uint16_t targetBits = 0;
    uint32_t colorCount = 0;  // entries of the colour table actually present (depths up to 8)
    const PLRGBQuad* colors = nullptr;
    const uint8_t* bits = nullptr;
    uint32_t rowLength = 0;
    bool direct32 = false;  // 32-bit rows that can be copied as they are
    ChannelMask red, green, blue, alpha;
};

[[noreturn]] void ThrowBadDib(int code, const char* what) { throw CTextException(code, what); }

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

DibLayout ParseDib(const void* data, size_t size) {
    const uint8_t* base = static_cast<const uint8_t*>(data);
    if (base == nullptr || size < sizeof(PLBitmapInfoHeader))
        ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap too short.");
    PLBitmapInfoHeader h;
    std::memcpy(&h, base, sizeof h);
    if (h.biSize < sizeof(PLBitmapInfoHeader) || h.biSize > size)
        ThrowBadDib(PLErr::UnknownVariant, "Device-independent bitmap has a header of unknown size.");
    if (h.biHeight == INT32_MIN || h.biWidth <= 0 || h.biHeight == 0)
        ThrowBadDib(PLErr::UnknownVariant, "Device-independent bitmap has an illegal size.");

    DibLayout d;
    d.width = h.biWidth;
    d.topDown = h.biHeight < 0;
    d.height = d.topDown ? -h.biHeight : h.biHeight;
    d.bitCount = h.biBitCount;
    uint64_t offset = h.biSize;

    bool rgb = h.biCompression == PL_BI_RGB;
    bool fields = h.biCompression == PL_BI_BITFIELDS;
    switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
        if (!rgb) ThrowBadDib(PLErr::Unsupported, "Compressed device-independent bitmaps are not supported.");
        d.targetBits = h.biBitCount;
        break;
    case 16:
    case 24:
    case 32:
        if (!rgb && !(fields && h.biBitCount != 24))
            ThrowBadDib(PLErr::Unsupported, "Compressed device-independent bitmaps are not supported.");
        d.targetBits = 32;
        break;
    default:
        ThrowBadDib(PLErr::UnknownVariant, "Device-independent bitmap has an illegal bpp value.");
    }

    if (fields) {
        uint32_t masks[3];
        if (h.biSize >= 52) {  // the masks are part of the longer header
            std::memcpy(masks, base + 40, sizeof masks);
            if (h.biSize >= 56) d.alpha = ChannelMask(ReadU32(base + 52));
        } else {
            if (offset + 12 > size) ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap too short.");
            std::memcpy(masks, base + offset, sizeof masks);
            offset += 12;
        }
        d.red = ChannelMask(masks[0]);
        d.green = ChannelMask(masks[1]);
        d.blue = ChannelMask(masks[2]);
        d.direct32 = h.biBitCount == 32 && masks[0] == 0x00FF0000u && masks[1] == 0x0000FF00u && masks[2] == 0x000000FFu;
    } else if (h.biBitCount == 16) {
        d.red = ChannelMask(0x7C00);
        d.green = ChannelMask(0x03E0);
        d.blue = ChannelMask(0x001F);
    } else if (h.biBitCount == 32) {
        d.direct32 = true;
    }

    if (h.biBitCount <= 8) {
        uint32_t full = 1u << h.biBitCount;
        uint32_t present = h.biClrUsed != 0 ? h.biClrUsed : full;
        if (present > 256) ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap has an illegal colour count.");
        if (offset + uint64_t{4} * present > size) ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap too short.");
        d.colors = reinterpret_cast<const PLRGBQuad*>(base + offset);
        d.colorCount = present < full ? present : full;
        offset += uint64_t{4} * present;
    } else if (h.biClrUsed != 0) {
        // A colour table for palette devices may precede the rows of a true-colour DIB.
        if (h.biClrUsed > 256) ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap has an illegal colour count.");
        offset += uint64_t{4} * h.biClrUsed;
    }

    uint32_t targetRow = CDibBitmap::CalcDibRowLength(d.width, d.targetBits);
    CDibBitmap::CheckGeometry(d.width, d.height, d.targetBits, targetRow);
    d.rowLength = CDibBitmap::CalcDibRowLength(d.width, d.bitCount);
    // The last row need not carry its padding.
    uint64_t needed = offset + uint64_t{d.rowLength} * static_cast<uint64_t>(d.height - 1) +
                      CDibBitmap::CalcPackedRowLength(d.width, d.bitCount);
    if (needed > size) ThrowBadDib(PLErr::CorruptData, "Device-independent bitmap too short.");
    d.bits = base + offset;
    return d;
}

void ConvertRow(const DibLayout& d, const uint8_t* src, uint8_t* dst) {
    switch (d.bitCount) {
    case 24:
        for (int32_t x = 0; x < d.width; ++x, src += 3)
            PLStorePixel(dst + 4 * x, PLMakePixel(src[2], src[1], src[0], 255));
        break;
    case 16:
        for (int32_t x = 0; x < d.width; ++x, src += 2) {
            uint32_t v = static_cast<uint32_t>(src[0] | (src[1] << 8));
            PLStorePixel(dst + 4 * x, PLMakePixel(d.red.Extract(v), d.green.Extract(v), d.blue.Extract(v),
                                                  d.alpha.max ? d.alpha.Extract(v) : 255));
        }
        break;
    case 32:
        for (int32_t x = 0; x < d.width; ++x, src += 4) {
            uint32_t v = ReadU32(src);
            PLStorePixel(dst + 4 * x, PLMakePixel(d.red.Extract(v), d.green.Extract(v), d.blue.Extract(v),
                                                  d.alpha.max ? d.alpha.Extract(v) : 255));
        }
        break;
    default: break;
    }
}

}  // namespace

void CDibBitmap::CreateFromDibData(const void* dib, size_t size) {
    DibLayout d = ParseDib(dib, size);
    Recreate(d.width, d.height, d.targetBits, false, false);
    CPLBitmapLock lock(*this, false, true);
    if (m_palette != nullptr) {
        std::memset(m_palette, 0, sizeof(PLRGBQuad) * static_cast<size_t>(GetNumColors()));
        std::memcpy(m_palette, d.colors, sizeof(PLRGBQuad) * d.colorCount);
    }
    bool copy = d.bitCount == d.targetBits && (d.bitCount <= 8 || d.direct32);
    size_t rowBytes = CalcPackedRowLength(d.width, d.bitCount);
    for (int32_t y = 0; y < m_height; ++y) {
        int32_t stored = d.topDown ? y : m_height - 1 - y;
        const uint8_t* src = d.bits + static_cast<size_t>(stored) * d.rowLength;
        if (copy)
            std::memcpy(m_lineTable[y], src, rowBytes);
        else
            ConvertRow(d, src, m_lineTable[y]);
    }
}
