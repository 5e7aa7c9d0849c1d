// The resize loops for processors with AVX2: one register holds the four channels of a pixel
// as doubles. This file alone is built with AVX2 code; nothing here is called before the
// processor has been asked whether it runs it, and the file shares no inline functions with the
// rest of the program (the helpers sit in an unnamed namespace), so no AVX2 code can reach a
// common path (nor templates from the standard library, which would be emitted here too).
// The products and sums are the same, in the same order, as in the SSE2 loops.

#include "ResizeKernels.h"

#if defined(LUMATRE_AVX2_KERNELS)

#include <immintrin.h>

#include <cstring>

namespace ResizeDetail {

namespace {

inline __m128i PixelInts(__m256d v) {
    const __m256d half = _mm256_set1_pd(0.5), top = _mm256_set1_pd(255.0), zero = _mm256_setzero_pd();
    return _mm256_cvttpd_epi32(_mm256_max_pd(_mm256_min_pd(_mm256_add_pd(v, half), top), zero));
}

inline uint32_t OnePixel(__m256d v) {
    __m128i i = PixelInts(v);
    i = _mm_packs_epi32(i, i);
    i = _mm_packus_epi16(i, i);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(i));
}

inline void StoreFourPixels(uint8_t* dst, __m256d a, __m256d b, __m256d c, __m256d d) {
    const __m128i ab = _mm_packs_epi32(PixelInts(a), PixelInts(b));
    const __m128i cd = _mm_packs_epi32(PixelInts(c), PixelInts(d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(ab, cd));
}

inline void StorePixelBytes(uint8_t* dst, uint32_t v) { std::memcpy(dst, &v, 4); }

inline __m256d PixelDoubles(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(v)));
}

}  // namespace

void ResampleRowAvx2(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& table, double* scratch) {
    const int32_t taps = table.taps, tw = table.targets;
    const uintptr_t misalign = reinterpret_cast<uintptr_t>(scratch) % 32;
    __m256d* row = reinterpret_cast<__m256d*>(scratch + (misalign ? (32 - misalign) / 8 : 0));
    for (int32_t x = 0; x < srcWidth; ++x) _mm256_store_pd(reinterpret_cast<double*>(row + x), PixelDoubles(src + 4 * static_cast<size_t>(x)));
    // Padding pixels for the taps that reach past the row (all with weight zero).
    for (int32_t x = srcWidth; x < srcWidth + taps; ++x) _mm256_store_pd(reinterpret_cast<double*>(row + x), _mm256_setzero_pd());
    const int32_t* first = table.first;
    const double* weights = table.weights;
    const size_t stride = static_cast<size_t>(taps);
    int32_t i = 0;
    for (; i + 4 <= tw; i += 4) {
        const double* pa = reinterpret_cast<const double*>(row + first[i]);
        const double* pb = reinterpret_cast<const double*>(row + first[i + 1]);
        const double* pc = reinterpret_cast<const double*>(row + first[i + 2]);
        const double* pd = reinterpret_cast<const double*>(row + first[i + 3]);
        const double* wa = weights + static_cast<size_t>(i) * stride;
        __m256d a = _mm256_setzero_pd(), b = _mm256_setzero_pd(), c = _mm256_setzero_pd(), d = _mm256_setzero_pd();
        for (int32_t k = 0; k < taps; ++k) {
            a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(wa + k), _mm256_load_pd(pa + 4 * k)));
            b = _mm256_add_pd(b, _mm256_mul_pd(_mm256_broadcast_sd(wa + stride + k), _mm256_load_pd(pb + 4 * k)));
            c = _mm256_add_pd(c, _mm256_mul_pd(_mm256_broadcast_sd(wa + 2 * stride + k), _mm256_load_pd(pc + 4 * k)));
            d = _mm256_add_pd(d, _mm256_mul_pd(_mm256_broadcast_sd(wa + 3 * stride + k), _mm256_load_pd(pd + 4 * k)));
        }
        StoreFourPixels(dst + 4 * static_cast<size_t>(i), a, b, c, d);
    }
    for (; i < tw; ++i) {
        const double* p = reinterpret_cast<const double*>(row + first[i]);
        const double* w = weights + static_cast<size_t>(i) * stride;
        __m256d a = _mm256_setzero_pd();
        for (int32_t k = 0; k < taps; ++k) a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(w + k), _mm256_load_pd(p + 4 * k)));
        StorePixelBytes(dst + 4 * static_cast<size_t>(i), OnePixel(a));
    }
    _mm256_zeroupper();
}

void ResampleColumnsAvx2(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst) {
    int32_t x = x0;
    for (; x + 4 <= x1; x += 4) {
        const size_t at = 4 * static_cast<size_t>(x);
        __m256d a = _mm256_setzero_pd(), b = _mm256_setzero_pd(), c = _mm256_setzero_pd(), d = _mm256_setzero_pd();
        for (int32_t k = 0; k < n; ++k) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + at));
            const __m256i lo = _mm256_cvtepu8_epi32(bytes);
            const __m256i hi = _mm256_cvtepu8_epi32(_mm_unpackhi_epi64(bytes, bytes));
            const __m256d wk = _mm256_broadcast_sd(w + k);
            a = _mm256_add_pd(a, _mm256_mul_pd(wk, _mm256_cvtepi32_pd(_mm256_castsi256_si128(lo))));
            b = _mm256_add_pd(b, _mm256_mul_pd(wk, _mm256_cvtepi32_pd(_mm256_extracti128_si256(lo, 1))));
            c = _mm256_add_pd(c, _mm256_mul_pd(wk, _mm256_cvtepi32_pd(_mm256_castsi256_si128(hi))));
            d = _mm256_add_pd(d, _mm256_mul_pd(wk, _mm256_cvtepi32_pd(_mm256_extracti128_si256(hi, 1))));
        }
        StoreFourPixels(dst + at, a, b, c, d);
    }
    for (; x < x1; ++x) {
        const size_t at = 4 * static_cast<size_t>(x);
        __m256d a = _mm256_setzero_pd();
        for (int32_t k = 0; k < n; ++k) a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(w + k), PixelDoubles(rows[k] + at)));
        StorePixelBytes(dst + at, OnePixel(a));
    }
    _mm256_zeroupper();
}

void ResampleStripAvx2(const uint8_t* work, size_t workRowBytes, int32_t workRows, const TapView& table, int32_t x0,
                       int32_t x1, uint8_t* const* targetRows, const StripScratch& scratch) {
    const int32_t taps = table.taps, width = x1 - x0;
    const size_t slotDoubles = 4 * static_cast<size_t>(width);
    const uintptr_t misalign = reinterpret_cast<uintptr_t>(scratch.ring) % 32;
    double* ring = scratch.ring + (misalign ? (32 - misalign) / 8 : 0);
    for (int32_t k = 0; k < taps; ++k) scratch.owner[k] = -1;
    for (int32_t ty = 0; ty < table.targets; ++ty) {
        const int32_t first = table.first[ty];
        // Past the last work row every weight is one of the padding zeros.
        const int32_t n = workRows - first < taps ? workRows - first : taps;
        for (int32_t k = 0; k < n; ++k) {
            const int32_t row = first + k, slot = row % taps;
            double* doubles = ring + static_cast<size_t>(slot) * slotDoubles;
            if (scratch.owner[slot] != row) {
                const uint8_t* bytes = work + workRowBytes * static_cast<size_t>(row) + 4 * static_cast<size_t>(x0);
                for (int32_t x = 0; x < width; ++x) _mm256_store_pd(doubles + 4 * x, PixelDoubles(bytes + 4 * static_cast<size_t>(x)));
                scratch.owner[slot] = row;
            }
            scratch.rows[k] = doubles;
        }
        const double* w = table.weights + static_cast<size_t>(ty) * static_cast<size_t>(taps);
        uint8_t* dst = targetRows[ty] + 4 * static_cast<size_t>(x0);
        int32_t x = 0;
        for (; x + 4 <= width; x += 4) {
            __m256d a = _mm256_setzero_pd(), b = _mm256_setzero_pd(), c = _mm256_setzero_pd(), d = _mm256_setzero_pd();
            for (int32_t k = 0; k < n; ++k) {
                const double* p = scratch.rows[k] + 4 * x;
                const __m256d wk = _mm256_broadcast_sd(w + k);
                a = _mm256_add_pd(a, _mm256_mul_pd(wk, _mm256_load_pd(p)));
                b = _mm256_add_pd(b, _mm256_mul_pd(wk, _mm256_load_pd(p + 4)));
                c = _mm256_add_pd(c, _mm256_mul_pd(wk, _mm256_load_pd(p + 8)));
                d = _mm256_add_pd(d, _mm256_mul_pd(wk, _mm256_load_pd(p + 12)));
            }
            StoreFourPixels(dst + 4 * static_cast<size_t>(x), a, b, c, d);
        }
        for (; x < width; ++x) {
            __m256d a = _mm256_setzero_pd();
            for (int32_t k = 0; k < n; ++k)
                a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(w + k), _mm256_load_pd(scratch.rows[k] + 4 * x)));
            StorePixelBytes(dst + 4 * static_cast<size_t>(x), OnePixel(a));
        }
    }
    _mm256_zeroupper();
}

}  // namespace ResizeDetail

#endif
