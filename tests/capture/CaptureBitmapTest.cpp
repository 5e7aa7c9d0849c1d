// MakeCaptureBitmap and CaptureSource on a picture in memory whose pixels are known exactly:
// the copy, the ellipse and polygon masks with both fill rules, the fill colour, and every input
// that must make nothing.
#include <gtest/gtest.h>

#include <climits>

#include "CaptureTestUtil.h"
#include "capture/CaptureBitmap.h"
#include "capture/CaptureGeometry.h"
#include "capture/ScreenStill.h"
#include "common/Settings.h"

using namespace capture_test;

namespace {

constexpr COLORREF kFill = RGB(0x12, 0xFE, 0x34);
constexpr uint32_t kFillRgb = 0x12FE34;

CaptureArea Rect(int l, int t, int r, int b, int shape = kShapeRectangle) {
  CaptureArea a;
  a.area = RECT{l, t, r, b};
  a.shapeCode = shape;
  return a;
}

CaptureArea Polygon(const RECT& area, const std::vector<POINT>& relative) {
  CaptureArea a;
  a.area = area;
  for (size_t i = 0; i < relative.size(); ++i) a.points[i] = relative[i];
  a.shapeCode = static_cast<int>(relative.size());
  a.pointCount = a.shapeCode;
  return a;
}

class CaptureBitmapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_screen.Ok()); }
  // The source pixel of capture pixel (x, y) for an area starting at (left, top).
  static auto Source(int left, int top) {
    return [left, top](int x, int y) { return e2e::PatternPixel(0, left + x, top + y); };
  }
  MemoryScreen m_screen{400, 300};
};

}  // namespace

TEST_F(CaptureBitmapTest, RectangleCopiesExactlyTheAreaAndNoFill) {
  CaptureArea a = Rect(37, 21, 237, 171);
  UniqueBitmap bmp = MakeCaptureBitmap(a, m_screen.dc(), kFill, WINDING);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  ASSERT_EQ(img.width, 200);
  ASSERT_EQ(img.height, 150);
  EXPECT_EQ(e2e::CountPixelsNotMatching(img, RECT{0, 0, 200, 150}, Source(37, 21)), 0);

  // A one-pixel area at the last pixel.
  bmp = MakeCaptureBitmap(Rect(399, 299, 400, 300), m_screen.dc(), kFill, WINDING);
  ASSERT_TRUE(bmp);
  img = ReadBitmap(bmp.get());
  ASSERT_EQ(img.width, 1);
  EXPECT_EQ(img.Rgb(0, 0), e2e::PatternPixel(0, 399, 299));
}

TEST_F(CaptureBitmapTest, TheBitmapComesBackDeselectedAndTheSourceUntouched) {
  HGDIOBJ before = ::GetCurrentObject(m_screen.dc(), OBJ_BITMAP);
  UniqueBitmap bmp = MakeCaptureBitmap(Rect(0, 0, 50, 40, kShapeEllipse), m_screen.dc(), kFill,
                                       WINDING);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(::GetCurrentObject(m_screen.dc(), OBJ_BITMAP), before);
  // The source got no clip region from the capture.
  UniqueRgn clip(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetClipRgn(m_screen.dc(), clip.get()), 0);
  // Not selected anywhere: another DC can take it.
  UniqueDC other(::CreateCompatibleDC(m_screen.dc()));
  SelectObjectGuard sel(other.get(), bmp.get());
  EXPECT_TRUE(sel);
}

TEST_F(CaptureBitmapTest, EllipseHasThePictureInsideAndTheFillColourInTheCorners) {
  for (RECT r : {RECT{40, 30, 200, 130}, RECT{10, 10, 110, 110}, RECT{250, 5, 270, 295}}) {
    CaptureArea a = Rect(r.left, r.top, r.right, r.bottom, kShapeEllipse);
    UniqueBitmap bmp = MakeCaptureBitmap(a, m_screen.dc(), kFill, ALTERNATE);
    ASSERT_TRUE(bmp);
    e2e::Image img = ReadBitmap(bmp.get());
    const int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_EQ(img.width, w);
    ASSERT_EQ(img.height, h);
    MaskCheck c = CheckMask(
        img, kFillRgb, [&](int x, int y) { return EllipseSide(x, y, w, h); },
        Source(r.left, r.top));
    EXPECT_GT(c.inside, w * h / 2);
    EXPECT_GT(c.outside, w * h / 10);
    EXPECT_EQ(c.insideWrong, 0);
    EXPECT_EQ(c.outsideWrong, 0);
    EXPECT_EQ(img.Rgb(0, 0), kFillRgb);
    EXPECT_EQ(img.Rgb(w - 1, 0), kFillRgb);
    EXPECT_EQ(img.Rgb(0, h - 1), kFillRgb);
    EXPECT_EQ(img.Rgb(w - 1, h - 1), kFillRgb);
    EXPECT_EQ(img.Rgb(w / 2, h / 2), e2e::PatternPixel(0, r.left + w / 2, r.top + h / 2));
  }
}

TEST_F(CaptureBitmapTest, PolygonHasTheFillColourEverywhereOutside) {
  // A triangle and a concave arrow, points relative to the area.
  std::vector<std::vector<POINT>> shapes = {
      {{0, 0}, {180, 20}, {40, 120}},
      {{0, 40}, {100, 40}, {100, 0}, {160, 60}, {100, 120}, {100, 80}, {0, 80}},
  };
  RECT area{60, 50, 240, 170};
  for (const auto& poly : shapes) {
    for (bool winding : {true, false}) {
      CaptureArea a = Polygon(area, poly);
      UniqueBitmap bmp = MakeCaptureBitmap(a, m_screen.dc(), kFill, winding ? WINDING : ALTERNATE);
      ASSERT_TRUE(bmp);
      e2e::Image img = ReadBitmap(bmp.get());
      ASSERT_EQ(img.width, 180);
      ASSERT_EQ(img.height, 120);
      MaskCheck c = CheckMask(
          img, kFillRgb, [&](int x, int y) { return PolygonSide(x, y, poly, winding); },
          Source(area.left, area.top));
      EXPECT_GT(c.inside, 1000);
      EXPECT_GT(c.outside, 1000);
      EXPECT_EQ(c.insideWrong, 0) << poly.size() << " points, winding " << winding;
      EXPECT_EQ(c.outsideWrong, 0) << poly.size() << " points, winding " << winding;
    }
  }
}

TEST_F(CaptureBitmapTest, SelfCrossingPolygonDiffersByFillRule) {
  const std::vector<POINT> star = Pentagram(100, 100, 95);
  RECT area{50, 40, 250, 240};
  const POINT centre{100, 100};
  e2e::Image pictures[2];
  for (int winding = 0; winding < 2; ++winding) {
    UniqueBitmap bmp = MakeCaptureBitmap(Polygon(area, star), m_screen.dc(), kFill,
                                         winding ? WINDING : ALTERNATE);
    ASSERT_TRUE(bmp);
    pictures[winding] = ReadBitmap(bmp.get());
    MaskCheck c = CheckMask(
        pictures[winding], kFillRgb,
        [&](int x, int y) { return PolygonSide(x, y, star, winding != 0); },
        Source(area.left, area.top));
    EXPECT_EQ(c.insideWrong, 0) << "winding " << winding;
    EXPECT_EQ(c.outsideWrong, 0) << "winding " << winding;
  }
  // The centre pentagon: the picture by the winding rule, the fill colour by the alternate rule.
  EXPECT_EQ(pictures[1].Rgb(centre.x, centre.y),
            e2e::PatternPixel(0, area.left + centre.x, area.top + centre.y));
  EXPECT_EQ(pictures[0].Rgb(centre.x, centre.y), kFillRgb);
  // A star point is inside by both rules.
  POINT tip{100, 20};
  EXPECT_EQ(pictures[0].Rgb(tip.x, tip.y), pictures[1].Rgb(tip.x, tip.y));
  EXPECT_NE(pictures[0].Rgb(tip.x, tip.y), kFillRgb);
  // The centre pentagon is a few thousand pixels.
  int differ = e2e::CountDifferentPixels(pictures[0], pictures[1], RECT{0, 0, 200, 200});
  EXPECT_GT(differ, 1000);
}

TEST_F(CaptureBitmapTest, ShapeCodeOneGivesOnlyTheFillColour) {
  UniqueBitmap bmp = MakeCaptureBitmap(Rect(10, 10, 60, 40, kShapeFillOnly), m_screen.dc(), kFill,
                                       WINDING);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  EXPECT_EQ(e2e::CountPixelsNotMatching(img, RECT{0, 0, 50, 30},
                                        [](int, int) { return kFillRgb; }),
            0);
}

TEST_F(CaptureBitmapTest, FillColourIgnoresTheHighByteOfTheSetting) {
  CaptureArea a = Rect(0, 0, 40, 40, kShapeEllipse);
  UniqueBitmap bmp = MakeCaptureBitmap(a, m_screen.dc(), 0xFF000000u | kFill, WINDING);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(ReadBitmap(bmp.get()).Rgb(0, 0), kFillRgb);
  bmp = MakeCaptureBitmap(a, m_screen.dc(), CLR_INVALID, WINDING);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(ReadBitmap(bmp.get()).Rgb(0, 0), 0xFFFFFFu);
}

TEST_F(CaptureBitmapTest, NothingIsMadeForEmptyOrDamagedInput) {
  struct Case {
    const char* what;
    CaptureArea area;
  } cases[] = {
      {"zero width", Rect(10, 10, 10, 50)},
      {"zero height", Rect(10, 10, 50, 10)},
      {"zero size", Rect(10, 10, 10, 10)},
      {"inverted", Rect(50, 50, 10, 10)},
      {"inverted ellipse", Rect(50, 10, 10, 60, kShapeEllipse)},
      {"negative shape code", Rect(0, 0, 10, 10, -1)},
      {"polygon beyond the point buffer", Rect(0, 0, 10, 10, kMaxCapturePoints + 1)},
      {"huge shape code", Rect(0, 0, 10, 10, INT_MAX)},
      {"wider than any screen", Rect(0, 0, 40000, 10)},
      {"overflowing width", Rect(INT_MIN, 0, INT_MAX, 10)},
  };
  for (const Case& c : cases) {
    UniqueBitmap bmp = MakeCaptureBitmap(c.area, m_screen.dc(), kFill, WINDING);
    EXPECT_FALSE(bmp) << c.what;
  }
  EXPECT_FALSE(MakeCaptureBitmap(Rect(0, 0, 10, 10), nullptr, kFill, WINDING));
}

TEST_F(CaptureBitmapTest, DegeneratePolygonsGiveTheFillColourNotAFailure) {
  // All points on one line, or all the same: the region is empty, so all is fill colour.
  for (const auto& poly : std::vector<std::vector<POINT>>{{{0, 0}, {10, 10}, {20, 20}},
                                                          {{5, 5}, {5, 5}, {5, 5}, {5, 5}}}) {
    UniqueBitmap bmp = MakeCaptureBitmap(Polygon(RECT{0, 0, 30, 30}, poly), m_screen.dc(), kFill,
                                         WINDING);
    ASSERT_TRUE(bmp);
    e2e::Image img = ReadBitmap(bmp.get());
    EXPECT_EQ(img.Rgb(25, 3), kFillRgb);
    EXPECT_EQ(img.Rgb(3, 25), kFillRgb);
  }
  // The largest polygon the buffer holds.
  CaptureArea a;
  a.area = RECT{0, 0, 200, 200};
  a.shapeCode = kMaxCapturePoints;
  for (int i = 0; i < kMaxCapturePoints; ++i) {
    double t = i * 2 * 3.14159265358979 / kMaxCapturePoints;
    a.points[i] = POINT{100 + static_cast<LONG>(90 * std::cos(t)),
                        100 + static_cast<LONG>(90 * std::sin(t))};
  }
  UniqueBitmap bmp = MakeCaptureBitmap(a, m_screen.dc(), kFill, ALTERNATE);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  EXPECT_EQ(img.Rgb(100, 100), e2e::PatternPixel(0, 100, 100));
  EXPECT_EQ(img.Rgb(2, 2), kFillRgb);
}

TEST_F(CaptureBitmapTest, AreaPartlyOutsideTheSourceKeepsItsSize) {
  UniqueBitmap bmp = MakeCaptureBitmap(Rect(350, 250, 450, 350), m_screen.dc(), kFill, WINDING);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  ASSERT_EQ(img.width, 100);
  ASSERT_EQ(img.height, 100);
  EXPECT_EQ(e2e::CountPixelsNotMatching(img, RECT{0, 0, 50, 50}, Source(350, 250)), 0);
}

TEST(CaptureSourceTest, StillImageIsSelectedOnlyWhileTheSourceLives) {
  MemoryScreen still(64, 48, 2);
  ASSERT_TRUE(still.Ok());
  // A separate memory DC as the freezer keeps it: the image is not selected between captures.
  UniqueDC memory(::CreateCompatibleDC(nullptr));
  // Take the still image's bitmap out of its own DC by making our own copy.
  UniqueBitmap image(::CreateCompatibleBitmap(still.dc(), 64, 48));
  {
    SelectObjectGuard sel(memory.get(), image.get());
    ASSERT_TRUE(::BitBlt(memory.get(), 0, 0, 64, 48, still.dc(), 0, 0, SRCCOPY));
  }
  HGDIOBJ idle = ::GetCurrentObject(memory.get(), OBJ_BITMAP);
  ASSERT_NE(idle, image.get());
  {
    CaptureSource source(memory.get(), image.get());
    EXPECT_TRUE(source.UsesStillImage());
    EXPECT_EQ(source.dc(), memory.get());
    EXPECT_EQ(::GetCurrentObject(memory.get(), OBJ_BITMAP), image.get());
    UniqueBitmap bmp = MakeCaptureBitmap(Rect(10, 5, 30, 25), source.dc(), kFill, WINDING);
    ASSERT_TRUE(bmp);
    e2e::Image img = ReadBitmap(bmp.get());
    EXPECT_EQ(e2e::CountPixelsNotMatching(img, RECT{0, 0, 20, 20},
                                          [](int x, int y) {
                                            return e2e::PatternPixel(2, 10 + x, 5 + y);
                                          }),
              0);
  }
  EXPECT_EQ(::GetCurrentObject(memory.get(), OBJ_BITMAP), idle);
}

TEST(CaptureSourceTest, FallsBackToTheScreen) {
  {
    CaptureSource source;
    EXPECT_FALSE(source.UsesStillImage());
    EXPECT_NE(source.dc(), nullptr);
  }
  {
    CaptureSource source(nullptr, nullptr);
    EXPECT_FALSE(source.UsesStillImage());
    EXPECT_NE(source.dc(), nullptr);
  }
  {
    // The image is selected in another DC already, so this DC cannot take it.
    MemoryScreen busy(16, 16);
    UniqueDC memory(::CreateCompatibleDC(nullptr));
    CaptureSource source(memory.get(), busy.bitmap());
    EXPECT_FALSE(source.UsesStillImage());
    EXPECT_NE(source.dc(), memory.get());
  }
}

TEST(CaptureWithSettings, FreezeOptionReadsTheStillImageAndOptionsPickTheFillRule) {
  MemoryScreen screen(240, 240, 5);
  ASSERT_TRUE(screen.Ok());
  CScreenStill still;
  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{240, 240, 32}));
  const std::vector<POINT> star = Pentagram(100, 100, 95);
  CaptureArea a = Polygon(RECT{10, 10, 210, 210}, star);
  const uint32_t centreFromStill = e2e::PatternPixel(5, 110, 110);

  // Freezing, winding rule: the centre of the star comes from the still image.
  UniqueBitmap bmp = MakeCaptureBitmap(a, &still, kOptFreezeScreen | kOptWindingFill, kFill);
  ASSERT_TRUE(bmp);
  e2e::Image img = ReadBitmap(bmp.get());
  EXPECT_EQ(img.Rgb(100, 100), centreFromStill);
  EXPECT_EQ(img.Rgb(0, 0), kFillRgb);
  EXPECT_EQ(e2e::CountPixelsNotMatching(img, RECT{97, 30, 103, 90},
                                        [](int x, int y) {
                                          return e2e::PatternPixel(5, 10 + x, 10 + y);
                                        }),
            0);
  // Alternate rule: the centre is fill colour.
  bmp = MakeCaptureBitmap(a, &still, kOptFreezeScreen, kFill);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(ReadBitmap(bmp.get()).Rgb(100, 100), kFillRgb);
  // The image is given back after the capture.
  EXPECT_NE(::GetCurrentObject(still.MemoryDC(), OBJ_BITMAP), still.Image());

  // Not freezing, or no still image: the live screen, whose pixels are not the still image's.
  CaptureArea rect;
  rect.area = RECT{0, 0, 240, 240};
  // (Other programs may change the screen meanwhile, so only the difference is checked.)
  const CScreenStill* sources[] = {&still, nullptr};
  for (const CScreenStill* s : sources) {
    DWORD options = s ? kOptWindingFill : kOptFreezeScreen | kOptWindingFill;
    bmp = MakeCaptureBitmap(rect, s, options, kFill);
    ASSERT_TRUE(bmp);
    img = ReadBitmap(bmp.get());
    EXPECT_GT(e2e::CountPixelsNotMatching(img, RECT{0, 0, 240, 240},
                                          [](int x, int y) { return e2e::PatternPixel(5, x, y); }),
              0);
  }
  // The default fill colour of the settings.
  CaptureArea ellipse;
  ellipse.area = RECT{0, 0, 50, 50};
  ellipse.shapeCode = kShapeEllipse;
  bmp = MakeCaptureBitmap(ellipse, &still, kDefaultOptionsA | kOptFreezeScreen,
                          kDefaultColorTransparency);
  ASSERT_TRUE(bmp);
  img = ReadBitmap(bmp.get());
  EXPECT_EQ(img.Rgb(0, 0), 0xC0C0C0u);
  EXPECT_EQ(img.Rgb(25, 25), e2e::PatternPixel(5, 25, 25));
}
