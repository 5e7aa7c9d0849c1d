// CView: a child window of a frame that shows a document. Commands reach the active view first;
// what it does not handle goes on to its document.
#pragma once

#include "Wnd.h"

class CDocument;
class CFrameWnd;
class CPrintInfo;

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

  // --- Printing ---
  // The print steps, used by print, direct print and print preview alike:
  // prepare (normally DoPreparePrinting; FALSE stops), begin (the printer DC is ready), one
  // call of OnPrint per page, end.
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(HDC hDC, CPrintInfo* pInfo);
  // Draws page pInfo->m_nCurPage; the default draws the view's OnDraw.
  virtual void OnPrint(HDC hDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(HDC hDC, CPrintInfo* pInfo);
  // Shows the print dialog (or, for a direct print or a preview, takes the chosen printer as it
  // is) and makes the printer DC. FALSE when cancelled or when there is no printer; the
  // application's GetPrintDialogError tells which.
  BOOL DoPreparePrinting(CPrintInfo* pInfo);
  // Runs a whole print job; bDirect skips the print dialog.
  void RunPrintJob(BOOL bDirect);
  // A derived view maps ID_FILE_PRINT to OnFilePrint and ID_FILE_PRINT_DIRECT to
  // OnFilePrintDirect.
  void OnFilePrint() { RunPrintJob(FALSE); }
  void OnFilePrintDirect() { RunPrintJob(TRUE); }
  // ID_FILE_PRINT_PREVIEW: the preview window inside the main frame (the chosen printer as it
  // is; nothing when there is no printer).
  void OnFilePrintPreview();

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
