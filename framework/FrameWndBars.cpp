// CFrameWnd's control bars: the list of bars, docking and floating, the layout order, the
// message pane (menu prompts, fly-by help) and the bars' tool tips.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "ControlBar.h"
#include "FrameWnd.h"
#include "MiniDockFrameWnd.h"
#include "StatusBar.h"

namespace {

constexpr DWORD kSides[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};

}  // namespace

// --- The list of bars ---

void CFrameWnd::AddControlBar(CControlBar* pBar) {
  if (!pBar || std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) != m_listControlBars.end()) return;
  m_listControlBars.push_back(pBar);
  DelayRecalcLayout();
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
  auto it = std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar);
  if (it == m_listControlBars.end()) return;
  m_listControlBars.erase(it);
  if (m_hWnd) DelayRecalcLayout();
}

void CFrameWnd::DetachControlBars() {
  std::vector<CControlBar*> bars;
  bars.swap(m_listControlBars);
  for (CControlBar* bar : bars)
    if (bar->m_pDockSite == this) bar->m_pDockSite = nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
  for (CControlBar* bar : m_listControlBars)
    if (bar->m_hWnd && static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd)) == nID) return bar;
  return nullptr;
}

// --- Docking and floating ---

void CFrameWnd::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

BOOL CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID) {
  if (!m_hWnd || !pBar || !pBar->m_hWnd) return FALSE;
  if (pBar->m_pDockSite && pBar->m_pDockSite != this) return FALSE;
  const DWORD current = pBar->m_dwStyle & CBRS_ALIGN_ANY;
  // A bar without docking sides stays on its own side.
  const DWORD allowed = pBar->m_dwDockStyle ? (pBar->m_dwDockStyle & m_dwDockStyle) : current;
  DWORD side = 0;
  if (nDockBarID) {
    side = AfxAlignFromDockBarID(nDockBarID);
    if (!(side & allowed)) return FALSE;
  } else if (current & allowed) {
    side = current;
  } else {
    for (DWORD s : kSides) {
      if (s & allowed) {
        side = s;
        break;
      }
    }
    if (!side) return FALSE;
  }

  if (::GetParent(pBar->m_hWnd) != m_hWnd) ::SetParent(pBar->m_hWnd, m_hWnd);
  // Innermost of its side: last in docking order.
  RemoveControlBar(pBar);
  m_listControlBars.push_back(pBar);
  pBar->m_pDockSite = this;
  const DWORD old = pBar->m_dwStyle;
  pBar->m_dwStyle = (old & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | side;
  pBar->m_pMiniFrame.reset();  // the bar has left it
  if (pBar->m_dwStyle != old) pBar->OnBarStyleChange(old, pBar->m_dwStyle);
  pBar->UpdateNonClientArea();
  RecalcLayout();
  return TRUE;
}

BOOL CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle) {
  if (!m_hWnd || !pBar || !pBar->m_hWnd) return FALSE;
  if (pBar->m_pDockSite && pBar->m_pDockSite != this) return FALSE;
  if (!pBar->m_pMiniFrame || !pBar->m_pMiniFrame->m_hWnd) {
    auto mini = std::make_unique<CMiniDockFrameWnd>();
    if (!mini->Create(this, pBar, point)) return FALSE;
    pBar->m_pMiniFrame = std::move(mini);
  } else {
    pBar->m_pMiniFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  AddControlBar(pBar);
  pBar->m_pDockSite = this;

  DWORD side = 0;
  for (DWORD s : kSides) {
    if (dwStyle & s) {
      side = s;
      break;
    }
  }
  const DWORD old = pBar->m_dwStyle;
  DWORD style = old | CBRS_FLOATING;
  if (side) style = (style & ~CBRS_ALIGN_ANY) | side;
  pBar->m_dwStyle = style;
  CMiniDockFrameWnd* mini = pBar->m_pMiniFrame.get();
  if (::GetParent(pBar->m_hWnd) != mini->m_hWnd) ::SetParent(pBar->m_hWnd, mini->m_hWnd);
  if (style != old) pBar->OnBarStyleChange(old, style);
  pBar->UpdateNonClientArea();
  mini->RecalcLayout();
  RecalcLayout();
  return TRUE;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
  if (!pBar || !pBar->m_hWnd) return;
  if (bDelay) {
    pBar->m_nPendingShow = bShow ? 1 : 0;
    DelayRecalcLayout();
    return;
  }
  pBar->m_nPendingShow = -1;
  ::ShowWindow(pBar->m_hWnd, bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (CMiniDockFrameWnd* mini = pBar->GetMiniFrame()) mini->RecalcLayout();
  RecalcLayout();
}

// --- Layout ---

void CFrameWnd::DelayRecalcLayout(BOOL) { m_bLayoutPending = TRUE; }

void CFrameWnd::RecalcLayout(BOOL) {
  if (!m_hWnd) return;
  if (m_bInRecalcLayout) {
    m_bLayoutPending = TRUE;  // asked while laying out: once more at idle time
    return;
  }
  m_bInRecalcLayout = TRUE;
  m_bLayoutPending = FALSE;
  const std::vector<CControlBar*> bars = m_listControlBars;
  for (CControlBar* bar : bars) {
    if (bar->m_nPendingShow < 0 || !bar->m_hWnd) continue;
    const bool show = bar->m_nPendingShow != 0;
    bar->m_nPendingShow = -1;
    ::ShowWindow(bar->m_hWnd, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
  for (CControlBar* bar : bars)
    if (CMiniDockFrameWnd* mini = bar->GetMiniFrame()) mini->RecalcLayout();
  m_bInRecalcLayout = FALSE;
}

void CFrameWnd::GetLayoutOrder(std::vector<HWND>& children) const {
  children.clear();
  auto docked = [this](const CControlBar* bar) {
    return bar->m_hWnd && !bar->IsFloating() && ::GetParent(bar->m_hWnd) == m_hWnd;
  };
  for (CControlBar* bar : m_listControlBars)
    if (docked(bar) && bar->IsOuterBar()) children.push_back(bar->m_hWnd);
  for (DWORD side : kSides) {
    for (CControlBar* bar : m_listControlBars)
      if (docked(bar) && !bar->IsOuterBar() && (bar->m_dwStyle & CBRS_ALIGN_ANY) == side)
        children.push_back(bar->m_hWnd);
  }
  const size_t bars = children.size();
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT))
    if (std::find(children.begin(), children.begin() + static_cast<std::ptrdiff_t>(bars), child) ==
        children.begin() + static_cast<std::ptrdiff_t>(bars))
      children.push_back(child);
}

void CFrameWnd::OnIdleUpdateBars(WPARAM wParam) {
  if (m_bLayoutPending) RecalcLayout();
  // Floating bars are not descendants of the frame: their update comes from here.
  const std::vector<CControlBar*> bars = m_listControlBars;
  for (CControlBar* bar : bars) {
    if (!bar->m_hWnd || !bar->IsFloating()) continue;
    ::SendMessageA(bar->m_hWnd, WM_IDLEUPDATECMDUI, wParam, 0);
    if (bar->m_hWnd) bar->SendMessageToDescendants(WM_IDLEUPDATECMDUI, wParam, 0, TRUE, TRUE);
  }
}

// --- View commands ---

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CControlBar* bar = GetControlBar(nID);
  if (!bar) return FALSE;  // another frame on the route may have it
  ShowControlBar(bar, !bar->IsVisible(), FALSE);
  return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  if (CControlBar* bar = GetControlBar(pCmdUI->m_nID)) {
    pCmdUI->SetCheck(bar->IsVisible() ? 1 : 0);
    return;
  }
  pCmdUI->ContinueRouting();
}

// --- Message pane ---

void CFrameWnd::GetMessageString(UINT nID, std::string& rMessage) const { rMessage = AfxCommandPrompt(nID); }

CStatusBar* CFrameWnd::GetMessageBar() const {
  const CFrameWnd* top = GetTopLevelFrame();
  if (!top) top = this;
  return AfxGetStatusBar(const_cast<CFrameWnd*>(top));
}

void CFrameWnd::SetMessageText(LPCSTR lpszText) {
  if (m_hWnd) SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText ? lpszText : ""));
}

void CFrameWnd::SetMessageText(UINT nID) {
  if (m_hWnd) SendMessage(WM_SETMESSAGESTRING, nID, 0);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  const UINT last = m_nIDLastMessage;
  std::string text;
  if (lParam)
    text = reinterpret_cast<LPCSTR>(lParam);
  else if (wParam)
    GetMessageString(static_cast<UINT>(wParam), text);
  m_nIDLastMessage = lParam ? 0 : static_cast<UINT>(wParam);
  if (CStatusBar* bar = GetMessageBar()) bar->SetPaneText(0, text.c_str());
  return last;
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu) {
  if (nFlags == 0xFFFF && !hMenu)
    SetMessageText(static_cast<UINT>(AFX_IDS_IDLEMESSAGE));  // the menu closed
  else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)))
    SetMessageText("");  // a separator or a submenu has no prompt
  else
    SetMessageText(nItemID);
  CWnd::OnMenuSelect(nItemID, nFlags, hMenu);
}

void CFrameWnd::OnExitMenuLoop(BOOL bIsTrackPopupMenu) {
  SetMessageText(static_cast<UINT>(AFX_IDS_IDLEMESSAGE));
  CWnd::OnExitMenuLoop(bIsTrackPopupMenu);
}

// --- Tool tips ---

BOOL CFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* nm = reinterpret_cast<NMHDR*>(lParam);
  if (nm && (nm->code == TTN_GETDISPINFOA || nm->code == TTN_GETDISPINFOW) && OnToolTipText(nm, pResult)) return TRUE;
  return CWnd::OnNotify(wParam, lParam, pResult);
}

BOOL CFrameWnd::OnToolTipText(NMHDR* pNMHDR, LRESULT* pResult) {
  // Only the tips of this frame's bars; other tool tips go their own way.
  const CControlBar* owner = nullptr;
  for (CControlBar* bar : m_listControlBars) {
    if (bar->m_hWnd && pNMHDR->hwndFrom && bar->GetToolTips() == pNMHDR->hwndFrom) {
      owner = bar;
      break;
    }
  }
  if (!owner) return FALSE;
  const bool wide = pNMHDR->code == TTN_GETDISPINFOW;
  const UINT flags = wide ? reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags : reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags;
  UINT id = static_cast<UINT>(pNMHDR->idFrom);
  if (flags & TTF_IDISHWND) id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pNMHDR->idFrom)));
  m_strToolTip = (owner->GetBarStyle() & CBRS_TOOLTIPS) ? AfxCommandToolTip(id) : std::string();
  if (wide) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, m_strToolTip.c_str(), -1, nullptr, 0);
    m_wstrToolTip.assign(static_cast<size_t>(std::max(n, 1)), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, m_strToolTip.c_str(), -1, m_wstrToolTip.data(), n);
    info->hinst = nullptr;
    info->lpszText = m_wstrToolTip.data();
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    info->hinst = nullptr;
    info->lpszText = m_strToolTip.data();
  }
  *pResult = 0;
  return TRUE;
}
