#include "MiniDockFrameWnd.h"

#include "ControlBar.h"
#include "FrameWnd.h"

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CWnd)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() = default;

CMiniDockFrameWnd::~CMiniDockFrameWnd() {
  m_bAutoDelete = FALSE;
  if (m_hWnd) DestroyWindow();
}

BOOL CMiniDockFrameWnd::Create(CFrameWnd* pDockSite, CControlBar* pBar, CPoint pos) {
  if (m_hWnd || !pDockSite || !pDockSite->m_hWnd || !pBar) return FALSE;
  static LPCSTR miniClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!miniClass) return FALSE;
  m_pDockSite = pDockSite;
  m_pBar = pBar;
  // Owned by the top-level window, so it stays above it and goes with it.
  CWnd* owner = pDockSite->GetTopLevelParent();
  std::string title = pBar->m_hWnd ? pBar->GetWindowText() : std::string();
  return CreateEx(WS_EX_TOOLWINDOW, miniClass, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                  pos.x, pos.y, 0, 0, owner ? owner->m_hWnd : pDockSite->m_hWnd, nullptr);
}

void CMiniDockFrameWnd::RecalcLayout() {
  if (!m_hWnd) return;
  if (!m_pBar || !m_pBar->m_hWnd || ::GetParent(m_pBar->m_hWnd) != m_hWnd) {
    if (IsWindowVisible()) ShowWindow(SW_HIDE);
    return;
  }
  CSize size = m_pBar->CalcFixedLayout(FALSE, m_pBar->IsHorz());
  CRect frame(0, 0, size.cx, size.cy);
  ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
  SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Whatever the caption really takes: make the client area the bar's size.
  CRect client = GetClientRect();
  if (client.Width() != size.cx || client.Height() != size.cy)
    SetWindowPos(nullptr, 0, 0, frame.Width() + size.cx - client.Width(), frame.Height() + size.cy - client.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_pBar->m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  std::string title = m_pBar->GetWindowText();
  if (GetWindowText() != title) SetWindowText(title.c_str());
  const bool show = (m_pBar->GetStyle() & WS_VISIBLE) != 0;
  if (show != (IsWindowVisible() != FALSE)) ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

LRESULT CMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      // What the bar sends its parent goes to the frame, as if it were docked.
      if (m_pDockSite && m_pDockSite->m_hWnd) return ::SendMessageA(m_pDockSite->m_hWnd, message, wParam, lParam);
      break;
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CMiniDockFrameWnd::OnClose() {
  // The close box hides the bar; an empty window goes.
  if (m_pBar && m_pBar->m_hWnd && m_pDockSite) {
    m_pDockSite->ShowControlBar(m_pBar, FALSE, FALSE);
    return;
  }
  DestroyWindow();
}

void CMiniDockFrameWnd::OnDestroy() {
  m_bDestroying = TRUE;
  CWnd::OnDestroy();
}

int CMiniDockFrameWnd::OnMouseActivate(HWND, UINT, UINT) { return MA_NOACTIVATE; }

void CMiniDockFrameWnd::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}
