#include "MDIFrameWnd.h"

#include "Document.h"
#include "FrameworkRes.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  ON_WM_DESTROY()
  ON_COMMAND_EX_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
  ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() = default;

BOOL CMDIFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxMDIFrameWndClass();
  return TRUE;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*) {
  return CreateClient(lpcs, GetWindowMenuPopup(m_hMenuDefault));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT lpcs, HMENU hWindowMenu) {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = hWindowMenu;
  ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
  DWORD style = WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
  // Scroll bars asked of the frame belong to the client.
  if (lpcs) style |= lpcs->style & (WS_HSCROLL | WS_VSCROLL);
  if (lpcs && (lpcs->style & (WS_HSCROLL | WS_VSCROLL)))
    ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0, SWP_FRAMECHANGED);
  m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, style, 0, 0, 0, 0, m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                      AfxGetInstanceHandle(), &ccs);
  return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar) {
  if (!hMenuBar) return nullptr;
  // The last popup that holds a Window command.
  for (int item = ::GetMenuItemCount(hMenuBar) - 1; item >= 0; --item) {
    HMENU popup = ::GetSubMenu(hMenuBar, item);
    if (!popup) continue;
    int n = ::GetMenuItemCount(popup);
    for (int i = 0; i < n; ++i) {
      UINT id = ::GetMenuItemID(popup, i);
      if (id >= AFX_IDM_WINDOW_FIRST && id <= AFX_IDM_WINDOW_LAST) return popup;
    }
  }
  return nullptr;
}

HMENU CMDIFrameWnd::MDISetMenu(HMENU hFrameMenu, HMENU hWindowMenu) {
  HMENU old = reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hFrameMenu),
                                                     reinterpret_cast<LPARAM>(hWindowMenu)));
  ::DrawMenuBar(m_hWnd);
  return old;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
  BOOL maximized = FALSE;
  HWND h = m_hWndMDIClient ? reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                                   reinterpret_cast<LPARAM>(&maximized)))
                           : nullptr;
  if (pbMaximized) *pbMaximized = h ? maximized : FALSE;
  return dynamic_cast<CMDIChildWnd*>(FromHandlePermanent(h));
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate) {
  if (pWndActivate && pWndActivate->m_hWnd)
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->m_hWnd), 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd) {
  if (pWnd && pWnd->m_hWnd) ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd) {
  if (pWnd && pWnd->m_hWnd) ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
  CMDIChildWnd* child = MDIGetActive();
  return child ? static_cast<CFrameWnd*>(child) : this;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  // The first target (the client), the active child (its view, its document, the child itself),
  // then the frame, then the application.
  if (m_pFirstCmdTarget && m_pFirstCmdTarget != this && m_pFirstCmdTarget->OnCmdMsg(nID, nCode, pExtra)) return TRUE;
  CMDIChildWnd* child = MDIGetActive();
  if (child && child->OnCmdMsgViewAndSelf(nID, nCode, pExtra)) return TRUE;
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CFrameWnd::OnCommand(wParam, lParam)) return TRUE;
  // Child activation items of the Window menu (and whatever else nobody handled) go to
  // DefFrameProc through the default path.
  return FALSE;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  // The active child's accelerators (translated for this frame), then the frame's, then the
  // MDI keys (Ctrl+F4, Ctrl+F6).
  CMDIChildWnd* child = MDIGetActive();
  if (child && child->PreTranslateMessage(pMsg)) return TRUE;
  if (m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg)) return TRUE;
  if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) && m_hWndMDIClient &&
      ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
    return TRUE;
  return FALSE;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt) {
  if (CMDIChildWnd* child = MDIGetActive()) {
    child->OnUpdateFrameMenu(TRUE, child, hMenuAlt);
    return;
  }
  if (!hMenuAlt) hMenuAlt = m_hMenuDefault;
  MDISetMenu(hMenuAlt, GetWindowMenuPopup(hMenuAlt));
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CMDIChildWnd* child = MDIGetActive();
  // With the child maximised, the system shows its title beside the frame's already.
  bool childShown = child && !(child->GetStyle() & WS_MAXIMIZE);
  CDocument* doc = childShown ? child->GetActiveDocument() : nullptr;
  if (bAddToTitle && doc) {
    UpdateFrameTitleForDocument(doc->GetTitle().c_str());
  } else if (childShown && !child->GetTitle().empty()) {
    UpdateFrameTitleForDocument(child->GetTitle().c_str());
  } else {
    UpdateFrameTitleForDocument(nullptr);
  }
}

void CMDIFrameWnd::OnDestroy() {
  m_pFirstCmdTarget = nullptr;
  CFrameWnd::OnDestroy();
  // The frame's own menu goes with the window; take it back through the client first.
  if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault && m_hWndMDIClient)
    ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(m_hMenuDefault), 0);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID) {
  switch (nID) {
    case ID_WINDOW_ARRANGE:
      MDIIconArrange();
      return TRUE;
    case ID_WINDOW_CASCADE:
      MDICascade();
      return TRUE;
    case ID_WINDOW_TILE_HORZ:
      MDITile(MDITILE_HORIZONTAL);
      return TRUE;
    case ID_WINDOW_TILE_VERT:
      MDITile(MDITILE_VERTICAL);
      return TRUE;
    default:
      return FALSE;
  }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) { pCmdUI->Enable(MDIGetActive() != nullptr); }
