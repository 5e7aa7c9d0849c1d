// Rotation, flips, crop, region move and paste.

#include <cmath>

#include "FilterTestUtil.h"
#include "filters/FlipFilters.h"
#include "filters/RegionFilters.h"
#include "filters/RotateFilter.h"

namespace {

constexpr double HalfPi = 1.57079632679489661923;
constexpr double DialogDegree = 0.01745329255555556;  // the rotate dialog's radians per degree

// The rotation written out from its definition, one pixel at a time, for 32-bit bitmaps.
void ReferenceRotate(const CDibBitmap& src, double angle, PLPixel32 fill, CHeapBitmap& out) {
    const double c = std::cos(-angle), s = std::sin(-angle);
    auto round = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
    const int w = src.GetWidth(), h = src.GetHeight();
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    const int cx[4] = {0, w - 1, 0, w - 1}, cy[4] = {0, 0, h - 1, h - 1};
    for (int i = 0; i < 4; ++i) {
        int x = round(c * cx[i] - s * cy[i]), y = round(s * cx[i] + c * cy[i]);
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    out.Create(maxX - minX + 1, maxY - minY + 1, 32, src.HasAlpha());
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            int col = round(c * x + s * y), row = round(c * y - s * x);
            SetPixel32(out, x - minX, y - minY, col >= 0 && col < w && row >= 0 && row < h ? Pixel32(src, col, row) : fill);
        }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Rotation

TEST(RotateFilter, TenByOneTurnsIntoOneByTenBothWays) {
    CHeapBitmap src;
    FillCoords(src, 10, 1);
    for (double angle : {HalfPi, 1.57079633, 90 * DialogDegree}) {
        CHeapBitmap out;
        CRotateFilter(angle, 0xDEADBEEF).Apply(src, out);
        ASSERT_EQ(out.GetWidth(), 1);
        ASSERT_EQ(out.GetHeight(), 10);
        // Counter-clockwise: the right end comes to the top.
        for (int y = 0; y < 10; ++y) EXPECT_EQ(Pixel32(out, 0, y), CoordPixel(9 - y, 0)) << angle;
    }
    for (double angle : {-HalfPi, -1.57079633}) {
        CHeapBitmap out;
        CRotateFilter(angle, 0xDEADBEEF).Apply(src, out);
        ASSERT_EQ(out.GetWidth(), 1);
        ASSERT_EQ(out.GetHeight(), 10);
        for (int y = 0; y < 10; ++y) EXPECT_EQ(Pixel32(out, 0, y), CoordPixel(y, 0)) << angle;
    }
}

TEST(RotateFilter, SmallAngleFillsTheCorners) {
    CHeapBitmap src, out;
    FillCoords(src, 40, 30);
    const PLPixel32 fill = PLMakePixel(1, 2, 3, 255);
    CRotateFilter(0.3, fill).Apply(src, out);
    EXPECT_GT(out.GetWidth(), 40);
    EXPECT_GT(out.GetHeight(), 30);
    const int w = out.GetWidth(), h = out.GetHeight();
    EXPECT_EQ(Pixel32(out, 0, 0), fill);
    EXPECT_EQ(Pixel32(out, w - 1, 0), fill);
    EXPECT_EQ(Pixel32(out, 0, h - 1), fill);
    EXPECT_EQ(Pixel32(out, w - 1, h - 1), fill);
    CHeapBitmap expected;
    ReferenceRotate(src, 0.3, fill, expected);
    EXPECT_TRUE(SamePixels(out, expected));
}

TEST(RotateFilter, AnyAngleMatchesTheDefinition) {
    CHeapBitmap src;
    FillRandom(src, 37, 23, 11, true);
    for (double angle : {0.3, -0.3, 17 * DialogDegree, 2.5, -2.0, 45 * DialogDegree, 1e-3, 7.0}) {
        CHeapBitmap out, expected;
        CRotateFilter(angle, 0x11223344).Apply(src, out);
        ReferenceRotate(src, angle, 0x11223344, expected);
        EXPECT_TRUE(SamePixels(out, expected)) << angle;
        EXPECT_TRUE(out.HasAlpha());
    }
}

TEST(RotateFilter, QuarterTurnShortcutEqualsTheGeneralPath) {
    const double angles[] = {0.0, HalfPi, -HalfPi, 1.57079633, -1.57079633, 3.14159265358979, -3.14159265358979,
                             180 * DialogDegree, 270 * DialogDegree, -90 * DialogDegree, 360 * DialogDegree};
    const int sizes[][2] = {{1, 1}, {10, 1}, {1, 7}, {7, 5}, {64, 33}, {130, 70}};
    for (const auto& size : sizes) {
        CHeapBitmap src;
        FillRandom(src, size[0], size[1], static_cast<uint32_t>(size[0] * 31 + size[1]));
        for (double angle : angles) {
            CHeapBitmap fast, general, expected;
            CRotateFilter(angle, 0x01020304).Apply(src, fast);
            CRotateFilter slow(angle, 0x01020304);
            slow.SetGeneralPathOnly(true);
            slow.Apply(src, general);
            ReferenceRotate(src, angle, 0x01020304, expected);
            EXPECT_TRUE(SamePixels(fast, general)) << angle << " " << size[0] << "x" << size[1];
            EXPECT_TRUE(SamePixels(fast, expected)) << angle << " " << size[0] << "x" << size[1];
        }
    }
}

TEST(RotateFilter, QuarterTurnsKeepEveryPixel) {
    CHeapBitmap src, out, back;
    FillRandom(src, 53, 29, 5);
    CRotateFilter(1.57079633, 0).Apply(src, out);
    EXPECT_EQ(out.GetWidth(), 29);
    EXPECT_EQ(out.GetHeight(), 53);
    CRotateFilter(-1.57079633, 0).Apply(out, back);
    EXPECT_TRUE(SamePixels(src, back));
}

TEST(RotateFilter, IndexedBitmapsTurnTheirIndices) {
    CHeapBitmap src;
    src.Create(9, 4, 8, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) src.GetLine(y)[x] = static_cast<uint8_t>(y * 9 + x);
    src.GetPalette()[200] = PLRGBQuad{10, 20, 30, 255};
    CHeapBitmap out;
    CRotateFilter(-HalfPi, PLMakePixel(30, 20, 10)).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    ASSERT_EQ(out.GetWidth(), 4);
    ASSERT_EQ(out.GetHeight(), 9);
    EXPECT_EQ(out.GetPalette()[200].rgbRed, 30);
    // Clockwise: the left column becomes the top row, read from the bottom up.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(out.GetLine(y)[x], src.GetLine(3 - x)[y]);

    CHeapBitmap turned;
    CRotateFilter(0.4, PLMakePixel(30, 20, 10)).Apply(src, turned);
    EXPECT_EQ(turned.GetLine(0)[0], 200);  // the fill takes the nearest colour table entry

    CHeapBitmap mono;
    mono.Create(13, 3, 1, false);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 13; ++x) mono.SetPixelIndex(x, y, static_cast<uint8_t>((x * 7 + y) % 3 == 0));
    CHeapBitmap monoOut;
    CRotateFilter(HalfPi, 0).Apply(mono, monoOut);
    ASSERT_EQ(monoOut.GetBitsPerPixel(), 1);
    ASSERT_EQ(monoOut.GetWidth(), 3);
    ASSERT_EQ(monoOut.GetHeight(), 13);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(monoOut.GetPixelIndex(x, y), mono.GetPixelIndex(12 - y, x));
}

TEST(RotateFilter, RefusesAnAngleThatIsNotANumber) {
    CHeapBitmap src, out;
    FillCoords(src, 4, 4);
    try {
        CRotateFilter(std::nan(""), 0).Apply(src, out);
        FAIL() << "no exception";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), PLErr::UnknownVariant);
    }
    EXPECT_THROW(CRotateFilter(INFINITY, 0).Apply(src, out), CTextException);
}

TEST(RotateFilter, ReportsProgressPerTargetRow) {
    CHeapBitmap src, out;
    FillCoords(src, 20, 10);
    CRecordingSink sink;
    CRotateFilter(0.5, 0, &sink).Apply(src, out);
    ASSERT_EQ(sink.values.size(), static_cast<size_t>(out.GetHeight()) + 2);
    EXPECT_DOUBLE_EQ(sink.values.front(), 0.01);
    EXPECT_DOUBLE_EQ(sink.values[1], 0.01);
    EXPECT_DOUBLE_EQ(sink.values[2], 1 * 0.99 / out.GetHeight() + 0.01);
    EXPECT_DOUBLE_EQ(sink.values.back(), 1.0);
    EXPECT_TRUE(sink.IsMonotonic());
}

TEST(RotateFilter, InPlaceGivesTheSameResult) {
    CHeapBitmap src, out;
    FillRandom(src, 31, 17, 9);
    CRotateFilter(0.7, 0x55).Apply(src, out);
    CRotateFilter(0.7, 0x55).ApplyInPlace(src);
    EXPECT_TRUE(SamePixels(src, out));
    CPackedDibBitmap dib;
    FillRandom(dib, 31, 17, 9);
    CRotateFilter(0.7, 0x55).Apply(dib, dib);
    EXPECT_TRUE(SamePixels(dib, out));
}

// ---------------------------------------------------------------------------------------------
// Flips

TEST(FlipFilters, MirrorPixelsAndRows) {
    CHeapBitmap src;
    FillCoords(src, 7, 5);
    src.SetHasAlpha(true);
    CHeapBitmap h, v;
    CFlipHorizontalFilter().Apply(src, h);
    CFlipVerticalFilter().Apply(src, v);
    EXPECT_EQ(h.GetBitsPerPixel(), 32);
    EXPECT_FALSE(h.HasAlpha());
    EXPECT_FALSE(v.HasAlpha());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(Pixel32(h, 6 - x, y), CoordPixel(x, y));
            EXPECT_EQ(Pixel32(v, x, 4 - y), CoordPixel(x, y));
        }
    for (int w : {1, 2, 3, 8}) {
        for (int hh : {1, 2, 3}) {
            CHeapBitmap a, b1, b2;
            FillRandom(a, w, hh, static_cast<uint32_t>(w * 10 + hh), true);
            CFlipHorizontalFilter().Apply(a, b1);
            b2.CreateCopy(a, 0);
            CFlipHorizontalFilter().ApplyInPlace(b2);
            EXPECT_TRUE(SamePixels(b1, b2));
            EXPECT_FALSE(b2.HasAlpha());
            CFlipVerticalFilter().Apply(a, b1);
            b2.CreateCopy(a, 0);
            CFlipVerticalFilter().ApplyInPlace(b2);
            EXPECT_TRUE(SamePixels(b1, b2));
        }
    }
}

TEST(FlipFilters, IndexedSourcesBecomeTrueColour) {
    CHeapBitmap src;
    src.Create(3, 2, 8, false);
    src.GetPalette()[1] = PLRGBQuad{1, 2, 3, 255};
    src.GetLine(0)[0] = 1;
    CHeapBitmap out;
    CFlipHorizontalFilter().Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 32);
    EXPECT_EQ(Pixel32(out, 2, 0), PLMakePixel(3, 2, 1, 255));
    CFlipVerticalFilter().ApplyInPlace(src);
    ASSERT_EQ(src.GetBitsPerPixel(), 32);
    EXPECT_EQ(Pixel32(src, 0, 1), PLMakePixel(3, 2, 1, 255));
}

TEST(FlipFilters, ProgressSchedules) {
    CHeapBitmap src, out;
    FillCoords(src, 4, 8);
    CRecordingSink hs, vs;
    CFlipHorizontalFilter(&hs).Apply(src, out);
    CFlipVerticalFilter(&vs).ApplyInPlace(src);
    ASSERT_EQ(hs.values.size(), 10u);
    EXPECT_DOUBLE_EQ(hs.values[0], 0.04);
    EXPECT_DOUBLE_EQ(hs.values[2], 0.96 / 8 + 0.04);
    EXPECT_DOUBLE_EQ(hs.values.back(), 1.0);
    ASSERT_EQ(vs.values.size(), 10u);
    EXPECT_DOUBLE_EQ(vs.values[0], 0.05);
    EXPECT_DOUBLE_EQ(vs.values[8], 7 * 0.95 / 8 + 0.05);
    EXPECT_TRUE(vs.IsMonotonic());
}

// ---------------------------------------------------------------------------------------------
// Crop

TEST(CropFilter, CutsTheRectangleWhicheverWayItIsGiven) {
    CHeapBitmap src;
    FillCoords(src, 20, 10);
    for (auto r : {PLFilterRect{3, 2, 9, 7}, PLFilterRect{9, 7, 3, 2}, PLFilterRect{3, 7, 9, 2}}) {
        CHeapBitmap out;
        CCropFilter(r.left, r.right, r.top, r.bottom).Apply(src, out);
        ASSERT_EQ(out.GetWidth(), 6);
        ASSERT_EQ(out.GetHeight(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel32(out, x, y), CoordPixel(x + 3, y + 2));
    }
    CCropFilter f(8, 2, 9, 1);
    EXPECT_EQ(f.GetRect(), (PLFilterRect{2, 1, 8, 9}));
}

TEST(CropFilter, KeepsThePartInsideAndRefusesAnEmptyOne) {
    CHeapBitmap src, out;
    FillCoords(src, 20, 10);
    CCropFilter(-5, 4, 8, 100).Apply(src, out);
    ASSERT_EQ(out.GetWidth(), 4);
    ASSERT_EQ(out.GetHeight(), 2);
    EXPECT_EQ(Pixel32(out, 0, 0), CoordPixel(0, 8));
    for (auto r : {PLFilterRect{20, 0, 30, 5}, PLFilterRect{-10, 0, 0, 5}, PLFilterRect{3, 3, 3, 8}}) {
        try {
            CCropFilter(r.left, r.right, r.top, r.bottom).Apply(src, out);
            FAIL() << "no exception";
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), PLErr::UnknownVariant);
        }
    }
}

TEST(CropFilter, IndexedBitmapsKeepTheirColourTable) {
    CHeapBitmap src;
    src.Create(12, 3, 8, false);
    src.GetPalette()[7] = PLRGBQuad{7, 8, 9, 255};
    for (int x = 0; x < 12; ++x) src.GetLine(1)[x] = static_cast<uint8_t>(x);
    CHeapBitmap out;
    CCropFilter(5, 9, 1, 2).Apply(src, out);
    ASSERT_EQ(out.GetBitsPerPixel(), 8);
    EXPECT_EQ(out.GetLine(0)[2], 7);
    EXPECT_EQ(out.GetPalette()[7].rgbRed, 9);

    CPackedDibBitmap mono;
    mono.Create(21, 2, 1, false);
    for (int x = 0; x < 21; ++x) mono.SetPixelIndex(x, 1, static_cast<uint8_t>(x % 3 == 0));
    CHeapBitmap part;
    CCropFilter(5, 19, 1, 2).Apply(mono, part);
    ASSERT_EQ(part.GetBitsPerPixel(), 1);
    ASSERT_EQ(part.GetWidth(), 14);
    for (int x = 0; x < 14; ++x) EXPECT_EQ(part.GetPixelIndex(x, 0), (x + 5) % 3 == 0) << x;
}

// ---------------------------------------------------------------------------------------------
// Region move

namespace {
// Fill, then copy from the untouched source, one pixel at a time.
void ReferenceMove(const CDibBitmap& src, PLFilterRect sel, PLFilterRect from, PLFilterRect to, bool copy, PLPixel32 fill,
                   CHeapBitmap& out) {
    out.CreateCopy(src, 0);
    const int w = src.GetWidth(), h = src.GetHeight();
    if (!copy)
        for (int y = std::max(0, sel.top); y < std::min(h, sel.bottom); ++y)
            for (int x = std::max(0, sel.left); x < std::min(w, sel.right); ++x) SetPixel32(out, x, y, fill);
    const int rows = std::min(sel.Height(), to.Height()), cols = std::min(sel.Width(), to.Width());
    for (int k = 0; k < rows; ++k)
        for (int i = 0; i < cols; ++i) {
            int sx = from.left + i, sy = from.top + k, tx = to.left + i, ty = to.top + k;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h && tx >= 0 && tx < w && ty >= 0 && ty < h)
                SetPixel32(out, tx, ty, Pixel32(src, sx, sy));
        }
}
}  // namespace

TEST(RegionMoveFilter, MovesAndCopiesLikeTheDefinition) {
    CHeapBitmap src;
    FillCoords(src, 16, 12);
    const uint32_t colorRef = 0x00332211;  // red 0x11, green 0x22, blue 0x33
    const PLPixel32 fill = 0x00112233;
    struct Case {
        PLFilterRect sel, from, to;
    } cases[] = {
        {{2, 2, 6, 6}, {2, 2, 6, 6}, {4, 3, 8, 7}},            // overlapping move
        {{6, 6, 2, 2}, {2, 2, 6, 6}, {8, 7, 4, 3}},            // reversed corners
        {{10, 5, 16, 12}, {10, 5, 16, 12}, {13, 8, 19, 15}},   // target runs off the bottom right
        {{0, 0, 5, 5}, {2, 2, 5, 5}, {-3, -3, 2, 2}},          // target starts off the top left
        {{-4, -4, 30, 30}, {-4, -4, 30, 30}, {-10, 3, 24, 37}}, // everything larger than the image
        {{3, 3, 8, 8}, {0, 0, 0, 0}, {0, 0, 0, 0}},            // cut: fill only
        {{100, 100, 110, 110}, {100, 100, 110, 110}, {200, 0, 210, 10}},  // all outside
    };
    for (const Case& c : cases) {
        for (bool copy : {false, true}) {
            CRegionMoveFilter filter(c.sel, c.from, c.to, copy, colorRef);
            CHeapBitmap expected, applied, inPlace;
            ReferenceMove(src, c.sel.Normalized(), c.from.Normalized(), c.to.Normalized(), copy, fill, expected);
            filter.Apply(src, applied);
            inPlace.CreateCopy(src, 0);
            filter.ApplyInPlace(inPlace);
            EXPECT_TRUE(SamePixels(applied, expected)) << c.sel.left << "," << c.sel.top << " copy " << copy;
            EXPECT_TRUE(SamePixels(inPlace, expected)) << c.sel.left << "," << c.sel.top << " copy " << copy;
        }
    }
}

TEST(RegionMoveFilter, FillsIndexedBitmapsWithTheNearestEntry) {
    CHeapBitmap src;
    src.Create(8, 8, 8, false);  // grey ramp
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) src.GetLine(y)[x] = static_cast<uint8_t>(y * 8 + x);
    CHeapBitmap out;
    CRegionMoveFilter(PLFilterRect{1, 1, 3, 3}, PLFilterRect{1, 1, 3, 3}, PLFilterRect{5, 5, 7, 7}, false, 0x00646464)
        .Apply(src, out);
    EXPECT_EQ(out.GetLine(1)[1], 100);
    EXPECT_EQ(out.GetLine(2)[2], 100);
    EXPECT_EQ(out.GetLine(5)[5], 9);
    EXPECT_EQ(out.GetLine(6)[6], 18);
    EXPECT_EQ(out.GetLine(0)[0], 0);

    CHeapBitmap mono;
    mono.Create(19, 4, 1, false);  // 0 black, 1 white
    CRegionMoveFilter(PLFilterRect{3, 1, 17, 3}, PLFilterRect{}, PLFilterRect{}, false, 0x00FFFFFF).ApplyInPlace(mono);
    for (int x = 0; x < 19; ++x) EXPECT_EQ(mono.GetPixelIndex(x, 2), x >= 3 && x < 17 ? 1 : 0) << x;
    EXPECT_EQ(mono.GetPixelIndex(5, 0), 0);
}

TEST(RegionMoveFilter, ProgressCoversFillThenCopy) {
    CHeapBitmap src;
    FillCoords(src, 10, 10);
    CRecordingSink move, copy;
    CRegionMoveFilter(PLFilterRect{0, 0, 4, 4}, PLFilterRect{0, 0, 4, 4}, PLFilterRect{5, 5, 9, 9}, false, 0, &move)
        .ApplyInPlace(src);
    EXPECT_DOUBLE_EQ(move.values.front(), 0.01);
    EXPECT_NE(std::find(move.values.begin(), move.values.end(), 0.5), move.values.end());
    EXPECT_DOUBLE_EQ(move.values.back(), 1.0);
    EXPECT_TRUE(move.IsMonotonic());
    CRegionMoveFilter(PLFilterRect{0, 0, 4, 4}, PLFilterRect{0, 0, 4, 4}, PLFilterRect{5, 5, 9, 9}, true, 0, &copy)
        .ApplyInPlace(src);
    EXPECT_DOUBLE_EQ(copy.values.front(), 0.0);
    EXPECT_DOUBLE_EQ(copy.values.back(), 1.0);
}

// ---------------------------------------------------------------------------------------------
// Paste

TEST(PasteFilter, PastesTheSourceRectangleClippedToTheImage) {
    CHeapBitmap image, picture;
    FillCoords(image, 12, 9);
    FillRandom(picture, 6, 5, 3);
    CPasteFilter filter(picture, PLFilterRect{1, 1, 6, 5}, PLFilterRect{9, 6, 14, 10});
    // The filter holds its own copy of the picture.
    picture.Create(1, 1, 32, false);
    CHeapBitmap out;
    filter.Apply(image, out);
    const CDibBitmap& held = filter.GetPasted();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool pasted = x >= 9 && y >= 6;
            EXPECT_EQ(Pixel32(out, x, y), pasted ? Pixel32(held, x - 9 + 1, y - 6 + 1) : CoordPixel(x, y)) << x << "," << y;
        }
    CPasteFilter wild(held, PLFilterRect{-3, -3, 40, 40}, PLFilterRect{-8, -2, 30, 30});
    wild.ApplyInPlace(image);  // must stay inside both bitmaps
    // Only picture column 5 lands on image column 0 (offset 8), picture rows 0..4 on rows 1..5.
    EXPECT_EQ(Pixel32(image, 0, 0), CoordPixel(0, 0));
    EXPECT_EQ(Pixel32(image, 0, 1), Pixel32(held, 5, 0));
    EXPECT_EQ(Pixel32(image, 0, 5), Pixel32(held, 5, 4));
    EXPECT_EQ(Pixel32(image, 1, 1), CoordPixel(1, 1));
}

TEST(PasteFilter, MatchesColoursToAnIndexedImage) {
    CHeapBitmap image;
    image.Create(6, 6, 8, false);  // grey ramp
    CHeapBitmap picture;
    picture.Create(2, 2, 32, false);
    SetPixel32(picture, 0, 0, PLMakePixel(10, 10, 10));
    SetPixel32(picture, 1, 0, PLMakePixel(200, 200, 200));
    SetPixel32(picture, 0, 1, PLMakePixel(255, 0, 0));
    SetPixel32(picture, 1, 1, PLMakePixel(0, 0, 0));
    CPasteFilter(picture, PLFilterRect{0, 0, 2, 2}, PLFilterRect{3, 3, 5, 5}).ApplyInPlace(image);
    EXPECT_EQ(image.GetLine(3)[3], 10);
    EXPECT_EQ(image.GetLine(3)[4], 200);
    EXPECT_EQ(image.GetLine(4)[3], image.FindNearestColor(PLMakePixel(255, 0, 0)));
    EXPECT_EQ(image.GetLine(4)[4], 0);
    EXPECT_EQ(image.GetLine(2)[2], 0);

    // A black and white picture pasted into a 1-bit image whose colours are red and white.
    CHeapBitmap mono;
    mono.Create(10, 1, 1, false);
    mono.GetPalette()[0] = PLRGBQuad{0, 0, 255, 255};
    mono.GetPalette()[1] = PLRGBQuad{255, 255, 255, 255};
    CPasteFilter(picture, PLFilterRect{0, 1, 2, 2}, PLFilterRect{7, 0, 9, 1}).ApplyInPlace(mono);
    EXPECT_EQ(mono.GetPixelIndex(7, 0), 0);  // red is nearer to (255, 0, 0) than white
    EXPECT_EQ(mono.GetPixelIndex(8, 0), 0);  // and to black
    EXPECT_EQ(mono.GetPixelIndex(9, 0), 0);
    CPasteFilter(picture, PLFilterRect{1, 0, 2, 1}, PLFilterRect{3, 0, 4, 1}).ApplyInPlace(mono);
    EXPECT_EQ(mono.GetPixelIndex(3, 0), 1);  // (200, 200, 200) takes white

    CHeapBitmap indexed;
    indexed.Create(2, 1, 8, false);
    indexed.GetLine(0)[0] = 77;
    indexed.GetLine(0)[1] = 78;
    CHeapBitmap target;
    target.Create(4, 1, 8, false);
    CRecordingSink sink;
    CPasteFilter(indexed, PLFilterRect{0, 0, 2, 1}, PLFilterRect{1, 0, 3, 1}, &sink).ApplyInPlace(target);
    EXPECT_EQ(target.GetLine(0)[1], 77);
    EXPECT_EQ(target.GetLine(0)[2], 78);
    ASSERT_EQ(sink.values.size(), 3u);
    EXPECT_DOUBLE_EQ(sink.values[0], 0.08);
    EXPECT_DOUBLE_EQ(sink.values[1], 0.08);
    EXPECT_DOUBLE_EQ(sink.values[2], 1.0);
}
