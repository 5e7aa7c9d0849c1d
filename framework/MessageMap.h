// Window message entries with typed ("cracked") handlers, one per message, named after it.
// CWnd declares every handler listed here with a default body that calls Default(), so a
// derived handler can end with Base::OnXxx(...) to get the default processing.
//
// Window parameters are HWND, device contexts HDC, menus HMENU, points CPoint.
#pragma once

#include "CmdTarget.h"
#include "Geometry.h"

#define AFX_WM_ENTRY(msg, ...) {AfxEntry_Message, (UINT)(msg), 0, 0, 0, nullptr, AFX_THUNK(__VA_ARGS__)},

// int OnCreate(LPCREATESTRUCT cs): -1 fails the creation
#define ON_WM_CREATE() AFX_WM_ENTRY(WM_CREATE, return (LRESULT)self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(call.lParam));)
// void OnDestroy()
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, self->OnDestroy(); return 0;)
// void OnNcDestroy()
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, self->OnNcDestroy(); return 0;)
// void OnClose()
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, self->OnClose(); return 0;)
// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE() AFX_WM_ENTRY(WM_SIZE, self->OnSize((UINT)call.wParam, (short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return 0;)
// void OnMove(int x, int y)
#define ON_WM_MOVE() AFX_WM_ENTRY(WM_MOVE, self->OnMove((short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return 0;)
// void OnPaint()
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, self->OnPaint(); return 0;)
// BOOL OnEraseBkgnd(HDC dc)
#define ON_WM_ERASEBKGND() AFX_WM_ENTRY(WM_ERASEBKGND, return (LRESULT)self->OnEraseBkgnd(reinterpret_cast<HDC>(call.wParam));)
// void OnTimer(UINT_PTR idEvent)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, self->OnTimer((UINT_PTR)call.wParam); return 0;)
// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND() AFX_WM_ENTRY(WM_SYSCOMMAND, self->OnSysCommand((UINT)call.wParam, call.lParam); return 0;)
// void OnHotKey(UINT hotKeyId, UINT modifiers, UINT virtualKey)
#define ON_WM_HOTKEY() AFX_WM_ENTRY(WM_HOTKEY, self->OnHotKey((UINT)call.wParam, LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
// void OnSetFocus(HWND oldFocus) / void OnKillFocus(HWND newFocus)
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, self->OnSetFocus(reinterpret_cast<HWND>(call.wParam)); return 0;)
#define ON_WM_KILLFOCUS() AFX_WM_ENTRY(WM_KILLFOCUS, self->OnKillFocus(reinterpret_cast<HWND>(call.wParam)); return 0;)
// void OnActivate(UINT state, HWND other, BOOL minimized)
#define ON_WM_ACTIVATE() AFX_WM_ENTRY(WM_ACTIVATE, self->OnActivate(LOWORD(call.wParam), reinterpret_cast<HWND>(call.lParam), HIWORD(call.wParam) != 0); return 0;)
// void OnActivateApp(BOOL active, DWORD threadId)
#define ON_WM_ACTIVATEAPP() AFX_WM_ENTRY(WM_ACTIVATEAPP, self->OnActivateApp((BOOL)call.wParam, (DWORD)call.lParam); return 0;)
// BOOL OnNcActivate(BOOL active)
#define ON_WM_NCACTIVATE() AFX_WM_ENTRY(WM_NCACTIVATE, return (LRESULT)self->OnNcActivate((BOOL)call.wParam);)
// void OnShowWindow(BOOL show, UINT status)
#define ON_WM_SHOWWINDOW() AFX_WM_ENTRY(WM_SHOWWINDOW, self->OnShowWindow((BOOL)call.wParam, (UINT)call.lParam); return 0;)
// void OnGetMinMaxInfo(MINMAXINFO* info)
#define ON_WM_GETMINMAXINFO() AFX_WM_ENTRY(WM_GETMINMAXINFO, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(call.lParam)); return 0;)
// void OnWindowPosChanging(WINDOWPOS*) / void OnWindowPosChanged(WINDOWPOS*)
#define ON_WM_WINDOWPOSCHANGING() AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(call.lParam)); return 0;)
#define ON_WM_WINDOWPOSCHANGED() AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(call.lParam)); return 0;)
// BOOL OnQueryEndSession() / void OnEndSession(BOOL ending)
#define ON_WM_QUERYENDSESSION() AFX_WM_ENTRY(WM_QUERYENDSESSION, return (LRESULT)self->OnQueryEndSession();)
#define ON_WM_ENDSESSION() AFX_WM_ENTRY(WM_ENDSESSION, self->OnEndSession((BOOL)call.wParam); return 0;)

// Mouse: void OnXxx(UINT flags, CPoint point) in client coordinates
#define AFX_WM_MOUSE_ENTRY(msg, fn) AFX_WM_ENTRY(msg, self->fn((UINT)call.wParam, CPoint::FromLParam(call.lParam)); return 0;)
#define ON_WM_MOUSEMOVE() AFX_WM_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
// BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint)
#define ON_WM_MOUSEWHEEL() AFX_WM_ENTRY(WM_MOUSEWHEEL, return (LRESULT)self->OnMouseWheel(LOWORD(call.wParam), (short)HIWORD(call.wParam), CPoint::FromLParam(call.lParam));)
// int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message)
#define ON_WM_MOUSEACTIVATE() AFX_WM_ENTRY(WM_MOUSEACTIVATE, return (LRESULT)self->OnMouseActivate(reinterpret_cast<HWND>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
// BOOL OnSetCursor(HWND window, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR() AFX_WM_ENTRY(WM_SETCURSOR, return (LRESULT)self->OnSetCursor(reinterpret_cast<HWND>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
// void OnCaptureChanged(HWND newCapture)
#define ON_WM_CAPTURECHANGED() AFX_WM_ENTRY(WM_CAPTURECHANGED, self->OnCaptureChanged(reinterpret_cast<HWND>(call.lParam)); return 0;)
// void OnCancelMode()
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, self->OnCancelMode(); return 0;)
// Non-client: LRESULT OnNcHitTest(CPoint screenPoint); void OnNcXxx(UINT hitTest, CPoint screenPoint)
#define ON_WM_NCHITTEST() AFX_WM_ENTRY(WM_NCHITTEST, return self->OnNcHitTest(CPoint::FromLParam(call.lParam));)
#define ON_WM_NCMOUSEMOVE() AFX_WM_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
// void OnNcPaint()
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, self->OnNcPaint(); return 0;)

// Keyboard: void OnXxx(UINT key, UINT repeatCount, UINT flags)
#define AFX_WM_KEY_ENTRY(msg, fn) AFX_WM_ENTRY(msg, self->fn((UINT)call.wParam, LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
#define ON_WM_KEYDOWN() AFX_WM_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_WM_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_SYSKEYDOWN() AFX_WM_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_WM_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_CHAR() AFX_WM_KEY_ENTRY(WM_CHAR, OnChar)
// UINT OnGetDlgCode()
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, return (LRESULT)self->OnGetDlgCode();)

// Menus
// void OnContextMenu(HWND window, CPoint screenPoint) (-1, -1 when opened from the keyboard)
#define ON_WM_CONTEXTMENU() AFX_WM_ENTRY(WM_CONTEXTMENU, self->OnContextMenu(reinterpret_cast<HWND>(call.wParam), CPoint::FromLParam(call.lParam)); return 0;)
// void OnInitMenu(HMENU menu)
#define ON_WM_INITMENU() AFX_WM_ENTRY(WM_INITMENU, self->OnInitMenu(reinterpret_cast<HMENU>(call.wParam)); return 0;)
// void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu)
#define ON_WM_INITMENUPOPUP() AFX_WM_ENTRY(WM_INITMENUPOPUP, self->OnInitMenuPopup(reinterpret_cast<HMENU>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam) != 0); return 0;)
// void OnMenuSelect(UINT itemId, UINT flags, HMENU menu)
#define ON_WM_MENUSELECT() AFX_WM_ENTRY(WM_MENUSELECT, self->OnMenuSelect(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HMENU>(call.lParam)); return 0;)
// LRESULT OnMenuChar(UINT ch, UINT flags, HMENU menu)
#define ON_WM_MENUCHAR() AFX_WM_ENTRY(WM_MENUCHAR, return self->OnMenuChar(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HMENU>(call.lParam));)
// void OnEnterMenuLoop(BOOL isTrackPopupMenu) / void OnExitMenuLoop(BOOL isTrackPopupMenu)
#define ON_WM_ENTERMENULOOP() AFX_WM_ENTRY(WM_ENTERMENULOOP, self->OnEnterMenuLoop((BOOL)call.wParam); return 0;)
#define ON_WM_EXITMENULOOP() AFX_WM_ENTRY(WM_EXITMENULOOP, self->OnExitMenuLoop((BOOL)call.wParam); return 0;)
// void OnMeasureItem(int controlId, MEASUREITEMSTRUCT*) / void OnDrawItem(int controlId, DRAWITEMSTRUCT*)
#define ON_WM_MEASUREITEM() AFX_WM_ENTRY(WM_MEASUREITEM, self->OnMeasureItem((int)call.wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam)); return TRUE;)
#define ON_WM_DRAWITEM() AFX_WM_ENTRY(WM_DRAWITEM, self->OnDrawItem((int)call.wParam, reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam)); return TRUE;)

// Scrolling: void OnHScroll(UINT code, UINT pos, HWND scrollBar)
#define ON_WM_HSCROLL() AFX_WM_ENTRY(WM_HSCROLL, self->OnHScroll(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HWND>(call.lParam)); return 0;)
#define ON_WM_VSCROLL() AFX_WM_ENTRY(WM_VSCROLL, self->OnVScroll(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HWND>(call.lParam)); return 0;)

// Colours of child controls: HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) with
// ctlType CTLCOLOR_EDIT, _LISTBOX, _BTN, _DLG, _SCROLLBAR or _STATIC.
#define AFX_CTLCOLOR_ENTRY(msg, type) AFX_WM_ENTRY(msg, return (LRESULT)self->OnCtlColor(reinterpret_cast<HDC>(call.wParam), reinterpret_cast<HWND>(call.lParam), type);)
#define ON_WM_CTLCOLOR()                                         \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLOREDIT, CTLCOLOR_EDIT)             \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX)       \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLORBTN, CTLCOLOR_BTN)               \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLORDLG, CTLCOLOR_DLG)               \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLORSCROLLBAR, CTLCOLOR_SCROLLBAR)   \
  AFX_CTLCOLOR_ENTRY(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC)

// Palettes: void OnPaletteChanged(HWND focusWnd) / BOOL OnQueryNewPalette()
#define ON_WM_PALETTECHANGED() AFX_WM_ENTRY(WM_PALETTECHANGED, self->OnPaletteChanged(reinterpret_cast<HWND>(call.wParam)); return 0;)
#define ON_WM_QUERYNEWPALETTE() AFX_WM_ENTRY(WM_QUERYNEWPALETTE, return (LRESULT)self->OnQueryNewPalette();)
// void OnSysColorChange() / void OnSettingChange(UINT flags, LPCSTR section)
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, self->OnSysColorChange(); return 0;)
#define ON_WM_SETTINGCHANGE() AFX_WM_ENTRY(WM_SETTINGCHANGE, self->OnSettingChange((UINT)call.wParam, reinterpret_cast<LPCSTR>(call.lParam)); return 0;)

// MDI: void OnMDIActivate(BOOL activate, HWND activated, HWND deactivated)
#define ON_WM_MDIACTIVATE() AFX_WM_ENTRY(WM_MDIACTIVATE, self->OnMDIActivate(reinterpret_cast<HWND>(call.lParam) == self->GetSafeHwnd(), reinterpret_cast<HWND>(call.lParam), reinterpret_cast<HWND>(call.wParam)); return 0;)
// void OnChildActivate()
#define ON_WM_CHILDACTIVATE() AFX_WM_ENTRY(WM_CHILDACTIVATE, self->OnChildActivate(); return 0;)

// Other
// void OnDropFiles(HDROP drop)
#define ON_WM_DROPFILES() AFX_WM_ENTRY(WM_DROPFILES, self->OnDropFiles(reinterpret_cast<HDROP>(call.wParam)); return 0;)
// BOOL OnCopyData(HWND from, COPYDATASTRUCT* data)
#define ON_WM_COPYDATA() AFX_WM_ENTRY(WM_COPYDATA, return (LRESULT)self->OnCopyData(reinterpret_cast<HWND>(call.wParam), reinterpret_cast<COPYDATASTRUCT*>(call.lParam));)
// void OnDisplayChange(UINT bitsPerPixel, int cx, int cy)
#define ON_WM_DISPLAYCHANGE() AFX_WM_ENTRY(WM_DISPLAYCHANGE, self->OnDisplayChange((UINT)call.wParam, LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
