// Window picking of the Control and Single Window modes: which window the pointer is over and
// which rectangle is highlighted for it.
#pragma once

#include <windows.h>

#include <optional>

// The window a mode accepts for the window found under the pointer: in Control mode only child
// windows (a top-level window is refused: null), in Single Window mode any window. hit may be
// null (nothing there).
HWND AcceptPickedWindow(HWND hit, bool controlMode);

// The rectangle to highlight for the window under the pointer (frame included, screen
// coordinates), or nothing when the mode does not accept it (the previous highlight stays).
std::optional<RECT> PickedWindowRect(HWND hit, bool controlMode);

// The innermost visible window under a screen point (the system's window-from-point query).
HWND WindowUnderPoint(POINT point);

// When no window is in the foreground, makes the top-level window of under (the window below
// the pointer that the mouse hook reported) the foreground window. True when it did.
bool ActivateWindowUnderPointer(HWND under);
