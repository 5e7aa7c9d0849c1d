// Per-thread state of the framework (internal): the window maps, the message being handled,
// the window being created and the creation hook.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

class CWnd;

struct AfxThreadState {
  AfxThreadState() = default;
  ~AfxThreadState();  // temporaries let go of their windows before they are deleted
  AfxThreadState(const AfxThreadState&) = delete;
  AfxThreadState& operator=(const AfxThreadState&) = delete;

  // Windows bound to objects (not owned).
  std::unordered_map<HWND, CWnd*> permanentMap;
  // Temporary objects made by CWnd::FromHandle for unbound windows (owned).
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporaryMap;
  // The message WindowProc is handling now (for Default()).
  MSG lastSentMsg{};
  // The object CreateEx is binding, and the hook that binds it.
  CWnd* pWndInit = nullptr;
  HHOOK hHookCbt = nullptr;
  // Controls of this window send no notifications while it exchanges data.
  HWND hLockoutNotifyWindow = nullptr;
};

AfxThreadState& AfxGetThreadState();

// Binds the next window created on this thread to pWnd (see CWnd::CreateEx).
void AfxHookWindowCreate(CWnd* pWnd);
// Ends the binding; TRUE when the window was bound.
BOOL AfxUnhookWindowCreate();
// Deletes the temporary objects of FromHandle.
void AfxDeleteTempMap();
// Built-in texts of the framework's own string ids (null for other ids).
const char* AfxBuiltinString(UINT nID);
