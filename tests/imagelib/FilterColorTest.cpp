// Brightness, contrast, intensity, grayscale and invert.

#include <cmath>

#include "FilterTestUtil.h"
#include "filters/ColorFilters.h"

namespace {

// Every combination of channel values in steps of `step`, one pixel each, alpha 0x5A.
void FillColourGrid(CDibBitmap& bitmap, int step) {
    const int n = 255 / step + 1;
    bitmap.Create(n * n, n, 32, true);
    for (int r = 0; r < n; ++r)
        for (int g = 0; g < n; ++g)
            for (int b = 0; b < n; ++b)
                SetPixel32(bitmap, g * n + b, r,
                           PLMakePixel(static_cast<uint8_t>(r * step), static_cast<uint8_t>(g * step),
                                       static_cast<uint8_t>(b * step), 0x5A));
}

// Checks that every pixel of out is f(pixel of in).
template <class F>
void ExpectEveryPixel(const CDibBitmap& in, const CDibBitmap& out, F f) {
    ASSERT_EQ(in.GetWidth(), out.GetWidth());
    ASSERT_EQ(in.GetHeight(), out.GetHeight());
    int failures = 0;
    for (int y = 0; y < in.GetHeight(); ++y)
        for (int x = 0; x < in.GetWidth(); ++x) {
            const PLPixel32 expected = f(Pixel32(in, x, y));
            if (Pixel32(out, x, y) != expected && ++failures < 5)
                ADD_FAILURE() << std::hex << "pixel " << Pixel32(in, x, y) << " became " << Pixel32(out, x, y)
                              << ", expected " << expected;
        }
    EXPECT_EQ(failures, 0);
}


uint8_t ClampRule(double v) {
    if (v >= 255) return 255;
    if (v < 0) return 0;
    return static_cast<uint8_t>(static_cast<int>(v));
}

}  // namespace

TEST(BrightnessFilter, AddsAmountPercentOf255) {
    CBrightnessFilter plus20(20), plus100(100), minus100(-100), minus37(-37), zero(0);
    EXPECT_EQ(plus20.Map(100), 151);
    EXPECT_EQ(plus20.Map(204), 255);
    EXPECT_EQ(plus20.Map(205), 255);
    EXPECT_EQ(plus100.Map(0), 255);  // a whole 255, not 254.99999999999997
    EXPECT_EQ(minus100.Map(255), 0);
    EXPECT_EQ(minus37.Map(100), 5);  // 100 - 94.35
    EXPECT_EQ(minus37.Map(94), 0);
    for (int v = 0; v < 256; ++v) EXPECT_EQ(zero.Map(static_cast<uint8_t>(v)), v);
    for (int amount = -100; amount <= 100; amount += 7)
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(CBrightnessFilter(amount).Map(static_cast<uint8_t>(v)), ClampRule(v + amount * 2.55 + 1e-12))
                << amount << " " << v;
}

TEST(BrightnessFilter, ChangesColourBytesAndKeepsTheFourth) {
    CHeapBitmap src, out;
    FillColourGrid(src, 15);
    CBrightnessFilter filter(30);
    filter.Apply(src, out);
    EXPECT_TRUE(out.HasAlpha());
    ExpectEveryPixel(src, out, [&](PLPixel32 p) {
        return PLMakePixel(filter.Map(PLPixelRed(p)), filter.Map(PLPixelGreen(p)), filter.Map(PLPixelBlue(p)), PLPixelAlpha(p));
    });
    filter.ApplyInPlace(src);
    EXPECT_TRUE(SamePixels(src, out));
}

TEST(BrightnessFilter, IndexedBitmapsChangeTheirColourTable) {
    CHeapBitmap src, out;
    src.Create(4, 2, 8, false);
    src.GetLine(1)[3] = 77;
    CBrightnessFilter(10).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    EXPECT_EQ(out.GetLine(1)[3], 77);
    EXPECT_EQ(out.GetPalette()[77].rgbRed, 102);
    EXPECT_EQ(out.GetPalette()[255].rgbGreen, 255);
    EXPECT_EQ(out.GetPalette()[77].rgbReserved, 255);
}

TEST(ContrastFilter, Identities) {
    CContrastFilter same(1.0, 125), lift(1.0, 250), steep(2.0, 125), flat(0.0, 125), dark(1.0, 0);
    for (int v = 0; v < 256; ++v) {
        const uint8_t c = static_cast<uint8_t>(v);
        EXPECT_EQ(same.Map(c), v);
        EXPECT_EQ(lift.Map(c), std::min(255, v + 125));
        EXPECT_EQ(steep.Map(c), ClampRule(2.0 * v - 125));
        EXPECT_EQ(flat.Map(c), 125);
        EXPECT_EQ(dark.Map(c), std::max(0, v - 125));
    }
    EXPECT_EQ(CContrastFilter(1.5, 100).Map(90), ClampRule(1.5 * (90 + 100 - 250) + 125));
}

TEST(ContrastFilter, AppliesToEveryPixelAndColourTable) {
    CHeapBitmap src, out;
    FillColourGrid(src, 17);
    CContrastFilter filter(1.7, 140);
    filter.Apply(src, out);
    ExpectEveryPixel(src, out, [&](PLPixel32 p) {
        return PLMakePixel(filter.Map(PLPixelRed(p)), filter.Map(PLPixelGreen(p)), filter.Map(PLPixelBlue(p)), PLPixelAlpha(p));
    });
    CHeapBitmap mono;
    mono.Create(9, 1, 1, false);
    filter.ApplyInPlace(mono);
    EXPECT_EQ(mono.GetPalette()[0].rgbBlue, filter.Map(0));
    EXPECT_EQ(mono.GetPalette()[1].rgbBlue, filter.Map(255));
}

TEST(IntensityFilter, NoChangeLeavesEveryColourAsItWas) {
    CHeapBitmap src, out;
    FillColourGrid(src, 3);
    // Intensity 20 makes the factor 0; an offset above every value changes nothing either.
    CIntensityFilter(20.0, 0, 1.0).Apply(src, out);
    EXPECT_TRUE(SamePixels(src, out));
    CIntensityFilter(200.0, 255, 2.0).Apply(src, out);
    ExpectEveryPixel(src, out, [](PLPixel32 p) { return p; });
}

TEST(IntensityFilter, RaisesTheValueAndKeepsHueAndSaturation) {
    // k = 0.25, scale = 0.25 / 255, exponent 1, offset 0: V' = 100 x (100 x 0.25 / 255 + 1) = 109.8.
    CIntensityFilter filter(21.0, 0, 1.0);
    EXPECT_EQ(filter.Map(PLMakePixel(100, 50, 0, 0x33)), PLMakePixel(109, 54, 0, 0x33));
    // Greys stay grey.
    const PLPixel32 grey = filter.Map(PLMakePixel(200, 200, 200));
    EXPECT_EQ(PLPixelRed(grey), PLPixelGreen(grey));
    EXPECT_EQ(PLPixelRed(grey), PLPixelBlue(grey));
    EXPECT_GT(PLPixelRed(grey), 200);
    // Far above the top: clamped to 255.
    EXPECT_EQ(CIntensityFilter(60.0, 100, 1.0).Map(PLMakePixel(200, 200, 200)), PLMakePixel(255, 255, 255));
    // Below the offset nothing moves.
    EXPECT_EQ(CIntensityFilter(120.0, 150, 1.5).Map(PLMakePixel(149, 20, 80)), PLMakePixel(149, 20, 80));
    // Lower intensity than 20 darkens.
    const PLPixel32 darker = CIntensityFilter(0.0, 0, 1.0).Map(PLMakePixel(180, 90, 30));
    EXPECT_LT(PLPixelRed(darker), 180);
    EXPECT_GE(PLPixelRed(darker), PLPixelGreen(darker));
    EXPECT_GE(PLPixelGreen(darker), PLPixelBlue(darker));
}

namespace {
// The intensity step written out as the HSV round trip of its definition (hexcone, 0-255).
PLPixel32 HsvIntensity(PLPixel32 p, double intensity, double offset, double exponent) {
    const int r = PLPixelRed(p), g = PLPixelGreen(p), b = PLPixelBlue(p);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double V = mx, S = mx ? (mx - mn) * 255.0 / mx : 0.0, H = 0.0;
    if (S > 0) {
        const double d = mx - mn;
        H = 42.5 * (r == mx ? (g - b) / d : g == mx ? (b - r) / d + 2 : (r - g) / d + 4);
        if (H < 0) H += 255;
        if (H > 255) H -= 255;
    }
    const double scale = (intensity - 20) * 0.25 / std::pow(255.0, exponent);
    if (V >= offset) V *= std::pow(V - offset, exponent) * scale + 1;
    const double s = S / 255, v = V / 255;
    double rr = v, gg = v, bb = v;
    if (s > 0) {
        const double h6 = H * 6 / 255;
        int i = int(std::floor(h6));
        const double f = h6 - i, pp = v * (1 - s), qq = v * (1 - s * f), tt = v * (1 - s * (1 - f));
        switch (i % 6) {
        case 0: rr = v, gg = tt, bb = pp; break;
        case 1: rr = qq, gg = v, bb = pp; break;
        case 2: rr = pp, gg = v, bb = tt; break;
        case 3: rr = pp, gg = qq, bb = v; break;
        case 4: rr = tt, gg = pp, bb = v; break;
        default: rr = v, gg = pp, bb = qq; break;
        }
    }
    auto out = [](double x) { return ClampRule(std::round(x * 255 * 1e6) / 1e6); };
    return PLMakePixel(out(rr), out(gg), out(bb), PLPixelAlpha(p));
}
}  // namespace

TEST(IntensityFilter, MatchesTheHsvRoundTrip) {
    CHeapBitmap src, out;
    FillColourGrid(src, 5);
    const double params[][3] = {{21, 0, 1.0}, {60, 100, 1.0}, {30, 0, 2.0}, {0, 50, 0.5}, {255, 200, 3.0}, {10, 0, 1.0}};
    for (const auto& q : params) {
        CIntensityFilter(q[0], int(q[1]), q[2]).Apply(src, out);
        ExpectEveryPixel(src, out, [&](PLPixel32 p) { return HsvIntensity(p, q[0], q[1], q[2]); });
    }
}

TEST(IntensityFilter, OddParametersNeverGoWild) {
    CHeapBitmap src, out;
    FillColourGrid(src, 51);
    // A negative exponent makes 0^e infinite at V = offset; the pixels must still be bytes.
    for (double e : {-1.0, 0.0, 25.5}) {
        CIntensityFilter(255.0, 0, e).Apply(src, out);
        EXPECT_EQ(out.GetWidth(), src.GetWidth());
    }
    const double nan = std::nan("");
    CIntensityFilter(nan, 0, 1.0).Apply(src, out);
    CIntensityFilter(40.0, 0, nan).Apply(src, out);
    EXPECT_EQ(out.GetWidth(), src.GetWidth());
    for (int v = 0; v < 256; v += 17) {
        EXPECT_EQ(CContrastFilter(nan, 125).Map(static_cast<uint8_t>(v)), 0);
    }
    CContrastFilter(INFINITY, 125).Apply(src, out);
    EXPECT_EQ(out.GetWidth(), src.GetWidth());
    EXPECT_EQ(CContrastFilter(1.0, 1000).Map(0), 130);  // the offset is a byte: 255 at most
    EXPECT_EQ(CContrastFilter(1.0, -5).Map(200), 75);   // and 0 at least

    CHeapBitmap indexed;
    indexed.Create(2, 2, 8, false);
    CIntensityFilter(60.0, 0, 1.0).ApplyInPlace(indexed);
    EXPECT_EQ(indexed.GetPalette()[0].rgbRed, 0);
    EXPECT_EQ(indexed.GetPalette()[128].rgbRed, 255);
}

TEST(GrayscaleFilter, WeightsAndTruncation) {
    EXPECT_EQ(CGrayscaleFilter::GreyOf(255, 0, 0), 54);   // 54.231105
    EXPECT_EQ(CGrayscaleFilter::GreyOf(0, 255, 0), 182);  // 182.3658
    EXPECT_EQ(CGrayscaleFilter::GreyOf(0, 0, 255), 18);   // 18.403095
    EXPECT_EQ(CGrayscaleFilter::GreyOf(10, 20, 30), 18);  // 2.12671 + 14.3032 + 2.16507 = 18.59498
    // The weights add up to one: a grey stays exactly the same grey.
    for (int v = 0; v < 256; ++v) {
        const uint8_t c = static_cast<uint8_t>(v);
        EXPECT_EQ(CGrayscaleFilter::GreyOf(c, c, c), v);
    }
}

TEST(GrayscaleFilter, MakesAnEightBitGreyRampImage) {
    CHeapBitmap src, out;
    FillColourGrid(src, 15);
    CRecordingSink sink;
    CGrayscaleFilter(&sink).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    EXPECT_FALSE(out.HasAlpha());
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(out.GetPalette()[i].rgbRed, i);
        EXPECT_EQ(out.GetPalette()[i].rgbBlue, i);
    }
    for (int y = 0; y < src.GetHeight(); ++y)
        for (int x = 0; x < src.GetWidth(); ++x) {
            const PLPixel32 p = Pixel32(src, x, y);
            ASSERT_EQ(out.GetLine(y)[x], CGrayscaleFilter::GreyOf(PLPixelRed(p), PLPixelGreen(p), PLPixelBlue(p)));
        }
    EXPECT_EQ(sink.values.size(), static_cast<size_t>(src.GetHeight()) + 2);
    EXPECT_DOUBLE_EQ(sink.values.back(), 1.0);

    CHeapBitmap indexed, grey;
    indexed.Create(3, 1, 8, false);
    indexed.GetPalette()[5] = PLRGBQuad{0, 0, 255, 255};
    indexed.GetLine(0)[1] = 5;
    CGrayscaleFilter().ApplyInPlace(indexed);
    ASSERT_EQ(indexed.GetBitsPerPixel(), 8);
    EXPECT_EQ(indexed.GetLine(0)[1], 54);
}

TEST(InvertFilter, ComplementsColourBytes) {
    CHeapBitmap src, out;
    FillColourGrid(src, 15);
    CInvertFilter().Apply(src, out);
    EXPECT_FALSE(out.HasAlpha());
    ExpectEveryPixel(src, out, [](PLPixel32 p) { return p ^ 0x00FFFFFFu; });
    CHeapBitmap twice;
    CInvertFilter().Apply(out, twice);
    EXPECT_TRUE(SamePixels(src, twice));
    CInvertFilter().ApplyInPlace(src);
    EXPECT_TRUE(SamePixels(src, out));
    EXPECT_FALSE(src.HasAlpha());

    CHeapBitmap mono;
    mono.Create(3, 1, 1, false);
    mono.SetPixelIndex(1, 0, 1);
    CRecordingSink sink;
    CInvertFilter(&sink).ApplyInPlace(mono);
    ASSERT_EQ(mono.GetBitsPerPixel(), 32);
    EXPECT_EQ(Pixel32(mono, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel32(mono, 1, 0) & 0xFFFFFF, 0u);
    EXPECT_DOUBLE_EQ(sink.values.front(), 0.05);
    EXPECT_DOUBLE_EQ(sink.values.back(), 1.0);
}
