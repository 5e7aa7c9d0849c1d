// Helpers of the tracker tests: a memory "screen" with known pixels that the tracker draws on,
// and an environment whose clock, cursor, beep and window lookup the test controls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "GdiTestUtil.h"
#include "capture/CaptureTracker.h"
#include "framework/Handles.h"

namespace tracker_test {

// The colour of a canvas pixel before anything is drawn (0x00RRGGBB): neighbours differ.
inline uint32_t CanvasPixel(int x, int y) {
  const uint32_t r = static_cast<uint32_t>(x * 3 + y) & 0xFF;
  const uint32_t g = static_cast<uint32_t>(y * 5 + 40) & 0xFF;
  const uint32_t b = static_cast<uint32_t>((x + y) * 7 + 11) & 0xFF;
  return (r << 16) | (g << 8) | b;
}
inline uint32_t Inverted(uint32_t rgb) { return ~rgb & 0x00FFFFFFu; }

// A 32-bit top-down DIB section in a memory DC standing in for the screen.
class Canvas : public TestCanvas {
 public:
  Canvas(int width, int height) : TestCanvas(width, height) { Reset(); }
  // Back to the pattern.
  void Reset() {
    ::GdiFlush();
    uint32_t* pixels = bits();
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) pixels[y * width() + x] = CanvasPixel(x, y);
  }
  SIZE size() const { return SIZE{width(), height()}; }
  void Set(int x, int y, uint32_t rgb) {
    ::GdiFlush();
    bits()[y * width() + x] = rgb;
  }
  // Pixels inside r (clipped) for which expected(x, y) differs from the canvas.
  int CountNot(const RECT& r, const std::function<uint32_t(int, int)>& expected) const {
    ::GdiFlush();
    const uint32_t* pixels = bits();
    int n = 0;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height()); ++y)
      for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, width()); ++x)
        if ((pixels[y * width() + x] & 0x00FFFFFFu) != expected(x, y)) ++n;
    return n;
  }
  // Pixels anywhere that differ from the pattern.
  int CountChanged() const { return CountNot(RECT{0, 0, width(), height()}, CanvasPixel); }
  // Pixels inside r that differ from the pattern.
  int CountChanged(const RECT& r) const { return CountNot(r, CanvasPixel); }
};

// What the tracker asks of the system, played by the test.
struct FakeSystem {
  DWORD now = 100000;
  UINT doubleClickTime = 500;
  int beeps = 0;
  POINT cursor{0, 0};
  std::vector<POINT> cursorMoves;
  std::function<HWND(POINT)> windowAt = [](POINT) -> HWND { return nullptr; };

  TrackerEnvironment Environment() {
    TrackerEnvironment env;
    env.now = [this] { return now; };
    env.doubleClickTime = [this] { return doubleClickTime; };
    env.doubleClickSize = [] { return SIZE{4, 4}; };
    env.beep = [this] { ++beeps; };
    env.getCursorPos = [this](POINT* p) {
      *p = cursor;
      return true;
    };
    env.setCursorPos = [this](POINT p) { cursorMoves.push_back(p); };
    env.windowFromPoint = [this](POINT p) { return windowAt(p); };
    return env;
  }
};

inline RECT Inset(const RECT& r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

}  // namespace tracker_test
