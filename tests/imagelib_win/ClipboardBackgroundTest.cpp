// The clipboard taking a picture on a worker thread (CopyToClipboardInBackground): the same bytes
// as the direct copy, in the order the program asked, and no hang when the waiting thread owns
// the clipboard's previous content.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "GdiTestUtil.h"
#include "win/DibGdi.h"
#include "win/DisplayBitmap.h"

namespace {

// The CF_DIB block on the clipboard, byte for byte; empty when there is none.
std::vector<uint8_t> ClipboardDibBytes() {
    dibgdi::FinishClipboardPut();
    ClipboardGuard clipboard(nullptr, 1000);
    if (!clipboard) return {};
    HANDLE data = ::GetClipboardData(CF_DIB);
    if (data == nullptr) return {};
    GlobalLockGuard lock(static_cast<HGLOBAL>(data));
    if (!lock) return {};
    const auto* p = static_cast<const uint8_t*>(lock.get());
    // The block may be rounded up; the DIB itself ends with its rows.
    const auto* h = static_cast<const BITMAPINFOHEADER*>(lock.get());
    const size_t colours = h->biBitCount <= 8 ? (size_t{1} << h->biBitCount) : 0;
    const size_t rowLength = ((static_cast<size_t>(h->biWidth) * h->biBitCount + 31) / 32) * 4;
    const size_t size = h->biSize + colours * 4 + rowLength * static_cast<size_t>(h->biHeight);
    if (lock.size() < size) return {};
    return std::vector<uint8_t>(p, p + size);
}

bool ClearClipboard() {
    ClipboardGuard clipboard(nullptr, 1000);
    return clipboard && ::EmptyClipboard();
}

void Fill(CDibBitmap& bmp, int seed) {
    for (int y = 0; y < bmp.GetHeight(); ++y) {
        uint8_t* row = bmp.GetLine(y);
        for (int i = 0; i < bmp.GetPixelBytesPerLine(); ++i) row[i] = static_cast<uint8_t>(seed + y * 31 + i * 7);
    }
    if (bmp.GetColorTable() != nullptr)
        for (int i = 0; i < bmp.GetNumColors(); ++i)
            bmp.GetColorTable()[i] = PLRGBQuad{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                               static_cast<uint8_t>(seed + i), 0};
}

TEST(ClipboardInBackground, SameBytesAsTheDirectCopy) {
    // Widths whose rows need padding at every depth, and one that needs none.
    const struct {
        int width, height;
        uint16_t depth;
    } cases[] = {{13, 7, 32}, {64, 3, 32}, {5, 3, 8}, {31, 4, 8}, {10, 2, 1}, {33, 5, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        CDisplayBitmap picture;
        picture.Create(c.width, c.height, c.depth, false);
        Fill(picture, c.width);
        picture.CopyToClipboard();
        const std::vector<uint8_t> direct = ClipboardDibBytes();
        ASSERT_FALSE(direct.empty());
        ASSERT_TRUE(ClearClipboard());
        picture.CopyToClipboardInBackground();
        EXPECT_EQ(ClipboardDibBytes(), direct);
        EXPECT_TRUE(::IsClipboardFormatAvailable(CF_PALETTE));
    }
}

TEST(ClipboardInBackground, ThePictureAsItWasWhenAsked) {
    CDisplayBitmap picture;
    picture.Create(40, 30, 32, false);
    picture.SetPixel(3, 4, 0x00112233);
    picture.CopyToClipboardInBackground();
    picture.SetPixel(3, 4, 0x00FFFFFF);  // the editor changes it right away
    CDisplayBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(CF_DIB));  // waits for the put
    EXPECT_EQ(pasted.GetPixel(3, 4) & 0xFFFFFF, 0x112233u);
}

TEST(ClipboardInBackground, ALaterCopyWins) {
    CDisplayBitmap first, second;
    first.Create(300, 200, 32, false);
    second.Create(2, 3, 32, false);
    second.SetPixel(1, 2, 0x00ABCDEF);
    first.CopyToClipboardInBackground();
    second.CopyToClipboard();
    CDisplayBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(pasted.GetSize(), (PLSize{2, 3}));
    EXPECT_EQ(pasted.GetPixel(1, 2) & 0xFFFFFF, 0xABCDEFu);
}

bool g_destroyClipboardSeen = false;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROYCLIPBOARD) g_destroyClipboardSeen = true;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST(ClipboardInBackground, WaitingAnswersTheClipboardsMessagesToThisThread) {
    // Text put on the clipboard for a window of this thread: emptying the clipboard sends that
    // window WM_DESTROYCLIPBOARD, which only this thread can answer, while it waits.
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "LumatreClipboardOwnerTest";
    ::RegisterClassA(&wc);
    HWND owner = ::CreateWindowA(wc.lpszClassName, "owner", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        ClipboardGuard clipboard(owner, 1000);
        ASSERT_TRUE(clipboard);
        ::EmptyClipboard();
        HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 5);
        std::memcpy(::GlobalLock(text), "text", 5);
        ::GlobalUnlock(text);
        ASSERT_NE(::SetClipboardData(CF_TEXT, text), nullptr);
    }
    g_destroyClipboardSeen = false;
    CDisplayBitmap picture;
    picture.Create(20, 10, 32, false);
    picture.SetPixel(0, 0, 0x00654321);
    picture.CopyToClipboardInBackground();
    dibgdi::FinishClipboardPut();
    EXPECT_TRUE(g_destroyClipboardSeen);  // answered during the wait, not left hanging
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT));
    CDisplayBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(pasted.GetPixel(0, 0) & 0xFFFFFF, 0x654321u);
    ::DestroyWindow(owner);
}

}  // namespace
