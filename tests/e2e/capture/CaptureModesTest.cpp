// The immediate capture modes of the real program, started by their default hotkeys, by the
// system's snap ids and by menu commands: the clipboard receives exactly the pixels of the
// window frame, client area or screen; Repeat Last and Default Action run the right mode; the
// failures explain themselves.
#include <gtest/gtest.h>

#include "CaptureSession.h"

using namespace capture_e2e;

namespace {

// Pattern window placement used by most tests.
constexpr int kX = 180, kY = 140, kW = 320, kH = 240;

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// The picture equals the screen inside r, pixel for pixel (the screen as it is now, or as it was
// before the capture when given).
void ExpectScreenPixels(const e2e::Image& picture, const RECT& r, const std::string& name,
                        const e2e::Image* before = nullptr) {
  e2e::Image screen = before ? *before : e2e::CaptureScreenRect(r);
  ASSERT_EQ(picture.width, r.right - r.left) << name;
  ASSERT_EQ(picture.height, r.bottom - r.top) << name;
  const int differing =
      e2e::CountDifferentPixels(picture, screen, RECT{0, 0, picture.width, picture.height});
  EXPECT_EQ(differing, 0) << name;
  if (differing) {
    SaveForFailure(picture, name + "-captured");
    SaveForFailure(screen, name + "-screen");
  }
}

void ExpectPattern(const e2e::Image& picture, int variant, int width, int height) {
  ASSERT_EQ(picture.width, width);
  ASSERT_EQ(picture.height, height);
  EXPECT_EQ(e2e::CountPixelsNotMatching(picture, RECT{0, 0, width, height},
                                        [variant](int x, int y) { return e2e::PatternPixel(variant, x, y); }),
            0);
}

RECT WholeScreen() {
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

using CaptureModes = CaptureSession;

TEST_F(CaptureModes, AltPrintScreenCapturesTheActiveWindowFrame) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_MENU, VK_SNAPSHOT});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  // The window has handled the keys (Alt released on its own redraws its caption) and painted
  // before it was copied: the picture is the screen as it is now.
  ExpectScreenPixels(*picture, WindowRectOf(pattern), "active-window");
  EXPECT_TRUE(e2e::ClipboardHasFormat(CF_PALETTE));
  // Only the clipboard is chosen: no window opened, the program stays in the tray.
  EXPECT_TRUE(OtherVisibleWindows().empty());
  EXPECT_FALSE(IsWindowVisible(Frame()));
}

TEST_F(CaptureModes, CtrlShiftAltCCapturesTheClientArea) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 4);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, VK_MENU, 'C'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectPattern(*picture, 4, kW, kH);
}

TEST_F(CaptureModes, CtrlAltDCapturesTheWholeScreen) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 1));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectScreenPixels(*picture, WholeScreen(), "desktop");
}

TEST_F(CaptureModes, PrintScreenRunsTheDefaultActionDesktop) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 2));
  ASSERT_TRUE(PutMarker());
  e2e::KeyPress(VK_SNAPSHOT);
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectScreenPixels(*picture, WholeScreen(), "default-action");
}

TEST_F(CaptureModes, DefaultActionRunsTheModeOfItsSetting) {
  SetDword("DefaultCaptureAction", 1);  // Active Window Client
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 5));
  ASSERT_TRUE(PutMarker());
  e2e::KeyPress(VK_SNAPSHOT);
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectPattern(*picture, 5, kW, kH);
}

TEST_F(CaptureModes, DefaultActionOutsideTheFirstElevenModesDoesNothing) {
  SetDword("DefaultCaptureAction", 11);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  ASSERT_TRUE(PutMarker());
  e2e::KeyPress(VK_SNAPSHOT);
  e2e::PumpFor(2000);
  EXPECT_TRUE(MarkerStillThere());
  EXPECT_EQ(FindMessageBox(), nullptr);
  // ... and the program still captures afterwards.
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  EXPECT_TRUE(WaitForClipboardPicture());
}

TEST_F(CaptureModes, CtrlShiftLRepeatsTheLastCapture) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 0);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, VK_MENU, 'C'});
  std::optional<e2e::Image> first = WaitForClipboardPicture();
  ASSERT_TRUE(first);
  ExpectPattern(*first, 0, kW, kH);

  SetPatternVariant(pattern, 6);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'L'});
  std::optional<e2e::Image> again = WaitForClipboardPicture();
  ASSERT_TRUE(again) << "Repeat Last captured nothing";
  ExpectPattern(*again, 6, kW, kH);
}

// With nothing changed on the screen, Repeat Last gives the pixels of the capture it repeats:
// the window brought back to the front is copied only once it has painted itself again,
// caption included.
TEST_F(CaptureModes, RepeatLastOfTheActiveWindowGivesTheSamePixels) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 0);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_MENU, VK_SNAPSHOT});
  std::optional<e2e::Image> first = WaitForClipboardPicture();
  ASSERT_TRUE(first) << "nothing captured";
  for (int run = 1; run <= 3; ++run) {
    SCOPED_TRACE(run);
    e2e::PumpFor(500);
    ASSERT_TRUE(PutMarker());
    e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'L'});
    std::optional<e2e::Image> again = WaitForClipboardPicture();
    ASSERT_TRUE(again) << "Repeat Last captured nothing";
    ASSERT_EQ(again->width, first->width);
    ASSERT_EQ(again->height, first->height);
    const int differing = e2e::CountDifferentPixels(*again, *first, RECT{0, 0, first->width, first->height});
    EXPECT_EQ(differing, 0);
    if (differing) {
      SaveForFailure(*first, "repeat-first");
      SaveForFailure(*again, "repeat-again-" + std::to_string(run));
    }
  }
}

TEST_F(CaptureModes, RepeatLastBeforeAnyCaptureDoesNothing) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'L'});
  PostMessageA(Frame(), WM_COMMAND, kCmdRepeatLast, 0);
  e2e::PumpFor(2000);
  EXPECT_TRUE(MarkerStillThere());
  EXPECT_EQ(FindMessageBox(), nullptr);
  EXPECT_FALSE(IsWindowVisible(Frame()));
  EXPECT_TRUE(OtherVisibleWindows().empty());
}

TEST_F(CaptureModes, RepeatLastAfterTheColorPickerRepeatsTheCaptureBeforeIt) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 1);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  ASSERT_TRUE(WaitForClipboardPicture());

  // F2: the colour picker waits for the mouse; Escape ends it.
  e2e::KeyPress(VK_F2);
  e2e::PumpFor(800);
  e2e::KeyPress(VK_ESCAPE);
  e2e::PumpFor(500);

  SetPatternVariant(pattern, 7);
  ASSERT_TRUE(e2e::ForceForeground(pattern));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'L'});
  std::optional<e2e::Image> again = WaitForClipboardPicture();
  ASSERT_TRUE(again) << "Repeat Last captured nothing";
  ExpectScreenPixels(*again, WholeScreen(), "repeat-after-picker");
}

TEST_F(CaptureModes, SnapIdsRunActiveWindowAndDesktopWhateverTheTableHolds) {
  SetHotkey("ActiveWindow", 0, 0);
  SetHotkey("Desktop", 9, 0);
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 3);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  PostMessageA(Frame(), WM_HOTKEY, static_cast<WPARAM>(-2), 0);
  std::optional<e2e::Image> desktop = WaitForClipboardPicture();
  ASSERT_TRUE(desktop) << "id -2 captured nothing";
  ExpectScreenPixels(*desktop, WholeScreen(), "snap-desktop");

  ASSERT_TRUE(e2e::ForceForeground(pattern));
  const e2e::Image before = e2e::CaptureScreenRect(WindowRectOf(pattern));
  ASSERT_TRUE(PutMarker());
  PostMessageA(Frame(), WM_HOTKEY, static_cast<WPARAM>(-1), 0);
  std::optional<e2e::Image> window = WaitForClipboardPicture();
  ASSERT_TRUE(window) << "id -1 captured nothing";
  ExpectScreenPixels(*window, WindowRectOf(pattern), "snap-window", &before);
}

TEST_F(CaptureModes, AMaximisedWindowLosesTheFrameThatHangsOffTheScreen) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 2);
  ASSERT_TRUE(pattern);
  ShowWindow(pattern, SW_MAXIMIZE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsZoomed(pattern) != FALSE; }, 5000));
  ASSERT_TRUE(e2e::ForceForeground(pattern));
  e2e::PumpFor(500);
  RECT expected = WindowRectOf(pattern);
  InflateRect(&expected, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_MENU, VK_SNAPSHOT});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectScreenPixels(*picture, expected, "maximised");
}

// Hides the desktop's taskbar while it lives: with it gone, the program's frame is the only
// window that can be in front.
class TaskbarHidden {
 public:
  TaskbarHidden() : m_taskbar(FindWindowA("Shell_TrayWnd", nullptr)) {
    if (m_taskbar && IsWindowVisible(m_taskbar)) {
      ShowWindow(m_taskbar, SW_HIDE);
      m_hidden = true;
    }
  }
  ~TaskbarHidden() {
    if (m_hidden) ShowWindow(m_taskbar, SW_SHOWNA);
  }
  TaskbarHidden(const TaskbarHidden&) = delete;
  TaskbarHidden& operator=(const TaskbarHidden&) = delete;

 private:
  HWND m_taskbar;
  bool m_hidden = false;
};

TEST_F(CaptureModes, ActiveWindowWithOnlyTheProgramInFrontReportsAndRestores) {
  SetOptions(kOptClipboard);  // shown at start
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  TaskbarHidden noTaskbar;
  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_MENU, VK_SNAPSHOT});
  ExpectMessageBox(Format1(kText135, "Alt+Print Screen"));
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 5000));
  EXPECT_TRUE(MarkerStillThere());
}

TEST_F(CaptureModes, ActiveWindowWithAChildWindowInFrontReportsAndRestores) {
  SetOptions(kOptClipboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  // A window of the test that carries the child style while it is the foreground window.
  HWND odd = CreateWindowExA(0, "STATIC", "odd child", WS_POPUP | WS_VISIBLE | WS_BORDER, 600, 200,
                             120, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(odd, nullptr);
  ASSERT_TRUE(e2e::ForceForeground(odd));
  SetWindowLongA(odd, GWL_STYLE, (GetWindowLongA(odd, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  e2e::PumpFor(100);
  ASSERT_EQ(GetForegroundWindow(), odd);
  ASSERT_TRUE(PutMarker());
  PostMessageA(Frame(), WM_HOTKEY, static_cast<WPARAM>(-1), 0);
  HWND box = WaitForMessageBox();
  SetWindowLongA(odd, GWL_STYLE, (GetWindowLongA(odd, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
  DestroyWindow(odd);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), Format1(kText135, "Alt+Print Screen"));
  CloseWithEnter(box);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 5000));
  EXPECT_TRUE(MarkerStillThere());
}

TEST_F(CaptureModes, ClientAreaFromTheTrayMenuExplainsItself) {
  SetOptions(kOptClipboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  HideFrame();
  ASSERT_TRUE(PutMarker());
  // What the tray icon does: the open mark, then the chosen command.
  PostMessageA(Frame(), kUwmTrayMenuOpen, 0, 0);
  PostMessageA(Frame(), WM_COMMAND, kCmdClient, 0);
  ExpectMessageBox(Format1(kText138, "Ctrl+Shift+Alt+C"));
  EXPECT_TRUE(IsWindowVisible(Frame()));
  EXPECT_TRUE(MarkerStillThere());

  // Another command in between ends the tray menu's mark: the next choice captures.
  HWND pattern = StartPattern(kX, kY, kW, kH, 4);
  ASSERT_TRUE(pattern);
  PostMessageA(Frame(), kUwmTrayMenuOpen, 0, 0);
  PostMessageA(Frame(), WM_COMMAND, kCmdRepeatLast, 0);
  e2e::PumpFor(300);
  ASSERT_TRUE(e2e::ForceForeground(pattern));
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, VK_MENU, 'C'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectPattern(*picture, 4, kW, kH);
}

TEST_F(CaptureModes, MenuModeFromTheMenuExplainsItself) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(PutMarker());
  PostMessageA(Frame(), WM_COMMAND, kCmdMenu, 0);
  ExpectMessageBox(Format1(kText132, "Ctrl+Shift+M") + kText133);
  EXPECT_TRUE(IsWindowVisible(Frame()));
  EXPECT_TRUE(MarkerStillThere());
}

TEST_F(CaptureModes, MenuModeByHotkeyWithoutAMenuReports) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'M'});
  ExpectMessageBox(kText134);
  EXPECT_TRUE(IsWindowVisible(Frame()));
  EXPECT_TRUE(MarkerStillThere());
}

TEST_F(CaptureModes, MenuModeByHotkeyCapturesTheOpenPopupMenu) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH);
  ASSERT_TRUE(pattern);
  // The pattern window's system menu, opened from the keyboard.
  PostMessageA(pattern, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  HWND menu = nullptr;
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      5000))
      << "no popup menu opened";
  e2e::PumpFor(300);
  const RECT menuRect = WindowRectOf(menu);
  const e2e::Image before = e2e::CaptureScreenRect(menuRect);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'M'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  e2e::KeyPress(VK_ESCAPE);
  e2e::KeyPress(VK_ESCAPE);
  ASSERT_TRUE(picture) << "nothing captured";
  ExpectScreenPixels(*picture, menuRect, "popup-menu", &before);
}

TEST_F(CaptureModes, ABusyClipboardIsReportedNotIgnored) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  // Another window keeps the clipboard open while the capture is routed.
  HWND holder = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 1, 1, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(OpenClipboard(holder));
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  HWND box = WaitForMessageBox();
  CloseClipboard();
  DestroyWindow(holder);
  ASSERT_NE(box, nullptr) << "the lost capture was not reported";
  EXPECT_EQ(MessageBoxText(box), "Handle error in Document class!");
  CloseWithEnter(box);
  // The next capture goes through.
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  EXPECT_TRUE(WaitForClipboardPicture());
}

TEST_F(CaptureModes, TheProgramsOwnWindowNeverAppearsInACapture) {
  SetOptions(kOptClipboard | kOptShowAfterCapture);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  HWND pattern = StartPattern(100, 100, 600, 420, 5);
  ASSERT_TRUE(pattern);
  // The frame in front of the pattern, as after the user worked in it.
  SetWindowPos(Frame(), HWND_TOP, 200, 180, 300, 200, SWP_SHOWWINDOW);
  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  e2e::PumpFor(300);
  RECT client{};
  GetClientRect(pattern, &client);
  MapWindowPoints(pattern, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ASSERT_TRUE(PutMarker());
  PostMessageA(Frame(), WM_COMMAND, kCmdDesktop, 0);  // from the frame's menu
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  // Where the frame stood, the capture shows the pattern window under it.
  const e2e::Image part = picture->Crop(client);
  ExpectPattern(part, 5, client.right - client.left, client.bottom - client.top);
  // The option brings the frame back afterwards.
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 5000));
}

TEST_F(CaptureModes, TheIncludedPointerIsInTheCaptureButNotLeftOnTheScreen) {
  SetOptions(kClipboardOnly | kOptIncludePointer);
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 1);
  ASSERT_TRUE(pattern);
  POINT at{100, 80};
  ClientToScreen(pattern, &at);
  e2e::MouseMove(at.x, at.y);
  e2e::PumpFor(300);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  RECT client{};
  GetClientRect(pattern, &client);
  MapWindowPoints(pattern, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const e2e::Image inCapture = picture->Crop(client);
  auto expected = [](int x, int y) { return e2e::PatternPixel(1, x, y); };
  // The pointer's pixels lie at the pointer, nowhere else.
  EXPECT_GT(e2e::CountPixelsNotMatching(inCapture, RECT{100, 80, 140, 120}, expected), 0);
  EXPECT_EQ(e2e::CountPixelsNotMatching(inCapture, RECT{0, 0, kW, 70}, expected), 0);
  EXPECT_EQ(e2e::CountPixelsNotMatching(inCapture, RECT{0, 0, 90, kH}, expected), 0);
  // The screen has its own pixels back.
  EXPECT_TRUE(PatternPainted(pattern, 1));
}

}  // namespace
