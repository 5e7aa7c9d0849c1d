// CPrintPreviewWnd: print preview inside a frame. It covers the frame's client area, draws one
// or two pages in the printer's proportions through the view's print steps, and offers Print,
// Next Page, Prev Page, One/Two Page, Zoom In, Zoom Out and Close (Escape closes too).
#pragma once

#include <windows.h>

#include <memory>

#include "PrintInfo.h"
#include "Wnd.h"

class CFrameWnd;
class CView;

class CPrintPreviewWnd : public CWnd {
 public:
  // Starts a preview of pView in pFrame with a prepared print info (owned from now on); the
  // window deletes itself when it closes. FALSE when it could not be made.
  static BOOL Show(CFrameWnd* pFrame, CView* pView, std::unique_ptr<CPrintInfo> info);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void PostNcDestroy() override { delete this; }

  UINT GetCurrentPage() const { return m_nCurrentPage; }
  UINT GetPageCount() const { return m_nPageCount; }
  UINT GetPagesShown() const { return m_nPagesShown; }
  int GetZoom() const { return m_nZoom; }
  // The page's rectangle on the screen (client pixels) for the nth shown page (0 or 1).
  RECT PageRect(UINT nShown) const;

 protected:
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnSize(UINT nType, int cx, int cy);
  void OnClosePreview();
  void OnNextPage();
  void OnPrevPage();
  void OnNumPage();
  void OnZoomIn();
  void OnZoomOut();
  void OnPrint();
  DECLARE_MESSAGE_MAP()

 private:
  CPrintDialog* Dialog() const { return m_pInfo->m_pPD; }
  void UpdateButtons();
  void LayoutButtons();

  CFrameWnd* m_pFrame = nullptr;
  CView* m_pView = nullptr;
  std::unique_ptr<CPrintInfo> m_pInfo;
  HDC m_hPrinterDC = nullptr;  // the print info's, not owned
  SIZE m_sizePrintable{};      // 0.1 mm
  UINT m_nCurrentPage = 1;
  UINT m_nPageCount = 1;
  UINT m_nPagesShown = 1;
  int m_nZoom = 0;             // 0 whole page, 1 and 2 larger
  HFONT m_hFont = nullptr;     // the GUI font of the buttons (a stock object)
};
