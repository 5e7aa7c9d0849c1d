// Creation of the portable kinds: geometry, row tables, row lengths, colour tables, limits and
// the state a failed creation leaves behind.

#include <gtest/gtest.h>

#include <cstring>

#include "BitmapTestUtil.h"
#include "DibBitmap.h"
#include "PackedDibBitmap.h"

namespace {

template <class T>
class BitmapKindTest : public ::testing::Test {};
using Kinds = ::testing::Types<CPackedDibBitmap, CHeapBitmap>;
TYPED_TEST_SUITE(BitmapKindTest, Kinds);

TYPED_TEST(BitmapKindTest, ConstructedAs16x16x8WithGreyRamp) {
    TypeParam bmp;
    EXPECT_EQ(bmp.GetWidth(), 16);
    EXPECT_EQ(bmp.GetHeight(), 16);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_FALSE(bmp.HasAlpha());
    ASSERT_NE(bmp.GetPalette(), nullptr);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(bmp.GetPalette()[i].rgbRed, i);
        EXPECT_EQ(bmp.GetPalette()[i].rgbGreen, i);
        EXPECT_EQ(bmp.GetPalette()[i].rgbBlue, i);
        EXPECT_EQ(bmp.GetPalette()[i].rgbReserved, 255);
    }
    EXPECT_EQ(bmp.GetDitherMode(), 0);
    EXPECT_EQ(bmp.GetPaletteMode(), 2);
    EXPECT_EQ(bmp.GetLockCount(), 0);
}

TYPED_TEST(BitmapKindTest, GreyRampSteps) {
    TypeParam bmp;
    bmp.Create(3, 2, 1, false);
    EXPECT_EQ(bmp.GetPalette()[0].rgbRed, 0);
    EXPECT_EQ(bmp.GetPalette()[1].rgbRed, 255);
    bmp.Create(3, 2, 4, false);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bmp.GetPalette()[i].rgbGreen, i * 17);
    bmp.Create(3, 2, 32, true);
    EXPECT_EQ(bmp.GetPalette(), nullptr);
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(bmp.GetNumColors(), 0);
}

TYPED_TEST(BitmapKindTest, RowsAreDistinctZeroedAndCoverTheirBytes) {
    TypeParam bmp;
    for (uint16_t bpp : {1, 4, 8, 32}) {
        for (int32_t w : {1, 7, 8, 9, 31, 33}) {
            bmp.Create(w, 5, bpp, false);
            int32_t rowBytes = bmp.GetPixelBytesPerLine();
            ASSERT_GE(bmp.GetBytesPerLine(), rowBytes);
            for (int y = 0; y < 5; ++y) {
                for (int i = 0; i < rowBytes; ++i) EXPECT_EQ(bmp.GetLine(y)[i], 0);
                std::memset(bmp.GetLine(y), 0x40 + y, rowBytes);  // ASan catches a short row
            }
            for (int y = 0; y < 5; ++y) EXPECT_EQ(bmp.GetLine(y)[rowBytes - 1], 0x40 + y);
        }
    }
}

TYPED_TEST(BitmapKindTest, CreatingTheSameGeometryAgainStartsOver) {
    TypeParam bmp;
    bmp.Create(9, 4, 8, true);
    for (int y = 0; y < 4; ++y) std::memset(bmp.GetLine(y), 0xAB, bmp.GetBytesPerLine());
    bmp.GetPalette()[3] = PLRGBQuad{1, 1, 1, 1};
    bmp.Create(9, 4, 8, false);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(bmp.GetPalette()[3].rgbRed, 3);
    for (int y = 0; y < 4; ++y)
        for (int i = 0; i < bmp.GetBytesPerLine(); ++i) ASSERT_EQ(bmp.GetLine(y)[i], 0);

    // A copy into last time's target is the source exactly, colour table included.
    CHeapBitmap src;
    src.Create(9, 4, 8, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) src.GetLine(y)[x] = static_cast<uint8_t>(x + 10 * y);
    src.GetPalette()[3] = PLRGBQuad{7, 7, 7, 7};
    bmp.CreateCopy(src);
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(bmp.GetPalette()[3].rgbRed, 7);
    EXPECT_EQ(bmp.GetLine(3)[8], 38);
    CHeapBitmap wide;
    wide.Create(9, 4, 32, false);
    wide.SetPixel(8, 3, PLMakePixel(1, 2, 3));
    bmp.CreateCopy(wide, 8);  // through the quantiser into the same geometry
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.GetPixel(0, 0) & 0xFFFFFF, 0u);
}

TEST(BitmapRows, NinePixelRowLengths) {
    CPackedDibBitmap packed;
    CHeapBitmap heap;
    packed.Create(9, 3, 4, false);
    heap.Create(9, 3, 4, false);
    EXPECT_EQ(packed.GetBytesPerLine(), 8);
    EXPECT_EQ(heap.GetBytesPerLine(), 5);  // the ninth pixel needs a byte of its own
    packed.Create(9, 3, 1, false);
    heap.Create(9, 3, 1, false);
    EXPECT_EQ(packed.GetBytesPerLine(), 4);
    EXPECT_EQ(heap.GetBytesPerLine(), 2);
    packed.Create(9, 3, 8, false);
    heap.Create(9, 3, 8, false);
    EXPECT_EQ(packed.GetBytesPerLine(), 12);
    EXPECT_EQ(heap.GetBytesPerLine(), 9);
    packed.Create(9, 3, 32, false);
    heap.Create(9, 3, 32, false);
    EXPECT_EQ(packed.GetBytesPerLine(), 36);
    EXPECT_EQ(heap.GetBytesPerLine(), 36);
}

TEST(BitmapRows, PackedRowsAreBottomUpBehindHeaderAndColourTable) {
    CPackedDibBitmap bmp;
    bmp.Create(5, 4, 8, false);
    const PLBitmapInfoHeader* h = bmp.GetBitmapInfoHeader();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 5);
    EXPECT_EQ(h->biHeight, 4);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, 0u);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(bmp.GetPalette()), reinterpret_cast<const uint8_t*>(h) + 40);
    EXPECT_EQ(bmp.GetBits(), reinterpret_cast<const uint8_t*>(h) + 40 + 1024);
    EXPECT_EQ(bmp.GetLine(3), bmp.GetBits());
    EXPECT_EQ(bmp.GetLine(0), bmp.GetBits() + 3 * 8);
    EXPECT_EQ(bmp.GetMemUsed(), 40 + 1024 + 4 * 8 + sizeof(CPackedDibBitmap));

    bmp.Create(5, 4, 32, false);
    EXPECT_EQ(bmp.GetBits(), reinterpret_cast<const uint8_t*>(bmp.GetBitmapInfoHeader()) + 40);
}

TEST(BitmapRows, HeapRowsAreTopDown) {
    CHeapBitmap bmp;
    bmp.Create(9, 3, 1, false);
    EXPECT_EQ(bmp.GetLine(1), bmp.GetLine(0) + 2);
    EXPECT_EQ(bmp.GetLine(2), bmp.GetLine(0) + 4);
}

TYPED_TEST(BitmapKindTest, RefusedGeometryKeepsTheOldContent) {
    TypeParam bmp;
    bmp.Create(7, 3, 32, false);
    bmp.SetPixel(2, 1, 0x11223344);
    struct Bad {
        int32_t w, h;
        uint16_t bpp;
        int code;
    } bad[] = {
        {0, 5, 32, PLErr::UnknownVariant},       {5, 0, 32, PLErr::UnknownVariant},
        {-3, 5, 8, PLErr::UnknownVariant},       {5, -1, 8, PLErr::UnknownVariant},
        {5, 5, 0, PLErr::UnknownVariant},        {5, 5, 24, PLErr::UnknownVariant},
        {5, 5, 3, PLErr::UnknownVariant},        {100000, 100000, 32, PLErr::NoMemory},
        {0x7FFFFFFF, 1, 32, PLErr::NoMemory},    {1, 0x7FFFFFFF, 1, PLErr::NoMemory},
        {65536, 65536, 8, PLErr::NoMemory},      {0x40000000 / 4 + 1, 1, 32, PLErr::NoMemory},
    };
    for (const Bad& b : bad) {
        try {
            bmp.Create(b.w, b.h, b.bpp, false);
            ADD_FAILURE() << b.w << "x" << b.h << "x" << b.bpp << " accepted";
        } catch (const CTextException& e) {
            EXPECT_EQ(e.GetCode(), b.code) << b.w << "x" << b.h << "x" << b.bpp << ": " << e.GetText();
        }
        EXPECT_EQ(bmp.GetWidth(), 7);
        EXPECT_EQ(bmp.GetHeight(), 3);
        EXPECT_EQ(bmp.GetPixel(2, 1), 0x11223344u);
    }
}

TEST(BitmapLimits, OutOfMemoryMessage) {
    CHeapBitmap bmp;
    try {
        bmp.Create(40000, 40000, 32, false);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), 10);
        EXPECT_STREQ(e.GetText(), "Out of memory creating bitmap.");
    }
}

TEST(BitmapLimits, LargestAcceptedWidthFitsTheRowArithmetic) {
    CHeapBitmap bmp;
    bmp.Create(CDibBitmap::MaxDimension, 1, 1, false);
    EXPECT_EQ(bmp.GetBytesPerLine(), CDibBitmap::MaxDimension / 8);
    EXPECT_EQ(CDibBitmap::CalcDibRowLength(CDibBitmap::MaxDimension, 32), uint32_t(CDibBitmap::MaxDimension) * 4);
}

TYPED_TEST(BitmapKindTest, PixelAccessStaysInside) {
    TypeParam bmp;
    bmp.Create(4, 3, 32, false);
    bmp.SetPixel(3, 2, 0xAABBCCDD);
    EXPECT_EQ(bmp.GetPixel(3, 2), 0xAABBCCDDu);
    const uint8_t* p = bmp.GetLine(2) + 12;
    EXPECT_EQ(p[0], 0xDD);  // blue
    EXPECT_EQ(p[1], 0xCC);  // green
    EXPECT_EQ(p[2], 0xBB);  // red
    EXPECT_EQ(p[3], 0xAA);  // alpha
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {100000, 100000}}) {
        bmp.SetPixel(x, y, 0xFFFFFFFF);
        EXPECT_EQ(bmp.GetPixel(x, y), 0u);
    }

    bmp.Create(9, 2, 1, false);
    bmp.SetPixelIndex(8, 1, 1);
    EXPECT_EQ(bmp.GetLine(1)[1], 0x80);
    EXPECT_EQ(bmp.GetPixelIndex(8, 1), 1);
    EXPECT_EQ(bmp.GetPixel(8, 1), 0xFFFFFFFFu);  // grey ramp entry 1: white
    bmp.SetPixel(0, 0, PLMakePixel(250, 250, 250));
    EXPECT_EQ(bmp.GetPixelIndex(0, 0), 1);

    bmp.Create(3, 1, 4, false);
    bmp.SetPixelIndex(0, 0, 0xA);
    bmp.SetPixelIndex(1, 0, 0x5);
    bmp.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(bmp.GetLine(0)[0], 0xA5);
    EXPECT_EQ(bmp.GetLine(0)[1], 0xF0);
}

TEST(BitmapLock, CountsNest) {
    CHeapBitmap bmp;
    bmp.Lock(true, false);
    bmp.Lock(true, true);
    EXPECT_EQ(bmp.GetLockCount(), 2);
    bmp.Unlock();
    {
        CPLBitmapLock lock(bmp, true, false);
        EXPECT_EQ(bmp.GetLockCount(), 2);
    }
    bmp.Unlock();
    EXPECT_EQ(bmp.GetLockCount(), 0);
}

TEST(BitmapPalette, CopyPaletteCopiesTheDepthsEntries) {
    CHeapBitmap bmp;
    bmp.Create(2, 2, 1, false);
    PLRGBQuad entries[2] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    bmp.CopyPalette(entries);
    EXPECT_EQ(bmp.GetPalette()[1].rgbRed, 7);
    bmp.Create(2, 2, 32, false);
    bmp.CopyPalette(entries);  // no colour table: nothing happens
    EXPECT_EQ(bmp.GetPalette(), nullptr);
}

TEST(BitmapPalette, FindNearestColor) {
    CHeapBitmap bmp;
    bmp.Create(1, 1, 8, false);
    PLRGBQuad table[256] = {};
    table[3] = {10, 20, 30, 255};
    table[7] = {10, 20, 30, 255};  // the same colour later: the lower index wins
    table[9] = {200, 200, 200, 255};
    for (int i = 10; i < 256; ++i) table[i] = {255, 255, 255, 255};
    bmp.CopyPalette(table);
    EXPECT_EQ(bmp.FindNearestColor(PLMakePixel(30, 20, 10)), 3);
    EXPECT_EQ(bmp.FindNearestColor(PLMakePixel(31, 21, 11)), 3);
    EXPECT_EQ(bmp.FindNearestColor(PLMakePixel(190, 195, 205)), 9);
    EXPECT_EQ(bmp.FindNearestColor(PLMakePixel(0, 0, 0)), 0);
    // Equal distances (5 from entry 1 and 2): the lower index.
    table[1] = {0, 0, 100, 255};
    table[2] = {0, 0, 110, 255};
    bmp.CopyPalette(table);
    EXPECT_EQ(bmp.FindNearestColor(PLMakePixel(105, 0, 0)), 1);
}

}  // namespace

namespace {

TEST(TextException, CodeAndFormattedText) {
    CTextException e = CTextException::Format(PLErr::Unsupported, "Can't handle Opcode %x.\n", 0x8201);
    EXPECT_EQ(e.GetCode(), 6);
    EXPECT_STREQ(e.GetText(), "Can't handle Opcode 8201.\n");
    CTextException copy = e;
    EXPECT_STREQ(static_cast<const char*>(copy), "Can't handle Opcode 8201.\n");
    const CPLObject& base = copy;  // the library's root
    base.AssertValid();
    try {
        throw CTextException(PLErr::NoMemory, "Out of memory.");
    } catch (const CTextException& caught) {
        EXPECT_EQ(caught.GetCode(), 10);
    }
}

}  // namespace
