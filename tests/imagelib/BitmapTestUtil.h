#pragma once

// Helpers shared by the bitmap tests.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "DibBitmap.h"
#include "PackedDibBitmap.h"

// A kind without colour table, as a bitmap arrives from code that never set one.
class CNoPaletteBitmap : public CHeapBitmap {
protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) override {
        CHeapBitmap::InternalCreate(width, height, bitsPerPixel, hasAlpha);
        std::free(m_palette);
        m_palette = nullptr;
    }
};

// Builds a packed DIB in memory: header, colour table (colors entries), rows as given (already
// in file order, each rowLength bytes).
inline std::vector<uint8_t> MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                                    const std::vector<PLRGBQuad>& colors, const std::vector<uint8_t>& rows,
                                    uint32_t clrUsed = 0, const std::vector<uint32_t>& masks = {}) {
    PLBitmapInfoHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = clrUsed;
    std::vector<uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    for (uint32_t m : masks) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&m);
        out.insert(out.end(), p, p + 4);
    }
    for (const PLRGBQuad& c : colors) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&c);
        out.insert(out.end(), p, p + 4);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

inline const PLBitmapInfoHeader* AsHeader(const std::vector<uint8_t>& dib) {
    return reinterpret_cast<const PLBitmapInfoHeader*>(dib.data());
}
