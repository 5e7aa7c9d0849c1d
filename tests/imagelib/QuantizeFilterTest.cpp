// The colour quantiser: its three palettes and three mappings.

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "FilterTestUtil.h"
#include "filters/QuantizeFilter.h"

namespace {

int Bucket(PLPixel32 p) { return (PLPixelRed(p) >> 3) << 10 | (PLPixelGreen(p) >> 3) << 5 | (PLPixelBlue(p) >> 3); }

PLPixel32 FromBucket(int b) {
    auto s = [](int v) { return static_cast<uint8_t>(v * 255 / 31); };
    return PLMakePixel(s(b >> 10), s((b >> 5) & 31), s(b & 31), 255);
}

PLPixel32 EntryColor(const CDibBitmap& bitmap, int i) { return PLQuadToPixel(bitmap.GetPalette()[i]) | 0xFF000000u; }

// The mapping written out from its definition against the palette that the filter chose.
void ReferenceMap(const CDibBitmap& src, const CDibBitmap& quantised, int dither, CHeapBitmap& out) {
    const int w = src.GetWidth(), h = src.GetHeight();
    out.Create(w, h, 8, false);
    std::vector<int> cache(32768, -1);
    const PLRGBQuad* pal = quantised.GetPalette();
    auto lookup = [&](int r, int g, int b) {
        int& slot = cache[(r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)];
        if (slot < 0) {
            int best = 0, bestD = INT_MAX;
            for (int i = 0; i < 256; ++i) {
                int d = (pal[i].rgbRed - r) * (pal[i].rgbRed - r) + (pal[i].rgbGreen - g) * (pal[i].rgbGreen - g) +
                        (pal[i].rgbBlue - b) * (pal[i].rgbBlue - b);
                if (d < bestD) bestD = d, best = i;
            }
            slot = best;
        }
        return slot;
    };
    static const int m[16] = {-7, 1, -5, 3, 5, -3, 7, -1, -4, 4, -6, 2, 8, 0, 6, -2};
    std::vector<double> cur((w + 2) * 3, 0.0), next((w + 2) * 3, 0.0);
    for (int y = 0; y < h; ++y) {
        std::fill(next.begin(), next.end(), 0.0);
        for (int i = 0; i < w; ++i) {
            const int x = (dither == 2 && (y & 1)) ? w - 1 - i : i;
            const PLPixel32 p = Pixel32(src, x, y);
            int rgb[3] = {PLPixelRed(p), PLPixelGreen(p), PLPixelBlue(p)};
            if (dither == 0) {
                out.GetLine(y)[x] = static_cast<uint8_t>(lookup(rgb[0], rgb[1], rgb[2]));
            } else if (dither == 1) {
                const int add = 2 * m[((w - 1 - x) & 3) * 4 + (y & 3)];
                for (int& c : rgb) c = std::clamp(c + add, 0, 255);
                out.GetLine(y)[x] = static_cast<uint8_t>(lookup(rgb[0], rgb[1], rgb[2]));
            } else {
                const int dir = (y & 1) ? -1 : 1;
                double wanted[3];
                int want[3];
                for (int c = 0; c < 3; ++c) {
                    wanted[c] = std::clamp(rgb[c] + cur[(x + 1) * 3 + c], 0.0, 255.0);
                    want[c] = int(wanted[c] + 0.5);
                }
                const int e = lookup(want[0], want[1], want[2]);
                out.GetLine(y)[x] = static_cast<uint8_t>(e);
                const double chosen[3] = {double(pal[e].rgbRed), double(pal[e].rgbGreen), double(pal[e].rgbBlue)};
                for (int c = 0; c < 3; ++c) {
                    const double err = (wanted[c] - chosen[c]) / 16.0;
                    cur[(x + 1 + dir) * 3 + c] += 7 * err;
                    next[(x + 1 - dir) * 3 + c] += 3 * err;
                    next[(x + 1) * 3 + c] += 5 * err;
                    next[(x + 1 + dir) * 3 + c] += err;
                }
            }
        }
        std::swap(cur, next);
    }
}

// A picture of gradients, a few flat areas and some noise.
void FillPhoto(CDibBitmap& bitmap, int w, int h, uint32_t seed) {
    bitmap.Create(w, h, 32, false);
    CTestRandom random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int r = x * 255 / w, g = y * 255 / h, b = (x + y) * 127 / (w + h) + random.Below(16);
            if (x > w / 2 && y > h / 2) r = g = b = 200;
            SetPixel32(bitmap, x, y, PLMakePixel(uint8_t(r), uint8_t(g), uint8_t(std::min(b, 255)), 255));
        }
}

}  // namespace

TEST(QuantizeFilter, PopularityKeepsEveryColourOfASmallPicture) {
    // 248 colours that are not cube corners, with the corners black and white besides.
    CHeapBitmap src;
    src.Create(25, 10, 32, false);
    std::set<int> buckets;
    CTestRandom random(3);
    int i = 0;
    while (buckets.size() < 248) {
        const int b = random.Below(32768);
        const int r5 = b >> 10, g5 = (b >> 5) & 31, b5 = b & 31;
        const bool corner = (r5 == 0 || r5 == 31) && (g5 == 0 || g5 == 31) && (b5 == 0 || b5 == 31);
        if (corner || !buckets.insert(b).second) continue;
        SetPixel32(src, i % 25, i / 25, FromBucket(b));
        ++i;
    }
    SetPixel32(src, 23, 9, 0xFF000000u);
    SetPixel32(src, 24, 9, 0xFFFFFFFFu);
    CHeapBitmap out;
    CQuantizeFilter(CQuantizeFilter::Popularity, CQuantizeFilter::NoDither).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 25; ++x) EXPECT_EQ(EntryColor(out, out.GetLine(y)[x]), Pixel32(src, x, y) | 0xFF000000u);
    const PLPixel32 corners[8] = {PLMakePixel(0, 0, 0), PLMakePixel(255, 0, 0), PLMakePixel(0, 0, 255),
                                  PLMakePixel(0, 255, 0), PLMakePixel(255, 0, 255), PLMakePixel(0, 255, 255),
                                  PLMakePixel(255, 255, 0), PLMakePixel(255, 255, 255)};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(EntryColor(out, c), corners[c]);
}

TEST(QuantizeFilter, PopularityOrdersByCountAndKeepsTheFirstOfEqualCounts) {
    CHeapBitmap src;
    src.Create(10, 1, 32, false);
    // Bucket A (red 1) twice, B (green 1) three times, C (blue 2) and D (blue 1) once each.
    const PLPixel32 a = FromBucket(1 << 10), b = FromBucket(1 << 5), c = FromBucket(2), d = FromBucket(1);
    const PLPixel32 pixels[10] = {c, a, b, d, a, b, b, 0xFF000000u, 0xFF000000u, 0xFF000000u};
    for (int x = 0; x < 10; ++x) SetPixel32(src, x, 0, pixels[x]);
    CHeapBitmap out;
    CQuantizeFilter(1, 0).Apply(src, out);
    EXPECT_EQ(EntryColor(out, 8), b);
    EXPECT_EQ(EntryColor(out, 9), a);
    // Red outermost, then blue, then green: D (blue 1) is found before C (blue 2).
    EXPECT_EQ(EntryColor(out, 10), d);
    EXPECT_EQ(EntryColor(out, 11), c);
    EXPECT_EQ(EntryColor(out, 12), 0xFF000000u);  // unused entries repeat black
    EXPECT_EQ(out.GetLine(0)[7], 0);               // and black is entry 0
}

TEST(QuantizeFilter, MedianCutGivesEveryColourOfAFewColourPictureItsOwnEntry) {
    // Three red levels in neighbouring 5-bit slices: the box spans exactly two steps.
    CHeapBitmap src;
    src.Create(3, 2, 32, false);
    const PLPixel32 colours[3] = {PLMakePixel(80, 40, 40), PLMakePixel(88, 40, 40), PLMakePixel(96, 40, 40)};
    for (int x = 0; x < 3; ++x) {
        SetPixel32(src, x, 0, colours[x]);
        SetPixel32(src, x, 1, colours[x]);
    }
    CHeapBitmap out;
    CQuantizeFilter(CQuantizeFilter::MedianCut, CQuantizeFilter::NoDither).Apply(src, out);
    std::set<int> used;
    for (int x = 0; x < 3; ++x) {
        const int e = out.GetLine(0)[x];
        used.insert(e);
        EXPECT_EQ(EntryColor(out, e), FromBucket(Bucket(colours[x]))) << x;
    }
    EXPECT_EQ(used.size(), 3u);
}

TEST(QuantizeFilter, MedianCutSplitsAPhotoIntoManyBoxes) {
    CHeapBitmap src, out;
    FillPhoto(src, 120, 90, 8);
    CQuantizeFilter(0, 0).Apply(src, out);
    std::set<PLPixel32> distinct;
    for (int i = 0; i < 256; ++i) distinct.insert(EntryColor(out, i));
    EXPECT_GT(distinct.size(), 200u);
    EXPECT_EQ(EntryColor(out, 0), PLMakePixel(0, 0, 0));
    EXPECT_EQ(EntryColor(out, 7), PLMakePixel(255, 255, 255));
    // Close to the original everywhere.
    long error = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            const PLPixel32 a = Pixel32(src, x, y), b = EntryColor(out, out.GetLine(y)[x]);
            error += std::abs(PLPixelRed(a) - PLPixelRed(b)) + std::abs(PLPixelGreen(a) - PLPixelGreen(b)) +
                     std::abs(PLPixelBlue(a) - PLPixelBlue(b));
        }
    EXPECT_LT(double(error) / (120 * 90 * 3), 6.0);
}

TEST(QuantizeFilter, FixedPaletteLayout) {
    const auto& p = CQuantizeFilter::FixedPaletteEntries();
    auto rgb = [&](int i) { return PLQuadToPixel(p[static_cast<size_t>(i)]) & 0xFFFFFFu; };
    EXPECT_EQ(rgb(0), 0x000000u);
    EXPECT_EQ(rgb(1), 0x800000u);
    EXPECT_EQ(rgb(7), 0xC0C0C0u);
    EXPECT_EQ(rgb(246), 0xFFFBF0u);
    EXPECT_EQ(rgb(249), 0xFF0000u);
    EXPECT_EQ(rgb(255), 0xFFFFFFu);
    std::set<uint32_t> all;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(p[static_cast<size_t>(i)].rgbReserved, 255);
        all.insert(rgb(i));
    }
    // The layout repeats five static colours in the cube and grey 217 in the ramp; the
    // entries left free are all new colours.
    EXPECT_EQ(all.size(), 250u);
    const int levels[6] = {0, 81, 133, 177, 217, 255};
    for (int r : levels)
        for (int g : levels)
            for (int b : levels)
                if (g != 0 || b != 0) {  // the black-to-red row is left out
                    EXPECT_TRUE(all.count(PLMakePixel(uint8_t(r), uint8_t(g), uint8_t(b), 0))) << r << g << b;
                }
    for (int v = 196; v <= 253; v += 3) EXPECT_TRUE(all.count(PLMakePixel(uint8_t(v), uint8_t(v), uint8_t(v), 0)));
}

TEST(QuantizeFilter, EveryDitherModeMatchesItsDefinition) {
    CHeapBitmap src;
    FillPhoto(src, 61, 37, 21);
    for (int paletteMode = 0; paletteMode < 3; ++paletteMode)
        for (int dither = 0; dither < 3; ++dither) {
            CHeapBitmap out, expected;
            CQuantizeFilter(paletteMode, dither).Apply(src, out);
            ReferenceMap(src, out, dither, expected);
            EXPECT_TRUE(SamePixels(out, expected)) << paletteMode << " " << dither;
        }
}

TEST(QuantizeFilter, FloydSteinbergKeepsTheAverageColour) {
    CHeapBitmap src, plain, dithered;
    src.Create(64, 64, 32, false);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) SetPixel32(src, x, y, PLMakePixel(100, 150, 40));
    CQuantizeFilter(2, 0).Apply(src, plain);
    CQuantizeFilter(2, 2).Apply(src, dithered);
    double sum[3] = {0, 0, 0};
    std::set<int> indices;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const PLPixel32 c = EntryColor(dithered, dithered.GetLine(y)[x]);
            sum[0] += PLPixelRed(c), sum[1] += PLPixelGreen(c), sum[2] += PLPixelBlue(c);
            indices.insert(dithered.GetLine(y)[x]);
        }
    EXPECT_NEAR(sum[0] / 4096, 100, 2.0);
    EXPECT_NEAR(sum[1] / 4096, 150, 2.0);
    EXPECT_NEAR(sum[2] / 4096, 40, 2.0);
    EXPECT_GT(indices.size(), 1u);
    const PLPixel32 flat = EntryColor(plain, plain.GetLine(0)[0]);
    EXPECT_GT(std::abs(PLPixelGreen(flat) - 150) + std::abs(PLPixelRed(flat) - 100) + std::abs(PLPixelBlue(flat) - 40), 5);
}

TEST(QuantizeFilter, ProgressScheduleAndOddInputs) {
    CHeapBitmap src, out;
    FillPhoto(src, 10, 4, 2);
    CRecordingSink sink;
    CQuantizeFilter(0, 2, &sink).Apply(src, out);
    const std::vector<double> expected = {0.02, 0.04, 0.08, 0.08, 0.08 + 0.91 / 4, 0.08 + 2 * 0.91 / 4,
                                          0.08 + 3 * 0.91 / 4, 1.0};
    ASSERT_EQ(sink.values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(sink.values[i], expected[i]) << i;

    // Unknown modes: the fixed palette without dithering.
    CQuantizeFilter odd(7, -1);
    EXPECT_EQ(odd.GetPaletteMode(), 2);
    EXPECT_EQ(odd.GetDitherMode(), 0);

    // A one-pixel picture, an indexed source and a bitmap quantised onto itself.
    CHeapBitmap one;
    one.Create(1, 1, 32, true);
    SetPixel32(one, 0, 0, 0x80FF8000u);
    for (int mode = 0; mode < 3; ++mode)
        for (int dither = 0; dither < 3; ++dither) {
            CQuantizeFilter(mode, dither).Apply(one, out);
            EXPECT_EQ(out.GetWidth(), 1);
            EXPECT_FALSE(out.HasAlpha());
        }
    CHeapBitmap indexed;
    indexed.Create(5, 5, 8, false);
    indexed.GetLine(2)[2] = 200;
    CQuantizeFilter(1, 0).Apply(indexed, out);
    EXPECT_EQ(EntryColor(out, out.GetLine(2)[2]), FromBucket(Bucket(PLMakePixel(200, 200, 200))));
    CPackedDibBitmap self;
    FillPhoto(self, 17, 9, 5);
    CHeapBitmap expectedSelf;
    CQuantizeFilter(0, 1).Apply(self, expectedSelf);
    CQuantizeFilter(0, 1).Apply(self, self);
    EXPECT_EQ(self.GetBitsPerPixel(), 8);
    EXPECT_TRUE(SamePixels(self, expectedSelf));
}
