// The fast paths of the filters against the plain ones: the resize loops of every instruction
// set, the in-place path against Apply, and the kept pixel blocks.

#include <cstring>
#include <functional>
#include <memory>

#include "FilterTestUtil.h"
#include "PixelMemory.h"
#include "PixelRows.h"
#include "filters/ColorFilters.h"
#include "filters/FlipFilters.h"
#include "filters/ResizeFilter.h"
#include "filters/ResizeKernels.h"
#include "filters/RotateFilter.h"

using namespace ResizeDetail;

namespace {

// Restores the filters' choice of loops at the end of a test.
class CKernelSetScope {
public:
    CKernelSetScope() : m_saved(CurrentKernelSet()) {}
    ~CKernelSetScope() { UseKernelSet(m_saved); }

private:
    KernelSet m_saved;
};

const KernelSet AllSets[] = {KernelSet::Plain, KernelSet::Sse2, KernelSet::Avx2};

using MakeFilter = std::function<std::unique_ptr<CImageFilter>()>;

// Odd widths (not a multiple of the 2 or 4 pixels the loops take at once), single rows and
// columns, growing and shrinking.
const int ResizeCases[][4] = {
    {1, 1, 1, 1}, {1, 1, 7, 3}, {9, 1, 4, 1}, {1, 9, 1, 5}, {37, 29, 13, 11}, {37, 29, 61, 45}, {64, 3, 33, 7}, {5, 70, 9, 23},
};

}  // namespace

TEST(ResizeLoops, EverySetGivesThePlainBytes) {
    CKernelSetScope scope;
    const std::pair<const char*, std::function<std::unique_ptr<CImageFilter>(int, int)>> filters[] = {
        {"box 0.5", [](int w, int h) { return std::make_unique<CBoxResizeFilter>(w, h, 0.5); }},
        {"box 1.3", [](int w, int h) { return std::make_unique<CBoxResizeFilter>(w, h, 1.3); }},
        {"bilinear", [](int w, int h) { return std::make_unique<CBilinearResizeFilter>(w, h); }},
        {"gaussian 2", [](int w, int h) { return std::make_unique<CGaussianResizeFilter>(w, h, 2.0); }},
        {"hamming 4", [](int w, int h) { return std::make_unique<CHammingResizeFilter>(w, h, 4.0); }},
        {"hamming 0.1", [](int w, int h) { return std::make_unique<CHammingResizeFilter>(w, h, 0.1); }},
    };
    for (const auto& c : ResizeCases) {
        CHeapBitmap src;
        FillRandom(src, c[0], c[1], 1000u + static_cast<uint32_t>(c[0] * 31 + c[1]), true);
        for (const auto& f : filters) {
            UseKernelSet(KernelSet::Plain);
            CHeapBitmap expected;
            f.second(c[2], c[3])->Apply(src, expected);
            for (KernelSet set : AllSets) {
                if (!CanRun(set)) continue;
                UseKernelSet(set);
                CHeapBitmap out;
                f.second(c[2], c[3])->Apply(src, out);
                EXPECT_TRUE(SamePixels(out, expected)) << f.first << " set " << static_cast<int>(set) << " " << c[0] << "x"
                                                       << c[1] << " -> " << c[2] << "x" << c[3];
            }
        }
    }
}

TEST(ResizeLoops, SseIsAlwaysThereOnX86) {
#if defined(__SSE2__)
    EXPECT_TRUE(CanRun(KernelSet::Sse2));
#endif
    EXPECT_TRUE(CanRun(KernelSet::Plain));
    EXPECT_TRUE(CanRun(BestKernelSet()));
}

// ApplyInPlace must leave the bitmap as Apply makes its target, on both kinds that trade
// contents and at the depths the editor holds.
TEST(InPlacePath, EqualsApply) {
    const std::pair<const char*, MakeFilter> filters[] = {
        {"turn left", [] { return std::make_unique<CRotateFilter>(1.57079633, 0x11223344); }},
        {"turn right", [] { return std::make_unique<CRotateFilter>(-1.57079633, 0x11223344); }},
        {"half turn", [] { return std::make_unique<CRotateFilter>(3.14159265, 0x11223344); }},
        {"17 degrees", [] { return std::make_unique<CRotateFilter>(0.2967, 0x11223344); }},
        {"grayscale", [] { return std::make_unique<CGrayscaleFilter>(); }},
        {"flip h", [] { return std::make_unique<CFlipHorizontalFilter>(); }},
        {"flip v", [] { return std::make_unique<CFlipVerticalFilter>(); }},
        {"hamming", [] { return std::make_unique<CHammingResizeFilter>(7, 12, 3.0); }},
    };
    const int sizes[][2] = {{1, 1}, {1, 6}, {7, 1}, {5, 3}, {13, 9}, {33, 17}};
    for (const auto& s : sizes)
        for (uint16_t bpp : {uint16_t(32), uint16_t(8), uint16_t(1)})
            for (const auto& f : filters) {
                CHeapBitmap random;
                FillRandom(random, s[0], s[1], 5u + bpp, bpp == 32);
                CPackedDibBitmap packed;
                packed.CreateCopy(random, bpp);
                CHeapBitmap heap;
                heap.CreateCopy(packed, 0);
                CHeapBitmap expected;
                f.second()->Apply(packed, expected);
                for (CDibBitmap* bitmap : {static_cast<CDibBitmap*>(&packed), static_cast<CDibBitmap*>(&heap)}) {
                    f.second()->ApplyInPlace(*bitmap);
                    EXPECT_TRUE(SamePixels(*bitmap, expected)) << f.first << " " << s[0] << "x" << s[1] << "x" << bpp;
                    EXPECT_EQ(bitmap->HasAlpha(), expected.HasAlpha()) << f.first;
                    for (int i = 0; i < expected.GetNumColors(); ++i)
                        EXPECT_EQ(std::memcmp(&bitmap->GetPalette()[i], &expected.GetPalette()[i], sizeof(PLRGBQuad)), 0)
                            << f.first << " entry " << i;
                }
            }
}

TEST(InPlacePath, KeepsTheBitmapsOwnSettings) {
    CPackedDibBitmap bitmap;
    FillRandom(bitmap, 6, 4, 3);
    bitmap.SetDitherMode(2);
    bitmap.SetPaletteMode(1);
    CRotateFilter(1.57079633, 0).ApplyInPlace(bitmap);
    EXPECT_EQ(bitmap.GetWidth(), 4);
    EXPECT_EQ(bitmap.GetHeight(), 6);
    EXPECT_EQ(bitmap.GetDitherMode(), 2);
    EXPECT_EQ(bitmap.GetPaletteMode(), 1);
    EXPECT_EQ(bitmap.GetBitmapInfoHeader()->biWidth, 4);
    EXPECT_EQ(bitmap.GetBitmapInfoHeader()->biHeight, 6);
}

TEST(PixelMemory, KeptBlocksComeBackClearedWhenAsked) {
    CPixelMemory::Trim();
    const size_t bytes = 3 * CPixelMemory::MinKeptBytes;
    uint8_t* a = static_cast<uint8_t*>(CPixelMemory::Allocate(bytes, false));
    ASSERT_NE(a, nullptr);
    std::memset(a, 0x5A, bytes);
    CPixelMemory::Free(a, bytes);
    EXPECT_EQ(CPixelMemory::KeptBytes(), bytes);
    // A slightly smaller request takes the kept block, and must see zeros.
    uint8_t* b = static_cast<uint8_t*>(CPixelMemory::Allocate(bytes - 100, true));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(CPixelMemory::KeptBytes(), 0u);
    bool zero = true;
    for (size_t i = 0; i < bytes - 100; ++i) zero = zero && b[i] == 0;
    EXPECT_TRUE(zero);
    CPixelMemory::Free(b, bytes - 100);
    // Too large a block for the request is not taken.
    void* c = CPixelMemory::Allocate(bytes / 2, true);
    EXPECT_EQ(CPixelMemory::KeptBytes(), bytes);
    CPixelMemory::Free(c, bytes / 2);
    CPixelMemory::Trim();
    EXPECT_EQ(CPixelMemory::KeptBytes(), 0u);
}

TEST(PixelMemory, NewBitmapsStartClearExceptForOverwrite) {
    // A 32-bit bitmap of some megabytes leaves its block kept; the next one of that size is
    // zeroed by Create, and CreateForOverwrite at 8 bits still clears the row padding.
    CPixelMemory::Trim();
    {
        CPackedDibBitmap big;
        big.Create(1024, 1024, 32, false);
        std::memset(big.GetLine(1023), 0x77, 4 * 1024 * 1024);
    }
    CPackedDibBitmap again;
    again.Create(1024, 1024, 32, false);
    EXPECT_EQ(again.GetPixel(5, 700), 0u);
    EXPECT_EQ(again.GetPixel(1023, 0), 0u);
    {
        CPackedDibBitmap big;
        big.Create(1023, 4100, 8, false);
        std::memset(big.GetLine(4099), 0x77, static_cast<size_t>(big.GetBytesPerLine()) * 4100);
    }
    CPackedDibBitmap padded;
    padded.CreateForOverwrite(1023, 4100, 8, false);
    EXPECT_EQ(padded.GetLine(17)[1023], 0);
    EXPECT_EQ(padded.GetLine(4099)[1023], 0);
    CPixelMemory::Trim();
}

TEST(GrayscaleRows, EveryColourGivesItsGreyLevel) {
    // All 2^24 colours, 4093 x 256 at a time (an odd width leaves a tail for the plain loop).
    const int32_t width = 4093;
    for (uint32_t c = 0; c < (1u << 24);) {
        CHeapBitmap colours, grey;
        colours.Create(width, 256, 32, false);
        for (int32_t y = 0; y < 256; ++y)
            for (int32_t x = 0; x < width; ++x, ++c) SetPixel32(colours, x, y, 0xFF000000u | (c & 0xFFFFFFu));
        CGrayscaleFilter().Apply(colours, grey);
        bool same = true;
        for (int32_t y = 0; y < 256 && same; ++y)
            for (int32_t x = 0; x < width && same; ++x) {
                const PLPixel32 p = Pixel32(colours, x, y);
                same = grey.GetLine(y)[x] == CGrayscaleFilter::GreyOf(PLPixelRed(p), PLPixelGreen(p), PLPixelBlue(p));
                EXPECT_TRUE(same) << std::hex << p;
            }
    }
}

// The shuffle loops converting rows between 32-bit and 3-byte pixels give the plain loops'
// bytes at every width (the sixteen-pixel blocks and every tail), and write nothing past the row.
TEST(PixelRows, ShuffledLoopsMatchThePlainOnes) {
    using Convert = void (*)(const uint8_t*, uint8_t*, int64_t);
    const struct {
        const char* name;
        Convert convert;
        int srcBytes, dstBytes;
    } kinds[] = {
        {"pack BGR", PLPack32ToBGR, 4, 3},
        {"pack RGB", PLPack32ToRGB, 4, 3},
        {"expand BGR", PLExpandBGRTo32, 3, 4},
        {"expand RGB", PLExpandRGBTo32, 3, 4},
    };
    std::vector<uint8_t> src(4 * 80);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 37 + 11);
    for (const auto& kind : kinds) {
        for (int64_t width = 0; width <= 70; ++width) {
            SCOPED_TRACE(testing::Message() << kind.name << " width " << width);
            std::vector<uint8_t> plain(4 * 80 + 8, 0xCD), shuffled(4 * 80 + 8, 0xCD);
            PLUseShuffledRows(false);
            kind.convert(src.data(), plain.data(), width);
            const bool haveShuffles = PLUseShuffledRows(true);
            kind.convert(src.data(), shuffled.data(), width);
            EXPECT_EQ(shuffled, plain);
            // The plain loop itself: every pixel in its place, nothing behind the row.
            const size_t end = static_cast<size_t>(width) * kind.dstBytes;
            EXPECT_EQ(plain[end], 0xCD);
            if (width > 0) {
                const uint8_t* last = src.data() + (width - 1) * kind.srcBytes;
                const uint8_t* out = plain.data() + end - kind.dstBytes;
                const bool swap = kind.convert == PLPack32ToRGB || kind.convert == PLExpandRGBTo32;
                EXPECT_EQ(out[0], last[swap ? 2 : 0]);
                EXPECT_EQ(out[2], last[swap ? 0 : 2]);
                if (kind.dstBytes == 4) {
                    EXPECT_EQ(out[3], 255);
                }
            }
            if (!haveShuffles) GTEST_SKIP() << "no SSSE3 here";
        }
    }
    PLUseShuffledRows(true);
}
