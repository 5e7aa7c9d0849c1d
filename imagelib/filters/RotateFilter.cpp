#include "RotateFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

struct RotateGeometry {
    double c = 1.0;
    double s = 0.0;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    int32_t Width() const { return maxX - minX + 1; }
    int32_t Height() const { return maxY - minY + 1; }
};

RotateGeometry ComputeGeometry(double angle, int32_t width, int32_t height) {
    if (!std::isfinite(angle)) ThrowBadRequest("The rotation angle is not a number.");
    if (width < 1 || height < 1) ThrowBadRequest("Cannot rotate an empty image.");
    RotateGeometry g;
    const double theta = -angle;
    g.c = std::cos(theta);
    g.s = std::sin(theta);
    const double xs[4] = {0.0, static_cast<double>(width - 1), 0.0, static_cast<double>(width - 1)};
    const double ys[4] = {0.0, 0.0, static_cast<double>(height - 1), static_cast<double>(height - 1)};
    for (int i = 0; i < 4; ++i) {
        int32_t x = RoundHalfUp(g.c * xs[i] - g.s * ys[i]);
        int32_t y = RoundHalfUp(g.s * xs[i] + g.c * ys[i]);
        g.minX = std::min(g.minX, x);
        g.maxX = std::max(g.maxX, x);
        g.minY = std::min(g.minY, y);
        g.maxY = std::max(g.maxY, y);
    }
    return g;
}

// An exact quarter turn (or none): source column = a x' + b y', source row = d x' + e y'.
struct IntegerMap {
    int32_t a, b, d, e;
};

// A turn whose rounded source coordinates are whole-number functions of the target ones.
// With s exactly +-1 and |c x'| below a quarter for every target coordinate, c x' + s y'
// rounds to s y' (and likewise for the row); the same with the roles of c and s swapped.
bool FindIntegerMap(const RotateGeometry& g, IntegerMap& map) {
    const double m = std::max({std::abs(g.minX), std::abs(g.maxX), std::abs(g.minY), std::abs(g.maxY)}) + 1.0;
    if (std::abs(g.s) == 1.0 && std::abs(g.c) * m < 0.2) {
        const int32_t s = g.s > 0 ? 1 : -1;
        map = IntegerMap{0, s, -s, 0};
        return true;
    }
    if (std::abs(g.c) == 1.0 && std::abs(g.s) * m < 0.2) {
        const int32_t c = g.c > 0 ? 1 : -1;
        map = IntegerMap{c, 0, 0, c};
        return true;
    }
    return false;
}

template <class Pixel>
inline Pixel ReadPixel(const uint8_t* row, int32_t x) {
    Pixel p;
    std::memcpy(&p, row + sizeof(Pixel) * static_cast<size_t>(x), sizeof(Pixel));
    return p;
}

template <class Pixel>
inline void WritePixel(uint8_t* row, int32_t x, Pixel p) {
    std::memcpy(row + sizeof(Pixel) * static_cast<size_t>(x), &p, sizeof(Pixel));
}

// Round(base[i] + add) into out[i] for i < n (or Round(add - base[i]) when subtract is set),
// with exactly the double operations of RoundHalfUp, two at a time where SSE2 is there.
void RoundedCoordinates(const double* base, double add, bool subtract, int32_t n, int32_t* out) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128d a = _mm_set1_pd(add), half = _mm_set1_pd(0.5);
    for (; i + 2 <= n; i += 2) {
        const __m128d b = _mm_loadu_pd(base + i);
        const __m128d v = _mm_add_pd(subtract ? _mm_sub_pd(a, b) : _mm_add_pd(b, a), half);
        const __m128i t = _mm_cvttpd_epi32(v);
        // Truncation went up for negative values with a fraction: one less there.
        const __m128i below = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmplt_pd(v, _mm_cvtepi32_pd(t))), 0x08);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_add_epi32(t, below));
    }
#endif
    for (; i < n; ++i) out[i] = RoundHalfUp(subtract ? add - base[i] : base[i] + add);
}

template <class Pixel>
void RotateGeneral(const CDibBitmap& source, CDibBitmap& target, const RotateGeometry& g, Pixel fill,
                   const CProgressSchedule& progress) {
    const int32_t sw = source.GetWidth(), sh = source.GetHeight();
    const int32_t tw = target.GetWidth(), th = target.GetHeight();
    const uint8_t* const* srcRows = source.GetLineArray();
    std::vector<double> cx = MakeBuffer<double>(static_cast<size_t>(tw));
    std::vector<double> sx = MakeBuffer<double>(static_cast<size_t>(tw));
    for (int32_t tx = 0; tx < tw; ++tx) {
        const double x = static_cast<double>(g.minX + tx);
        cx[tx] = g.c * x;
        sx[tx] = g.s * x;
    }
    std::vector<int32_t> cols = MakeBuffer<int32_t>(static_cast<size_t>(tw));
    std::vector<int32_t> rows = MakeBuffer<int32_t>(static_cast<size_t>(tw));
    // Row by row: tiles of the target (to keep the source pixels they read close together)
    // were measured slower.
    for (int32_t ty = 0; ty < th; ++ty) {
        const double y = static_cast<double>(g.minY + ty);
        // Source column Round(c x + s y), source row Round(c y - s x).
        RoundedCoordinates(cx.data(), g.s * y, false, tw, cols.data());
        RoundedCoordinates(sx.data(), g.c * y, true, tw, rows.data());
        Pixel* dst = reinterpret_cast<Pixel*>(target.GetLine(ty));
        for (int32_t tx = 0; tx < tw; ++tx) {
            const int32_t col = cols[static_cast<size_t>(tx)], row = rows[static_cast<size_t>(tx)];
            if (static_cast<uint32_t>(col) < static_cast<uint32_t>(sw) && static_cast<uint32_t>(row) < static_cast<uint32_t>(sh))
                dst[tx] = reinterpret_cast<const Pixel*>(srcRows[row])[col];
            else
                dst[tx] = fill;
        }
        progress.Step(ty);
    }
}

template <class Pixel>
inline bool Inside(int32_t col, int32_t row, int32_t w, int32_t h) {
    return static_cast<uint32_t>(col) < static_cast<uint32_t>(w) && static_cast<uint32_t>(row) < static_cast<uint32_t>(h);
}

// Target pixels [tx0, tx1) of target row ty under an integer map, with a bounds check per pixel.
template <class Pixel>
void MapSpanChecked(const uint8_t* const* srcRows, int32_t sw, int32_t sh, uint8_t* dst, int32_t tx0, int32_t tx1,
                    int32_t col, int32_t row, const IntegerMap& m, Pixel fill) {
    for (int32_t tx = tx0; tx < tx1; ++tx, col += m.a, row += m.d)
        WritePixel<Pixel>(dst, tx, Inside<Pixel>(col, row, sw, sh) ? ReadPixel<Pixel>(srcRows[row], col) : fill);
}

#if defined(__SSE2__)
// One tile of a quarter turn of 32-bit pixels, four by four pixels at a time (each block is
// four 16-byte loads from four source rows, transposed). False when part of the tile maps
// outside the source; the caller then works pixel by pixel.
template <bool Stream>
inline void Store4(uint32_t* to, __m128i v) {
    if constexpr (Stream)
        _mm_stream_si128(reinterpret_cast<__m128i*>(to), v);
    else
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
}

// Stream: every target row starts on 16 bytes, and the stores bypass the cache.
template <bool Stream>
bool TurnTile32(const uint8_t* const* srcRows, int32_t sw, int32_t sh, CDibBitmap& target, const RotateGeometry& g,
                const IntegerMap& m, int32_t tx0, int32_t tx1, int32_t ty0, int32_t ty1) {
    auto colOf = [&](int32_t ty) { return m.a * g.minX + m.b * (g.minY + ty); };  // a = 0 here
    auto rowOf = [&](int32_t tx, int32_t ty) { return m.d * (g.minX + tx) + m.e * (g.minY + ty); };
    if (!Inside<uint32_t>(colOf(ty0), rowOf(tx0, ty0), sw, sh) || !Inside<uint32_t>(colOf(ty0), rowOf(tx1 - 1, ty0), sw, sh) ||
        !Inside<uint32_t>(colOf(ty1 - 1), rowOf(tx0, ty1 - 1), sw, sh) ||
        !Inside<uint32_t>(colOf(ty1 - 1), rowOf(tx1 - 1, ty1 - 1), sw, sh))
        return false;
    int32_t ty = ty0;
    for (; ty + 4 <= ty1; ty += 4) {
        uint32_t* out[4];
        for (int j = 0; j < 4; ++j) out[j] = reinterpret_cast<uint32_t*>(target.GetLine(ty + j));
        const int32_t c0 = colOf(ty);
        const size_t first = 4 * static_cast<size_t>(m.b > 0 ? c0 : c0 - 3);
        int32_t tx = tx0;
        for (; tx + 4 <= tx1; tx += 4) {
            const int32_t r0 = rowOf(tx, ty);
            __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRows[r0] + first));
            __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRows[r0 + m.d] + first));
            __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRows[r0 + 2 * m.d] + first));
            __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRows[r0 + 3 * m.d] + first));
            if (m.b < 0) {
                v0 = _mm_shuffle_epi32(v0, 0x1B);
                v1 = _mm_shuffle_epi32(v1, 0x1B);
                v2 = _mm_shuffle_epi32(v2, 0x1B);
                v3 = _mm_shuffle_epi32(v3, 0x1B);
            }
            const __m128i t0 = _mm_unpacklo_epi32(v0, v1), t1 = _mm_unpacklo_epi32(v2, v3);
            const __m128i t2 = _mm_unpackhi_epi32(v0, v1), t3 = _mm_unpackhi_epi32(v2, v3);
            Store4<Stream>(out[0] + tx, _mm_unpacklo_epi64(t0, t1));
            Store4<Stream>(out[1] + tx, _mm_unpackhi_epi64(t0, t1));
            Store4<Stream>(out[2] + tx, _mm_unpacklo_epi64(t2, t3));
            Store4<Stream>(out[3] + tx, _mm_unpackhi_epi64(t2, t3));
        }
        for (; tx < tx1; ++tx) {
            const uint32_t* src = reinterpret_cast<const uint32_t*>(srcRows[rowOf(tx, ty)]);
            for (int j = 0; j < 4; ++j) out[j][tx] = src[colOf(ty + j)];
        }
    }
    for (; ty < ty1; ++ty) {
        uint32_t* out = reinterpret_cast<uint32_t*>(target.GetLine(ty));
        const int32_t col = colOf(ty);
        for (int32_t tx = tx0; tx < tx1; ++tx) out[tx] = reinterpret_cast<const uint32_t*>(srcRows[rowOf(tx, ty)])[col];
    }
    return true;
}
#endif

template <class Pixel>
void RotateInteger(const CDibBitmap& source, CDibBitmap& target, const RotateGeometry& g, const IntegerMap& m,
                   Pixel fill, const CProgressSchedule& progress) {
    const int32_t sw = source.GetWidth(), sh = source.GetHeight();
    const int32_t tw = target.GetWidth(), th = target.GetHeight();
    const uint8_t* const* srcRows = source.GetLineArray();
    if (m.d == 0) {
        // No turn or a half turn: each target row is one source row, read forwards or backwards.
        for (int32_t ty = 0; ty < th; ++ty) {
            const int32_t y = g.minY + ty;
            const int32_t row = m.e * y;
            const int32_t col = m.a * g.minX + m.b * y;
            const int32_t lastCol = col + m.a * (tw - 1);
            uint8_t* dst = target.GetLine(ty);
            if (!Inside<Pixel>(col, row, sw, sh) || !Inside<Pixel>(lastCol, row, sw, sh)) {
                MapSpanChecked<Pixel>(srcRows, sw, sh, dst, 0, tw, col, row, m, fill);
            } else if (m.a > 0) {
                std::memcpy(dst, srcRows[row] + sizeof(Pixel) * static_cast<size_t>(col), sizeof(Pixel) * static_cast<size_t>(tw));
            } else {
                const Pixel* src = reinterpret_cast<const Pixel*>(srcRows[row]) + col;
                Pixel* out = reinterpret_cast<Pixel*>(dst);
                for (int32_t tx = 0; tx < tw; ++tx) out[tx] = src[-tx];
            }
            progress.Step(ty);
        }
        return;
    }
    // Quarter turns: each target row is one source column. Tiles keep the source lines that a
    // run of target rows reads in the cache.
    constexpr int32_t tile = 64;
#if defined(__SSE2__)
    // A large result goes straight to memory: it cannot stay in the cache anyway, and writing
    // through the cache would first read every line of it. Tiles start at multiples of 64
    // pixels, so with 16-byte rows every 4-pixel store is aligned.
    const bool stream = sizeof(Pixel) == 4 && static_cast<size_t>(target.GetBytesPerLine()) * static_cast<size_t>(th) >= (size_t{16} << 20) &&
                        target.GetBytesPerLine() % 16 == 0 && reinterpret_cast<uintptr_t>(target.GetLine(0)) % 16 == 0;
#endif
    for (int32_t ty0 = 0; ty0 < th; ty0 += tile) {
        const int32_t ty1 = std::min(th, ty0 + tile);
        for (int32_t tx0 = 0; tx0 < tw; tx0 += tile) {
            const int32_t tx1 = std::min(tw, tx0 + tile);
#if defined(__SSE2__)
            if constexpr (sizeof(Pixel) == 4)
                if (stream ? TurnTile32<true>(srcRows, sw, sh, target, g, m, tx0, tx1, ty0, ty1)
                           : TurnTile32<false>(srcRows, sw, sh, target, g, m, tx0, tx1, ty0, ty1))
                    continue;
#endif
            for (int32_t ty = ty0; ty < ty1; ++ty) {
                const int32_t y = g.minY + ty;
                const int32_t col = m.b * y;  // a = 0
                const int32_t row = m.d * (g.minX + tx0) + m.e * y;
                const int32_t lastRow = row + m.d * (tx1 - tx0 - 1);
                uint8_t* dst = target.GetLine(ty);
                if (!Inside<Pixel>(col, row, sw, sh) || !Inside<Pixel>(col, lastRow, sw, sh)) {
                    MapSpanChecked<Pixel>(srcRows, sw, sh, dst, tx0, tx1, col, row, m, fill);
                    continue;
                }
                Pixel* out = reinterpret_cast<Pixel*>(dst);
                const uint8_t* const* rows = srcRows + row;
                if (m.d > 0)
                    for (int32_t i = 0; i < tx1 - tx0; ++i) out[tx0 + i] = reinterpret_cast<const Pixel*>(rows[i])[col];
                else
                    for (int32_t i = 0; i < tx1 - tx0; ++i) out[tx0 + i] = reinterpret_cast<const Pixel*>(rows[-i])[col];
            }
        }
        for (int32_t ty = ty0; ty < ty1; ++ty) progress.Step(ty);
    }
#if defined(__SSE2__)
    if (stream) _mm_sfence();
#endif
}

// Reverses the pixels of row top into row bottom and those of bottom into top (the same row
// once for the middle row of an odd height).
template <class Pixel>
void ReverseRowPair(Pixel* top, Pixel* bottom, int32_t w) {
    if (top == bottom) {
        std::reverse(top, top + w);
        return;
    }
    int32_t x = 0;
#if defined(__SSE2__)
    if constexpr (sizeof(Pixel) == 4) {
        for (; x + 4 <= w; x += 4) {
            __m128i* a = reinterpret_cast<__m128i*>(top + x);
            __m128i* b = reinterpret_cast<__m128i*>(bottom + (w - 4 - x));
            const __m128i va = _mm_shuffle_epi32(_mm_loadu_si128(a), 0x1B);
            const __m128i vb = _mm_shuffle_epi32(_mm_loadu_si128(b), 0x1B);
            _mm_storeu_si128(a, vb);
            _mm_storeu_si128(b, va);
        }
    }
#endif
    for (; x < w; ++x) std::swap(top[x], bottom[w - 1 - x]);
}

template <class Pixel>
void HalfTurnInPlace(CDibBitmap& bitmap, const CProgressSchedule& progress) {
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    for (int32_t y = 0; y < (h + 1) / 2; ++y) {
        ReverseRowPair<Pixel>(reinterpret_cast<Pixel*>(bitmap.GetLine(y)), reinterpret_cast<Pixel*>(bitmap.GetLine(h - 1 - y)), w);
        progress.Step(y);
    }
    // The rows of the bottom half were finished with those of the top half.
    for (int32_t y = (h + 1) / 2; y < h; ++y) progress.Step(y);
}

template <class Pixel>
void RotatePixels(const CDibBitmap& source, CDibBitmap& target, const RotateGeometry& g, Pixel fill, bool generalOnly,
                  const CProgressSchedule& progress) {
    IntegerMap map{};
    if (!generalOnly && FindIntegerMap(g, map))
        RotateInteger<Pixel>(source, target, g, map, fill, progress);
    else
        RotateGeneral<Pixel>(source, target, g, fill, progress);
}

}  // namespace

CRotateFilter::CRotateFilter(double angle, PLPixel32 fill, CProgressSink* progress)
    : CImageFilter(progress), m_angle(angle), m_fill(fill) {}

CRotateFilter::~CRotateFilter() = default;

PLSize CRotateFilter::TargetSize(int32_t width, int32_t height) const {
    RotateGeometry g = ComputeGeometry(m_angle, width, height);
    return PLSize{g.Width(), g.Height()};
}

void CRotateFilter::ApplyInPlace(CDibBitmap& bitmap) {
    const uint16_t bpp = bitmap.GetBitsPerPixel();
    if (!m_generalOnly && !bitmap.IsEmpty() && (bpp == 32 || bpp == 8)) {
        const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
        const RotateGeometry g = ComputeGeometry(m_angle, w, h);
        IntegerMap m{};
        // A half turn that maps the picture onto itself: target (x, y) is source (w-1-x, h-1-y).
        if (FindIntegerMap(g, m) && m.a == -1 && m.e == -1 && g.Width() == w && g.Height() == h && -g.minX == w - 1 &&
            -g.minY == h - 1) {
            CPLBitmapLock lock(bitmap, true, true);
            const CProgressSchedule progress = RowSchedule(GetProgressSink(), h);
            progress.Start();
            if (bpp == 32)
                HalfTurnInPlace<uint32_t>(bitmap, progress);
            else
                HalfTurnInPlace<uint8_t>(bitmap, progress);
            progress.Finish();
            return;
        }
    }
    CImageFilter::ApplyInPlace(bitmap);
}

void CRotateFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    const RotateGeometry g = ComputeGeometry(m_angle, source.GetWidth(), source.GetHeight());
    CPLBitmapLock sourceLock(source, true, false);
    const uint16_t bpp = source.GetBitsPerPixel();
    const CProgressSchedule progress = RowSchedule(GetProgressSink(), g.Height());
    progress.Start();
    if (bpp == 32) {
        target.CreateForOverwrite(g.Width(), g.Height(), 32, source.HasAlpha());
        CPLBitmapLock targetLock(target, false, true);
        RotatePixels<uint32_t>(source, target, g, m_fill, m_generalOnly, progress);
    } else if (bpp == 8) {
        target.CreateForOverwrite(g.Width(), g.Height(), 8, source.HasAlpha());
        CPLBitmapLock targetLock(target, false, true);
        CopyColorTable(source, target);
        RotatePixels<uint8_t>(source, target, g, static_cast<uint8_t>(source.FindNearestColor(m_fill)), m_generalOnly,
                              progress);
    } else {
        // 1 and 4 bits: turn the indices one byte per pixel, then pack them again.
        CHeapBitmap indices, turned;
        ExpandIndices(source, indices);
        turned.CreateForOverwrite(g.Width(), g.Height(), 8, false);
        const uint8_t fill = static_cast<uint8_t>(source.FindNearestColor(m_fill));
        RotatePixels<uint8_t>(indices, turned, g, fill, m_generalOnly, progress);
        PackIndices(turned, source, bpp, target);
        target.SetHasAlpha(source.HasAlpha());
    }
    progress.Finish();
}
