// The selection tracker driven message by message on a memory picture that stands in for the
// screen: what it shows while the user draws (the inverted shape, the panel), what it captures,
// and that every end, finished or cancelled, leaves the picture exactly as it was.
#include <gtest/gtest.h>

#include <memory>

#include "TrackerTestUtil.h"
#include "common/Settings.h"
#include "capture/CaptureModes.h"

using namespace tracker_test;

namespace {

class TrackerOnCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(canvas.Ok());
    tracker = std::make_unique<CCaptureTracker>(sys.Environment());
    ASSERT_TRUE(tracker->PreparePanel(canvas.dc(), ::GetModuleHandleA(nullptr)));
    tracker->Panel().SetScreenSize(canvas.size());
  }

  void Begin(int type, int state, DWORD optionsA = 0) { tracker->Begin(type, state, optionsA); }
  TrackerAction Mouse(UINT message, int x, int y) {
    sys.cursor = POINT{x, y};
    return tracker->OnMouseMessage(canvas.dc(), message, POINT{x, y});
  }
  TrackerAction Move(int x, int y) { return Mouse(WM_MOUSEMOVE, x, y); }
  TrackerAction Left(int x, int y) { return Mouse(WM_LBUTTONDOWN, x, y); }
  TrackerAction LeftUp(int x, int y) { return Mouse(WM_LBUTTONUP, x, y); }
  TrackerAction Right(int x, int y) { return Mouse(WM_RBUTTONDOWN, x, y); }
  TrackerAction Key(UINT vk) { return tracker->OnTrackingKey(canvas.dc(), vk); }
  // A click that is certainly not the second of a double-click.
  TrackerAction LeftLater(int x, int y) {
    sys.now += 2000;
    return Left(x, y);
  }

  // Outside the panel and the focus rectangle's line, the picture is the pattern with the
  // pixels of inside(x, y) inverted.
  int MismatchesOfSelection(const RECT& area, const std::function<bool(int, int)>& inside) {
    const RECT panel = tracker->Panel().ShownRect();
    const RECT inner = Inset(area, 1);
    RECT all{0, 0, canvas.width(), canvas.height()};
    int n = 0;
    for (int y = all.top; y < all.bottom; ++y)
      for (int x = all.left; x < all.right; ++x) {
        POINT p{x, y};
        if (PtInRect(&panel, p)) continue;
        if (PtInRect(&area, p) && !PtInRect(&inner, p)) continue;  // the dotted line
        const uint32_t want = inside(x, y) ? Inverted(CanvasPixel(x, y)) : CanvasPixel(x, y);
        if (canvas.At(x, y) != want) ++n;
      }
    return n;
  }
  int MismatchesOfRectangle(const RECT& area) {
    return MismatchesOfSelection(area, [&](int x, int y) { return PtInRect(&area, POINT{x, y}) != 0; });
  }
  int MismatchesOfRegion(const RECT& area, HRGN region) {
    return MismatchesOfSelection(area, [&](int x, int y) { return PtInRegion(region, x, y) != 0; });
  }

  // The panel's pixels now.
  std::vector<uint32_t> PanelPixels() {
    std::vector<uint32_t> pixels;
    const RECT r = tracker->Panel().ShownRect();
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
  }

  Canvas canvas{640, 480};
  FakeSystem sys;
  std::unique_ptr<CCaptureTracker> tracker;
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(r, l, t, rr, b) EXPECT_TRUE(SameRect((r), RECT{l, t, rr, b})) \
    << "got " << (r).left << "," << (r).top << "," << (r).right << "," << (r).bottom

// --- Rectangle, square and the buttons ---------------------------------------------------------

TEST_F(TrackerOnCanvas, RectangleByTwoClicks) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  EXPECT_EQ(Move(100, 100), TrackerAction::kNone);
  EXPECT_EQ(tracker->State(), kTrackerStateHover);
  // Hovering: only the panel follows the pointer, 2 pixels right of and below it.
  EXPECT_TRUE(tracker->Panel().IsShown());
  EXPECT_EQ(tracker->Panel().Position().x, 102);
  EXPECT_EQ(tracker->Panel().Position().y, 102);
  EXPECT_EQ(MismatchesOfRectangle(RECT{0, 0, 0, 0}), 0);

  EXPECT_EQ(Left(100, 100), TrackerAction::kNone);
  EXPECT_TRUE(tracker->Started());
  EXPECT_EQ(tracker->Anchor().x, 100);
  EXPECT_EQ(Move(180, 170), TrackerAction::kNone);
  EXPECT_EQ(Move(300, 250), TrackerAction::kNone);
  EXPECT_EQ(tracker->State(), kTrackerStateStretch);
  EXPECT_RECT(tracker->Capture().area, 100, 100, 300, 250);
  EXPECT_EQ(tracker->Size().cx, 200);
  EXPECT_EQ(tracker->Size().cy, 150);
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 300, 250}), 0);
  EXPECT_GT(canvas.CountChanged(tracker->Panel().ShownRect()), 1000) << "panel not drawn";

  EXPECT_EQ(Left(300, 250), TrackerAction::kFinish);
  EXPECT_EQ(tracker->State(), kTrackerStateFinish);
  EXPECT_FALSE(tracker->Started());
  EXPECT_RECT(tracker->Capture().area, 100, 100, 300, 250);
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeRectangle);
  EXPECT_FALSE(tracker->Panel().IsShown());
  EXPECT_EQ(canvas.CountChanged(), 0);
  // Nothing more happens after the finish.
  EXPECT_EQ(Move(10, 10), TrackerAction::kNone);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, NonClientMessagesCountLikeClientOnes) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Mouse(WM_NCMOUSEMOVE, 50, 60);
  Mouse(WM_NCLBUTTONDOWN, 50, 60);
  Mouse(WM_NCMOUSEMOVE, 90, 100);
  EXPECT_EQ(Mouse(WM_NCLBUTTONDOWN, 90, 100), TrackerAction::kFinish);
  EXPECT_RECT(tracker->Capture().area, 50, 60, 90, 100);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, SingleClickWithoutMovementGivesAnEmptyArea) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(100, 100);
  Left(100, 100);
  EXPECT_EQ(Left(100, 100), TrackerAction::kFinish);
  EXPECT_TRUE(tracker->Capture().IsEmpty());
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, ButtonReleasesAreIgnored) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Left(100, 100);
  LeftUp(100, 100);
  Move(150, 150);
  EXPECT_EQ(LeftUp(150, 150), TrackerAction::kNone);
  EXPECT_EQ(Mouse(WM_RBUTTONUP, 150, 150), TrackerAction::kNone);
  EXPECT_TRUE(tracker->Started());
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 150, 150}), 0);
}

TEST_F(TrackerOnCanvas, SquareFollowsTheShorterSide) {
  Begin(kTrackerSquare, kTrackerStateHover);
  Left(100, 100);
  Move(200, 130);  // 100 right, 30 down
  EXPECT_RECT(tracker->Capture().area, 100, 100, 130, 130);
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 130, 130}), 0);
  Move(40, 90);  // 60 left, 10 up: a 10 x 10 square up and left of the anchor
  EXPECT_RECT(tracker->Capture().area, 90, 90, 100, 100);
  EXPECT_EQ(MismatchesOfRectangle(RECT{90, 90, 100, 100}), 0);
  EXPECT_EQ(Left(40, 90), TrackerAction::kFinish);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, RightButtonStartsAndThenTogglesMove) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(100, 100);
  EXPECT_EQ(Right(100, 100), TrackerAction::kNone);
  EXPECT_TRUE(tracker->Started());
  Move(200, 180);
  EXPECT_RECT(tracker->Capture().area, 100, 100, 200, 180);
  Right(200, 180);
  EXPECT_TRUE(tracker->Moving());
  Move(250, 200);
  EXPECT_EQ(tracker->State(), kTrackerStateMove);
  EXPECT_RECT(tracker->Capture().area, 150, 120, 250, 200);
  EXPECT_EQ(tracker->Anchor().x, 150);
  EXPECT_EQ(tracker->Anchor().y, 120);
  EXPECT_EQ(MismatchesOfRectangle(RECT{150, 120, 250, 200}), 0);
  // Back to stretching from the moved anchor.
  Right(250, 200);
  EXPECT_FALSE(tracker->Moving());
  Move(300, 260);
  EXPECT_RECT(tracker->Capture().area, 150, 120, 300, 260);
  EXPECT_EQ(MismatchesOfRectangle(RECT{150, 120, 300, 260}), 0);
  EXPECT_EQ(Left(300, 260), TrackerAction::kFinish);
  EXPECT_RECT(tracker->Capture().area, 150, 120, 300, 260);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, EnterAndSpaceActAsTheButtonsAtThePointer) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(60, 70);
  EXPECT_EQ(Key(VK_SPACE), TrackerAction::kNone);  // right press: starts
  EXPECT_TRUE(tracker->Started());
  Move(160, 90);
  EXPECT_EQ(Key(VK_RETURN), TrackerAction::kFinish);
  EXPECT_RECT(tracker->Capture().area, 60, 70, 160, 90);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, ArrowsMoveThePointerByOnePixel) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(60, 70);
  Key(VK_LEFT);
  Key(VK_RIGHT);
  Key(VK_UP);
  Key(VK_DOWN);
  ASSERT_EQ(sys.cursorMoves.size(), 4u);
  EXPECT_EQ(sys.cursorMoves[0].x, 59);
  EXPECT_EQ(sys.cursorMoves[0].y, 70);
  EXPECT_EQ(sys.cursorMoves[1].x, 61);
  EXPECT_EQ(sys.cursorMoves[2].y, 69);
  EXPECT_EQ(sys.cursorMoves[3].y, 71);
  EXPECT_EQ(sys.cursorMoves[3].x, 60);
}

// --- Ellipse and circle ------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, EllipseShowsTheInscribedEllipse) {
  Begin(kTrackerEllipse, kTrackerStateHover);
  Left(100, 100);
  Move(300, 200);
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeEllipse);
  UniqueRgn ellipse(CreateEllipticRgn(100, 100, 300, 200));
  EXPECT_EQ(MismatchesOfRegion(RECT{100, 100, 300, 200}, ellipse.get()), 0);
  EXPECT_EQ(canvas.At(200, 150), Inverted(CanvasPixel(200, 150)));
  EXPECT_EQ(canvas.At(103, 103), CanvasPixel(103, 103)) << "corner inverted";
  // Stretch further: only the difference changes, and the result is the new ellipse alone.
  Move(250, 260);
  UniqueRgn second(CreateEllipticRgn(100, 100, 250, 260));
  EXPECT_EQ(MismatchesOfRegion(RECT{100, 100, 250, 260}, second.get()), 0);
  EXPECT_EQ(Left(250, 260), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeEllipse);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, CircleIsTheEllipseOfTheSquare) {
  Begin(kTrackerCircle, kTrackerStateHover);
  Left(100, 100);
  Move(300, 160);
  EXPECT_RECT(tracker->Capture().area, 100, 100, 160, 160);
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeEllipse);
  UniqueRgn circle(CreateEllipticRgn(100, 100, 160, 160));
  EXPECT_EQ(MismatchesOfRegion(RECT{100, 100, 160, 160}, circle.get()), 0);
  // Moved as a whole.
  Right(300, 160);
  Move(310, 170);
  EXPECT_RECT(tracker->Capture().area, 110, 110, 170, 170);
  UniqueRgn moved(CreateEllipticRgn(110, 110, 170, 170));
  EXPECT_EQ(MismatchesOfRegion(RECT{110, 110, 170, 170}, moved.get()), 0);
  Key(VK_ESCAPE);
  tracker->Erase(canvas.dc());
  EXPECT_EQ(canvas.CountChanged(), 0);
}

// --- The panel ---------------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, PanelOverTheSelectionKeepsCleanPixels) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Left(400, 300);
  Move(300, 250);
  Move(100, 100);  // the panel now lies inside the selection
  const RECT area{100, 100, 400, 300};
  EXPECT_RECT(tracker->Capture().area, 100, 100, 400, 300);
  EXPECT_EQ(MismatchesOfRectangle(area), 0);
  // Hidden, the panel gives back the clean pixels, which the selection shows inverted.
  Key(VK_SHIFT);
  EXPECT_FALSE(tracker->Panel().IsShown());
  EXPECT_EQ(MismatchesOfRectangle(area), 0);
  EXPECT_EQ(canvas.CountNot(Inset(area, 1), [](int x, int y) { return Inverted(CanvasPixel(x, y)); }), 0);
  Key(VK_SHIFT);
  EXPECT_TRUE(tracker->Panel().IsShown());
  // Moving within the selection and out of it again.
  Move(130, 120);
  EXPECT_EQ(MismatchesOfRectangle(RECT{130, 120, 400, 300}), 0);
  Move(500, 400);
  EXPECT_EQ(MismatchesOfRectangle(RECT{400, 300, 500, 400}), 0);
  Move(90, 80);
  EXPECT_EQ(MismatchesOfRectangle(RECT{90, 80, 400, 300}), 0);
  EXPECT_EQ(Left(90, 80), TrackerAction::kFinish);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, ShiftHidesAndShowsThePanelLeavingTheSelection) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Left(100, 100);
  Move(300, 250);
  const RECT panel = tracker->Panel().ShownRect();
  const std::vector<uint32_t> shown = PanelPixels();
  EXPECT_EQ(Key(VK_SHIFT), TrackerAction::kNone);
  EXPECT_FALSE(tracker->PanelWanted());
  EXPECT_FALSE(tracker->Panel().IsShown());
  EXPECT_EQ(canvas.CountChanged(panel), 0);
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 300, 250}), 0);
  // Moving with the panel hidden draws no panel.
  Move(310, 260);
  EXPECT_FALSE(tracker->Panel().IsShown());
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 310, 260}), 0);
  Move(300, 250);
  Key(VK_SHIFT);
  EXPECT_TRUE(tracker->Panel().IsShown());
  EXPECT_TRUE(SameRect(tracker->Panel().ShownRect(), panel));
  EXPECT_EQ(PanelPixels(), shown);
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 300, 250}), 0);
}

TEST_F(TrackerOnCanvas, PanelStaysFourPixelsInsideTheEdges) {
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{100, 100}, SIZE{1024, 768}).x, 102);
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{767, 100}, SIZE{1024, 768}).x, 769);
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{768, 100}, SIZE{1024, 768}).x, 770);
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{1023, 100}, SIZE{1024, 768}).x, 770);
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{10, 767}, SIZE{1024, 768}).y, 716);
  EXPECT_EQ(CInfoPanel::PlaceAt(POINT{10, 713}, SIZE{1024, 768}).y, 715);

  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(630, 470);
  const RECT r = tracker->Panel().ShownRect();
  EXPECT_RECT(r, 640 - 254, 480 - 52, 636, 476);
  // The whole panel is drawn; the edge strips keep the screen.
  EXPECT_EQ(canvas.CountChanged(RECT{636, 0, 640, 480}), 0);
  EXPECT_EQ(canvas.CountChanged(RECT{0, 476, 640, 480}), 0);
  Move(20, 20);
  EXPECT_EQ(tracker->Panel().Position().x, 22);
  EXPECT_EQ(canvas.CountChanged(r), 0) << "old place not put back";
  Key(VK_ESCAPE);
  tracker->Erase(canvas.dc());
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, PanelShowsTheBackgroundImageAndTheMagnifiedPointer) {
  EXPECT_TRUE(tracker->Panel().HasBackgroundImage());
  // A pixel of its own colour under the pointer: the magnifier shows it 6 times larger around
  // the crosshair's centre.
  canvas.Set(200, 150, 0x00FF00);
  Begin(kTrackerRectangle, kTrackerStateHover);
  Move(200, 150);
  const POINT at = tracker->Panel().Position();
  // Inside the pointer's square of the magnifier, off the crosshair lines.
  EXPECT_EQ(canvas.At(at.x + 22, at.y + 22), 0x00FF00u);
  EXPECT_EQ(canvas.At(at.x + 25, at.y + 25), 0x00FF00u);
  // The crosshair's square is drawn by inversion around it.
  EXPECT_EQ(canvas.At(at.x + 21, at.y + 22), Inverted(0x00FF00u));
}

// --- Cancelling --------------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, EscapeAtAnyMomentGivesTheScreenBack) {
  struct Moment {
    const char* name;
    int type, state;
    std::function<void()> steps;
  };
  const Moment moments[] = {
      {"hover", kTrackerRectangle, kTrackerStateHover, [&] { Move(100, 100); }},
      {"anchored", kTrackerRectangle, kTrackerStateHover, [&] { Move(100, 100); Left(100, 100); }},
      {"stretching", kTrackerEllipse, kTrackerStateHover, [&] { Left(400, 300); Move(90, 90); Move(120, 80); }},
      {"moving", kTrackerSquare, kTrackerStateHover, [&] { Left(100, 100); Move(200, 200); Right(200, 200); Move(260, 230); }},
      {"panel hidden", kTrackerRectangle, kTrackerStateHover, [&] { Left(100, 100); Move(200, 200); Key(VK_SHIFT); Move(220, 210); }},
      {"rubber line", kTrackerPolygon, kTrackerStatePolygon, [&] { Left(100, 100); Move(300, 180); }},
      {"polygon", kTrackerPolygon, kTrackerStatePolygon, [&] { LeftLater(100, 100); LeftLater(300, 100); Move(200, 300); Move(90, 300); }},
      {"colour", kTrackerColorPicker, kTrackerStateColorPicker, [&] { Move(500, 400); Move(10, 20); }},
  };
  for (const Moment& m : moments) {
    canvas.Reset();
    Begin(m.type, m.state);
    m.steps();
    EXPECT_GT(canvas.CountChanged(), 0) << m.name << ": nothing drawn";
    EXPECT_EQ(Key(VK_ESCAPE), TrackerAction::kCancel) << m.name;
    tracker->Erase(canvas.dc());
    tracker->ResetTracking(false);
    EXPECT_EQ(canvas.CountChanged(), 0) << m.name;
    EXPECT_FALSE(tracker->ShowsShape()) << m.name;
  }
}

// --- Polygon -----------------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, PolygonEnteredPointByPoint) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  Move(100, 100);
  EXPECT_EQ(canvas.CountChanged(RECT{0, 0, 100, 640}), 0);
  LeftLater(100, 100);
  EXPECT_EQ(tracker->PointCount(), 1);
  // One vertex: a rubber line to the pointer, drawn by inversion.
  Move(200, 100);
  EXPECT_EQ(canvas.At(150, 100), Inverted(CanvasPixel(150, 100)));
  EXPECT_EQ(canvas.At(150, 101), CanvasPixel(150, 101));
  Move(200, 90);
  EXPECT_EQ(canvas.At(101, 100), Inverted(CanvasPixel(101, 100)));
  EXPECT_EQ(canvas.At(180, 100), CanvasPixel(180, 100)) << "old line left behind";
  Move(200, 100);
  LeftLater(200, 100);
  EXPECT_EQ(tracker->PointCount(), 2);
  EXPECT_EQ(canvas.At(150, 100), CanvasPixel(150, 100)) << "line not removed";
  // Two vertices and the one at the pointer make a triangle.
  Move(200, 200);
  UniqueRgn triangle;
  {
    POINT v[] = {{100, 100}, {200, 100}, {200, 200}};
    triangle.reset(CreatePolygonRgn(v, 3, ALTERNATE));
  }
  EXPECT_RECT(tracker->Capture().area, 100, 100, 200, 200);
  EXPECT_EQ(MismatchesOfRegion(RECT{100, 100, 200, 200}, triangle.get()), 0);
  LeftLater(200, 200);
  Move(100, 200);
  EXPECT_EQ(tracker->PointCount(), 3);
  // A press on the last vertex adds nothing; a quick second press there finishes.
  LeftLater(100, 200);
  EXPECT_EQ(tracker->PointCount(), 4);
  EXPECT_EQ(tracker->Capture().shapeCode, 4);
  sys.now += 200;
  EXPECT_EQ(Left(100, 200), TrackerAction::kFinish);
  const CaptureArea& c = tracker->Capture();
  EXPECT_EQ(c.shapeCode, 4);
  EXPECT_RECT(c.area, 100, 100, 200, 200);
  // The vertices are relative to the area now.
  const POINT want[] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.points[i].x, want[i].x) << i;
    EXPECT_EQ(c.points[i].y, want[i].y) << i;
  }
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, PolygonWithFewerThanThreeVerticesIsCancelled) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  LeftLater(100, 100);
  Move(200, 150);
  LeftLater(200, 150);
  sys.now += 100;
  EXPECT_EQ(Left(200, 150), TrackerAction::kCancel);
  tracker->Erase(canvas.dc());
  EXPECT_EQ(canvas.CountChanged(), 0);

  // A double-click as the very first input.
  canvas.Reset();
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  LeftLater(50, 50);
  sys.now += 100;
  EXPECT_EQ(Left(50, 50), TrackerAction::kCancel);
}

TEST_F(TrackerOnCanvas, TwoEnterPressesWithinTheDoubleClickTimeFinish) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {300, 120}, {200, 300}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    sys.now += 2000;
    EXPECT_EQ(Key(VK_RETURN), TrackerAction::kNone);
  }
  EXPECT_EQ(tracker->PointCount(), 3);
  sys.now += 300;
  EXPECT_EQ(Key(VK_RETURN), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, 3);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, EnterPressesFurtherApartThanTheDoubleClickTimeDoNotFinish) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {300, 120}, {200, 300}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    sys.now += 2000;
    Key(VK_RETURN);
  }
  sys.now += 501;
  EXPECT_EQ(Key(VK_RETURN), TrackerAction::kNone);
  EXPECT_EQ(tracker->PointCount(), 3);
}

TEST_F(TrackerOnCanvas, QuickClicksOnDistantSpotsAddVertices) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {300, 120}, {200, 300}, {120, 280}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    sys.now += 100;
    EXPECT_EQ(Left(p.x, p.y), TrackerAction::kNone);
    sys.now += 50;
    EXPECT_EQ(LeftUp(p.x, p.y), TrackerAction::kNone);
  }
  EXPECT_EQ(tracker->PointCount(), 4);
}

TEST_F(TrackerOnCanvas, TwoReleasesWithinTheDoubleClickTimeFinish) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {300, 120}, {200, 300}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    LeftLater(p.x, p.y);
  }
  sys.now += 2000;
  EXPECT_EQ(LeftUp(200, 300), TrackerAction::kNone);
  sys.now += 100;
  EXPECT_EQ(LeftUp(200, 300), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, 3);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, DoubleClickMessageRemovesTheShapeAndFinishes) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {300, 120}, {200, 300}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    LeftLater(p.x, p.y);
  }
  Move(150, 250);
  sys.now += 2000;
  Left(150, 250);
  sys.now += 100;
  EXPECT_EQ(Mouse(WM_LBUTTONDBLCLK, 150, 250), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, 4);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, NinetyNineVerticesAtMostAndABeep) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  for (int i = 0; i < 99; ++i) {
    const int x = 10 + (i % 33) * 18;
    const int y = 20 + (i / 33) * 150 + (i % 2) * 60;
    Move(x, y);
    LeftLater(x, y);
  }
  EXPECT_EQ(tracker->PointCount(), 99);
  EXPECT_EQ(sys.beeps, 0);
  Move(600, 450);
  EXPECT_EQ(LeftLater(600, 450), TrackerAction::kNone);
  EXPECT_EQ(tracker->PointCount(), 99);
  EXPECT_EQ(tracker->Capture().shapeCode, 99);
  EXPECT_EQ(sys.beeps, 1);
  sys.now += 100;
  EXPECT_EQ(Left(600, 450), TrackerAction::kFinish);
  EXPECT_EQ(sys.beeps, 2);
  EXPECT_EQ(tracker->Capture().shapeCode, 99);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, PolygonMovesAsAWhole) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {200, 100}, {200, 200}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    LeftLater(p.x, p.y);
  }
  Move(100, 200);  // the fourth vertex follows the pointer
  EXPECT_EQ(Right(100, 200), TrackerAction::kNone);
  EXPECT_TRUE(tracker->PolygonMove());
  Move(150, 220);
  EXPECT_RECT(tracker->Capture().area, 150, 120, 250, 220);
  UniqueRgn square(CreateRectRgn(150, 120, 250, 220));
  EXPECT_EQ(MismatchesOfRegion(RECT{150, 120, 250, 220}, square.get()), 0);
  // A press in polygon move adds nothing; the double-click takes the vertex at the pointer too.
  LeftLater(150, 220);
  EXPECT_EQ(tracker->PointCount(), 3);
  sys.now += 100;
  EXPECT_EQ(Left(150, 220), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, 4);
  EXPECT_RECT(tracker->Capture().area, 150, 120, 250, 220);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, RightButtonOnThePolygon) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  Move(100, 100);
  Right(100, 100);  // no vertex: the first one
  EXPECT_EQ(tracker->PointCount(), 1);
  Move(150, 100);
  Right(150, 100);  // one vertex: nothing
  EXPECT_EQ(tracker->PointCount(), 1);
  EXPECT_FALSE(tracker->PolygonMove());
}

TEST_F(TrackerOnCanvas, WindingAndAlternateDifferOnACrossingPolygon) {
  // A five-pointed star: its centre is inside by the winding rule, outside by alternate.
  const POINT star[] = {{200, 50}, {290, 330}, {50, 150}, {350, 150}, {110, 330}};
  for (DWORD options : {DWORD{0}, kOptWindingFill}) {
    canvas.Reset();
    Begin(kTrackerPolygon, kTrackerStatePolygon, options);
    for (const POINT& p : star) {
      Move(p.x, p.y);
      LeftLater(p.x, p.y);
    }
    Move(110, 330);
    const uint32_t centre = canvas.At(200, 190);
    if (options)
      EXPECT_EQ(centre, Inverted(CanvasPixel(200, 190))) << "winding";
    else
      EXPECT_EQ(centre, CanvasPixel(200, 190)) << "alternate";
    // A point of the star is inside by both rules.
    EXPECT_EQ(canvas.At(200, 70), Inverted(CanvasPixel(200, 70)));
    sys.now += 100;
    EXPECT_EQ(Left(110, 330), TrackerAction::kFinish);
    EXPECT_EQ(canvas.CountChanged(), 0);
  }
}

// --- Repeat Last -------------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, LastShapesAreKeptPerType) {
  for (int type : {kTrackerRectangle, kTrackerSquare, kTrackerEllipse, kTrackerCircle, kTrackerPolygon})
    EXPECT_FALSE(tracker->LastShape(type)->valid);
  EXPECT_EQ(tracker->LastShape(kTrackerControl), nullptr);

  Begin(kTrackerEllipse, kTrackerStateHover);
  Left(100, 100);
  Move(300, 250);
  ASSERT_EQ(Left(300, 250), TrackerAction::kFinish);
  tracker->ResetTracking(true);
  EXPECT_EQ(tracker->State(), kTrackerStateIdle);
  EXPECT_TRUE(tracker->Capture().IsEmpty());

  const LastShapeRecord* record = tracker->LastShape(kTrackerEllipse);
  ASSERT_TRUE(record->valid);
  EXPECT_RECT(record->rect, 100, 100, 300, 250);
  EXPECT_FALSE(tracker->LastShape(kTrackerRectangle)->valid);
  EXPECT_FALSE(tracker->LastShape(kTrackerCircle)->valid);

  POINT pointer{};
  EXPECT_FALSE(tracker->GetLastShape(kTrackerCircle, &pointer));
  ASSERT_TRUE(tracker->GetLastShape(kTrackerEllipse, &pointer));
  EXPECT_EQ(pointer.x, 300);
  EXPECT_EQ(pointer.y, 250);
  EXPECT_EQ(tracker->Anchor().x, 100);
  EXPECT_EQ(tracker->Anchor().y, 100);
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeEllipse);
  EXPECT_RECT(tracker->Capture().area, 100, 100, 300, 250);

  CaptureArea direct;
  ASSERT_TRUE(tracker->LastShapeArea(kTrackerEllipse, direct));
  EXPECT_EQ(direct.shapeCode, kShapeEllipse);
  EXPECT_RECT(direct.area, 100, 100, 300, 250);
}

TEST_F(TrackerOnCanvas, CancelledAndEmptyShapesAreNotKept) {
  Begin(kTrackerRectangle, kTrackerStateHover);
  Left(100, 100);
  Move(200, 200);
  Key(VK_ESCAPE);
  tracker->Erase(canvas.dc());
  tracker->ResetTracking(false);
  EXPECT_FALSE(tracker->LastShape(kTrackerRectangle)->valid);

  Begin(kTrackerRectangle, kTrackerStateHover);
  Left(100, 100);
  ASSERT_EQ(Left(100, 100), TrackerAction::kFinish);
  tracker->ResetTracking(true);
  EXPECT_FALSE(tracker->LastShape(kTrackerRectangle)->valid);
}

TEST_F(TrackerOnCanvas, RepeatTrackingShowsTheLastShapeAndMovesIt) {
  Begin(kTrackerSquare, kTrackerStateHover);
  Left(100, 100);
  Move(200, 160);
  ASSERT_EQ(Left(200, 160), TrackerAction::kFinish);
  tracker->ResetTracking(true);
  ASSERT_EQ(canvas.CountChanged(), 0);

  Begin(kTrackerSquare, kTrackerStateHover);
  POINT pointer{};
  ASSERT_TRUE(tracker->BeginRepeatTracking(canvas.dc(), kTrackerSquare, &pointer));
  EXPECT_EQ(pointer.x, 160);
  EXPECT_EQ(pointer.y, 160);
  EXPECT_TRUE(tracker->Started());
  EXPECT_TRUE(tracker->Moving());
  EXPECT_EQ(tracker->State(), kTrackerStateMove);
  EXPECT_EQ(MismatchesOfRectangle(RECT{100, 100, 160, 160}), 0);
  // The shape follows the pointer from its last point.
  Move(161, 161);
  Move(190, 170);
  EXPECT_RECT(tracker->Capture().area, 130, 110, 190, 170);
  EXPECT_EQ(MismatchesOfRectangle(RECT{130, 110, 190, 170}), 0);
  EXPECT_EQ(Left(190, 170), TrackerAction::kFinish);
  EXPECT_RECT(tracker->Capture().area, 130, 110, 190, 170);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, PolygonRepeat) {
  Begin(kTrackerPolygon, kTrackerStatePolygon);
  const POINT v[] = {{100, 100}, {200, 110}, {180, 200}, {90, 190}};
  for (const POINT& p : v) {
    Move(p.x, p.y);
    LeftLater(p.x, p.y);
  }
  sys.now += 100;
  ASSERT_EQ(Left(90, 190), TrackerAction::kFinish);
  tracker->ResetTracking(true);

  const LastShapeRecord* record = tracker->LastShape(kTrackerPolygon);
  ASSERT_TRUE(record->valid);
  EXPECT_EQ(record->count, 4);
  EXPECT_RECT(record->rect, 90, 100, 200, 200);
  EXPECT_EQ(record->points[1].x, 110);  // relative to (90, 100)
  EXPECT_EQ(record->points[1].y, 10);

  CaptureArea direct;
  ASSERT_TRUE(tracker->LastShapeArea(kTrackerPolygon, direct));
  EXPECT_EQ(direct.shapeCode, 4);
  EXPECT_EQ(direct.points[3].x, 0);
  EXPECT_EQ(direct.points[3].y, 90);

  Begin(kTrackerPolygon, kTrackerStatePolygon);
  POINT pointer{};
  ASSERT_TRUE(tracker->BeginRepeatTracking(canvas.dc(), kTrackerPolygon, &pointer));
  // The pointer goes to the last vertex, which follows it; the polygon moves as a whole.
  EXPECT_EQ(pointer.x, 90);
  EXPECT_EQ(pointer.y, 190);
  EXPECT_EQ(tracker->PointCount(), 3);
  EXPECT_EQ(tracker->State(), kTrackerStatePolygon);
  EXPECT_TRUE(tracker->PolygonMove());
  UniqueRgn shape(CreatePolygonRgn(v, 4, ALTERNATE));
  EXPECT_EQ(MismatchesOfRegion(RECT{90, 100, 200, 200}, shape.get()), 0);
  Move(100, 200);
  sys.now += 2000;
  Left(100, 200);
  sys.now += 100;
  ASSERT_EQ(Left(100, 200), TrackerAction::kFinish);
  EXPECT_EQ(tracker->Capture().shapeCode, 4);
  EXPECT_RECT(tracker->Capture().area, 100, 110, 210, 210);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

// --- Colour picker -----------------------------------------------------------------------------

TEST_F(TrackerOnCanvas, PickColorTakesThePixelUnderThePointer) {
  canvas.Set(200, 150, 0x0000FF);  // pure blue
  canvas.Set(300, 150, 0xFF0000);  // pure red
  Begin(kTrackerColorPicker, kTrackerStateColorPicker);
  EXPECT_EQ(tracker->Panel().Mode(), CInfoPanel::kModeColor);
  Move(200, 150);
  EXPECT_EQ(tracker->PickedColor(), RGB(0, 0, 255));
  const POINT at = tracker->Panel().Position();
  // The swatch shows the colour; the magnifier the pixel eight times larger.
  EXPECT_EQ(canvas.At(at.x + 60, at.y + 20), 0x0000FFu);
  EXPECT_EQ(canvas.At(at.x + 23, at.y + 26), 0x0000FFu);
  Move(300, 150);
  EXPECT_EQ(tracker->PickedColor(), RGB(255, 0, 0));
  EXPECT_EQ(Left(300, 150), TrackerAction::kColorPicked);
  EXPECT_EQ(tracker->PickedColor(), RGB(255, 0, 0));
  EXPECT_FALSE(tracker->Panel().IsShown());
  canvas.Set(200, 150, CanvasPixel(200, 150));
  canvas.Set(300, 150, CanvasPixel(300, 150));
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(TrackerOnCanvas, RightButtonAndTheKeysPickToo) {
  Begin(kTrackerColorPicker, kTrackerStateColorPicker);
  Move(10, 10);
  EXPECT_EQ(Right(10, 10), TrackerAction::kColorPicked);
  EXPECT_EQ(canvas.CountChanged(), 0);
  Begin(kTrackerColorPicker, kTrackerStateColorPicker);
  Move(10, 10);
  EXPECT_EQ(Key(VK_SPACE), TrackerAction::kColorPicked);
  Begin(kTrackerColorPicker, kTrackerStateColorPicker);
  Move(10, 10);
  EXPECT_EQ(Key(VK_RETURN), TrackerAction::kColorPicked);
  EXPECT_EQ(tracker->PickedColor(), RGB(40, 90, 151));  // the pattern at (10, 10)
}

TEST_F(TrackerOnCanvas, HiddenPanelKeepsTheLastSampledColour) {
  canvas.Set(200, 150, 0xFF0000);
  canvas.Set(300, 150, 0x00FF00);
  Begin(kTrackerColorPicker, kTrackerStateColorPicker);
  Move(200, 150);
  Key(VK_SHIFT);
  EXPECT_FALSE(tracker->Panel().IsShown());
  Move(300, 150);
  EXPECT_EQ(Left(300, 150), TrackerAction::kColorPicked);
  EXPECT_EQ(tracker->PickedColor(), RGB(255, 0, 0));
}

// --- Window picking ----------------------------------------------------------------------------

class WindowPickingOnCanvas : public TrackerOnCanvas {
 protected:
  void SetUp() override {
    TrackerOnCanvas::SetUp();
    m_frame.reset(CreateWindowExA(0, "STATIC", "frame", WS_POPUP | WS_CAPTION, 50, 40, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(m_frame);
    m_button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 60, 70, 100, 30,
                              m_frame.get(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(m_button);
    GetWindowRect(m_frame.get(), &m_frameRect);
    GetWindowRect(m_button, &m_buttonRect);
    sys.windowAt = [this](POINT p) -> HWND {
      if (PtInRect(&m_buttonRect, p)) return m_button;
      if (PtInRect(&m_frameRect, p)) return m_frame.get();
      return nullptr;
    };
  }
  int MismatchesOfHighlight(const RECT& r) {
    return canvas.CountNot(RECT{0, 0, canvas.width(), canvas.height()}, [&](int x, int y) {
      return PtInRect(&r, POINT{x, y}) ? Inverted(CanvasPixel(x, y)) : CanvasPixel(x, y);
    });
  }

  UniqueWindow m_frame;
  HWND m_button = nullptr;
  RECT m_frameRect{}, m_buttonRect{};
};

TEST_F(WindowPickingOnCanvas, ControlModeHighlightsOnlyChildWindows) {
  Begin(kTrackerControl, kTrackerStateControl);
  EXPECT_EQ(tracker->Panel().Mode(), CInfoPanel::kModeNone);
  Move(m_frameRect.left + 5, m_frameRect.top + 5);
  EXPECT_EQ(canvas.CountChanged(), 0) << "a top-level window was highlighted";
  Move(m_buttonRect.left + 10, m_buttonRect.top + 10);
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  // Onto the frame again: the button stays highlighted; no panel anywhere.
  Move(m_frameRect.left + 5, m_frameRect.bottom - 5);
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  Move(600, 450);  // nothing there
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  EXPECT_EQ(Left(600, 450), TrackerAction::kFinish);
  EXPECT_TRUE(SameRect(tracker->Capture().area, m_buttonRect));
  EXPECT_EQ(tracker->Capture().shapeCode, kShapeRectangle);
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(WindowPickingOnCanvas, SingleWindowHighlightsTheInnermostWindow) {
  Begin(kTrackerSingleWindow, kTrackerStateSingleWindow);
  Move(m_frameRect.left + 5, m_frameRect.top + 5);
  EXPECT_EQ(MismatchesOfHighlight(m_frameRect), 0);
  Move(m_buttonRect.left + 3, m_buttonRect.top + 3);
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  Move(m_buttonRect.left + 20, m_buttonRect.top + 8);
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  // Space and Shift change nothing; Enter captures.
  EXPECT_EQ(Key(VK_SPACE), TrackerAction::kNone);
  EXPECT_EQ(Key(VK_SHIFT), TrackerAction::kNone);
  EXPECT_EQ(MismatchesOfHighlight(m_buttonRect), 0);
  EXPECT_EQ(Key(VK_RETURN), TrackerAction::kFinish);
  EXPECT_TRUE(SameRect(tracker->Capture().area, m_buttonRect));
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(WindowPickingOnCanvas, NothingHighlightedCapturesNothing) {
  Begin(kTrackerControl, kTrackerStateControl);
  Move(600, 450);
  EXPECT_EQ(Left(600, 450), TrackerAction::kFinish);
  EXPECT_TRUE(tracker->Capture().IsEmpty());
  EXPECT_EQ(canvas.CountChanged(), 0);
}

TEST_F(WindowPickingOnCanvas, EscapeRemovesTheHighlight) {
  Begin(kTrackerSingleWindow, kTrackerStateSingleWindow);
  Move(m_buttonRect.left + 3, m_buttonRect.top + 3);
  EXPECT_EQ(Key(VK_ESCAPE), TrackerAction::kCancel);
  tracker->Erase(canvas.dc());
  EXPECT_EQ(canvas.CountChanged(), 0);
}

}  // namespace
