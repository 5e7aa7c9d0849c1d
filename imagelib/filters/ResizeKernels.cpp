#include "ResizeKernels.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterSupport.h"
#include "ResizeFilter.h"

using namespace FilterDetail;

namespace ResizeDetail {

CTapTable::CTapTable(const CResizeWeights& weights) : m_targets(weights.TargetSize()), m_taps(weights.WindowSize()) {
    const size_t n = static_cast<size_t>(m_targets), taps = static_cast<size_t>(m_taps);
    m_first = MakeBuffer<int32_t>(n);
    m_weights = MakeBuffer<double>(CheckedMul(n, taps), 0.0);
    for (int32_t i = 0; i < m_targets; ++i) {
        m_first[static_cast<size_t>(i)] = weights.First(i);
        // The table's own entries past the count may hold leftovers; only the count is copied.
        std::memcpy(m_weights.data() + static_cast<size_t>(i) * taps, weights.Weights(i), sizeof(double) * static_cast<size_t>(weights.Count(i)));
    }
}

size_t RowScratchDoubles(int32_t srcWidth, int32_t taps) {
    return CheckedMul(static_cast<size_t>(srcWidth) + static_cast<size_t>(taps), 4) + 4;
}

size_t RingDoubles(int32_t taps, int32_t width) {
    return CheckedMul(CheckedMul(static_cast<size_t>(taps), static_cast<size_t>(width)), 4) + 4;
}

// ---------------------------------------------------------------------------------------------
// Plain C++

void ResampleRowPlain(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& table, double*) {
    const int32_t taps = table.taps;
    for (int32_t i = 0; i < table.targets; ++i) {
        const int32_t first = table.first[i];
        const double* w = table.weights + static_cast<size_t>(i) * static_cast<size_t>(taps);
        // Past the row's end every weight is one of the padding zeros.
        const int32_t n = std::min(taps, srcWidth - first);
        const uint8_t* p = src + 4 * static_cast<size_t>(first);
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        for (int32_t k = 0; k < n; ++k)
            for (int c = 0; c < 4; ++c) sum[c] += w[k] * p[4 * k + c];
        for (int c = 0; c < 4; ++c) dst[4 * static_cast<size_t>(i) + c] = ClampToByte(sum[c] + 0.5);
    }
}

void ResampleColumnsPlain(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst) {
    for (int32_t x = x0; x < x1; ++x) {
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t* p = rows[k] + 4 * static_cast<size_t>(x);
            for (int c = 0; c < 4; ++c) sum[c] += w[k] * p[c];
        }
        for (int c = 0; c < 4; ++c) dst[4 * static_cast<size_t>(x) + c] = ClampToByte(sum[c] + 0.5);
    }
}

// ---------------------------------------------------------------------------------------------
// SSE2: a pixel is two registers of two channels each.

#if defined(__SSE2__)
namespace {

inline __m128d Rounded(__m128d v) {
    const __m128d half = _mm_set1_pd(0.5), top = _mm_set1_pd(255.0), zero = _mm_setzero_pd();
    return _mm_max_pd(_mm_min_pd(_mm_add_pd(v, half), top), zero);
}

// The four channels of a pixel (lo: blue and green, hi: red and alpha) as four 32-bit ints.
inline __m128i PixelInts(__m128d lo, __m128d hi) {
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(Rounded(lo)), _mm_cvttpd_epi32(Rounded(hi)));
}

inline uint32_t OnePixel(__m128d lo, __m128d hi) {
    __m128i v = PixelInts(lo, hi);
    v = _mm_packs_epi32(v, v);
    v = _mm_packus_epi16(v, v);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

inline void StoreTwoPixels(uint8_t* dst, __m128d a0, __m128d a1, __m128d b0, __m128d b1) {
    __m128i v = _mm_packs_epi32(PixelInts(a0, a1), PixelInts(b0, b1));
    v = _mm_packus_epi16(v, v);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), v);
}

}  // namespace

void ResampleRowSse2(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& table, double* scratch) {
    const int32_t taps = table.taps, tw = table.targets;
    __m128d* row = reinterpret_cast<__m128d*>(scratch + (reinterpret_cast<uintptr_t>(scratch) % 16 != 0 ? 1 : 0));
    const __m128i zero = _mm_setzero_si128();
    for (int32_t x = 0; x < srcWidth; ++x) {
        __m128i v = _mm_cvtsi32_si128(static_cast<int>(LoadPixel(src + 4 * static_cast<size_t>(x))));
        v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
        row[2 * x] = _mm_cvtepi32_pd(v);
        row[2 * x + 1] = _mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE));
    }
    // Padding pixels for the taps that reach past the row (all with weight zero).
    for (int32_t x = srcWidth; x < srcWidth + taps; ++x) row[2 * x] = row[2 * x + 1] = _mm_setzero_pd();
    const int32_t* first = table.first;
    const double* weights = table.weights;
    int32_t i = 0;
    for (; i + 2 <= tw; i += 2) {
        const __m128d* pa = row + 2 * static_cast<size_t>(first[i]);
        const __m128d* pb = row + 2 * static_cast<size_t>(first[i + 1]);
        const double* wa = weights + static_cast<size_t>(i) * static_cast<size_t>(taps);
        const double* wb = wa + taps;
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd(), b0 = _mm_setzero_pd(), b1 = _mm_setzero_pd();
        for (int32_t k = 0; k < taps; ++k) {
            const __m128d ka = _mm_load1_pd(wa + k), kb = _mm_load1_pd(wb + k);
            a0 = _mm_add_pd(a0, _mm_mul_pd(ka, pa[2 * k]));
            a1 = _mm_add_pd(a1, _mm_mul_pd(ka, pa[2 * k + 1]));
            b0 = _mm_add_pd(b0, _mm_mul_pd(kb, pb[2 * k]));
            b1 = _mm_add_pd(b1, _mm_mul_pd(kb, pb[2 * k + 1]));
        }
        StoreTwoPixels(dst + 4 * static_cast<size_t>(i), a0, a1, b0, b1);
    }
    for (; i < tw; ++i) {
        const __m128d* p = row + 2 * static_cast<size_t>(first[i]);
        const double* w = weights + static_cast<size_t>(i) * static_cast<size_t>(taps);
        __m128d lo = _mm_setzero_pd(), hi = _mm_setzero_pd();
        for (int32_t k = 0; k < taps; ++k) {
            const __m128d wk = _mm_load1_pd(w + k);
            lo = _mm_add_pd(lo, _mm_mul_pd(wk, p[2 * k]));
            hi = _mm_add_pd(hi, _mm_mul_pd(wk, p[2 * k + 1]));
        }
        StorePixel(dst + 4 * static_cast<size_t>(i), OnePixel(lo, hi));
    }
}

void ResampleColumnsSse2(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst) {
    const __m128i zero = _mm_setzero_si128();
    int32_t x = x0;
    for (; x + 2 <= x1; x += 2) {
        const size_t at = 4 * static_cast<size_t>(x);
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd(), b0 = _mm_setzero_pd(), b1 = _mm_setzero_pd();
        for (int32_t k = 0; k < n; ++k) {
            const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows[k] + at)), zero);
            const __m128i pa = _mm_unpacklo_epi16(v, zero), pb = _mm_unpackhi_epi16(v, zero);
            const __m128d wk = _mm_load1_pd(w + k);
            a0 = _mm_add_pd(a0, _mm_mul_pd(wk, _mm_cvtepi32_pd(pa)));
            a1 = _mm_add_pd(a1, _mm_mul_pd(wk, _mm_cvtepi32_pd(_mm_shuffle_epi32(pa, 0xEE))));
            b0 = _mm_add_pd(b0, _mm_mul_pd(wk, _mm_cvtepi32_pd(pb)));
            b1 = _mm_add_pd(b1, _mm_mul_pd(wk, _mm_cvtepi32_pd(_mm_shuffle_epi32(pb, 0xEE))));
        }
        StoreTwoPixels(dst + at, a0, a1, b0, b1);
    }
    for (; x < x1; ++x) {
        const size_t at = 4 * static_cast<size_t>(x);
        __m128d lo = _mm_setzero_pd(), hi = _mm_setzero_pd();
        for (int32_t k = 0; k < n; ++k) {
            __m128i v = _mm_cvtsi32_si128(static_cast<int>(LoadPixel(rows[k] + at)));
            v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
            const __m128d wk = _mm_load1_pd(w + k);
            lo = _mm_add_pd(lo, _mm_mul_pd(wk, _mm_cvtepi32_pd(v)));
            hi = _mm_add_pd(hi, _mm_mul_pd(wk, _mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE))));
        }
        StorePixel(dst + at, OnePixel(lo, hi));
    }
}
#endif

// ---------------------------------------------------------------------------------------------
// Choosing a set

namespace {

bool ProcessorHasAvx2() {
#if defined(LUMATRE_AVX2_KERNELS)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

std::atomic<int> g_chosen{-1};

}  // namespace

bool CanRun(KernelSet set) {
    switch (set) {
    case KernelSet::Plain: return true;
#if defined(__SSE2__)
    case KernelSet::Sse2: return true;
#endif
    case KernelSet::Avx2: {
        static const bool has = ProcessorHasAvx2();
        return has;
    }
    default: return false;
    }
}

KernelSet BestKernelSet() {
    if (CanRun(KernelSet::Avx2)) return KernelSet::Avx2;
    if (CanRun(KernelSet::Sse2)) return KernelSet::Sse2;
    return KernelSet::Plain;
}

void UseKernelSet(KernelSet set) {
    if (CanRun(set)) g_chosen.store(static_cast<int>(set));
}

KernelSet CurrentKernelSet() {
    const int chosen = g_chosen.load();
    return chosen < 0 ? BestKernelSet() : static_cast<KernelSet>(chosen);
}

RowKernel RowKernelOf(KernelSet set) {
    switch (set) {
#if defined(LUMATRE_AVX2_KERNELS)
    case KernelSet::Avx2: return ResampleRowAvx2;
#endif
#if defined(__SSE2__)
    case KernelSet::Sse2: return ResampleRowSse2;
#endif
    default: return ResampleRowPlain;
    }
}

ColumnKernel ColumnKernelOf(KernelSet set) {
    switch (set) {
#if defined(LUMATRE_AVX2_KERNELS)
    case KernelSet::Avx2: return ResampleColumnsAvx2;
#endif
#if defined(__SSE2__)
    case KernelSet::Sse2: return ResampleColumnsSse2;
#endif
    default: return ResampleColumnsPlain;
    }
}

}  // namespace ResizeDetail
