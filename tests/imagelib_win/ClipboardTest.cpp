// Clipboard round trips of the DIB kinds: CF_DIB with CF_PALETTE out, CF_DIB or CF_BITMAP in.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <thread>
#include <vector>

#include "GdiTestUtil.h"
#include "PackedDibBitmap.h"
#include "win/DisplayBitmap.h"
#include "win/SectionDibBitmap.h"

namespace {

// Replaces the clipboard's content with the given (format, handle) pairs.
void PutOnClipboard(std::initializer_list<std::pair<UINT, HANDLE>> items) {
    ClipboardGuard clipboard(nullptr, 1000);
    ASSERT_TRUE(clipboard);
    ::EmptyClipboard();
    for (auto [format, handle] : items)
        ASSERT_NE(::SetClipboardData(format, handle), nullptr) << "format " << format << " error " << ::GetLastError();
}

void EmptyTheClipboard() { PutOnClipboard({}); }

HGLOBAL GlobalBytes(const std::vector<uint8_t>& bytes) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(h), bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    return h;
}

void FillPattern(CDibBitmap& bmp) {
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x) bmp.SetPixel(x, y, PLMakePixel(x * 20, y * 30, (x * y) & 255, 255));
}

TEST(Clipboard, TrueColourRoundTrip) {
    CDisplayBitmap src;
    src.Create(13, 7, 32, false);
    FillPattern(src);
    src.CopyToClipboard();
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_PALETTE));

    CDisplayBitmap viaDisplay;
    ASSERT_TRUE(viaDisplay.PasteFromClipboard(CF_DIB));
    CPackedDibBitmap viaPacked;
    ASSERT_TRUE(viaPacked.PasteFromClipboard(CF_DIB));
    for (CDibBitmap* dst : {static_cast<CDibBitmap*>(&viaDisplay), static_cast<CDibBitmap*>(&viaPacked)}) {
        ASSERT_EQ(dst->GetSize(), (PLSize{13, 7}));
        ASSERT_EQ(dst->GetBitsPerPixel(), 32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) ASSERT_EQ(dst->GetPixel(x, y), src.GetPixel(x, y)) << x << "," << y;
    }
}

TEST(Clipboard, TheDibOnTheClipboardIsThePackedCopy) {
    CPackedDibBitmap src;
    src.Create(5, 3, 8, false);
    src.GetLine(2)[4] = 77;
    src.CopyToClipboard();
    ClipboardGuard clipboard(nullptr, 1000);
    ASSERT_TRUE(clipboard);
    HANDLE data = ::GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    GlobalLockGuard lock(static_cast<HGLOBAL>(data));
    ASSERT_GE(lock.size(), 40u + 1024 + 24);
    auto* h = static_cast<const BITMAPINFOHEADER*>(lock.get());
    EXPECT_EQ(h->biWidth, 5);
    EXPECT_EQ(h->biHeight, 3);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(static_cast<const uint8_t*>(lock.get())[40 + 1024 + 4], 77);  // bottom row first
}

TEST(Clipboard, IndexedRoundTripKeepsItsColours) {
    CSectionDibBitmap src;
    src.Create(9, 2, 8, false);
    for (int i = 0; i < 256; ++i)
        src.GetColorTable()[i] = PLRGBQuad{static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 17, 255};
    for (int x = 0; x < 9; ++x) {
        src.GetLine(0)[x] = static_cast<uint8_t>(x);
        src.GetLine(1)[x] = static_cast<uint8_t>(250 - x);
    }
    src.CopyToClipboard();
    CDisplayBitmap dst;
    ASSERT_TRUE(dst.PasteFromClipboard(CF_DIB));
    ASSERT_EQ(dst.GetBitsPerPixel(), 8);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(dst.GetLine(0)[x], x);
        EXPECT_EQ(dst.GetLine(1)[x], 250 - x);
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(dst.GetColorTable()[i].rgbBlue, 255 - i) << i;
        EXPECT_EQ(dst.GetColorTable()[i].rgbGreen, (i * 3) & 255) << i;
        EXPECT_EQ(dst.GetColorTable()[i].rgbRed, 17) << i;
    }

    CPackedDibBitmap mono;
    mono.Create(10, 1, 1, false);
    mono.GetColorTable()[0] = PLRGBQuad{0, 0, 255, 255};
    mono.GetColorTable()[1] = PLRGBQuad{255, 0, 0, 255};
    mono.SetPixelIndex(9, 0, 1);
    mono.CopyToClipboard();
    CPackedDibBitmap monoBack;
    ASSERT_TRUE(monoBack.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(monoBack.GetBitsPerPixel(), 1);
    EXPECT_EQ(monoBack.GetPixel(9, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(monoBack.GetPixel(8, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST(Clipboard, ForeignPaletteOverwritesOnlyItsEntries) {
    CPackedDibBitmap src;
    src.Create(2, 2, 8, false);  // grey ramp
    HGLOBAL dib = src.GetDIBCopy();
    struct {
        WORD version, count;
        PALETTEENTRY entries[3];
    } lp{0x300, 3, {{9, 8, 7, 0}, {6, 5, 4, 0}, {3, 2, 1, 0}}};
    HPALETTE palette = ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
    PutOnClipboard({{CF_DIB, dib}, {CF_PALETTE, palette}});
    CDisplayBitmap dst;
    ASSERT_TRUE(dst.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(dst.GetColorTable()[0].rgbRed, 9);
    EXPECT_EQ(dst.GetColorTable()[2].rgbBlue, 1);
    EXPECT_EQ(dst.GetColorTable()[2].rgbReserved, 0);
    EXPECT_EQ(dst.GetColorTable()[3].rgbRed, 3);  // grey ramp from here on
    EXPECT_EQ(dst.GetColorTable()[3].rgbReserved, 255);
    EXPECT_EQ(dst.GetColorTable()[255].rgbGreen, 255);
}

TEST(Clipboard, ForeignTrueColourDibsBecome32Bits) {
    // A 24-bit bottom-up DIB of 3 x 2, as many programs put it on the clipboard.
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::vector<uint8_t> bytes(40 + 2 * 12);
    std::memcpy(bytes.data(), &h, 40);
    uint8_t* rows = bytes.data() + 40;
    rows[0] = 1, rows[1] = 2, rows[2] = 3;            // bottom-left
    rows[12 + 6] = 200, rows[12 + 7] = 100, rows[12 + 8] = 50;  // top row, third pixel
    PutOnClipboard({{CF_DIB, GlobalBytes(bytes)}});
    CPackedDibBitmap dst;
    ASSERT_TRUE(dst.PasteFromClipboard(CF_DIB));
    ASSERT_EQ(dst.GetBitsPerPixel(), 32);
    EXPECT_EQ(dst.GetPixel(0, 1), PLMakePixel(3, 2, 1, 255));
    EXPECT_EQ(dst.GetPixel(2, 0), PLMakePixel(50, 100, 200, 255));
}

TEST(Clipboard, DeviceBitmapFormat) {
    WindowDC screen(nullptr);
    HBITMAP ddb = ::CreateCompatibleBitmap(screen.get(), 8, 6);
    {
        UniqueDC dc(::CreateCompatibleDC(screen.get()));
        SelectObjectGuard sel(dc.get(), ddb);
        RECT all{0, 0, 8, 6}, spot{7, 5, 8, 6};
        UniqueBrush green(::CreateSolidBrush(RGB(0, 255, 0))), blue(::CreateSolidBrush(RGB(0, 0, 255)));
        ::FillRect(dc.get(), &all, green.get());
        ::FillRect(dc.get(), &spot, blue.get());
    }
    PutOnClipboard({{CF_BITMAP, ddb}});  // the clipboard owns ddb now
    CDisplayBitmap dst;
    ASSERT_TRUE(dst.PasteFromClipboard(CF_BITMAP));
    EXPECT_EQ(dst.GetSize(), (PLSize{8, 6}));
    EXPECT_EQ(dst.GetBitsPerPixel(), 32);
    EXPECT_EQ(dst.GetPixel(0, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(dst.GetPixel(7, 5) & 0xFFFFFF, 0x0000FFu);

    // The system offers the device bitmap as CF_DIB too.
    CPackedDibBitmap asDib;
    if (::IsClipboardFormatAvailable(CF_DIB)) {
        ASSERT_TRUE(asDib.PasteFromClipboard(CF_DIB));
        EXPECT_EQ(asDib.GetPixel(7, 5) & 0xFFFFFF, 0x0000FFu);
    }
}

TEST(Clipboard, NothingThereOrNothingUsableChangesNothing) {
    CDisplayBitmap dst;
    dst.Create(3, 3, 32, false);
    dst.SetPixel(1, 1, 0x00456789);
    auto unchanged = [&] {
        EXPECT_EQ(dst.GetSize(), (PLSize{3, 3}));
        EXPECT_EQ(dst.GetPixel(1, 1), 0x00456789u);
    };
    EmptyTheClipboard();
    EXPECT_FALSE(dst.PasteFromClipboard(CF_DIB));
    EXPECT_FALSE(dst.PasteFromClipboard(CF_BITMAP));
    unchanged();

    // A CF_DIB whose header promises more rows than the block holds.
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 100;
    h.biHeight = 100;
    h.biPlanes = 1;
    h.biBitCount = 32;
    std::vector<uint8_t> truncated(40 + 64);
    std::memcpy(truncated.data(), &h, 40);
    PutOnClipboard({{CF_DIB, GlobalBytes(truncated)}});
    EXPECT_FALSE(dst.PasteFromClipboard(CF_DIB));
    unchanged();

    // RLE-compressed.
    h.biWidth = 2;
    h.biHeight = 2;
    h.biBitCount = 8;
    h.biCompression = BI_RLE8;
    std::vector<uint8_t> rle(40 + 1024 + 16);
    std::memcpy(rle.data(), &h, 40);
    PutOnClipboard({{CF_DIB, GlobalBytes(rle)}});
    EXPECT_FALSE(dst.PasteFromClipboard(CF_DIB));
    unchanged();

    // Formats that are not bitmaps.
    EXPECT_FALSE(dst.PasteFromClipboard(CF_TEXT));
    unchanged();
}

TEST(Clipboard, HeldByAnotherThread) {
    CDisplayBitmap first;
    first.Create(2, 2, 32, false);
    first.SetPixel(0, 0, 0x00ABCDEF);
    first.CopyToClipboard();

    HANDLE opened = ::CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window = ::CreateWindowA("STATIC", "holder", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        bool ok = ::OpenClipboard(window) != FALSE;
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 10000);
        if (ok) ::CloseClipboard();
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(opened, 10000);
    CDisplayBitmap second;
    second.Create(4, 4, 32, false);
    second.CopyToClipboard();  // cannot open the clipboard: does nothing
    CDisplayBitmap paste;
    EXPECT_FALSE(paste.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(paste.GetWidth(), 16);
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);

    ASSERT_TRUE(paste.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(paste.GetSize(), (PLSize{2, 2}));  // still the first copy
    EXPECT_EQ(paste.GetPixel(0, 0), 0x00ABCDEFu);
}

}  // namespace
