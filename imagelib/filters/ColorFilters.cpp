#include "ColorFilters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

// Runs lut over blue, green and red of every pixel of the 32-bit source into target (which may
// be the source itself); the fourth byte is kept.
void ApplyTable32(const CDibBitmap& source, CDibBitmap& target, const uint8_t* lut, const CProgressSchedule& progress) {
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        for (int32_t x = 0; x < w; ++x) {
            const PLPixel32 p = LoadPixel(src + 4 * x);
            const PLPixel32 q = static_cast<PLPixel32>(lut[p & 0xFF]) | static_cast<PLPixel32>(lut[(p >> 8) & 0xFF]) << 8 |
                                static_cast<PLPixel32>(lut[(p >> 16) & 0xFF]) << 16 | (p & 0xFF000000u);
            StorePixel(dst + 4 * x, q);
        }
        progress.Step(y);
    }
}

void ApplyTableToPalette(CDibBitmap& bitmap, const uint8_t* lut) {
    PLRGBQuad* palette = bitmap.GetPalette();
    if (palette == nullptr) return;
    for (int i = 0, n = bitmap.GetNumColors(); i < n; ++i) {
        palette[i].rgbBlue = lut[palette[i].rgbBlue];
        palette[i].rgbGreen = lut[palette[i].rgbGreen];
        palette[i].rgbRed = lut[palette[i].rgbRed];
    }
}

// The frame shared by the per-channel table filters.
template <class MapFn>
void TableApply(CImageFilter& filter, const CDibBitmap& source, CDibBitmap& target, MapFn map) {
    uint8_t lut[256];
    for (int v = 0; v < 256; ++v) lut[v] = map(static_cast<uint8_t>(v));
    CPLBitmapLock sourceLock(source, true, false);
    const CProgressSchedule progress = RowSchedule(filter.GetProgressSink(), source.GetHeight());
    progress.Start();
    if (&source == &target) {
        CPLBitmapLock targetLock(target, true, true);
        if (target.GetBitsPerPixel() == 32)
            ApplyTable32(target, target, lut, progress);
        else
            ApplyTableToPalette(target, lut);
    } else if (source.GetBitsPerPixel() == 32) {
        target.CreateForOverwrite(source.GetWidth(), source.GetHeight(), 32, source.HasAlpha());
        CPLBitmapLock targetLock(target, false, true);
        ApplyTable32(source, target, lut, progress);
    } else {
        target.CreateCopy(source, 0);
        CPLBitmapLock targetLock(target, false, true);
        ApplyTableToPalette(target, lut);
    }
    progress.Finish();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Brightness

CBrightnessFilter::CBrightnessFilter(int32_t amount, CProgressSink* progress)
    : CImageFilter(progress), m_amount(amount) {}

CBrightnessFilter::~CBrightnessFilter() = default;

uint8_t CBrightnessFilter::Map(uint8_t channel) const {
    // amount x 2.55, computed as amount x 255 / 100 so that whole results stay whole
    // (100 x 2.55 is 254.99999999999997 in binary floating point).
    const double offset = m_amount * 255.0 / 100.0;
    return ClampToByte(channel + offset);
}

void CBrightnessFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    TableApply(*this, source, target, [this](uint8_t v) { return Map(v); });
}

void CBrightnessFilter::ApplyInPlace(CDibBitmap& bitmap) { Apply(bitmap, bitmap); }

// ---------------------------------------------------------------------------------------------
// Contrast

CContrastFilter::CContrastFilter(double factor, int32_t offset, CProgressSink* progress)
    : CImageFilter(progress), m_factor(factor), m_offset(ClampInt(offset, 0, 255) - 125) {}

CContrastFilter::~CContrastFilter() = default;

uint8_t CContrastFilter::Map(uint8_t channel) const {
    const double c0 = (m_offset - 125) * m_factor + 125;
    return ClampToByte(m_factor * channel + c0);
}

void CContrastFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    TableApply(*this, source, target, [this](uint8_t v) { return Map(v); });
}

void CContrastFilter::ApplyInPlace(CDibBitmap& bitmap) { Apply(bitmap, bitmap); }

// ---------------------------------------------------------------------------------------------
// Intensity

namespace {

// The value (HSV) of a colour is its largest channel. Changing the value while hue and
// saturation stay put scales all three channels by the same factor: converting to hue,
// saturation and value, multiplying the value by factors[V] and converting back gives
// channel x factors[V] for every channel. As that depends only on the channel and the value,
// the results are looked up in a table of 256 x 256 bytes: table[V * 256 + channel].
std::vector<uint8_t> MakeIntensityTable(const std::array<double, 256>& factors) {
    std::vector<uint8_t> table = MakeBuffer<uint8_t>(256 * 256);
    // The tiny lift keeps products that are whole numbers in exact arithmetic from losing one
    // to truncation when they come out a unit in the last place below it.
    constexpr double lift = 1e-9;
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < 256; ++c) table[static_cast<size_t>(v * 256 + c)] = ClampToByte(c * factors[static_cast<size_t>(v)] + lift);
    return table;
}

inline PLPixel32 AdjustIntensity(PLPixel32 p, const uint8_t* table) {
    const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const uint8_t* row = table + 256 * std::max(r, std::max(g, b));
    return static_cast<PLPixel32>(row[b]) | static_cast<PLPixel32>(row[g]) << 8 | static_cast<PLPixel32>(row[r]) << 16 |
           (p & 0xFF000000u);
}

}  // namespace

CIntensityFilter::CIntensityFilter(double intensity, int32_t offset, double exponent, CProgressSink* progress)
    : CImageFilter(progress), m_intensity(intensity), m_offset(ClampInt(offset, 0, 255)), m_exponent(exponent) {}

CIntensityFilter::~CIntensityFilter() = default;

// factors[V]: what a colour whose value (largest channel) is V gets multiplied by:
// (V - offset)^exponent x scale + 1 from the offset on, 1 below it.
void CIntensityFilter::Prepare(std::array<double, 256>& factors) const {
    const double k = (m_intensity - 20.0) * 0.25;
    const double scale = k / std::pow(255.0, m_exponent);
    for (int v = 0; v < 256; ++v) {
        const double value = v;
        factors[v] = (value >= m_offset && v > 0) ? std::pow(value - m_offset, m_exponent) * scale + 1.0 : 1.0;
    }
}

PLPixel32 CIntensityFilter::Map(PLPixel32 pixel) const {
    std::array<double, 256> factors;
    Prepare(factors);
    const std::vector<uint8_t> table = MakeIntensityTable(factors);
    return AdjustIntensity(pixel, table.data());
}

void CIntensityFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    std::array<double, 256> factors;
    Prepare(factors);
    const std::vector<uint8_t> lookup = MakeIntensityTable(factors);
    CPLBitmapLock sourceLock(source, true, false);
    const CProgressSchedule progress = RowSchedule(GetProgressSink(), source.GetHeight());
    progress.Start();
    if (source.GetBitsPerPixel() != 32) {
        if (&source != &target) target.CreateCopy(source, 0);
        CPLBitmapLock targetLock(target, true, true);
        if (PLRGBQuad* palette = target.GetPalette())
            for (int i = 0, n = target.GetNumColors(); i < n; ++i)
                palette[i] = PLPixelToQuad(AdjustIntensity(PLQuadToPixel(palette[i]), lookup.data()));
        progress.Finish();
        return;
    }
    if (&source != &target) target.CreateForOverwrite(source.GetWidth(), source.GetHeight(), 32, source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    const uint8_t* table = lookup.data();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        for (int32_t x = 0; x < w; ++x) StorePixel(dst + 4 * x, AdjustIntensity(LoadPixel(src + 4 * x), table));
        progress.Step(y);
    }
    progress.Finish();
}

void CIntensityFilter::ApplyInPlace(CDibBitmap& bitmap) { Apply(bitmap, bitmap); }

// ---------------------------------------------------------------------------------------------
// Grayscale

namespace {
// The weights in millionths: the sum of the three products divided by a million is the
// truncated grey level, exactly.
constexpr uint32_t RedWeight = 212671, GreenWeight = 715160, BlueWeight = 72169;
}  // namespace

namespace {

// One row of 32-bit pixels to grey levels. The sum of the three products is below 2^28, so it
// is exact in 32-bit integers; the vector loop forms it with 16-bit multiplies (each weight
// split as high x 2^15 + low) and divides it by a million exactly as sum x M >> 50 with
// M = ceil(2^50 / 10^6): M x 10^6 exceeds 2^50 by 157376, and 157376 x sum stays below 2^50.
void GreyRow(const uint8_t* src, uint8_t* dst, int32_t w) {
    int32_t x = 0;
#if defined(__SSE2__)
    static_assert(PL_BLUE == 0 && PL_GREEN == 1 && PL_RED == 2, "pixel byte order");
    const __m128i low = _mm_setr_epi16(BlueWeight & 0x7FFF, GreenWeight & 0x7FFF, RedWeight & 0x7FFF, 0,
                                       BlueWeight & 0x7FFF, GreenWeight & 0x7FFF, RedWeight & 0x7FFF, 0);
    const __m128i high = _mm_setr_epi16(BlueWeight >> 15, GreenWeight >> 15, RedWeight >> 15, 0, BlueWeight >> 15,
                                        GreenWeight >> 15, RedWeight >> 15, 0);
    const __m128i zero = _mm_setzero_si128();
    const __m128i reciprocal = _mm_set1_epi32(1125899907);
    // Sums of the two 32-bit halves of each pixel's products: four pixels, one lane each.
    auto pairSums = [](__m128i a, __m128i b) {
        const __m128 fa = _mm_castsi128_ps(a), fb = _mm_castsi128_ps(b);
        return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                             _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
    };
    // Grey levels of four pixels as four 32-bit lanes.
    auto fourGreys = [&](const uint8_t* p) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
        const __m128i sumLow = pairSums(_mm_madd_epi16(lo, low), _mm_madd_epi16(hi, low));
        const __m128i sumHigh = pairSums(_mm_madd_epi16(lo, high), _mm_madd_epi16(hi, high));
        const __m128i sum = _mm_add_epi32(_mm_slli_epi32(sumHigh, 15), sumLow);
        const __m128i even = _mm_srli_epi64(_mm_mul_epu32(sum, reciprocal), 50);
        const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(sum, 32), reciprocal), 50);
        return _mm_or_si128(even, _mm_slli_epi64(odd, 32));
    };
    for (; x + 16 <= w; x += 16) {
        const uint8_t* p = src + 4 * static_cast<size_t>(x);
        const __m128i a = _mm_packs_epi32(fourGreys(p), fourGreys(p + 16));
        const __m128i b = _mm_packs_epi32(fourGreys(p + 32), fourGreys(p + 48));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm_packus_epi16(a, b));
    }
    for (; x + 4 <= w; x += 4) {
        __m128i q = fourGreys(src + 4 * static_cast<size_t>(x));
        q = _mm_packs_epi32(q, q);
        q = _mm_packus_epi16(q, q);
        const uint32_t bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(q));
        std::memcpy(dst + x, &bytes, 4);
    }
#endif
    for (; x < w; ++x) {
        const uint8_t* p = src + 4 * static_cast<size_t>(x);
        dst[x] = CGrayscaleFilter::GreyOf(p[PL_RED], p[PL_GREEN], p[PL_BLUE]);
    }
}

}  // namespace

CGrayscaleFilter::CGrayscaleFilter(CProgressSink* progress) : CImageFilter(progress) {}

CGrayscaleFilter::~CGrayscaleFilter() = default;

uint8_t CGrayscaleFilter::GreyOf(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((RedWeight * red + GreenWeight * green + BlueWeight * blue) / 1000000u);
}

void CGrayscaleFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    CPLBitmapLock sourceLock(source, true, false);
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    const CProgressSchedule progress = RowSchedule(GetProgressSink(), h);
    progress.Start();
    if (source.GetBitsPerPixel() == 32) {
        target.CreateForOverwrite(w, h, 8, false);
        CPLBitmapLock targetLock(target, false, true);
        for (int32_t y = 0; y < h; ++y) {
            GreyRow(source.GetLine(y), target.GetLine(y), w);
            progress.Step(y);
        }
    } else {
        CHeapBitmap expanded;
        const CDibBitmap* indices = &source;
        if (source.GetBitsPerPixel() != 8) {
            ExpandIndices(source, expanded);
            indices = &expanded;
        }
        uint8_t grey[256];
        for (int i = 0; i < 256; ++i) {
            const PLPixel32 c = i < source.GetNumColors() ? PaletteColor(source, i) : 0;
            grey[i] = GreyOf(PLPixelRed(c), PLPixelGreen(c), PLPixelBlue(c));
        }
        target.CreateForOverwrite(w, h, 8, false);
        CPLBitmapLock targetLock(target, false, true);
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* src = indices->GetLine(y);
            uint8_t* dst = target.GetLine(y);
            for (int32_t x = 0; x < w; ++x) dst[x] = grey[src[x]];
            progress.Step(y);
        }
    }
    progress.Finish();
}

// ---------------------------------------------------------------------------------------------
// Invert

namespace {
void InvertLine(const CDibBitmap& from, CDibBitmap& to, int32_t y) {
    const uint8_t* src = from.GetLine(y);
    uint8_t* dst = to.GetLine(y);
    for (int32_t x = 0, w = from.GetWidth(); x < w; ++x) StorePixel(dst + 4 * x, LoadPixel(src + 4 * x) ^ 0x00FFFFFFu);
}
}  // namespace

CInvertFilter::CInvertFilter(CProgressSink* progress) : CImageFilter(progress) {}

CInvertFilter::~CInvertFilter() = default;

void CInvertFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    FillRows32(source, target, GetProgressSink(), 0.05, 0.95, InvertLine);
}

void CInvertFilter::ApplyInPlace(CDibBitmap& bitmap) {
    if (bitmap.GetBitsPerPixel() != 32) {
        CImageFilter::ApplyInPlace(bitmap);
        return;
    }
    RewriteRows32(bitmap, GetProgressSink(), 0.05, 0.95, InvertLine);
}
