#include "Wnd.h"

#include <cstdio>
#include <set>
#include <string>

#include "AfxState.h"
#include "DataExchange.h"
#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "MessageBox.h"
#include "WinApp.h"

// --- Thread state ---

AfxThreadState::~AfxThreadState() {
  for (auto& [hwnd, wnd] : temporaryMap) wnd->m_hWnd = nullptr;
}

AfxThreadState& AfxGetThreadState() {
  static thread_local AfxThreadState state;
  return state;
}

const MSG* AfxGetCurrentMessage() { return &AfxGetThreadState().lastSentMsg; }

void AfxDeleteTempMap() {
  AfxThreadState& st = AfxGetThreadState();
  auto temps = std::move(st.temporaryMap);
  st.temporaryMap.clear();
  for (auto& [hwnd, wnd] : temps) wnd->m_hWnd = nullptr;  // temporaries never touch their window
}

namespace {

// Binds hWnd to pWnd in the permanent map, dropping a temporary object for it.
void BindWindow(CWnd* pWnd, HWND hWnd) {
  AfxThreadState& st = AfxGetThreadState();
  auto temp = st.temporaryMap.find(hWnd);
  if (temp != st.temporaryMap.end()) {
    temp->second->m_hWnd = nullptr;
    st.temporaryMap.erase(temp);
  }
  st.permanentMap[hWnd] = pWnd;
  pWnd->m_hWnd = hWnd;
}

void UnbindWindow(CWnd* pWnd) {
  AfxThreadState& st = AfxGetThreadState();
  if (pWnd->m_hWnd) {
    auto it = st.permanentMap.find(pWnd->m_hWnd);
    if (it != st.permanentMap.end() && it->second == pWnd) st.permanentMap.erase(it);
  }
  pWnd->m_hWnd = nullptr;
}

// Routes the window's messages through AfxWndProc, remembering its own procedure.
void SubclassToFramework(CWnd* pWnd, HWND hWnd) {
  WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
  if (current != AfxWndProc) {
    pWnd->m_pfnSuper = current;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
  }
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  AfxThreadState& st = AfxGetThreadState();
  HHOOK hook = st.hHookCbt;
  if (code != HCBT_CREATEWND || st.pWndInit == nullptr) return ::CallNextHookEx(hook, code, wParam, lParam);

  HWND hWnd = reinterpret_cast<HWND>(wParam);
  CWnd* pWnd = st.pWndInit;
  st.pWndInit = nullptr;
  BindWindow(pWnd, hWnd);
  SubclassToFramework(pWnd, hWnd);

  LRESULT r = ::CallNextHookEx(hook, code, wParam, lParam);
  // Later windows (the new window's children) are not ours to bind.
  if (st.hHookCbt) {
    ::UnhookWindowsHookEx(st.hHookCbt);
    st.hHookCbt = nullptr;
  }
  return r;
}

// Unbinds a window after WM_NCDESTROY and lets its object clean up.
void FinishNcDestroy(CWnd* pWnd, HWND hWnd) {
  AfxThreadState& st = AfxGetThreadState();
  auto it = st.permanentMap.find(hWnd);
  if (it == st.permanentMap.end() || it->second != pWnd) return;
  if (pWnd->m_pfnSuper) {
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
    pWnd->m_pfnSuper = nullptr;
  }
  UnbindWindow(pWnd);
  pWnd->m_nFlags &= ~WF_OWNSWINDOW;

  // The main window is gone: the program ends.
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == pWnd) {
    app->m_pMainWnd = nullptr;
    AfxPostQuitMessage(0);
  }
  // A window destroyed while it was being created stays with its creator.
  if (!(pWnd->m_nFlags & WF_CREATING)) pWnd->PostNcDestroy();
}

}  // namespace

void AfxHookWindowCreate(CWnd* pWnd) {
  AfxThreadState& st = AfxGetThreadState();
  if (!st.hHookCbt) st.hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
  st.pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
  AfxThreadState& st = AfxGetThreadState();
  if (st.hHookCbt) {
    ::UnhookWindowsHookEx(st.hHookCbt);
    st.hHookCbt = nullptr;
  }
  BOOL bound = st.pWndInit == nullptr;
  st.pWndInit = nullptr;
  return bound;
}

// --- Window procedure ---

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  AfxThreadState& st = AfxGetThreadState();
  MSG saved = st.lastSentMsg;
  st.lastSentMsg.hwnd = hWnd;
  st.lastSentMsg.message = message;
  st.lastSentMsg.wParam = wParam;
  st.lastSentMsg.lParam = lParam;

  LRESULT result = 0;
  try {
    result = pWnd->WindowProc(message, wParam, lParam);
  } catch (const CUserException&) {
    // Validation failed outside UpdateData; the user has been told already.
    result = (message == WM_CREATE) ? -1 : 0;
  } catch (...) {
    // Nothing may unwind through the system's code. Report and give the safe answer.
    if (message == WM_CREATE) {
      result = -1;
    } else if (message == WM_NCCREATE) {
      result = FALSE;
    } else {
      if (message == WM_PAINT) ::ValidateRect(hWnd, nullptr);
      result = 0;
    }
    AfxMessageBox(AFX_IDP_INTERNAL_FAILURE, MB_ICONSTOP);
  }
  st.lastSentMsg = saved;
  if (message == WM_NCDESTROY) FinishNcDestroy(pWnd, hWnd);
  return result;
}

// --- CWnd ---

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (!m_hWnd) return;
  AfxThreadState& st = AfxGetThreadState();
  auto it = st.permanentMap.find(m_hWnd);
  if (it == st.permanentMap.end() || it->second != this) {
    m_hWnd = nullptr;
    return;
  }
  HWND hWnd = m_hWnd;
  bool owns = (m_nFlags & WF_OWNSWINDOW) != 0;
  if (m_pfnSuper && ::IsWindow(hWnd)) {
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  UnbindWindow(this);
  // The object is going: its window goes too, without reaching this half-destroyed object.
  if (owns && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  AfxThreadState& st = AfxGetThreadState();
  auto it = st.permanentMap.find(hWnd);
  return it != st.permanentMap.end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* w = FromHandlePermanent(hWnd)) return w;
  AfxThreadState& st = AfxGetThreadState();
  auto it = st.temporaryMap.find(hWnd);
  if (it != st.temporaryMap.end()) return it->second.get();
  auto temp = std::make_unique<CWnd>();
  temp->m_hWnd = hWnd;
  CWnd* p = temp.get();
  st.temporaryMap.emplace(hWnd, std::move(temp));
  return p;
}

BOOL CWnd::Attach(HWND hWnd) {
  if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
  BindWindow(this, hWnd);
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (m_pfnSuper) return UnsubclassWindow();
  UnbindWindow(this);
  m_nFlags &= ~WF_OWNSWINDOW;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  SubclassToFramework(this, hWnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent || !pParent->m_hWnd) return FALSE;
  HWND hCtl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  if (h && m_pfnSuper) ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  UnbindWindow(this);
  m_nFlags &= ~WF_OWNSWINDOW;
  return h;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;  // already has a window
  CREATESTRUCTA cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) return FALSE;

  m_nFlags |= WF_CREATING;
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  m_nFlags &= ~WF_CREATING;

  if (!hWnd) {
    // The window may have been bound and destroyed again (WM_CREATE returned -1).
    if (m_hWnd) UnbindWindow(this);
    m_pfnSuper = nullptr;
    return FALSE;
  }
  if (m_hWnd != hWnd) {
    // Not bound by the creation hook (should not happen): bind it now.
    if (m_hWnd) UnbindWindow(this);
    BindWindow(this, hWnd);
    SubclassToFramework(this, hWnd);
  }
  m_nFlags |= WF_OWNSWINDOW;
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, AfxGetSafeHwnd(pParentWnd),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

namespace {

// The control a parent-notification message comes from, or null.
HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      return mis && mis->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(mis->CtlID)) : nullptr;
    }
    case WM_DELETEITEM:
      return lParam ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_COMPAREITEM:
      return lParam ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
      (void)wParam;
      return nullptr;
  }
}

}  // namespace

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (HWND child = NotifyingChild(m_hWnd, message, wParam, lParam)) {
    CWnd* control = FromHandlePermanent(child);
    if (control && control != this) {
      LRESULT r = 0;
      if (control->OnChildNotify(message, wParam, lParam, &r)) {
        *pResult = r;
        return TRUE;
      }
    }
  }
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    LRESULT r = 0;
    if (!OnNotify(wParam, lParam, &r)) return FALSE;
    *pResult = r;
    return TRUE;
  }
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message);
  if (!e) return FALSE;
  AFX_MSG_CALL call;
  call.message = message;
  call.wParam = wParam;
  call.lParam = lParam;
  *pResult = e->pfn(this, call);
  return TRUE;
}

namespace {

// Collects the state an update handler gives a command, without any user interface.
class CTestCmdUI : public CCmdUI {
 public:
  BOOL m_bEnabled = TRUE;
  void Enable(BOOL bOn) override {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCSTR) override {}
};

}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (nID == 0) return FALSE;
  if (!hWndCtrl) {
    // A menu item or accelerator: refuse a command that its update handler disables now.
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state);
    if (!state.m_bEnabled) return TRUE;
    nCode = CN_COMMAND;
  } else if (AfxGetThreadState().hLockoutNotifyWindow == m_hWnd) {
    return TRUE;  // data exchange in progress: control notifications are ignored
  }
  return OnCmdMsg(nID, nCode, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
  if (!nm) return FALSE;
  if (nm->hwndFrom && AfxGetThreadState().hLockoutNotifyWindow == m_hWnd) return TRUE;
  AFX_NOTIFY notify{pResult, nm};
  return OnCmdMsg(static_cast<UINT>(nm->idFrom), AfxNotifyCode(static_cast<int>(nm->code)), &notify);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& m = AfxGetThreadState().lastSentMsg;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  AfxThreadState& st = AfxGetThreadState();
  HWND oldLockout = st.hLockoutNotifyWindow;
  st.hLockoutNotifyWindow = m_hWnd;
  CDataExchange dx(this, bSaveAndValidate);
  BOOL ok = TRUE;
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    ok = FALSE;
  }
  st.hLockoutNotifyWindow = oldLockout;
  return ok;
}

// --- Modal loops ---

int CWnd::RunModalLoop(DWORD dwFlags) {
  m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
  bool showOnIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
  bool idle = true;
  LONG idleCount = 0;
  MSG msg;
  HWND hWnd = m_hWnd;
  while (m_nFlags & WF_CONTINUEMODAL) {
    // Idle phase: show the window and give the dialog its idle calls.
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (showOnIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        showOnIdle = false;
      }
      if ((dwFlags & MLF_NOKICKIDLE) || !::SendMessageA(hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++)) idle = false;
    }
    // Message phase.
    do {
      if (!AfxPumpMessage()) {
        // WM_QUIT: AfxPumpMessage posted it again for the outer loop.
        m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
        m_nModalResult = -1;
        return -1;
      }
      if (!(m_nFlags & WF_CONTINUEMODAL) || !::IsWindow(hWnd)) break;
      CWinApp* app = AfxGetApp();
      MSG* cur = app ? &app->m_msgCur : nullptr;
      if (!cur || (app->IsIdleMessage(cur))) {
        idle = true;
        idleCount = 0;
      }
    } while ((m_nFlags & WF_CONTINUEMODAL) && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    if (!::IsWindow(hWnd)) break;
  }
  m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
  return m_nModalResult;
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
  }
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    if (CWnd* w = FromHandlePermanent(hWnd)) {
      if (w->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

// --- Wrappers ---

namespace {

void SendToDescendants(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  for (HWND child = ::GetTopWindow(parent); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    if (bOnlyPerm) {
      if (CWnd* w = CWnd::FromHandlePermanent(child)) AfxCallWndProc(w, child, message, wParam, lParam);
    } else {
      ::SendMessageA(child, message, wParam, lParam);
    }
    if (bDeep && ::IsWindow(child) && ::GetTopWindow(child))
      SendToDescendants(child, message, wParam, lParam, bDeep, bOnlyPerm);
  }
}

}  // namespace

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  SendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

void CWnd::GetLayoutOrder(std::vector<HWND>& children) const {
  children.clear();
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT))
    children.push_back(child);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
  AFX_SIZEPARENTPARAMS layout{};
  layout.bStretch = bStretch;
  if (lpRectClient)
    layout.rect = *lpRectClient;
  else
    ::GetClientRect(m_hWnd, &layout.rect);
  std::vector<HWND> children;
  GetLayoutOrder(children);
  HWND hWndLeftOver = nullptr;
  layout.hDWP = (nFlag == reposQuery) ? nullptr : ::BeginDeferWindowPos(children.empty() ? 1 : static_cast<int>(children.size()));
  for (HWND child : children) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == nIDLeftOver) {
      if (!hWndLeftOver) hWndLeftOver = child;
    } else if (id >= nIDFirst && id <= nIDLast && FromHandlePermanent(child)) {
      ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
  }
  if (nFlag == reposQuery) {
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
    if (lpRectParam) {
      if (bStretch)
        ::CopyRect(lpRectParam, &layout.rect);
      else {
        lpRectParam->left = lpRectParam->top = 0;
        lpRectParam->right = layout.sizeTotal.cx;
        lpRectParam->bottom = layout.sizeTotal.cy;
      }
    }
    return;
  }
  if (nIDLeftOver != 0 && hWndLeftOver) {
    RECT r = layout.rect;
    if (nFlag == reposExtra && lpRectParam) {
      r.left += lpRectParam->left;
      r.top += lpRectParam->top;
      r.right -= lpRectParam->right;
      r.bottom -= lpRectParam->bottom;
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    if (layout.hDWP)
      layout.hDWP = ::DeferWindowPos(layout.hDWP, hWndLeftOver, nullptr, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

std::string CWnd::GetDlgItemText(int nID) const { return AfxGetWindowText(::GetDlgItem(m_hWnd, nID)); }

std::string CWnd::GetWindowText() const { return AfxGetWindowText(m_hWnd); }

std::string AfxGetWindowText(HWND h) {
  if (!h) return {};
  int len = ::GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
  int got = ::GetWindowTextA(h, s.data(), len + 1);
  s.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return s;
}

void CWnd::ClientToScreen(LPRECT r) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::ScreenToClient(LPRECT r) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::CenterWindow(HWND alternateOwner) {
  DWORD style = GetStyle();
  HWND hCenter = alternateOwner;
  if (!hCenter) hCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  RECT rcDlg;
  ::GetWindowRect(m_hWnd, &rcDlg);
  RECT rcArea, rcCenter;
  if (style & WS_CHILD) {
    HWND parent = ::GetParent(m_hWnd);
    ::GetClientRect(parent, &rcArea);
    if (hCenter && hCenter != parent) {
      ::GetWindowRect(hCenter, &rcCenter);
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
    } else {
      rcCenter = rcArea;
    }
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&rcDlg), 2);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
      ::GetWindowRect(hCenter, &rcCenter);
    else
      rcCenter = rcArea;
  }
  int w = rcDlg.right - rcDlg.left, h = rcDlg.bottom - rcDlg.top;
  int left = (rcCenter.left + rcCenter.right) / 2 - w / 2;
  int top = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
  // Keep it inside the area.
  if (left + w > rcArea.right) left = rcArea.right - w;
  if (left < rcArea.left) left = rcArea.left;
  if (top + h > rcArea.bottom) top = rcArea.bottom - h;
  if (top < rcArea.top) top = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  if (!lpszCaption) lpszCaption = AfxGetAppName();
  return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetStyle();
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetExStyle();
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

CFrameWnd* CWnd::GetParentFrame() const {
  if (!m_hWnd) return nullptr;
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h))) return frame;
  }
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  if (!m_hWnd) return nullptr;
  CFrameWnd* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(m_hWnd));
  if (!frame) frame = GetParentFrame();
  while (frame) {
    CFrameWnd* up = frame->GetParentFrame();
    if (!up) break;
    frame = up;
  }
  return frame;
}

CWnd* CWnd::GetTopLevelParent() const {
  if (!m_hWnd) return nullptr;
  HWND top = m_hWnd;
  for (;;) {
    HWND up = (::GetWindowLongPtrA(top, GWL_STYLE) & WS_CHILD) ? ::GetParent(top) : ::GetWindow(top, GW_OWNER);
    if (!up) break;
    top = up;
  }
  return FromHandle(top);
}

namespace {

HWND FindDescendant(HWND parent, int nID, BOOL bOnlyPerm) {
  for (HWND child = ::GetTopWindow(parent); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(child) == nID && (!bOnlyPerm || CWnd::FromHandlePermanent(child))) return child;
  }
  for (HWND child = ::GetTopWindow(parent); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    if (HWND found = FindDescendant(child, nID, bOnlyPerm)) return found;
  }
  return nullptr;
}

}  // namespace

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
  HWND h = FindDescendant(m_hWnd, nID, bOnlyPerm);
  return bOnlyPerm ? FromHandlePermanent(h) : FromHandle(h);
}
