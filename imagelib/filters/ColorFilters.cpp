#include "ColorFilters.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
        target.Create(source.GetWidth(), source.GetHeight(), 32, source.HasAlpha());
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
    if (&source != &target) target.Create(source.GetWidth(), source.GetHeight(), 32, source.HasAlpha());
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
        uint32_t rt[256], gt[256], bt[256];
        for (uint32_t v = 0; v < 256; ++v) {
            rt[v] = RedWeight * v;
            gt[v] = GreenWeight * v;
            bt[v] = BlueWeight * v;
        }
        target.Create(w, h, 8, false);
        CPLBitmapLock targetLock(target, false, true);
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* src = source.GetLine(y);
            uint8_t* dst = target.GetLine(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = src + 4 * x;
                dst[x] = static_cast<uint8_t>((bt[p[PL_BLUE]] + gt[p[PL_GREEN]] + rt[p[PL_RED]]) / 1000000u);
            }
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
        target.Create(w, h, 8, false);
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
