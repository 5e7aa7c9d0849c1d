#include "HookSharedData.h"

#include <cstring>

// Initialised in the file image so that the section is real data, shared by every process.
__attribute__((section(".shr"), shared)) HookSharedData g_shared = {
    0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, {}, {},
    "TYM_FORWARD_MOUSEMESSAGE", "TYM_FORWARD_KEYBOARDMESSAGE"};

// The two message ids are exported as data: they are the first two words of the record.
asm(".globl _TSYM_ForwardKeyboardMessage\n"
    ".set _TSYM_ForwardKeyboardMessage, _g_shared\n"
    ".globl _TSYM_ForwardMouseMessage\n"
    ".set _TSYM_ForwardMouseMessage, _g_shared+4\n");

extern "C" int TSY_GetCaptureHotKey(WORD* table) {
  std::memcpy(table, g_shared.hotkeys, kHookHotkeyTableBytes);
  return 1;
}

extern "C" int TSY_SetCaptureHotKey(const WORD* table) {
  std::memcpy(g_shared.hotkeys, table, kHookHotkeyTableBytes);
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    // The system hands out the same id for a name in every process, so the repeated stores of
    // every process that maps the library agree.
    g_shared.forwardMouseMessage = RegisterWindowMessageA(g_shared.mouseMessageName);
    g_shared.forwardKeyboardMessage = RegisterWindowMessageA(g_shared.keyboardMessageName);
  }
  return TRUE;
}
