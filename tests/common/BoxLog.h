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
    previous_ = AfxSetMessageBoxFunction(&Record);
  }
  ~BoxLog() {
    AfxSetMessageBoxFunction(previous_);
    Current() = nullptr;
  }
  BoxLog(const BoxLog&) = delete;
  BoxLog& operator=(const BoxLog&) = delete;

  int Count() const { return count_; }
  std::string Text(int i) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return i < static_cast<int>(texts_.size()) ? texts_[i] : std::string();
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
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->texts_.push_back(text ? text : "");
    }
    ++self->count_;
    return IDOK;
  }
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
  std::atomic<int> count_{0};
  AfxMessageBoxFn previous_ = nullptr;
};
