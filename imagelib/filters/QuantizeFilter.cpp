#include "QuantizeFilter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

constexpr int BucketCount = 32768;
constexpr uint16_t CountLimit = 65535;

inline int BucketOf(int red, int green, int blue) { return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3); }

// The eight corners of the colour cube in palette order, as 5-bit red, green, blue.
constexpr int Corners[8][3] = {{0, 0, 0},   {31, 0, 0},  {0, 0, 31},   {0, 31, 0},
                               {31, 0, 31}, {0, 31, 31}, {31, 31, 0}, {31, 31, 31}};

inline bool IsCorner(int bucket) {
    const int r = bucket >> 10, g = (bucket >> 5) & 31, b = bucket & 31;
    return (r == 0 || r == 31) && (g == 0 || g == 31) && (b == 0 || b == 31);
}

inline PLRGBQuad Entry(int red, int green, int blue) {
    return PLRGBQuad{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 255};
}

inline PLRGBQuad Entry5(int red, int green, int blue) { return Entry(red * 255 / 31, green * 255 / 31, blue * 255 / 31); }

using Palette = std::array<PLRGBQuad, 256>;

// ---------------------------------------------------------------------------------------------
// Median cut

struct ColorBox {
    int lo[3];    // red, green, blue, 5 bits each
    int hi[3];
    int mean[3];
    uint32_t count;
};

// Shrinks the box to the non-empty buckets inside it and computes their count (capped) and
// count-weighted mean colour; a box of a single 15-bit colour counts 1.
void ComputeBox(ColorBox& box, const uint16_t* counts) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    uint64_t total = 0, sum[3] = {0, 0, 0};
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
            const uint16_t* line = counts + (r << 10 | g << 5);
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const uint32_t c = line[b];
                if (c == 0) continue;
                lo[0] = std::min(lo[0], r), hi[0] = std::max(hi[0], r);
                lo[1] = std::min(lo[1], g), hi[1] = std::max(hi[1], g);
                lo[2] = std::min(lo[2], b), hi[2] = std::max(hi[2], b);
                total += c;
                sum[0] += static_cast<uint64_t>(c) * r;
                sum[1] += static_cast<uint64_t>(c) * g;
                sum[2] += static_cast<uint64_t>(c) * b;
            }
        }
    if (total == 0) {
        box.count = 0;
        for (int a = 0; a < 3; ++a) box.mean[a] = (box.lo[a] + box.hi[a]) / 2;
        return;
    }
    for (int a = 0; a < 3; ++a) {
        box.lo[a] = lo[a];
        box.hi[a] = hi[a];
        box.mean[a] = static_cast<int>(sum[a] / total);
    }
    box.count = static_cast<uint32_t>(std::min<uint64_t>(total, CountLimit));
    if (lo[0] == hi[0] && lo[1] == hi[1] && lo[2] == hi[2]) box.count = 1;
}

void MedianCutPalette(const uint16_t* counts, Palette& palette) {
    std::vector<ColorBox> boxes = MakeBuffer<ColorBox>(256);
    for (int i = 0; i < 8; ++i) {
        ColorBox& b = boxes[static_cast<size_t>(i)];
        for (int a = 0; a < 3; ++a) b.lo[a] = b.hi[a] = b.mean[a] = Corners[i][a];
        b.count = 1;
    }
    boxes[8] = ColorBox{{0, 0, 0}, {31, 31, 31}, {0, 0, 0}, 0};
    ComputeBox(boxes[8], counts);
    int used = 9;
    while (used < 256) {
        int best = -1;
        uint32_t bestCount = 0;
        for (int i = 8; i < used; ++i)
            if (boxes[static_cast<size_t>(i)].count > bestCount) {
                best = i;
                bestCount = boxes[static_cast<size_t>(i)].count;
            }
        if (best < 0 || bestCount < 2) break;
        ColorBox& old = boxes[static_cast<size_t>(best)];
        const int range[3] = {old.hi[0] - old.lo[0], old.hi[1] - old.lo[1], old.hi[2] - old.lo[2]};
        const int axis = (range[0] >= range[1] && range[0] >= range[2]) ? 0 : (range[1] >= range[2] ? 1 : 2);
        ColorBox& added = boxes[static_cast<size_t>(used)];
        added = old;
        if (range[axis] == 2) {
            // Three slices: the old box keeps the top one, the new box the other two, so that
            // the middle slice stays inside a box.
            old.lo[axis] = old.hi[axis];
            added.hi[axis] = added.lo[axis] + 1;
        } else {
            int split = old.mean[axis];
            if (split == old.hi[axis]) --split;
            old.hi[axis] = split;
            added.lo[axis] = split + 1;
        }
        ComputeBox(old, counts);
        ComputeBox(added, counts);
        ++used;
    }
    for (int i = 0; i < 256; ++i) {
        if (i < used) {
            const ColorBox& b = boxes[static_cast<size_t>(i)];
            palette[static_cast<size_t>(i)] = Entry((b.lo[0] + b.hi[0]) * 255 / 62, (b.lo[1] + b.hi[1]) * 255 / 62,
                                                     (b.lo[2] + b.hi[2]) * 255 / 62);
        } else {
            // Unused entries repeat black; the nearest-colour search never picks them, as
            // entry 0 wins every tie.
            palette[static_cast<size_t>(i)] = Entry(0, 0, 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Popularity

void PopularityPalette(const uint16_t* counts, Palette& palette) {
    for (int i = 0; i < 8; ++i) palette[static_cast<size_t>(i)] = Entry5(Corners[i][0], Corners[i][1], Corners[i][2]);
    constexpr int slots = 248;
    int bucket[slots];
    uint32_t count[slots];
    int used = 0;
    for (int r = 0; r < 32; ++r)
        for (int b = 0; b < 32; ++b)
            for (int g = 0; g < 32; ++g) {
                const int index = r << 10 | g << 5 | b;
                const uint32_t c = counts[index];
                // The corners are in the palette already.
                if (c == 0 || IsCorner(index)) continue;
                if (used == slots && c <= count[slots - 1]) continue;
                int j = used < slots ? used : slots - 1;
                while (j > 0 && count[j - 1] < c) {
                    bucket[j] = bucket[j - 1];
                    count[j] = count[j - 1];
                    --j;
                }
                bucket[j] = index;
                count[j] = c;
                if (used < slots) ++used;
            }
    for (int i = 0; i < slots; ++i) {
        const size_t e = static_cast<size_t>(8 + i);
        palette[e] = i < used ? Entry5(bucket[i] >> 10, (bucket[i] >> 5) & 31, bucket[i] & 31) : Entry(0, 0, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Fixed palette

Palette BuildFixedPalette() {
    Palette p{};
    int n = 0;
    auto add = [&](int r, int g, int b) { p[static_cast<size_t>(n++)] = Entry(r, g, b); };
    // The first ten static colours of the Windows system palette.
    add(0, 0, 0), add(128, 0, 0), add(0, 128, 0), add(128, 128, 0), add(0, 0, 128);
    add(128, 0, 128), add(0, 128, 128), add(192, 192, 192), add(192, 220, 192), add(166, 202, 240);
    // The 6 x 6 x 6 cube without the black-to-red row (green = blue = 0) and white.
    static const int levels[6] = {0, 81, 133, 177, 217, 255};
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r) {
                if (g == 0 && b == 0) continue;
                if (r == 5 && g == 5 && b == 5) continue;
                add(levels[r], levels[g], levels[b]);
            }
    // Dark greys where neither the cube nor the static colours have any.
    static const int darkGreys[7] = {16, 32, 48, 64, 96, 112, 148};
    for (int v : darkGreys) add(v, v, v);
    // The grey ramp 196 ... 253.
    for (int v = 196; v <= 253; v += 3) add(v, v, v);
    // The last ten static colours.
    add(255, 251, 240), add(160, 160, 164), add(128, 128, 128), add(255, 0, 0), add(0, 255, 0);
    add(255, 255, 0), add(0, 0, 255), add(255, 0, 255), add(0, 255, 255), add(255, 255, 255);
    return p;
}

// ---------------------------------------------------------------------------------------------
// Mapping

class CNearestColor {
public:
    CNearestColor(const Palette& palette, std::vector<int16_t>& cache) : m_cache(cache) {
        for (int i = 0; i < 256; ++i) {
            m_r[i] = palette[static_cast<size_t>(i)].rgbRed;
            m_g[i] = palette[static_cast<size_t>(i)].rgbGreen;
            m_b[i] = palette[static_cast<size_t>(i)].rgbBlue;
        }
    }

    // The entry for a colour; the first colour of each 15-bit bucket decides for the bucket.
    uint8_t Lookup(int red, int green, int blue) {
        int16_t& slot = m_cache[static_cast<size_t>(BucketOf(red, green, blue))];
        if (slot < 0) slot = static_cast<int16_t>(Search(red, green, blue));
        return static_cast<uint8_t>(slot);
    }

    int Red(int i) const { return m_r[i]; }
    int Green(int i) const { return m_g[i]; }
    int Blue(int i) const { return m_b[i]; }

private:
    int Search(int red, int green, int blue) const {
        int best = 0, bestDistance = INT_MAX;
        for (int i = 0; i < 256; ++i) {
            const int dr = m_r[i] - red, dg = m_g[i] - green, db = m_b[i] - blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
                if (d == 0) break;
            }
        }
        return best;
    }

    std::vector<int16_t>& m_cache;
    int m_r[256], m_g[256], m_b[256];
};

void MapPlain(const CDibBitmap& source, CDibBitmap& target, CNearestColor& nearest, const CProgressSchedule& progress) {
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* p = src + 4 * x;
            dst[x] = nearest.Lookup(p[PL_RED], p[PL_GREEN], p[PL_BLUE]);
        }
        progress.Step(y);
    }
}

constexpr int OrderedMatrix[16] = {-7, 1, -5, 3, 5, -3, 7, -1, -4, 4, -6, 2, 8, 0, 6, -2};

void MapOrdered(const CDibBitmap& source, CDibBitmap& target, CNearestColor& nearest, const CProgressSchedule& progress) {
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        for (int32_t x = 0; x < w; ++x) {
            const int c = w - 1 - x;  // columns counted from the right
            const int add = 2 * OrderedMatrix[(c & 3) * 4 + (y & 3)];
            const uint8_t* p = src + 4 * x;
            dst[x] = nearest.Lookup(ClampInt(p[PL_RED] + add, 0, 255), ClampInt(p[PL_GREEN] + add, 0, 255),
                                    ClampInt(p[PL_BLUE] + add, 0, 255));
        }
        progress.Step(y);
    }
}

void MapFloydSteinberg(const CDibBitmap& source, CDibBitmap& target, CNearestColor& nearest,
                       const CProgressSchedule& progress) {
    const int32_t w = source.GetWidth(), h = source.GetHeight();
    const size_t entries = CheckedMul(static_cast<size_t>(w) + 2, 3);
    std::vector<double> errA = MakeBuffer<double>(entries, 0.0), errB = MakeBuffer<double>(entries, 0.0);
    double* cur = errA.data();
    double* next = errB.data();
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = source.GetLine(y);
        uint8_t* dst = target.GetLine(y);
        std::fill(next, next + entries, 0.0);
        const int dir = (y & 1) ? -1 : 1;
        int32_t x = dir > 0 ? 0 : w - 1;
        for (int32_t i = 0; i < w; ++i, x += dir) {
            const uint8_t* p = src + 4 * x;
            double* e = cur + 3 * (static_cast<size_t>(x) + 1);
            double wanted[3] = {p[PL_RED] + e[0], p[PL_GREEN] + e[1], p[PL_BLUE] + e[2]};
            int want[3];
            for (int c = 0; c < 3; ++c) {
                wanted[c] = std::min(255.0, std::max(0.0, wanted[c]));
                want[c] = static_cast<int>(wanted[c] + 0.5);
            }
            const uint8_t index = nearest.Lookup(want[0], want[1], want[2]);
            dst[x] = index;
            const double chosen[3] = {static_cast<double>(nearest.Red(index)), static_cast<double>(nearest.Green(index)),
                                      static_cast<double>(nearest.Blue(index))};
            double* ahead = cur + 3 * (static_cast<size_t>(x + dir) + 1);
            double* belowBehind = next + 3 * (static_cast<size_t>(x - dir) + 1);
            double* below = next + 3 * (static_cast<size_t>(x) + 1);
            double* belowAhead = next + 3 * (static_cast<size_t>(x + dir) + 1);
            for (int c = 0; c < 3; ++c) {
                const double error = (wanted[c] - chosen[c]) / 16.0;
                ahead[c] += 7.0 * error;
                belowBehind[c] += 3.0 * error;
                below[c] += 5.0 * error;
                belowAhead[c] += error;
            }
        }
        std::swap(cur, next);
        progress.Step(y);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

CQuantizeFilter::CQuantizeFilter(int32_t paletteMode, int32_t ditherMode, CProgressSink* progress)
    : CInPlaceFilter(progress),
      m_paletteMode(paletteMode >= MedianCut && paletteMode <= FixedPalette ? paletteMode : FixedPalette),
      m_ditherMode(ditherMode >= NoDither && ditherMode <= FloydSteinberg ? ditherMode : NoDither) {}

CQuantizeFilter::~CQuantizeFilter() = default;

const std::array<PLRGBQuad, 256>& CQuantizeFilter::FixedPaletteEntries() {
    static const Palette palette = BuildFixedPalette();
    return palette;
}

void CQuantizeFilter::ApplyInPlace(CDibBitmap& bitmap) {
    CHeapBitmap scratch;
    Apply(bitmap, scratch);
    bitmap.CreateCopy(scratch, 0);
}

void CQuantizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    CPLBitmapLock sourceLock(source, true, false);
    const CTrueColorSource trueColor(source);
    const CDibBitmap& src = trueColor.Get();
    const int32_t w = src.GetWidth(), h = src.GetHeight();
    const CProgressSchedule progress(GetProgressSink(), 0.08, 0.91, h);
    progress.Report(0.02);

    std::vector<int16_t> cache = MakeBuffer<int16_t>(BucketCount, -1);
    Palette palette;
    if (m_paletteMode == FixedPalette) {
        progress.Report(0.04);
        palette = FixedPaletteEntries();
    } else {
        std::vector<uint16_t> counts = MakeBuffer<uint16_t>(BucketCount, 0);
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* row = src.GetLine(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = row + 4 * x;
                uint16_t& c = counts[static_cast<size_t>(BucketOf(p[PL_RED], p[PL_GREEN], p[PL_BLUE]))];
                if (c != CountLimit) ++c;
            }
        }
        progress.Report(0.04);
        if (m_paletteMode == MedianCut)
            MedianCutPalette(counts.data(), palette);
        else
            PopularityPalette(counts.data(), palette);
    }
    progress.Report(0.08);

    target.Create(w, h, 8, false);
    CPLBitmapLock targetLock(target, false, true);
    target.CopyPalette(palette.data());
    CNearestColor nearest(palette, cache);
    switch (m_ditherMode) {
    case OrderedDither: MapOrdered(src, target, nearest, progress); break;
    case FloydSteinberg: MapFloydSteinberg(src, target, nearest, progress); break;
    default: MapPlain(src, target, nearest, progress); break;
    }
    progress.Finish();
}
