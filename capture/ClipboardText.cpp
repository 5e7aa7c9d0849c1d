#include "ClipboardText.h"

#include <cstring>

#include "framework/Handles.h"

namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer reading it).
constexpr DWORD kOpenRetryMs = 500;

}  // namespace

int SetClipboardText(const char* text, HWND owner) {
  if (!text) text = "";
  const size_t length = std::strlen(text);
  ClipboardGuard clipboard(owner, kOpenRetryMs);
  if (!clipboard) return 0;
  ::EmptyClipboard();
  UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1));
  if (!block) return 0;
  {
    GlobalLockGuard lock(block.get());
    if (!lock) return 0;
    std::memcpy(lock.get(), text, length + 1);
  }
  if (!::SetClipboardData(CF_TEXT, block.get())) return 0;
  // The clipboard owns the block now.
  (void)block.release();
  return 1;
}
