#include "FrameWnd.h"

#include "Document.h"
#include "FrameworkRes.h"
#include "Menu.h"
#include "MessageBox.h"
#include "View.h"
#include "WinApp.h"

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_WM_QUERYENDSESSION()
  ON_WM_ENDSESSION()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_WM_MENUSELECT()
  ON_WM_EXITMENULOOP()
  ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
  ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

namespace {

bool HasResource(LPCSTR type, UINT id) {
  return ::FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), type) != nullptr;
}

}  // namespace

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() { DetachControlBars(); }

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxFrameWndClass();
  // An overlapped frame with the document's name shows it first: "name - title".
  if ((cs.style & FWS_ADDTOTITLE) && !(cs.style & WS_CHILD)) cs.style |= FWS_PREFIXTITLE;
  return TRUE;
}

LPCSTR CFrameWnd::GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource) {
  HINSTANCE hInst = AfxGetResourceHandle();
  if (!::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */)) return nullptr;
  HICON hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
  if (!hIcon) return nullptr;
  CREATESTRUCT cs{};
  cs.style = dwDefaultStyle;
  PreCreateWindow(cs);
  if (!cs.lpszClass) return nullptr;
  WNDCLASSA wc{};
  if (!::GetClassInfoA(AfxGetInstanceHandle(), cs.lpszClass, &wc)) return nullptr;
  return AfxRegisterWndClass(wc.style, wc.hCursor, wc.hbrBackground, hIcon);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  std::string full;
  if (AfxLoadString(nIDResource, full)) m_strTitle = full.substr(0, full.find('\n'));
  if (m_strTitle.empty()) m_strTitle = AfxGetAppName();

  LPCSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
  LPCSTR lpszMenu = HasResource(MAKEINTRESOURCEA(4) /* RT_MENU */, nIDResource) ? MAKEINTRESOURCEA(nIDResource) : nullptr;
  if (!Create(lpszClass, m_strTitle.c_str(), dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0, pContext))
    return FALSE;

  HINSTANCE hInst = AfxGetResourceHandle();
  if (HasResource(MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */, nIDResource))
    m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
  // The window's own icons, whatever class it got (PreCreateWindow may pick another).
  if (HasResource(MAKEINTRESOURCEA(14), nIDResource)) {
    HICON big = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON hSmall = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                  LR_SHARED));
    if (big) SetIcon(big, TRUE);
    if (hSmall) SetIcon(hSmall, FALSE);
  }
  if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU hMenu = nullptr;
  if (lpszMenuName) {
    hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
    if (!hMenu) return FALSE;
  }
  m_strTitle = lpszWindowName ? lpszWindowName : "";
  m_hMenuDefault = hMenu;
  m_pCreateContext = pContext;

  int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
  if (rect.left == rectDefault.left && rect.top == rectDefault.top && rect.right == 0 && rect.bottom == 0) {
    x = y = cx = cy = CW_USEDEFAULT;
  }
  BOOL ok = CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, AfxGetSafeHwnd(pParentWnd), hMenu,
                     pContext);
  m_pCreateContext = nullptr;
  if (!ok) {
    // OnDestroy kept the menu off a window that failed during creation; it is ours to free.
    if (hMenu && ::IsMenu(hMenu)) ::DestroyMenu(hMenu);
    m_hMenuDefault = nullptr;
    return FALSE;
  }
  return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (!OnCreateClient(lpcs, m_pCreateContext)) return -1;
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (pContext && pContext->m_pNewViewClass) return CreateView(pContext) != nullptr;
  return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  if (!pContext || !pContext->m_pNewViewClass) return nullptr;
  CView* view = pContext->m_pNewViewClass();
  if (!view) return nullptr;
  if (!view->CreateEx(WS_EX_CLIENTEDGE, nullptr, "", AFX_WS_DEFAULT_VIEW & ~WS_BORDER, CRect(0, 0, 0, 0), this, nID,
                      pContext)) {
    delete view;  // a failed creation leaves the object with its maker
    return nullptr;
  }
  return view;
}

void CFrameWnd::OnDestroy() {
  DetachControlBars();
  // Creation failed (WM_CREATE said no): Create frees the menu it loaded, not the window.
  if (m_nFlags & WF_CREATING) {
    ::SetMenu(m_hWnd, nullptr);
    CWnd::OnDestroy();
    return;
  }
  // The frame owns its default menu; shared menus (document types') must not go with it.
  if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault) ::SetMenu(m_hWnd, m_hMenuDefault);
  CWnd::OnDestroy();
}

void CFrameWnd::OnClose() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    // Closing the main window ends the program: ask first.
    if (!app->SaveAllModified()) return;
    app->HideApplication();
    app->CloseAllDocuments(FALSE);
    if (app->m_pMainWnd == nullptr) {  // closing the documents took the main window with them
      AfxPostQuitMessage(0);
      return;
    }
  } else {
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this)) return;
  }
  DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) RecalcLayout();
  if (m_hWndPrintPreview && ::IsWindow(m_hWndPrintPreview) && nType != SIZE_MINIMIZED)
    ::SetWindowPos(m_hWndPrintPreview, HWND_TOP, 0, 0, cx, cy, SWP_NOACTIVATE);
}

void CFrameWnd::OnSetFocus(HWND hOldWnd) {
  if (m_pViewActive && m_pViewActive->m_hWnd)
    ::SetFocus(m_pViewActive->m_hWnd);
  else
    CWnd::OnSetFocus(hOldWnd);
}

void CFrameWnd::OnInitMenuPopup(HMENU hPopup, UINT, BOOL bSysMenu) {
  if (bSysMenu) return;  // the system menu keeps its own states
  CMenu popup(hPopup);
  UpdateMenuItems(&popup);
}

void CFrameWnd::UpdateMenuItems(CMenu* pMenu) {
  CCmdUI state;
  state.m_pMenu = pMenu;
  state.m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
    state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) continue;  // separator
    if (state.m_nID == static_cast<UINT>(-1)) continue;  // popup: left as it is
    state.m_pSubMenu = nullptr;
    // Commands without a handler are disabled, except the system's (SC_xxx, 0xF000 and up).
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);

    // An update handler may have removed or added items (the recent-file list).
    UINT count = static_cast<UINT>(pMenu->GetMenuItemCount());
    if (count < state.m_nIndexMax) {
      state.m_nIndex -= (state.m_nIndexMax - count);
      while (state.m_nIndex < count && pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
        state.m_nIndex++;
    }
    state.m_nIndexMax = count;
  }
}

BOOL CFrameWnd::OnQueryEndSession() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) return app->SaveAllModified();
  return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding) {
  if (!bEnding) return;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    // The process ends when this returns: let the program write its settings now.
    app->CloseAllDocuments(TRUE);
    app->ExitInstance();
  }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (m_bTitleDirty) {
    m_bTitleDirty = FALSE;
    OnUpdateFrameTitle(TRUE);
  }
  OnIdleUpdateBars(wParam);
  return 0;
}

BOOL CFrameWnd::OnCmdMsgViewAndSelf(UINT nID, int nCode, void* pExtra) {
  CView* view = GetActiveView();
  if (view && view->OnCmdMsg(nID, nCode, pExtra)) return TRUE;
  return CWnd::OnCmdMsg(nID, nCode, pExtra);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (OnCmdMsgViewAndSelf(nID, nCode, pExtra)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* pViewOld = m_pViewActive;
  if (pViewNew == pViewOld) return;
  m_pViewActive = nullptr;  // no view is active while they are told
  if (bNotify && pViewOld) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
  m_pViewActive = pViewNew;
  if (bNotify && pViewNew) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() {
  CView* view = GetActiveView();
  return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  if (bAddToTitle && doc)
    UpdateFrameTitleForDocument(doc->GetTitle().c_str());
  else
    UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName) {
  std::string title;
  bool hasDoc = lpszDocName && *lpszDocName;
  if (GetStyle() & FWS_PREFIXTITLE) {
    if (hasDoc) title = std::string(lpszDocName) + " - ";
    title += m_strTitle;
  } else {
    title = m_strTitle;
    if (hasDoc) title += std::string(" - ") + lpszDocName;
  }
  if (GetWindowText() != title) SetWindowText(title.c_str());  // no flicker when unchanged
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt) {
  if (!hMenuAlt) hMenuAlt = m_hMenuDefault;
  if (::GetMenu(m_hWnd) != hMenuAlt) ::SetMenu(m_hWnd, hMenuAlt);
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible) {
  if (!GetActiveView()) {
    if (auto* view = dynamic_cast<CView*>(GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE))) SetActiveView(view, FALSE);
  }
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  if (bMakeVisible) {
    ActivateFrame();
    if (CView* view = GetActiveView()) view->OnActivateView(TRUE, view, view);
  }
  OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ShowForActivation(int nCmdShow) {
  if (nCmdShow == -1) {
    if (!IsWindowVisible())
      nCmdShow = SW_SHOWNORMAL;
    else if (IsIconic())
      nCmdShow = SW_RESTORE;
  }
  if (nCmdShow != -1) ShowWindow(nCmdShow);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  ShowForActivation(nCmdShow);
  if (!(GetStyle() & WS_CHILD)) ::SetForegroundWindow(m_hWnd);
  ::BringWindowToTop(m_hWnd);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    HACCEL hAccel = GetDefaultAccelerator();
    return hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg);
  }
  return FALSE;
}

void CFrameWnd::PostNcDestroy() { delete this; }
