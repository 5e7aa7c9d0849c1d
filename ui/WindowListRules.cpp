#include "WindowListRules.h"

WindowListButtons WindowListEnableRule(int selectedCount) {
  WindowListButtons b;
  b.close = b.save = b.minimize = selectedCount >= 1;
  b.arrange = selectedCount >= 2;
  b.activate = selectedCount == 1;
  return b;
}

int CloseWindowsFromLast(const std::vector<HWND>& selected, const std::function<void(HWND)>& askToClose,
                         const std::function<bool(HWND)>& stillThere) {
  int closed = 0;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    askToClose(*it);
    if (stillThere(*it)) break;
    ++closed;
  }
  return closed;
}
