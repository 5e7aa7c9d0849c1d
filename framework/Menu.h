// CMenu: a thin wrapper of an HMENU. A CMenu owns (and destroys) the menu only when it made it
// (LoadMenu, CreateMenu, CreatePopupMenu) or was given it with Attach(h, true); a CMenu made
// from a handle (CMenu(h), Attach(h)) only looks at it.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CMenu {
 public:
  CMenu() noexcept = default;
  explicit CMenu(HMENU h) noexcept : m_hMenu(h) {}
  ~CMenu();
  CMenu(CMenu&& o) noexcept;
  CMenu& operator=(CMenu&& o) noexcept;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  HMENU GetSafeHmenu() const noexcept { return m_hMenu; }
  operator HMENU() const noexcept { return m_hMenu; }  // NOLINT(google-explicit-constructor)
  bool IsOwner() const noexcept { return m_bOwned; }

  // Takes h; owned menus are destroyed with this object. Any menu held before is let go
  // (destroyed when owned).
  BOOL Attach(HMENU h, bool owned = false);
  HMENU Detach();
  BOOL DestroyMenu();

  BOOL LoadMenu(UINT nIDResource, HINSTANCE hInst = nullptr);
  BOOL LoadMenu(LPCSTR name, HINSTANCE hInst = nullptr);
  BOOL CreateMenu();
  BOOL CreatePopupMenu();

  int GetMenuItemCount() const;
  // The id of the item at a position: 0 for a separator, (UINT)-1 for a popup or no item.
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  std::string GetMenuString(UINT nIDItem, UINT nFlags) const;
  HMENU GetSubMenu(int nPos) const;
  // Position of the item with that command id in this menu, or -1.
  int FindMenuItem(UINT nID) const;

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);

  // Shows the menu as a popup at a screen point; returns what TrackPopupMenu returns.
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND owner, LPCRECT lpRect = nullptr);

 private:
  bool m_bOwned = false;
};
