#include "PixelRows.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define LUMATRE_SHUFFLED_ROWS 1
#endif

namespace {

// ---- The plain loops ----

void Pack32ToBGRPlain(const uint8_t* src, uint8_t* dst, int64_t width) {
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 16, dst += 12) {
        uint32_t p0, p1, p2, p3;
        std::memcpy(&p0, src, 4);
        std::memcpy(&p1, src + 4, 4);
        std::memcpy(&p2, src + 8, 4);
        std::memcpy(&p3, src + 12, 4);
        const uint32_t w0 = (p0 & 0x00FFFFFFu) | (p1 << 24);
        const uint32_t w1 = ((p1 >> 8) & 0x0000FFFFu) | (p2 << 16);
        const uint32_t w2 = ((p2 >> 16) & 0x000000FFu) | (p3 << 8);
        std::memcpy(dst, &w0, 4);
        std::memcpy(dst + 4, &w1, 4);
        std::memcpy(dst + 8, &w2, 4);
    }
    for (; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

void Pack32ToRGBPlain(const uint8_t* src, uint8_t* dst, int64_t width) {
    // A byte swap turns blue, green, red, alpha into alpha, red, green, blue; shifted down by a
    // byte the word holds red, green, blue in memory order.
    auto rgb = [](const uint8_t* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return __builtin_bswap32(v) >> 8;
    };
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 16, dst += 12) {
        const uint32_t p0 = rgb(src), p1 = rgb(src + 4), p2 = rgb(src + 8), p3 = rgb(src + 12);
        const uint32_t w0 = p0 | (p1 << 24);
        const uint32_t w1 = (p1 >> 8) | (p2 << 16);
        const uint32_t w2 = (p2 >> 16) | (p3 << 8);
        std::memcpy(dst, &w0, 4);
        std::memcpy(dst + 4, &w1, 4);
        std::memcpy(dst + 8, &w2, 4);
    }
    for (; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

void ExpandBGRTo32Plain(const uint8_t* src, uint8_t* dst, int64_t width) {
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
        uint32_t w0, w1, w2;
        std::memcpy(&w0, src, 4);
        std::memcpy(&w1, src + 4, 4);
        std::memcpy(&w2, src + 8, 4);
        const uint32_t p0 = w0 | 0xFF000000u;
        const uint32_t p1 = (w0 >> 24) | (w1 << 8) | 0xFF000000u;
        const uint32_t p2 = (w1 >> 16) | (w2 << 16) | 0xFF000000u;
        const uint32_t p3 = (w2 >> 8) | 0xFF000000u;
        std::memcpy(dst, &p0, 4);
        std::memcpy(dst + 4, &p1, 4);
        std::memcpy(dst + 8, &p2, 4);
        std::memcpy(dst + 12, &p3, 4);
    }
    for (; x < width; ++x, src += 3, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 255;
    }
}

// A byte swap of a triple shifted up by a byte reverses its order.
void ExpandRGBTo32Plain(const uint8_t* src, uint8_t* dst, int64_t width) {
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
        uint32_t w0, w1, w2;
        std::memcpy(&w0, src, 4);
        std::memcpy(&w1, src + 4, 4);
        std::memcpy(&w2, src + 8, 4);
        const uint32_t p0 = __builtin_bswap32(w0 << 8) | 0xFF000000u;
        const uint32_t p1 = __builtin_bswap32(((w0 >> 24) | (w1 << 8)) << 8) | 0xFF000000u;
        const uint32_t p2 = __builtin_bswap32(((w1 >> 16) | (w2 << 16)) << 8) | 0xFF000000u;
        const uint32_t p3 = __builtin_bswap32(w2) | 0xFF000000u;
        std::memcpy(dst, &p0, 4);
        std::memcpy(dst + 4, &p1, 4);
        std::memcpy(dst + 8, &p2, 4);
        std::memcpy(dst + 12, &p3, 4);
    }
    for (; x < width; ++x, src += 3, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = 255;
    }
}

#if defined(LUMATRE_SHUFFLED_ROWS)

// ---- Sixteen pixels at a time with byte shuffles ----

// Packs: each 32-bit vector of four pixels shuffled to its 12 bytes at the bottom (the 0x80
// lanes become zero), then the four joined into three vectors.
__attribute__((target("ssse3"))) void Pack32Shuffled(const uint8_t* src, uint8_t* dst, int64_t width, __m128i order,
                                                     bool redFirst) {
    int64_t x = 0;
    for (; x + 16 <= width; x += 16, src += 64, dst += 48) {
        const __m128i s0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)), order);
        const __m128i s1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16)), order);
        const __m128i s2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32)), order);
        const __m128i s3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 48)), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(s0, _mm_slli_si128(s1, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), _mm_or_si128(_mm_srli_si128(s1, 4), _mm_slli_si128(s2, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32), _mm_or_si128(_mm_srli_si128(s2, 8), _mm_slli_si128(s3, 4)));
    }
    if (x < width) (redFirst ? Pack32ToRGBPlain : Pack32ToBGRPlain)(src, dst, width - x);
}

// Expands: the 48 bytes of sixteen pixels as three vectors, realigned into four of 12 bytes
// each, shuffled into place with alpha 255 added.
__attribute__((target("ssse3"))) void ExpandShuffled(const uint8_t* src, uint8_t* dst, int64_t width, __m128i order,
                                                     bool redFirst) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int64_t x = 0;
    for (; x + 16 <= width; x += 16, src += 48, dst += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i v0 = a;
        const __m128i v1 = _mm_alignr_epi8(b, a, 12);
        const __m128i v2 = _mm_alignr_epi8(c, b, 8);
        const __m128i v3 = _mm_srli_si128(c, 4);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_or_si128(_mm_shuffle_epi8(v0, order), alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), _mm_or_si128(_mm_shuffle_epi8(v1, order), alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32), _mm_or_si128(_mm_shuffle_epi8(v2, order), alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 48), _mm_or_si128(_mm_shuffle_epi8(v3, order), alpha));
    }
    if (x < width) (redFirst ? ExpandRGBTo32Plain : ExpandBGRTo32Plain)(src, dst, width - x);
}

// Byte orders for _mm_shuffle_epi8 (lane i takes source byte order[i]; 0x80 gives zero).
__attribute__((target("ssse3"))) __m128i Order(const int8_t (&lanes)[16]) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
}

constexpr int8_t kZ = static_cast<int8_t>(0x80);
constexpr int8_t kPackBGR[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, kZ, kZ, kZ, kZ};
constexpr int8_t kPackRGB[16] = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, kZ, kZ, kZ, kZ};
constexpr int8_t kExpandBGR[16] = {0, 1, 2, kZ, 3, 4, 5, kZ, 6, 7, 8, kZ, 9, 10, 11, kZ};
constexpr int8_t kExpandRGB[16] = {2, 1, 0, kZ, 5, 4, 3, kZ, 8, 7, 6, kZ, 11, 10, 9, kZ};

__attribute__((target("ssse3"))) void Pack32ToBGRShuffled(const uint8_t* src, uint8_t* dst, int64_t width) {
    Pack32Shuffled(src, dst, width, Order(kPackBGR), false);
}
__attribute__((target("ssse3"))) void Pack32ToRGBShuffled(const uint8_t* src, uint8_t* dst, int64_t width) {
    Pack32Shuffled(src, dst, width, Order(kPackRGB), true);
}
__attribute__((target("ssse3"))) void ExpandBGRTo32Shuffled(const uint8_t* src, uint8_t* dst, int64_t width) {
    ExpandShuffled(src, dst, width, Order(kExpandBGR), false);
}
__attribute__((target("ssse3"))) void ExpandRGBTo32Shuffled(const uint8_t* src, uint8_t* dst, int64_t width) {
    ExpandShuffled(src, dst, width, Order(kExpandRGB), true);
}

bool ProcessorHasSsse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

#else

bool ProcessorHasSsse3() { return false; }

#endif

// -1 until the first call has chosen; then 0 (plain) or 1 (shuffled).
std::atomic<int> g_shuffled{-1};

bool Shuffled() {
    int chosen = g_shuffled.load(std::memory_order_relaxed);
    if (chosen < 0) {
        chosen = ProcessorHasSsse3() ? 1 : 0;
        g_shuffled.store(chosen, std::memory_order_relaxed);
    }
    return chosen == 1;
}

}  // namespace

bool PLUseShuffledRows(bool wanted) {
    g_shuffled.store(wanted && ProcessorHasSsse3() ? 1 : 0);
    return g_shuffled.load() == 1;
}

#if defined(LUMATRE_SHUFFLED_ROWS)
#define LUMATRE_ROW_CHOICE(plain, shuffled) (Shuffled() ? shuffled : plain)
#else
#define LUMATRE_ROW_CHOICE(plain, shuffled) (plain)
#endif

void PLPack32ToBGR(const uint8_t* src, uint8_t* dst, int64_t width) {
    LUMATRE_ROW_CHOICE(Pack32ToBGRPlain, Pack32ToBGRShuffled)(src, dst, width);
}

void PLPack32ToRGB(const uint8_t* src, uint8_t* dst, int64_t width) {
    LUMATRE_ROW_CHOICE(Pack32ToRGBPlain, Pack32ToRGBShuffled)(src, dst, width);
}

void PLExpandBGRTo32(const uint8_t* src, uint8_t* dst, int64_t width) {
    LUMATRE_ROW_CHOICE(ExpandBGRTo32Plain, ExpandBGRTo32Shuffled)(src, dst, width);
}

void PLExpandRGBTo32(const uint8_t* src, uint8_t* dst, int64_t width) {
    LUMATRE_ROW_CHOICE(ExpandRGBTo32Plain, ExpandRGBTo32Shuffled)(src, dst, width);
}
