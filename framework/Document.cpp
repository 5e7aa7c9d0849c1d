#include "Document.h"

#include <algorithm>

#include "FrameWnd.h"
#include "RecentFileList.h"
#include "View.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::~CDocument() {
  for (CView* view : m_views) view->m_pDocument = nullptr;
  m_views.clear();
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
  m_strTitle = lpszTitle ? lpszTitle : "";
  UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU) {
  m_strPathName = AfxFullPath(lpszPathName);
  size_t slash = m_strPathName.find_last_of("\\/");
  SetTitle((slash == std::string::npos ? m_strPathName : m_strPathName.substr(slash + 1)).c_str());
  if (bAddToMRU && !m_strPathName.empty()) {
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName.c_str());
  }
}

void CDocument::AddView(CView* pView) {
  if (!pView || std::find(m_views.begin(), m_views.end(), pView) != m_views.end()) return;
  if (pView->m_pDocument && pView->m_pDocument != this) pView->m_pDocument->RemoveView(pView);
  m_views.push_back(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  auto it = std::find(m_views.begin(), m_views.end(), pView);
  if (it == m_views.end()) return;
  m_views.erase(it);
  pView->m_pDocument = nullptr;
  OnChangedViewList();  // may delete this document
}

void CDocument::OnChangedViewList() {
  if (m_bAutoDelete && m_views.empty()) {
    OnCloseDocument();
    return;
  }
  UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, void* pHint) {
  std::vector<CView*> views = m_views;  // a view may go while it updates
  for (CView* view : views)
    if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts() {
  for (CView* view : m_views) {
    if (CFrameWnd* frame = view->m_hWnd ? view->GetParentFrame() : nullptr) frame->DelayUpdateFrameTitle();
  }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
  for (CView* view : m_views) {
    CFrameWnd* frame = view->m_hWnd ? view->GetParentFrame() : nullptr;
    if (frame && frame != pFrame) return TRUE;  // another frame still shows the document
  }
  return SaveModified();
}

BOOL CDocument::SaveModified() { return TRUE; }

void CDocument::OnCloseDocument() {
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // not while the frames go
  std::vector<CView*> views = m_views;
  for (CView* view : views) {
    if (!view->m_hWnd) continue;
    if (CFrameWnd* frame = view->GetParentFrame()) frame->DestroyWindow();
  }
  m_bAutoDelete = autoDelete;
  if (m_bAutoDelete) delete this;
}
