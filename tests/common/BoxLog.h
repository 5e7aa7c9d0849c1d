// Message boxes of the framework, recorded instead of shown (from any thread), for the screen
// tests that drive dialogs in their own process.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "E2EDriver.h"
#include "framework/MessageBox.h"

class BoxLog {
 public:
  static constexpr DWORD kWaitMs = 10000;

  BoxLog() {
    Current() = this;
    m_previous = AfxSetMessageBoxFunction(&Record);
  }
  ~BoxLog() {
    AfxSetMessageBoxFunction(m_previous);
    Current() = nullptr;
  }
  BoxLog(const BoxLog&) = delete;
  BoxLog& operator=(const BoxLog&) = delete;

  int Count() const { return m_count; }
  std::string Text(int i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < static_cast<int>(m_texts.size()) ? m_texts[i] : std::string();
  }
  // The text of box n (counting from 1) once it has come.
  std::string WaitForBox(int n) const {
    lumatre::e2e::WaitUntil([&] { return Count() >= n; }, kWaitMs);
    return Text(n - 1);
  }

 private:
  static BoxLog*& Current() {
    static BoxLog* current = nullptr;
    return current;
  }
  static int Record(HWND, LPCSTR text, LPCSTR, UINT) {
    BoxLog* self = Current();
    if (!self) return IDCANCEL;
    {
      std::lock_guard<std::mutex> lock(self->m_mutex);
      self->m_texts.push_back(text ? text : "");
    }
    ++self->m_count;
    return IDOK;
  }
  mutable std::mutex m_mutex;
  std::vector<std::string> m_texts;
  std::atomic<int> m_count{0};
  AfxMessageBoxFn m_previous = nullptr;
};
