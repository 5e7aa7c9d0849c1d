// The still image of the freezer, taken from a picture in memory standing in for the screen:
// reuse while the metrics stay, a new image when they change, and failures that leave no stale
// image behind.
#include <gtest/gtest.h>

#include "CaptureTestUtil.h"
#include "capture/ScreenStill.h"

using namespace capture_test;

namespace {

int Mismatches(const CScreenStill& still, int variant) {
  // The image is not selected between takes, so it can be read directly.
  e2e::Image img = ReadBitmap(still.Image());
  if (img.Empty()) return -1;
  return e2e::CountPixelsNotMatching(img, RECT{0, 0, img.width, img.height},
                                     [variant](int x, int y) {
                                       return e2e::PatternPixel(variant, x, y);
                                     });
}

}  // namespace

TEST(ScreenStill, TakesTheWholeScreenAndReusesTheImage) {
  MemoryScreen screen(160, 120, 0);
  ASSERT_TRUE(screen.Ok());
  CScreenStill still;
  EXPECT_FALSE(still.HasImage());
  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{160, 120, 32}));
  ASSERT_TRUE(still.HasImage());
  EXPECT_EQ(still.Metrics(), (ScreenMetrics{160, 120, 32}));
  SIZE s = BitmapSize(still.Image());
  EXPECT_EQ(s.cx, 160);
  EXPECT_EQ(s.cy, 120);
  // Deselected after the copy.
  EXPECT_NE(::GetCurrentObject(still.MemoryDC(), OBJ_BITMAP), still.Image());
  EXPECT_EQ(Mismatches(still, 0), 0);

  // The screen changes; the same metrics keep the same bitmap and context.
  HBITMAP first = still.Image();
  HDC firstDC = still.MemoryDC();
  screen.Paint(4);
  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{160, 120, 32}));
  EXPECT_EQ(still.Image(), first);
  EXPECT_EQ(still.MemoryDC(), firstDC);
  EXPECT_EQ(Mismatches(still, 4), 0);
}

TEST(ScreenStill, ANewImageAfterAChangeOfResolutionOrDepth) {
  MemoryScreen screen(160, 120, 1);
  ASSERT_TRUE(screen.Ok());
  CScreenStill still;
  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{160, 120, 32}));

  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{100, 60, 32}));
  SIZE s = BitmapSize(still.Image());
  EXPECT_EQ(s.cx, 100);
  EXPECT_EQ(s.cy, 60);
  EXPECT_EQ(still.Metrics(), (ScreenMetrics{100, 60, 32}));
  EXPECT_EQ(Mismatches(still, 1), 0);

  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{100, 60, 16}));
  EXPECT_EQ(still.Metrics().bitsPerPixel, 16);

  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{160, 120, 16}));
  s = BitmapSize(still.Image());
  EXPECT_EQ(s.cx, 160);
  EXPECT_EQ(s.cy, 120);
}

TEST(ScreenStill, FailuresLeaveNoImageAndTheNextTakeTriesAgain) {
  MemoryScreen screen(64, 64, 3);
  ASSERT_TRUE(screen.Ok());
  CScreenStill still;
  ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{64, 64, 32}));

  for (ScreenMetrics bad : {ScreenMetrics{0, 64, 32}, ScreenMetrics{64, -1, 32},
                            ScreenMetrics{64, 64, 0}, ScreenMetrics{40000, 40000, 32},
                            // both sides pass, but not the 3.6 GB of the picture
                            ScreenMetrics{30000, 30000, 32}}) {
    EXPECT_FALSE(still.Take(screen.dc(), bad));
    EXPECT_FALSE(still.HasImage());
    EXPECT_EQ(still.Metrics(), ScreenMetrics{});
    // The stored metrics were cleared, so the good ones make a fresh image.
    ASSERT_TRUE(still.Take(screen.dc(), ScreenMetrics{64, 64, 32}));
    EXPECT_EQ(Mismatches(still, 3), 0);
  }
  EXPECT_FALSE(still.Take(nullptr, ScreenMetrics{64, 64, 32}));
  EXPECT_FALSE(still.HasImage());
}

TEST(CaptureSize, SidesAndBytesAreLimited) {
  struct Case {
    int64_t width, height;
    bool allowed;
  };
  const Case cases[] = {
      {1, 1, true},          {0, 10, false},       {10, -1, false},       {32767, 1, true},
      {32768, 1, false},     {1, 32768, false},    {16384, 16384, true},  {16385, 16384, false},
      {32767, 8192, true},   {32767, 8193, false}, {30000, 30000, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptureSizeAllowed(c.width, c.height), c.allowed) << c.width << " x " << c.height;
}

TEST(ScreenStill, ReadsTheRealScreenMetrics) {
  ScreenMetrics m = CScreenStill::ReadScreenMetrics();
  EXPECT_EQ(m.width, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(m.height, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(m.bitsPerPixel, 0);
}
