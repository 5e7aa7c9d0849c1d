#pragma once

// CQuantizeFilter: reduces a 32-bit bitmap to 8 bits with a palette of 256 colours.
//
// Palette modes: 0 median cut, 1 popularity, 2 a fixed 256-colour palette.
// Dither modes: 0 none (nearest colour), 1 ordered (4 x 4 matrix), 2 Floyd-Steinberg.
// Colours are looked up once per 15-bit colour (5 bits per channel); every pixel of that
// bucket takes the entry found for the first pixel that fell into it.

#include <array>
#include <cstdint>

#include "ImageFilter.h"

class CQuantizeFilter : public CInPlaceFilter {
public:
    enum PaletteMode : int32_t { MedianCut = 0, Popularity = 1, FixedPalette = 2 };
    enum DitherMode : int32_t { NoDither = 0, OrderedDither = 1, FloydSteinberg = 2 };

    // Unknown modes fall back to the fixed palette and to no dithering.
    CQuantizeFilter(int32_t paletteMode, int32_t ditherMode, CProgressSink* progress = nullptr);
    ~CQuantizeFilter() override;

    // Target: 8 bits, no alpha, width and height of the source. Sources of other depths
    // than 32 bits are read through their colour table.
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;

    int32_t GetPaletteMode() const { return m_paletteMode; }
    int32_t GetDitherMode() const { return m_ditherMode; }

    // The fixed palette of mode 2 (fourth bytes 255).
    static const std::array<PLRGBQuad, 256>& FixedPaletteEntries();

private:
    int32_t m_paletteMode;
    int32_t m_ditherMode;
};
