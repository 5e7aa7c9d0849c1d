// CView: a child window of a frame that shows a document. Commands reach the active view first;
// what it does not handle goes on to its document.
#pragma once

#include "Wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
 public:
  CView() = default;
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  // Attaches the view to a document (and the document's view list); null detaches it.
  void SetDocument(CDocument* pDocument);

  // View first, then its document.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

  // Called once before the view is first shown (WM_INITIALUPDATE); calls OnUpdate.
  virtual void OnInitialUpdate();
  // The document changed (pSender: the view that changed it, or null).
  virtual void OnUpdate(CView* pSender, LPARAM lHint, void* pHint);
  // The frame made this view active (or not).
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
  // Draws the document.
  virtual void OnDraw(HDC hDC) = 0;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // Views are made with new and delete themselves when their window is gone.
  void PostNcDestroy() override;

 protected:
  CDocument* m_pDocument = nullptr;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  int OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message);
  LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  friend class CDocument;
};
