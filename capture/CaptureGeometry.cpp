#include "CaptureGeometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "common/Settings.h"

namespace {

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// Shrinks [lo, hi) by d on both ends; what cannot lose 2 * d collapses to its centre.
void ShrinkSpan(LONG& lo, LONG& hi, int d) {
  int64_t a = int64_t{lo} + d;
  int64_t b = int64_t{hi} - d;
  if (a > b) {
    int64_t mid = (int64_t{lo} + hi) / 2;
    a = b = mid;
  }
  lo = ClampToInt(a);
  hi = ClampToInt(b);
}

}  // namespace

RECT ShrinkMaximizedFrame(const RECT& window, int frameX, int frameY) {
  RECT r = window;
  ShrinkSpan(r.left, r.right, std::max(frameX, 0));
  ShrinkSpan(r.top, r.bottom, std::max(frameY, 0));
  return r;
}

bool IsValidShapeCode(int shapeCode) {
  return shapeCode >= 0 && shapeCode <= kMaxCapturePoints;
}

void OffsetPoints(CaptureArea& capture, int count, int dx, int dy) {
  count = std::clamp(count, 0, kMaxCapturePoints);
  for (int i = 0; i < count; ++i) {
    POINT& p = capture.points[i];
    p.x = ClampToInt(int64_t{p.x} + dx);
    p.y = ClampToInt(int64_t{p.y} + dy);
  }
}

void MakePointsRelative(CaptureArea& capture, int count) {
  // Negating INT_MIN would overflow; such an origin clamps like every other coordinate.
  int dx = capture.area.left == INT_MIN ? INT_MAX : -capture.area.left;
  int dy = capture.area.top == INT_MIN ? INT_MAX : -capture.area.top;
  OffsetPoints(capture, count, dx, dy);
}

void MakePointsAbsolute(CaptureArea& capture, int count) {
  OffsetPoints(capture, count, capture.area.left, capture.area.top);
}

RECT PolygonBounds(const POINT* points, int count) {
  if (!points || count <= 0) return RECT{0, 0, 0, 0};
  RECT r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (int i = 1; i < count; ++i) {
    r.left = std::min(r.left, points[i].x);
    r.top = std::min(r.top, points[i].y);
    r.right = std::max(r.right, points[i].x);
    r.bottom = std::max(r.bottom, points[i].y);
  }
  return r;
}

int PolygonFillModeFromOptions(DWORD optionsA) {
  return (optionsA & kOptWindingFill) ? WINDING : ALTERNATE;
}

COLORREF FillColorFromSetting(COLORREF setting) { return setting & 0x00FFFFFFu; }
