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
static_assert(sizeof(HookMouseRecord) == 20, "the mouse record crosses the library boundary");

// Registered message ids of the forwarded mouse and keyboard input. They are the first two
// words of the shared record.
QUORVAHOOK_DATA UINT TSYM_ForwardKeyboardMessage;
QUORVAHOOK_DATA UINT TSYM_ForwardMouseMessage;

// Copy the shared 72-byte hotkey table out / in. Always 1.
QUORVAHOOK_API int TSY_GetCaptureHotKey(WORD* table);
QUORVAHOOK_API int TSY_SetCaptureHotKey(const WORD* table);
