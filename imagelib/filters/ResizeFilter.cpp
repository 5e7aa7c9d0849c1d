#include "ResizeFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {
constexpr double Pi = 3.14159265358979323846;
}

// ---------------------------------------------------------------------------------------------
// Kernels

double CBoxKernel::operator()(double x) const { return std::abs(x) <= m_radius ? 1.0 : 0.0; }

double CBilinearKernel::operator()(double x) const {
    const double ax = std::abs(x);
    return ax < m_radius ? m_radius - ax : 0.0;
}

double CGaussianKernel::operator()(double x) const {
    if (!(std::abs(x) <= m_radius)) return 0.0;
    // x = 0 is written out so that a radius of 0 does not divide 0 by 0.
    const double q = x == 0.0 ? 0.0 : x * x / m_radius;
    return std::exp(-q - 1.0) / std::sqrt(2.0 * Pi);
}

double CHammingKernel::operator()(double x) const {
    if (!(std::abs(x) <= m_radius)) return 0.0;
    const double window = 0.54 + 0.46 * std::cos(2.0 * Pi * x);
    if (x == 0.0) return window;
    const double px = Pi * x;
    return window * (std::sin(px) / px);
}

// ---------------------------------------------------------------------------------------------
// Weight table

CResizeWeights::CResizeWeights(int32_t targetSize, int32_t sourceSize, const CResizeKernel& kernel)
    : m_targetSize(targetSize), m_window(1) {
    if (targetSize < 1 || sourceSize < 1) ThrowBadRequest("An image side must be at least one pixel.");
    const double scale = static_cast<double>(targetSize) / sourceSize;
    double width, factor;
    if (scale >= 1.0) {
        width = kernel.Radius();
        factor = 1.0;
    } else {
        width = kernel.Radius() / scale;
        factor = scale;
    }
    // A negative (or undefined) radius reaches no neighbour; beyond the source's size a wider
    // window changes nothing, so the window is held to what can be stored.
    if (!(width >= 0.0)) width = 0.0;
    if (width > sourceSize) width = sourceSize;
    const int64_t window = 2 * static_cast<int64_t>(std::ceil(width)) + 1;
    m_window = static_cast<int32_t>(std::min<int64_t>(window, sourceSize));
    const size_t n = static_cast<size_t>(targetSize);
    m_first = MakeBuffer<int32_t>(n);
    m_count = MakeBuffer<int32_t>(n);
    m_weights = MakeBuffer<double>(CheckedMul(n, static_cast<size_t>(m_window)));

    for (int32_t i = 0; i < targetSize; ++i) {
        const double center = i / scale;
        int64_t left = std::max<int64_t>(0, static_cast<int64_t>(std::floor(center - width)));
        int64_t right = std::min<int64_t>(sourceSize - 1, static_cast<int64_t>(std::ceil(center + width)));
        if (right - left + 1 > window) {
            if (left < sourceSize)
                ++left;
            else
                --right;
        }
        double* w = m_weights.data() + static_cast<size_t>(i) * static_cast<size_t>(m_window);
        const int32_t count = static_cast<int32_t>(right - left + 1);
        double sum = 0.0;
        for (int32_t k = 0; k < count; ++k) {
            w[k] = factor * kernel((center - static_cast<double>(left + k)) * factor);
            sum += w[k];
        }
        if (sum > 0.0) {
            for (int32_t k = 0; k < count; ++k) w[k] /= sum;
            m_first[i] = static_cast<int32_t>(left);
            m_count[i] = count;
        } else {
            // The kernel reaches no source index (a radius below half a pixel): the nearest
            // source pixel is taken instead of leaving the pixel black.
            m_first[i] = ClampInt(RoundHalfUp(center), 0, sourceSize - 1);
            m_count[i] = 1;
            w[0] = 1.0;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The two passes

namespace {

#if defined(__SSE2__)
inline __m128i BytesToInts(uint32_t pixel) {
    const __m128i zero = _mm_setzero_si128();
    __m128i v = _mm_cvtsi32_si128(static_cast<int>(pixel));
    v = _mm_unpacklo_epi8(v, zero);
    return _mm_unpacklo_epi16(v, zero);
}

// (sum + 0.5) truncated and held to 0..255 for four channels, as the four bytes of a pixel.
inline uint32_t RoundToPixel(__m128d lo, __m128d hi) {
    const __m128d half = _mm_set1_pd(0.5), top = _mm_set1_pd(255.0), zero = _mm_setzero_pd();
    lo = _mm_max_pd(_mm_min_pd(_mm_add_pd(lo, half), top), zero);
    hi = _mm_max_pd(_mm_min_pd(_mm_add_pd(hi, half), top), zero);
    const __m128i ilo = _mm_cvttpd_epi32(lo);
    const __m128i ihi = _mm_cvttpd_epi32(hi);
    __m128i v = _mm_unpacklo_epi64(ilo, ihi);
    v = _mm_packs_epi32(v, v);
    v = _mm_packus_epi16(v, v);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}
#endif

inline uint8_t RoundChannel(double sum) { return ClampToByte(sum + 0.5); }

// One row of the horizontal pass: width target pixels from the source row.
void ResampleRow(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const CResizeWeights& weights, double* scratch) {
    const int32_t tw = weights.TargetSize();
#if defined(__SSE2__)
    // The source row as doubles, two channels per register.
    __m128d* row = reinterpret_cast<__m128d*>(scratch);
    for (int32_t x = 0; x < srcWidth; ++x) {
        const __m128i v = BytesToInts(LoadPixel(src + 4 * x));
        row[2 * x] = _mm_cvtepi32_pd(v);
        row[2 * x + 1] = _mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE));
    }
    for (int32_t i = 0; i < tw; ++i) {
        const __m128d* p = row + 2 * static_cast<size_t>(weights.First(i));
        const double* w = weights.Weights(i);
        const int32_t n = weights.Count(i);
        __m128d lo = _mm_setzero_pd(), hi = _mm_setzero_pd();
        for (int32_t k = 0; k < n; ++k) {
            const __m128d wk = _mm_set1_pd(w[k]);
            lo = _mm_add_pd(lo, _mm_mul_pd(wk, p[2 * k]));
            hi = _mm_add_pd(hi, _mm_mul_pd(wk, p[2 * k + 1]));
        }
        StorePixel(dst + 4 * static_cast<size_t>(i), RoundToPixel(lo, hi));
    }
#else
    (void)srcWidth;
    (void)scratch;
    for (int32_t i = 0; i < tw; ++i) {
        const uint8_t* p = src + 4 * static_cast<size_t>(weights.First(i));
        const double* w = weights.Weights(i);
        const int32_t n = weights.Count(i);
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        for (int32_t k = 0; k < n; ++k)
            for (int c = 0; c < 4; ++c) sum[c] += w[k] * p[4 * k + c];
        for (int c = 0; c < 4; ++c) dst[4 * static_cast<size_t>(i) + c] = RoundChannel(sum[c]);
    }
#endif
}

// Target pixels [x0, x1) of one row of the vertical pass, from rows[0..n) weighted by w.
void ResampleColumns(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst) {
#if defined(__SSE2__)
    __m128d wk[64];
    const bool stored = n <= 64;
    if (stored)
        for (int32_t k = 0; k < n; ++k) wk[k] = _mm_set1_pd(w[k]);
    for (int32_t x = x0; x < x1; ++x) {
        __m128d lo = _mm_setzero_pd(), hi = _mm_setzero_pd();
        for (int32_t k = 0; k < n; ++k) {
            const __m128i v = BytesToInts(LoadPixel(rows[k] + 4 * static_cast<size_t>(x)));
            const __m128d weight = stored ? wk[k] : _mm_set1_pd(w[k]);
            lo = _mm_add_pd(lo, _mm_mul_pd(weight, _mm_cvtepi32_pd(v)));
            hi = _mm_add_pd(hi, _mm_mul_pd(weight, _mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE))));
        }
        StorePixel(dst + 4 * static_cast<size_t>(x), RoundToPixel(lo, hi));
    }
#else
    for (int32_t x = x0; x < x1; ++x) {
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t* p = rows[k] + 4 * static_cast<size_t>(x);
            for (int c = 0; c < 4; ++c) sum[c] += w[k] * p[c];
        }
        for (int c = 0; c < 4; ++c) dst[4 * static_cast<size_t>(x) + c] = RoundChannel(sum[c]);
    }
#endif
}

void Resize32(const CDibBitmap& source, CDibBitmap& target, int32_t newWidth, int32_t newHeight,
              const CResizeKernel& kernel, CProgressSink* sink) {
    const int32_t sw = source.GetWidth(), sh = source.GetHeight();
    target.Create(newWidth, newHeight, 32, source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);

    // Horizontal pass into the work buffer: source height rows of new width pixels.
    const size_t workRow = CheckedMul(static_cast<size_t>(newWidth), 4);
    std::vector<uint8_t> work = MakeBuffer<uint8_t>(CheckedMul(workRow, static_cast<size_t>(sh)));
    {
        const CResizeWeights weights(newWidth, sw, kernel);
        std::vector<double> scratch = MakeBuffer<double>(CheckedMul(static_cast<size_t>(sw), 4) + 2);
        // Doubles for the vector path start on a 16-byte boundary.
        double* aligned = scratch.data();
        if (reinterpret_cast<uintptr_t>(aligned) % 16 != 0) ++aligned;
        const CProgressSchedule progress(sink, 0.0, 0.5, sh);
        for (int32_t y = 0; y < sh; ++y) {
            ResampleRow(source.GetLine(y), sw, work.data() + workRow * static_cast<size_t>(y), weights, aligned);
            progress.Step(y);
        }
        progress.Report(0.5);
    }

    // Vertical pass, in strips of columns so that progress can follow the columns.
    const CResizeWeights weights(newHeight, sh, kernel);
    const CProgressSchedule progress(sink, 0.5, 0.5, newWidth);
    std::vector<const uint8_t*> rows = MakeBuffer<const uint8_t*>(static_cast<size_t>(weights.WindowSize()));
    constexpr int32_t strip = 256;
    for (int32_t x0 = 0; x0 < newWidth; x0 += strip) {
        const int32_t x1 = std::min(newWidth, x0 + strip);
        for (int32_t ty = 0; ty < newHeight; ++ty) {
            const int32_t first = weights.First(ty), n = weights.Count(ty);
            for (int32_t k = 0; k < n; ++k) rows[static_cast<size_t>(k)] = work.data() + workRow * static_cast<size_t>(first + k);
            ResampleColumns(rows.data(), weights.Weights(ty), n, x0, x1, target.GetLine(ty));
        }
        for (int32_t x = x0; x < x1; ++x) progress.Step(x);
    }
    progress.Finish();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Filters

CResizeFilter::CResizeFilter(int32_t newWidth, int32_t newHeight, double radius, CProgressSink* progress)
    : CImageFilter(progress), m_newWidth(newWidth), m_newHeight(newHeight), m_radius(radius) {}

CResizeFilter::~CResizeFilter() = default;

void CResizeFilter::Resize(const CDibBitmap& source, CDibBitmap& target, const CResizeKernel& kernel) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    if (m_newWidth < 1 || m_newHeight < 1) ThrowBadRequest("The new size must be at least one pixel.");
    if (source.IsEmpty()) ThrowBadRequest("Cannot resize an empty image.");
    CPLBitmapLock sourceLock(source, true, false);
    if (source.GetBitsPerPixel() == 32) {
        Resize32(source, target, m_newWidth, m_newHeight, kernel, GetProgressSink());
        return;
    }
    const CTrueColorSource trueColor(source);
    CHeapBitmap resized;
    Resize32(trueColor.Get(), resized, m_newWidth, m_newHeight, kernel, GetProgressSink());
    target.Create(m_newWidth, m_newHeight, source.GetBitsPerPixel(), source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);
    CopyColorTable(source, target);
    MapToPalette(resized, target);
}

void CBoxResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CBoxKernel kernel(m_radius);
    Resize(source, target, kernel);
}

void CBilinearResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CBilinearKernel kernel;
    Resize(source, target, kernel);
}

void CGaussianResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CGaussianKernel kernel(m_radius);
    Resize(source, target, kernel);
}

void CHammingResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CHammingKernel kernel(m_radius);
    Resize(source, target, kernel);
}
