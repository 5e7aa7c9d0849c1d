#include "CaptureBitmap.h"

#include "CaptureGeometry.h"
#include "ScreenStill.h"
#include "common/Settings.h"

namespace {

// Clips dc to the shape; returns false when the region cannot be made.
bool ClipToShape(HDC dc, const CaptureArea& capture, int width, int height, int fillMode) {
  UniqueRgn region;
  if (capture.shapeCode == kShapeEllipse) {
    region.reset(::CreateEllipticRgn(0, 0, width, height));
  } else {
    int mode = fillMode == WINDING ? WINDING : ALTERNATE;
    region.reset(::CreatePolygonRgn(capture.points.data(), capture.shapeCode, mode));
  }
  if (!region) return false;
  // The DC keeps its own copy of the clip region; ours is deleted on return.
  return ::SelectClipRgn(dc, region.get()) != ERROR;
}

}  // namespace

UniqueBitmap MakeCaptureBitmap(const CaptureArea& capture, HDC source, COLORREF fillColor,
                               int polygonFillMode) {
  if (!source || capture.IsEmpty() || !IsValidShapeCode(capture.shapeCode)) return {};
  if (!CaptureSizeAllowed(capture.Width(), capture.Height())) return {};
  const int width = static_cast<int>(capture.Width());
  const int height = static_cast<int>(capture.Height());

  UniqueDC memory(::CreateCompatibleDC(source));
  if (!memory) return {};
  UniqueBitmap bitmap(::CreateCompatibleBitmap(source, width, height));
  if (!bitmap) return {};
  {
    SelectObjectGuard selection(memory.get(), bitmap.get());
    if (!selection) return {};

    UniqueBrush brush(::CreateSolidBrush(FillColorFromSetting(fillColor)));
    if (!brush) return {};
    RECT all{0, 0, width, height};
    if (!::FillRect(memory.get(), &all, brush.get())) return {};

    if (capture.shapeCode != kShapeFillOnly) {
      if (capture.shapeCode != kShapeRectangle &&
          !ClipToShape(memory.get(), capture, width, height, polygonFillMode))
        return {};
      BOOL copied = ::BitBlt(memory.get(), 0, 0, width, height, source, capture.area.left,
                             capture.area.top, SRCCOPY);
      ::SelectClipRgn(memory.get(), nullptr);
      if (!copied) return {};
    }
    ::GdiFlush();
  }  // the bitmap is deselected before it leaves
  return bitmap;
}

UniqueBitmap MakeCaptureBitmap(const CaptureArea& capture, const CScreenStill* still,
                               DWORD optionsA, COLORREF colorTransparency) {
  const bool fromStill = (optionsA & kOptFreezeScreen) && still && still->HasImage();
  CaptureSource source(fromStill ? still->MemoryDC() : nullptr,
                       fromStill ? still->Image() : nullptr);
  return MakeCaptureBitmap(capture, source.dc(), colorTransparency,
                           PolygonFillModeFromOptions(optionsA));
}

CaptureSource::CaptureSource() : m_screen(nullptr) {}

CaptureSource::CaptureSource(HDC memoryDC, HBITMAP stillImage) {
  if (memoryDC && stillImage) {
    m_selection = SelectObjectGuard(memoryDC, stillImage);
    if (m_selection) {
      m_stillDC = memoryDC;
      m_usesStill = true;
      return;
    }
  }
  m_screen = WindowDC(nullptr);
}
