#include "PrintPreviewWnd.h"

#include <algorithm>

#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "Handles.h"
#include "MessageMap.h"
#include "PrintDialog.h"
#include "View.h"
#include "WinApp.h"

namespace {
constexpr int kBarHeight = 30;
constexpr int kGap = 16;

struct Button {
  UINT id;
  const char* text;
};
constexpr Button kButtons[] = {
    {AFX_ID_PREVIEW_PRINT, "&Print..."},  {AFX_ID_PREVIEW_NEXT, "&Next Page"},   {AFX_ID_PREVIEW_PREV, "Pre&v Page"},
    {AFX_ID_PREVIEW_NUMPAGE, "&Two Page"}, {AFX_ID_PREVIEW_ZOOMIN, "Zoom &In"}, {AFX_ID_PREVIEW_ZOOMOUT, "Zoom &Out"},
    {AFX_ID_PREVIEW_CLOSE, "&Close"},
};

}  // namespace

BEGIN_MESSAGE_MAP(CPrintPreviewWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnClosePreview)
  ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
  ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
  ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPage)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
  ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPrint)
END_MESSAGE_MAP()

BOOL CPrintPreviewWnd::Show(CFrameWnd* pFrame, CView* pView, std::unique_ptr<CPrintInfo> info) {
  if (!pFrame || !pFrame->GetSafeHwnd() || !pView || !info || !info->m_pPD->GetPrinterDC()) return FALSE;
  if (pFrame->m_hWndPrintPreview && ::IsWindow(pFrame->m_hWndPrintPreview)) return FALSE;  // one at a time
  auto* wnd = new CPrintPreviewWnd;
  wnd->m_pFrame = pFrame;
  wnd->m_pView = pView;
  wnd->m_pInfo = std::move(info);
  wnd->m_pInfo->m_bPreview = TRUE;
  wnd->m_hPrinterDC = wnd->m_pInfo->m_pPD->GetPrinterDC();
  wnd->m_sizePrintable = SIZE{::GetDeviceCaps(wnd->m_hPrinterDC, HORZSIZE) * 10,
                              ::GetDeviceCaps(wnd->m_hPrinterDC, VERTSIZE) * 10};
  if (wnd->m_sizePrintable.cx < 1 || wnd->m_sizePrintable.cy < 1) wnd->m_sizePrintable = SIZE{2100, 2970};
  pView->OnBeginPrinting(wnd->m_hPrinterDC, wnd->m_pInfo.get());
  UINT last = wnd->m_pInfo->GetMaxPage();
  wnd->m_nPageCount = (last == 0 || last == 0xFFFF) ? 1 : last;
  wnd->m_nPagesShown = wnd->m_pInfo->m_nNumPreviewPages == 2 ? 2 : 1;
  RECT client;
  ::GetClientRect(pFrame->GetSafeHwnd(), &client);
  LPCSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  if (!wnd->Create(cls, "Print Preview", WS_VISIBLE | WS_CLIPCHILDREN, client, pFrame, AFX_IDW_PREVIEW_BAR)) {
    pView->OnEndPrinting(wnd->m_hPrinterDC, wnd->m_pInfo.get());
    delete wnd;
    return FALSE;
  }
  ::SetWindowPos(wnd->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  pFrame->m_hWndPrintPreview = wnd->m_hWnd;
  ::SetFocus(wnd->m_hWnd);
  return TRUE;
}

int CPrintPreviewWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  m_hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  for (const Button& b : kButtons) {
    HWND button = ::CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 10, 10, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)), AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
  }
  LayoutButtons();
  UpdateButtons();
  return 0;
}

void CPrintPreviewWnd::OnDestroy() {
  if (m_pView) m_pView->OnEndPrinting(m_hPrinterDC, m_pInfo.get());
  if (m_pFrame && m_pFrame->m_hWndPrintPreview == m_hWnd) m_pFrame->m_hWndPrintPreview = nullptr;
  if (m_pView && m_pView->GetSafeHwnd()) ::SetFocus(m_pView->GetSafeHwnd());
  CWnd::OnDestroy();
}

void CPrintPreviewWnd::LayoutButtons() {
  int x = 6;
  for (const Button& b : kButtons) {
    ::MoveWindow(::GetDlgItem(m_hWnd, static_cast<int>(b.id)), x, 4, 80, kBarHeight - 8, TRUE);
    x += 84;
  }
}

void CPrintPreviewWnd::UpdateButtons() {
  const UINT lastShown = m_nCurrentPage + m_nPagesShown - 1;
  ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_NEXT), lastShown < m_nPageCount);
  ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_PREV), m_nCurrentPage > 1);
  ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_ZOOMIN), m_nZoom < 2);
  ::EnableWindow(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_ZOOMOUT), m_nZoom > 0);
  ::SetDlgItemTextA(m_hWnd, AFX_ID_PREVIEW_NUMPAGE, m_nPagesShown == 2 ? "&One Page" : "&Two Page");
  // Keys go to the preview, not to a button that was just pressed.
  if (::GetFocus() && ::GetParent(::GetFocus()) == m_hWnd) ::SetFocus(m_hWnd);
}

RECT CPrintPreviewWnd::PageRect(UINT nShown) const {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int areaW = std::max<int>(1, (client.right - 2 * kGap) / static_cast<int>(m_nPagesShown) -
                                         (m_nPagesShown == 2 ? kGap / 2 : 0));
  const int areaH = std::max<int>(1, client.bottom - kBarHeight - 2 * kGap);
  double scale = std::min(static_cast<double>(areaW) / m_sizePrintable.cx, static_cast<double>(areaH) / m_sizePrintable.cy);
  scale *= (m_nZoom == 0 ? 1.0 : m_nZoom == 1 ? 1.5 : 2.0);
  const int w = static_cast<int>(m_sizePrintable.cx * scale), h = static_cast<int>(m_sizePrintable.cy * scale);
  const int totalW = w * static_cast<int>(m_nPagesShown) + (m_nPagesShown == 2 ? kGap : 0);
  const int left = (client.right - totalW) / 2 + static_cast<int>(nShown) * (w + kGap);
  const int top = kBarHeight + std::max<int>(kGap, static_cast<int>(client.bottom - kBarHeight - h) / 2);
  return RECT{left, top, left + w, top + h};
}

void CPrintPreviewWnd::OnPaint() {
  PaintDC paint(m_hWnd);
  HDC dc = paint.get();
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
  RECT bar{0, 0, client.right, kBarHeight};
  ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
  for (UINT i = 0; i < m_nPagesShown; ++i) {
    const UINT page = m_nCurrentPage + i;
    if (page > m_nPageCount) break;
    RECT r = PageRect(i);
    RECT shadow = r;
    OffsetRect(&shadow, 3, 3);
    ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_3DDKSHADOW));
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (!m_pView) continue;
    SavedDCState saved(dc);
    ::IntersectClipRect(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    m_pInfo->m_nCurPage = page;
    m_pInfo->m_rectPreviewPage = r;
    m_pInfo->m_sizePrintable = m_sizePrintable;
    m_pInfo->m_rectDraw = r;
    m_pView->OnPrint(dc, m_pInfo.get());
  }
}

void CPrintPreviewWnd::OnSize(UINT, int, int) {
  LayoutButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL CPrintPreviewWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::GetParent(pMsg->hwnd) == m_hWnd)) {
    switch (pMsg->wParam) {
      case VK_ESCAPE: OnClosePreview(); return TRUE;
      case VK_NEXT: OnNextPage(); return TRUE;
      case VK_PRIOR: OnPrevPage(); return TRUE;
      default: break;
    }
  }
  return CWnd::PreTranslateMessage(pMsg);
}

void CPrintPreviewWnd::OnClosePreview() { DestroyWindow(); }

void CPrintPreviewWnd::OnNextPage() {
  if (m_nCurrentPage + m_nPagesShown - 1 >= m_nPageCount) return;
  ++m_nCurrentPage;
  UpdateButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::OnPrevPage() {
  if (m_nCurrentPage <= 1) return;
  --m_nCurrentPage;
  UpdateButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::OnNumPage() {
  m_nPagesShown = m_nPagesShown == 2 ? 1 : 2;
  UpdateButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::OnZoomIn() {
  if (m_nZoom < 2) ++m_nZoom;
  UpdateButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::OnZoomOut() {
  if (m_nZoom > 0) --m_nZoom;
  UpdateButtons();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::OnPrint() {
  HWND view = m_pView ? m_pView->GetSafeHwnd() : nullptr;
  DestroyWindow();
  if (view) ::PostMessageA(view, WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 0), 0);
}
