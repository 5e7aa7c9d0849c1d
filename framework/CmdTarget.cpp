#include "CmdTarget.h"

#include "Menu.h"
#include "Wnd.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{AfxEntry_End, 0, 0, 0, 0, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

const AFX_MSGMAP* BaseMap(const AFX_MSGMAP* map) { return map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr; }

bool InRange(const AFX_MSGMAP_ENTRY& e, UINT nID) { return nID >= e.nID && nID <= e.nLastID; }

}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = BaseMap(map)) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nKind != AfxEntry_End; ++e) {
      if (e->nKind == AfxEntry_Message && e->nMessage == message) return e;
      // A registered id of 0 means "not registered (yet)" and matches nothing.
      if (e->nKind == AfxEntry_Registered && *e->pnMessage != 0 && *e->pnMessage == message) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra) { return DispatchCmdMsg(nID, nCode, pExtra); }

BOOL CCmdTarget::DispatchCmdMsg(UINT nID, int nCode, void* pExtra) {
  const bool isNotify = nCode > 0 && HIWORD(static_cast<DWORD>(nCode)) == WM_NOTIFY;
  const int notifyCode = isNotify ? static_cast<short>(LOWORD(static_cast<DWORD>(nCode))) : 0;

  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = BaseMap(map)) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nKind != AfxEntry_End; ++e) {
      AFX_MSG_CALL call;
      call.nID = nID;
      call.extra = pExtra;
      switch (e->nKind) {
        case AfxEntry_UpdateUI:
          if (nCode == CN_UPDATE_COMMAND_UI && InRange(*e, nID)) {
            CCmdUI* ui = static_cast<CCmdUI*>(pExtra);
            ui->m_bContinueRouting = FALSE;
            e->pfn(this, call);
            return !ui->m_bContinueRouting;
          }
          break;
        case AfxEntry_Command:
        case AfxEntry_CommandEx:
          if (!InRange(*e, nID)) break;
          if (nCode == CN_QUERY_HANDLER) {
            if (e->nCode != CN_COMMAND) break;
            if (pExtra) static_cast<AFX_CMDHANDLERINFO*>(pExtra)->pTarget = this;
            return TRUE;
          }
          if (!isNotify && nCode >= 0 && e->nCode == nCode) {
            LRESULT r = e->pfn(this, call);
            if (e->nKind == AfxEntry_CommandEx && !r) break;  // let the route go on
            return TRUE;
          }
          break;
        case AfxEntry_Notify:
        case AfxEntry_NotifyEx:
          if (isNotify && e->nCode == notifyCode && InRange(*e, nID)) {
            LRESULT r = e->pfn(this, call);
            if (e->nKind == AfxEntry_NotifyEx && !r) break;
            return TRUE;
          }
          break;
        default:
          break;
      }
    }
  }
  return FALSE;
}

// --- Wait cursor ---

namespace {

struct WaitCursorState {
  LONG count = 0;
  HCURSOR restore = nullptr;
};

WaitCursorState& WaitState() {
  static thread_local WaitCursorState state;
  return state;
}

void DoWaitCursor(int nCode) {
  WaitCursorState& st = WaitState();
  HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
  if (nCode > 0) {
    if (st.count++ == 0) st.restore = ::SetCursor(wait);
  } else if (nCode < 0) {
    if (st.count > 0 && --st.count == 0) ::SetCursor(st.restore ? st.restore : ::LoadCursor(nullptr, IDC_ARROW));
  } else if (st.count > 0) {
    ::SetCursor(wait);
  }
}

}  // namespace

LONG AfxGetWaitCursorCount() { return WaitState().count; }

void CCmdTarget::BeginWaitCursor() { DoWaitCursor(1); }
void CCmdTarget::EndWaitCursor() { DoWaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { DoWaitCursor(0); }

CWaitCursor::CWaitCursor() { DoWaitCursor(1); }
CWaitCursor::~CWaitCursor() { DoWaitCursor(-1); }
void CWaitCursor::Restore() { DoWaitCursor(0); }

// --- CCmdUI ---

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu) {
    if (m_pSubMenu) return;  // popup items keep their state
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther && m_pOther->m_hWnd) {
    // Move the focus away from a control that is about to be disabled.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      HWND parent = ::GetParent(m_pOther->m_hWnd);
      if (parent) ::SendMessage(parent, WM_NEXTDLGCTL, 0, FALSE);
    }
    ::EnableWindow(m_pOther->m_hWnd, bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther && m_pOther->m_hWnd) {
    if (::SendMessage(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
      ::SendMessage(m_pOther->m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
  }
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (m_pMenu) {
    if (m_pSubMenu) return;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!::GetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii)) return;
    mii.fType |= MFT_RADIOCHECK;
    if (bOn)
      mii.fState |= MFS_CHECKED;
    else
      mii.fState &= ~MFS_CHECKED;
    ::SetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
  } else {
    SetCheck(bOn ? 1 : 0);
  }
}

void CCmdUI::SetText(LPCSTR lpszText) {
  if (!lpszText) lpszText = "";
  if (m_pMenu) {
    if (m_pSubMenu) return;
    // Only the text changes: owner-drawn items keep their type, every item its state.
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<LPSTR>(lpszText);
    ::SetMenuItemInfoA(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
  } else if (m_pOther && m_pOther->m_hWnd) {
    if (m_pOther->GetWindowText() != lpszText) ::SetWindowTextA(m_pOther->m_hWnd, lpszText);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
  if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and popups: nothing to ask
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
  if (!handled && bDisableIfNoHandler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info;
    Enable(pTarget->OnCmdMsg(m_nID, CN_QUERY_HANDLER, &info));
  }
  return handled;
}
