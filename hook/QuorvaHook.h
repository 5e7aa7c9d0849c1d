// QuorvaHook: the system-wide mouse and keyboard hooks of Lumatre and the record they share
// between every process that maps this library.
#pragma once

#include <windows.h>

#ifdef QUORVAHOOK_BUILD
#define QUORVAHOOK_API extern "C"
#define QUORVAHOOK_DATA extern "C"
#else
#define QUORVAHOOK_API extern "C" __declspec(dllimport)
#define QUORVAHOOK_DATA extern "C" __declspec(dllimport)
#endif

// Number of hotkey slots exchanged with the library (indexed by the capture mode index).
constexpr int kHookHotkeySlots = 36;
constexpr int kHookHotkeyTableBytes = kHookHotkeySlots * 2;

// Copy of the system's mouse hook record (MOUSEHOOKSTRUCT) of the last hooked mouse event.
struct HookMouseRecord {
  LONG x;
  LONG y;
  HWND window;
  UINT hitTestCode;
  ULONG_PTR extraInfo;
};
#ifndef _WIN64
static_assert(sizeof(HookMouseRecord) == 20, "the mouse record crosses the library boundary");
#endif

// Registered message ids of the forwarded mouse and keyboard input. They are the first two
// words of the shared record.
QUORVAHOOK_DATA UINT TSYM_ForwardKeyboardMessage;
QUORVAHOOK_DATA UINT TSYM_ForwardMouseMessage;

// Install the system-wide mouse hook, forwarding every mouse event to target and keeping cursor
// (copied) on the screen; re-targets the keyboard hook to target. 1 also when already installed.
QUORVAHOOK_API int TSY_HookMouse(HWND target, HCURSOR cursor);
// Remove the mouse hook; 0 when none is installed or removal fails.
QUORVAHOOK_API int TSY_UnHookMouse();
// Install the keyboard hook with target and a 72-byte hotkey table; when it is installed already,
// return 1 and change nothing.
QUORVAHOOK_API int TSY_HookKeyboard(HWND target, const WORD* table);
// Remove the keyboard hook; 0 when none is installed or removal fails.
QUORVAHOOK_API int TSY_UnHookKeyboard();
// Copy the shared 72-byte hotkey table out / in. Always 1.
QUORVAHOOK_API int TSY_GetCaptureHotKey(WORD* table);
QUORVAHOOK_API int TSY_SetCaptureHotKey(const WORD* table);
// Copy the last 20-byte mouse record out. Always 1.
QUORVAHOOK_API int TSY_GetMouseHookStruct(HookMouseRecord* record);

// The keys the keyboard hook forwards while tracking (with wParam -1).
constexpr bool IsTrackingKey(UINT vk) {
  return vk == VK_RETURN || vk == VK_SHIFT || vk == VK_ESCAPE || vk == VK_SPACE ||
         (vk >= VK_LEFT && vk <= VK_DOWN);
}

// A hotkey code from a virtual key and the modifiers held: low byte the key, 0x8000 Ctrl,
// 0x4000 Shift, 0x2000 Alt.
constexpr WORD MakeHotkeyCode(UINT vk, bool ctrl, bool shift, bool alt) {
  return static_cast<WORD>((vk & 0xFF) + (ctrl ? 0x8000 : 0) + (shift ? 0x4000 : 0) +
                           (alt ? 0x2000 : 0));
}

// A screen point as forwarded: x in the low 16 bits, y in the high 16 bits, each cut to 16 bits
// (negative coordinates arrive as their 16-bit two's complement).
constexpr LPARAM PackForwardedPoint(LONG x, LONG y) {
  return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | static_cast<DWORD>(x & 0xFFFF));
}
