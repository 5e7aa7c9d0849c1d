// A second process for the hook library tests.
//   set N V   store code V in slot N of the shared table
//   get N     answer the code in slot N as the exit code
//   ids       print the two message ids as this process sees them
//   window X Y W H   show a foreground window there and count the input it receives; answers the
//             registered message "HookPeerQuery" (wParam: a virtual key, or 0 for mouse input)
//             with downs | ups << 16 (mouse: messages | button presses << 16); ends on WM_CLOSE.
#include "QuorvaHook.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

std::map<UINT, DWORD> g_keys;  // vk -> downs | ups << 16
DWORD g_mouse = 0;
UINT g_query = 0;

LRESULT CALLBACK PeerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == g_query) return wp ? g_keys[static_cast<UINT>(wp)] : g_mouse;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      g_keys[static_cast<UINT>(wp)] += 1;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      g_keys[static_cast<UINT>(wp)] += 0x10000;
      break;
    case WM_MOUSEMOVE:
      g_mouse += 1;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      g_mouse += 0x10001;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

int RunWindow(int x, int y, int w, int h) {
  g_query = RegisterWindowMessageA("HookPeerQuery");
  WNDCLASSA wc{};
  wc.lpfnWndProc = PeerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "HookPeerWindow";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Hook peer", WS_POPUP | WS_VISIBLE,
                             x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(wnd);
  SetFocus(wnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  WORD table[kHookHotkeySlots];
  TSY_GetCaptureHotKey(table);
  if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
    table[std::atoi(argv[2]) % kHookHotkeySlots] = static_cast<WORD>(std::atoi(argv[3]));
    TSY_SetCaptureHotKey(table);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "get") == 0) {
    return table[std::atoi(argv[2]) % kHookHotkeySlots];
  }
  if (argc == 2 && std::strcmp(argv[1], "ids") == 0) {
    std::printf("%u %u\n", TSYM_ForwardKeyboardMessage, TSYM_ForwardMouseMessage);
    return 0;
  }
  if (argc == 6 && std::strcmp(argv[1], "window") == 0) {
    return RunWindow(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  return 2;
}
