// The print layout's arithmetic, case by case: printable area, fit and tiled placement, paper
// sizes, units and spin limits, and the bad layouts a registry can hold.
#include <gtest/gtest.h>

#include "document/PrintLayoutMath.h"

using namespace printlayout;

namespace {

PrintLayoutSettings A4(LONG mode = 1, LONG printCx = 0, LONG printCy = 0) {
  PrintLayoutSettings l;
  l.pageSize = SIZE{2100, 2970};
  l.margins = RECT{120, 120, 120, 120};
  l.printMode = mode;
  l.printSize = SIZE{printCx, printCy};
  l.imageCenterFlags = 3;
  return l;
}

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

TEST(PrintLayoutMath, A4WithDefaultMarginsLeavesAPrintable1860By2730) {
  PrintLayoutSettings l = A4();
  EXPECT_EQ(PrintableWidth(l), 1860);
  EXPECT_EQ(PrintableHeight(l), 2730);
  ExpectRect(PrintableRect(l), 120, 120, 1980, 2850);
}

TEST(PrintLayoutMath, FitMethodFillsTheWidthAndCentresByTheFlags) {
  struct Case {
    WORD flags;
    RECT expected;
  } cases[] = {
      {3, {120, 1020, 1980, 1950}},  // 1860 x 930, centred both ways
      {1, {120, 120, 1980, 1050}},   // across only
      {2, {120, 1020, 1980, 1950}},  // the width is full: centring across changes nothing
      {0, {120, 120, 1980, 1050}},
  };
  for (const Case& c : cases) {
    PrintLayoutSettings l = A4();
    l.imageCenterFlags = c.flags;
    RECT r = FitImageRect(l, 1000, 500);
    ExpectRect(r, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom);
  }
  // A tall image fills the height instead.
  RECT tall = FitImageRect(A4(), 100, 1000);
  EXPECT_EQ(tall.bottom - tall.top, 2730);
  EXPECT_EQ(tall.right - tall.left, 273);
  EXPECT_EQ(tall.left, 120 + (1860 - 273) / 2);
}

TEST(PrintLayoutMath, TiledMethodCutsTheLastColumn) {
  PrintLayoutSettings l = A4(3, 4000, 2000);
  TileGrid grid = TileCount(l);
  EXPECT_EQ(grid.across, 3);
  EXPECT_EQ(grid.down, 1);
  EXPECT_EQ(PageCount(l), 3);
  // A 400 x 200 image: each full page takes 400 x 1860 / 4000 = 186 columns.
  TileSlice first = TileForPage(l, 400, 200, 1);
  ASSERT_TRUE(first.valid);
  ExpectRect(first.source, 0, 0, 186, 200);
  // One row down: the print size's 2000 rows stop short of the printable 2730.
  ExpectRect(first.dest, 120, 120, 1980, 120 + 2000);
  TileSlice second = TileForPage(l, 400, 200, 2);
  ExpectRect(second.source, 186, 0, 372, 200);
  TileSlice last = TileForPage(l, 400, 200, 3);
  ASSERT_TRUE(last.valid);
  ExpectRect(last.source, 372, 0, 400, 200);
  // 28 columns of 186 per 1860: 280 units, narrower than the page.
  EXPECT_EQ(last.dest.left, 120);
  EXPECT_EQ(last.dest.right, 120 + 280);
  EXPECT_FALSE(TileForPage(l, 400, 200, 4).valid);
  EXPECT_FALSE(TileForPage(l, 400, 200, 0).valid);
}

TEST(PrintLayoutMath, OneTiledPagePrintsTheWholeImageAtThePrintSize) {
  PrintLayoutSettings l = A4(3, 1000, 500);
  TileSlice s = TileForPage(l, 80, 40, 1);
  ASSERT_TRUE(s.valid);
  EXPECT_TRUE(s.wholeImage);
  ExpectRect(s.source, 0, 0, 80, 40);
  ExpectRect(s.dest, 120 + 430, 120 + 1115, 120 + 430 + 1000, 120 + 1115 + 500);
}

TEST(PrintLayoutMath, PageCountOfEachMethod) {
  struct Case {
    LONG mode, cx, cy, pages;
  } cases[] = {
      {1, 4000, 2000, 1}, {2, 4000, 2000, 1}, {3, 4000, 6000, 9}, {4, 1860, 2730, 1}, {4, 1861, 2731, 4},
      {3, 0, 0, 1},  // nothing to tile: one empty page, never zero
      {7, 4000, 2000, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(PageCount(A4(c.mode, c.cx, c.cy)), c.pages) << c.mode << " " << c.cx;
}

TEST(PrintLayoutMath, BadLayoutsFallBackWithoutDividingByZero) {
  // Margins larger than the page: the whole page is printable, and so is the rectangle.
  PrintLayoutSettings wide = A4();
  wide.margins = RECT{2000, 3000, 2000, 3000};
  EXPECT_EQ(PrintableWidth(wide), 2100);
  EXPECT_EQ(PrintableHeight(wide), 2970);
  ExpectRect(PrintableRect(wide), 0, 0, 2100, 2970);
  RECT fit = FitImageRect(wide, 100, 100);
  EXPECT_GE(fit.left, 0);
  EXPECT_LE(fit.right, 2100);
  // Negative margins count as none.
  PrintLayoutSettings negative = A4();
  negative.margins = RECT{-50, -50, 0, 0};
  ExpectRect(PrintableRect(negative), 0, 0, 2100, 2970);
  // A zero page: nothing to place, no pages to tile.
  PrintLayoutSettings zero = A4(3, 4000, 2000);
  zero.pageSize = SIZE{0, 0};
  EXPECT_EQ(PrintableWidth(zero), 0);
  EXPECT_EQ(TileCount(zero).across, 0);
  EXPECT_EQ(PageCount(zero), 1);
  EXPECT_FALSE(TileForPage(zero, 400, 200, 1).valid);
  RECT none = FitImageRect(zero, 400, 200);
  EXPECT_TRUE(IsRectEmpty(&none));
  // An empty image.
  EXPECT_FALSE(TileForPage(A4(3, 4000, 2000), 0, 0, 1).valid);
  RECT empty = FitImageRect(A4(), 0, 10);
  EXPECT_TRUE(IsRectEmpty(&empty));
}

TEST(PrintLayoutMath, PaperSizes) {
  struct Case {
    short id, orientation, width, length;
    LONG cx, cy;
  } cases[] = {
      {9, DMORIENT_PORTRAIT, 0, 0, 2100, 2970},     // A4
      {9, DMORIENT_LANDSCAPE, 0, 0, 2970, 2100},    // swapped
      {1, DMORIENT_PORTRAIT, 0, 0, 2159, 2794},     // Letter, rounded to 0.1 mm
      {7, DMORIENT_PORTRAIT, 0, 0, 1842, 2667},     // 184.15 rounds half up
      {22, DMORIENT_PORTRAIT, 0, 0, 1086, 2794},
      {68, DMORIENT_PORTRAIT, 0, 0, 3220, 4450},
      {48, DMORIENT_PORTRAIT, 0, 0, 0, 0},          // in the table with no size
      {0, DMORIENT_PORTRAIT, 1234, 2345, 1234, 2345},    // custom paper: the device mode's own size
      {69, DMORIENT_PORTRAIT, 1000, 1500, 1000, 1500},   // outside the table: the same
      {256, DMORIENT_LANDSCAPE, 1000, 1500, 1000, 1500},
      {-3, DMORIENT_PORTRAIT, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SIZE s = PaperPageSize(c.id, c.orientation, c.width, c.length);
    EXPECT_EQ(s.cx, c.cx) << c.id;
    EXPECT_EQ(s.cy, c.cy) << c.id;
  }
  SIZE none = PaperPageSize(nullptr);
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 0);
  // The table holds 68 distinct ids, 1 to 68.
  for (size_t i = 0; i < kPaperSizeCount; ++i) EXPECT_EQ(kPaperSizeTable[i].id, static_cast<short>(i + 1));
}

TEST(PrintLayoutMath, UnitsShowAndStore) {
  struct Case {
    LONG stored;
    Unit unit;
    double shown;
  } cases[] = {
      {120, Unit::Inches, 0.47}, {120, Unit::Centimeters, 1.20}, {2100, Unit::Inches, 8.26},
      {254, Unit::Inches, 1.00}, {0, Unit::Inches, 0.0}, {508, Unit::Inches, 2.00}, {-120, Unit::Inches, -0.47},         {2970, Unit::Centimeters, 29.70},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ShownValue(c.stored, c.unit), c.shown) << c.stored;
  EXPECT_EQ(StoredValue(0.47, Unit::Inches), 119);  // inches keep whole hundredths only
  EXPECT_EQ(StoredValue(1.0, Unit::Inches), 254);
  EXPECT_EQ(StoredValue(1.2, Unit::Centimeters), 120);
  EXPECT_EQ(StoredValue(0.29, Unit::Centimeters), 29);  // not 28
  EXPECT_EQ(StoredValue(2.01, Unit::Centimeters), 201);
  EXPECT_EQ(StoredValue(0.0, Unit::Centimeters), 0);
  EXPECT_DOUBLE_EQ(PageInUnit(2100, Unit::Centimeters), 21.0);
  EXPECT_DOUBLE_EQ(PageInUnit(254, Unit::Inches), 1.0);
}

TEST(PrintLayoutMath, SizeSpinsKeepTheAspect) {
  // 800 x 600: Y moves by [10 x 600 / 800] / 100 = [7.5] / 100 = 0.08 for each 0.1 of X.
  SizeStep up = StepPrintSizeX(21.0, 15.75, +1, 800, 600);
  EXPECT_DOUBLE_EQ(up.x, 21.1);
  EXPECT_DOUBLE_EQ(up.y, 15.83);
  SizeStep yUp = StepPrintSizeY(21.0, 15.75, +1, 800, 600);
  EXPECT_DOUBLE_EQ(yUp.x, 21.13);  // [13.33] = 13
  EXPECT_DOUBLE_EQ(yUp.y, 15.85);
  SizeStep down = StepPrintSizeX(0.05, 0.02, -1, 800, 600);
  EXPECT_DOUBLE_EQ(down.x, 0.0);
  EXPECT_DOUBLE_EQ(down.y, 0.0);
  SizeStep noImage = StepPrintSizeX(1.0, 2.0, +1, 0, 0);
  EXPECT_DOUBLE_EQ(noImage.x, 1.1);
  EXPECT_DOUBLE_EQ(noImage.y, 2.0);
}

TEST(PrintLayoutMath, MarginSpinsStopAtThePage) {
  // Centimetres on A4: 21 wide, right margin 1.2: the left margin stops at 19.8.
  double page = PageInUnit(2100, Unit::Centimeters);
  EXPECT_DOUBLE_EQ(StepMargin(19.75, 1.2, page, +1), 19.8);
  EXPECT_DOUBLE_EQ(StepMargin(19.8, 1.2, page, +1), 19.8);
  EXPECT_DOUBLE_EQ(StepMargin(1.2, 1.2, page, +1), 1.3);
  EXPECT_DOUBLE_EQ(StepMargin(0.05, 1.2, page, -1), 0.0);
  EXPECT_DOUBLE_EQ(StepMargin(0.0, 1.2, page, -1), 0.0);
  // Inches: the page is 2100 / 254 wide.
  double inches = PageInUnit(2100, Unit::Inches);
  EXPECT_DOUBLE_EQ(StepMargin(7.75, 0.47, inches, +1), inches - 0.47);
  // Typed values: the same limits; an opposite margin already past the page leaves 0.
  EXPECT_DOUBLE_EQ(LimitMargin(-3, 1.2, page), 0.0);
  EXPECT_DOUBLE_EQ(LimitMargin(50, 1.2, page), 19.8);
  EXPECT_DOUBLE_EQ(LimitMargin(5, 30, page), 0.0);
}

TEST(PrintLayoutMath, PreviewSetUpFillsAZeroPrintSize) {
  PrintLayoutSettings l = A4();
  l.pageSize = SIZE{0, 0};
  SetUpPreviewLayout(l, false, SIZE{2159, 2794}, 800, 600);
  EXPECT_EQ(l.pageSize.cx, 2100);  // not from print setup: A4
  EXPECT_EQ(l.pageSize.cy, 2970);
  EXPECT_EQ(l.printSize.cx, 2100);
  EXPECT_EQ(l.printSize.cy, 1575);

  PrintLayoutSettings letter = A4();
  SetUpPreviewLayout(letter, true, SIZE{2159, 2794}, 0, 0);
  EXPECT_EQ(letter.pageSize.cx, 2159);
  EXPECT_EQ(letter.printSize.cx, 2159);  // no image: the height stays
  EXPECT_EQ(letter.printSize.cy, 0);

  PrintLayoutSettings kept = A4(3, 500, 400);
  SetUpPreviewLayout(kept, true, SIZE{0, 0}, 800, 600);  // no paper known: A4
  EXPECT_EQ(kept.pageSize.cx, 2100);
  EXPECT_EQ(kept.printSize.cx, 500);
  EXPECT_EQ(kept.printSize.cy, 400);
}

}  // namespace
