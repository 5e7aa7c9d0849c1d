// The driver on the real desktop: helper windows, screenshots, injected keys and mouse
// buttons, the clipboard and system hotkeys.
#include <gtest/gtest.h>

#include "E2EDriver.h"

namespace e2e = lumatre::e2e;

namespace {

using e2e::ClientOnScreen;
using e2e::HelperPath;

int PatternMismatches(HWND hwnd, int variant) {
  e2e::Image shot = e2e::CaptureWindow(hwnd, true);
  if (shot.Empty()) return -1;
  return e2e::CountPixelsNotMatching(shot, RECT{0, 0, shot.width, shot.height},
                                     [variant](int x, int y) {
                                       return e2e::PatternPixel(variant, x, y);
                                     });
}

// Saves the screen beside the test's temporary files when a check fails.
void SaveScreenFor(const char* what) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string path = e2e::JoinPath(temp, std::string("e2e_driver-") + what + ".bmp");
  if (e2e::SaveBmp(e2e::CaptureScreen(), path)) ADD_FAILURE() << "screen saved to " << path;
}

class PatternWindow : public ::testing::Test {
 protected:
  void Start(const std::string& title, int x, int y, int w, int h, int variant = 0,
             const std::string& extra = "") {
    std::string args = e2e::PatternArgs(title, x, y, w, h, variant);
    if (!extra.empty()) args += " " + extra;
    ASSERT_TRUE(m_app.Start(HelperPath(e2e::kPatternExe), args)) << m_app.LastError();
    m_hwnd = m_app.WaitForVisibleWindow(e2e::kPatternDefaultClass, 10000);
    ASSERT_NE(m_hwnd, nullptr) << "no pattern window";
    ASSERT_TRUE(e2e::ForceForeground(m_hwnd));
  }
  std::string Title() const { return e2e::WindowText(m_hwnd); }
  bool TitleHas(const std::string& part, DWORD timeoutMs = 3000) const {
    return e2e::WaitUntil([&] { return Title().find(part) != std::string::npos; }, timeoutMs);
  }
  e2e::AppProcess m_app;
  HWND m_hwnd = nullptr;
};

}  // namespace

TEST_F(PatternWindow, PaintsTheKnownPatternExactlyAndChangesItOnRequest) {
  Start("Pattern paint", 60, 50, 240, 160);
  RECT c = ClientOnScreen(m_hwnd);
  EXPECT_EQ(c.right - c.left, 240);
  EXPECT_EQ(c.bottom - c.top, 160);
  bool painted = e2e::WaitUntil([&] { return PatternMismatches(m_hwnd, 0) == 0; }, 5000, 100);
  if (!painted) SaveScreenFor("variant0");
  ASSERT_TRUE(painted) << PatternMismatches(m_hwnd, 0) << " pixels differ";

  // The whole-screen picture holds the same pixels at the client's screen position.
  e2e::Image screen = e2e::CaptureScreen();
  ASSERT_FALSE(screen.Empty());
  EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(screen.Rgb(c.left + 17, c.top + 33), e2e::PatternPixel(0, 17, 33));
  EXPECT_EQ(screen.Rgb(c.right - 1, c.bottom - 1), e2e::PatternPixel(0, 239, 159));

  EXPECT_EQ(SendMessageA(m_hwnd, e2e::kPatternSetVariant, 3, 0), 1);
  EXPECT_EQ(SendMessageA(m_hwnd, e2e::kPatternGetVariant, 0, 0), 3);
  painted = e2e::WaitUntil([&] { return PatternMismatches(m_hwnd, 3) == 0; }, 5000, 100);
  if (!painted) SaveScreenFor("variant3");
  EXPECT_TRUE(painted);
}

TEST_F(PatternWindow, SwitchesItsPatternAfterTheGivenTime) {
  Start("Pattern timer", 80, 80, 64, 48, 0, "--switch-after 400:5");
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternMismatches(m_hwnd, 5) == 0; }, 5000, 50));
  EXPECT_EQ(SendMessageA(m_hwnd, e2e::kPatternGetVariant, 0, 0), 5);
}

TEST_F(PatternWindow, ReceivesInjectedKeyChordsAndText) {
  Start("Pattern keys", 100, 100, 200, 100);
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  EXPECT_TRUE(TitleHas("key=Ctrl+Alt+D #1")) << Title();
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'M'});
  EXPECT_TRUE(TitleHas("key=Ctrl+Shift+M #2")) << Title();
  e2e::TypeText("aB");
  EXPECT_TRUE(TitleHas("key=Shift+B #4")) << Title();
  e2e::KeyPress(VK_F2);
  EXPECT_TRUE(TitleHas("key=F2 #5")) << Title();
  // Every key went up again: nothing stays pressed for the next test.
  EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
  EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
}

TEST_F(PatternWindow, MouseLandsOnExactScreenPixels) {
  Start("Pattern mouse", 120, 90, 300, 200);
  for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{333, 444}, POINT{1023, 767}, POINT{512, 3}}) {
    e2e::MouseMove(p.x, p.y);
    POINT at;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return GetCursorPos(&at) && at.x == p.x && at.y == p.y; }, 1000))
        << "wanted " << p.x << "," << p.y << " got " << at.x << "," << at.y;
  }
  RECT c = ClientOnScreen(m_hwnd);
  e2e::MouseClick(c.left + 13, c.top + 27);
  EXPECT_TRUE(TitleHas("click=L(13,27) #1")) << Title();
  e2e::MouseClick(c.left + 250, c.top + 190, e2e::MouseButton::Right);
  EXPECT_TRUE(TitleHas("click=R(250,190) #2")) << Title();
  e2e::MouseDrag(c.left + 10, c.top + 10, c.left + 100, c.top + 80);
  EXPECT_TRUE(TitleHas("click=L(10,10) #3")) << Title();
  POINT end;
  GetCursorPos(&end);
  EXPECT_EQ(end.x, c.left + 100);
  EXPECT_EQ(end.y, c.top + 80);
  EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0);
}

TEST(Processes, WaitForExitReportsTheExitCodeAndTerminateEnds) {
  e2e::AppProcess app;
  ASSERT_TRUE(app.Start(HelperPath(e2e::kPatternExe), e2e::PatternArgs("Exit", 10, 10, 50, 50)));
  HWND hwnd = app.WaitForWindow(e2e::kPatternDefaultClass, 10000);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(app.TopLevelWindows(e2e::kPatternDefaultClass).size(), 1u);
  EXPECT_EQ(e2e::FindTopLevelWindows(app.Pid(), "NoSuchClass").size(), 0u);
  EXPECT_EQ(e2e::WindowClassName(hwnd), e2e::kPatternDefaultClass);
  EXPECT_FALSE(app.WaitForExit(200)) << "still running";
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  auto code = app.WaitForExit(5000);
  ASSERT_TRUE(code);
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(app.IsRunning());

  ASSERT_TRUE(app.Start(HelperPath(e2e::kPatternExe), e2e::PatternArgs("Kill", 10, 10, 50, 50)));
  ASSERT_NE(app.WaitForWindow(e2e::kPatternDefaultClass, 10000), nullptr);
  app.Terminate(7);
  EXPECT_FALSE(app.IsRunning());
  EXPECT_EQ(app.WaitForExit(100), 7u);

  // A program that ends before showing a window: no long wait, no window.
  ASSERT_TRUE(app.Start(HelperPath(e2e::kPatternExe), "--bogus"));
  DWORD t0 = GetTickCount();
  EXPECT_EQ(app.WaitForWindow(e2e::kPatternDefaultClass, 20000), nullptr);
  EXPECT_LT(GetTickCount() - t0, 10000u);
  EXPECT_EQ(app.WaitForExit(5000), 2u);

  e2e::AppProcess missing;
  EXPECT_FALSE(missing.Start("C:\\no\\such\\program.exe"));
  EXPECT_FALSE(missing.LastError().empty());
  EXPECT_FALSE(missing.IsRunning());
}

TEST(Processes, DestructorEndsALeftoverProcess) {
  HANDLE dup = nullptr;
  {
    e2e::AppProcess app;
    ASSERT_TRUE(app.Start(HelperPath(e2e::kPatternExe), e2e::PatternArgs("Left", 0, 0, 40, 40)));
    ASSERT_NE(app.WaitForWindow(e2e::kPatternDefaultClass, 10000), nullptr);
    DuplicateHandle(GetCurrentProcess(), app.Handle(), GetCurrentProcess(), &dup, SYNCHRONIZE,
                    FALSE, 0);
  }
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(WaitForSingleObject(dup, 5000), WAIT_OBJECT_0);
  CloseHandle(dup);
}

TEST(Clipboard, TextAndDibRoundTripAndClear) {
  ASSERT_TRUE(e2e::WriteClipboardText("#6699CC"));
  EXPECT_TRUE(e2e::ClipboardHasFormat(CF_TEXT));
  EXPECT_EQ(e2e::ReadClipboardText(), "#6699CC");

  e2e::Image img(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) img.At(x, y) = 0xFF000000u | e2e::PatternPixel(1, x, y);
  ASSERT_TRUE(e2e::WriteClipboardDib(img));
  EXPECT_TRUE(e2e::ClipboardHasFormat(CF_DIB));
  EXPECT_FALSE(e2e::ClipboardHasFormat(CF_TEXT)) << "writing emptied the clipboard first";
  auto back = e2e::ReadClipboardDib();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->width, 7);
  ASSERT_EQ(back->height, 5);
  EXPECT_EQ(e2e::CountDifferentPixels(img, *back, RECT{0, 0, 7, 5}), 0);

  ASSERT_TRUE(e2e::ClearClipboard());
  EXPECT_FALSE(e2e::ClipboardHasFormat(CF_DIB));
  EXPECT_FALSE(e2e::ReadClipboardText());
  EXPECT_FALSE(e2e::ReadClipboardDib());
}

TEST(Hotkeys, HolderKeepsItsHotkeyAndASecondRegistrationIsRefused) {
  const std::string code = "0xA07B";  // Ctrl+Alt+F12
  e2e::AppProcess first, second;
  ASSERT_TRUE(first.Start(HelperPath(e2e::kHotkeyHolderExe), code));
  HWND h1 = first.WaitForWindow(e2e::kHotkeyHolderClass, 10000);
  ASSERT_NE(h1, nullptr);
  ASSERT_TRUE(e2e::WaitUntil(
      [&] { return e2e::WindowText(h1) == "HotkeyHolder ok=1 failed=0 hits=0"; }, 5000))
      << e2e::WindowText(h1);

  ASSERT_TRUE(second.Start(HelperPath(e2e::kHotkeyHolderExe), code + " 0 junk"));
  HWND h2 = second.WaitForWindow(e2e::kHotkeyHolderClass, 10000);
  ASSERT_NE(h2, nullptr);
  EXPECT_TRUE(e2e::WaitUntil(
      [&] { return e2e::WindowText(h2) == "HotkeyHolder ok=0 failed=3 hits=0"; }, 5000))
      << e2e::WindowText(h2);

  e2e::KeyChord({VK_CONTROL, VK_MENU, VK_F12});
  EXPECT_TRUE(e2e::WaitUntil(
      [&] { return e2e::WindowText(h1) == "HotkeyHolder ok=1 failed=0 hits=1"; }, 5000))
      << e2e::WindowText(h1);
  EXPECT_EQ(e2e::WindowText(h2), "HotkeyHolder ok=0 failed=3 hits=0");
}
