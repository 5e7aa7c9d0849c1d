// Helpers of the capture tests: pictures read back from bitmaps, a DIB "screen" in memory, and
// independent definitions of the ellipse and polygon masks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "E2EDriver.h"
#include "GdiTestUtil.h"
#include "framework/Handles.h"

namespace capture_test {

namespace e2e = lumatre::e2e;

// The pixels of any bitmap (device-dependent or DIB section) as a 32-bit picture.
inline e2e::Image ReadBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof(bm), &bm)) return {};
  e2e::Image image(bm.bmWidth, bm.bmHeight);
  BITMAPINFO bi = TopDown32BitmapInfo(bm.bmWidth, bm.bmHeight);
  WindowDC screen(nullptr);
  if (::GetDIBits(screen.get(), bitmap, 0, bm.bmHeight, image.pixels.data(), &bi,
                  DIB_RGB_COLORS) != bm.bmHeight)
    return {};
  for (auto& p : image.pixels) p |= 0xFF000000u;
  return image;
}

inline SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

// A 32-bit top-down DIB section in a memory DC, painted with a pattern variant: stands in for
// the screen where a test needs exact, known pixels without the desktop.
class MemoryScreen : public TestCanvas {
 public:
  MemoryScreen(int width, int height, int variant = 0) : TestCanvas(width, height) { Paint(variant); }
  void Paint(int variant) {
    ::GdiFlush();
    uint32_t* pixels = bits();
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) pixels[y * width() + x] = e2e::PatternPixel(variant, x, y);
  }
};

// What a pixel should hold by an independent definition of the shape: inside, outside, or too
// close to the outline to say (the rasteriser's rounding decides those).
enum class Side { Inside, Outside, Edge };

// The ellipse inscribed in (0, 0, w, h), judged at pixel centres with a margin of about 1.5
// pixels around the outline.
inline Side EllipseSide(int x, int y, int w, int h) {
  const double a = w / 2.0, b = h / 2.0;
  const double dx = (x + 0.5 - a), dy = (y + 0.5 - b);
  const double inner = std::hypot(dx / std::max(a - 1.5, 0.5), dy / std::max(b - 1.5, 0.5));
  const double outer = std::hypot(dx / (a + 1.5), dy / (b + 1.5));
  if (inner < 1.0) return Side::Inside;
  if (outer > 1.0) return Side::Outside;
  return Side::Edge;
}

inline double SegmentDistance(double px, double py, POINT a, POINT b) {
  const double vx = b.x - a.x, vy = b.y - a.y;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((px - a.x) * vx + (py - a.y) * vy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (a.x + t * vx), py - (a.y + t * vy));
}

// Winding number of the closed polygon around (px, py).
inline int WindingNumber(double px, double py, const std::vector<POINT>& poly) {
  int wn = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    POINT a = poly[i], b = poly[(i + 1) % poly.size()];
    double cross = (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
    if (a.y <= py) {
      if (b.y > py && cross > 0) ++wn;
    } else {
      if (b.y <= py && cross < 0) --wn;
    }
  }
  return wn;
}

// The polygon by the winding (non-zero) or alternate (even-odd) rule at pixel centres, with a
// margin of 1.5 pixels around every edge.
inline Side PolygonSide(int x, int y, const std::vector<POINT>& poly, bool winding) {
  const double px = x + 0.5, py = y + 0.5;
  for (size_t i = 0; i < poly.size(); ++i)
    if (SegmentDistance(px, py, poly[i], poly[(i + 1) % poly.size()]) < 1.5) return Side::Edge;
  const int wn = WindingNumber(px, py, poly);
  const bool inside = winding ? wn != 0 : (wn % 2) != 0;
  return inside ? Side::Inside : Side::Outside;
}

// Pixel counts of a masked capture: inside pixels that do not show the expected picture and
// outside pixels that do not show the fill colour; pixels near the outline are not judged.
struct MaskCheck {
  int insideWrong = 0;
  int outsideWrong = 0;
  int inside = 0;
  int outside = 0;
};

template <typename SideFn, typename PictureFn>
MaskCheck CheckMask(const e2e::Image& image, uint32_t fillRgb, SideFn side, PictureFn picture) {
  MaskCheck c;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      switch (side(x, y)) {
        case Side::Inside:
          ++c.inside;
          if (image.Rgb(x, y) != picture(x, y)) ++c.insideWrong;
          break;
        case Side::Outside:
          ++c.outside;
          if (image.Rgb(x, y) != fillRgb) ++c.outsideWrong;
          break;
        case Side::Edge:
          break;
      }
    }
  return c;
}

// A five-pointed star drawn in one stroke (it crosses itself): its centre pentagon is inside by
// the winding rule and outside by the alternate rule.
inline std::vector<POINT> Pentagram(int cx, int cy, int r) {
  std::vector<POINT> pts;
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < 5; ++i) {
    double angle = -pi / 2 + i * 4 * pi / 5;  // every second corner of a pentagon
    pts.push_back(POINT{static_cast<LONG>(std::lround(cx + r * std::cos(angle))),
                        static_cast<LONG>(std::lround(cy + r * std::sin(angle)))});
  }
  return pts;
}

}  // namespace capture_test
