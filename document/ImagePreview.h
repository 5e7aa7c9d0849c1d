// CImagePreview: a static control that shows a picture scaled down to fit, centred. The open
// dialog shows the selected file in it (LoadFile); the operation dialogs give it a copy of the
// document's image (SetImage) and recompute it with their filter as the values change
// (PreviewRotate, PreviewBrightness, PreviewContrast, PreviewIntensity).
//
// Bind it to a static control of a dialog with SubclassDlgItem.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Framework.h"

class CDibBitmap;
class CDisplayBitmap;

// Where a width x height picture is drawn in area: scale 1 when it fits, otherwise
// 1 / max(width / area width, height / area height); centred, sizes truncated.
struct PreviewPlacement {
  double scale = 1.0;
  RECT dest{0, 0, 0, 0};
};
PreviewPlacement PlacePreview(const RECT& area, int width, int height);

class CImagePreview : public CWnd {
 public:
  CImagePreview();
  ~CImagePreview() override;

  // Decodes the file with the application's decoder. A folder loads nothing and leaves the
  // control as it was (false). A file that cannot be decoded leaves the control without an
  // image (false), without any message. Repaints.
  bool LoadFile(const char* path);
  // Shows a copy of bitmap.
  void SetImage(const CDibBitmap& bitmap);
  // No image.
  void Clear();

  // The filters, from source into the control's picture (under the wait cursor, with the main
  // window's progress). angle in radians; fill is a COLORREF.
  void PreviewRotate(const CDibBitmap& source, double angle, COLORREF fill);
  void PreviewBrightness(const CDibBitmap& source, int amount);
  void PreviewContrast(const CDibBitmap& source, double factor, int offset);
  void PreviewIntensity(const CDibBitmap& source, double intensity, int offset, double exponent);

  bool HasImage() const { return m_hasImage; }
  // The picture shown (empty without an image).
  const CDisplayBitmap& GetBitmap() const { return *m_bitmap; }
  // The rectangle the picture is fitted into (the client area less one pixel all round).
  RECT GetPictureArea() const;

  // Paints the control into dc.
  void Paint(HDC dc);
  // Realises the picture's palette in the control's DC (background for WM_PALETTECHANGED);
  // repaints when that changed any entry. TRUE when it did.
  BOOL RealizePalette(bool background);

  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  BOOL OnQueryNewPalette() { return RealizePalette(false); }
  void OnPaletteChanged(HWND focusWnd);

  DECLARE_MESSAGE_MAP()

 private:
  template <typename Filter>
  void RunFilter(const CDibBitmap& source, Filter& filter);

  std::unique_ptr<CDisplayBitmap> m_bitmap;
  bool m_hasImage = false;
};
