// Hotkeys of the real program: exactly one capture per press whether the system or the keyboard
// hook delivers it, the message about refused hotkeys, the dispatch rule seen from outside, the
// tracked modes waiting for the mouse until Escape, the frozen screen, and the capture's pauses.
#include <gtest/gtest.h>

#include "CaptureSession.h"

using namespace capture_e2e;

namespace {

constexpr int kX = 180, kY = 140, kW = 320, kH = 240;

// e2e_hotkey_holder.exe holding the codes (another program that registered the keys first).
class CaptureHotkeys : public CaptureSession {
 protected:
  HWND HoldHotkeys(const std::string& codes, int expectedOk) {
    auto holder = std::make_unique<e2e::AppProcess>();
    if (!holder->Start(HelperPath(e2e::kHotkeyHolderExe), codes)) {
      ADD_FAILURE() << holder->LastError();
      return nullptr;
    }
    HWND hwnd = holder->WaitForWindow(e2e::kHotkeyHolderClass, 10000);
    m_helpers.push_back(std::move(holder));
    const std::string ok = "ok=" + std::to_string(expectedOk) + " ";
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(hwnd).find(ok) != std::string::npos; }, 5000))
        << e2e::WindowText(hwnd);
    return hwnd;
  }
  static int HolderHits(HWND holder) {
    const std::string title = e2e::WindowText(holder);
    const size_t at = title.find("hits=");
    return at == std::string::npos ? -1 : std::atoi(title.c_str() + at + 5);
  }
  // The pattern window's title reports the keys and clicks it received.
  static bool PatternReceived(HWND pattern, const std::string& what) {
    return e2e::WindowText(pattern).find(what) != std::string::npos;
  }
  static POINT ClientPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
  }
  static UINT ForwardKeyboardMessage() { return RegisterWindowMessageA("TYM_FORWARD_KEYBOARDMESSAGE"); }
};

TEST_F(CaptureHotkeys, ARegisteredHotkeyCapturesOnceAlthoughTheHookSeesItsRelease) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  ASSERT_TRUE(PutMarker());
  // Held down until the capture is done, so that the release comes afterwards.
  e2e::KeyDown(VK_CONTROL);
  e2e::KeyDown(VK_MENU);
  e2e::KeyDown('D');
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(PutMarker());
  e2e::KeyUp('D');
  e2e::KeyUp(VK_MENU);
  e2e::KeyUp(VK_CONTROL);
  ASSERT_TRUE(picture) << "nothing captured";
  e2e::PumpFor(2000);
  EXPECT_TRUE(MarkerStillThere()) << "the release captured a second time";
}

TEST_F(CaptureHotkeys, ARefusedHotkeyCapturesThroughTheHookOncePerPress) {
  HWND holder = HoldHotkeys("0xA044", 1);  // Ctrl+Alt+D, the Desktop hotkey
  ASSERT_TRUE(holder);
  ASSERT_TRUE(Start());
  ExpectMessageBox(kText1235 + "\n\tDesktop : Ctrl+Alt+D");
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 2));

  for (int press = 1; press <= 2; ++press) {
    SCOPED_TRACE(press);
    ASSERT_TRUE(PutMarker());
    e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
    std::optional<e2e::Image> picture = WaitForClipboardPicture();
    ASSERT_TRUE(picture) << "the hook did not capture";
    EXPECT_EQ(picture->width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(picture->height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(e2e::WaitUntil([&] { return HolderHits(holder) == press; }, 3000));
    ASSERT_TRUE(PutMarker());
    e2e::PumpFor(1500);
    EXPECT_TRUE(MarkerStillThere()) << "one press captured twice";
  }
}

// A capture delivered by the hook library is answered before it runs: the program in front
// (whose keyboard hook delivered the key) goes on handling what is posted to it during the
// capture delay, at once rather than when the hook gives up after a second, and while the
// routing's message box is open.
TEST_F(CaptureHotkeys, AHookDeliveredCaptureLetsTheProgramInFrontGoOn) {
  const std::string kText141 =
      "The Directory of %1 doesn't exist. Please choose correct directory from Options menu item.";
  const std::string missing = e2e::JoinPath(m_copy.Folder(), "no-such-folder");
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, kCapture, "AutoSavePath", missing));
  // The default outputs (image window, clipboard, saving), the program staying in the tray.
  SetOptions((0x00681669 & ~kOptShowAfterCapture) | kOptStartHidden);
  SetDword("CaptureDelayTime", 3000);
  HWND holder = HoldHotkeys("0xA044", 1);  // Ctrl+Alt+D, the Desktop hotkey
  ASSERT_TRUE(holder);
  ASSERT_TRUE(Start());
  ExpectMessageBox(kText1235 + "\n\tDesktop : Ctrl+Alt+D");
  HWND pattern = StartPattern(kX, kY, kW, kH, 2);
  ASSERT_TRUE(pattern);
  // A posted message is handled only when the pattern's thread is not held in its hook.
  auto postedIsHandled = [&](int variant, DWORD withinMs) {
    PostMessageA(pattern, e2e::kPatternSetVariant, static_cast<WPARAM>(variant), 0);
    return e2e::WaitUntil([&] {
      DWORD_PTR now = 0;
      return SendMessageTimeoutA(pattern, e2e::kPatternGetVariant, 0, 0, SMTO_NORMAL, 100, &now) && now == variant;
    }, withinMs);
  };
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  EXPECT_TRUE(postedIsHandled(4, 500)) << "the program in front waits for the capture";
  HWND box = WaitForMessageBox();
  ASSERT_TRUE(box) << "no routing message";
  EXPECT_EQ(MessageBoxText(box), Format1(kText141, missing));
  EXPECT_TRUE(postedIsHandled(5, 1000)) << "the program in front waits for the message box";
  EXPECT_TRUE(CloseWithEnter(box));
}

// The capture delay is waited in short slices that handle messages: the program answers during
// it, and the capture still comes after the delay.
TEST_F(CaptureHotkeys, TheProgramAnswersDuringTheCaptureDelay) {
  SetDword("CaptureDelayTime", 3000);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH, 0));
  ASSERT_TRUE(PutMarker());
  const DWORD posted = GetTickCount();
  PostMessageA(Frame(), WM_COMMAND, 32792, 0);  // Desktop
  e2e::PumpFor(1000);
  DWORD_PTR result = 0;
  const DWORD asked = GetTickCount();
  EXPECT_TRUE(SendMessageTimeoutA(Frame(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
      << "no answer while the capture waits";
  EXPECT_LT(GetTickCount() - asked, 1000u);
  EXPECT_TRUE(MarkerStillThere()) << "captured before the delay was over";
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_GE(GetTickCount() - posted, 3300u);
}

TEST_F(CaptureHotkeys, TheConflictMessageListsEveryRefusedSlotOnce) {
  // Desktop (slot 9), Repeat Last (11) and Color Picker (13) are taken. Rectangle has no key;
  // its default (Ctrl+Alt+R) is taken too, so that a program registering the default instead of
  // the stored "no key" would list it.
  HWND holder = HoldHotkeys("0xA044 0xC04C 0x71 0xA052", 4);
  ASSERT_TRUE(holder);
  SetHotkey("Rectangle", 4, 0);
  ASSERT_TRUE(Start());
  ExpectMessageBox(kText1235 + "\n\tDesktop : Ctrl+Alt+D\n\tRepeat Last : Ctrl+Shift+L" +
                   "\n\tColor Picker : F2");
  e2e::PumpFor(1500);
  EXPECT_EQ(FindMessageBox(), nullptr) << "a second conflict message";
}

TEST_F(CaptureHotkeys, NoMessageWhenEveryHotkeyIsRegistered) {
  SetHotkey("Control", 2, 0);
  ASSERT_TRUE(Start());
  e2e::PumpFor(1500);
  EXPECT_EQ(FindMessageBox(), nullptr);
}

TEST_F(CaptureHotkeys, AHotkeyFromTheWrongSourceRunsNothingAndTheNextMenuCommandIsAMenuCommand) {
  SetHotkey("PopupMenu", 8, 0);  // no key: slot 8 is not registered with the system
  ASSERT_TRUE(Start());
  ASSERT_TRUE(PutMarker());
  DWORD_PTR result = 0;
  // Slot 9 is registered: its report from the hook is the second delivery of a press.
  SendMessageTimeoutA(Frame(), ForwardKeyboardMessage(), 9, 'D', SMTO_NORMAL, 5000, &result);
  // Slot 8 is not registered: a WM_HOTKEY for it is not ours.
  SendMessageTimeoutA(Frame(), WM_HOTKEY, 8, 0, SMTO_NORMAL, 5000, &result);
  // Slots outside the table.
  SendMessageTimeoutA(Frame(), ForwardKeyboardMessage(), 20, 'Q', SMTO_NORMAL, 5000, &result);
  SendMessageTimeoutA(Frame(), WM_HOTKEY, static_cast<WPARAM>(-7), 0, SMTO_NORMAL, 5000, &result);
  e2e::PumpFor(1500);
  EXPECT_TRUE(MarkerStillThere());
  EXPECT_EQ(FindMessageBox(), nullptr);
  // The Menu command now comes from the menu: it explains itself instead of capturing.
  PostMessageA(Frame(), WM_COMMAND, kCmdMenu, 0);
  ExpectMessageBox(Format1(kText132, "") + kText133);

  // The hook's report of slot 8 is its only delivery: it runs the Menu mode (no menu is open).
  SendMessageTimeoutA(Frame(), ForwardKeyboardMessage(), 8, 'M', SMTO_NORMAL, 100, &result);
  ExpectMessageBox(kText134);
}

TEST_F(CaptureHotkeys, ATrackedModeTakesTheMouseAndKeysUntilEscape) {
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'R'});  // Rectangle
  e2e::PumpFor(1500);
  const POINT inside = ClientPoint(pattern, 50, 40);
  e2e::MouseClick(inside.x, inside.y);
  e2e::KeyPress('K');
  e2e::PumpFor(500);
  EXPECT_FALSE(PatternReceived(pattern, "click=")) << "the click went through while tracking";
  EXPECT_FALSE(PatternReceived(pattern, "key=")) << "the key went through while tracking";

  e2e::KeyPress(VK_ESCAPE);
  e2e::PumpFor(500);
  e2e::MouseClick(inside.x, inside.y);
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternReceived(pattern, "click=L(50,40)"); }, 3000))
      << e2e::WindowText(pattern);
  ASSERT_TRUE(e2e::ForceForeground(pattern));
  e2e::KeyPress('K');
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternReceived(pattern, "key=K"); }, 3000))
      << e2e::WindowText(pattern);
  EXPECT_TRUE(MarkerStillThere());
  EXPECT_FALSE(IsWindowVisible(Frame()));
}

TEST_F(CaptureHotkeys, WhileAModeWaitsForTheMouseOtherHotkeysStartNothing) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(StartPattern(kX, kY, kW, kH));
  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'E'});  // Ellipse
  e2e::PumpFor(1500);
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});  // the system still delivers this one
  PostMessageA(Frame(), WM_COMMAND, kCmdDesktop, 0);
  e2e::PumpFor(1500);
  EXPECT_TRUE(MarkerStillThere());
  e2e::KeyPress(VK_ESCAPE);
  e2e::PumpFor(500);
  // Back to normal: the Desktop hotkey captures again.
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  EXPECT_TRUE(WaitForClipboardPicture());
}

TEST_F(CaptureHotkeys, TheFreezerHoldsTheScreenStillWhileADrawnModeTracks) {
  SetOptions(kClipboardOnly | kOptFreeze);
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 0);
  ASSERT_TRUE(pattern);
  // The tracker's info panel follows the pointer: keep it away from the pattern.
  e2e::MouseMove(kX + kW + 300, kY + kH + 200);
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'R'});
  e2e::PumpFor(1500);
  // The pattern window repaints with another pattern below the frozen screen.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(pattern, e2e::kPatternSetVariant, 3, 0, SMTO_NORMAL, 5000, &result);
  e2e::PumpFor(300);
  EXPECT_TRUE(PatternPainted(pattern, 0)) << "the change showed through the frozen screen";
  e2e::KeyPress(VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternPainted(pattern, 3); }, 3000))
      << "the frozen screen stayed after Escape";
  EXPECT_TRUE(OtherVisibleWindows().empty());
}

// The time from the key press to the picture, and what the picture shows of a change made at
// changeAtMs after the press.
struct TimedCapture {
  DWORD elapsedMs = 0;
  std::optional<e2e::Image> picture;
};

TimedCapture PressAndChange(std::initializer_list<WORD> modifiers, WORD key, HWND pattern,
                            DWORD changeAtMs, int newVariant) {
  TimedCapture result;
  for (WORD m : modifiers) e2e::KeyDown(m);
  e2e::SetInputDelay(0);
  e2e::KeyDown(key);
  const DWORD pressed = GetTickCount();
  e2e::SetInputDelay(15);
  e2e::KeyUp(key);
  for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) e2e::KeyUp(*m);
  const DWORD now = GetTickCount() - pressed;
  if (now < changeAtMs) Sleep(changeAtMs - now);
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(pattern, e2e::kPatternSetVariant, newVariant, 0, SMTO_NORMAL, 5000, &answer);
  result.picture = WaitForClipboardPicture();
  result.elapsedMs = GetTickCount() - pressed;
  return result;
}

TEST_F(CaptureHotkeys, ANoughtCaptureDelayStillWaitsAfterHiding) {
  SetDword("CaptureDelayTime", 0);
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 0);
  ASSERT_TRUE(pattern);
  RECT client{};
  GetClientRect(pattern, &client);
  MapWindowPoints(pattern, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ASSERT_TRUE(PutMarker());
  // The capture waits 300 ms after hiding: a change made 250 ms after the press is in the
  // picture (a shorter wait would have copied the pattern before it).
  TimedCapture timed = PressAndChange({VK_CONTROL, VK_MENU}, 'D', pattern, 250, 9);
  ASSERT_TRUE(timed.picture) << "nothing captured";
  EXPECT_GE(timed.elapsedMs, 300u);
  const e2e::Image part = timed.picture->Crop(client);
  EXPECT_EQ(e2e::CountPixelsNotMatching(part, RECT{0, 0, kW, kH},
                                        [](int x, int y) { return e2e::PatternPixel(9, x, y); }),
            0);
}

TEST_F(CaptureHotkeys, WithTheFreezeOptionAChangeAfterTheStillImageStaysOut) {
  // Active Window takes the still image after "CaptureDelayTime" + 300 ms and copies from it
  // 100 ms later; the pattern changes in between.
  constexpr DWORD kDelay = 700;
  constexpr DWORD kChangeAt = kDelay + 300 + 50;
  auto clientOf = [](const e2e::Image& picture, HWND pattern) {
    RECT window{}, client{};
    GetWindowRect(pattern, &window);
    GetClientRect(pattern, &client);
    MapWindowPoints(pattern, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    return picture.Crop(client);
  };
  auto variantOf = [](const e2e::Image& part) {
    for (int variant : {0, 8})
      if (e2e::CountPixelsNotMatching(part, RECT{0, 0, kW, kH}, [variant](int x, int y) {
            return e2e::PatternPixel(variant, x, y);
          }) == 0)
        return variant;
    return -1;
  };

  SetDword("CaptureDelayTime", kDelay);
  // Without freezing, the change made at that moment is captured (the timing holds) ...
  ASSERT_TRUE(Start());
  HWND pattern = StartPattern(kX, kY, kW, kH, 0);
  ASSERT_TRUE(pattern);
  ASSERT_TRUE(PutMarker());
  TimedCapture live = PressAndChange({VK_MENU}, VK_SNAPSHOT, pattern, kChangeAt, 8);
  ASSERT_TRUE(live.picture);
  const int liveVariant = variantOf(clientOf(*live.picture, pattern));

  // ... with freezing it is not.
  m_lumatre.Terminate();
  SetOptions(kClipboardOnly | kOptFreeze);
  ASSERT_TRUE(Start());
  SetPatternVariant(pattern, 0);
  ASSERT_TRUE(e2e::ForceForeground(pattern));
  ASSERT_TRUE(PutMarker());
  TimedCapture frozen = PressAndChange({VK_MENU}, VK_SNAPSHOT, pattern, kChangeAt, 8);
  ASSERT_TRUE(frozen.picture);
  EXPECT_EQ(variantOf(clientOf(*frozen.picture, pattern)), 0);
  if (liveVariant != 8)
    GTEST_SKIP() << "the live capture did not see the change (variant " << liveVariant
                 << "): the machine is too slow for this timing";
}

}  // namespace
