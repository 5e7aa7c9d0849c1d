// The arithmetic of the zoomable view, case by case: zoom steps and scales, scroll steps,
// centring, the mapping between image pixels and client pixels (checked against GDI's own
// MM_ANISOTROPIC transformation), paint and band rectangles, region drags (through the real
// region filter) and the fitting of an image window to the workspace.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "HeapBitmap.h"
#include "ZoomGeometry.h"
#include "filters/RegionFilters.h"
#include "framework/Handles.h"

using namespace zoomgeo;

namespace {

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Str(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

ZoomMapping Mapping(LONG w, LONG h, double scale, POINT origin = {0, 0}) {
  ZoomMapping m;
  m.logical = {w, h};
  m.zoomed = ZoomedSize(m.logical, scale);
  m.origin = origin;
  return m;
}

TEST(ZoomSteps, UpAndDownThroughTheTable) {
  struct Case {
    double zoom, up, down;
  };
  const Case cases[] = {
      {1.0, 2.0, 0.5}, {0.25, 0.5, 0.0}, {0.5, 1.0, 0.25}, {2.0, 4.0, 1.0}, {4.0, 0.0, 2.0},
      // Zooms between steps (set by other means) go to the neighbouring step.
      {0.3, 0.5, 0.25}, {3.0, 4.0, 2.0}, {0.1, 0.25, 0.0}, {5.0, 0.0, 4.0}, {1.0000000001, 2.0, 0.5},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(NextZoomStepUp(c.zoom), c.up) << c.zoom;
    EXPECT_DOUBLE_EQ(NextZoomStepDown(c.zoom), c.down) << c.zoom;
  }
}

TEST(ZoomScale, OnlyPositiveNumbersUpToEighty) {
  EXPECT_TRUE(IsZoomScaleAllowed(80.0));
  EXPECT_TRUE(IsZoomScaleAllowed(0.001));
  EXPECT_TRUE(IsZoomScaleAllowed(1.0));
  EXPECT_FALSE(IsZoomScaleAllowed(80.0001));
  EXPECT_FALSE(IsZoomScaleAllowed(0.0));
  EXPECT_FALSE(IsZoomScaleAllowed(-2.0));
  EXPECT_FALSE(IsZoomScaleAllowed(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(IsZoomScaleAllowed(std::numeric_limits<double>::infinity()));
}

TEST(ZoomScale, ZoomedSizesAreTruncatedButNeverVanish) {
  struct Case {
    LONG extent;
    double scale;
    LONG zoomed;
  };
  const Case cases[] = {{2000, 0.25, 500}, {7, 0.5, 3}, {3, 0.25, 1}, {1, 0.25, 1}, {0, 2.0, 0},
                        {4000, 4.0, 16000}, {333, 1.0, 333}, {10, 0.33, 3}, {5, 80.0, 400}};
  for (const Case& c : cases) EXPECT_EQ(ZoomedExtent(c.extent, c.scale), c.zoomed) << c.extent << " x " << c.scale;
  SIZE s = ZoomedSize(SIZE{2000, 1500}, 0.25);
  EXPECT_EQ(s.cx, 500);
  EXPECT_EQ(s.cy, 375);
}

TEST(ZoomScale, ScrollStepsFollowTheMapping) {
  // Defaults: a tenth of the zoomed total, a tenth of the page.
  ScrollSteps s = ComputeScrollSteps(SIZE{2000, 1000}, SIZE{500, 250}, SIZE{0, 0}, SIZE{0, 0});
  EXPECT_EQ(s.page.cx, 50);
  EXPECT_EQ(s.page.cy, 25);
  EXPECT_EQ(s.line.cx, 5);
  EXPECT_EQ(s.line.cy, 2);
  // Given steps in logical units are zoomed (and negative ones made positive).
  s = ComputeScrollSteps(SIZE{100, 100}, SIZE{200, 200}, SIZE{30, -40}, SIZE{5, 0});
  EXPECT_EQ(s.page.cx, 60);
  EXPECT_EQ(s.page.cy, 80);
  EXPECT_EQ(s.line.cx, 10);
  EXPECT_EQ(s.line.cy, 8);
  // A tiny picture still scrolls by at least a pixel.
  s = ComputeScrollSteps(SIZE{3, 3}, SIZE{3, 3}, SIZE{0, 0}, SIZE{0, 0});
  EXPECT_EQ(s.page.cx, 1);
  EXPECT_EQ(s.line.cy, 1);
}

TEST(Mapping, SmallContentIsCentredLargeContentScrolls) {
  POINT o = ComputeViewportOrigin(SIZE{500, 375}, SIZE{800, 600}, POINT{0, 0}, true);
  EXPECT_EQ(o.x, 150);
  EXPECT_EQ(o.y, 112);
  o = ComputeViewportOrigin(SIZE{2000, 375}, SIZE{800, 600}, POINT{300, 0}, true);
  EXPECT_EQ(o.x, -300);
  EXPECT_EQ(o.y, 112);
  o = ComputeViewportOrigin(SIZE{500, 375}, SIZE{800, 600}, POINT{0, 0}, false);
  EXPECT_EQ(o.x, 0);
  EXPECT_EQ(o.y, 0);
}

// Whether a * num / den lies exactly halfway between two integers: there floating-point
// implementations may round either way.
bool ExactHalf(LONG a, LONG num, LONG den) {
  long long twice = 2LL * a * num;
  return twice % den == 0 && ((twice / den) % 2) != 0;
}

// The mapping has to agree with what GDI draws and converts under MM_ANISOTROPIC (apart from
// values exactly halfway between two pixels, which GDI implementations round differently).
TEST(Mapping, AgreesWithGdiBothWays) {
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  struct Config {
    LONG w, h;
    double scale;
    POINT origin;
  };
  const Config configs[] = {{50, 40, 1.0, {7, 9}},    {50, 40, 4.0, {-13, 5}},   {2000, 1500, 0.25, {262, 12}},
                            {77, 33, 0.5, {3, -20}},  {13, 7, 2.0, {0, 0}},      {101, 99, 0.33, {10, 10}},
                            {640, 480, 3.0, {-1000, -17}}};
  for (const Config& c : configs) {
    ZoomMapping m = Mapping(c.w, c.h, c.scale, c.origin);
    ::SetMapMode(dc.get(), MM_ANISOTROPIC);
    ::SetWindowExtEx(dc.get(), m.logical.cx, m.logical.cy, nullptr);
    ::SetViewportExtEx(dc.get(), m.zoomed.cx, m.zoomed.cy, nullptr);
    ::SetViewportOrgEx(dc.get(), m.origin.x, m.origin.y, nullptr);
    for (LONG v = -5; v <= c.w + 5; ++v) {
      POINT p{v, std::min(v, c.h + 5)};
      POINT gdi = p;
      ::LPtoDP(dc.get(), &gdi, 1);
      POINT ours = LogicalToDevice(m, p);
      if (ExactHalf(p.x, m.zoomed.cx, m.logical.cx) || ExactHalf(p.y, m.zoomed.cy, m.logical.cy)) continue;
      ASSERT_EQ(ours.x, gdi.x) << "scale " << c.scale << " x " << v;
      ASSERT_EQ(ours.y, gdi.y) << "scale " << c.scale << " y " << p.y;
    }
    RECT image = ImageDeviceRect(m);
    for (LONG d = image.left - 3; d <= image.right + 3; ++d) {
      POINT p{d, d};
      POINT gdi = p;
      ::DPtoLP(dc.get(), &gdi, 1);
      POINT ours = DeviceToLogical(m, p);
      if (ExactHalf(d - m.origin.x, m.logical.cx, m.zoomed.cx)) continue;
      ASSERT_EQ(ours.x, gdi.x) << "scale " << c.scale << " device " << d;
    }
  }
}

TEST(Mapping, ThePixelUnderAClientPointIsTheOneDrawnThere) {
  const double scales[] = {1.0, 2.0, 4.0, 0.5, 0.25, 0.33, 3.0};
  for (double scale : scales) {
    ZoomMapping m = Mapping(57, 31, scale, POINT{11, -4});
    RECT image = ImageDeviceRect(m);
    for (LONG d = image.left - 9; d < image.right + 9; ++d) {
      LONG x = DeviceToPixel(m, POINT{d, 0}).x;
      ASSERT_LE(LogicalToDeviceX(m, x), d) << scale << " " << d;
      ASSERT_GT(LogicalToDeviceX(m, x + 1), d) << scale << " " << d;
    }
  }
  // At 400 % the four client pixels of image pixel 13 all report 13.
  ZoomMapping m = Mapping(50, 40, 4.0, POINT{100, 0});
  for (LONG d = 152; d < 156; ++d) EXPECT_EQ(DeviceToPixel(m, POINT{d, 0}).x, 13);
  EXPECT_EQ(DeviceToPixel(m, POINT{156, 0}).x, 14);
  // Left of the picture: negative pixels.
  EXPECT_EQ(DeviceToPixel(m, POINT{99, 0}).x, -1);
  EXPECT_EQ(DeviceToPixel(m, POINT{96, 0}).x, -1);
  EXPECT_EQ(DeviceToPixel(m, POINT{95, 0}).x, -2);
}

TEST(Mapping, ScrollPositionThatCentresAPoint) {
  ZoomMapping m = Mapping(2000, 1500, 2.0);
  POINT s = ScrollPositionToCentre(m, POINT{1000, 300}, SIZE{800, 600});
  EXPECT_EQ(s.x, 2000 - 400);
  EXPECT_EQ(s.y, 600 - 300);
  m = Mapping(2000, 1500, 0.25, POINT{55, 66});  // the origin does not matter
  s = ScrollPositionToCentre(m, POINT{1000, 600}, SIZE{300, 100});
  EXPECT_EQ(s.x, 250 - 150);
  EXPECT_EQ(s.y, 150 - 50);
}

TEST(Rectangles, PaintRectIsTheUpdateGrownByOneAndClipped) {
  struct Case {
    double scale;
    POINT origin;
    RECT update;
    RECT expected;
  };
  const Case cases[] = {
      {1.0, {0, 0}, {10, 10, 20, 20}, {9, 9, 21, 21}},
      {1.0, {100, 50}, {0, 0, 800, 600}, {0, 0, 60, 40}},       // the whole picture, no more
      {4.0, {0, 0}, {10, 10, 30, 30}, {1, 1, 9, 9}},            // partly covered pixels count
      {0.5, {0, 0}, {10, 4, 12, 6}, {19, 7, 25, 13}},
      {1.0, {0, 0}, {100, 100, 120, 120}, {0, 0, 0, 0}},        // outside the picture
      {2.0, {-40, -20}, {0, 0, 2, 2}, {19, 9, 22, 12}},         // scrolled
  };
  for (const Case& c : cases) {
    ZoomMapping m = Mapping(60, 40, c.scale, c.origin);
    RECT r = PaintRectFromUpdate(m, c.update);
    EXPECT_TRUE(Same(r, c.expected)) << c.scale << " " << Str(c.update) << " -> " << Str(r);
  }
}

TEST(Rectangles, RubberBandIsNormalisedAndClippedToTheImage) {
  ZoomMapping m = Mapping(60, 40, 1.0, POINT{100, 50});
  EXPECT_TRUE(Same(BandToImageRect(m, POINT{110, 60}, POINT{130, 75}), RECT{10, 10, 30, 25}));
  // Dragged from bottom-right to top-left.
  EXPECT_TRUE(Same(BandToImageRect(m, POINT{130, 75}, POINT{110, 60}), RECT{10, 10, 30, 25}));
  // Beyond the picture: clipped.
  EXPECT_TRUE(Same(BandToImageRect(m, POINT{120, 70}, POINT{400, 300}), RECT{20, 20, 60, 40}));
  EXPECT_TRUE(Same(BandToImageRect(m, POINT{0, 0}, POINT{105, 52}), RECT{0, 0, 5, 2}));
  // Wholly outside: nothing.
  EXPECT_TRUE(IsEmptyRect(BandToImageRect(m, POINT{0, 0}, POINT{90, 40})));
  // Zoomed: edges go to the nearest pixel boundary.
  m = Mapping(60, 40, 4.0, POINT{0, 0});
  EXPECT_TRUE(Same(BandToImageRect(m, POINT{8, 8}, POINT{40, 41}), RECT{2, 2, 10, 10}));
}

TEST(Rectangles, RegionMoveKeepsSourceAndTargetInStep) {
  const SIZE image{80, 60};
  struct Case {
    RECT selection;
    POINT delta;
    RECT source, target;
  };
  const Case cases[] = {
      {{10, 10, 30, 30}, {30, 15}, {10, 10, 30, 30}, {40, 25, 60, 45}},  // inside
      {{10, 10, 30, 30}, {60, 0}, {10, 10, 20, 30}, {70, 10, 80, 30}},   // out on the right
      {{10, 10, 30, 30}, {-20, 0}, {20, 10, 30, 30}, {0, 10, 10, 30}},   // out on the left
      {{10, 10, 30, 30}, {-5, -25}, {10, 25, 30, 30}, {5, 0, 25, 5}},    // out at the top
      {{10, 10, 30, 30}, {100, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // wholly outside
      {{10, 10, 30, 30}, {0, 0}, {10, 10, 30, 30}, {10, 10, 30, 30}},
  };
  for (const Case& c : cases) {
    RegionMove move = ComputeRegionMove(c.selection, c.delta, image);
    EXPECT_TRUE(Same(move.selection, c.selection));
    EXPECT_TRUE(Same(move.source, c.source)) << Str(move.source);
    EXPECT_TRUE(Same(move.target, c.target)) << Str(move.target);
  }
}

// The rectangles, given to the region filter, move exactly the pixels that land in the image.
TEST(Rectangles, RegionMovePastTheLeftEdgeMovesTheRightPixels) {
  CHeapBitmap bitmap;
  bitmap.Create(40, 20, 32, false);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) bitmap.SetPixel(x, y, PLMakePixel(static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 9), 1, 0));
  CHeapBitmap original;
  original.CreateCopy(bitmap, 32);

  const RECT selection{10, 5, 30, 15};
  RegionMove move = ComputeRegionMove(selection, POINT{-20, 2}, SIZE{40, 20});
  CRegionMoveFilter filter(PLFilterRect{move.selection.left, move.selection.top, move.selection.right, move.selection.bottom},
                           PLFilterRect{move.source.left, move.source.top, move.source.right, move.source.bottom},
                           PLFilterRect{move.target.left, move.target.top, move.target.right, move.target.bottom}, false,
                           0x00C0C0C0);
  filter.ApplyInPlace(bitmap);
  // Pixel (20 + i, 5 + j) of the selection is now at (i, 7 + j).
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i)
      ASSERT_EQ(bitmap.GetPixel(i, 7 + j) & 0xFFFFFFu, original.GetPixel(20 + i, 5 + j) & 0xFFFFFFu) << i << "," << j;
  // The vacated part of the selection has the fill colour, the rest is as it was.
  EXPECT_EQ(bitmap.GetPixel(25, 6) & 0xFFFFFFu, 0xC0C0C0u);
  EXPECT_EQ(bitmap.GetPixel(35, 6), original.GetPixel(35, 6));
  EXPECT_EQ(bitmap.GetPixel(5, 3), original.GetPixel(5, 3));
}

TEST(FrameFitting, CutToTheWorkspaceWithRoomForTheScrollBars) {
  const SIZE ws{1000, 700};
  struct Case {
    SIZE frame, expected;
  };
  const Case cases[] = {
      {{400, 300}, {400, 300}},    // fits
      {{400, 900}, {417, 700}},    // taller: cut, and wider by a vertical bar
      {{1200, 300}, {1000, 317}},  // wider: cut, and taller by a horizontal bar
      {{1200, 900}, {1000, 700}},  // both
      {{990, 900}, {1000, 700}},   // the vertical bar makes it too wide as well
      {{1000, 700}, {1000, 700}},  // exactly
  };
  for (const Case& c : cases) {
    SIZE s = FitFrameToWorkspace(c.frame, ws, 17, 17);
    EXPECT_EQ(s.cx, c.expected.cx) << c.frame.cx << "x" << c.frame.cy;
    EXPECT_EQ(s.cy, c.expected.cy) << c.frame.cx << "x" << c.frame.cy;
  }
}

}  // namespace
