#include "HookSharedData.h"

#include <cstring>

// Initialised in the file image so that the section is real data, shared by every process.
__attribute__((section(".shr"), shared)) HookSharedData g_shared = {
    0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, {}, {},
    "TYM_FORWARD_MOUSEMESSAGE", "TYM_FORWARD_KEYBOARDMESSAGE"};

// The two message ids are exported as data: they are the first two words of the record. (C
// names carry the target's label prefix: "_" on 32-bit Windows, none on 64-bit.)
#define QUORVA_STRINGIZE2(x) #x
#define QUORVA_STRINGIZE(x) QUORVA_STRINGIZE2(x)
#define QUORVA_LABEL(name) QUORVA_STRINGIZE(__USER_LABEL_PREFIX__) #name
asm(".globl " QUORVA_LABEL(TSYM_ForwardKeyboardMessage) "\n"
    ".set " QUORVA_LABEL(TSYM_ForwardKeyboardMessage) ", " QUORVA_LABEL(g_shared) "\n"
    ".globl " QUORVA_LABEL(TSYM_ForwardMouseMessage) "\n"
    ".set " QUORVA_LABEL(TSYM_ForwardMouseMessage) ", " QUORVA_LABEL(g_shared) "+4\n");

namespace {

HINSTANCE g_module = nullptr;

bool IsHeld(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// The longest a hooked program waits for the main program to take a forwarded event. A busy or
// hung main program (a long filter, a modal box) must never freeze the program in front.
constexpr UINT kForwardTimeoutMs = 1000;

// Sends a forwarded event and waits for it to be taken, at most kForwardTimeoutMs (at once when
// the target is hung). Whether it was taken.
bool Forward(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kForwardTimeoutMs, &result) != 0;
}

LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM lParam) {
  HWND target = g_shared.mouseTarget;
  if (code < 0 || !g_shared.mouseHook || !IsWindow(target))
    return CallNextHookEx(nullptr, code, message, lParam);
  // The program stays out of sight while the user picks on the screen.
  if (IsWindowVisible(target)) ShowWindow(target, SW_HIDE);
  if (g_shared.trackingCursor) SetCursor(g_shared.trackingCursor);
  g_shared.tracking = 1;
  const auto* record = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  std::memcpy(&g_shared.lastMouse, record, sizeof g_shared.lastMouse);
  Forward(target, g_shared.forwardMouseMessage, message, PackForwardedPoint(record->pt.x, record->pt.y));
  return 1;  // swallowed (also when it timed out): never reaches the program under the pointer
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM vk, LPARAM flags) {
  HWND target = g_shared.keyboardTarget;
  if (code < 0 || !g_shared.keyboardHook || !IsWindow(target))
    return CallNextHookEx(nullptr, code, vk, flags);
  const bool wasDown = (flags & (1u << 30)) != 0;
  const bool released = (flags & (1u << 31)) != 0;
  // A tracking flag left behind by a mouse event that raced with the unhook must never swallow
  // the keyboard of the whole desktop: tracking needs the mouse hook too.
  if (g_shared.tracking && g_shared.mouseHook) {
    // Every key is swallowed; the steering keys are forwarded on auto-repeat and release.
    if ((wasDown || released) && IsTrackingKey(static_cast<UINT>(vk)))
      Forward(target, g_shared.forwardKeyboardMessage, static_cast<WPARAM>(-1), static_cast<LPARAM>(vk));
    return 1;
  }
  if (released) {
    const WORD pressed = MakeHotkeyCode(static_cast<UINT>(vk), IsHeld(VK_CONTROL), IsHeld(VK_SHIFT),
                                        IsHeld(VK_MENU));
    for (int i = 0; i < kHookHotkeySlots; ++i) {
      if (g_shared.hotkeys[i] == pressed) {
        // A release the main program did not take in time goes on to the program in front.
        if (Forward(target, g_shared.forwardKeyboardMessage, static_cast<WPARAM>(i), static_cast<LPARAM>(vk)))
          return 1;
        break;
      }
    }
  }
  return CallNextHookEx(nullptr, code, vk, flags);
}

void DestroyTrackingCursor() {
  if (g_shared.trackingCursor) {
    DestroyCursor(g_shared.trackingCursor);
    g_shared.trackingCursor = nullptr;
  }
}

}  // namespace

extern "C" int TSY_HookKeyboard(HWND target, const WORD* table) {
  if (g_shared.keyboardHook) return 1;
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, g_module, 0);
  if (!hook) return 0;
  g_shared.keyboardHook = hook;
  g_shared.keyboardTarget = target;
  if (table && table != g_shared.hotkeys)
    std::memcpy(g_shared.hotkeys, table, kHookHotkeyTableBytes);
  return 1;
}

extern "C" int TSY_UnHookKeyboard() {
  if (!g_shared.keyboardHook || !UnhookWindowsHookEx(g_shared.keyboardHook)) return 0;
  g_shared.keyboardHook = nullptr;
  g_shared.keyboardTarget = nullptr;
  return 1;
}

extern "C" int TSY_HookMouse(HWND target, HCURSOR cursor) {
  if (g_shared.mouseHook) return 1;
  HHOOK hook = SetWindowsHookExA(WH_MOUSE, MouseProc, g_module, 0);
  if (!hook) return 0;
  g_shared.mouseHook = hook;
  g_shared.tracking = 1;
  g_shared.mouseTarget = target;
  DestroyTrackingCursor();
  if (cursor) {
    // Without a copy the pointer stays as it is (never made invisible).
    g_shared.trackingCursor = CopyCursor(cursor);
    if (g_shared.trackingCursor) SetCursor(g_shared.trackingCursor);
  }
  // Nudge the pointer so that a mouse event reaches the hook at once and the cursor shows.
  POINT at;
  if (GetCursorPos(&at)) {
    SetCursorPos(at.x + 1, at.y + 1);
    SetCursorPos(at.x, at.y);
  }
  // Keyboard input goes to the same window from now on. The new keyboard hook is installed
  // before the earlier one is removed, so that a failure keeps the earlier hook and its target.
  HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, g_module, 0);
  if (keyboard) {
    HHOOK earlier = g_shared.keyboardHook;
    g_shared.keyboardHook = keyboard;
    g_shared.keyboardTarget = target;
    if (earlier) UnhookWindowsHookEx(earlier);
  }
  return 1;
}

extern "C" int TSY_UnHookMouse() {
  if (!g_shared.mouseHook) return 0;
  if (!UnhookWindowsHookEx(g_shared.mouseHook)) {
    DestroyTrackingCursor();
    return 0;
  }
  g_shared.mouseHook = nullptr;
  g_shared.mouseTarget = nullptr;
  g_shared.tracking = 0;
  DestroyTrackingCursor();
  return 1;
}

extern "C" int TSY_GetCaptureHotKey(WORD* table) {
  std::memcpy(table, g_shared.hotkeys, kHookHotkeyTableBytes);
  return 1;
}

extern "C" int TSY_SetCaptureHotKey(const WORD* table) {
  std::memcpy(g_shared.hotkeys, table, kHookHotkeyTableBytes);
  return 1;
}

extern "C" int TSY_GetMouseHookStruct(HookMouseRecord* record) {
  std::memcpy(record, &g_shared.lastMouse, sizeof *record);
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
    // The system hands out the same id for a name in every process, so the repeated stores of
    // every process that maps the library agree.
    g_shared.forwardMouseMessage = RegisterWindowMessageA(g_shared.mouseMessageName);
    g_shared.forwardKeyboardMessage = RegisterWindowMessageA(g_shared.keyboardMessageName);
  }
  return TRUE;
}
