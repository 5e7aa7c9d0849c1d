#pragma once

// Small helpers shared by the decoders of this folder (not part of the library's interface).

#include <cstdint>
#include <cstring>

#include "BitmapInfo.h"
#include "DibBitmap.h"
#include "PixelConvert.h"

namespace pldecode {

// Writes one row of palette indices (one byte per pixel) into row y of bitmap: the indices for
// an 8-bit bitmap, the colours of palette (alpha 255) for a 32-bit one.
inline void StoreIndexRow(CDibBitmap& bitmap, int32_t y, const uint8_t* indices, const PLRGBQuad* palette) {
    uint8_t* dst = bitmap.GetLine(y);
    int32_t width = bitmap.GetWidth();
    if (bitmap.GetBitsPerPixel() == 8) {
        std::memcpy(dst, indices, static_cast<size_t>(width));
        return;
    }
    for (int32_t x = 0; x < width; ++x) {
        PLRGBQuad c = palette[indices[x]];
        PLStorePixel(dst + 4 * x, PLMakePixel(c.rgbRed, c.rgbGreen, c.rgbBlue, 255));
    }
}

// One colour channel described by a bit mask, scaled to 8 bits by keeping its top bits.
class CMaskChannel {
public:
    CMaskChannel() = default;
    explicit CMaskChannel(uint32_t mask) : m_mask(mask) {
        if (mask == 0) return;
        while (((mask >> m_shift) & 1) == 0) ++m_shift;
        uint32_t field = mask >> m_shift;
        while (m_bits < 32 && (field >> m_bits) != 0) ++m_bits;
    }
    bool IsPresent() const { return m_mask != 0; }
    uint8_t Extract(uint32_t value) const {
        if (m_mask == 0) return 0;
        uint32_t v = (value & m_mask) >> m_shift;
        if (m_bits >= 8) return static_cast<uint8_t>(v >> (m_bits - 8));
        return static_cast<uint8_t>(v << (8 - m_bits));
    }

private:
    uint32_t m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
};

}  // namespace pldecode
