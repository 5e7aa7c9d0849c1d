// Finders of the immediate capture modes: each fills the area of a CaptureArea from the windows
// on the screen. They take the program's own main window as a parameter so that they never
// return it, and they leave the capture untouched when they find nothing.
#pragma once

#include <windows.h>

#include "CaptureArea.h"

// The class name of the system's popup-menu windows.
inline constexpr const char kPopupMenuClass[] = "#32768";

// Active Window: the foreground top-level window's frame rectangle. A maximised window loses the
// sizing frame that hangs off the screen. Fails when there is no foreground window, when it is a
// child window, when it is ownMainWindow, or when it is minimised (its rectangle lies off the
// screen). Shape code 0.
bool FindActiveWindowArea(HWND ownMainWindow, CaptureArea& capture);

// Active Window Client: the same window's client area in screen coordinates. Shape code 0.
bool FindClientArea(HWND ownMainWindow, CaptureArea& capture);

// Menu: the window rectangle of the first visible popup-menu window ("#32768") in Z-order.
// The shape code is left as it is.
bool FindPopupMenuArea(CaptureArea& capture);

// Desktop: the desktop window's rectangle (the whole screen). Shape code 0.
void FindDesktopArea(CaptureArea& capture);

// Whether hwnd may be captured as the active window: an existing top-level (not child) window
// that is not ownMainWindow and not minimised.
bool IsCapturableActiveWindow(HWND hwnd, HWND ownMainWindow);
// The foreground window when it may be captured as the active window, else null.
HWND CapturableForegroundWindow(HWND ownMainWindow);

// Lets the window in front finish what it was asked to do before it is copied: the messages
// sent to its thread (the activation that repaints its caption among them), then the painting
// still pending. A window that does not answer within about a second is copied as it is.
void LetForegroundWindowPaint(HWND ownMainWindow);
