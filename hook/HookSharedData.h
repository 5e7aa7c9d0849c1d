// The one record the hook procedures share across processes. It lives in a section marked
// read, write and shared; field order and sizes are fixed.
#pragma once

#include "QuorvaHook.h"

#include <cstddef>

struct HookSharedData {
  UINT forwardKeyboardMessage;    // exported as TSYM_ForwardKeyboardMessage
  UINT forwardMouseMessage;       // exported as TSYM_ForwardMouseMessage
  HWND mouseTarget;
  HWND keyboardTarget;
  HHOOK mouseHook;
  HHOOK keyboardHook;
  HCURSOR trackingCursor;
  LONG tracking;
  WORD hotkeys[kHookHotkeySlots];
  HookMouseRecord lastMouse;
  char mouseMessageName[28];
  char keyboardMessageName[28];
};

// The layout of the 32-bit library (a 64-bit build has wider handles).
static_assert(offsetof(HookSharedData, forwardKeyboardMessage) == 0);
static_assert(offsetof(HookSharedData, forwardMouseMessage) == 4);
#ifndef _WIN64
static_assert(offsetof(HookSharedData, hotkeys) == 32);
static_assert(offsetof(HookSharedData, lastMouse) == 104);
static_assert(offsetof(HookSharedData, mouseMessageName) == 124);
static_assert(sizeof(HookSharedData) == 180);
#endif
