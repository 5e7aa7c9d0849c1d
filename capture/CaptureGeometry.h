// Rectangle and point arithmetic of the capture engine, free of any screen access so that it
// can be checked with plain tables.
#pragma once

#include <windows.h>

#include "CaptureArea.h"

// The rectangle of a maximised window without its sizing frame: the system places that frame
// off the screen, so it is cut away on every side (frameX left and right, frameY top and bottom).
// A rectangle too small to lose the frame collapses to an empty one at its centre.
RECT ShrinkMaximizedFrame(const RECT& window, int frameX, int frameY);

// True for the shape codes a capture understands: rectangle, fill only, ellipse and polygons of
// 3 to kMaxCapturePoints vertices.
bool IsValidShapeCode(int shapeCode);

// Moves count points by (dx, dy). count is clamped to the capacity of the array.
void OffsetPoints(CaptureArea& capture, int count, int dx, int dy);
// Makes the first count vertices relative to the top-left corner of the area / absolute again.
void MakePointsRelative(CaptureArea& capture, int count);
void MakePointsAbsolute(CaptureArea& capture, int count);

// The bounding rectangle of count vertices (right and bottom are the largest coordinates, which
// is where a polygon region made of them ends). Empty at (0, 0) when count <= 0.
RECT PolygonBounds(const POINT* points, int count);

// The polygon fill mode of the "OptionsA" flags: WINDING when bit 0x200000 is set, else ALTERNATE.
int PolygonFillModeFromOptions(DWORD optionsA);

// A "ColorTransparency" value as a plain RGB colour: the high byte (palette-relative and
// palette-index forms, or a damaged setting) is ignored.
COLORREF FillColorFromSetting(COLORREF setting);

// Size and colour depth of the screen, as the freezer compares them between still images.
struct ScreenMetrics {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  bool operator==(const ScreenMetrics&) const = default;
  bool IsUsable() const { return width > 0 && height > 0 && bitsPerPixel > 0; }
};
