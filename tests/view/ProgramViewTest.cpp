// The image view inside the real program: a Print Screen capture opens in an image window whose
// view shows it at a quarter of its size between red frame lines, blinks the border of a
// selection on the main frame's timer, and pans when the picture is dragged.
#include <gtest/gtest.h>

#include "CaptureSession.h"

using namespace capture_e2e;

namespace {

constexpr char kImageFrameClass[] = "LumatreImageFrameClass";
constexpr char kImageViewClass[] = "LumatreImageViewClass";
constexpr UINT kCmdZoom25 = 32811;
constexpr UINT kCmdZoom100 = 32813;
constexpr UINT kCmdSelectAll = 32819;
constexpr UINT kCmdUnselect = 32848;
constexpr uint32_t kRed = 0xFF0000u;
constexpr uint32_t kViewBackground = 0x6699CCu;

class ProgramView : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
  }

  HWND ImageView() {
    HWND client = FindWindowExA(Frame(), nullptr, "MDIClient", nullptr);
    for (HWND child = client ? GetWindow(client, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (e2e::WindowClassName(child) != kImageFrameClass) continue;
      if (HWND view = FindWindowExA(child, nullptr, kImageViewClass, nullptr)) return view;
    }
    return nullptr;
  }
  void Command(UINT id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Frame(), WM_COMMAND, id, 0, SMTO_NORMAL, 20000, &result);
    e2e::PumpFor(200);
  }
};

TEST_F(ProgramView, CaptureShownZoomedBlinkingAndPanned) {
  SetOptions(0x20 | 0x8);  // an image window, the main window shown after the capture
  ASSERT_TRUE(Start());
  if (IsWindowVisible(Frame())) HideFrame();
  ASSERT_TRUE(StartPattern(200, 150, 300, 200, 2));
  e2e::PumpFor(200);
  const e2e::Image screen = e2e::CaptureScreenRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  HWND pattern = FindWindowA(e2e::kPatternDefaultClass, nullptr);
  ASSERT_TRUE(pattern && e2e::ForceForeground(pattern));
  e2e::KeyPress(VK_SNAPSHOT);

  HWND view = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (view = ImageView()) != nullptr && IsWindowVisible(view); }, 15000));
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()); }, 10000));
  ShowWindow(Frame(), SW_MAXIMIZE);
  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  e2e::PumpFor(400);

  // A quarter of the screen, centred, between red frame lines.
  Command(kCmdZoom25);
  RECT rc;
  GetClientRect(view, &rc);
  const int zw = screen.width / 4, zh = screen.height / 4;
  ASSERT_GT(rc.right, zw + 4);
  ASSERT_GT(rc.bottom, zh + 4);
  const int ox = (rc.right - zw) / 2, oy = (rc.bottom - zh) / 2;
  e2e::Image shot = e2e::CaptureWindow(view, true);
  EXPECT_EQ(shot.Rgb(ox - 1, oy + zh / 2), kRed);
  EXPECT_EQ(shot.Rgb(ox + zw, oy + zh / 2), kRed);
  EXPECT_EQ(shot.Rgb(ox + zw / 2, oy - 1), kRed);
  EXPECT_EQ(shot.Rgb(ox + zw / 2, oy + zh), kRed);
  EXPECT_EQ(shot.Rgb(ox - 4, oy + zh / 2), kViewBackground);
  int wrong = 0;
  for (int y = 0; y < zh; y += 5) {
    for (int x = 0; x < zw; x += 5) {
      uint32_t got = shot.Rgb(ox + x, oy + y);
      bool found = false;
      for (int sy = 4 * y; sy < 4 * y + 4 && !found; ++sy)
        for (int sx = 4 * x; sx < 4 * x + 4 && !found; ++sx) found = screen.Rgb(sx, sy) == got;
      wrong += found ? 0 : 1;
    }
  }
  EXPECT_LT(wrong, 5) << "the zoomed picture is not the capture";

  // Select All: the border on the picture's top row blinks with the frame's timer.
  Command(kCmdSelectAll);
  const RECT topRow{ox, oy, ox + zw, oy + 1};
  e2e::Image first = e2e::CaptureWindow(view, true).Crop(topRow);
  bool blinked = e2e::WaitUntil(
      [&] {
        e2e::Image now = e2e::CaptureWindow(view, true).Crop(topRow);
        if (e2e::CountDifferentPixels(now, first, RECT{0, 0, zw, 1}) == 0) return false;
        int notInverted = 0;
        for (int x = 0; x < zw; ++x) notInverted += now.Rgb(x, 0) != (first.Rgb(x, 0) ^ 0xFFFFFFu);
        return notInverted == 0;
      },
      3000, 50);
  EXPECT_TRUE(blinked) << "the selection border did not blink";
  for (int x = 0; x < zw; ++x) ASSERT_TRUE(first.Rgb(x, 0) == 0 || first.Rgb(x, 0) == 0xFFFFFF) << x;
  Command(kCmdUnselect);

  // At 100 % the capture is larger than the window: dragging pans it, the picture following
  // the hand (first to its top-left corner, then 15 and 30 pixels back).
  Command(kCmdZoom100);
  GetClientRect(view, &rc);
  ASSERT_LT(rc.right, screen.width - 15);
  ASSERT_LT(rc.bottom, screen.height - 30);
  POINT centre{rc.right / 2, rc.bottom / 2};
  ClientToScreen(view, &centre);
  auto matching = [&](int dx, int dy) {
    e2e::Image now = e2e::CaptureWindow(view, true);
    int matches = 0;
    for (int y = 0; y < 40; y += 4)
      for (int x = 0; x < 40; x += 4) matches += now.Rgb(x, y) == screen.Rgb(dx + x, dy + y);
    return matches;
  };
  e2e::MouseDrag(centre.x, centre.y, centre.x + 300, centre.y + 300);
  e2e::MouseMove(5, 5);
  e2e::PumpFor(400);
  EXPECT_GE(matching(0, 0), 95) << "the picture is not at its top-left corner";
  e2e::MouseDrag(centre.x, centre.y, centre.x - 15, centre.y - 30);
  e2e::MouseMove(5, 5);
  e2e::PumpFor(400);
  EXPECT_GE(matching(15, 30), 95) << "the picture did not follow the drag";
}

}  // namespace
