#include "WindowPicker.h"

HWND AcceptPickedWindow(HWND hit, bool controlMode) {
  if (!hit || !::IsWindow(hit)) return nullptr;
  if (controlMode && !(::GetWindowLongA(hit, GWL_STYLE) & WS_CHILD)) return nullptr;
  return hit;
}

std::optional<RECT> PickedWindowRect(HWND hit, bool controlMode) {
  HWND window = AcceptPickedWindow(hit, controlMode);
  if (!window) return std::nullopt;
  RECT r{};
  if (!::GetWindowRect(window, &r)) return std::nullopt;
  return r;
}

HWND WindowUnderPoint(POINT point) { return ::WindowFromPoint(point); }

bool ActivateWindowUnderPointer(HWND under) {
  if (::GetForegroundWindow() || !under || !::IsWindow(under)) return false;
  HWND top = ::GetAncestor(under, GA_ROOT);
  if (!top) top = under;
  return ::SetForegroundWindow(top) != FALSE;
}
