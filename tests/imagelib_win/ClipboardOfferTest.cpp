// A picture offered on the clipboard (OfferToClipboard): the same bytes as the direct copy when
// it is read, the picture as it was when offered, readers on other threads served while this
// one handles messages, handed over before the end, and freed when somebody else takes the
// clipboard.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "GdiTestUtil.h"
#include "win/ClipboardOffer.h"
#include "win/DibGdi.h"
#include "win/DisplayBitmap.h"

namespace {

// The CF_DIB block on the clipboard, byte for byte; empty when there is none.
std::vector<uint8_t> ClipboardDibBytes() {
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

TEST(ClipboardOffer, SameBytesAsTheDirectCopy) {
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
        picture.OfferToClipboard();
        EXPECT_EQ(ClipboardDibBytes(), direct);
        EXPECT_TRUE(::IsClipboardFormatAvailable(CF_PALETTE));
    }
}

TEST(ClipboardOffer, ThePictureAsItWasWhenAsked) {
    CDisplayBitmap picture;
    picture.Create(40, 30, 32, false);
    picture.SetPixel(3, 4, 0x00112233);
    picture.OfferToClipboard();
    picture.SetPixel(3, 4, 0x00FFFFFF);  // the editor changes it right away
    CDisplayBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(pasted.GetPixel(3, 4) & 0xFFFFFF, 0x112233u);
}

TEST(ClipboardOffer, ALaterCopyWins) {
    CDisplayBitmap first, second;
    first.Create(300, 200, 32, false);
    second.Create(2, 3, 32, false);
    second.SetPixel(1, 2, 0x00ABCDEF);
    first.OfferToClipboard();
    second.CopyToClipboard();
    EXPECT_FALSE(CClipboardOffer::Instance().IsWaiting());  // freed when the clipboard was emptied
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

TEST(ClipboardOffer, ThePreviousOwnerOnThisThreadIsTold) {
    // Text put on the clipboard for a window of this thread: the offer empties the clipboard,
    // which sends that window WM_DESTROYCLIPBOARD.
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
    picture.OfferToClipboard();
    EXPECT_TRUE(g_destroyClipboardSeen);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT));
    CDisplayBitmap pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(CF_DIB));
    EXPECT_EQ(pasted.GetPixel(0, 0) & 0xFFFFFF, 0x654321u);
    ::DestroyWindow(owner);
}

// What a reader thread found on the clipboard.
struct ReadResult {
    bool gotDib = false;
    uint32_t pixel = 0;
};

DWORD WINAPI ReadFirstPixel(void* parameter) {
    auto* result = static_cast<ReadResult*>(parameter);
    CDisplayBitmap pasted;
    if (pasted.PasteFromClipboard(CF_DIB)) {
        result->gotDib = true;
        result->pixel = pasted.GetPixel(0, 0) & 0xFFFFFF;
    }
    return 0;
}

// Waits for thread while answering the messages sent to this one (as a message loop would).
bool WaitHandlingMessages(HANDLE thread, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        if (::MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
    }
}

TEST(ClipboardOffer, AReaderOnAnotherThreadGetsThePicture) {
    CDisplayBitmap picture;
    picture.Create(64, 48, 32, false);
    picture.SetPixel(0, 0, 0x00135790);
    picture.OfferToClipboard();
    ASSERT_TRUE(CClipboardOffer::Instance().IsWaiting());
    ReadResult result;
    UniqueHandle reader(::CreateThread(nullptr, 0, ReadFirstPixel, &result, 0, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_TRUE(WaitHandlingMessages(reader.get(), 10000));
    EXPECT_TRUE(result.gotDib);
    EXPECT_EQ(result.pixel, 0x135790u);
    EXPECT_FALSE(CClipboardOffer::Instance().IsWaiting());  // handed over, not kept twice
}

TEST(ClipboardOffer, HandedOverBeforeTheEndItNeedsNoOwner) {
    CDisplayBitmap picture;
    picture.Create(30, 20, 32, false);
    picture.SetPixel(0, 0, 0x00246801);
    picture.OfferToClipboard();
    dibgdi::RenderOfferedClipboard();
    EXPECT_FALSE(CClipboardOffer::Instance().IsWaiting());
    // This thread answers nothing now, as an ended program would not: the reader still gets it.
    ReadResult result;
    UniqueHandle reader(::CreateThread(nullptr, 0, ReadFirstPixel, &result, 0, nullptr));
    ASSERT_TRUE(reader);
    const bool ended = ::WaitForSingleObject(reader.get(), 10000) == WAIT_OBJECT_0;
    if (!ended) WaitHandlingMessages(reader.get(), 10000);  // release it before failing
    EXPECT_TRUE(ended);
    EXPECT_TRUE(result.gotDib);
    EXPECT_EQ(result.pixel, 0x246801u);
    dibgdi::RenderOfferedClipboard();  // nothing left to hand over: no change
    EXPECT_EQ(ClipboardDibBytes().empty(), false);
}

TEST(ClipboardOffer, SomebodyElseTakingTheClipboardFreesTheOffer) {
    CDisplayBitmap picture;
    picture.Create(500, 400, 32, false);
    picture.OfferToClipboard();
    ASSERT_TRUE(CClipboardOffer::Instance().IsWaiting());
    {
        ClipboardGuard clipboard(nullptr, 1000);
        ASSERT_TRUE(clipboard);
        ASSERT_TRUE(::EmptyClipboard());
    }
    EXPECT_FALSE(CClipboardOffer::Instance().IsWaiting());
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));
    dibgdi::RenderOfferedClipboard();  // nothing to hand over: the clipboard stays empty
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));
}

}  // namespace
