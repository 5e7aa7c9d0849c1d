#include "ZoomGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace zoomgeo {

namespace {

constexpr double kStepTolerance = 1e-6;

double Ratio(LONG zoomed, LONG logical) { return logical > 0 ? static_cast<double>(zoomed) / logical : 1.0; }

// GDI's rounding of transformed coordinates.
LONG GdiRound(double v) { return static_cast<LONG>(std::floor(v + 0.5)); }

LONG ToDevice(LONG x, LONG zoomed, LONG logical, LONG origin) {
  return GdiRound(x * Ratio(zoomed, logical) + origin);
}

LONG ToPixel(LONG d, LONG zoomed, LONG logical, LONG origin) {
  if (zoomed <= 0 || logical <= 0) return d - origin;
  LONG x = static_cast<LONG>(std::floor((d - origin) / Ratio(zoomed, logical)));
  // The estimate is off by at most a pixel or two at span edges: step to the span holding d.
  while (ToDevice(x + 1, zoomed, logical, origin) <= d) ++x;
  while (ToDevice(x, zoomed, logical, origin) > d) --x;
  return x;
}

LONG ClampLong(double v) {
  if (!(v > -2.0e9)) return -2000000000;
  if (v > 2.0e9) return 2000000000;
  return static_cast<LONG>(v);
}

}  // namespace

double NextZoomStepUp(double zoom) {
  for (int step : kZoomSteps) {
    double f = step / 100.0;
    if (f > zoom + kStepTolerance) return f;
  }
  return 0.0;
}

double NextZoomStepDown(double zoom) {
  for (int i = static_cast<int>(std::size(kZoomSteps)) - 1; i >= 0; --i) {
    double f = kZoomSteps[i] / 100.0;
    if (f < zoom - kStepTolerance) return f;
  }
  return 0.0;
}

bool IsZoomScaleAllowed(double scale) { return std::isfinite(scale) && scale > 0.0 && scale <= kMaxZoomScale; }

LONG ZoomedExtent(LONG extent, double scale) {
  if (extent <= 0) return 0;
  double v = scale * extent;
  LONG zoomed = ClampLong(v);
  return std::max<LONG>(1, zoomed);
}

SIZE ZoomedSize(SIZE size, double scale) { return SIZE{ZoomedExtent(size.cx, scale), ZoomedExtent(size.cy, scale)}; }

ScrollSteps ComputeScrollSteps(SIZE logicalTotal, SIZE zoomedTotal, SIZE logicalPage, SIZE logicalLine) {
  const double rx = Ratio(zoomedTotal.cx, logicalTotal.cx), ry = Ratio(zoomedTotal.cy, logicalTotal.cy);
  ScrollSteps s;
  s.page = {std::abs(GdiRound(logicalPage.cx * rx)), std::abs(GdiRound(logicalPage.cy * ry))};
  s.line = {std::abs(GdiRound(logicalLine.cx * rx)), std::abs(GdiRound(logicalLine.cy * ry))};
  if (s.page.cx == 0) s.page.cx = zoomedTotal.cx / 10;
  if (s.page.cy == 0) s.page.cy = zoomedTotal.cy / 10;
  if (s.line.cx == 0) s.line.cx = s.page.cx / 10;
  if (s.line.cy == 0) s.line.cy = s.page.cy / 10;
  s.page = {std::max<LONG>(1, s.page.cx), std::max<LONG>(1, s.page.cy)};
  s.line = {std::max<LONG>(1, s.line.cx), std::max<LONG>(1, s.line.cy)};
  return s;
}

POINT ComputeViewportOrigin(SIZE zoomed, SIZE client, POINT scroll, bool center) {
  POINT origin{-scroll.x, -scroll.y};
  if (center) {
    if (zoomed.cx < client.cx) origin.x = (client.cx - zoomed.cx) / 2;
    if (zoomed.cy < client.cy) origin.y = (client.cy - zoomed.cy) / 2;
  }
  return origin;
}

LONG LogicalToDeviceX(const ZoomMapping& m, LONG x) { return ToDevice(x, m.zoomed.cx, m.logical.cx, m.origin.x); }

LONG LogicalToDeviceY(const ZoomMapping& m, LONG y) { return ToDevice(y, m.zoomed.cy, m.logical.cy, m.origin.y); }

POINT LogicalToDevice(const ZoomMapping& m, POINT p) { return POINT{LogicalToDeviceX(m, p.x), LogicalToDeviceY(m, p.y)}; }

RECT LogicalToDevice(const ZoomMapping& m, const RECT& r) {
  return RECT{LogicalToDeviceX(m, r.left), LogicalToDeviceY(m, r.top), LogicalToDeviceX(m, r.right),
              LogicalToDeviceY(m, r.bottom)};
}

POINT DeviceToLogical(const ZoomMapping& m, POINT p) {
  return POINT{GdiRound((p.x - m.origin.x) / Ratio(m.zoomed.cx, m.logical.cx)),
               GdiRound((p.y - m.origin.y) / Ratio(m.zoomed.cy, m.logical.cy))};
}

POINT DeviceToPixel(const ZoomMapping& m, POINT p) {
  return POINT{ToPixel(p.x, m.zoomed.cx, m.logical.cx, m.origin.x), ToPixel(p.y, m.zoomed.cy, m.logical.cy, m.origin.y)};
}

RECT ImageDeviceRect(const ZoomMapping& m) { return LogicalToDevice(m, RECT{0, 0, m.logical.cx, m.logical.cy}); }

POINT ScrollPositionToCentre(const ZoomMapping& m, POINT logical, SIZE client) {
  ZoomMapping atZero = m;
  atZero.origin = {0, 0};
  POINT d = LogicalToDevice(atZero, logical);
  return POINT{d.x - client.cx / 2, d.y - client.cy / 2};
}

RECT NormalizedRect(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT ClipToImage(const RECT& r, SIZE image) {
  RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, image.cx),
         std::min<LONG>(r.bottom, image.cy)};
  if (IsEmptyRect(c)) return RECT{0, 0, 0, 0};
  return c;
}

RECT OffsetRectBy(const RECT& r, LONG dx, LONG dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

RECT PaintRectFromUpdate(const ZoomMapping& m, const RECT& deviceUpdate) {
  if (!m.IsValid()) return RECT{0, 0, 0, 0};
  RECT u = NormalizedRect(deviceUpdate);
  const double rx = Ratio(m.zoomed.cx, m.logical.cx), ry = Ratio(m.zoomed.cy, m.logical.cy);
  RECT r{ClampLong(std::floor((u.left - m.origin.x) / rx)), ClampLong(std::floor((u.top - m.origin.y) / ry)),
         ClampLong(std::ceil((u.right - m.origin.x) / rx)), ClampLong(std::ceil((u.bottom - m.origin.y) / ry))};
  r = RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  return ClipToImage(r, m.logical);
}

RECT BandToImageRect(const ZoomMapping& m, POINT a, POINT b) {
  if (!m.IsValid()) return RECT{0, 0, 0, 0};
  POINT la = DeviceToLogical(m, a), lb = DeviceToLogical(m, b);
  return ClipToImage(NormalizedRect(RECT{la.x, la.y, lb.x, lb.y}), m.logical);
}

RegionMove ComputeRegionMove(const RECT& selection, POINT delta, SIZE image) {
  RegionMove move{selection, RECT{0, 0, 0, 0}, RECT{0, 0, 0, 0}};
  // The selected pixels whose new place is inside the image.
  RECT landing = ClipToImage(OffsetRectBy(selection, delta.x, delta.y), image);
  if (IsEmptyRect(landing)) return move;
  RECT source = ClipToImage(OffsetRectBy(landing, -delta.x, -delta.y), image);
  if (IsEmptyRect(source)) return move;
  move.source = source;
  move.target = OffsetRectBy(source, delta.x, delta.y);
  return move;
}

SIZE FitFrameToWorkspace(SIZE frame, SIZE workspace, int vScrollWidth, int hScrollHeight) {
  bool needV = frame.cy > workspace.cy;
  bool needH = frame.cx > workspace.cx;
  if (needV && !needH) needH = frame.cx + vScrollWidth > workspace.cx;
  if (needH && !needV) needV = frame.cy + hScrollHeight > workspace.cy;
  SIZE fitted{frame.cx + (needV ? vScrollWidth : 0), frame.cy + (needH ? hScrollHeight : 0)};
  fitted.cx = std::min(fitted.cx, workspace.cx);
  fitted.cy = std::min(fitted.cy, workspace.cy);
  return fitted;
}

}  // namespace zoomgeo
