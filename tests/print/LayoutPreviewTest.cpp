// The layout preview's geometry: the page centred in the client area at the page's proportions,
// margin lines at the scaled margins, the image fitted and centred, tiled pages in their cells.
#include <gtest/gtest.h>

#include "ui/LayoutPreview.h"

using layoutpreview::FitPage;
using layoutpreview::PageGeometry;
using layoutpreview::TiledPage;

namespace {

PrintLayoutSettings A4() {
  PrintLayoutSettings l;
  l.pageSize = SIZE{2100, 2970};
  l.margins = RECT{120, 120, 120, 120};
  l.imageCenterFlags = 3;
  l.printMode = 1;
  return l;
}

TEST(LayoutPreview, FitPageIsCentredWithItsMarginsAndImage) {
  // 210 x 297 pixels: s = 0.1.
  PageGeometry g = FitPage(RECT{0, 0, 410, 297}, A4(), 1000, 500);
  EXPECT_EQ(g.page.left, 100);
  EXPECT_EQ(g.page.right, 310);
  EXPECT_EQ(g.page.top, 0);
  EXPECT_EQ(g.page.bottom, 297);
  EXPECT_EQ(g.marginLeft, 112);
  EXPECT_EQ(g.marginRight, 298);
  EXPECT_EQ(g.marginTop, 12);
  EXPECT_EQ(g.marginBottom, 285);
  // Printable 113..297 x 13..284 (184 x 271); the image 184 x 92, centred vertically.
  EXPECT_EQ(g.image.left, 113);
  EXPECT_EQ(g.image.right, 297);
  EXPECT_EQ(g.image.bottom - g.image.top, 92);
  EXPECT_EQ(g.image.top, 13 + (271 - 92) / 2);
}

TEST(LayoutPreview, NothingToDrawForBadLayouts) {
  PrintLayoutSettings zero = A4();
  zero.pageSize = SIZE{0, 0};
  PageGeometry g = FitPage(RECT{0, 0, 200, 200}, zero, 100, 100);
  EXPECT_TRUE(IsRectEmpty(&g.page));
  // Margins past the page are dropped: the whole page is printable.
  PrintLayoutSettings wide = A4();
  wide.margins = RECT{3000, 0, 3000, 0};
  g = FitPage(RECT{0, 0, 210, 297}, wide, 100, 100);
  EXPECT_EQ(g.marginLeft, g.page.left);
  EXPECT_FALSE(IsRectEmpty(&g.image));
  // No image: the page without a picture.
  g = FitPage(RECT{0, 0, 210, 297}, A4(), 0, 0);
  EXPECT_TRUE(IsRectEmpty(&g.image));
  EXPECT_FALSE(IsRectEmpty(&g.printable));
  // A client area too small for anything.
  g = FitPage(RECT{0, 0, 0, 0}, A4(), 100, 100);
  EXPECT_TRUE(IsRectEmpty(&g.page));
}

TEST(LayoutPreview, TiledPagesSitInTheirCells) {
  PrintLayoutSettings l = A4();
  l.printMode = 3;
  // Three across in 630 x 297: cells of 210 x 297, s = 0.1, each page shrunk by 2.
  for (LONG j = 0; j < 3; ++j) {
    PageGeometry g = TiledPage(RECT{0, 0, 630, 297}, l, 3, 1, 0, j);
    EXPECT_EQ(g.page.left, 210 * j + 2);
    EXPECT_EQ(g.page.right, 210 * (j + 1) - 2);
    EXPECT_EQ(g.page.top, 2);
    EXPECT_EQ(g.page.bottom, 295);
  }
  PageGeometry none = TiledPage(RECT{0, 0, 2, 2}, l, 3, 1, 0, 0);
  EXPECT_TRUE(IsRectEmpty(&none.page));
}

}  // namespace
