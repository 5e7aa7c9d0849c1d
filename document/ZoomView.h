// CZoomView: a scroll view that shows its content at a zoom scale. It draws in an anisotropic
// mapping (window extent: the content's logical size; viewport extent: that size zoomed), so
// derived views draw in logical units whatever the scale. Content smaller than the window is
// centred; changing the scale keeps a chosen point (by default the one in the middle of the
// window) in the middle.
#pragma once

#include "ZoomGeometry.h"
#include "framework/Framework.h"

class CZoomView : public CScrollView {
 public:
  CZoomView();
  ~CZoomView() override;

  // --- State ---
  double zoomScale = 1.0;        // current scale
  SIZE origTotalSize{0, 0};      // the content's size in device units at scale 1
  SIZE pageSize{0, 0};           // scroll steps in logical units as set (0: default)
  SIZE lineSize{0, 0};

  // Sets the content's total size and the scroll steps, all in logical units (0: a tenth of
  // the total, and a tenth of the page), keeping the current scale.
  void SetZoomSizes(SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0});
  // Shows the content at scale, keeping the logical point centre (default: the point now in
  // the middle of the client area) in the middle. Scales that are not numbers above 0 and at
  // most 80 are refused (FALSE).
  BOOL SetZoomScale(double scale, const POINT* centre = nullptr);
  double GetZoomScale() const { return zoomScale; }
  // The content's size on the screen now.
  SIZE GetZoomedSize() const { return m_totalDev; }
  SIZE GetLogicalSize() const { return m_logicalSize; }
  // The mapping the view draws with now (origin included).
  zoomgeo::ZoomMapping GetMapping() const;
  // The client area's size.
  SIZE GetClientSize() const;

  // The anisotropic mapping and the viewport origin (scroll position or centring offset).
  void OnPrepareDC(HDC hDC) override;

  // Called after every change of the scale or the sizes.
  virtual void OnZoomChanged() {}

 protected:
  // Converts the page and line steps with the current mapping and updates the scroll bars.
  void RecalcZoomSizes();

  DECLARE_MESSAGE_MAP()

 private:
  SIZE m_logicalSize{0, 0};
};
