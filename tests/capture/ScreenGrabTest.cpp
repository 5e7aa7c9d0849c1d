// The finders and the capture bitmap on the real desktop: a pattern window of known pixels is the
// active window, its frame, client area and the whole screen are found and copied, and the copies
// are compared with the pattern and with screenshots.
#include <gtest/gtest.h>

#include <cstdio>

#include <atomic>
#include <thread>

#include "CaptureTestUtil.h"
#include "capture/CaptureBitmap.h"
#include "capture/CaptureGeometry.h"
#include "capture/WindowFinders.h"

using namespace capture_test;

namespace {

constexpr COLORREF kFill = RGB(0x12, 0xFE, 0x34);
constexpr uint32_t kFillRgb = 0x12FE34;

using e2e::ClientOnScreen;
using e2e::HelperPath;

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Str(const RECT& r) {
  char buf[96];
  std::snprintf(buf, sizeof(buf), "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return buf;
}

void SaveForFailure(const e2e::Image& image, const char* what) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string path = e2e::JoinPath(temp, std::string("capture-") + what + ".bmp");
  if (e2e::SaveBmp(image, path)) ADD_FAILURE() << "picture saved to " << path;
}

// A capture from the live screen.
UniqueBitmap Capture(const CaptureArea& area, int fillMode = WINDING) {
  CaptureSource source;
  return MakeCaptureBitmap(area, source.dc(), kFill, fillMode);
}

class ScreenGrab : public ::testing::Test {
 protected:
  void StartPattern(int x, int y, int w, int h, int variant = 0, const std::string& extra = "") {
    std::string args = e2e::PatternArgs("Capture pattern", x, y, w, h, variant);
    if (!extra.empty()) args += " " + extra;
    ASSERT_TRUE(m_app.Start(HelperPath(e2e::kPatternExe), args)) << m_app.LastError();
    m_hwnd = m_app.WaitForVisibleWindow(e2e::kPatternDefaultClass, 10000);
    ASSERT_NE(m_hwnd, nullptr);
    ASSERT_TRUE(e2e::ForceForeground(m_hwnd));
    m_variant = variant;
    ASSERT_TRUE(WaitPainted(variant));
  }
  // The pattern is on the screen in the window's client area.
  bool WaitPainted(int variant) {
    return e2e::WaitUntil(
        [&] {
          e2e::Image shot = e2e::CaptureWindow(m_hwnd, true);
          return !shot.Empty() &&
                 e2e::CountPixelsNotMatching(shot, RECT{0, 0, shot.width, shot.height},
                                             [variant](int x, int y) {
                                               return e2e::PatternPixel(variant, x, y);
                                             }) == 0;
        },
        5000, 50);
  }
  e2e::AppProcess m_app;
  HWND m_hwnd = nullptr;
  int m_variant = 0;
};

}  // namespace

TEST_F(ScreenGrab, ActiveWindowIsTheForegroundFrameAndItsCopyMatchesTheScreen) {
  StartPattern(120, 90, 300, 200);
  CaptureArea cap;
  cap.shapeCode = 5;
  ASSERT_TRUE(FindActiveWindowArea(nullptr, cap));
  EXPECT_TRUE(SameRect(cap.area, WindowRect(m_hwnd))) << Str(cap.area);
  EXPECT_EQ(cap.shapeCode, kShapeRectangle);

  UniqueBitmap bmp = Capture(cap);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  e2e::Image shot = e2e::CaptureScreenRect(cap.area);
  ASSERT_EQ(img.width, shot.width);
  ASSERT_EQ(img.height, shot.height);
  int differ = e2e::CountDifferentPixels(img, shot, RECT{0, 0, img.width, img.height});
  if (differ) SaveForFailure(img, "active-window");
  EXPECT_EQ(differ, 0);
  // The client part is the pattern.
  RECT client = ClientOnScreen(m_hwnd);
  RECT inImage{client.left - cap.area.left, client.top - cap.area.top,
               client.right - cap.area.left, client.bottom - cap.area.top};
  EXPECT_EQ(e2e::CountPixelsNotMatching(img, inImage,
                                        [&](int x, int y) {
                                          return e2e::PatternPixel(0, x - inImage.left,
                                                                   y - inImage.top);
                                        }),
            0);
}

TEST_F(ScreenGrab, ClientAreaIsExactlyThePattern) {
  StartPattern(200, 150, 257, 133, 2);
  CaptureArea cap;
  ASSERT_TRUE(FindClientArea(nullptr, cap));
  EXPECT_TRUE(SameRect(cap.area, ClientOnScreen(m_hwnd))) << Str(cap.area);
  EXPECT_EQ(cap.Width(), 257);
  EXPECT_EQ(cap.Height(), 133);
  UniqueBitmap bmp = Capture(cap);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  int wrong = e2e::CountPixelsNotMatching(img, RECT{0, 0, 257, 133}, [](int x, int y) {
    return e2e::PatternPixel(2, x, y);
  });
  if (wrong) SaveForFailure(img, "client");
  EXPECT_EQ(wrong, 0);
}

TEST_F(ScreenGrab, MaximisedWindowLosesTheFrameOffTheScreen) {
  StartPattern(100, 100, 200, 150);
  ShowWindow(m_hwnd, SW_MAXIMIZE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsZoomed(m_hwnd) != FALSE; }, 3000));
  e2e::PumpFor(300);
  ASSERT_TRUE(e2e::ForceForeground(m_hwnd));
  RECT window = WindowRect(m_hwnd);
  CaptureArea cap;
  ASSERT_TRUE(FindActiveWindowArea(nullptr, cap));
  RECT expected = ShrinkMaximizedFrame(window, GetSystemMetrics(SM_CXFRAME),
                                       GetSystemMetrics(SM_CYFRAME));
  EXPECT_TRUE(SameRect(cap.area, expected)) << Str(cap.area) << " window " << Str(window);
  // The system hangs the frame off the screen; what is left starts on the screen.
  EXPECT_GE(cap.area.left, 0) << Str(window);
  EXPECT_GE(cap.area.top, 0) << Str(window);
  EXPECT_LE(cap.area.right, GetSystemMetrics(SM_CXSCREEN));

  // Restored, the full frame is captured again.
  ShowWindow(m_hwnd, SW_RESTORE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsZoomed(m_hwnd); }, 3000));
  ASSERT_TRUE(e2e::ForceForeground(m_hwnd));
  ASSERT_TRUE(FindActiveWindowArea(nullptr, cap));
  EXPECT_TRUE(SameRect(cap.area, WindowRect(m_hwnd)));
}

TEST_F(ScreenGrab, OwnMainWindowAndMinimisedWindowsAreRefused) {
  StartPattern(150, 120, 220, 160);
  // The pattern window standing in for the program's own main window.
  CaptureArea cap;
  cap.area = RECT{1, 2, 3, 4};
  cap.shapeCode = 2;
  EXPECT_FALSE(FindActiveWindowArea(m_hwnd, cap));
  EXPECT_FALSE(FindClientArea(m_hwnd, cap));
  EXPECT_EQ(CapturableForegroundWindow(m_hwnd), nullptr);
  // Nothing changed on failure.
  EXPECT_TRUE(SameRect(cap.area, RECT{1, 2, 3, 4}));
  EXPECT_EQ(cap.shapeCode, 2);
  // Another window as "own": this one is taken.
  EXPECT_EQ(CapturableForegroundWindow(GetDesktopWindow()), m_hwnd);

  ShowWindow(m_hwnd, SW_MINIMIZE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(m_hwnd) != FALSE; }, 3000));
  e2e::PumpFor(200);
  if (GetForegroundWindow() == m_hwnd) {
    EXPECT_FALSE(FindActiveWindowArea(nullptr, cap));
    EXPECT_FALSE(FindClientArea(nullptr, cap));
  } else {
    // The system moved the foreground elsewhere; it must not be the minimised window.
    EXPECT_NE(CapturableForegroundWindow(nullptr), m_hwnd);
  }
}

TEST(ActiveWindowRules, ChildWindowsOwnWindowAndDeadHandlesAreRefused) {
  UniqueWindow top(CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(top);
  // A control inside a dialog-like window.
  HWND child = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 5, 5, 60, 20, top.get(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(IsCapturableActiveWindow(top.get(), nullptr));
  EXPECT_TRUE(IsCapturableActiveWindow(top.get(), child));
  EXPECT_FALSE(IsCapturableActiveWindow(top.get(), top.get()));
  EXPECT_FALSE(IsCapturableActiveWindow(child, nullptr));
  EXPECT_FALSE(IsCapturableActiveWindow(nullptr, nullptr));
  HWND gone = top.get();
  top.reset();
  EXPECT_FALSE(IsCapturableActiveWindow(gone, nullptr));
}

TEST_F(ScreenGrab, DesktopIsTheWholeScreen) {
  StartPattern(40, 40, 100, 80, 1);
  CaptureArea cap;
  cap.shapeCode = 2;
  FindDesktopArea(cap);
  EXPECT_TRUE(SameRect(cap.area, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN)}))
      << Str(cap.area);
  EXPECT_EQ(cap.shapeCode, kShapeRectangle);
  UniqueBitmap bmp = Capture(cap);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  e2e::Image shot = e2e::CaptureScreen();
  ASSERT_EQ(img.width, shot.width);
  ASSERT_EQ(img.height, shot.height);
  EXPECT_EQ(e2e::CountDifferentPixels(img, shot, RECT{0, 0, img.width, img.height}), 0);
  RECT client = ClientOnScreen(m_hwnd);
  EXPECT_EQ(img.Rgb(client.left + 5, client.top + 7), e2e::PatternPixel(1, 5, 7));
}

TEST_F(ScreenGrab, EllipseAndPolygonMasksOnTheScreen) {
  StartPattern(100, 80, 320, 240, 3);
  RECT client = ClientOnScreen(m_hwnd);
  auto pattern = [&](int left, int top) {
    return [left, top](int x, int y) { return e2e::PatternPixel(3, left + x, top + y); };
  };

  CaptureArea ellipse;
  ellipse.area = RECT{client.left + 20, client.top + 10, client.left + 260, client.top + 190};
  ellipse.shapeCode = kShapeEllipse;
  UniqueBitmap bmp = Capture(ellipse);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  MaskCheck c = CheckMask(img, kFillRgb, [](int x, int y) { return EllipseSide(x, y, 240, 180); },
                          pattern(20, 10));
  if (c.insideWrong || c.outsideWrong) SaveForFailure(img, "ellipse");
  EXPECT_GT(c.inside, 20000);
  EXPECT_EQ(c.insideWrong, 0);
  EXPECT_EQ(c.outsideWrong, 0);

  // A self-crossing star by both rules.
  std::vector<POINT> star = Pentagram(110, 110, 105);
  CaptureArea poly;
  poly.area = RECT{client.left + 40, client.top + 5, client.left + 260, client.top + 225};
  for (size_t i = 0; i < star.size(); ++i) poly.points[i] = star[i];
  poly.shapeCode = static_cast<int>(star.size());
  for (bool winding : {true, false}) {
    bmp = Capture(poly, winding ? WINDING : ALTERNATE);
    ASSERT_TRUE(bmp);
    img = ReadBitmap(bmp.get());
    c = CheckMask(img, kFillRgb, [&](int x, int y) { return PolygonSide(x, y, star, winding); },
                  pattern(40, 5));
    if (c.insideWrong || c.outsideWrong) SaveForFailure(img, winding ? "winding" : "alternate");
    EXPECT_EQ(c.insideWrong, 0) << "winding " << winding;
    EXPECT_EQ(c.outsideWrong, 0) << "winding " << winding;
    EXPECT_EQ(img.Rgb(110, 110), winding ? e2e::PatternPixel(3, 150, 115) : kFillRgb);
  }
}

// ---------------------------------------------------------------------------------------------
// Popup menus, opened by a thread of this process with a window of its own.

namespace {

constexpr UINT kCloseMenu = WM_APP + 7;

LRESULT CALLBACK MenuOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCloseMenu) {
    EndMenu();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

class MenuThread {
 public:
  // Opens a popup menu at (x, y); with a submenu as its first item when withSubmenu.
  MenuThread(int x, int y, bool withSubmenu) {
    m_thread = std::thread([this, x, y, withSubmenu] { Run(x, y, withSubmenu); });
    e2e::WaitUntil([this] { return m_owner.load() != nullptr; }, 5000);
  }
  ~MenuThread() { Close(); }
  void Close() {
    if (!m_thread.joinable()) return;
    HWND owner = m_owner.load();
    // Repeated: the message must reach the menu loop, which may not have started yet.
    e2e::WaitUntil(
        [&] {
          if (owner) PostMessageA(owner, kCloseMenu, 0, 0);
          return m_done.load();
        },
        5000, 100);
    m_thread.join();
  }
  HWND Owner() const { return m_owner.load(); }

 private:
  void Run(int x, int y, bool withSubmenu) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MenuOwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CaptureTestMenuOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "menu owner", WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    HMENU menu = CreatePopupMenu();
    if (withSubmenu) {
      HMENU sub = CreatePopupMenu();
      AppendMenuA(sub, MF_STRING, 11, "Inner one");
      AppendMenuA(sub, MF_STRING, 12, "Inner two");
      AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Submenu");
    }
    AppendMenuA(menu, MF_STRING, 1, "First item");
    AppendMenuA(menu, MF_STRING, 2, "Second item");
    ShowWindow(owner, SW_SHOW);
    SetForegroundWindow(owner);
    m_owner = owner;
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    m_done = true;
  }
  std::thread m_thread;
  std::atomic<HWND> m_owner{nullptr};
  std::atomic<bool> m_done{false};
};

BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM lp) {
  if (e2e::WindowClassName(hwnd) == kPopupMenuClass && IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

// Visible popup-menu windows in Z-order, topmost first.
std::vector<HWND> VisibleMenuWindows() {
  std::vector<HWND> found;
  EnumWindows(CollectMenuWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

TEST(PopupMenuFinder, FindsTheDisplayedMenuAndFailsWithoutOne) {
  CaptureArea cap;
  cap.area = RECT{1, 2, 3, 4};
  ASSERT_TRUE(VisibleMenuWindows().empty());
  EXPECT_FALSE(FindPopupMenuArea(cap));
  EXPECT_TRUE(SameRect(cap.area, RECT{1, 2, 3, 4}));

  MenuThread menu(300, 200, false);
  ASSERT_TRUE(e2e::WaitUntil([] { return VisibleMenuWindows().size() == 1; }, 5000));
  HWND menuWindow = VisibleMenuWindows()[0];
  cap.shapeCode = 2;
  ASSERT_TRUE(FindPopupMenuArea(cap));
  EXPECT_TRUE(SameRect(cap.area, WindowRect(menuWindow))) << Str(cap.area);
  EXPECT_EQ(cap.area.left, 300);
  EXPECT_EQ(cap.area.top, 200);
  EXPECT_EQ(cap.shapeCode, 2);  // the shape is not the finder's business

  // The capture shows the menu as it is on the screen.
  cap.shapeCode = kShapeRectangle;
  UniqueBitmap bmp = Capture(cap);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  e2e::Image shot = e2e::CaptureScreenRect(cap.area);
  EXPECT_EQ(e2e::CountDifferentPixels(img, shot, RECT{0, 0, img.width, img.height}), 0);

  menu.Close();
  ASSERT_TRUE(e2e::WaitUntil([] { return VisibleMenuWindows().empty(); }, 5000));
  EXPECT_FALSE(FindPopupMenuArea(cap));
}

TEST(PopupMenuFinder, HiddenMenuWindowsAreSkipped) {
  // A menu-class window that shows nothing, first in Z-order.
  UniqueWindow hidden(CreateWindowExA(WS_EX_TOPMOST, kPopupMenuClass, "", WS_POPUP, 5, 5, 50, 50,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!hidden) GTEST_SKIP() << "this system does not let programs make menu-class windows";
  ASSERT_EQ(e2e::WindowClassName(hidden.get()), kPopupMenuClass);
  ASSERT_FALSE(IsWindowVisible(hidden.get()));
  CaptureArea cap;
  EXPECT_FALSE(FindPopupMenuArea(cap));

  MenuThread menu(320, 240, false);
  ASSERT_TRUE(e2e::WaitUntil([] { return VisibleMenuWindows().size() == 1; }, 5000));
  ASSERT_TRUE(FindPopupMenuArea(cap));
  EXPECT_EQ(cap.area.left, 320);
  EXPECT_EQ(cap.area.top, 240);
}

TEST(PopupMenuFinder, WithASubmenuOpenTheFirstInZOrderIsTaken) {
  MenuThread menu(200, 150, true);
  ASSERT_TRUE(e2e::WaitUntil([] { return VisibleMenuWindows().size() == 1; }, 5000));
  HWND outer = VisibleMenuWindows()[0];
  // Highlight the submenu item and open it.
  e2e::WaitUntil(
      [&] {
        e2e::KeyPress(VK_DOWN);
        e2e::KeyPress(VK_RIGHT);
        return e2e::WaitUntil([] { return VisibleMenuWindows().size() == 2; }, 1000);
      },
      5000, 100);
  std::vector<HWND> menus = VisibleMenuWindows();
  ASSERT_EQ(menus.size(), 2u) << "the submenu did not open";
  HWND inner = menus[0] == outer ? menus[1] : menus[0];
  EXPECT_EQ(menus[0], inner) << "the submenu opens above its parent";
  CaptureArea cap;
  ASSERT_TRUE(FindPopupMenuArea(cap));
  EXPECT_TRUE(SameRect(cap.area, WindowRect(menus[0]))) << Str(cap.area);
}
