// CSystemTray: the program's icon in the taskbar's notification area, the program's face while
// the main window is hidden. A hidden window of class "LumatreSystemTrayClass" receives the
// icon's notifications: the right button opens the tray menu (its first popup, the banner as
// the default item) owned by the main frame, a double click brings the main frame back. While
// a modal dialog of the main frame is open, both bring that dialog to the front instead.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Framework.h"

class CSystemTray : public CWnd {
 public:
  static constexpr const char* kWindowClass = "LumatreSystemTrayClass";
  // How the icon reaches the taskbar (Shell_NotifyIconA); tests put a refusing one in place.
  using NotifyIconFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

  CSystemTray();
  ~CSystemTray() override;

  // Makes the hidden window and adds the icon: notifications arrive as callbackMessage with
  // the icon id menuId; menuId is also the tray menu's resource. pTarget (the main frame)
  // owns the menu and gets its commands. FALSE, with nothing left behind, when the system is
  // older than version 4 or the taskbar refuses the icon.
  BOOL Create(CWnd* pTarget, UINT callbackMessage, LPCSTR tip, HICON icon, UINT menuId);
  // Takes the icon off the taskbar (the window stays).
  void RemoveIcon();
  BOOL SetIcon(HICON icon);
  // The icon was added and is on the taskbar.
  BOOL IsEnabled() const { return m_enabled; }
  const NOTIFYICONDATAA& IconData() const { return m_iconData; }

  // The menu's message to the target before it opens; 0 for none.
  void SetMenuOpenMessage(UINT message) { m_menuOpenMessage = message; }

  static void SetNotifyIconFunction(NotifyIconFunction function);

  // The enabled window a disabled frame's modal loop runs for (its dialog, or a message box
  // over that dialog); null when the frame is enabled or owns no such window.
  static HWND ModalPopupOf(HWND frame);

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 protected:
  // The icon's notifications: wParam the icon id, lParam the mouse message.
  LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
  // The taskbar was made again (the shell restarted): the icon goes back on it.
  LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

 private:
  void ShowTrayMenu();
  void RestoreTarget();
  // Shows the target again and brings the dialog that disables it to the front.
  void ActivateModalPopup();
  // Registers the window class once (a copy of the framework's class under our name).
  static LPCSTR WindowClass();

  NOTIFYICONDATAA m_iconData{};
  BOOL m_enabled = FALSE;
  CWnd* m_pTarget = nullptr;
  UINT m_menuOpenMessage = 0;
};
