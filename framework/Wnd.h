// CWnd: a C++ object bound to an HWND. Messages of a bound window run through WindowProc,
// which looks the message up in the object's message map (commands and notifications are
// routed through OnCmdMsg) and passes whatever is not handled to DefWindowProc.
//
// Windows made by CreateEx are bound before their first message (WM_GETMINMAXINFO /
// WM_NCCREATE) arrives, also when they belong to a class the system registered (controls,
// dialogs, MDI children): those are subclassed and their own procedure serves as the default.
// A window that exists already can be bound with SubclassWindow / SubclassDlgItem.
//
// When the window is destroyed, the object is unbound after WM_NCDESTROY and PostNcDestroy runs
// (frames delete themselves there). If creation itself fails, PostNcDestroy is not called and the
// object stays with its creator.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CmdTarget.h"
#include "Geometry.h"
#include "MessageMap.h"

class CFrameWnd;
class CDataExchange;

// Private framework messages (MFC's numbers).
constexpr UINT WM_SIZEPARENT = 0x0361;
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;  // wParam: disable commands without a handler
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr UINT WM_RECALCPARENT = 0x0368;
constexpr UINT WM_KICKIDLE = 0x036A;          // sent to modal dialogs while their queue is empty

// What WM_SIZEPARENT carries (lParam): the rectangle still free, to be reduced by each bar.
struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP;      // deferred positions, or null when only measuring
  RECT rect;      // the free rectangle
  SIZE sizeTotal; // total size taken by the bars
  BOOL bStretch;  // bars stretch to the full width/height
};

// Flags of CWnd::m_nFlags.
constexpr UINT WF_MODALLOOP = 0x0001;       // RunModalLoop is running
constexpr UINT WF_CONTINUEMODAL = 0x0002;   // ... and should go on
constexpr UINT WF_CREATING = 0x0004;        // inside CreateEx
constexpr UINT WF_OWNSWINDOW = 0x0008;      // CreateEx made the window: the destructor destroys it

// Flags of RunModalLoop.
constexpr DWORD MLF_NOIDLEMSG = 0x0001;
constexpr DWORD MLF_NOKICKIDLE = 0x0002;
constexpr DWORD MLF_SHOWONIDLE = 0x0004;

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  WNDPROC m_pfnSuper = nullptr;  // the subclassed window's own procedure, or null
  UINT m_nFlags = 0;
  int m_nModalResult = 0;

  HWND GetSafeHwnd() const noexcept { return m_hWnd; }
  operator HWND() const noexcept { return GetSafeHwnd(); }  // NOLINT(google-explicit-constructor)

  // The object bound to a window; FromHandle makes a temporary one for an unbound window
  // (deleted at the next idle time, so never keep the pointer), FromHandlePermanent returns
  // null for it.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Binds without routing messages (the window keeps its procedure) / unbinds.
  BOOL Attach(HWND hWnd);
  HWND Detach();
  // Binds and routes the window's messages through this object.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // --- Creation ---
  virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x,
                        int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                        LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  // A child window (WS_CHILD is added).
  virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID);
  virtual BOOL DestroyWindow();

  // --- Overridables ---
  // Adjusts the creation parameters; cs.lpszClass may be set to a registered class name.
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  // Called right after a window is subclassed (not for windows made by CreateEx).
  virtual void PreSubclassWindow();
  // Chance to translate a message before it is dispatched (accelerators, dialog keys).
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Looks the message up in the map; TRUE when a handler ran (*pResult holds its result).
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // A control gets the first chance at what it sends its parent (WM_COMMAND, WM_NOTIFY,
  // WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM, WM_CTLCOLORxxx, WM_H/VSCROLL,
  // WM_CHARTOITEM, WM_VKEYTOITEM): the parent calls this on the control's object (when the
  // control is bound) before its own handling. TRUE with *pResult ends the message there.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone and the object unbound; frames delete themselves.
  virtual void PostNcDestroy();
  // Transfers data between controls and members (dialogs and form-like windows).
  virtual void DoDataExchange(CDataExchange* pDX);
  // bSaveAndValidate TRUE: controls -> members with validation; FALSE: members -> controls.
  // FALSE when validation failed (the user was told and the control focused).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Runs the default procedure with the message being handled now.
  LRESULT Default();

  // --- Modal loops ---
  int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int nResult);

  // PreTranslateMessage of every bound window from pMsg->hwnd up to hWndStop (inclusive).
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // --- Thin wrappers ---
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
  BOOL IsChild(HWND hWnd) const { return ::IsChild(m_hWnd, hWnd); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
  }
  // Sends to every descendant window (bDeep) or to the children only; bOnlyPerm: only to
  // bound windows (through their WindowProc).
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                BOOL bOnlyPerm = FALSE);
  // Lays out the child windows with ids nIDFirst..nIDLast (control bars) by asking each with
  // WM_SIZEPARENT for its share of the client area, in the order GetLayoutOrder gives; the
  // child nIDLeftOver gets what remains. reposQuery only computes the remaining rectangle into
  // lpRectParam.
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

  CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
  HWND GetDlgItemHwnd(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  void SetDlgItemText(int nID, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, nID, text); }
  std::string GetDlgItemText(int nID) const;
  void SetDlgItemInt(int nID, UINT value, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, value, bSigned); }
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
  }
  void CheckDlgButton(int nID, UINT nCheck) { ::CheckDlgButton(m_hWnd, nID, nCheck); }
  void CheckRadioButton(int first, int last, int check) { ::CheckRadioButton(m_hWnd, first, last, check); }
  UINT IsDlgButtonChecked(int nID) const { return ::IsDlgButtonChecked(m_hWnd, nID); }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
  }

  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  std::string GetWindowText() const;
  int GetWindowText(LPSTR buffer, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, buffer, nMaxCount); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  CRect GetClientRect() const {
    CRect r;
    ::GetClientRect(m_hWnd, &r);
    return r;
  }
  CRect GetWindowRect() const {
    CRect r;
    ::GetWindowRect(m_hWnd, &r);
    return r;
  }
  void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
  void ClientToScreen(LPRECT r) const;
  void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(LPRECT r) const;
  void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint); }
  void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint);
  }
  BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
  }
  // Centres the window over its owner (or alternateOwner, or the work area).
  void CenterWindow(HWND alternateOwner = nullptr);
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT rect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, rect, bErase); }
  void ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
  BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN rgn = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rect, rgn, flags);
  }
  void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }

  // A message box owned by this window; caption defaults to the application title.
  int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
  // The nearest frame window above this one (bound frames only), or null.
  CFrameWnd* GetParentFrame() const;
  // The outermost frame above (or this window when it is one).
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;

  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
  static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }

  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU hMenu) { return ::SetMenu(m_hWnd, hMenu); }
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(::SendMessage(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon));
  }
  HICON GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(::SendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
  }
  void SetFont(HFONT hFont, BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)hFont, bRedraw); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)); }
  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }

 protected:
  // The children RepositionBars asks, in that order: here every child in Z-order (frames put
  // their docked bars first, in docking order).
  virtual void GetLayoutOrder(std::vector<HWND>& children) const;

  // --- Default message handlers: each runs the default procedure (see MessageMap.h) ---
  int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
  void OnDestroy() { Default(); }
  void OnNcDestroy() { Default(); }
  void OnClose() { Default(); }
  void OnSize(UINT, int, int) { Default(); }
  void OnMove(int, int) { Default(); }
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
  void OnTimer(UINT_PTR) { Default(); }
  void OnSysCommand(UINT, LPARAM) { Default(); }
  void OnHotKey(UINT, UINT, UINT) { Default(); }
  void OnSetFocus(HWND) { Default(); }
  void OnKillFocus(HWND) { Default(); }
  void OnActivate(UINT, HWND, BOOL) { Default(); }
  void OnActivateApp(BOOL, DWORD) { Default(); }
  BOOL OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
  void OnShowWindow(BOOL, UINT) { Default(); }
  void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
  void OnWindowPosChanging(WINDOWPOS*) { Default(); }
  void OnWindowPosChanged(WINDOWPOS*) { Default(); }
  BOOL OnQueryEndSession() { return static_cast<BOOL>(Default()); }
  void OnEndSession(BOOL) { Default(); }
  void OnMouseMove(UINT, CPoint) { Default(); }
  void OnLButtonDown(UINT, CPoint) { Default(); }
  void OnLButtonUp(UINT, CPoint) { Default(); }
  void OnLButtonDblClk(UINT, CPoint) { Default(); }
  void OnRButtonDown(UINT, CPoint) { Default(); }
  void OnRButtonUp(UINT, CPoint) { Default(); }
  void OnRButtonDblClk(UINT, CPoint) { Default(); }
  void OnMButtonDown(UINT, CPoint) { Default(); }
  void OnMButtonUp(UINT, CPoint) { Default(); }
  BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
  int OnMouseActivate(HWND, UINT, UINT) { return static_cast<int>(Default()); }
  BOOL OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
  void OnCaptureChanged(HWND) { Default(); }
  void OnCancelMode() { Default(); }
  LRESULT OnNcHitTest(CPoint) { return Default(); }
  void OnNcMouseMove(UINT, CPoint) { Default(); }
  void OnNcLButtonDown(UINT, CPoint) { Default(); }
  void OnNcLButtonDblClk(UINT, CPoint) { Default(); }
  void OnNcPaint() { Default(); }
  void OnKeyDown(UINT, UINT, UINT) { Default(); }
  void OnKeyUp(UINT, UINT, UINT) { Default(); }
  void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
  void OnSysKeyUp(UINT, UINT, UINT) { Default(); }
  void OnChar(UINT, UINT, UINT) { Default(); }
  UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  void OnContextMenu(HWND, CPoint) { Default(); }
  void OnInitMenu(HMENU) { Default(); }
  void OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
  void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
  LRESULT OnMenuChar(UINT, UINT, HMENU) { return Default(); }
  void OnEnterMenuLoop(BOOL) { Default(); }
  void OnExitMenuLoop(BOOL) { Default(); }
  void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
  void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
  void OnHScroll(UINT, UINT, HWND) { Default(); }
  void OnVScroll(UINT, UINT, HWND) { Default(); }
  HBRUSH OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
  void OnPaletteChanged(HWND) { Default(); }
  BOOL OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
  void OnSysColorChange() { Default(); }
  void OnSettingChange(UINT, LPCSTR) { Default(); }
  void OnMDIActivate(BOOL, HWND, HWND) { Default(); }
  void OnChildActivate() { Default(); }
  void OnDropFiles(HDROP) { Default(); }
  BOOL OnCopyData(HWND, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
  void OnDisplayChange(UINT, int, int) { Default(); }

  DECLARE_MESSAGE_MAP()

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
  friend struct AfxWndInternals;
};

// The window of pWnd, or null when pWnd is null.
inline HWND AfxGetSafeHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : nullptr; }

// The window procedure of every bound window and of the classes the framework registers.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The message being handled now on this thread (for Default()).
const MSG* AfxGetCurrentMessage();

// The whole text of a window or control; empty for none.
std::string AfxGetWindowText(HWND hWnd);

// --- Window classes ---

// Registers (once) a class with AfxWndProc and returns its generated name ("Afx:..."), which
// stays valid for the process's life.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
// Registers (once) a class with AfxWndProc under a chosen name. Returns the name, or null when
// the name belongs to an incompatible class already.
LPCSTR AfxRegisterNamedWndClass(LPCSTR lpszClassName, UINT nClassStyle, HCURSOR hCursor = nullptr,
                                HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr, HICON hIconSmall = nullptr);
// Registers (once) a copy of an existing class under another name, with another icon when one
// is given (for example the main frame's "LumatreMainFrameClass"). Returns the new name or null.
LPCSTR AfxRegisterClassCopy(LPCSTR lpszExistingClass, LPCSTR lpszNewName, HICON hIcon = nullptr,
                            HICON hIconSmall = nullptr);
// Registers a class described by the caller; a null lpfnWndProc becomes AfxWndProc. TRUE when
// the class exists afterwards.
BOOL AfxRegisterClass(WNDCLASSA* lpWndClass);

// The framework's default classes.
LPCSTR AfxFrameWndClass();     // frames and views: double clicks, redraw on size, window background
LPCSTR AfxMDIFrameWndClass();  // MDI frames: no background (the client covers it)
