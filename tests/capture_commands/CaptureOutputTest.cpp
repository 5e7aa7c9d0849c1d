// On the shared desktop: the clipboard output of a capture and the mouse pointer drawn into the
// screen for a capture and taken away again.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "E2EDriver.h"
#include "GdiTestUtil.h"
#include "capture/CaptureClipboard.h"
#include "capture/PointerBackground.h"

namespace e2e = lumatre::e2e;

namespace {

// A device bitmap like a capture's, painted with pattern variant 3.
UniqueBitmap MakePatternBitmap(int width, int height) {
  WindowDC screen(nullptr);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  std::vector<uint32_t> bits(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bits[static_cast<size_t>(y) * width + x] = e2e::PatternPixel(3, x, y);
  BITMAPINFO bi = TopDown32BitmapInfo(width, height);
  ::SetDIBits(screen.get(), bitmap.get(), 0, height, bits.data(), &bi, DIB_RGB_COLORS);
  return bitmap;
}

TEST(CaptureClipboard, TheCapturedPictureArrivesAsDibAndPalette) {
  ASSERT_TRUE(e2e::ClearClipboard());
  UniqueBitmap captured = MakePatternBitmap(37, 23);
  ASSERT_TRUE(captured);
  ASSERT_TRUE(CopyCaptureToClipboard(captured.get()));
  EXPECT_TRUE(e2e::ClipboardHasFormat(CF_DIB));
  EXPECT_TRUE(e2e::ClipboardHasFormat(CF_PALETTE));
  std::optional<e2e::Image> dib = e2e::ReadClipboardDib();
  ASSERT_TRUE(dib.has_value());
  ASSERT_EQ(dib->width, 37);
  ASSERT_EQ(dib->height, 23);
  EXPECT_EQ(e2e::CountPixelsNotMatching(*dib, RECT{0, 0, 37, 23},
                                        [](int x, int y) { return e2e::PatternPixel(3, x, y); }),
            0);
  // The caller's bitmap is untouched and still its own.
  BITMAP bm{};
  EXPECT_EQ(::GetObjectA(captured.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
}

TEST(CaptureClipboard, NothingToCopyLeavesTheClipboardAlone) {
  ASSERT_TRUE(e2e::WriteClipboardText("kept"));
  EXPECT_FALSE(CopyCaptureToClipboard(nullptr));
  // Not a bitmap at all.
  UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
  EXPECT_FALSE(CopyCaptureToClipboard(reinterpret_cast<HBITMAP>(brush.get())));
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "kept");
}

TEST(CaptureClipboard, AClipboardHeldByAnotherWindowIsReportedAsFailure) {
  ASSERT_TRUE(e2e::WriteClipboardText("kept"));
  std::atomic<int> opened{0};  // 1 open, -1 could not open
  std::atomic<bool> release{false};
  std::thread holder([&] {
    // Opened for a window of its own, as another program would.
    HWND window = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    if (!window || !::OpenClipboard(window)) {
      opened = -1;
      if (window) ::DestroyWindow(window);
      return;
    }
    opened = 1;
    while (!release) ::Sleep(10);
    ::CloseClipboard();
    ::DestroyWindow(window);
  });
  while (opened == 0) ::Sleep(5);
  if (opened < 0) {
    holder.join();
    FAIL() << "the holder thread could not open the clipboard";
  }
  UniqueBitmap captured = MakePatternBitmap(8, 8);
  const bool copied = CopyCaptureToClipboard(captured.get());
  release = true;
  holder.join();
  EXPECT_FALSE(copied);
  EXPECT_EQ(e2e::ReadClipboardText().value_or(""), "kept");
}

TEST(PointerSize, MonochromeMasksAreTwiceAsHighAsTheCursor) {
  EXPECT_EQ(CursorSizeFromMask(32, 64, false).cx, 32);
  EXPECT_EQ(CursorSizeFromMask(32, 64, false).cy, 32);
  EXPECT_EQ(CursorSizeFromMask(32, 32, true).cy, 32);  // colour cursor: the mask is its size
  EXPECT_EQ(CursorSizeFromMask(48, 48, true).cx, 48);
  EXPECT_EQ(CursorSizeFromMask(0, 64, false).cx, 0);
  EXPECT_EQ(CursorSizeFromMask(32, -2, true).cy, 0);
}

class PointerOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_pattern.Start(e2e::JoinPath(e2e::ExecutableFolder(), e2e::kPatternExe),
                               e2e::PatternArgs("Pointer", 200, 150, 200, 160, 2)))
        << m_pattern.LastError();
    m_hwnd = m_pattern.WaitForVisibleWindow(e2e::kPatternDefaultClass, 10000);
    ASSERT_NE(m_hwnd, nullptr);
    ASSERT_TRUE(e2e::ForceForeground(m_hwnd));
    ASSERT_TRUE(e2e::WaitUntil([&] { return PatternIntact(); }, 5000));
  }
  bool PatternIntact() {
    e2e::Image shot = e2e::CaptureWindow(m_hwnd, true);
    return !shot.Empty() && e2e::CountPixelsNotMatching(shot, RECT{0, 0, shot.width, shot.height},
                                                        [](int x, int y) {
                                                          return e2e::PatternPixel(2, x, y);
                                                        }) == 0;
  }
  POINT ClientPoint(int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(m_hwnd, &p);
    return p;
  }
  e2e::AppProcess m_pattern;
  HWND m_hwnd = nullptr;
};

TEST_F(PointerOnScreen, DrawnOverThePatternAndPutBackExactly) {
  HCURSOR arrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  ASSERT_NE(arrow, nullptr);
  const POINT at = ClientPoint(60, 50);
  CPointerBackground background;
  ASSERT_TRUE(DrawPointerOnScreen(arrow, at, background));
  ASSERT_FALSE(background.IsEmpty());
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(arrow, &info));
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  EXPECT_EQ(background.Position().x, at.x - static_cast<LONG>(info.xHotspot));
  EXPECT_EQ(background.Position().y, at.y - static_cast<LONG>(info.yHotspot));
  const SIZE size = background.Size();
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);

  // The pointer is on the screen now, inside the saved rectangle only.
  const POINT origin = background.Position();
  e2e::Image shot = e2e::CaptureWindow(m_hwnd, true);
  POINT client = origin;
  ::ScreenToClient(m_hwnd, &client);
  const RECT saved{client.x, client.y, client.x + size.cx, client.y + size.cy};
  auto expected = [](int x, int y) { return e2e::PatternPixel(2, x, y); };
  EXPECT_GT(e2e::CountPixelsNotMatching(shot, saved, expected), 0);
  EXPECT_EQ(e2e::CountPixelsNotMatching(shot, RECT{0, 0, shot.width, saved.top}, expected), 0);
  EXPECT_EQ(e2e::CountPixelsNotMatching(shot, RECT{0, saved.bottom, shot.width, shot.height}, expected), 0);

  WindowDC screen(nullptr);
  background.Restore(screen.get());
  EXPECT_TRUE(background.IsEmpty());
  EXPECT_EQ(background.Position().x, -1);
  EXPECT_TRUE(PatternIntact());
  background.Restore(screen.get());  // a second restore does nothing
  EXPECT_TRUE(PatternIntact());
}

TEST_F(PointerOnScreen, NoCursorDrawsNothing) {
  CPointerBackground background;
  EXPECT_FALSE(DrawPointerOnScreen(nullptr, ClientPoint(10, 10), background));
  EXPECT_TRUE(background.IsEmpty());
  EXPECT_TRUE(PatternIntact());
}

}  // namespace
