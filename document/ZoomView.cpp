#include "ZoomView.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CZoomView, CScrollView)
END_MESSAGE_MAP()

CZoomView::CZoomView() { SetCenter(TRUE); }

CZoomView::~CZoomView() = default;

SIZE CZoomView::GetClientSize() const {
  RECT rc{0, 0, 0, 0};
  if (m_hWnd) ::GetClientRect(m_hWnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

zoomgeo::ZoomMapping CZoomView::GetMapping() const {
  zoomgeo::ZoomMapping m;
  m.logical = m_logicalSize;
  m.zoomed = m_totalDev;
  m.origin = GetContentOrigin();
  return m;
}

void CZoomView::SetZoomSizes(SIZE total, SIZE page, SIZE line) {
  // At scale 1 a logical unit is a device pixel.
  m_nMapMode = MM_ANISOTROPIC;
  m_logicalSize = SIZE{std::max<LONG>(0, total.cx), std::max<LONG>(0, total.cy)};
  origTotalSize = m_logicalSize;
  pageSize = page;
  lineSize = line;
  RecalcZoomSizes();
  OnZoomChanged();
}

void CZoomView::RecalcZoomSizes() {
  SIZE zoomed = zoomgeo::ZoomedSize(origTotalSize, zoomScale);
  zoomgeo::ScrollSteps steps = zoomgeo::ComputeScrollSteps(m_logicalSize, zoomed, pageSize, lineSize);
  SetDeviceScrollSizes(zoomed, steps.page, steps.line);  // bars, and a repaint with erase
}

BOOL CZoomView::SetZoomScale(double scale, const POINT* centre) {
  if (!zoomgeo::IsZoomScaleAllowed(scale)) return FALSE;
  SIZE client = GetClientSize();
  POINT keep{m_logicalSize.cx / 2, m_logicalSize.cy / 2};
  if (centre) {
    keep = *centre;
  } else if (GetMapping().IsValid()) {
    keep = zoomgeo::DeviceToLogical(GetMapping(), POINT{client.cx / 2, client.cy / 2});
  }
  zoomScale = scale;
  RecalcZoomSizes();
  if (m_hWnd && GetMapping().IsValid()) {
    client = GetClientSize();  // the bars may have come or gone
    ScrollToDevicePosition(zoomgeo::ScrollPositionToCentre(GetMapping(), keep, client));
  }
  OnZoomChanged();
  return TRUE;
}

void CZoomView::OnPrepareDC(HDC hDC) {
  zoomgeo::ZoomMapping m = GetMapping();
  if (!m.IsValid()) {
    ::SetMapMode(hDC, MM_TEXT);
    ::SetViewportOrgEx(hDC, m.origin.x, m.origin.y, nullptr);
    return;
  }
  ::SetMapMode(hDC, MM_ANISOTROPIC);
  ::SetWindowOrgEx(hDC, 0, 0, nullptr);
  ::SetWindowExtEx(hDC, m.logical.cx, m.logical.cy, nullptr);
  ::SetViewportExtEx(hDC, m.zoomed.cx, m.zoomed.cy, nullptr);
  ::SetViewportOrgEx(hDC, m.origin.x, m.origin.y, nullptr);
}
