#include "SimpleImageView.h"

#include "QuorvaCaptureDoc.h"
#include "win/DisplayBitmap.h"

BEGIN_MESSAGE_MAP(CSimpleImageView, CScrollView)
  ON_WM_ERASEBKGND()
  ON_MESSAGE(UWM_CAPTUREOUTPUTS, OnCaptureOutputs)
END_MESSAGE_MAP()

CSimpleImageView::CSimpleImageView() = default;

CSimpleImageView::~CSimpleImageView() = default;

CQuorvaCaptureDoc* CSimpleImageView::GetImageDocument() const {
  return dynamic_cast<CQuorvaCaptureDoc*>(GetDocument());
}

void CSimpleImageView::RefreshSizes() {
  CQuorvaCaptureDoc* doc = GetImageDocument();
  SIZE size{0, 0};
  if (doc && doc->image && !doc->image->IsEmpty()) size = {doc->image->GetWidth(), doc->image->GetHeight()};
  if (size.cx != m_knownSize.cx || size.cy != m_knownSize.cy) {
    m_knownSize = size;
    SetScrollSizes(MM_TEXT, size);
  }
}

void CSimpleImageView::OnInitialUpdate() {
  RefreshSizes();
  CScrollView::OnInitialUpdate();
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (doc && doc->newCapture) {
    doc->newCapture = FALSE;
    PostMessage(UWM_CAPTUREOUTPUTS);
  }
}

LRESULT CSimpleImageView::OnCaptureOutputs(WPARAM, LPARAM) {
  if (auto* frame = dynamic_cast<IImageDocumentFrame*>(AfxGetMainWnd())) frame->RunCaptureOutputs(GetDocument());
  return 0;
}

void CSimpleImageView::OnUpdate(CView* pSender, LPARAM lHint, void* pHint) {
  RefreshSizes();
  Invalidate(TRUE);
}

BOOL CSimpleImageView::OnEraseBkgnd(HDC hDC) {
  // The area around the picture in the view background colour.
  COLORREF color = kDefaultColorViewBackground;
  if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp())) color = app->GetDocumentSettings().m_capture.colorViewBackground;
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  POINT origin = GetContentOrigin();
  UniqueBrush brush(::CreateSolidBrush(color));
  int saved = ::SaveDC(hDC);
  ::ExcludeClipRect(hDC, origin.x, origin.y, origin.x + m_knownSize.cx, origin.y + m_knownSize.cy);
  ::FillRect(hDC, &rc, brush.get());
  ::RestoreDC(hDC, saved);
  return TRUE;
}

void CSimpleImageView::OnDraw(HDC hDC) {
  CQuorvaCaptureDoc* doc = GetImageDocument();
  if (!doc || !doc->image || doc->image->IsEmpty()) return;
  RECT whole{0, 0, doc->image->GetWidth(), doc->image->GetHeight()};
  doc->image->DrawEx(hDC, &whole, &whole);
}
