// What the tracker end-to-end tests share: the real program with its hotkeys, a pattern popup
// over the whole screen (above the taskbar), the screen as it was before a command, and
// waiting for the tracker's drawing to appear and to go again.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CaptureSession.h"
#include "framework/Handles.h"

namespace tracker_e2e {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;

// The pattern covers the screen down to the taskbar.
inline constexpr int kPatternWidth = 1024;
inline constexpr int kPatternHeight = 740;

// Mode hotkeys (the defaults).
inline void PressRectangle() { e2e::KeyChord({VK_CONTROL, VK_MENU, 'R'}); }
inline void PressSquare() { e2e::KeyChord({VK_CONTROL, VK_MENU, 'S'}); }
inline void PressEllipse() { e2e::KeyChord({VK_CONTROL, VK_MENU, 'E'}); }
inline void PressCircle() { e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'C'}); }
inline void PressPolygon() { e2e::KeyChord({VK_CONTROL, VK_MENU, 'P'}); }
inline void PressControl() { e2e::KeyChord({VK_CONTROL, VK_MENU, 'B'}); }
inline void PressSingleWindow() { e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'S'}); }
inline void PressRepeatLast() { e2e::KeyChord({VK_CONTROL, VK_SHIFT, 'L'}); }
inline void PressColorPicker() { e2e::KeyPress(VK_F2); }

inline RECT ScreenRect() {
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline uint32_t InvertedRgb(uint32_t rgb) { return ~rgb & 0x00FFFFFFu; }

class TrackerSession : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    if (HasFatalFailure()) return;
    SetDword("CaptureDelayTime", 0);
  }

  // Starts the program and the pattern; the pointer rests in a corner.
  bool StartWithPattern(int variant = 0) {
    if (!Start()) return false;
    m_pattern = StartPattern(0, 0, kPatternWidth, kPatternHeight, variant, "--popup");
    if (!m_pattern) return false;
    e2e::MouseMove(1015, 5);
    e2e::PumpFor(300);
    TakeBefore();
    return true;
  }

  void TakeBefore() { m_before = e2e::CaptureScreen(); }

  // The screen now differs from m_before (inside r, or anywhere).
  bool ScreenChanged(const RECT& r) {
    return e2e::CountDifferentPixels(e2e::CaptureScreen(), m_before, r) > 0;
  }

  // After a mode's hotkey: moves the pointer to p (back and forth by a pixel) until the
  // tracker's drawing appears inside r; ends with the pointer on p.
  bool WaitForTracking(POINT p, const RECT& r) {
    for (int i = 0; i < 60; ++i) {
      e2e::MouseMove(p.x + (i % 2), p.y);
      e2e::PumpFor(80);
      if (ScreenChanged(r)) {
        e2e::MouseMove(p.x, p.y);
        e2e::PumpFor(80);
        return true;
      }
    }
    ADD_FAILURE() << "the tracker never showed up near " << p.x << "," << p.y;
    capture_e2e::SaveForFailure(e2e::CaptureScreen(), "no-tracking");
    return false;
  }
  // The panel of a drawn mode appears right of and below the pointer.
  bool WaitForPanel(POINT p) {
    return WaitForTracking(p, RECT{p.x + 2, p.y + 2, p.x + 60, p.y + 40});
  }

  // The screen is (or becomes within timeoutMs) exactly what it was before the command.
  bool ScreenAsBefore(const std::string& name, DWORD timeoutMs = 3000) {
    e2e::Image now;
    int differing = 0;
    const bool same = e2e::WaitUntil([&] {
      now = e2e::CaptureScreen();
      differing = e2e::CountDifferentPixels(now, m_before, ScreenRect());
      return differing == 0;
    }, timeoutMs, 100);
    if (!same) {
      ADD_FAILURE() << name << ": " << differing << " pixels differ from the screen before";
      capture_e2e::SaveForFailure(now, name + "-after");
      capture_e2e::SaveForFailure(m_before, name + "-before");
    }
    return same;
  }

  // A captured picture equals the screen before, inside area, where inside(x, y) (picture
  // coordinates) holds, and is the fill colour elsewhere.
  int MismatchesOfCapture(const e2e::Image& picture, const RECT& area, uint32_t fill,
                          const std::function<bool(int, int)>& inside) {
    if (picture.width != area.right - area.left || picture.height != area.bottom - area.top) {
      ADD_FAILURE() << "picture " << picture.width << " x " << picture.height << ", area "
                    << area.right - area.left << " x " << area.bottom - area.top;
      return -1;
    }
    return e2e::CountPixelsNotMatching(picture, RECT{0, 0, picture.width, picture.height},
                                       [&](int x, int y) {
                                         return inside(x, y) ? m_before.Rgb(area.left + x, area.top + y) : fill;
                                       });
  }
  int MismatchesOfRectCapture(const e2e::Image& picture, const RECT& area) {
    return MismatchesOfCapture(picture, area, 0, [](int, int) { return true; });
  }

  HWND m_pattern = nullptr;
  e2e::Image m_before;
};

}  // namespace tracker_e2e
