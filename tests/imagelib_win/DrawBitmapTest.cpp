// Drawing of the DIB kinds into memory DCs, read back pixel by pixel.

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <functional>
#include <type_traits>

#include "GdiTestUtil.h"
#include "PackedDibBitmap.h"
#include "win/DisplayBitmap.h"
#include "win/SectionDibBitmap.h"

namespace {

constexpr uint32_t kBackground = 0x010203;  // RGB(1, 2, 3) as 0x00RRGGBB

uint32_t Expected(int x, int y) { return Rgb(static_cast<uint8_t>(x * 40 + 10), static_cast<uint8_t>(y * 50 + 20), 77); }

template <class Kind>
void Paint(Kind& bmp) {
    bmp.Create(4, 3, 32, false);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) bmp.SetPixel(x, y, Expected(x, y) | 0xFF000000u);
}

// Checks that the canvas shows the bitmap's source rectangle (sl, st, sw x sh) scaled into
// (dx, dy, dw x dh), sampling the centre of every destination pixel, and background around.
void ExpectPlaced(const TestCanvas& canvas, int dx, int dy, int dw, int dh, int sl, int st, int sw, int sh,
                  const char* what) {
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= dx && x < dx + dw && y >= dy && y < dy + dh;
            uint32_t want = kBackground;
            if (inside) want = Expected(sl + (x - dx) * sw / dw, st + (y - dy) * sh / dh);
            ASSERT_EQ(canvas.At(x, y), want) << what << " at " << x << "," << y;
        }
    }
}

using DrawFn = std::function<void(HDC)>;

template <class Kind>
void CheckTheFourDrawingCalls() {
    Kind bmp;
    Paint(bmp);
    {
        TestCanvas c(12, 12);
        bmp.Draw(c.dc(), 2, 1);
        ExpectPlaced(c, 2, 1, 4, 3, 0, 0, 4, 3, "Draw");
    }
    {
        TestCanvas c(12, 12);
        bmp.StretchDraw(c.dc(), 1, 2, 8, 6);
        ExpectPlaced(c, 1, 2, 8, 6, 0, 0, 4, 3, "StretchDraw");
    }
    {
        TestCanvas c(12, 12);
        bmp.DrawScaled(c.dc(), 0, 0, 2.9);  // 11.6 x 8.7 truncated
        for (int y = 0; y < 12; ++y)
            EXPECT_EQ(c.At(11, y), kBackground) << "DrawScaled truncates the width";
        EXPECT_EQ(c.At(0, 7), Expected(0, 2));
        EXPECT_EQ(c.At(0, 8), kBackground);
        EXPECT_EQ(c.At(10, 0), Expected(3, 0));
    }
    {
        TestCanvas c(12, 12);
        for (double factor : {0.0, -2.0, std::nan(""), 0.1})  // nothing to draw
            bmp.DrawScaled(c.dc(), 0, 0, factor);
        EXPECT_EQ(c.At(0, 0), kBackground);
        bmp.DrawScaled(c.dc(), 0, 0, 1e12);  // clamped, not overflowed (GDI may refuse it)
    }
    {
        TestCanvas c(12, 12);
        bmp.DrawPart(c.dc(), 5, 6, 1, 1, 3, 3);
        ExpectPlaced(c, 5, 6, 2, 2, 1, 1, 2, 2, "DrawPart");
    }
    {
        TestCanvas c(12, 12);
        bmp.DrawPart(c.dc(), 0, 0, 2, 0, 4, 1);  // the top row's right half
        ExpectPlaced(c, 0, 0, 2, 1, 2, 0, 2, 1, "DrawPart top row");
    }
}

TEST(DrawPacked, TheFourCalls) { CheckTheFourDrawingCalls<CPackedDibBitmap>(); }
TEST(DrawSection, TheFourCalls) { CheckTheFourDrawingCalls<CSectionDibBitmap>(); }
TEST(DrawDisplay, TheFourCallsThroughDrawDib) { CheckTheFourDrawingCalls<CDisplayBitmap>(); }

TEST(DrawPacked, RasterOperationIsUsed) {
    CPackedDibBitmap bmp;
    Paint(bmp);
    TestCanvas c(12, 12, RGB(255, 255, 255));
    bmp.Draw(c.dc(), 0, 0, NOTSRCCOPY);
    EXPECT_EQ(c.At(1, 1), ~Expected(1, 1) & 0xFFFFFF);
    bmp.StretchDraw(c.dc(), 0, 0, 4, 3, SRCINVERT);  // XOR onto the inverted copy: all white
    EXPECT_EQ(c.At(2, 2), 0xFFFFFFu);
}

TEST(DrawSection, RasterOperationIsUsed) {
    CSectionDibBitmap bmp;
    Paint(bmp);
    TestCanvas c(12, 12);
    bmp.Draw(c.dc(), 0, 0, NOTSRCCOPY);
    EXPECT_EQ(c.At(3, 2), ~Expected(3, 2) & 0xFFFFFF);
}

template <class Kind>
void CheckIndexedColours() {
    Kind bmp;
    bmp.Create(9, 2, 8, false);
    bmp.GetColorTable()[3] = PLRGBQuad{200, 100, 50, 255};
    bmp.GetColorTable()[4] = PLRGBQuad{1, 2, 250, 255};
    for (int x = 0; x < 9; ++x) bmp.GetLine(0)[x] = 3;
    for (int x = 0; x < 9; ++x) bmp.GetLine(1)[x] = 4;
    TestCanvas c(12, 12);
    bmp.Draw(c.dc(), 0, 0);
    EXPECT_EQ(c.At(8, 0), Rgb(50, 100, 200));
    EXPECT_EQ(c.At(0, 1), Rgb(250, 2, 1));

    // A palette changed after creation is what gets drawn.
    bmp.GetColorTable()[3] = PLRGBQuad{0, 255, 0, 255};
    bmp.Draw(c.dc(), 0, 0);
    EXPECT_EQ(c.At(4, 0), Rgb(0, 255, 0));

    Kind mono;
    mono.Create(9, 1, 1, false);
    mono.GetColorTable()[0] = PLRGBQuad{0, 0, 255, 255};
    mono.GetColorTable()[1] = PLRGBQuad{255, 0, 0, 255};
    mono.SetPixelIndex(8, 0, 1);
    mono.Draw(c.dc(), 0, 5);
    EXPECT_EQ(c.At(7, 5), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(8, 5), Rgb(0, 0, 255));
}

TEST(DrawPacked, IndexedColours) { CheckIndexedColours<CPackedDibBitmap>(); }
TEST(DrawSection, IndexedColours) { CheckIndexedColours<CSectionDibBitmap>(); }
TEST(DrawDisplay, IndexedColours) { CheckIndexedColours<CDisplayBitmap>(); }

TEST(DrawSection, TheHandleCarriesTheColourTable) {
    // Code that blits the section handle itself sees the colours of a copy or an import.
    CHeapBitmap src;
    src.Create(3, 1, 8, false);
    src.GetPalette()[9] = PLRGBQuad{10, 20, 30, 255};
    src.GetLine(0)[1] = 9;
    CSectionDibBitmap bmp;
    bmp.CreateCopy(src);
    auto blitted = [&](int x) {
        TestCanvas c(4, 4);
        UniqueDC memory(::CreateCompatibleDC(nullptr));
        SelectObjectGuard sel(memory.get(), bmp.GetHandle());
        ::BitBlt(c.dc(), 0, 0, 3, 1, memory.get(), 0, 0, SRCCOPY);
        return c.At(x, 0);
    };
    EXPECT_EQ(blitted(1), Rgb(30, 20, 10));
    bmp.GetColorTable()[9] = PLRGBQuad{0, 0, 200, 255};
    bmp.SyncColorTable();
    EXPECT_EQ(blitted(1), Rgb(200, 0, 0));
}

TEST(DrawDisplay, DrawExRectanglesAndModes) {
    CDisplayBitmap bmp;
    Paint(bmp);
    const RECT src{1, 0, 3, 2};
    const RECT dest{4, 4, 8, 8};
    for (int mode : {-1, COLORONCOLOR, HALFTONE, 0}) {
        TestCanvas c(12, 12);
        EXPECT_TRUE(bmp.DrawEx(c.dc(), &dest, &src, nullptr, true, mode, SRCCOPY)) << mode;
        if (mode == HALFTONE) {
            // Halftone filters; only the placement is certain.
            EXPECT_EQ(c.At(3, 3), kBackground);
            EXPECT_NE(c.At(5, 5), kBackground);
            EXPECT_EQ(c.At(8, 8), kBackground);
        } else {
            ExpectPlaced(c, 4, 4, 4, 4, 1, 0, 2, 2, "DrawEx");
        }
    }
    {
        TestCanvas c(12, 12);
        EXPECT_TRUE(bmp.DrawEx(c.dc(), nullptr, nullptr, nullptr, false, -1, SRCCOPY));  // whole, at 0,0
        ExpectPlaced(c, 0, 0, 4, 3, 0, 0, 4, 3, "DrawEx whole");
    }
    {
        TestCanvas c(12, 12);
        EXPECT_TRUE(bmp.DrawEx(c.dc(), nullptr, &src, nullptr, true, COLORONCOLOR, SRCCOPY));  // dest = src
        ExpectPlaced(c, 1, 0, 2, 2, 1, 0, 2, 2, "DrawEx dest = src");
    }
    {
        TestCanvas c(12, 12, RGB(255, 255, 255));
        EXPECT_TRUE(bmp.DrawEx(c.dc(), &dest, &src, nullptr, true, COLORONCOLOR, NOTSRCCOPY));
        EXPECT_EQ(c.At(4, 4), ~Expected(1, 0) & 0xFFFFFF);
    }
    // The stretch mode of the DC comes back as it was.
    TestCanvas c(12, 12);
    ::SetStretchBltMode(c.dc(), BLACKONWHITE);
    bmp.DrawEx(c.dc(), &dest, &src, nullptr, true, COLORONCOLOR, SRCCOPY);
    EXPECT_EQ(::GetStretchBltMode(c.dc()), BLACKONWHITE);
}

TEST(DrawDisplay, DrawDIBits) {
    CDisplayBitmap bmp;
    Paint(bmp);
    const RECT src{1, 1, 3, 3};
    const RECT dest{2, 2, 6, 6};
    {
        TestCanvas c(12, 12);
        EXPECT_TRUE(bmp.DrawDIBits(c.dc(), &dest, &src, nullptr, true, COLORONCOLOR, SRCCOPY));
        ExpectPlaced(c, 2, 2, 4, 4, 1, 1, 2, 2, "DrawDIBits");
    }
    {
        TestCanvas c(12, 12);
        EXPECT_TRUE(bmp.DrawDIBits(c.dc(), nullptr, nullptr, nullptr, true, COLORONCOLOR, SRCCOPY));
        ExpectPlaced(c, 0, 0, 4, 3, 0, 0, 4, 3, "DrawDIBits whole");
    }
    {
        TestCanvas c(12, 12);
        ::SetStretchBltMode(c.dc(), COLORONCOLOR);
        EXPECT_TRUE(bmp.DrawDIBits(c.dc(), &dest, &src, nullptr, true, -1, SRCCOPY));  // halftone
        EXPECT_NE(c.At(3, 3), kBackground);
        EXPECT_EQ(c.At(7, 7), kBackground);
        EXPECT_EQ(::GetStretchBltMode(c.dc()), COLORONCOLOR);
    }
}

TEST(DrawDisplay, PaletteSelectionIsRestored) {
    CDisplayBitmap bmp;
    bmp.Create(3, 3, 8, false);
    TestCanvas c(12, 12);
    HPALETTE before = static_cast<HPALETTE>(::GetCurrentObject(c.dc(), OBJ_PAL));
    RECT dest{0, 0, 3, 3};
    bmp.DrawEx(c.dc(), &dest, nullptr, nullptr, true, -1, SRCCOPY);
    bmp.DrawEx(c.dc(), &dest, nullptr, nullptr, false, COLORONCOLOR, SRCCOPY);
    bmp.DrawDIBits(c.dc(), &dest, nullptr, nullptr, false, COLORONCOLOR, SRCCOPY);
    EXPECT_EQ(::GetCurrentObject(c.dc(), OBJ_PAL), before);
}

TEST(DrawDisplay, NothingToDrawOnANullDC) {
    CDisplayBitmap bmp;
    EXPECT_FALSE(bmp.DrawEx(nullptr, nullptr, nullptr, nullptr, true, -1, SRCCOPY));
    EXPECT_FALSE(bmp.DrawDIBits(nullptr, nullptr, nullptr, nullptr, true, -1, SRCCOPY));
}

}  // namespace
