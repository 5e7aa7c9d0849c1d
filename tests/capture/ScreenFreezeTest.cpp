// The screen freezer on the real desktop: its window, the still image that later changes of the
// screen do not reach, a window that shows nothing but that image, and the mouse buttons on it.
#include <gtest/gtest.h>

#include "CaptureTestUtil.h"
#include "capture/CaptureBitmap.h"
#include "capture/ScreenFreezeWnd.h"

using namespace capture_test;

namespace {

constexpr COLORREF kFill = RGB(0x12, 0xFE, 0x34);

using e2e::ClientOnScreen;
using e2e::HelperPath;

void SaveForFailure(const e2e::Image& image, const char* what) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string path = e2e::JoinPath(temp, std::string("freeze-") + what + ".bmp");
  if (e2e::SaveBmp(image, path)) ADD_FAILURE() << "picture saved to " << path;
}

int PatternMismatches(const e2e::Image& img, int variant) {
  if (img.Empty()) return -1;
  return e2e::CountPixelsNotMatching(img, RECT{0, 0, img.width, img.height},
                                     [variant](int x, int y) {
                                       return e2e::PatternPixel(variant, x, y);
                                     });
}

class ScreenFreeze : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program's main window stand-in: hidden, like the main frame during a capture.
    m_owner.reset(CreateWindowExA(0, "STATIC", "Freeze owner", WS_OVERLAPPEDWINDOW, 600, 400, 200,
                                 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(m_owner);
  }
  void TearDown() override {
    if (m_freezer.GetSafeHwnd()) m_freezer.DestroyWindow();
    e2e::PumpFor(100);
  }
  void StartPattern(int variant = 0) {
    std::string args = e2e::PatternArgs("Freeze pattern", 150, 120, 240, 180, variant);
    ASSERT_TRUE(m_app.Start(HelperPath(e2e::kPatternExe), args)) << m_app.LastError();
    m_pattern = m_app.WaitForVisibleWindow(e2e::kPatternDefaultClass, 10000);
    ASSERT_NE(m_pattern, nullptr);
    ASSERT_TRUE(e2e::ForceForeground(m_pattern));
    m_client = ClientOnScreen(m_pattern);
    ASSERT_TRUE(WaitScreenShows(variant)) << "the pattern window did not paint";
  }
  // The screen at the pattern's client area shows this variant.
  bool WaitScreenShows(int variant, DWORD timeoutMs = 5000) {
    return e2e::WaitUntil(
        [&] { return PatternMismatches(e2e::CaptureScreenRect(m_client), variant) == 0; },
        timeoutMs, 50);
  }
  // Switches the pattern (the window repaints at once).
  void SwitchPattern(int variant) {
    ASSERT_EQ(SendMessageA(m_pattern, e2e::kPatternSetVariant, variant, 0), 1);
  }
  // A capture of the pattern's client area read from the still image (as the capture does when
  // freezing).
  e2e::Image CaptureFromStill() {
    const CScreenStill& still = m_freezer.Still();
    CaptureSource source(still.MemoryDC(), still.Image());
    EXPECT_TRUE(source.UsesStillImage());
    CaptureArea cap;
    cap.area = m_client;
    UniqueBitmap bmp = MakeCaptureBitmap(cap, source.dc(), kFill, WINDING);
    return ReadBitmap(bmp.get());
  }

  UniqueWindow m_owner;
  CScreenFreezeWnd m_freezer;
  e2e::AppProcess m_app;
  HWND m_pattern = nullptr;
  RECT m_client{};
};

}  // namespace

TEST_F(ScreenFreeze, CreatedHiddenAsAnOwnedPopupToolWindow) {
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  HWND hwnd = m_freezer.GetSafeHwnd();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), m_owner.get());
  EXPECT_EQ(m_freezer.Owner(), m_owner.get());
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 100);
  UINT classStyle = static_cast<UINT>(GetClassLongA(hwnd, GCL_STYLE));
  EXPECT_EQ(classStyle & (CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
            UINT{CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS});
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0);
  EXPECT_FALSE(m_freezer.HasStillImage());
  // Only one window per object.
  EXPECT_FALSE(m_freezer.CreateHidden(m_owner.get()));
}

TEST_F(ScreenFreeze, WindowModeTakesTheStillImageButStaysHidden) {
  StartPattern(0);
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  ASSERT_EQ(m_freezer.Freeze(false), 1);
  EXPECT_FALSE(IsWindowVisible(m_freezer.GetSafeHwnd()));
  ASSERT_TRUE(m_freezer.HasStillImage());
  EXPECT_EQ(m_freezer.Still().Metrics(), CScreenStill::ReadScreenMetrics());

  // The screen changes; the live screen shows it, the still image does not.
  SwitchPattern(1);
  ASSERT_TRUE(WaitScreenShows(1));
  e2e::Image still = CaptureFromStill();
  int wrong = PatternMismatches(still, 0);
  if (wrong) SaveForFailure(still, "still-window-mode");
  EXPECT_EQ(wrong, 0);
}

TEST_F(ScreenFreeze, DrawnModeCoversTheScreenAndHidesLaterChanges) {
  StartPattern(0);
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  e2e::Image before = e2e::CaptureScreen();
  ASSERT_EQ(m_freezer.Freeze(true), 1);
  HWND hwnd = m_freezer.GetSafeHwnd();
  // Painted before Freeze returns, with no message processed: a selection drawn right away is
  // never painted over.
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
  EXPECT_EQ(PatternMismatches(e2e::CaptureScreenRect(m_client), 0), 0);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  // Not activated: the pattern window keeps the foreground.
  EXPECT_EQ(GetForegroundWindow(), m_pattern);
  e2e::PumpFor(300);
  // The whole screen looks as it did.
  e2e::Image after = e2e::CaptureScreen();
  EXPECT_EQ(e2e::CountDifferentPixels(before, after, RECT{0, 0, before.width, before.height}), 0);

  // Nothing of its own is drawn: the pattern is still what the screen shows (no white class
  // brush, no black empty surface).
  e2e::Image screen = e2e::CaptureScreenRect(m_client);
  int wrong = PatternMismatches(screen, 0);
  if (wrong) SaveForFailure(screen, "covered");
  EXPECT_EQ(wrong, 0);

  // The pattern window repaints below it: the screen looks frozen, and so does the capture.
  SwitchPattern(1);
  e2e::PumpFor(500);
  screen = e2e::CaptureScreenRect(m_client);
  wrong = PatternMismatches(screen, 0);
  if (wrong) SaveForFailure(screen, "frozen");
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(PatternMismatches(CaptureFromStill(), 0), 0);

  // Asked to erase and paint, it still shows only the old screen.
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
  e2e::PumpFor(200);
  EXPECT_EQ(PatternMismatches(e2e::CaptureScreenRect(m_client), 0), 0);
  EXPECT_NE(SendMessageA(hwnd, WM_ERASEBKGND, 0, 0), 0);

  // Hidden again, the changed window shows.
  m_freezer.Hide();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(WaitScreenShows(1));
}

TEST_F(ScreenFreeze, TheStillImageIsReusedWhileTheScreenModeStays) {
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  ASSERT_EQ(m_freezer.Freeze(false), 1);
  HBITMAP first = m_freezer.Still().Image();
  HDC firstDC = m_freezer.Still().MemoryDC();
  ASSERT_EQ(m_freezer.Freeze(false), 1);
  EXPECT_EQ(m_freezer.Still().Image(), first);
  EXPECT_EQ(m_freezer.Still().MemoryDC(), firstDC);
  SIZE s = BitmapSize(first);
  EXPECT_EQ(s.cx, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(ScreenFreeze, FreezesWithoutAWindowToo) {
  StartPattern(2);
  ASSERT_EQ(m_freezer.Freeze(true), 1);
  ASSERT_TRUE(m_freezer.HasStillImage());
  EXPECT_EQ(PatternMismatches(CaptureFromStill(), 2), 0);
}

TEST_F(ScreenFreeze, RightClickEscapesToTheMainWindow) {
  StartPattern(0);
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  ASSERT_EQ(m_freezer.Freeze(true), 1);
  e2e::PumpFor(200);
  ASSERT_FALSE(IsWindowVisible(m_owner.get()));
  e2e::MouseClick(500, 300, e2e::MouseButton::Right);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(m_freezer.GetSafeHwnd()); }, 3000))
      << "the right click did not hide the freezer";
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(m_owner.get()) != FALSE; }, 3000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == m_owner.get(); }, 3000));
  EXPECT_FALSE(m_freezer.Clicked());
  // The still image is still there for a capture.
  EXPECT_TRUE(m_freezer.HasStillImage());
}

TEST_F(ScreenFreeze, RightClickRunsTheEscapeHandlerWhenOneIsSet) {
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  int escapes = 0;
  m_freezer.SetEscapeHandler([&] { ++escapes; });
  ASSERT_EQ(m_freezer.Freeze(true), 1);
  e2e::PumpFor(200);
  e2e::MouseClick(400, 400, e2e::MouseButton::Right);
  ASSERT_TRUE(e2e::WaitUntil([&] { return escapes == 1; }, 3000));
  EXPECT_FALSE(IsWindowVisible(m_freezer.GetSafeHwnd()));
  EXPECT_FALSE(IsWindowVisible(m_owner.get()));  // the handler decides about the main window
}

TEST_F(ScreenFreeze, LeftClickSetsTheClickedFlagAndKeepsTheWindow) {
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  ASSERT_EQ(m_freezer.Freeze(true), 1);
  e2e::PumpFor(200);
  EXPECT_FALSE(m_freezer.Clicked());
  e2e::MouseClick(300, 300, e2e::MouseButton::Left);
  ASSERT_TRUE(e2e::WaitUntil([&] { return m_freezer.Clicked(); }, 3000));
  EXPECT_TRUE(IsWindowVisible(m_freezer.GetSafeHwnd()));
  m_freezer.ResetClicked();
  EXPECT_FALSE(m_freezer.Clicked());
  m_freezer.Hide();
}

namespace {

// Puts the display mode of the registry back when the test ends, however it ends.
struct DisplayModeRestore {
  ~DisplayModeRestore() {
    ChangeDisplaySettingsA(nullptr, 0);
    e2e::PumpFor(500);
  }
};

}  // namespace

TEST_F(ScreenFreeze, ANewStillImageAfterTheScreenModeChanges) {
  ASSERT_TRUE(m_freezer.CreateHidden(m_owner.get()));
  ASSERT_EQ(m_freezer.Freeze(false), 1);
  const ScreenMetrics first = m_freezer.Still().Metrics();
  const int width = first.width == 800 ? 640 : 800;
  const int height = first.width == 800 ? 480 : 600;

  DisplayModeRestore restore;
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
    GTEST_SKIP() << "the display mode cannot be changed here";
  if (!e2e::WaitUntil([&] { return GetSystemMetrics(SM_CXSCREEN) == width; }, 3000))
    GTEST_SKIP() << "the display mode change did not take effect";

  ASSERT_EQ(m_freezer.Freeze(true), 1);
  EXPECT_EQ(m_freezer.Still().Metrics().width, width);
  EXPECT_EQ(m_freezer.Still().Metrics().height, height);
  SIZE s = BitmapSize(m_freezer.Still().Image());
  EXPECT_EQ(s.cx, width);
  EXPECT_EQ(s.cy, height);
  RECT r;
  GetWindowRect(m_freezer.GetSafeHwnd(), &r);
  EXPECT_EQ(r.right, width);
  EXPECT_EQ(r.bottom, height);
  m_freezer.Hide();
}
