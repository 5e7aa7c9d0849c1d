// The arithmetic of the zoomable image view, kept apart from any window so that it can be
// checked case by case: zoom steps and scales, the mapping between image pixels and client
// pixels, the rectangles of a selection, of a region drag and of a pasted picture, and the
// size of an image window fitted to the workspace.
//
// The mapping is the one GDI applies under MM_ANISOTROPIC with a window extent of the image's
// size, a viewport extent of its zoomed size and a viewport origin: a logical x lands on device
// floor(x * zoomed / logical + origin + 0.5). The functions here round exactly like that, so
// hit tests agree with what GDI has drawn.
#pragma once

#include <windows.h>

namespace zoomgeo {

// Zoom In / Zoom Out go through these steps (percent).
inline constexpr int kZoomSteps[] = {25, 50, 100, 200, 400};
// Scales above this are refused.
inline constexpr double kMaxZoomScale = 80.0;

// The next step above / below zoom (a factor, 1.0 = 100 %); 0.0 when there is none. A zoom
// between two steps goes to the neighbouring step in that direction.
double NextZoomStepUp(double zoom);
double NextZoomStepDown(double zoom);
// Whether a scale can be applied: a finite number above 0 and at most kMaxZoomScale.
bool IsZoomScaleAllowed(double scale);
// (int)(scale * extent), truncated, but at least 1 for a non-empty extent so that a tiny image
// never maps to nothing.
LONG ZoomedExtent(LONG extent, double scale);
SIZE ZoomedSize(SIZE size, double scale);

// Scroll steps in device pixels: the logical page and line steps through the mapping
// (absolute values); a zero page step becomes a tenth of the zoomed total, a zero line step a
// tenth of the page; every step is at least 1.
struct ScrollSteps {
  SIZE page;
  SIZE line;
};
ScrollSteps ComputeScrollSteps(SIZE logicalTotal, SIZE zoomedTotal, SIZE logicalPage, SIZE logicalLine);

// Where logical (0, 0) lies in the client area: minus the scroll position, or, with centring,
// the middle of the client area in each direction where the zoomed content is smaller.
POINT ComputeViewportOrigin(SIZE zoomed, SIZE client, POINT scroll, bool center);

struct ZoomMapping {
  SIZE logical{0, 0};  // the image's size in pixels (window extent)
  SIZE zoomed{0, 0};   // its size on the screen (viewport extent)
  POINT origin{0, 0};  // viewport origin

  bool IsValid() const { return logical.cx > 0 && logical.cy > 0 && zoomed.cx > 0 && zoomed.cy > 0; }
};

// Logical (image) coordinates to client pixels, rounded as GDI rounds.
LONG LogicalToDeviceX(const ZoomMapping& m, LONG x);
LONG LogicalToDeviceY(const ZoomMapping& m, LONG y);
POINT LogicalToDevice(const ZoomMapping& m, POINT p);
RECT LogicalToDevice(const ZoomMapping& m, const RECT& r);
// Client pixels to the nearest logical grid line (what DPtoLP gives): for rectangle edges.
POINT DeviceToLogical(const ZoomMapping& m, POINT p);
// The image pixel drawn at a client pixel: the x whose span [dev(x), dev(x + 1)) holds it (the
// last such x when the zoom is below 100 % and several pixels share it). Points outside the
// image give pixels outside it (negative or beyond the size).
POINT DeviceToPixel(const ZoomMapping& m, POINT p);
// The client rectangle the whole image covers.
RECT ImageDeviceRect(const ZoomMapping& m);
// The logical scroll position (top-left device pixel) that puts the logical point in the
// middle of the client area; not clamped.
POINT ScrollPositionToCentre(const ZoomMapping& m, POINT logical, SIZE client);

// --- Rectangles ---

RECT NormalizedRect(const RECT& r);
bool IsEmptyRect(const RECT& r);
// r inside (0, 0, size); an empty rectangle (all zero) when nothing of r is inside.
RECT ClipToImage(const RECT& r, SIZE image);
RECT OffsetRectBy(const RECT& r, LONG dx, LONG dy);
// The image rectangle a repaint must draw: the update rectangle's logical cover, grown by one
// pixel on every side and clipped to the image.
RECT PaintRectFromUpdate(const ZoomMapping& m, const RECT& deviceUpdate);
// A rubber band between two client points as an image rectangle, normalised and clipped.
RECT BandToImageRect(const ZoomMapping& m, POINT a, POINT b);

// The rectangles of a region drag that moved a selection (inside the image) by delta: the
// selection where the drag began, the part of it whose pixels land inside the image, and
// where that part lands. Source and target have the same size and differ by delta; both are
// empty when nothing lands inside.
struct RegionMove {
  RECT selection;
  RECT source;
  RECT target;
};
RegionMove ComputeRegionMove(const RECT& selection, POINT delta, SIZE image);

// The outer size of an image window: frameForImage is what it needs to show the zoomed image
// without scroll bars. Cut to the workspace in each direction where it is too big; a cut
// direction gets a scroll bar, for which the other direction grows (and may be cut in turn).
SIZE FitFrameToWorkspace(SIZE frameForImage, SIZE workspace, int vScrollWidth, int hScrollHeight);

}  // namespace zoomgeo
