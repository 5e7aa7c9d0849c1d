#include "FilterSupport.h"

#include <cstring>

namespace FilterDetail {

void ThrowOutOfMemory() { throw CTextException(PLErr::NoMemory, "Out of memory."); }

void ThrowBadRequest(const char* text) { throw CTextException(PLErr::UnknownVariant, text); }

size_t CheckedMul(size_t a, size_t b) {
    if (a != 0 && b > static_cast<size_t>(-1) / a) ThrowOutOfMemory();
    return a * b;
}

CTrueColorSource::CTrueColorSource(const CDibBitmap& source) : m_bitmap(&source) {
    if (source.GetBitsPerPixel() == 32) return;
    try {
        m_copy = std::make_unique<CHeapBitmap>();
    } catch (const std::bad_alloc&) {
        ThrowOutOfMemory();
    }
    m_copy->CreateCopy(source, 32);
    m_bitmap = m_copy.get();
}

PLPixel32 PaletteColor(const CDibBitmap& bitmap, int index) {
    const PLRGBQuad* palette = bitmap.GetPalette();
    if (palette != nullptr && index >= 0 && index < bitmap.GetNumColors()) return PLQuadToPixel(palette[index]);
    return PLDefaultPaletteColor(bitmap.GetBitsPerPixel(), static_cast<uint8_t>(index));
}

void CopyColorTable(const CDibBitmap& source, CDibBitmap& target) {
    PLRGBQuad* palette = target.GetPalette();
    if (palette == nullptr) return;
    const int colors = target.GetNumColors();
    for (int i = 0; i < colors; ++i)
        palette[i] = i < source.GetNumColors() ? PLPixelToQuad(PaletteColor(source, i)) : PLRGBQuad{0, 0, 0, 255};
}

void ExpandIndices(const CDibBitmap& source, CDibBitmap& target) {
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    const uint16_t bpp = source.GetBitsPerPixel();
    target.Create(w, h, 8, false);
    PLRGBQuad* palette = target.GetPalette();
    for (int i = 0; i < 256; ++i) palette[i] = PLPixelToQuad(i < source.GetNumColors() ? PaletteColor(source, i) : 0xFF000000u);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        switch (bpp) {
        case 8: std::memcpy(dst, src, static_cast<size_t>(w)); break;
        case 4: PLExpand4To8(src, dst, w); break;
        case 1: PLExpand1To8(src, dst, w); break;
        default: std::memset(dst, 0, static_cast<size_t>(w)); break;
        }
    }
}

void PackIndices(const CDibBitmap& indexed, const CDibBitmap& paletteOf, uint16_t bitsPerPixel, CDibBitmap& target) {
    const int32_t w = indexed.GetWidth(), h = indexed.GetHeight();
    target.Create(w, h, bitsPerPixel, false);
    const int colors = target.GetNumColors();
    PLRGBQuad* palette = target.GetPalette();
    if (palette != nullptr)
        for (int i = 0; i < colors; ++i) palette[i] = PLPixelToQuad(PaletteColor(paletteOf, i));
    const uint8_t mask = static_cast<uint8_t>(colors - 1);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = indexed.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        switch (bitsPerPixel) {
        case 8: std::memcpy(dst, src, static_cast<size_t>(w)); break;
        case 4:
            for (int32_t x = 0; x < w; x += 2) {
                uint8_t hi = static_cast<uint8_t>(src[x] & mask);
                uint8_t lo = x + 1 < w ? static_cast<uint8_t>(src[x + 1] & mask) : 0;
                dst[x >> 1] = static_cast<uint8_t>(hi << 4 | lo);
            }
            break;
        case 1:
            for (int32_t x = 0; x < w; x += 8) {
                unsigned bits = 0;
                for (int32_t i = 0; i < 8; ++i) bits = bits << 1 | (x + i < w ? (src[x + i] & 1u) : 0u);
                dst[x >> 3] = static_cast<uint8_t>(bits);
            }
            break;
        default: break;
        }
    }
}

void MapToPalette(const CDibBitmap& source, CDibBitmap& target) {
    // Nearest entries are remembered in a small direct-mapped cache keyed by the colour.
    constexpr uint32_t cacheSize = 4096;
    std::vector<uint32_t> keys = MakeBuffer<uint32_t>(cacheSize, 0xFFFFFFFFu);
    std::vector<uint8_t> values = MakeBuffer<uint8_t>(cacheSize, 0);
    const int32_t w = target.GetWidth(), h = target.GetHeight();
    const uint16_t bpp = target.GetBitsPerPixel();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        for (int32_t x = 0; x < w; ++x) {
            uint32_t rgb = LoadPixel(src + 4 * x) & 0x00FFFFFFu;
            uint32_t slot = (rgb * 2654435761u) >> 20;
            uint8_t index;
            if (keys[slot] == rgb) {
                index = values[slot];
            } else {
                index = static_cast<uint8_t>(target.FindNearestColor(rgb | 0xFF000000u));
                keys[slot] = rgb;
                values[slot] = index;
            }
            if (bpp == 8)
                target.GetLine(y)[x] = index;
            else
                target.SetPixelIndex(x, y, index);
        }
    }
}

}  // namespace FilterDetail
