// Helpers shared by the framework tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Framework.h"

// Records every message box the framework would show and answers it.
class MessageBoxRecorder {
 public:
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
  };

  explicit MessageBoxRecorder(int answer = IDOK) {
    Current() = this;
    m_answer = answer;
    m_previous = AfxSetMessageBoxFunction(&Record);
  }
  ~MessageBoxRecorder() {
    AfxSetMessageBoxFunction(m_previous);
    Current() = nullptr;
  }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const std::vector<Box>& boxes() const { return m_boxes; }
  void clear() { m_boxes.clear(); }
  void set_answer(int answer) { m_answer = answer; }

 private:
  static MessageBoxRecorder*& Current() {
    static MessageBoxRecorder* current = nullptr;
    return current;
  }
  static int Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxRecorder* self = Current();
    if (!self) return IDCANCEL;
    self->m_boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return self->m_answer;
  }

  std::vector<Box> m_boxes;
  int m_answer = IDOK;
  AfxMessageBoxFn m_previous = nullptr;
};

// Dispatches the messages that are waiting (and those that arrive within ms milliseconds).
inline void PumpMessages(DWORD ms = 0) {
  DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;  // a test's main window may have posted it
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (ms) ::Sleep(5);
  } while (::GetTickCount() - start < ms);
}

// Removes the quit message a destroyed main window leaves behind.
inline void DrainQuit() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}
