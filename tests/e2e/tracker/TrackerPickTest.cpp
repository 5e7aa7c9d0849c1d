// Window picking and the colour picker of the real program, pointing at a window of another
// program: what is highlighted, what is captured, which text the clipboard receives.
#include <gtest/gtest.h>

#include <memory>

#include "TrackerDialog.h"
#include "TrackerSession.h"

using namespace tracker_e2e;

namespace {

constexpr DWORD kOptColorToClipboard = 0x400000;
constexpr int kDialogX = 520, kDialogY = 180;

class TrackerPicking : public TrackerSession {
 protected:
  // Program, pattern, and the dialog in front of them; m_before shows all three.
  bool StartWithDialog() {
    if (!StartWithPattern()) return false;
    auto helper = std::make_unique<e2e::AppProcess>();
    const std::string args = "--x " + std::to_string(kDialogX) + " --y " + std::to_string(kDialogY);
    if (!helper->Start(capture_e2e::HelperPath(tracker_dialog::kExe), args)) {
      ADD_FAILURE() << helper->LastError();
      return false;
    }
    m_dialog = helper->WaitForVisibleWindow(tracker_dialog::kClass, 10000);
    m_helpers.push_back(std::move(helper));
    if (!m_dialog) {
      ADD_FAILURE() << "no dialog";
      return false;
    }
    m_button = GetDlgItem(m_dialog, tracker_dialog::kButtonId);
    EXPECT_TRUE(e2e::ForceForeground(m_dialog));
    // Painted: the strips show their colours.
    const bool painted = e2e::WaitUntil([&] {
      const POINT blue = StripPoint(0);
      return e2e::CaptureScreenRect(RECT{blue.x, blue.y, blue.x + 1, blue.y + 1}).Rgb(0, 0) == e2e::Rgb(0, 0, 255);
    }, 5000);
    EXPECT_TRUE(painted);
    e2e::MouseMove(1015, 5);
    e2e::PumpFor(400);
    TakeBefore();
    return painted;
  }
  RECT ButtonRect() const {
    RECT r{};
    GetWindowRect(m_button, &r);
    return r;
  }
  RECT DialogRect() const {
    RECT r{};
    GetWindowRect(m_dialog, &r);
    return r;
  }
  POINT ClientPoint(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(m_dialog, &p);
    return p;
  }
  POINT StripPoint(int strip) const {
    const RECT r = tracker_dialog::StripRect(strip);
    return ClientPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Only r is inverted; everything else is as before.
  bool ShowsOnlyHighlight(const RECT& r, DWORD timeoutMs = 3000) {
    e2e::Image now;
    const bool ok = e2e::WaitUntil([&] {
      now = e2e::CaptureScreen();
      return e2e::CountPixelsNotMatching(now, ScreenRect(), [&](int x, int y) {
               return PtInRect(&r, POINT{x, y}) ? InvertedRgb(m_before.Rgb(x, y)) : m_before.Rgb(x, y);
             }) == 0;
    }, timeoutMs, 100);
    if (!ok) capture_e2e::SaveForFailure(now, "highlight");
    return ok;
  }
  void MoveTo(POINT p) {
    e2e::MouseMove(p.x - 1, p.y);
    e2e::MouseMove(p.x, p.y);
    e2e::PumpFor(250);
  }

  HWND m_dialog = nullptr;
  HWND m_button = nullptr;
};

TEST_F(TrackerPicking, ControlModeHighlightsTheButtonNeverItsFrame) {
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  const RECT button = ButtonRect();
  const RECT dialog = DialogRect();
  PressControl();
  e2e::PumpFor(900);
  // The dialog's caption and client area belong to a top-level window: nothing is highlighted.
  MoveTo(POINT{dialog.left + 60, dialog.top + 8});
  MoveTo(ClientPoint(300, 60));
  EXPECT_TRUE(ShowsOnlyHighlight(RECT{0, 0, 0, 0}, 500)) << "a top-level window was highlighted";
  MoveTo(ClientPoint(100, 70));
  EXPECT_TRUE(ShowsOnlyHighlight(button)) << "the button is not highlighted";
  // Off the button onto its frame: the button stays highlighted.
  MoveTo(ClientPoint(300, 60));
  MoveTo(POINT{dialog.left + 60, dialog.top + 8});
  EXPECT_TRUE(ShowsOnlyHighlight(button));
  e2e::MouseDown();
  e2e::MouseUp();
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, button), 0);
  ScreenAsBefore("control");
}

TEST_F(TrackerPicking, SingleWindowHighlightsTheInnermostWindow) {
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  const RECT button = ButtonRect();
  const RECT dialog = DialogRect();
  PressSingleWindow();
  e2e::PumpFor(900);
  MoveTo(POINT{dialog.left + 60, dialog.top + 8});
  EXPECT_TRUE(ShowsOnlyHighlight(dialog)) << "the dialog is not highlighted";
  MoveTo(ClientPoint(60, 50));
  EXPECT_TRUE(ShowsOnlyHighlight(button)) << "the button is not highlighted";
  MoveTo(ClientPoint(150, 80));  // within the same button: no change
  EXPECT_TRUE(ShowsOnlyHighlight(button));
  // Enter captures the highlighted window.
  e2e::KeyPress(VK_RETURN);
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, button), 0);
  ScreenAsBefore("single-window");
}

TEST_F(TrackerPicking, EscapeLeavesNoHighlight) {
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressSingleWindow();
  e2e::PumpFor(900);
  MoveTo(ClientPoint(60, 50));
  EXPECT_TRUE(ShowsOnlyHighlight(ButtonRect()));
  e2e::KeyPress(VK_ESCAPE);
  ScreenAsBefore("single-window-escape");
  EXPECT_TRUE(capture_e2e::MarkerStillThere());
}

// --- Colour picker -----------------------------------------------------------------------------

struct PickCase {
  long format;
  int strip;  // 0 blue, 1 white, 2 red, 3 black
  const char* text;
};

class ColorPicking : public TrackerPicking, public ::testing::WithParamInterface<PickCase> {};

TEST_P(ColorPicking, TheClipboardReceivesTheColourAsText) {
  const PickCase c = GetParam();
  SetOptions(capture_e2e::kClipboardOnly | kOptColorToClipboard);
  SetDword("ColorPickerOutputFormat", static_cast<DWORD>(c.format));
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressColorPicker();
  const POINT at = StripPoint(c.strip);
  ASSERT_TRUE(WaitForPanel(at));
  e2e::MouseDown();
  e2e::MouseUp();
  std::string text;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    text = e2e::ReadClipboardText().value_or("");
    return text != capture_e2e::kMarker;
  }, 5000));
  EXPECT_EQ(text, c.text);
  EXPECT_FALSE(e2e::ClipboardHasFormat(CF_DIB));
  // No image window, and the program stays in the tray.
  EXPECT_TRUE(OtherVisibleWindows().empty());
  EXPECT_FALSE(IsWindowVisible(Frame()));
  ScreenAsBefore("colour");
}

INSTANTIATE_TEST_SUITE_P(Formats, ColorPicking,
                         ::testing::Values(PickCase{2, 0, "0x00FF0000"}, PickCase{0, 0, "#0000FF"},
                                           PickCase{8, 1, "0, 1.0000, 0.0000"},
                                           PickCase{8, 2, "360, 0.5000, 1.0000"},
                                           PickCase{8, 3, "0, 0.0000, 0.0000"},
                                           PickCase{1, 2, "Color.FromArgb(255, 0, 0)"}));

TEST_F(TrackerPicking, WithTheCopyOptionClearTheClipboardIsUntouched) {
  SetOptions(capture_e2e::kClipboardOnly);
  SetDword("ColorPickerOutputFormat", 2);
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressColorPicker();
  ASSERT_TRUE(WaitForPanel(StripPoint(0)));
  // The right button picks too; Enter and Space as well.
  e2e::MouseDown(e2e::MouseButton::Right);
  e2e::MouseUp(e2e::MouseButton::Right);
  e2e::PumpFor(1000);
  EXPECT_TRUE(capture_e2e::MarkerStillThere());
  ScreenAsBefore("colour-not-copied");
}

TEST_F(TrackerPicking, ShiftHidesTheColourPanelAndFreezesTheColour) {
  SetOptions(capture_e2e::kClipboardOnly | kOptColorToClipboard);
  SetDword("ColorPickerOutputFormat", 0);
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressColorPicker();
  ASSERT_TRUE(WaitForPanel(StripPoint(2)));  // red
  e2e::KeyPress(VK_SHIFT);
  e2e::PumpFor(300);
  MoveTo(StripPoint(0));  // blue, with the panel hidden
  EXPECT_EQ(e2e::CountDifferentPixels(e2e::CaptureScreen(), m_before, ScreenRect()), 0) << "panel still shown";
  e2e::KeyPress(VK_SPACE);
  std::string text;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    text = e2e::ReadClipboardText().value_or("");
    return text != capture_e2e::kMarker;
  }, 5000));
  EXPECT_EQ(text, "#FF0000");
  ScreenAsBefore("colour-shift");
}

TEST_F(TrackerPicking, RepeatLastAfterAPickRepeatsTheCaptureBeforeIt) {
  SetOptions(capture_e2e::kClipboardOnly | kOptColorToClipboard);
  SetDword("RepeatLastMode", 1);  // capture directly
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  e2e::MouseDown();
  e2e::MouseUp();
  MoveTo(POINT{220, 190});
  e2e::MouseDown();
  e2e::MouseUp();
  std::optional<e2e::Image> first = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(first);
  ScreenAsBefore("before-pick");

  PressColorPicker();
  ASSERT_TRUE(WaitForPanel(StripPoint(0)));
  e2e::MouseDown();
  e2e::MouseUp();
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::ReadClipboardText().value_or("") == "#0000FF"; }, 5000));
  ScreenAsBefore("after-pick");

  ASSERT_TRUE(capture_e2e::PutMarker());
  PressRepeatLast();
  std::optional<e2e::Image> again = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(again) << "Repeat Last captured nothing";
  EXPECT_EQ(MismatchesOfRectCapture(*again, RECT{100, 100, 220, 190}), 0);
  ScreenAsBefore("repeat-after-pick");
}

}  // namespace
