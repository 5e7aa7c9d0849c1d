#include "ExpandDialog.h"

CExpandDialog::CExpandDialog(UINT nIDTemplate, UINT nIDToggle, UINT nIDMarker, const char* collapsedText,
                             const char* expandedText, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_nIDToggle(nIDToggle),
      m_nIDMarker(nIDMarker),
      m_collapsedText(collapsedText ? collapsedText : ""),
      m_expandedText(expandedText ? expandedText : "") {}

bool CExpandDialog::LiesBeyondMarker(const RECT& control, const RECT& kept) {
  return control.left >= kept.right || control.top >= kept.bottom;
}

BOOL CExpandDialog::OnInitDialog() {
  BOOL result = CDialog::OnInitDialog();
  RECT window = GetWindowRect();
  if (m_fullSize.cx == 0) m_fullSize = SIZE{window.right - window.left, window.bottom - window.top};
  HWND marker = GetDlgItemHwnd(m_nIDMarker);
  if (marker) {
    RECT markerRect;
    ::GetWindowRect(marker, &markerRect);
    const RECT kept{window.left, window.top, markerRect.right, markerRect.bottom};
    m_beyondMarker.clear();
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (child == marker) continue;
      RECT r;
      ::GetWindowRect(child, &r);
      if (LiesBeyondMarker(r, kept)) m_beyondMarker.push_back(child);
    }
    ::ShowWindow(marker, SW_HIDE);
  }
  m_bExpanded = TRUE;
  Expand(FALSE);
  return result;
}

void CExpandDialog::EnableBeyondMarker(BOOL bEnable) {
  for (HWND child : m_beyondMarker) ::EnableWindow(child, bEnable);
}

void CExpandDialog::Expand(BOOL bExpand) {
  if (bExpand == m_bExpanded) return;
  if (!OnDialogExpanding(bExpand)) return;
  HWND toggle = GetDlgItemHwnd(m_nIDToggle);
  if (bExpand) {
    if (!m_bAllowExpand) {
      if (toggle) ::EnableWindow(toggle, FALSE);
      return;
    }
    SetWindowPos(nullptr, 0, 0, m_fullSize.cx, m_fullSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessage(DM_REPOSITION);
    if (toggle) ::SetWindowTextA(toggle, m_expandedText.c_str());
  } else {
    HWND marker = GetDlgItemHwnd(m_nIDMarker);
    if (marker) {
      RECT window = GetWindowRect();
      RECT markerRect;
      ::GetWindowRect(marker, &markerRect);
      SetWindowPos(nullptr, 0, 0, markerRect.right - window.left, markerRect.bottom - window.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (toggle) ::SetWindowTextA(toggle, m_collapsedText.c_str());
  }
  m_bExpanded = bExpand;
  EnableBeyondMarker(bExpand);
  OnDialogExpanded(bExpand);
}

void CExpandDialog::OnToggle() {
  Expand(!m_bExpanded);
  // On to the next control after the button.
  HWND toggle = GetDlgItemHwnd(m_nIDToggle);
  if (HWND next = ::GetNextDlgTabItem(m_hWnd, toggle, FALSE)) GotoDlgCtrl(next);
}

BOOL CExpandDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (nID == m_nIDToggle && nCode == BN_CLICKED) {
    OnToggle();
    return TRUE;
  }
  return CDialog::OnCmdMsg(nID, nCode, pExtra);
}
