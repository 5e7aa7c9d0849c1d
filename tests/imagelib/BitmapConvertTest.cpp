// CreateCopy: same-depth copies between kinds and every conversion to 1, 8 and 32 bits.

#include <gtest/gtest.h>

#include <memory>

#include "BitmapTestUtil.h"
#include "DibBitmap.h"
#include "PackedDibBitmap.h"

namespace {

std::unique_ptr<CDibBitmap> MakeKind(int kind) {
    if (kind == 0) return std::make_unique<CPackedDibBitmap>();
    return std::make_unique<CHeapBitmap>();
}

// Pairs of kinds (source, target): packed/heap in all four combinations.
class CopyAcrossKinds : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(CopyAcrossKinds, SameDepthCopiesRowsPaletteAndAlpha) {
    auto [sk, tk] = GetParam();
    for (uint16_t bpp : {1, 4, 8, 32}) {
        auto src = MakeKind(sk);
        auto dst = MakeKind(tk);
        src->Create(9, 3, bpp, bpp == 32);
        int32_t rowBytes = src->GetPixelBytesPerLine();
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < rowBytes; ++i) src->GetLine(y)[i] = static_cast<uint8_t>(y * 31 + i * 7 + 1);
        if (bpp <= 8) src->GetPalette()[1] = PLRGBQuad{9, 8, 7, 6};
        dst->CreateCopy(*src);
        ASSERT_EQ(dst->GetBitsPerPixel(), bpp);
        EXPECT_EQ(dst->GetSize(), (PLSize{9, 3}));
        EXPECT_EQ(dst->HasAlpha(), bpp == 32);
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < rowBytes; ++i) EXPECT_EQ(dst->GetLine(y)[i], src->GetLine(y)[i]) << bpp;
        if (bpp <= 8) {
            EXPECT_EQ(dst->GetPalette()[1].rgbRed, 7);
            EXPECT_EQ(dst->GetPalette()[1].rgbReserved, 6);
        }
        EXPECT_EQ(src->GetLockCount(), 0);
        EXPECT_EQ(dst->GetLockCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CopyAcrossKinds,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1)));

TEST(CreateCopy, OntoItselfAtTheSameDepthLeavesItUntouched) {
    CPackedDibBitmap bmp;
    bmp.Create(3, 2, 32, true);
    bmp.SetPixel(1, 1, 0x01020304);
    uint8_t* bits = bmp.GetBits();
    bmp.CreateCopy(bmp, 0);
    bmp.CreateCopy(bmp, 32);
    EXPECT_EQ(bmp.GetBits(), bits);  // not even reallocated
    EXPECT_EQ(bmp.GetPixel(1, 1), 0x01020304u);
    EXPECT_TRUE(bmp.HasAlpha());
}

TEST(CreateCopy, OntoItselfAtAnotherDepthConverts) {
    CHeapBitmap bmp;
    bmp.Create(3, 1, 8, false);
    bmp.GetLine(0)[0] = 0;
    bmp.GetLine(0)[1] = 200;
    bmp.GetLine(0)[2] = 100;
    bmp.CreateCopy(bmp, 32);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_EQ(bmp.GetPixel(1, 0), PLMakePixel(200, 200, 200));
    bmp.CreateCopy(bmp, 1);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 1);
    EXPECT_EQ(bmp.GetLine(0)[0], 0xA0);  // black, white, black
}

TEST(CreateCopy, OneBitWithoutPaletteTo32) {
    CNoPaletteBitmap src;
    src.Create(10, 1, 1, false);
    ASSERT_EQ(src.GetPalette(), nullptr);
    src.GetLine(0)[0] = 0xA5;  // 1010 0101
    src.GetLine(0)[1] = 0x40;  // pixel 9 set
    CPackedDibBitmap dst;
    dst.CreateCopy(src, 32);
    const uint32_t expected[10] = {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF,
                                   0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(dst.GetPixel(x, 0), expected[x]) << x;
    EXPECT_FALSE(dst.HasAlpha());
}

TEST(CreateCopy, OneBitWithPaletteTo32UsesItsEntries) {
    CHeapBitmap src;
    src.Create(17, 2, 1, false);
    src.GetPalette()[0] = PLRGBQuad{1, 2, 3, 4};
    src.GetPalette()[1] = PLRGBQuad{5, 6, 7, 8};
    src.SetPixelIndex(16, 1, 1);
    src.SetPixelIndex(3, 0, 1);
    CHeapBitmap dst;
    dst.CreateCopy(src, 32);
    EXPECT_EQ(dst.GetPixel(16, 1), PLMakePixel(7, 6, 5, 8));
    EXPECT_EQ(dst.GetPixel(3, 0), PLMakePixel(7, 6, 5, 8));
    EXPECT_EQ(dst.GetPixel(15, 1), PLMakePixel(3, 2, 1, 4));
}

TEST(CreateCopy, EightAndFourBitTo32ThroughThePalette) {
    CPackedDibBitmap src;
    src.Create(3, 2, 8, false);
    src.GetPalette()[200] = PLRGBQuad{10, 20, 30, 40};
    src.GetLine(1)[2] = 200;
    src.GetLine(0)[0] = 5;
    CHeapBitmap dst;
    dst.CreateCopy(src, 32);
    EXPECT_EQ(dst.GetPixel(2, 1), PLMakePixel(30, 20, 10, 40));
    EXPECT_EQ(dst.GetPixel(0, 0), PLMakePixel(5, 5, 5, 255));

    CHeapBitmap four;
    four.Create(3, 1, 4, false);
    four.SetPixelIndex(0, 0, 15);
    four.SetPixelIndex(1, 0, 1);
    four.SetPixelIndex(2, 0, 2);
    dst.CreateCopy(four, 32);
    EXPECT_EQ(dst.GetPixel(0, 0), PLMakePixel(255, 255, 255));
    EXPECT_EQ(dst.GetPixel(1, 0), PLMakePixel(17, 17, 17));
    EXPECT_EQ(dst.GetPixel(2, 0), PLMakePixel(34, 34, 34));
}

TEST(CreateCopy, AlphaSurvivesOnlyInto32Bits) {
    CHeapBitmap src;
    src.Create(2, 2, 32, true);
    CHeapBitmap dst;
    dst.CreateCopy(src, 1);
    EXPECT_FALSE(dst.HasAlpha());
    CHeapBitmap back;
    back.CreateCopy(dst, 32);
    EXPECT_FALSE(back.HasAlpha());
}

TEST(CreateCopy, To1BitThresholds) {
    CHeapBitmap src;
    src.Create(11, 1, 32, false);
    const PLPixel32 pixels[11] = {
        PLMakePixel(127, 127, 127), PLMakePixel(128, 0, 0), PLMakePixel(0, 128, 0), PLMakePixel(0, 0, 128),
        PLMakePixel(0, 0, 0),       PLMakePixel(255, 255, 255), PLMakePixel(127, 0, 127), PLMakePixel(10, 200, 10),
        PLMakePixel(127, 127, 128), PLMakePixel(1, 1, 1, 0), PLMakePixel(127, 127, 127, 0)};
    const int black[11] = {1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1};
    for (int x = 0; x < 11; ++x) src.SetPixel(x, 0, pixels[x]);
    for (int kind = 0; kind < 2; ++kind) {
        auto dst = MakeKind(kind);
        dst->CreateCopy(src, 1);
        ASSERT_EQ(dst->GetBitsPerPixel(), 1);
        EXPECT_EQ(dst->GetPalette()[0].rgbRed, 255);
        EXPECT_EQ(dst->GetPalette()[0].rgbReserved, 255);
        EXPECT_EQ(dst->GetPalette()[1].rgbRed, 0);
        EXPECT_EQ(dst->GetPalette()[1].rgbReserved, 255);
        for (int x = 0; x < 11; ++x) EXPECT_EQ(dst->GetPixelIndex(x, 0), black[x]) << x;
        EXPECT_EQ(dst->GetLine(0)[1] & 0x1F, 0) << "bits beyond the width stay clear";
    }
}

TEST(CreateCopy, To1BitFrom8BitReadsThePalette) {
    CPackedDibBitmap src;
    src.Create(9, 2, 8, false);
    src.GetPalette()[0] = PLRGBQuad{0, 0, 200, 255};     // red 200: white
    src.GetPalette()[1] = PLRGBQuad{127, 127, 127, 255};  // black
    for (int x = 0; x < 9; ++x) src.GetLine(0)[x] = static_cast<uint8_t>(x & 1);
    for (int x = 0; x < 9; ++x) src.GetLine(1)[x] = static_cast<uint8_t>(x < 4 ? 100 : 200);  // grey ramp
    CPackedDibBitmap dst;
    dst.CreateCopy(src, 1);
    EXPECT_EQ(dst.GetLine(0)[0], 0x55);
    EXPECT_EQ(dst.GetLine(0)[1], 0x00);
    EXPECT_EQ(dst.GetLine(1)[0], 0xF0);
    EXPECT_EQ(dst.GetLine(1)[1], 0x00);
}

TEST(CreateCopy, To8BitFrom1BitKeepsTheTwoColours) {
    CHeapBitmap src;
    src.Create(9, 1, 1, false);
    src.GetPalette()[0] = PLRGBQuad{10, 20, 30, 0};
    src.GetPalette()[1] = PLRGBQuad{40, 50, 60, 0};
    src.SetPixelIndex(8, 0, 1);
    src.SetPixelIndex(0, 0, 1);
    CPackedDibBitmap dst;
    dst.CreateCopy(src, 8);
    ASSERT_EQ(dst.GetBitsPerPixel(), 8);
    EXPECT_EQ(dst.GetPalette()[0].rgbRed, 30);
    EXPECT_EQ(dst.GetPalette()[0].rgbReserved, 255);
    EXPECT_EQ(dst.GetPalette()[1].rgbBlue, 40);
    EXPECT_EQ(dst.GetPalette()[1].rgbReserved, 255);
    const uint8_t expected[9] = {1, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 9; ++x) EXPECT_EQ(dst.GetLine(0)[x], expected[x]);

    CNoPaletteBitmap bare;
    bare.Create(2, 1, 1, false);
    bare.SetPixelIndex(1, 0, 1);
    dst.CreateCopy(bare, 8);
    EXPECT_EQ(dst.GetPalette()[0].rgbGreen, 255);  // white
    EXPECT_EQ(dst.GetPalette()[1].rgbGreen, 0);    // black
    EXPECT_EQ(dst.GetPixel(1, 0), 0xFF000000u);
}

TEST(CreateCopy, FourBitSourcesTo8And1) {
    // A device bitmap of 16 colours arrives as 4 bits; the editor needs 8 or 1.
    CHeapBitmap src;
    src.Create(5, 1, 4, false);
    src.GetPalette()[2] = PLRGBQuad{0, 0, 255, 255};    // red: white at 1 bit
    src.GetPalette()[3] = PLRGBQuad{100, 100, 100, 0};  // dark grey: black
    const uint8_t indices[5] = {2, 3, 15, 0, 3};
    for (int x = 0; x < 5; ++x) src.SetPixelIndex(x, 0, indices[x]);
    CPackedDibBitmap eight;
    eight.CreateCopy(src, 8);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(eight.GetLine(0)[x], indices[x]);
    EXPECT_EQ(eight.GetPalette()[2].rgbRed, 255);
    EXPECT_EQ(eight.GetPalette()[3].rgbReserved, 255);
    EXPECT_EQ(eight.GetPalette()[15].rgbGreen, 255);
    CPackedDibBitmap one;
    one.CreateCopy(src, 1);
    EXPECT_EQ(one.GetLine(0)[0], 0x58);  // 0 1 0 1 1
}

TEST(CreateCopy, UnsupportedTargetsKeepTheContent) {
    CHeapBitmap src;
    src.Create(4, 4, 32, false);
    CPackedDibBitmap dst;
    dst.Create(2, 2, 8, false);
    for (uint16_t bpp : {4, 16, 24, 2}) {
        EXPECT_THROW(dst.CreateCopy(src, bpp), CTextException) << bpp;
        EXPECT_EQ(dst.GetWidth(), 2);
        EXPECT_EQ(dst.GetBitsPerPixel(), 8);
    }
}

TEST(CreateCopy, FailedCreateLeavesAnEmptyButSafeBitmap) {
    // A kind whose allocation always fails, as when memory runs out.
    class CFailingBitmap : public CHeapBitmap {
    protected:
        void InternalCreate(int32_t, int32_t, uint16_t, bool) override {
            throw CTextException(PLErr::NoMemory, "Out of memory creating bitmap.");
        }
    };
    CHeapBitmap src;
    src.Create(5, 5, 32, false);
    CFailingBitmap dst;  // constructed by its base as 16 x 16 x 8
    EXPECT_FALSE(dst.IsEmpty());
    try {
        dst.CreateCopy(src, 0);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), 10);
    }
    EXPECT_TRUE(dst.IsEmpty());
    EXPECT_EQ(dst.GetWidth(), 0);
    EXPECT_EQ(dst.GetLineArray(), nullptr);
    EXPECT_EQ(dst.GetPixel(0, 0), 0u);
    dst.SetPixel(0, 0, 1);
    EXPECT_EQ(src.GetLockCount(), 0);
    // Copying from the empty bitmap is refused, not read.
    CHeapBitmap other;
    EXPECT_THROW(other.CreateCopy(dst, 0), CTextException);
    EXPECT_EQ(other.GetWidth(), 16);
}

}  // namespace

// 32 to 8 bits goes through the colour quantiser with the target's palette and dither modes.
#include "filters/QuantizeFilter.h"

namespace {

void FillFourColours(CDibBitmap& bmp) {
    bmp.Create(10, 6, 32, true);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            bmp.SetPixel(x, y, x < 5 ? (y < 3 ? PLMakePixel(0, 0, 0) : PLMakePixel(255, 255, 255))
                                     : (y < 3 ? PLMakePixel(255, 0, 0) : PLMakePixel(0, 0, 255)));
}

TEST(CreateCopyQuantize, DefaultIsTheFixedPaletteWithoutDither) {
    CHeapBitmap src;
    FillFourColours(src);
    CPackedDibBitmap dst;
    EXPECT_EQ(dst.GetPaletteMode(), 2);
    EXPECT_EQ(dst.GetDitherMode(), 0);
    dst.CreateCopy(src, 8);
    ASSERT_EQ(dst.GetBitsPerPixel(), 8);
    EXPECT_FALSE(dst.HasAlpha());
    const auto& fixed = CQuantizeFilter::FixedPaletteEntries();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(dst.GetPalette()[i].rgbRed, fixed[i].rgbRed) << i;
        EXPECT_EQ(dst.GetPalette()[i].rgbBlue, fixed[i].rgbBlue) << i;
    }
    // Pure black, white, red and blue are all in the fixed palette.
    EXPECT_EQ(dst.GetPixel(0, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(dst.GetPixel(0, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(dst.GetPixel(9, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(dst.GetPixel(9, 5) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(src.GetLockCount(), 0);
}

TEST(CreateCopyQuantize, UsesTheTargetsModes) {
    CHeapBitmap src;
    FillFourColours(src);
    CHeapBitmap dst;
    dst.SetPaletteMode(1);  // popularity: black, red, blue, green, ... first
    dst.SetDitherMode(2);
    dst.CreateCopy(src, 8);
    EXPECT_EQ(dst.GetPaletteMode(), 1);
    EXPECT_EQ(dst.GetDitherMode(), 2);
    EXPECT_EQ(dst.GetPalette()[1].rgbRed, 255);
    EXPECT_EQ(dst.GetPalette()[1].rgbGreen, 0);
    EXPECT_EQ(dst.GetPalette()[2].rgbBlue, 255);
    EXPECT_EQ(dst.GetPixel(0, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(dst.GetPixel(9, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST(CreateCopyQuantize, InPlace) {
    CPackedDibBitmap bmp;
    FillFourColours(bmp);
    bmp.CreateCopy(bmp, 8);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.GetPixel(0, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bmp.GetPixel(9, 5) & 0xFFFFFF, 0x0000FFu);
}

}  // namespace
