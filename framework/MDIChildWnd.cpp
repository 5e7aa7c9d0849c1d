#include "MDIChildWnd.h"

#include "AfxState.h"
#include "Document.h"
#include "MDIFrameWnd.h"
#include "MessageBox.h"
#include "View.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_WM_MDIACTIVATE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= WS_CHILD;
  if (!cs.lpszClass) cs.lpszClass = AfxFrameWndClass();
  return TRUE;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  if (!m_hWnd) return nullptr;
  HWND client = ::GetParent(m_hWnd);
  return client ? dynamic_cast<CMDIFrameWnd*>(FromHandlePermanent(::GetParent(client))) : nullptr;
}

BOOL CMDIChildWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext) {
  if (m_hWnd) return FALSE;
  if (!pParentWnd) pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
  if (!pParentWnd || !pParentWnd->m_hWndMDIClient) return FALSE;

  CREATESTRUCTA cs{};
  cs.style = dwStyle | WS_CHILD;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  if (rect.left == rectDefault.left && rect.top == rectDefault.top && rect.right == 0 && rect.bottom == 0) {
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
  } else {
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
  }
  cs.hwndParent = pParentWnd->m_hWndMDIClient;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = pContext;
  if (!PreCreateWindow(cs)) return FALSE;

  m_strTitle = cs.lpszName ? cs.lpszName : "";
  MDICREATESTRUCTA mcs{};
  mcs.szClass = cs.lpszClass;
  mcs.szTitle = cs.lpszName;
  mcs.hOwner = cs.hInstance;
  mcs.x = cs.x;
  mcs.y = cs.y;
  mcs.cx = cs.cx;
  mcs.cy = cs.cy;
  // Made hidden and shown below, so it appears once, in its final state.
  mcs.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);
  mcs.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);

  m_pCreateContext = pContext;
  m_nFlags |= WF_CREATING;
  AfxHookWindowCreate(this);
  HWND hWnd = reinterpret_cast<HWND>(
      ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  AfxUnhookWindowCreate();
  m_nFlags &= ~WF_CREATING;
  m_pCreateContext = nullptr;
  if (!hWnd) {
    if (m_hWnd) Detach();
    m_pfnSuper = nullptr;
    return FALSE;
  }
  m_nFlags |= WF_OWNSWINDOW;

  if (cs.style & WS_VISIBLE) {
    ::BringWindowToTop(hWnd);
    if (cs.style & WS_MINIMIZE)
      ShowWindow(SW_SHOWMINIMIZED);
    else if ((cs.style & WS_MAXIMIZE) || ::IsZoomed(hWnd))  // the client may have maximised it
      ShowWindow(SW_SHOWMAXIMIZED);
    else
      ShowWindow(SW_SHOWNORMAL);
    pParentWnd->MDIActivate(this);
    ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
  }
  return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  std::string full;
  if (AfxLoadString(nIDResource, full)) m_strTitle = full.substr(0, full.find('\n'));
  LPCSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
  CMDIFrameWnd* frame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
  std::string title = m_strTitle;
  if (!Create(lpszClass, title.c_str(), dwDefaultStyle, rectDefault, frame, pContext)) return FALSE;
  HINSTANCE hInst = AfxGetResourceHandle();
  if (::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */))
    m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
  if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  CMDIFrameWnd* frame = GetMDIFrame();
  HWND hFrame = frame ? frame->m_hWnd : nullptr;
  // Keep the frame's caption still while the child goes.
  DWORD frameStyle = hFrame ? static_cast<DWORD>(::GetWindowLongPtrA(hFrame, GWL_STYLE)) : 0;
  if (hFrame) ::SetWindowLongPtrA(hFrame, GWL_STYLE, static_cast<LONG_PTR>(frameStyle & ~FWS_ADDTOTITLE));
  MDIDestroy();  // this object is gone now
  if (hFrame && ::IsWindow(hFrame) && CWnd::FromHandlePermanent(hFrame) == frame) {
    ::SetWindowLongPtrA(hFrame, GWL_STYLE, static_cast<LONG_PTR>(frameStyle));
    if (!frame->MDIGetActive()) frame->OnUpdateFrameMenu(nullptr);
    frame->OnUpdateFrameTitle(TRUE);
  }
  return TRUE;
}

void CMDIChildWnd::MDIDestroy() {
  HWND client = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (client) ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate() {
  HWND client = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (client) ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize() {
  HWND client = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (client) ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore() {
  HWND client = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (client) ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CMDIChildWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (OnCmdMsgViewAndSelf(nID, nCode, pExtra)) return TRUE;
  // Reached directly (not through the frame): the frame and the application come next.
  if (CMDIFrameWnd* frame = GetMDIFrame()) return frame->OnCmdMsg(nID, nCode, pExtra);
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg) {
  // Child accelerators send their commands to the frame (the child has no menu of its own).
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    CMDIFrameWnd* frame = GetMDIFrame();
    HACCEL hAccel = GetDefaultAccelerator();
    return frame && hAccel && ::TranslateAcceleratorA(frame->m_hWnd, hAccel, pMsg);
  }
  return FALSE;
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt) {
  CMDIFrameWnd* frame = GetMDIFrame();
  if (!frame) return;
  if (bActivate) {
    HMENU menu = hMenuAlt ? hMenuAlt : (m_hMenuShared ? m_hMenuShared : frame->m_hMenuDefault);
    frame->MDISetMenu(menu, frame->GetWindowMenuPopup(menu));
  } else if (pActivateWnd == nullptr) {
    // The last child goes: back to the frame's own menu.
    HMENU menu = frame->m_hMenuDefault;
    frame->MDISetMenu(menu, frame->GetWindowMenuPopup(menu));
  } else {
    ::SendMessageA(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    ::DrawMenuBar(frame->m_hWnd);
  }
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, HWND hActivateWnd, HWND) {
  CWnd::OnMDIActivate(bActivate, hActivateWnd, nullptr);  // DefMDIChildProc
  if (bActivate) {
    OnUpdateFrameMenu(TRUE, this, nullptr);
  } else if (!hActivateWnd) {
    OnUpdateFrameMenu(FALSE, nullptr, nullptr);
  }
  if (CView* view = GetActiveView()) view->OnActivateView(bActivate, view, view);
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->DelayUpdateFrameTitle();
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  // Maximised or not, the frame's title changes.
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->DelayUpdateFrameTitle();
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  std::string title = (bAddToTitle && doc) ? doc->GetTitle() : m_strTitle;
  if (GetWindowText() != title) SetWindowText(title.c_str());
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(bAddToTitle);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow) {
  ShowForActivation(nCmdShow);
  MDIActivate();
}
