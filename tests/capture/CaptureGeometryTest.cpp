// The capture engine's arithmetic: the maximised-window shrink, polygon point conversion and
// bounds, shape codes, the fill rule and the fill colour of the settings.
#include <gtest/gtest.h>

#include <cstdio>

#include <climits>

#include "common/Settings.h"
#include "capture/CaptureArea.h"
#include "capture/CaptureGeometry.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Str(const RECT& r) {
  char buf[96];
  std::snprintf(buf, sizeof(buf), "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return buf;
}

}  // namespace

TEST(ShrinkMaximizedFrame, CutsTheSizingFrameOffEverySide) {
  struct Case {
    RECT window;
    int fx, fy;
    RECT expected;
  } cases[] = {
      // A maximised window on a 1024 x 768 work area with a 4-pixel frame.
      {{-4, -4, 1028, 772}, 4, 4, {0, 0, 1024, 768}},
      // Different frame width and height.
      {{-4, -3, 1028, 771}, 4, 3, {0, 0, 1024, 768}},
      // On a second screen to the left (negative coordinates).
      {{-1284, -4, 4, 1028}, 4, 4, {-1280, 0, 0, 1024}},
      // No frame: unchanged.
      {{10, 20, 110, 220}, 0, 0, {10, 20, 110, 220}},
      // Negative metrics never grow the rectangle.
      {{10, 20, 110, 220}, -5, -5, {10, 20, 110, 220}},
      // Exactly twice the frame: empty, where the middle was.
      {{0, 0, 8, 8}, 4, 4, {4, 4, 4, 4}},
      // Too small to lose the frame: collapses to its centre, never inverted.
      {{0, 0, 6, 3}, 4, 4, {3, 1, 3, 1}},
      // Extreme coordinates do not overflow.
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 4, 4,
       {INT_MIN + 4, INT_MIN + 4, INT_MAX - 4, INT_MAX - 4}},
  };
  for (const Case& c : cases) {
    RECT got = ShrinkMaximizedFrame(c.window, c.fx, c.fy);
    EXPECT_TRUE(SameRect(got, c.expected))
        << Str(c.window) << " frame " << c.fx << "x" << c.fy << " gave " << Str(got)
        << ", expected " << Str(c.expected);
    EXPECT_LE(got.left, got.right);
    EXPECT_LE(got.top, got.bottom);
  }
}

TEST(CaptureAreaSize, WidthHeightAndEmptiness) {
  CaptureArea a;
  EXPECT_TRUE(a.IsEmpty());
  a.area = RECT{10, 20, 11, 21};
  EXPECT_FALSE(a.IsEmpty());
  EXPECT_EQ(a.Width(), 1);
  EXPECT_EQ(a.Height(), 1);
  a.area = RECT{10, 20, 10, 300};  // zero width
  EXPECT_TRUE(a.IsEmpty());
  a.area = RECT{10, 20, 300, 20};  // zero height
  EXPECT_TRUE(a.IsEmpty());
  a.area = RECT{300, 20, 10, 40};  // inverted
  EXPECT_TRUE(a.IsEmpty());
  a.area = RECT{INT_MIN, 0, INT_MAX, 1};  // the width does not overflow
  EXPECT_EQ(a.Width(), int64_t{INT_MAX} - INT_MIN);
  EXPECT_FALSE(a.IsEmpty());

  a.shapeCode = 7;
  a.SetRectangle(RECT{1, 2, 3, 4});
  EXPECT_EQ(a.shapeCode, kShapeRectangle);
  EXPECT_EQ(a.area.right, 3);
}

TEST(ShapeCodes, OnlyKnownCodesAndPolygonsThatFitThePointBuffer) {
  struct Case {
    int code;
    bool valid;
  } cases[] = {{-1, false}, {INT_MIN, false}, {0, true}, {1, true}, {2, true},
               {3, true},   {50, true},       {100, true}, {101, false}, {INT_MAX, false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidShapeCode(c.code), c.valid) << c.code;
}

TEST(PolygonPoints, RelativeToTheAreaAndBackAgain) {
  CaptureArea a;
  a.area = RECT{100, 50, 300, 250};
  a.points[0] = {100, 50};
  a.points[1] = {300, 60};
  a.points[2] = {150, 250};
  a.points[3] = {777, 777};  // beyond the count: untouched
  MakePointsRelative(a, 3);
  EXPECT_EQ(a.points[0].x, 0);
  EXPECT_EQ(a.points[0].y, 0);
  EXPECT_EQ(a.points[1].x, 200);
  EXPECT_EQ(a.points[1].y, 10);
  EXPECT_EQ(a.points[2].x, 50);
  EXPECT_EQ(a.points[2].y, 200);
  EXPECT_EQ(a.points[3].x, 777);
  MakePointsAbsolute(a, 3);
  EXPECT_EQ(a.points[1].x, 300);
  EXPECT_EQ(a.points[1].y, 60);
  EXPECT_EQ(a.points[2].x, 150);
  EXPECT_EQ(a.points[2].y, 250);
}

TEST(PolygonPoints, NegativeScreenCoordinatesAndOddCounts) {
  CaptureArea a;
  a.area = RECT{-200, -100, 0, 0};
  a.points[0] = {-200, -100};
  a.points[1] = {-1, -1};
  MakePointsRelative(a, 2);
  EXPECT_EQ(a.points[0].x, 0);
  EXPECT_EQ(a.points[0].y, 0);
  EXPECT_EQ(a.points[1].x, 199);
  EXPECT_EQ(a.points[1].y, 99);

  // A count beyond the buffer converts the whole buffer and nothing more; negative is nothing.
  CaptureArea b;
  b.area = RECT{1, 1, 2, 2};
  for (auto& p : b.points) p = {5, 5};
  MakePointsRelative(b, 1000);
  for (const auto& p : b.points) EXPECT_EQ(p.x, 4);
  MakePointsRelative(b, -3);
  EXPECT_EQ(b.points[0].x, 4);

  // Offsets clamp instead of wrapping around.
  CaptureArea c;
  c.points[0] = {INT_MAX - 1, INT_MIN + 1};
  OffsetPoints(c, 1, 10, -10);
  EXPECT_EQ(c.points[0].x, INT_MAX);
  EXPECT_EQ(c.points[0].y, INT_MIN);
}

TEST(PolygonPoints, BoundsOfTheVertices) {
  POINT pts[] = {{10, 40}, {-5, 20}, {30, -2}, {12, 12}};
  RECT b = PolygonBounds(pts, 4);
  EXPECT_TRUE(SameRect(b, RECT{-5, -2, 30, 40})) << Str(b);
  b = PolygonBounds(pts, 1);
  EXPECT_TRUE(SameRect(b, RECT{10, 40, 10, 40})) << Str(b);
  b = PolygonBounds(pts, 0);
  EXPECT_TRUE(SameRect(b, RECT{0, 0, 0, 0}));
  b = PolygonBounds(nullptr, 3);
  EXPECT_TRUE(SameRect(b, RECT{0, 0, 0, 0}));
}

TEST(CaptureSettings, FillRuleAndFillColour) {
  EXPECT_EQ(PolygonFillModeFromOptions(0x200000), WINDING);
  EXPECT_EQ(PolygonFillModeFromOptions(kDefaultOptionsA), WINDING);  // default: winding
  EXPECT_EQ(PolygonFillModeFromOptions(kDefaultOptionsA & ~kOptWindingFill), ALTERNATE);
  EXPECT_EQ(PolygonFillModeFromOptions(0), ALTERNATE);
  EXPECT_EQ(PolygonFillModeFromOptions(0xFFFFFFFFu), WINDING);
  EXPECT_EQ(PolygonFillModeFromOptions(0xFFFFFFFFu & ~0x200000u), ALTERNATE);

  EXPECT_EQ(FillColorFromSetting(kDefaultColorTransparency), 0x00C0C0C0u);
  EXPECT_EQ(FillColorFromSetting(0x00123456), 0x00123456u);
  EXPECT_EQ(FillColorFromSetting(0xFFFFFFFFu), 0x00FFFFFFu);  // CLR_INVALID from a damaged value
  EXPECT_EQ(FillColorFromSetting(0x01000005u), 0x00000005u);  // palette index form
}
