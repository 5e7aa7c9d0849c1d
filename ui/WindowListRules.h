// The rules of the window list ("Windows") that do not need a screen: which buttons a
// selection enables, and closing the selected windows until one refuses.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct WindowListButtons {
  bool close = false;     // "&Close Window(s)"
  bool save = false;      // "&Save"
  bool minimize = false;  // "Minimize"
  bool arrange = false;   // "Cascade", "Tile &Horizontaly", "Tile &Verticaly"
  bool activate = false;  // "&Actvate"
};

// One selected window or more: close, save, minimise; two or more: the arrangements; exactly
// one: activate.
WindowListButtons WindowListEnableRule(int selectedCount);

// Asks the selected windows to close, from the last to the first, and stops at the first one
// that is still there afterwards (its save question was cancelled): the windows before it in
// the list stay open. Returns how many closed.
int CloseWindowsFromLast(const std::vector<HWND>& selected, const std::function<void(HWND)>& askToClose,
                         const std::function<bool(HWND)>& stillThere);
