#include "StatusBar.h"

#include <commctrl.h>

#include "MessageBox.h"

BEGIN_MESSAGE_MAP(CStatusBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_WM_SIZE()
END_MESSAGE_MAP()

CStatusBar::CStatusBar() = default;

CStatusBar::~CStatusBar() {
  m_progress.reset();
  if (m_hWnd) DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  if (!pParentWnd || !pParentWnd->m_hWnd) return FALSE;
  // A size grip only where the frame is a top-level window that can be resized.
  DWORD style = dwStyle | WS_CHILD | WS_CLIPSIBLINGS;
  if ((pParentWnd->GetStyle() & WS_THICKFRAME) && !(pParentWnd->GetStyle() & WS_CHILD)) style |= SBARS_SIZEGRIP;
  if (!CreateEx(0, STATUSCLASSNAMEA, "", style, CRect(0, 0, 0, 0), pParentWnd, nID)) return FALSE;
  return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray) || nIDCount > 255) return FALSE;
  m_panes.clear();
  for (int i = 0; i < nIDCount; ++i) {
    Pane pane;
    pane.id = lpIDArray[i];
    if (pane.id != ID_SEPARATOR) pane.text = LoadResString(pane.id);
    // A fixed pane is as wide as its first text, until told otherwise.
    if (i > 0 && m_hWnd) {
      WindowDC dc(m_hWnd);
      SelectObjectGuard font(dc.get(), GetFont());
      SIZE extent{0, 0};
      ::GetTextExtentPoint32A(dc.get(), pane.text.c_str(), static_cast<int>(pane.text.size()), &extent);
      pane.width = extent.cx + 2 * ::GetSystemMetrics(SM_CXEDGE) + 6;
    }
    m_panes.push_back(pane);
  }
  UpdatePanes();
  return TRUE;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].id : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_panes[static_cast<size_t>(i)].id == nIDFind) return i;
  return -1;
}

void CStatusBar::SetPaneWidth(int nIndex, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  m_panes[static_cast<size_t>(nIndex)].width = cxWidth < 0 ? 0 : cxWidth;
  UpdatePanes();
}

int CStatusBar::GetPaneWidth(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].width : 0;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  std::string text = lpszNewText ? lpszNewText : "";
  Pane& pane = m_panes[static_cast<size_t>(nIndex)];
  if (pane.text == text) return TRUE;
  pane.text = text;
  if (m_hWnd) {
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pane.text.c_str()));
    if (bUpdate) UpdateWindow();
  }
  return TRUE;
}

std::string CStatusBar::GetPaneText(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].text : std::string();
}

BOOL CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!m_hWnd || !lpRect || nIndex < 0 || nIndex >= GetCount()) return FALSE;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
}

void CStatusBar::UpdatePanes() {
  if (!m_hWnd) return;
  std::vector<int> rights(m_panes.empty() ? 1 : m_panes.size());
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  int right = rc.right;
  if (GetStyle() & SBARS_SIZEGRIP) right -= ::GetSystemMetrics(SM_CXVSCROLL);
  // Fixed panes from the right; the message pane takes what is left.
  rights.back() = -1;
  for (size_t i = rights.size() - 1; i > 0; --i) {
    int edge = (i == rights.size() - 1) ? right : rights[i];
    rights[i - 1] = edge - m_panes[i].width;
    if (rights[i - 1] < 0) rights[i - 1] = 0;
  }
  SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
  for (size_t i = 0; i < m_panes.size(); ++i)
    SendMessage(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(m_panes[i].text.c_str()));
  if (m_progress) {
    RECT pane;
    if (GetItemRect(0, &pane))
      ::MoveWindow(m_progress.get(), pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top, TRUE);
  }
}

LRESULT CStatusBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!layout || !(GetStyle() & WS_VISIBLE)) return 0;
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  int height = rc.bottom - rc.top;
  if (height <= 0) {
    // Not sized yet: the control's own height for its font.
    HDC dc = ::GetDC(m_hWnd);
    TEXTMETRICA tm{};
    SelectObjectGuard font(dc, GetFont());
    ::GetTextMetricsA(dc, &tm);
    font.reset();
    ::ReleaseDC(m_hWnd, dc);
    height = tm.tmHeight + 2 * ::GetSystemMetrics(SM_CYEDGE) + 4;
  }
  RECT& free = layout->rect;
  int top = free.bottom - height;
  if (top < free.top) top = free.top;
  layout->sizeTotal.cy += free.bottom - top;
  if (layout->hDWP)
    layout->hDWP = ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, free.left, top, free.right - free.left,
                                    free.bottom - top, SWP_NOACTIVATE | SWP_NOZORDER);
  free.bottom = top;
  return 0;
}

void CStatusBar::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  UpdatePanes();
}

void CStatusBar::ShowProgress(int percent) {
  if (!m_hWnd) return;
  if (!m_progress) {
    RECT pane{0, 0, 0, 0};
    GetItemRect(0, &pane);
    m_progress.reset(::CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, pane.left, pane.top,
                                       pane.right - pane.left, pane.bottom - pane.top, m_hWnd, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr));
    if (!m_progress) return;
    RedrawWindow();
    ::SendMessageA(m_progress.get(), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    RedrawWindow();
  }
  ::SendMessageA(m_progress.get(), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  if (static_cast<unsigned>(percent) >= 100u) {
    m_progress.reset();  // the pane shows its text again
    RedrawWindow();
  }
  UpdateWindow();
}

CStatusBar* AfxGetStatusBar(CWnd* pFrame) {
  if (!pFrame || !pFrame->m_hWnd) return nullptr;
  return dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(::GetDlgItem(pFrame->m_hWnd, AFX_IDW_STATUS_BAR)));
}
