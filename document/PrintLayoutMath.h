// The arithmetic of the print layout: printable area, the fit and tiled sizing methods, paper
// sizes, the units of the layout dialog and its spin steps. All lengths are in tenths of a
// millimetre unless a name says otherwise. Pure functions: no window, no device.
#pragma once

#include <windows.h>

#include "common/Settings.h"

namespace printlayout {

// "PrintMode": 1 and 2 fit the image into the margins of one page, 3 and 4 print it at the
// print size over as many pages as that needs; anything else prints nothing.
inline bool IsFitMode(LONG mode) { return mode == 1 || mode == 2; }
inline bool IsTiledMode(LONG mode) { return mode == 3 || mode == 4; }

// One entry of the paper table: a DEVMODE paper-size number, portrait width and height in mm.
struct PaperSize {
  short id;
  double widthMm;
  double heightMm;
};
constexpr size_t kPaperSizeCount = 68;
extern const PaperSize kPaperSizeTable[kPaperSizeCount];

// The page of a paper: a table id gives the table's size (swapped for landscape); id 0 or an id
// outside the table gives the device mode's own paper width and length (already in 0.1 mm).
SIZE PaperPageSize(short paperId, short orientation, short paperWidth, short paperLength);
// The same from a device mode; none gives 0 x 0.
SIZE PaperPageSize(const DEVMODEA* devMode);

// Printable width and height: the page less its margins (negative margins count as 0); a page
// whose margins leave less than 1 falls back to the whole page.
LONG PrintableWidth(const PrintLayoutSettings& layout);
LONG PrintableHeight(const PrintLayoutSettings& layout);
// The page shrunk by the margins, or the whole page across (down) when the margins leave nothing
// across (down), so the rectangle always agrees with PrintableWidth/PrintableHeight.
RECT PrintableRect(const PrintLayoutSettings& layout);

// Pages across and down of the tiled method: ceil(print size / printable size); 0 when there is
// nothing to tile (no print size or no printable area).
struct TileGrid {
  LONG across = 0;
  LONG down = 0;
};
TileGrid TileCount(const PrintLayoutSettings& layout);
// Pages of a print job: the tiled grid's page count (at least 1), 1 for every other method.
LONG PageCount(const PrintLayoutSettings& layout);

// The fit method: the image scaled to the printable area keeping its aspect, placed at the
// printable left and top, centred by the image-centre bits. Empty for an empty image.
RECT FitImageRect(const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight);

// One page of the tiled method: which part of the image (pixels, top-down) goes into which
// layout rectangle. valid is false when the page shows nothing.
struct TileSlice {
  bool valid = false;
  bool wholeImage = false;  // one page only: the whole image at exactly the print size
  RECT source{};
  RECT dest{};
};
// Page n counts from 1, row by row.
TileSlice TileForPage(const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight, LONG page);

// --- The layout dialog's units ---
enum class Unit { Centimeters, Inches };
// Shown value: centimetres stored / 100; inches in whole hundredths (120 -> 0.47).
double ShownValue(LONG stored, Unit unit);
// Stored value of a shown one: centimetres x 100, inches x 254, truncated. A value typed as
// 0.29 stores 29, not 28 (binary fractions land a hair below).
LONG StoredValue(double shown, Unit unit);
// The page extent (0.1 mm) in the shown unit: / 100 in centimetres, / 254 in inches.
double PageInUnit(LONG page, Unit unit);

// Spin step of X (or Y) by +1 or -1: the value moves by 0.1 and the other by
// [10 x other / this aspect] / 100, so the image keeps about its aspect ratio; a value that
// would become negative becomes 0. With no image the other value does not move.
struct SizeStep {
  double x;
  double y;
};
SizeStep StepPrintSizeX(double x, double y, int direction, LONG imageWidth, LONG imageHeight);
SizeStep StepPrintSizeY(double x, double y, int direction, LONG imageWidth, LONG imageHeight);
// Spin step of a margin by +1 or -1 (0.1 of the unit): never below 0, and the margin plus the
// opposite one never beyond the page (all in the shown unit).
double StepMargin(double margin, double opposite, double page, int direction);
// A margin typed into the page: the same limits.
double LimitMargin(double margin, double opposite, double page);

// When the layout dialog's preview first shows: the page is the chosen paper (A4 when the
// dialog was not opened from print setup, or the paper is unknown); a 0 x 0 print size becomes
// the page width by the image's aspect.
void SetUpPreviewLayout(PrintLayoutSettings& layout, bool fromPrintSetup, SIZE paper, LONG imageWidth,
                        LONG imageHeight);

}  // namespace printlayout
