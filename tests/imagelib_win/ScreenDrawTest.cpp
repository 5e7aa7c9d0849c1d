// A display bitmap drawn into a real window on the desktop, read back from the screen.

#include <gtest/gtest.h>

#include <windows.h>

#include "GdiTestUtil.h"
#include "win/DisplayBitmap.h"

namespace {

class ScreenWindow {
public:
    ScreenWindow() {
        m_window.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100,
                                         120, 80, nullptr, nullptr, nullptr, nullptr));
        ::UpdateWindow(m_window.get());
        Pump();
    }
    HWND get() const { return m_window.get(); }
    static void Pump() {
        MSG msg;
        for (int i = 0; i < 20; ++i) {
            while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&msg);
            ::Sleep(10);
        }
    }
    // The screen pixel at a client position, as 0x00RRGGBB.
    uint32_t ScreenPixel(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(m_window.get(), &p);
        WindowDC screen(nullptr);
        COLORREF c = ::GetPixel(screen.get(), p.x, p.y);
        return Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }

private:
    UniqueWindow m_window;
};

TEST(ScreenDraw, DrawExOntoAWindowReachesTheScreen) {
    ScreenWindow window;
    CDisplayBitmap bmp;
    bmp.Create(40, 20, 32, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) bmp.SetPixel(x, y, x < 20 ? PLMakePixel(200, 30, 60) : PLMakePixel(20, 180, 90));
    {
        WindowDC dc(window.get());
        RECT dest{10, 10, 90, 50};  // twice the size
        ASSERT_TRUE(bmp.DrawEx(dc.get(), &dest, nullptr, nullptr, true, COLORONCOLOR, SRCCOPY));
        bmp.Draw(dc.get(), 0, 55);  // DrawDib, 1:1
    }
    ::GdiFlush();
    ScreenWindow::Pump();
    EXPECT_EQ(window.ScreenPixel(11, 11), Rgb(200, 30, 60));
    EXPECT_EQ(window.ScreenPixel(88, 48), Rgb(20, 180, 90));
    EXPECT_EQ(window.ScreenPixel(5, 60), Rgb(200, 30, 60));
    EXPECT_EQ(window.ScreenPixel(39, 74), Rgb(20, 180, 90));
}

TEST(ScreenDraw, IndexedBitmapThroughItsLogicalPalette) {
    ScreenWindow window;
    CDisplayBitmap bmp;
    bmp.Create(16, 16, 8, false);
    bmp.GetColorTable()[1] = PLRGBQuad{255, 0, 0, 255};  // blue
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) bmp.GetLine(y)[x] = static_cast<uint8_t>(x < 8 ? 1 : 128);
    bmp.RebuildPalette();
    {
        WindowDC dc(window.get());
        RECT dest{0, 0, 16, 16};
        ASSERT_TRUE(bmp.DrawEx(dc.get(), &dest, nullptr, nullptr, true, -1, SRCCOPY));
        ASSERT_TRUE(bmp.DrawDIBits(dc.get(), nullptr, nullptr, nullptr, false, COLORONCOLOR, SRCCOPY));
    }
    ScreenWindow::Pump();
    EXPECT_EQ(window.ScreenPixel(3, 3), Rgb(0, 0, 255));
    EXPECT_EQ(window.ScreenPixel(12, 12), Rgb(128, 128, 128));
}

}  // namespace
