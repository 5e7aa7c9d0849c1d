#include "FlipFilters.h"

#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

void MirrorRow(const uint8_t* src, uint8_t* dst, int32_t w) {
    if (src == dst) {
        int32_t x = 0, z = w - 1;
#if defined(__SSE2__)
        // Four pixels from each end trade places, reversed, while the two groups do not meet.
        for (; z - x + 1 >= 8; x += 4, z -= 4) {
            __m128i* a = reinterpret_cast<__m128i*>(dst + 4 * static_cast<size_t>(x));
            __m128i* b = reinterpret_cast<__m128i*>(dst + 4 * static_cast<size_t>(z - 3));
            const __m128i va = _mm_shuffle_epi32(_mm_loadu_si128(a), 0x1B);
            const __m128i vb = _mm_shuffle_epi32(_mm_loadu_si128(b), 0x1B);
            _mm_storeu_si128(a, vb);
            _mm_storeu_si128(b, va);
        }
#endif
        for (; x < z; ++x, --z) {
            const PLPixel32 a = LoadPixel(dst + 4 * x);
            StorePixel(dst + 4 * x, LoadPixel(dst + 4 * z));
            StorePixel(dst + 4 * z, a);
        }
        return;
    }
    const uint8_t* s = src + 4 * static_cast<size_t>(w);
    for (int32_t x = 0; x < w; ++x) {
        s -= 4;
        StorePixel(dst + 4 * x, LoadPixel(s));
    }
}

// Trades the contents of two rows of bytes, in one pass over each.
void SwapRows(uint8_t* a, uint8_t* b, size_t bytes) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= bytes; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), vb);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), va);
    }
#endif
    for (; i < bytes; ++i) std::swap(a[i], b[i]);
}

// Row y of to becomes row y of from mirrored; from and to may be the same bitmap.
void MirrorLine(const CDibBitmap& from, CDibBitmap& to, int32_t y) {
    MirrorRow(from.GetLine(y), to.GetLine(y), from.GetWidth());
}

}  // namespace

CFlipHorizontalFilter::CFlipHorizontalFilter(CProgressSink* progress) : CImageFilter(progress) {}

CFlipHorizontalFilter::~CFlipHorizontalFilter() = default;

void CFlipHorizontalFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    FillRows32(source, target, GetProgressSink(), 0.04, 0.96, MirrorLine);
}

void CFlipHorizontalFilter::ApplyInPlace(CDibBitmap& bitmap) {
    if (bitmap.GetBitsPerPixel() != 32) {
        CImageFilter::ApplyInPlace(bitmap);
        return;
    }
    RewriteRows32(bitmap, GetProgressSink(), 0.04, 0.96, MirrorLine);
}

CFlipVerticalFilter::CFlipVerticalFilter(CProgressSink* progress) : CImageFilter(progress) {}

CFlipVerticalFilter::~CFlipVerticalFilter() = default;

void CFlipVerticalFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    FillRows32(source, target, GetProgressSink(), 0.05, 0.95, [](const CDibBitmap& src, CDibBitmap& dst, int32_t y) {
        std::memcpy(dst.GetLine(dst.GetHeight() - 1 - y), src.GetLine(y), 4 * static_cast<size_t>(src.GetWidth()));
    });
}

void CFlipVerticalFilter::ApplyInPlace(CDibBitmap& bitmap) {
    if (bitmap.GetBitsPerPixel() != 32) {
        CImageFilter::ApplyInPlace(bitmap);
        return;
    }
    CPLBitmapLock lock(bitmap, true, true);
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const CProgressSchedule progress(GetProgressSink(), 0.05, 0.95, h);
    progress.Start();
    bitmap.SetHasAlpha(false);
    const size_t bytes = 4 * static_cast<size_t>(w);
    // Row y and row h - 1 - y trade places; progress follows the rows of the top half and
    // then those of the bottom half, which the swaps have already finished.
    for (int32_t y = 0; y < h / 2; ++y) {
        SwapRows(bitmap.GetLine(y), bitmap.GetLine(h - 1 - y), bytes);
        progress.Step(y);
    }
    for (int32_t y = h / 2; y < h; ++y) progress.Step(y);
    progress.Finish();
}
