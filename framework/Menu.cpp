#include "Menu.h"

#include <utility>

#include "WinApp.h"

CMenu::~CMenu() { DestroyMenu(); }

CMenu::CMenu(CMenu&& o) noexcept : m_hMenu(std::exchange(o.m_hMenu, nullptr)), m_bOwned(std::exchange(o.m_bOwned, false)) {}

CMenu& CMenu::operator=(CMenu&& o) noexcept {
  if (this != &o) {
    DestroyMenu();
    m_hMenu = std::exchange(o.m_hMenu, nullptr);
    m_bOwned = std::exchange(o.m_bOwned, false);
  }
  return *this;
}

BOOL CMenu::Attach(HMENU h, bool owned) {
  DestroyMenu();
  m_hMenu = h;
  m_bOwned = owned && h != nullptr;
  return h != nullptr;
}

HMENU CMenu::Detach() {
  m_bOwned = false;
  return std::exchange(m_hMenu, nullptr);
}

BOOL CMenu::DestroyMenu() {
  HMENU h = std::exchange(m_hMenu, nullptr);
  bool owned = std::exchange(m_bOwned, false);
  if (h && owned) return ::DestroyMenu(h);
  return h != nullptr;
}

BOOL CMenu::LoadMenu(UINT nIDResource, HINSTANCE hInst) { return LoadMenu(MAKEINTRESOURCEA(nIDResource), hInst); }

BOOL CMenu::LoadMenu(LPCSTR name, HINSTANCE hInst) {
  HMENU h = ::LoadMenuA(hInst ? hInst : AfxGetResourceHandle(), name);
  return Attach(h, true);
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu(), true); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu(), true); }

int CMenu::GetMenuItemCount() const { return m_hMenu ? ::GetMenuItemCount(m_hMenu) : 0; }

UINT CMenu::GetMenuItemID(int nPos) const { return m_hMenu ? ::GetMenuItemID(m_hMenu, nPos) : static_cast<UINT>(-1); }

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
  return m_hMenu ? ::GetMenuState(m_hMenu, nID, nFlags) : static_cast<UINT>(-1);
}

std::string CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
  if (!m_hMenu) return {};
  int len = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (len <= 0) return {};
  std::string s(static_cast<size_t>(len) + 1, '\0');
  len = ::GetMenuStringA(m_hMenu, nIDItem, s.data(), len + 1, nFlags);
  s.resize(len > 0 ? static_cast<size_t>(len) : 0);
  return s;
}

HMENU CMenu::GetSubMenu(int nPos) const { return m_hMenu ? ::GetSubMenu(m_hMenu, nPos) : nullptr; }

int CMenu::FindMenuItem(UINT nID) const {
  int n = GetMenuItemCount();
  for (int i = 0; i < n; ++i)
    if (::GetMenuItemID(m_hMenu, i) == nID) return i;
  return -1;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
  return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}
BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, HWND owner, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, owner, lpRect);
}
