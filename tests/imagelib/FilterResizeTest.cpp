// The resize family: kernels, weight tables and both passes.

#include <cmath>

#include "FilterTestUtil.h"
#include "filters/ResizeFilter.h"

namespace {

// Both passes written out from their definition, one channel at a time, for 32-bit bitmaps.
struct RefTable {
    std::vector<int> first, count;
    std::vector<std::vector<double>> w;
};

RefTable ReferenceTable(int T, int S, const CResizeKernel& k) {
    RefTable t;
    double scale = double(T) / S, width, factor;
    if (scale >= 1) {
        width = k.Radius();
        factor = 1;
    } else {
        width = k.Radius() / scale;
        factor = scale;
    }
    const int window = 2 * int(std::ceil(width)) + 1;
    for (int i = 0; i < T; ++i) {
        double center = i / scale;
        int left = std::max(0, int(std::floor(center - width)));
        int right = std::min(S - 1, int(std::ceil(center + width)));
        if (right - left + 1 > window) {
            if (left < S) ++left; else --right;
        }
        std::vector<double> w;
        double sum = 0;
        for (int j = left; j <= right; ++j) {
            w.push_back(factor * k((center - j) * factor));
            sum += w.back();
        }
        if (sum > 0) {
            for (double& v : w) v /= sum;
            t.first.push_back(left);
            t.count.push_back(right - left + 1);
        } else {
            // No source pixel inside the kernel: the nearest one, instead of black.
            t.first.push_back(std::clamp(int(std::floor(center + 0.5)), 0, S - 1));
            t.count.push_back(1);
            w.assign(1, 1.0);
        }
        t.w.push_back(w);
    }
    return t;
}

uint8_t Store(double sum) {
    double v = sum + 0.5;
    if (v >= 255) return 255;
    if (v < 0) return 0;
    return uint8_t(int(v));
}

void ReferenceResize(const CDibBitmap& src, int nw, int nh, const CResizeKernel& k, CHeapBitmap& out) {
    const int sw = src.GetWidth(), sh = src.GetHeight();
    std::vector<uint8_t> work(size_t(sh) * nw * 4);
    RefTable h = ReferenceTable(nw, sw, k);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < nw; ++x)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (int j = 0; j < h.count[x]; ++j) sum += h.w[x][j] * src.GetLine(y)[4 * (h.first[x] + j) + c];
                work[(size_t(y) * nw + x) * 4 + c] = Store(sum);
            }
    RefTable v = ReferenceTable(nh, sh, k);
    out.Create(nw, nh, 32, src.HasAlpha());
    for (int x = 0; x < nw; ++x)
        for (int y = 0; y < nh; ++y)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (int j = 0; j < v.count[y]; ++j) sum += v.w[y][j] * work[(size_t(v.first[y] + j) * nw + x) * 4 + c];
                out.GetLine(y)[4 * x + c] = Store(sum);
            }
}

template <class Filter, class Kernel>
void ExpectMatchesReference(const CDibBitmap& src, int nw, int nh, double radius) {
    CHeapBitmap out, expected;
    Filter(nw, nh, radius).Apply(src, out);
    ReferenceResize(src, nw, nh, Kernel(radius), expected);
    EXPECT_TRUE(SamePixels(out, expected)) << src.GetWidth() << "x" << src.GetHeight() << " -> " << nw << "x" << nh
                                           << " r " << radius;
}

// A picture with smooth areas and hard edges (where the Hamming lobes overshoot).
void FillEdges(CDibBitmap& bitmap, int w, int h) {
    bitmap.Create(w, h, 32, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = ((x / 5 + y / 4) % 2) ? 255 : 0;
            SetPixel32(bitmap, x, y, PLMakePixel(v, static_cast<uint8_t>(x * 255 / w), 255 - v, 255));
        }
}

}  // namespace

TEST(ResizeWeights, BoxFourToTwo) {
    const CBoxKernel box(0.5);
    const CResizeWeights table(2, 4, box);
    EXPECT_EQ(table.WindowSize(), 3);
    EXPECT_EQ(table.First(1), 1);
    ASSERT_EQ(table.Count(1), 3);
    for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(table.Weights(1)[k], 1.0 / 3.0);
    EXPECT_EQ(table.First(0), 0);
    ASSERT_EQ(table.Count(0), 2);
    EXPECT_DOUBLE_EQ(table.Weights(0)[0], 0.5);
    EXPECT_DOUBLE_EQ(table.Weights(0)[1], 0.5);
}

TEST(ResizeWeights, EveryTableSumsToOneAndStaysInside) {
    const CBoxKernel box(0.5);
    const CBilinearKernel bilinear;
    const CGaussianKernel gauss(1.5);
    const CHammingKernel hamming(3.0);
    const CResizeKernel* kernels[] = {&box, &bilinear, &gauss, &hamming};
    for (const CResizeKernel* k : kernels)
        for (int s : {1, 2, 3, 7, 100})
            for (int t : {1, 2, 5, 33, 250}) {
                const CResizeWeights table(t, s, *k);
                for (int i = 0; i < t; ++i) {
                    ASSERT_GE(table.First(i), 0);
                    ASSERT_GE(table.Count(i), 1);
                    ASSERT_LE(table.First(i) + table.Count(i), s);
                    ASSERT_LE(table.Count(i), table.WindowSize());
                    double sum = 0;
                    for (int j = 0; j < table.Count(i); ++j) sum += table.Weights(i)[j];
                    EXPECT_NEAR(sum, 1.0, 1e-9) << s << " -> " << t;
                }
            }
}

TEST(ResizeKernels, Shapes) {
    EXPECT_EQ(CBoxKernel(0.5)(0.5), 1.0);
    EXPECT_EQ(CBoxKernel(0.5)(0.51), 0.0);
    EXPECT_EQ(CBilinearKernel()(0.25), 0.75);
    EXPECT_EQ(CBilinearKernel()(1.0), 0.0);
    EXPECT_DOUBLE_EQ(CGaussianKernel(2.0)(1.0), std::exp(-0.5 - 1.0) / std::sqrt(2 * 3.14159265358979323846));
    EXPECT_EQ(CGaussianKernel(2.0)(2.5), 0.0);
    EXPECT_FALSE(std::isnan(CGaussianKernel(0.0)(0.0)));
    EXPECT_DOUBLE_EQ(CHammingKernel(3.0)(0.0), 1.0);
    EXPECT_NEAR(CHammingKernel(3.0)(1.0), 0.0, 1e-15);
    EXPECT_LT(CHammingKernel(3.0)(1.5), 0.0);  // the negative lobe
}

TEST(ResizeFilter, MatchesTheDefinitionBitForBit) {
    CHeapBitmap random, edges;
    FillRandom(random, 23, 17, 77, true);
    FillEdges(edges, 40, 30);
    for (const CDibBitmap* src : {static_cast<const CDibBitmap*>(&random), static_cast<const CDibBitmap*>(&edges)}) {
        const int sizes[][2] = {{11, 8}, {23, 17}, {50, 41}, {1, 1}, {7, 60}, {100, 3}};
        for (const auto& s : sizes) {
            ExpectMatchesReference<CBoxResizeFilter, CBoxKernel>(*src, s[0], s[1], 0.5);
            ExpectMatchesReference<CBoxResizeFilter, CBoxKernel>(*src, s[0], s[1], 1.25);
            ExpectMatchesReference<CGaussianResizeFilter, CGaussianKernel>(*src, s[0], s[1], 1.0);
            ExpectMatchesReference<CGaussianResizeFilter, CGaussianKernel>(*src, s[0], s[1], 2.5);
            ExpectMatchesReference<CHammingResizeFilter, CHammingKernel>(*src, s[0], s[1], 1.0);
            ExpectMatchesReference<CHammingResizeFilter, CHammingKernel>(*src, s[0], s[1], 3.0);
            CHeapBitmap out, expected;
            CBilinearResizeFilter(s[0], s[1]).Apply(*src, out);
            ReferenceResize(*src, s[0], s[1], CBilinearKernel(), expected);
            EXPECT_TRUE(SamePixels(out, expected));
        }
    }
}

TEST(ResizeFilter, BilinearToTheSameSizeKeepsEveryPixel) {
    CHeapBitmap src, out;
    FillRandom(src, 31, 19, 4, true);
    CBilinearResizeFilter(31, 19).Apply(src, out);
    EXPECT_TRUE(SamePixels(src, out));
    EXPECT_TRUE(out.HasAlpha());
}

TEST(ResizeFilter, BoxFourToTwoAveragesThreePixels) {
    CHeapBitmap src, out;
    src.Create(4, 1, 32, false);
    const uint8_t values[4] = {0, 30, 60, 91};
    for (int x = 0; x < 4; ++x) SetPixel32(src, x, 0, PLMakePixel(values[x], values[x], values[x], values[x]));
    CBoxResizeFilter(2, 1, 0.5).Apply(src, out);
    EXPECT_EQ(PLPixelRed(Pixel32(out, 0, 0)), 15);  // (0 + 30) / 2
    EXPECT_EQ(PLPixelRed(Pixel32(out, 1, 0)), 60);  // (30 + 60 + 91) / 3 = 60.33
}

TEST(ResizeFilter, EnlargingWithTheBoxKeepsTheLastColumn) {
    // 2 -> 5 with radius 0.5: target 4 is centred at 1.6, 0.6 away from source 1, outside the
    // kernel; it takes the nearest source pixel rather than turning black.
    CHeapBitmap src, out;
    src.Create(2, 1, 32, false);
    SetPixel32(src, 0, 0, 0xFF102030u);
    SetPixel32(src, 1, 0, 0xFF405060u);
    CBoxResizeFilter(5, 1, 0.5).Apply(src, out);
    EXPECT_EQ(Pixel32(out, 0, 0), 0xFF102030u);
    EXPECT_EQ(Pixel32(out, 4, 0), 0xFF405060u);
    for (int x = 0; x < 5; ++x) EXPECT_NE(Pixel32(out, x, 0), 0u) << x;
}

TEST(ResizeFilter, OvershootIsHeldToTheByteRange) {
    CHeapBitmap src, out;
    src.Create(20, 1, 32, false);
    for (int x = 0; x < 20; ++x) SetPixel32(src, x, 0, x < 10 ? 0xFF000000u : 0xFFFFFFFFu);
    CHammingResizeFilter(80, 1, 3.0).Apply(src, out);
    // Without holding, the ringing next to the edge would wrap around to the other end.
    for (int x = 0; x < 30; ++x) EXPECT_LT(PLPixelRed(Pixel32(out, x, 0)), 128) << x;
    for (int x = 50; x < 80; ++x) EXPECT_GT(PLPixelRed(Pixel32(out, x, 0)), 128) << x;
}

TEST(ResizeFilter, TinyRadiusFallsBackToTheNearestPixel) {
    CHeapBitmap src, out;
    FillRandom(src, 5, 4, 12);
    for (double r : {0.0, -1.0, 0.1}) {
        CBoxResizeFilter(10, 8, r).Apply(src, out);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) EXPECT_NE(Pixel32(out, x, y), 0u);
        CGaussianResizeFilter(3, 2, r).Apply(src, out);
        EXPECT_EQ(out.GetWidth(), 3);
    }
    CBoxResizeFilter(5, 4, 0.0).Apply(src, out);
    EXPECT_TRUE(SamePixels(src, out));
    // An undefined radius behaves like a radius of 0.
    CHammingResizeFilter(5, 4, std::nan("")).Apply(src, out);
    EXPECT_TRUE(SamePixels(src, out));
    CGaussianResizeFilter(7, 3, std::nan("")).Apply(src, out);
    EXPECT_EQ(out.GetWidth(), 7);
}

TEST(ResizeFilter, RefusesSizesBelowOnePixel) {
    CHeapBitmap src, out;
    FillRandom(src, 5, 4, 12);
    for (auto s : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, 4}, std::pair{4, -1}}) {
        try {
            CBilinearResizeFilter(s.first, s.second).Apply(src, out);
            FAIL() << "no exception";
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), PLErr::UnknownVariant);
        }
    }
    try {
        CBoxResizeFilter(1 << 20, 1 << 20, 0.5).Apply(src, out);
        FAIL() << "no exception";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), PLErr::NoMemory);
    }
}

TEST(ResizeFilter, IndexedImagesKeepTheirColourTable) {
    CHeapBitmap src, out;
    src.Create(8, 8, 8, false);  // grey ramp
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) src.GetLine(y)[x] = static_cast<uint8_t>(x * 30);
    CBilinearResizeFilter(4, 4).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    CHeapBitmap trueColor, resized;
    trueColor.CreateCopy(src, 32);
    CBilinearResizeFilter(4, 4).Apply(trueColor, resized);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(out.GetLine(y)[x], PLPixelRed(Pixel32(resized, x, y))) << x;
    CHeapBitmap mono;
    mono.Create(16, 2, 1, false);
    for (int x = 8; x < 16; ++x) mono.SetPixelIndex(x, 0, 1);
    CBoxResizeFilter(32, 4, 0.5).ApplyInPlace(mono);
    ASSERT_EQ(mono.GetBitsPerPixel(), 1);
    EXPECT_EQ(mono.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(mono.GetPixelIndex(31, 0), 1);
    EXPECT_EQ(mono.GetPixelIndex(31, 3), 0);
}

TEST(ResizeFilter, ProgressFollowsRowsThenColumns) {
    CHeapBitmap src, out;
    FillRandom(src, 9, 6, 1);
    CRecordingSink sink;
    CGaussianResizeFilter(300, 4, 1.0, &sink).Apply(src, out);
    ASSERT_EQ(sink.values.size(), 6u + 1u + 300u + 1u);
    EXPECT_DOUBLE_EQ(sink.values[0], 0.0);
    EXPECT_DOUBLE_EQ(sink.values[5], 5 * 0.5 / 6);
    EXPECT_DOUBLE_EQ(sink.values[6], 0.5);
    EXPECT_DOUBLE_EQ(sink.values[7], 0.5);
    EXPECT_DOUBLE_EQ(sink.values[7 + 299], 0.5 + 299 * 0.5 / 300);
    EXPECT_DOUBLE_EQ(sink.values.back(), 1.0);
    EXPECT_TRUE(sink.IsMonotonic());
}
