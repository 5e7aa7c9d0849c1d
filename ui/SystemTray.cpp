#include "SystemTray.h"

namespace {

CSystemTray::NotifyIconFunction g_notifyIcon = ::Shell_NotifyIconA;
UINT g_taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");

// The notification area needs version 4 of the system.
bool SystemHasTray() { return LOBYTE(LOWORD(::GetVersion())) >= 4; }

// True when window is owner or one of the windows it owns, at any depth.
bool IsOwnedBy(HWND window, HWND owner) {
  for (HWND w = window; w; w = ::GetWindow(w, GW_OWNER))
    if (w == owner) return true;
  return false;
}

struct PopupSearch {
  HWND owner;
  HWND found;
};

// A dialog (or message box) wins over other owned windows that stay enabled during the modal
// loop, such as a floating toolbar.
BOOL CALLBACK FindEnabledPopup(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<PopupSearch*>(param);
  if (window == search->owner || !::IsWindowVisible(window) || !::IsWindowEnabled(window) ||
      !IsOwnedBy(window, search->owner))
    return TRUE;
  char className[16] = {};
  ::GetClassNameA(window, className, sizeof className);
  const bool dialog = lstrcmpA(className, "#32770") == 0;
  if (dialog || !search->found) search->found = window;
  return dialog ? FALSE : TRUE;
}

}  // namespace

HWND CSystemTray::ModalPopupOf(HWND frame) {
  if (!frame || !::IsWindow(frame) || ::IsWindowEnabled(frame)) return nullptr;
  // The popup the user worked in last; the system may not know it (a dialog that was never
  // activated), then any enabled window the frame owns, directly or through its dialogs.
  HWND last = ::GetLastActivePopup(frame);
  if (last && last != frame && ::IsWindowVisible(last) && ::IsWindowEnabled(last) && IsOwnedBy(last, frame))
    return last;
  PopupSearch search{frame, nullptr};
  ::EnumThreadWindows(::GetWindowThreadProcessId(frame, nullptr), FindEnabledPopup, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BEGIN_MESSAGE_MAP(CSystemTray, CWnd)
  ON_WM_DESTROY()
  ON_REGISTERED_MESSAGE(g_taskbarCreatedMessage, OnTaskbarCreated)
END_MESSAGE_MAP()

void CSystemTray::SetNotifyIconFunction(NotifyIconFunction function) {
  g_notifyIcon = function ? function : ::Shell_NotifyIconA;
}

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray() {
  if (m_hWnd) DestroyWindow();
}

LPCSTR CSystemTray::WindowClass() { return AfxRegisterClassCopy(AfxFrameWndClass(), kWindowClass); }

BOOL CSystemTray::Create(CWnd* pTarget, UINT callbackMessage, LPCSTR tip, HICON icon, UINT menuId) {
  if (m_hWnd || !SystemHasTray()) return FALSE;
  LPCSTR windowClass = WindowClass();
  if (!windowClass || !CreateEx(0, windowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) return FALSE;
  m_pTarget = pTarget;

  m_iconData = NOTIFYICONDATAA{};
  m_iconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  m_iconData.hWnd = m_hWnd;
  m_iconData.uID = menuId;
  m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_iconData.uCallbackMessage = callbackMessage;
  m_iconData.hIcon = icon;
  lstrcpynA(m_iconData.szTip, tip ? tip : "", sizeof m_iconData.szTip);

  m_enabled = g_notifyIcon(NIM_ADD, &m_iconData);
  if (!m_enabled) {
    DestroyWindow();
    m_pTarget = nullptr;
    return FALSE;
  }
  return TRUE;
}

void CSystemTray::RemoveIcon() {
  if (!m_enabled) return;
  NOTIFYICONDATAA data = m_iconData;
  data.uFlags = 0;
  g_notifyIcon(NIM_DELETE, &data);
  m_enabled = FALSE;
}

BOOL CSystemTray::SetIcon(HICON icon) {
  m_iconData.hIcon = icon;
  if (!m_enabled) return FALSE;
  NOTIFYICONDATAA data = m_iconData;
  data.uFlags = NIF_ICON;
  return g_notifyIcon(NIM_MODIFY, &data);
}

BOOL CSystemTray::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  // The callback message is chosen at run time, so it is looked at before the map.
  if (m_iconData.uCallbackMessage != 0 && message == m_iconData.uCallbackMessage) {
    *pResult = OnTrayNotification(wParam, lParam);
    return TRUE;
  }
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
  if (wParam != m_iconData.uID || !m_pTarget || !m_pTarget->IsWindow()) return 0;
  // While a modal dialog of the frame runs (About, Options, a message box) the frame is
  // disabled: its menu must not open, since Exit would destroy the frame inside the dialog's
  // loop. Either click brings that dialog to the front instead.
  if (!m_pTarget->IsWindowEnabled()) {
    if (static_cast<UINT>(lParam) == WM_RBUTTONDOWN || static_cast<UINT>(lParam) == WM_LBUTTONDBLCLK)
      ActivateModalPopup();
    return 0;
  }
  switch (static_cast<UINT>(lParam)) {
    case WM_RBUTTONDOWN:
      ShowTrayMenu();
      break;
    case WM_LBUTTONDBLCLK:
      RestoreTarget();
      break;
    default:
      break;
  }
  return 0;
}

void CSystemTray::ShowTrayMenu() {
  CMenu menu;
  if (!menu.LoadMenu(m_iconData.uID)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (!popup) return;
  // The banner at position 0 is the default item.
  ::SetMenuDefaultItem(popup, 0, TRUE);
  POINT at{0, 0};
  ::GetCursorPos(&at);
  if (m_menuOpenMessage) m_pTarget->PostMessage(m_menuOpenMessage);
  // In the foreground the menu closes when the user clicks elsewhere.
  m_pTarget->SetForegroundWindow();
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_pTarget->m_hWnd, nullptr);
  m_pTarget->PostMessage(WM_NULL);
}

void CSystemTray::RestoreTarget() {
  m_pTarget->SetForegroundWindow();
  m_pTarget->ShowWindow(m_pTarget->IsIconic() ? SW_RESTORE : SW_SHOW);
  m_pTarget->SetForegroundWindow();
}

void CSystemTray::ActivateModalPopup() {
  // The dialog needs its owner on the screen; a hidden or minimised frame comes back first.
  if (!m_pTarget->IsWindowVisible() || m_pTarget->IsIconic())
    m_pTarget->ShowWindow(m_pTarget->IsIconic() ? SW_RESTORE : SW_SHOW);
  HWND popup = ModalPopupOf(m_pTarget->m_hWnd);
  if (!popup) return;
  if (::IsIconic(popup)) ::ShowWindow(popup, SW_RESTORE);
  ::SetForegroundWindow(popup);
  ::SetActiveWindow(popup);
}

LRESULT CSystemTray::OnTaskbarCreated(WPARAM, LPARAM) {
  if (m_enabled) m_enabled = g_notifyIcon(NIM_ADD, &m_iconData);
  return 0;
}

void CSystemTray::OnDestroy() {
  RemoveIcon();
  CWnd::OnDestroy();
}
