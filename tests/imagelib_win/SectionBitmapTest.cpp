// The DIB section kinds and the GDI side of the packed kind: creation, global DIB copies,
// resources, device-bitmap import and palettes.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "GdiTestUtil.h"
#include "PackedDibBitmap.h"
#include "PixelMemory.h"
#include "win/DisplayBitmap.h"
#include "win/SectionDibBitmap.h"
#include "win/SectionPool.h"

namespace {

TEST(SectionBitmap, RowsLiveInTheSectionBottomUp) {
    CSectionDibBitmap bmp;
    EXPECT_EQ(bmp.GetSize(), (PLSize{16, 16}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    ASSERT_NE(bmp.GetHandle(), nullptr);
    bmp.Create(9, 3, 1, false);
    EXPECT_EQ(bmp.GetBytesPerLine(), 4);
    DIBSECTION ds{};
    ASSERT_EQ(::GetObject(bmp.GetHandle(), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, 9);
    EXPECT_EQ(ds.dsBm.bmHeight, 3);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 1);
    EXPECT_EQ(ds.dsBm.bmBits, bmp.GetBits());
    EXPECT_EQ(bmp.GetLine(2), bmp.GetBits());
    EXPECT_EQ(bmp.GetLine(0), bmp.GetBits() + 8);
    EXPECT_EQ(bmp.GetPalette()[1].rgbRed, 255);
    EXPECT_EQ(bmp.GetMemUsed(), 12 + 40 + 1024 + sizeof(CSectionDibBitmap));
    bmp.Create(33, 17, 32, false);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x) ASSERT_EQ(bmp.GetPixel(x, y), 0u);
}

TEST(SectionBitmap, ResetAndRefusals) {
    CSectionDibBitmap bmp;
    bmp.Create(40, 30, 32, true);
    bmp.SetPixel(5, 5, 0x11223344);
    EXPECT_THROW(bmp.Create(0, 10, 32, false), CTextException);
    EXPECT_THROW(bmp.Create(100000, 100000, 32, false), CTextException);
    EXPECT_EQ(bmp.GetPixel(5, 5), 0x11223344u);
    bmp.Reset();
    EXPECT_EQ(bmp.GetSize(), (PLSize{16, 16}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.GetPalette()[200].rgbGreen, 200);
}

// Reserves the process's address space in 64 MB pieces, then gives back the last few, so
// that small allocations still succeed but nothing near a gigabyte fits.
class AddressSpaceSqueeze {
public:
    AddressSpaceSqueeze() {
        for (;;) {
            void* p = ::VirtualAlloc(nullptr, 64u << 20, MEM_RESERVE, PAGE_NOACCESS);
            if (p == nullptr) break;
            m_pieces.push_back(p);
        }
        for (int i = 0; i < 4 && !m_pieces.empty(); ++i) {
            ::VirtualFree(m_pieces.back(), 0, MEM_RELEASE);
            m_pieces.pop_back();
        }
    }
    ~AddressSpaceSqueeze() {
        for (void* p : m_pieces) ::VirtualFree(p, 0, MEM_RELEASE);
    }

private:
    std::vector<void*> m_pieces;
};

// A freed large section is kept and taken by the next bitmap of its geometry; that bitmap starts
// as a new one would (rows zero, grey ramp in the section's own colour table), unless it was
// made for overwriting.
TEST(SectionPool, AKeptSectionStartsLikeANewOne) {
    const struct {
        int width, height;
        uint16_t depth;
        bool kept;
    } cases[] = {{1024, 300, 32, true}, {1100, 1000, 8, true}, {2000, 600, 1, false}, {100, 100, 32, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        CSectionPool::Trim();
        HBITMAP first = nullptr;
        {
            CSectionDibBitmap old;
            old.Create(c.width, c.height, c.depth, false);
            first = old.GetHandle();
            for (int y = 0; y < c.height; ++y) std::memset(old.GetLine(y), 0xA5, old.GetPixelBytesPerLine());
            if (c.depth <= 8) {
                old.GetColorTable()[0] = PLRGBQuad{1, 2, 3, 0};
                old.SyncColorTable();
            }
        }
        EXPECT_EQ(CSectionPool::KeptBytes() > 0, c.kept);
        CSectionDibBitmap next;
        next.Create(c.width, c.height, c.depth, false);
        EXPECT_EQ(next.GetHandle() == first, c.kept);
        EXPECT_EQ(CSectionPool::KeptBytes(), 0u);
        bool zero = true;
        for (int y = 0; y < c.height && zero; ++y)
            for (int x = 0; x < next.GetPixelBytesPerLine(); ++x) zero = zero && next.GetLine(y)[x] == 0;
        EXPECT_TRUE(zero);
        if (c.depth <= 8) {
            // What GDI draws with: the section's own table, not only the bitmap's copy of it.
            UniqueDC dc(::CreateCompatibleDC(nullptr));
            SelectObjectGuard selected(dc.get(), next.GetHandle());
            RGBQUAD entry{};
            ASSERT_EQ(::GetDIBColorTable(dc.get(), 0, 1, &entry), 1u);
            EXPECT_EQ(entry.rgbRed, 0);
            EXPECT_EQ(entry.rgbBlue, 0);
        }
    }
    // A different geometry never takes a kept section.
    { CSectionDibBitmap a; a.Create(1024, 512, 32, false); }
    {
        CSectionDibBitmap b;
        b.Create(512, 1024, 32, false);
        EXPECT_EQ(CSectionPool::KeptBytes(), 1024u * 512 * 4);
    }
    CSectionPool::Trim();
    EXPECT_EQ(CSectionPool::KeptBytes(), 0u);
}

TEST(OutOfMemory, EveryKindThrowsCode10AndStaysUsable) {
    CSectionDibBitmap section;
    CDisplayBitmap display;
    CPackedDibBitmap packed;
    CHeapBitmap heap;
    CDibBitmap* kinds[] = {&section, &display, &packed, &heap};
    // Memory kept from earlier pictures is given back when an allocation fails; given back in
    // the squeezed space it would make room for the very gigabyte that must not fit.
    CPixelMemory::Trim();
    {
        AddressSpaceSqueeze squeeze;
        // A 64-bit process under Wine is not always filled by reservations (the heap finds room
        // elsewhere); the check below only means something when the heap is squeezed too.
        if (void* probe = std::malloc(1000u * 1000u * 1000u)) {
            std::free(probe);
            GTEST_SKIP() << "the address space could not be filled here";
        }
        for (CDibBitmap* bmp : kinds) {
            try {
                bmp->Create(16000, 16000, 32, false);  // just under the library's limit
                ADD_FAILURE() << "a gigabyte fitted into a squeezed address space";
            } catch (const CTextException& e) {
                EXPECT_EQ(e.GetCode(), 10);
                EXPECT_STREQ(e.GetText(), "Out of memory creating bitmap.");
            }
            EXPECT_TRUE(bmp->IsEmpty());
            EXPECT_EQ(bmp->GetPixel(0, 0), 0u);
        }
    }
    section.Reset();
    EXPECT_EQ(section.GetWidth(), 16);
    display.Create(5, 5, 8, false);
    EXPECT_NE(display.GetHandle(), nullptr);
    packed.CreateCopy(display, 32);
    EXPECT_EQ(packed.GetWidth(), 5);
}

template <class Kind>
void CheckGlobalCopy() {
    Kind bmp;
    bmp.Create(3, 2, 8, false);
    bmp.GetPalette()[7] = PLRGBQuad{1, 2, 3, 4};
    bmp.GetLine(0)[0] = 7;
    bmp.GetLine(1)[2] = 9;
    HGLOBAL block = bmp.GetDIBCopy();
    ASSERT_NE(block, nullptr);
    UniqueGlobal owner(block);
    EXPECT_EQ(::GlobalSize(block), 40u + 1024 + 8);
    EXPECT_NE(::GlobalFlags(block) & GMEM_DDESHARE, 0u);
    GlobalLockGuard lock(block);
    auto* p = static_cast<const uint8_t*>(lock.get());
    auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(p);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 3);
    EXPECT_EQ(h->biHeight, 2);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(p[40 + 7 * 4 + 2], 3);           // red of entry 7
    EXPECT_EQ(p[40 + 1024 + 4 + 0], 7);        // top row is stored second
    EXPECT_EQ(p[40 + 1024 + 2], 9);
    EXPECT_EQ(p[40 + 1024 + 3], 0);            // padding
}

TEST(GlobalDibCopy, PackedKind) { CheckGlobalCopy<CPackedDibBitmap>(); }
TEST(GlobalDibCopy, SectionKind) { CheckGlobalCopy<CSectionDibBitmap>(); }

TEST(GlobalDibCopy, RoundTripThroughCreateFromDIB) {
    CDisplayBitmap src;
    src.Create(7, 5, 32, false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) src.SetPixel(x, y, PLMakePixel(x * 30, y * 40, 99, 255));
    UniqueGlobal block(src.GetDIBCopy());
    GlobalLockGuard lock(block.get());
    CPackedDibBitmap dst;
    dst.CreateFromDIB(static_cast<const PLBitmapInfoHeader*>(lock.get()), lock.size());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.GetPixel(x, y), src.GetPixel(x, y));
}

TEST(Resources, CreateFromResourceKeepsTheColours) {
    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<CPackedDibBitmap> packed;
        std::unique_ptr<CSectionDibBitmap> section;
        CDibBitmap* bmp;
        if (kind == 0) {
            packed = std::make_unique<CPackedDibBitmap>();
            packed->CreateFromResource(::GetModuleHandle(nullptr), 101);
            bmp = packed.get();
        } else {
            section = std::make_unique<CSectionDibBitmap>();
            section->CreateFromResource(::GetModuleHandle(nullptr), 101);
            bmp = section.get();
        }
        ASSERT_EQ(bmp->GetSize(), (PLSize{5, 3}));
        EXPECT_EQ(bmp->GetBitsPerPixel(), 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(bmp->GetLine(y)[x], 10 * y + x + 1);
        EXPECT_EQ(bmp->GetPalette()[12].rgbRed, 243);
        EXPECT_EQ(bmp->GetPalette()[12].rgbBlue, 84);
    }
    CPackedDibBitmap missing;
    try {
        missing.CreateFromResource(::GetModuleHandle(nullptr), 4242);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), PLErr::FileNotFound);
    }
    EXPECT_EQ(missing.GetWidth(), 16);
}

// Bitmap handles of each depth (DIB sections, which is what many programs put on the
// clipboard as CF_BITMAP), 6 x 4: the left half black, the right half white, the bottom-right
// pixel red.
UniqueBitmap MakeHandle(int bits) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 6;
    bi.h.biHeight = -4;  // top-down
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(bits);
    bi.colors[0] = RGBQUAD{0, 0, 0, 0};
    bi.colors[1] = RGBQUAD{255, 255, 255, 0};
    if (bits > 1) bi.colors[2] = RGBQUAD{0, 0, 255, 0};
    void* p = nullptr;
    UniqueBitmap handle(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0));
    if (!handle) return handle;
    auto* rows = static_cast<uint8_t*>(p);
    int rowLength = ((6 * bits + 31) / 32) * 4;
    for (int y = 0; y < 4; ++y) {
        uint8_t* row = rows + y * rowLength;
        for (int x = 0; x < 6; ++x) {
            int colour = x < 3 ? 0 : (x == 5 && y == 3 ? 2 : 1);  // 0 black, 1 white, 2 red
            switch (bits) {
            case 1: if (colour) row[0] |= static_cast<uint8_t>(0x80 >> x); break;  // red reads white
            case 4: row[x / 2] |= static_cast<uint8_t>(colour << ((x & 1) ? 0 : 4)); break;
            case 8: row[x] = static_cast<uint8_t>(colour); break;
            case 16: {
                uint16_t v = colour == 0 ? 0 : colour == 1 ? 0x7FFF : 0x7C00;
                std::memcpy(row + 2 * x, &v, 2);
                break;
            }
            case 24:
            case 32: {
                uint8_t* px = row + x * (bits / 8);
                px[0] = colour == 1 ? 255 : 0;
                px[1] = colour == 1 ? 255 : 0;
                px[2] = colour ? 255 : 0;
                break;
            }
            }
        }
    }
    return handle;
}

class DeviceBitmapImport : public ::testing::TestWithParam<int> {};

TEST_P(DeviceBitmapImport, DepthAndPixels) {
    const int bits = GetParam();
    UniqueBitmap handle = MakeHandle(bits);
    ASSERT_TRUE(handle);
    for (int kind = 0; kind < 3; ++kind) {
        std::unique_ptr<CDibBitmap> owner;
        if (kind == 0) {
            auto b = std::make_unique<CPackedDibBitmap>();
            b->CreateFromHBitmap(handle.get());
            owner = std::move(b);
        } else if (kind == 1) {
            auto b = std::make_unique<CSectionDibBitmap>();
            b->CreateFromHBitmap(handle.get());
            owner = std::move(b);
        } else {
            auto b = std::make_unique<CDisplayBitmap>();
            b->CreateFromHBitmap(handle.get());
            owner = std::move(b);
        }
        CDibBitmap& bmp = *owner;
        ASSERT_EQ(bmp.GetSize(), (PLSize{6, 4})) << bits;
        uint16_t expectedDepth = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 32;
        EXPECT_EQ(bmp.GetBitsPerPixel(), expectedDepth) << bits;
        EXPECT_FALSE(bmp.HasAlpha());
        EXPECT_EQ(bmp.GetPixel(0, 0) & 0xFFFFFF, 0u) << bits;
        EXPECT_EQ(bmp.GetPixel(4, 1) & 0xFFFFFF, 0xFFFFFFu) << bits;
        EXPECT_EQ(bmp.GetPixel(2, 3) & 0xFFFFFF, 0u) << bits;
        EXPECT_EQ(bmp.GetPixel(5, 3) & 0xFFFFFF, bits == 1 ? 0xFFFFFFu : 0xFF0000u) << bits;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, DeviceBitmapImport, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(DeviceBitmapImport, MonochromeDeviceBitmap) {
    UniqueBitmap ddb(::CreateBitmap(10, 3, 1, 1, nullptr));
    {
        UniqueDC dc(::CreateCompatibleDC(nullptr));
        SelectObjectGuard sel(dc.get(), ddb.get());
        RECT all{0, 0, 10, 3}, right{9, 0, 10, 3};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::FillRect(dc.get(), &right, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    CDisplayBitmap bmp;
    bmp.CreateFromHBitmap(ddb.get());
    ASSERT_EQ(bmp.GetBitsPerPixel(), 1);
    EXPECT_EQ(bmp.GetPixel(8, 2) & 0xFFFFFF, 0u);
    EXPECT_EQ(bmp.GetPixel(9, 2) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(DeviceBitmapImportFailures, NullAndBogusHandlesChangeNothing) {
    CDisplayBitmap bmp;
    bmp.Create(3, 3, 32, false);
    bmp.SetPixel(1, 1, 0x00ABCDEF);
    bmp.CreateFromHBitmap(nullptr);
    bmp.CreateFromHBitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(0x12345678)));
    UniqueBrush notABitmap(::CreateSolidBrush(RGB(1, 2, 3)));
    bmp.CreateFromHBitmap(reinterpret_cast<HBITMAP>(notABitmap.get()));
    EXPECT_EQ(bmp.GetSize(), (PLSize{3, 3}));
    EXPECT_EQ(bmp.GetPixel(1, 1), 0x00ABCDEFu);
}

TEST(DeviceBitmapImport, ScreenCompatibleBitmap) {
    // What a screen capture hands over: a bitmap compatible with the screen, filled by BitBlt.
    WindowDC screen(nullptr);
    UniqueBitmap ddb(::CreateCompatibleBitmap(screen.get(), 20, 10));
    {
        UniqueDC dc(::CreateCompatibleDC(screen.get()));
        SelectObjectGuard sel(dc.get(), ddb.get());
        RECT r{0, 0, 20, 10};
        UniqueBrush brush(::CreateSolidBrush(RGB(10, 200, 30)));
        ::FillRect(dc.get(), &r, brush.get());
    }
    CDisplayBitmap bmp;
    bmp.CreateFromHBitmap(ddb.get());
    EXPECT_EQ(bmp.GetSize(), (PLSize{20, 10}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_EQ(bmp.GetPixel(19, 9) & 0xFFFFFF, PLMakePixel(10, 200, 30) & 0xFFFFFF);
}

TEST(LogicalPalette, FromTheColourTableOrHalftone) {
    CDisplayBitmap bmp;
    bmp.Create(2, 2, 1, false);
    bmp.GetColorTable()[0] = PLRGBQuad{30, 20, 10, 255};
    HPALETTE pal = bmp.GetPalette();
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(bmp.GetPalette(), pal);  // made once
    PALETTEENTRY e[4]{};
    EXPECT_EQ(::GetPaletteEntries(pal, 0, 0, nullptr), 2u);
    ::GetPaletteEntries(pal, 0, 2, e);
    EXPECT_EQ(e[0].peRed, 10);
    EXPECT_EQ(e[0].peBlue, 30);
    EXPECT_EQ(e[0].peFlags, 0);
    EXPECT_EQ(e[1].peGreen, 255);

    bmp.Create(2, 2, 32, false);
    bmp.RebuildPalette();
    EXPECT_GE(::GetPaletteEntries(bmp.GetPalette(), 0, 0, nullptr), 20u);  // a halftone palette

    bmp.Create(2, 2, 8, false);
    bmp.RebuildPalette();
    EXPECT_EQ(::GetPaletteEntries(bmp.GetPalette(), 0, 0, nullptr), 256u);
}

// The palette follows the bitmap without being asked to: a new depth (true colour, grey, fewer
// colours) and changed colours of the same depth each give the palette of the bitmap as it is.
TEST(LogicalPalette, FollowsEveryChangeOfTheImage) {
    auto entry = [](HPALETTE pal, UINT i) {
        PALETTEENTRY e{};
        ::GetPaletteEntries(pal, i, 1, &e);
        return RGB(e.peRed, e.peGreen, e.peBlue);
    };
    CDisplayBitmap bmp;
    bmp.Create(3, 2, 1, false);
    bmp.GetColorTable()[1] = PLRGBQuad{0, 0, 200, 255};
    EXPECT_EQ(entry(bmp.GetPalette(), 1), RGB(200, 0, 0));

    // Colours changed in place, as a grey or invert filter of an indexed picture does.
    bmp.GetColorTable()[1] = PLRGBQuad{60, 60, 60, 255};
    EXPECT_EQ(entry(bmp.GetPalette(), 1), RGB(60, 60, 60));

    // To true colour, as EnsureTrueColor or a rotation does.
    bmp.Create(3, 2, 32, false);
    EXPECT_GE(::GetPaletteEntries(bmp.GetPalette(), 0, 0, nullptr), 20u);
    EXPECT_NE(entry(bmp.GetPalette(), 1), RGB(60, 60, 60));

    // Back to 8 bits with the grey ramp, as Grayscale or an undo does.
    bmp.Create(3, 2, 8, false);
    EXPECT_EQ(::GetPaletteEntries(bmp.GetPalette(), 0, 0, nullptr), 256u);
    EXPECT_EQ(entry(bmp.GetPalette(), 128), RGB(128, 128, 128));

    // A whole new colour table of the same depth, as a crop of another picture brings.
    std::vector<PLRGBQuad> table(256, PLRGBQuad{5, 6, 7, 255});
    bmp.CopyPalette(table.data());
    EXPECT_EQ(entry(bmp.GetPalette(), 128), RGB(7, 6, 5));
    HPALETTE pal = bmp.GetPalette();
    EXPECT_EQ(bmp.GetPalette(), pal);  // unchanged: made once
}

TEST(GdiPalette, CreateFromDIBAndPaletteOverwritesOnlyThePalettesEntries) {
    CPackedDibBitmap src;
    src.Create(2, 1, 8, false);
    for (int i = 0; i < 256; ++i) src.GetPalette()[i] = PLRGBQuad{static_cast<uint8_t>(i), 7, 9, 255};
    src.GetLine(0)[1] = 5;
    UniqueGlobal block(src.GetDIBCopy());
    GlobalLockGuard lock(block.get());
    struct {
        WORD version, count;
        PALETTEENTRY entries[4];
    } lp{0x300, 4, {{200, 201, 202, 0}, {1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}};
    UniquePalette pal(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
    CSectionDibBitmap dst;
    dst.CreateFromDIBAndPalette(static_cast<const PLBitmapInfoHeader*>(lock.get()), lock.size(), pal.get());
    EXPECT_EQ(dst.GetPalette()[0].rgbRed, 200);
    EXPECT_EQ(dst.GetPalette()[0].rgbBlue, 202);
    EXPECT_EQ(dst.GetPalette()[0].rgbReserved, 0);
    EXPECT_EQ(dst.GetPalette()[3].rgbGreen, 8);
    EXPECT_EQ(dst.GetPalette()[4].rgbBlue, 4);  // the DIB's own from here on
    EXPECT_EQ(dst.GetPalette()[4].rgbReserved, 255);
    EXPECT_EQ(dst.GetLine(0)[1], 5);

    // True-colour DIBs ignore the palette.
    CPackedDibBitmap tc;
    tc.Create(1, 1, 32, false);
    tc.SetPixel(0, 0, 0x00112233);
    UniqueGlobal tcBlock(tc.GetDIBCopy());
    GlobalLockGuard tcLock(tcBlock.get());
    dst.CreateFromDIBAndPalette(static_cast<const PLBitmapInfoHeader*>(tcLock.get()), tcLock.size(), pal.get());
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00112233u);
}

}  // namespace
