#include "View.h"

#include "Document.h"
#include "FrameWnd.h"
#include "Handles.h"

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

void CView::SetDocument(CDocument* pDocument) {
  if (m_pDocument == pDocument) return;
  if (m_pDocument) m_pDocument->RemoveView(this);
  if (pDocument) pDocument->AddView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxFrameWndClass();
  cs.style |= WS_CLIPSIBLINGS;
  return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  // A frame making its views passes the document in the creation context.
  if (auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams)) {
    if (context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  }
  return 0;
}

void CView::OnDestroy() {
  if (CFrameWnd* frame = GetParentFrame()) {
    if (frame->GetActiveView() == this) frame->SetActiveView(nullptr);
  }
  CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra)) return TRUE;
  return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, void*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL bActivate, CView*, CView*) {
  if (!bActivate || !m_hWnd) return;
  // Take the focus when this view's top-level window is the active one.
  CWnd* top = GetTopLevelParent();
  if (top && top->m_hWnd == ::GetActiveWindow()) ::SetFocus(m_hWnd);
}

void CView::OnPaint() {
  PaintDC dc(m_hWnd);
  if (dc) OnDraw(dc.get());
}

int CView::OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message) {
  int result = CWnd::OnMouseActivate(hDesktopWnd, nHitTest, message);
  if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
  if (CFrameWnd* frame = GetParentFrame()) {
    if (frame->GetActiveView() != this) frame->SetActiveView(this);
  }
  return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}
