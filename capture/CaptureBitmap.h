// Bitmap production of a capture: one raster copy of the area from the screen (or from the
// still image of the screen freezer) into a new device bitmap, clipped to the ellipse or polygon
// of the shape, with the fill colour everywhere outside the shape.
#pragma once

#include <windows.h>

#include "CaptureArea.h"
#include "framework/Handles.h"

// Largest side of a capture in pixels, and most bytes of its 32-bit picture (as much as the
// image library takes in one bitmap). Larger areas (only possible from damaged input) are
// refused before anything is allocated, whatever the process could allocate.
constexpr int64_t kMaxCaptureSide = 32767;
constexpr int64_t kMaxCaptureBytes = 0x40000000;

// A capture of this size may be made.
constexpr bool CaptureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxCaptureSide && height <= kMaxCaptureSide &&
         width * height * 4 <= kMaxCaptureBytes;
}

// Copies capture.area from source (a screen DC, or a memory DC holding a picture of the screen
// whose coordinates equal screen coordinates) into a new bitmap compatible with source:
//   shape 0: the area unmasked;  1: nothing is copied, the bitmap is only the fill colour;
//   2: clipped to the ellipse inscribed in the bitmap;
//   3 ... kMaxCapturePoints: clipped to the polygon of that many points of capture.points, which
//   are relative to the area's top-left corner, filled by polygonFillMode (WINDING/ALTERNATE).
// Pixels outside the shape get fillColor. Returns an empty owner when there is nothing to make
// (zero or negative width or height) and when the shape code, the size or a GDI call fails.
UniqueBitmap MakeCaptureBitmap(const CaptureArea& capture, HDC source, COLORREF fillColor,
                               int polygonFillMode);

class CScreenStill;

// The capture as the main frame makes it with the settings: from the freezer's still image when
// the freeze option ("OptionsA" 0x100000) is set and a still image exists, else from the live
// screen; the polygon fill rule from "OptionsA" 0x200000 and the fill colour from
// "ColorTransparency". still may be null.
UniqueBitmap MakeCaptureBitmap(const CaptureArea& capture, const CScreenStill* still,
                               DWORD optionsA, COLORREF colorTransparency);

// The device context a capture reads from: the still image of the freezer when there is one,
// otherwise the screen, e.g.
//   CaptureSource source(freezing ? still.MemoryDC() : nullptr, freezing ? still.Image() : nullptr); Holds whatever it acquired (the screen DC, or the still image's
// selection) and gives it back when it ends.
class CaptureSource {
 public:
  // The screen itself.
  CaptureSource();
  // The still image: memoryDC with stillImage selected in while this object lives. Falls back
  // to the screen when either handle is null or the selection fails.
  CaptureSource(HDC memoryDC, HBITMAP stillImage);
  CaptureSource(const CaptureSource&) = delete;
  CaptureSource& operator=(const CaptureSource&) = delete;

  HDC dc() const { return m_usesStill ? m_stillDC : m_screen.get(); }
  bool UsesStillImage() const { return m_usesStill; }

 private:
  WindowDC m_screen;
  HDC m_stillDC = nullptr;
  SelectObjectGuard m_selection;
  bool m_usesStill = false;
};
