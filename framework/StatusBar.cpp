#include "StatusBar.h"

#include <commctrl.h>

#include "FrameWnd.h"
#include "MessageBox.h"

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

// The state a pane's update handlers give it: its text, and no text while disabled.
class CStatusCmdUI : public CCmdUI {
 public:
  explicit CStatusCmdUI(CStatusBar* pBar) : m_pBar(pBar) {}
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    m_pBar->EnablePane(static_cast<int>(m_nIndex), bOn != FALSE);
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCSTR lpszText) override { m_pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText, FALSE); }

 private:
  CStatusBar* m_pBar;
};

CStatusBar::CStatusBar() = default;

CStatusBar::~CStatusBar() {
  m_progress.reset();
  if (m_hWnd) DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  if (!pParentWnd || !pParentWnd->m_hWnd || !AfxInitCommonControls(ICC_BAR_CLASSES)) return FALSE;
  // A size grip only where the frame is a top-level window that can be resized.
  DWORD ctrlStyle = 0;
  if ((pParentWnd->GetStyle() & WS_THICKFRAME) && !(pParentWnd->GetStyle() & WS_CHILD)) ctrlStyle |= SBARS_SIZEGRIP;
  const DWORD style = (dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | CBRS_ALIGN_BOTTOM;
  return CreateBar(0, STATUSCLASSNAMEA, "", style, ctrlStyle, pParentWnd, nID);
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
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(ShownText(pane)));
    if (bUpdate) UpdateWindow();
  }
  return TRUE;
}

void CStatusBar::EnablePane(int nIndex, bool bEnable) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& pane = m_panes[static_cast<size_t>(nIndex)];
  if (pane.disabled == !bEnable) return;
  pane.disabled = !bEnable;
  if (m_hWnd) SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(ShownText(pane)));
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
    SendMessage(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(ShownText(m_panes[i])));
  if (m_progress) {
    RECT pane;
    if (GetItemRect(0, &pane))
      ::MoveWindow(m_progress.get(), pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top, TRUE);
  }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL) {
  if (!m_hWnd) return CSize();
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  int height = rc.bottom - rc.top;
  if (height <= 0) {
    // Not sized yet: the control's own height for its font.
    WindowDC dc(m_hWnd);
    TEXTMETRICA tm{};
    SelectObjectGuard font(dc.get(), GetFont());
    ::GetTextMetricsA(dc.get(), &tm);
    height = tm.tmHeight + 2 * ::GetSystemMetrics(SM_CYEDGE) + 4;
  }
  return CSize(bStretch ? 32767 : static_cast<int>(rc.right - rc.left), height);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) {
  // Only panes with update handlers change: the others keep their texts.
  CStatusCmdUI state(this);
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_panes[state.m_nIndex].id;
    if (state.m_nID != ID_SEPARATOR) state.DoUpdate(pTarget, FALSE);
  }
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
  if (auto* frame = dynamic_cast<CFrameWnd*>(pFrame)) {
    if (auto* bar = dynamic_cast<CStatusBar*>(frame->GetControlBar(AFX_IDW_STATUS_BAR))) return bar;
  }
  return dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(::GetDlgItem(pFrame->m_hWnd, AFX_IDW_STATUS_BAR)));
}
