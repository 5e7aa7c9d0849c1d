// e2e_hotkey_holder.exe CODE...: registers system hotkeys and holds them until it is ended, so
// that another program's registration of the same keys is refused.
// CODE is a hotkey in the program's format: low byte the virtual key, 0x8000 Ctrl, 0x4000
// Shift, 0x2000 Alt (decimal or 0x hex). The hidden window's title reports
// "HotkeyHolder ok=<registered> failed=<refused> hits=<WM_HOTKEY count>".
#include <windows.h>

#include <cstdlib>
#include <string>

#include "E2EDriver.h"

namespace {

int g_ok = 0, g_failed = 0, g_hits = 0;

void UpdateTitle(HWND hwnd) {
  std::string t = "HotkeyHolder ok=" + std::to_string(g_ok) +
                  " failed=" + std::to_string(g_failed) + " hits=" + std::to_string(g_hits);
  SetWindowTextA(hwnd, t.c_str());
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_HOTKEY:
      ++g_hits;
      UpdateTitle(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.lpszClassName = lumatre::e2e::kHotkeyHolderClass;
  if (!RegisterClassA(&wc)) return 3;
  // Not visible, but a top-level window so that tests find it by process and class.
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "HotkeyHolder",
                              WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, inst, nullptr);
  if (!hwnd) return 4;
  for (int i = 1; i < argc; ++i) {
    char* end = nullptr;
    unsigned long code = std::strtoul(argv[i], &end, 0);
    if (!end || end == argv[i] || *end || code > 0xFFFF || (code & 0xFF) == 0) {
      ++g_failed;
      continue;
    }
    UINT mods = 0;
    if (code & 0x8000) mods |= MOD_CONTROL;
    if (code & 0x4000) mods |= MOD_SHIFT;
    if (code & 0x2000) mods |= MOD_ALT;
    if (RegisterHotKey(hwnd, i, mods, code & 0xFF))
      ++g_ok;
    else
      ++g_failed;
  }
  UpdateTitle(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  for (int i = 1; i < argc; ++i) UnregisterHotKey(hwnd, i);
  return 0;
}
