// The image view's print steps: print, direct print and preview by the program's layout.
#include "QuorvaCaptureView.h"

#include "DocumentHost.h"
#include "ViewPrinting.h"

namespace {
IImageDocumentApp* App() { return dynamic_cast<IImageDocumentApp*>(AfxGetApp()); }
}  // namespace

BOOL CQuorvaCaptureView::OnPreparePrinting(CPrintInfo* pInfo) {
  IImageDocumentApp* app = App();
  return viewprinting::PreparePrinting(*this, pInfo, app ? app->GetDocumentSettings().m_capture.optionsA : 0);
}

void CQuorvaCaptureView::OnBeginPrinting(HDC hDC, CPrintInfo* pInfo) {
  if (IImageDocumentApp* app = App()) viewprinting::BeginPrinting(hDC, pInfo, app->GetDocumentSettings().m_printLayout);
}

void CQuorvaCaptureView::OnPrint(HDC hDC, CPrintInfo* pInfo) {
  // Scaling a big picture onto a page (or the preview's page) takes a while.
  CWaitCursor wait;
  if (IImageDocumentApp* app = App())
    viewprinting::PrintPage(hDC, pInfo, app->GetDocumentSettings().m_printLayout, GetImage());
}
