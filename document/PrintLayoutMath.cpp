#include "PrintLayoutMath.h"

#include <algorithm>
#include <cmath>

namespace printlayout {

const PaperSize kPaperSizeTable[kPaperSizeCount] = {
    {1, 215.9, 279.4},     {2, 215.9, 279.4},     {3, 279.4, 431.8},     {4, 431.8, 279.4},
    {5, 215.9, 355.6},     {6, 139.7, 215.9},     {7, 184.15, 266.7},    {8, 297, 420},
    {9, 210, 297},         {10, 210, 297},        {11, 148, 210},        {12, 250, 354},
    {13, 182, 257},        {14, 215.9, 330.2},    {15, 215, 275},        {16, 254, 355.6},
    {17, 279.4, 431.8},    {18, 215.9, 279.4},    {19, 98.425, 225.425}, {20, 104.775, 241.3},
    {21, 114.3, 263.525},  {22, 108.6104, 279.4}, {23, 127, 292.1},      {24, 210, 297},
    {25, 210, 297},        {26, 210, 297},        {27, 110, 220},        {28, 162, 229},
    {29, 324, 458},        {30, 229, 324},        {31, 114, 162},        {32, 114, 229},
    {33, 250, 353},        {34, 176, 250},        {35, 176, 125},        {36, 110, 230},
    {37, 98.425, 190.5},   {38, 92.075, 165.1},   {39, 377.825, 279.4},  {40, 215.9, 304.8},
    {41, 215.9, 330.2},    {42, 250, 353},        {43, 100, 148},        {44, 228.6, 279.4},
    {45, 254, 279.4},      {46, 381, 279.4},      {47, 220, 220},        {48, 0, 0},
    {49, 0, 0},            {50, 235.585, 304.8},  {51, 235.585, 381},    {52, 296.926, 457.2},
    {53, 235.458, 322.326}, {54, 210.185, 279.4}, {55, 210, 297},        {56, 235.585, 304.8},
    {57, 227, 356},        {58, 305, 487},        {59, 215.9, 322.326},  {60, 210, 330},
    {61, 148, 210},        {62, 182, 257},        {63, 322, 445},        {64, 174, 235},
    {65, 201, 276},        {66, 420, 594},        {67, 297, 420},        {68, 322, 445},
};

namespace {
// [x]: rounded half up.
LONG RoundHalfUp(double x) { return static_cast<LONG>(std::floor(x + 0.5)); }
LONG NonNegative(LONG v) { return v < 0 ? 0 : v; }
// Truncation that forgives the last bits of a binary fraction (0.29 x 100 = 28.999999...).
LONG TruncateDecimal(double x) { return static_cast<LONG>(x + (x >= 0 ? 1e-7 : -1e-7)); }
}  // namespace

SIZE PaperPageSize(short paperId, short orientation, short paperWidth, short paperLength) {
  if (paperId != 0) {
    for (const PaperSize& paper : kPaperSizeTable) {
      if (paper.id != paperId) continue;
      LONG w = RoundHalfUp(paper.widthMm * 10);
      LONG h = RoundHalfUp(paper.heightMm * 10);
      if (orientation == DMORIENT_PORTRAIT) return SIZE{w, h};
      return SIZE{h, w};
    }
  }
  return SIZE{paperWidth, paperLength};
}

SIZE PaperPageSize(const DEVMODEA* devMode) {
  if (!devMode) return SIZE{0, 0};
  return PaperPageSize(devMode->dmPaperSize, devMode->dmOrientation, devMode->dmPaperWidth, devMode->dmPaperLength);
}

LONG PrintableWidth(const PrintLayoutSettings& layout) {
  LONG w = layout.pageSize.cx - NonNegative(layout.margins.left) - NonNegative(layout.margins.right);
  return w < 1 ? layout.pageSize.cx : w;
}

LONG PrintableHeight(const PrintLayoutSettings& layout) {
  LONG h = layout.pageSize.cy - NonNegative(layout.margins.top) - NonNegative(layout.margins.bottom);
  return h < 1 ? layout.pageSize.cy : h;
}

RECT PrintableRect(const PrintLayoutSettings& layout) {
  RECT r{0, 0, layout.pageSize.cx, layout.pageSize.cy};
  if (layout.pageSize.cx - NonNegative(layout.margins.left) - NonNegative(layout.margins.right) >= 1) {
    r.left = NonNegative(layout.margins.left);
    r.right = layout.pageSize.cx - NonNegative(layout.margins.right);
  }
  if (layout.pageSize.cy - NonNegative(layout.margins.top) - NonNegative(layout.margins.bottom) >= 1) {
    r.top = NonNegative(layout.margins.top);
    r.bottom = layout.pageSize.cy - NonNegative(layout.margins.bottom);
  }
  return r;
}

TileGrid TileCount(const PrintLayoutSettings& layout) {
  LONG pw = PrintableWidth(layout), ph = PrintableHeight(layout);
  if (pw < 1 || ph < 1 || layout.printSize.cx < 1 || layout.printSize.cy < 1) return {};
  TileGrid grid;
  grid.across = (layout.printSize.cx + pw - 1) / pw;
  grid.down = (layout.printSize.cy + ph - 1) / ph;
  return grid;
}

LONG PageCount(const PrintLayoutSettings& layout) {
  if (!IsTiledMode(layout.printMode)) return 1;
  TileGrid grid = TileCount(layout);
  return std::max<LONG>(1, grid.across * grid.down);
}

namespace {
// Places a w x h rectangle at the printable left and top, centred by the image-centre bits.
RECT PlaceInPrintable(const PrintLayoutSettings& layout, LONG w, LONG h) {
  RECT p = PrintableRect(layout);
  LONG left = p.left, top = p.top;
  if (layout.imageCenterFlags & 0x1) left += (p.right - w - p.left) / 2;
  if (layout.imageCenterFlags & 0x2) top += (p.bottom - h - p.top) / 2;
  return RECT{left, top, left + w, top + h};
}
}  // namespace

RECT FitImageRect(const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight) {
  LONG pw = PrintableWidth(layout), ph = PrintableHeight(layout);
  if (imageWidth < 1 || imageHeight < 1 || pw < 1 || ph < 1) return RECT{};
  double k = std::min(static_cast<double>(pw) / imageWidth, static_cast<double>(ph) / imageHeight);
  return PlaceInPrintable(layout, RoundHalfUp(k * imageWidth), RoundHalfUp(k * imageHeight));
}

TileSlice TileForPage(const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight, LONG page) {
  TileSlice slice;
  TileGrid grid = TileCount(layout);
  if (imageWidth < 1 || imageHeight < 1 || grid.across < 1 || grid.down < 1) return slice;
  if (page < 1 || page > grid.across * grid.down) return slice;
  if (grid.across == 1 && grid.down == 1) {
    slice.valid = slice.wholeImage = true;
    slice.source = RECT{0, 0, imageWidth, imageHeight};
    slice.dest = PlaceInPrintable(layout, layout.printSize.cx, layout.printSize.cy);
    return slice;
  }
  LONG pw = PrintableWidth(layout), ph = PrintableHeight(layout);
  RECT p = PrintableRect(layout);
  LONG i = (page - 1) / grid.across, j = (page - 1) % grid.across;
  // Exact integer forms of W x j x fx (fx = pw / print cx) and of the cut edge
  // (W - source left) / (fx x W) x pw, so that a whole number never lands a hair below itself.
  const long long W = imageWidth, H = imageHeight, pcx = layout.printSize.cx, pcy = layout.printSize.cy;
  RECT src{static_cast<LONG>(W * j * pw / pcx), static_cast<LONG>(H * i * ph / pcy),
           static_cast<LONG>(W * (j + 1) * pw / pcx), static_cast<LONG>(H * (i + 1) * ph / pcy)};
  RECT dst = p;
  if (src.right > imageWidth) {
    src.right = imageWidth;
    dst.right = p.left + static_cast<LONG>((W - src.left) * pcx / W);
  }
  if (src.bottom > imageHeight) {
    src.bottom = imageHeight;
    dst.bottom = p.top + static_cast<LONG>((H - src.top) * pcy / H);
  }
  if (src.right <= src.left || src.bottom <= src.top) return slice;
  slice.valid = true;
  slice.source = src;
  slice.dest = dst;
  return slice;
}

double ShownValue(LONG stored, Unit unit) {
  if (unit == Unit::Centimeters) return stored / 100.0;
  // 254 is exactly one inch: truncation must not turn 99.99999... into 0.99.
  return TruncateDecimal(stored * 0.39370078740157477) / 100.0;
}

LONG StoredValue(double shown, Unit unit) {
  return TruncateDecimal(shown * (unit == Unit::Centimeters ? 100.0 : 254.0));
}

double PageInUnit(LONG page, Unit unit) { return page / (unit == Unit::Centimeters ? 100.0 : 254.0); }

namespace {
double Stepped(double value, double step) {
  double v = value + step;
  // Keep the shown numbers on whole hundredths so that repeated steps do not drift.
  v = std::floor(v * 100 + 0.5) / 100;
  return v < 0 ? 0 : v;
}
// [10 x a / b] / 100: the other value's step for a 0.1 step of this one.
double AspectStep(LONG a, LONG b) { return b < 1 || a < 1 ? 0.0 : RoundHalfUp(10.0 * a / b) / 100.0; }
}  // namespace

SizeStep StepPrintSizeX(double x, double y, int direction, LONG imageWidth, LONG imageHeight) {
  double sign = direction < 0 ? -1.0 : 1.0;
  return SizeStep{Stepped(x, 0.1 * sign), Stepped(y, sign * AspectStep(imageHeight, imageWidth))};
}

SizeStep StepPrintSizeY(double x, double y, int direction, LONG imageWidth, LONG imageHeight) {
  double sign = direction < 0 ? -1.0 : 1.0;
  return SizeStep{Stepped(x, sign * AspectStep(imageWidth, imageHeight)), Stepped(y, 0.1 * sign)};
}

double LimitMargin(double margin, double opposite, double page) {
  if (margin < 0) margin = 0;
  double limit = page - std::max(0.0, opposite);
  if (margin > limit) margin = limit < 0 ? 0 : limit;
  return margin;
}

double StepMargin(double margin, double opposite, double page, int direction) {
  return LimitMargin(Stepped(margin, direction < 0 ? -0.1 : 0.1), opposite, page);
}

void SetUpPreviewLayout(PrintLayoutSettings& layout, bool fromPrintSetup, SIZE paper, LONG imageWidth,
                        LONG imageHeight) {
  if (fromPrintSetup && paper.cx > 0 && paper.cy > 0) layout.pageSize = paper;
  else layout.pageSize = SIZE{2100, 2970};
  if (layout.printSize.cx == 0 && layout.printSize.cy == 0) {
    layout.printSize.cx = layout.pageSize.cx;
    if (imageWidth > 0 && imageHeight > 0)
      layout.printSize.cy = static_cast<LONG>(static_cast<long long>(layout.printSize.cx) * imageHeight / imageWidth);
  }
}

}  // namespace printlayout
