// The image view's zoom: the zoom commands and the zoom steps they go through.
#include "QuorvaCaptureView.h"

#include "resources/resource.h"

using namespace zoomgeo;

BOOL CQuorvaCaptureView::SetZoom(double scale) {
  if (!IsZoomScaleAllowed(scale)) return FALSE;
  CBusyCursor busy;
  zoomStep = scale;
  BOOL done = SetZoomScale(scale);
  // The first paint at the new scale is the long part: it happens here, under the wait cursor,
  // rather than later with the pointer idle.
  if (done && m_hWnd) UpdateWindow();
  return done;
}

void CQuorvaCaptureView::OnViewZoomIn() {
  double next = NextZoomStepUp(zoomStep);
  if (next > 0.0) SetZoom(next);
}

void CQuorvaCaptureView::OnUpdateViewZoomIn(CCmdUI* pCmdUI) {
  pCmdUI->Enable(GetImage() != nullptr && NextZoomStepUp(zoomStep) > 0.0);
}

void CQuorvaCaptureView::OnViewZoomOut() {
  double next = NextZoomStepDown(zoomStep);
  if (next > 0.0) SetZoom(next);
}

void CQuorvaCaptureView::OnUpdateViewZoomOut(CCmdUI* pCmdUI) {
  pCmdUI->Enable(GetImage() != nullptr && NextZoomStepDown(zoomStep) > 0.0);
}

namespace {
double PresetZoom(UINT id) {
  static const double kPresets[] = {0.25, 0.5, 1.0, 2.0, 4.0};
  return kPresets[id - ID_VIEW_ZOOM25];
}
}  // namespace

void CQuorvaCaptureView::OnViewZoomPreset(UINT nID) { SetZoom(PresetZoom(nID)); }

void CQuorvaCaptureView::OnUpdateViewZoomPreset(CCmdUI* pCmdUI) {
  pCmdUI->Enable(GetImage() != nullptr);
  double preset = PresetZoom(pCmdUI->m_nID);
  pCmdUI->SetCheck(zoomStep > preset - 1e-6 && zoomStep < preset + 1e-6 ? 1 : 0);
}
