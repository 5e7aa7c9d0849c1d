// Drawn captures of the real program on the real screen: the shapes drawn with the mouse and
// keys over a known pattern, what the clipboard receives, and the screen given back exactly as
// it was, also after Escape at any moment.
#include <gtest/gtest.h>

#include "TrackerSession.h"

using namespace tracker_e2e;

namespace {

constexpr DWORD kWindingFill = 0x200000;
constexpr COLORREF kFill = RGB(0x12, 0x34, 0x56);  // "ColorTransparency" of these tests

void Click() {
  e2e::MouseDown();
  e2e::MouseUp();
}
void RightClick() {
  e2e::MouseDown(e2e::MouseButton::Right);
  e2e::MouseUp(e2e::MouseButton::Right);
}
// Moves in a few steps, as a hand would.
void MoveTo(int x, int y) {
  POINT from;
  GetCursorPos(&from);
  for (int i = 1; i <= 3; ++i) e2e::MouseMove(from.x + (x - from.x) * i / 3, from.y + (y - from.y) * i / 3);
  e2e::PumpFor(150);
}

class TrackerShapes : public TrackerSession {
 protected:
  // Inside r the screen shows the pattern inverted: the pixels that do not, once the program has
  // caught up with the input (up to 3 s on a busy machine).
  int NotInvertedIn(const RECT& r) {
    int count = 0;
    e2e::WaitUntil([&] {
      e2e::Image now = e2e::CaptureScreen();
      count = e2e::CountPixelsNotMatching(now, r, [&](int x, int y) { return InvertedRgb(m_before.Rgb(x, y)); });
      return count == 0;
    }, 3000, 100);
    return count;
  }
  int NotAsBeforeIn(const RECT& r) {
    e2e::Image now = e2e::CaptureScreen();
    return e2e::CountDifferentPixels(now, m_before, r);
  }
};

TEST_F(TrackerShapes, RectangleByTwoClicksCapturesExactlyThatArea) {
  ASSERT_TRUE(StartWithPattern());
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  Click();
  MoveTo(200, 180);
  MoveTo(300, 250);
  // The selection is shown inverted, the panel beside the pointer.
  EXPECT_EQ(NotInvertedIn(RECT{101, 101, 299, 249}), 0);
  EXPECT_GT(NotAsBeforeIn(RECT{302, 252, 552, 300}), 1000);
  EXPECT_EQ(NotAsBeforeIn(RECT{0, 0, 1024, 99}), 0);
  Click();
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, RECT{100, 100, 300, 250}), 0);
  ScreenAsBefore("rectangle");
}

TEST_F(TrackerShapes, SquareFollowsTheShorterSide) {
  ASSERT_TRUE(StartWithPattern(1));
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressSquare();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  Click();
  MoveTo(200, 130);  // 100 right, 30 down
  Click();
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, RECT{100, 100, 130, 130}), 0);
  ScreenAsBefore("square");
}

TEST_F(TrackerShapes, RightButtonStartsTheSelectionAndThenTogglesMove) {
  ASSERT_TRUE(StartWithPattern(2));
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  RightClick();  // before the first click: starts at this point
  MoveTo(200, 180);
  RightClick();  // now: the selection follows the pointer
  MoveTo(250, 200);
  EXPECT_EQ(NotInvertedIn(RECT{151, 121, 249, 199}), 0);
  EXPECT_EQ(NotAsBeforeIn(RECT{101, 101, 149, 119}), 0) << "the old place still shows";
  Click();
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, RECT{150, 120, 250, 200}), 0);
  ScreenAsBefore("right-button");
}

TEST_F(TrackerShapes, EllipseAndCircleHaveTheFillColourInTheirCorners) {
  SetDword("ColorTransparency", kFill);
  ASSERT_TRUE(StartWithPattern(3));
  const uint32_t fill = e2e::FromColorref(kFill);

  ASSERT_TRUE(capture_e2e::PutMarker());
  PressEllipse();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  Click();
  MoveTo(300, 200);
  Click();
  std::optional<e2e::Image> ellipse = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(ellipse) << "no ellipse captured";
  ASSERT_EQ(ellipse->width, 200);
  ASSERT_EQ(ellipse->height, 100);
  for (POINT c : {POINT{0, 0}, POINT{199, 0}, POINT{0, 99}, POINT{199, 99}, POINT{10, 5}})
    EXPECT_EQ(ellipse->Rgb(c.x, c.y), fill) << c.x << "," << c.y;
  EXPECT_EQ(ellipse->Rgb(100, 50), m_before.Rgb(200, 150));
  {
    UniqueRgn mask(CreateEllipticRgn(0, 0, 200, 100));
    EXPECT_EQ(MismatchesOfCapture(*ellipse, RECT{100, 100, 300, 200}, fill,
                                  [&](int x, int y) { return PtInRegion(mask.get(), x, y) != 0; }),
              0);
  }
  ScreenAsBefore("ellipse");

  ASSERT_TRUE(capture_e2e::PutMarker());
  PressCircle();
  ASSERT_TRUE(WaitForPanel(POINT{400, 300}));
  Click();
  MoveTo(600, 360);  // 200 right, 60 down: a circle of 60
  Click();
  std::optional<e2e::Image> circle = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(circle) << "no circle captured";
  ASSERT_EQ(circle->width, 60);
  ASSERT_EQ(circle->height, 60);
  for (POINT c : {POINT{0, 0}, POINT{59, 0}, POINT{0, 59}, POINT{59, 59}})
    EXPECT_EQ(circle->Rgb(c.x, c.y), fill) << c.x << "," << c.y;
  EXPECT_EQ(circle->Rgb(30, 30), m_before.Rgb(430, 330));
  {
    UniqueRgn mask(CreateEllipticRgn(0, 0, 60, 60));
    EXPECT_EQ(MismatchesOfCapture(*circle, RECT{400, 300, 460, 360}, fill,
                                  [&](int x, int y) { return PtInRegion(mask.get(), x, y) != 0; }),
              0);
  }
  ScreenAsBefore("circle");
}

// A five-pointed star drawn point by point and finished by a double-click on its last point.
class PolygonCapture : public TrackerShapes {
 protected:
  static constexpr POINT kStar[5] = {{300, 100}, {390, 380}, {150, 200}, {450, 200}, {210, 380}};

  std::optional<e2e::Image> DrawStar() {
    PressPolygon();
    if (!WaitForPanel(kStar[0])) return std::nullopt;
    for (const POINT& p : kStar) {
      MoveTo(p.x, p.y);
      Click();
      e2e::PumpFor(100);
    }
    e2e::MouseDoubleClick(kStar[4].x, kStar[4].y);
    return capture_e2e::WaitForClipboardPicture();
  }
  int MismatchesOfStar(const e2e::Image& picture, int fillMode) {
    POINT relative[5];
    for (int i = 0; i < 5; ++i) relative[i] = POINT{kStar[i].x - 150, kStar[i].y - 100};
    UniqueRgn mask(CreatePolygonRgn(relative, 5, fillMode));
    return MismatchesOfCapture(picture, RECT{150, 100, 450, 380}, e2e::FromColorref(kFill),
                               [&](int x, int y) { return PtInRegion(mask.get(), x, y) != 0; });
  }
};

TEST_F(PolygonCapture, OutsideThePolygonIsTheFillColourAlternateRule) {
  SetDword("ColorTransparency", kFill);
  SetOptions(capture_e2e::kClipboardOnly);
  ASSERT_TRUE(StartWithPattern(4));
  ASSERT_TRUE(capture_e2e::PutMarker());
  std::optional<e2e::Image> picture = DrawStar();
  ASSERT_TRUE(picture) << "no polygon captured";
  EXPECT_EQ(MismatchesOfStar(*picture, ALTERNATE), 0);
  // The star's centre is outside by the alternate rule.
  EXPECT_EQ(picture->Rgb(150, 140), e2e::FromColorref(kFill));
  ScreenAsBefore("polygon-alternate");
}

TEST_F(PolygonCapture, WindingRuleFillsTheCentre) {
  SetDword("ColorTransparency", kFill);
  SetOptions(capture_e2e::kClipboardOnly | kWindingFill);
  ASSERT_TRUE(StartWithPattern(4));
  ASSERT_TRUE(capture_e2e::PutMarker());
  std::optional<e2e::Image> picture = DrawStar();
  ASSERT_TRUE(picture) << "no polygon captured";
  EXPECT_EQ(MismatchesOfStar(*picture, WINDING), 0);
  EXPECT_EQ(picture->Rgb(150, 140), m_before.Rgb(300, 240));
  ScreenAsBefore("polygon-winding");
}

TEST_F(PolygonCapture, TwoEnterPressesFinishAndFewerThanThreeVerticesCancel) {
  SetDword("ColorTransparency", kFill);
  ASSERT_TRUE(StartWithPattern(5));
  ASSERT_TRUE(capture_e2e::PutMarker());
  // Two vertices and a double-click: nothing is captured, the screen comes back.
  PressPolygon();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  Click();
  MoveTo(300, 120);
  e2e::MouseDoubleClick(300, 120);
  e2e::PumpFor(800);
  EXPECT_TRUE(capture_e2e::MarkerStillThere());
  ScreenAsBefore("polygon-cancelled");

  // Triangle by Enter, finished by Enter twice.
  PressPolygon();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  e2e::KeyPress(VK_RETURN);
  MoveTo(300, 120);
  e2e::KeyPress(VK_RETURN);
  MoveTo(200, 300);
  e2e::KeyPress(VK_RETURN);
  e2e::KeyPress(VK_RETURN);
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "Enter twice captured nothing";
  POINT tri[3] = {{0, 0}, {200, 20}, {100, 200}};
  UniqueRgn mask(CreatePolygonRgn(tri, 3, ALTERNATE));
  EXPECT_EQ(MismatchesOfCapture(*picture, RECT{100, 100, 300, 300}, e2e::FromColorref(kFill),
                                [&](int x, int y) { return PtInRegion(mask.get(), x, y) != 0; }),
            0);
  ScreenAsBefore("polygon-enter");
}

TEST_F(TrackerShapes, EscapeAtAnyMomentGivesTheScreenBack) {
  ASSERT_TRUE(StartWithPattern(6));
  ASSERT_TRUE(capture_e2e::PutMarker());
  struct Moment {
    const char* name;
    void (*press)();
    std::function<void()> steps;
    bool panel = true;  // window picking shows no panel
  };
  const Moment moments[] = {
      {"hover", PressRectangle, [] {}},
      {"anchored", PressEllipse, [] { Click(); }},
      {"panel-over-selection", PressRectangle, [] { Click(); MoveTo(300, 250); MoveTo(120, 110); MoveTo(90, 80); }},
      {"moving", PressCircle, [] { Click(); MoveTo(500, 500); RightClick(); MoveTo(520, 480); }},
      {"panel-hidden", PressSquare, [] { Click(); MoveTo(400, 350); e2e::KeyPress(VK_SHIFT); MoveTo(420, 380); }},
      {"rubber-line", PressPolygon, [] { Click(); MoveTo(600, 200); }},
      {"polygon", PressPolygon, [] { Click(); MoveTo(600, 250); Click(); MoveTo(500, 500); Click(); MoveTo(300, 450); }},
      {"near-the-corner", PressRectangle, [] { Click(); MoveTo(1010, 735); }},
      {"colour", PressColorPicker, [] { MoveTo(700, 500); }},
      {"control", PressControl, [] { MoveTo(700, 500); }, false},
  };
  for (const Moment& m : moments) {
    SCOPED_TRACE(m.name);
    e2e::MouseMove(300, 300);
    m.press();
    if (m.panel)
      ASSERT_TRUE(WaitForPanel(POINT{300, 300}));
    else
      e2e::PumpFor(1000);
    m.steps();
    e2e::PumpFor(200);
    e2e::KeyPress(VK_ESCAPE);
    ScreenAsBefore(std::string("escape-") + m.name);
  }
  EXPECT_TRUE(capture_e2e::MarkerStillThere());
}

TEST_F(TrackerShapes, ShiftHidesAndShowsThePanelAroundTheSelection) {
  ASSERT_TRUE(StartWithPattern(7));
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{100, 100}));
  Click();
  MoveTo(300, 250);
  const RECT panel{302, 252, 552, 300};
  const e2e::Image shown = e2e::CaptureScreen();
  EXPECT_GT(e2e::CountDifferentPixels(shown, m_before, panel), 1000);
  e2e::KeyPress(VK_SHIFT);
  e2e::PumpFor(300);
  EXPECT_EQ(NotAsBeforeIn(panel), 0) << "the panel is still there";
  EXPECT_EQ(NotInvertedIn(RECT{101, 101, 299, 249}), 0) << "the selection was disturbed";
  EXPECT_EQ(NotAsBeforeIn(RECT{0, 0, 1024, 99}), 0);
  e2e::KeyPress(VK_SHIFT);
  e2e::PumpFor(300);
  EXPECT_EQ(e2e::CountDifferentPixels(e2e::CaptureScreen(), shown, ScreenRect()), 0);
  e2e::KeyPress(VK_ESCAPE);
  ScreenAsBefore("shift");
}

TEST_F(TrackerShapes, NearTheRightAndBottomEdgesThePanelStaysInside) {
  ASSERT_TRUE(StartWithPattern(8));
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{500, 300}));
  // Over the pattern just above the taskbar (the taskbar's own process does not pass its mouse
  // input through the hook here).
  MoveTo(w - 10, h - 34);
  const RECT panel{w - 254, h - 52, w - 4, h - 4};
  EXPECT_GT(NotAsBeforeIn(panel), 1000);
  EXPECT_EQ(NotAsBeforeIn(RECT{w - 4, 0, w, h}), 0);
  EXPECT_EQ(NotAsBeforeIn(RECT{0, h - 4, w, h}), 0);
  EXPECT_EQ(NotAsBeforeIn(RECT{0, 0, w, h - 52}), 0);
  EXPECT_EQ(NotAsBeforeIn(RECT{0, 0, w - 254, h}), 0);
  // The arrow keys move the pointer by one pixel; the panel stays where it must.
  e2e::KeyPress(VK_LEFT);
  e2e::KeyPress(VK_UP);
  e2e::PumpFor(300);
  POINT at;
  GetCursorPos(&at);
  EXPECT_EQ(at.x, w - 11);
  EXPECT_EQ(at.y, h - 35);
  EXPECT_EQ(NotAsBeforeIn(RECT{w - 4, 0, w, h}), 0);
  e2e::KeyPress(VK_ESCAPE);
  ScreenAsBefore("edges");
}

}  // namespace

namespace {

TEST_F(TrackerShapes, OverTheFrozenScreenTheSelectionIsDrawnAndTakenAway) {
  SetOptions(capture_e2e::kClipboardOnly | capture_e2e::kOptFreeze);
  ASSERT_TRUE(StartWithPattern(10));
  ASSERT_TRUE(capture_e2e::PutMarker());
  PressRectangle();
  ASSERT_TRUE(WaitForPanel(POINT{200, 150}));
  Click();
  MoveTo(420, 330);
  EXPECT_EQ(NotInvertedIn(RECT{201, 151, 419, 329}), 0);
  // The pattern changes below the frozen screen; the capture shows the still image.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(m_pattern, e2e::kPatternSetVariant, 11, 0, SMTO_NORMAL, 5000, &result);
  e2e::PumpFor(300);
  EXPECT_EQ(NotInvertedIn(RECT{201, 151, 419, 329}), 0);
  Click();
  std::optional<e2e::Image> picture = capture_e2e::WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "nothing captured";
  EXPECT_EQ(MismatchesOfRectCapture(*picture, RECT{200, 150, 420, 330}), 0);
  // The freezer is gone: the screen shows the changed pattern, and nothing of the selection.
  EXPECT_TRUE(e2e::WaitUntil([&] { return PatternPainted(m_pattern, 11); }, 3000));
}

}  // namespace
