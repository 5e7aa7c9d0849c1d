#include "WindowFinders.h"

#include <cstring>

#include "CaptureGeometry.h"

namespace {

struct MenuSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindFirstMenuWindow(HWND hwnd, LPARAM lParam) {
  char className[1025] = {};
  if (::GetClassNameA(hwnd, className, sizeof(className)) <= 0) return TRUE;
  if (std::strcmp(className, kPopupMenuClass) != 0) return TRUE;
  // The system may keep hidden menu windows around after their menus closed; their rectangles
  // show nothing of a menu.
  if (!::IsWindowVisible(hwnd)) return TRUE;
  reinterpret_cast<MenuSearch*>(lParam)->found = hwnd;
  return FALSE;
}

}  // namespace

bool IsCapturableActiveWindow(HWND hwnd, HWND ownMainWindow) {
  if (!hwnd || !::IsWindow(hwnd)) return false;
  if (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) return false;
  if (ownMainWindow && hwnd == ownMainWindow) return false;
  return !::IsIconic(hwnd);
}

HWND CapturableForegroundWindow(HWND ownMainWindow) {
  HWND hwnd = ::GetForegroundWindow();
  return IsCapturableActiveWindow(hwnd, ownMainWindow) ? hwnd : nullptr;
}

void LetForegroundWindowPaint(HWND ownMainWindow) {
  constexpr UINT kAnswerTimeoutMs = 1000;
  HWND hwnd = CapturableForegroundWindow(ownMainWindow);
  if (!hwnd) return;
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
    return;
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool FindActiveWindowArea(HWND ownMainWindow, CaptureArea& capture) {
  HWND hwnd = CapturableForegroundWindow(ownMainWindow);
  if (!hwnd) return false;
  RECT r;
  if (!::GetWindowRect(hwnd, &r)) return false;
  if (::IsZoomed(hwnd))
    r = ShrinkMaximizedFrame(r, ::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYFRAME));
  capture.SetRectangle(r);
  return true;
}

bool FindClientArea(HWND ownMainWindow, CaptureArea& capture) {
  HWND hwnd = CapturableForegroundWindow(ownMainWindow);
  if (!hwnd) return false;
  RECT r;
  if (!::GetClientRect(hwnd, &r)) return false;
  // Two points: MapWindowPoints also mirrors right-to-left windows correctly.
  ::SetLastError(0);
  if (!::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2) && ::GetLastError() != 0)
    return false;
  capture.SetRectangle(r);
  return true;
}

bool FindPopupMenuArea(CaptureArea& capture) {
  MenuSearch search;
  ::EnumWindows(FindFirstMenuWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  RECT r;
  if (!::GetWindowRect(search.found, &r)) return false;
  capture.area = r;
  return true;
}

void FindDesktopArea(CaptureArea& capture) {
  RECT r{0, 0, 0, 0};
  if (!::GetWindowRect(::GetDesktopWindow(), &r))
    r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  capture.SetRectangle(r);
}
