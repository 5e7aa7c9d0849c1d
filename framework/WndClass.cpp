// The framework's window classes: registration helpers and the default classes.
#include <cstdio>
#include <set>
#include <string>

#include "Wnd.h"
#include "WinApp.h"

// --- Window classes ---

namespace {

bool ClassRegistered(LPCSTR name, WNDCLASSA* out) {
  WNDCLASSA wc{};
  if (!::GetClassInfoA(AfxGetInstanceHandle(), name, &wc)) return false;
  if (out) *out = wc;
  return true;
}

}  // namespace

BOOL AfxRegisterClass(WNDCLASSA* lpWndClass) {
  WNDCLASSA existing{};
  if (ClassRegistered(lpWndClass->lpszClassName, &existing)) return TRUE;
  if (!lpWndClass->lpfnWndProc) lpWndClass->lpfnWndProc = AfxWndProc;
  if (!lpWndClass->hInstance) lpWndClass->hInstance = AfxGetInstanceHandle();
  return ::RegisterClassA(lpWndClass) != 0 || ClassRegistered(lpWndClass->lpszClassName, nullptr);
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  // Names live as long as the process; the same parameters always give the same class.
  static std::set<std::string> names;
  char buf[128];
  std::snprintf(buf, sizeof(buf), "Afx:%p:%x:%p:%p:%p", static_cast<void*>(AfxGetInstanceHandle()), nClassStyle,
                static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  const std::string& name = *names.insert(buf).first;
  WNDCLASSA wc{};
  wc.style = nClassStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hIcon = hIcon;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.lpszClassName = name.c_str();
  return AfxRegisterClass(&wc) ? name.c_str() : nullptr;
}

LPCSTR AfxRegisterNamedWndClass(LPCSTR lpszClassName, UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                HICON hIcon, HICON hIconSmall) {
  if (!lpszClassName || !*lpszClassName) return nullptr;
  WNDCLASSA existing{};
  if (ClassRegistered(lpszClassName, &existing)) return existing.lpfnWndProc == AfxWndProc ? lpszClassName : nullptr;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = nClassStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hIcon = hIcon;
  wc.hIconSm = hIconSmall;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.lpszClassName = lpszClassName;
  return ::RegisterClassExA(&wc) ? lpszClassName : nullptr;
}

LPCSTR AfxRegisterClassCopy(LPCSTR lpszExistingClass, LPCSTR lpszNewName, HICON hIcon, HICON hIconSmall) {
  if (!lpszExistingClass || !lpszNewName) return nullptr;
  WNDCLASSA check{};
  if (ClassRegistered(lpszNewName, &check)) return lpszNewName;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExA(AfxGetInstanceHandle(), lpszExistingClass, &wc) &&
      !::GetClassInfoExA(nullptr, lpszExistingClass, &wc))
    return nullptr;
  wc.hInstance = AfxGetInstanceHandle();
  wc.lpszClassName = lpszNewName;
  if (hIcon) wc.hIcon = hIcon;
  if (hIconSmall || hIcon) wc.hIconSm = hIconSmall;
  return ::RegisterClassExA(&wc) ? lpszNewName : nullptr;
}

LPCSTR AfxFrameWndClass() {
  static LPCSTR name = AfxRegisterNamedWndClass("AfxFrameOrView", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                                ::LoadCursor(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                                ::LoadIcon(nullptr, IDI_APPLICATION));
  return name;
}

LPCSTR AfxMDIFrameWndClass() {
  static LPCSTR name = AfxRegisterNamedWndClass("AfxMDIFrame", CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr,
                                                ::LoadIcon(nullptr, IDI_APPLICATION));
  return name;
}
