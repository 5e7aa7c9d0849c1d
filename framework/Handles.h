// Move-only owners of Win32 handles. Every owner releases what it holds on every path: when it
// is destroyed, reset or assigned over. Each offers get(), release() (give up ownership without
// freeing), reset() (free now, optionally take another handle) and an explicit bool test.
#pragma once

#include <windows.h>

#include <utility>

namespace lumatre_detail {

// One owner for all handle kinds: Traits gives the empty value, the validity test and the free.
template <typename H, typename Traits>
class UniqueResource {
 public:
  using handle_type = H;

  UniqueResource() noexcept = default;
  explicit UniqueResource(H h) noexcept : h_(h) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : h_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  H get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return Traits::Valid(h_); }

  // Gives up ownership; the caller now frees the handle.
  [[nodiscard]] H release() noexcept {
    H h = h_;
    h_ = Traits::Empty();
    return h;
  }

  // Frees the held handle (if any) and takes h.
  void reset(H h = Traits::Empty()) noexcept {
    H old = h_;
    h_ = h;
    if (Traits::Valid(old) && old != h) Traits::Free(old);
  }

  // For out-parameters of the API: frees the held handle and returns the address to fill.
  H* put() noexcept {
    reset();
    return &h_;
  }

 private:
  H h_ = Traits::Empty();
};

struct KernelHandleTraits {
  static HANDLE Empty() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
  static HKEY Empty() { return nullptr; }
  static bool Valid(HKEY h) { return h != nullptr; }
  static void Free(HKEY h) { ::RegCloseKey(h); }
};
template <typename T>
struct GdiObjectTraits {
  static T Empty() { return nullptr; }
  static bool Valid(T h) { return h != nullptr; }
  static void Free(T h) { ::DeleteObject(reinterpret_cast<HGDIOBJ>(h)); }
};
struct DCTraits {
  static HDC Empty() { return nullptr; }
  static bool Valid(HDC h) { return h != nullptr; }
  static void Free(HDC h) { ::DeleteDC(h); }
};
struct HookTraits {
  static HHOOK Empty() { return nullptr; }
  static bool Valid(HHOOK h) { return h != nullptr; }
  static void Free(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct IconTraits {
  static HICON Empty() { return nullptr; }
  static bool Valid(HICON h) { return h != nullptr; }
  static void Free(HICON h) { ::DestroyIcon(h); }
};
struct CursorTraits {
  static HCURSOR Empty() { return nullptr; }
  static bool Valid(HCURSOR h) { return h != nullptr; }
  static void Free(HCURSOR h) { ::DestroyCursor(h); }
};
struct MenuTraits {
  static HMENU Empty() { return nullptr; }
  static bool Valid(HMENU h) { return h != nullptr; }
  static void Free(HMENU h) { ::DestroyMenu(h); }
};
struct MappedViewTraits {
  static void* Empty() { return nullptr; }
  static bool Valid(void* p) { return p != nullptr; }
  static void Free(void* p) { ::UnmapViewOfFile(p); }
};
struct GlobalTraits {
  static HGLOBAL Empty() { return nullptr; }
  static bool Valid(HGLOBAL h) { return h != nullptr; }
  static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
struct LibraryTraits {
  static HMODULE Empty() { return nullptr; }
  static bool Valid(HMODULE h) { return h != nullptr; }
  static void Free(HMODULE h) { ::FreeLibrary(h); }
};
struct FindTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { ::FindClose(h); }
};
struct WindowTraits {
  static HWND Empty() { return nullptr; }
  static bool Valid(HWND h) { return h != nullptr; }
  static void Free(HWND h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};
struct EnhMetaFileTraits {
  static HENHMETAFILE Empty() { return nullptr; }
  static bool Valid(HENHMETAFILE h) { return h != nullptr; }
  static void Free(HENHMETAFILE h) { ::DeleteEnhMetaFile(h); }
};
struct MetaFileTraits {
  static HMETAFILE Empty() { return nullptr; }
  static bool Valid(HMETAFILE h) { return h != nullptr; }
  static void Free(HMETAFILE h) { ::DeleteMetaFile(h); }
};
struct AccelTraits {
  static HACCEL Empty() { return nullptr; }
  static bool Valid(HACCEL h) { return h != nullptr; }
  static void Free(HACCEL h) { ::DestroyAcceleratorTable(h); }
};

}  // namespace lumatre_detail

// CloseHandle; null and INVALID_HANDLE_VALUE both count as empty.
using UniqueHandle = lumatre_detail::UniqueResource<HANDLE, lumatre_detail::KernelHandleTraits>;
// RegCloseKey.
using UniqueRegKey = lumatre_detail::UniqueResource<HKEY, lumatre_detail::RegKeyTraits>;
// DeleteObject, for any GDI object type (HBITMAP, HBRUSH, HPEN, HFONT, HRGN, HPALETTE).
template <typename T>
using UniqueGdiObject = lumatre_detail::UniqueResource<T, lumatre_detail::GdiObjectTraits<T>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueRgn = UniqueGdiObject<HRGN>;
using UniquePalette = UniqueGdiObject<HPALETTE>;
// DeleteDC (memory and created DCs).
using UniqueDC = lumatre_detail::UniqueResource<HDC, lumatre_detail::DCTraits>;
// UnhookWindowsHookEx.
using UniqueHook = lumatre_detail::UniqueResource<HHOOK, lumatre_detail::HookTraits>;
// DestroyIcon / DestroyCursor (only for icons and cursors that were created or loaded
// with LoadImage without LR_SHARED).
using UniqueIcon = lumatre_detail::UniqueResource<HICON, lumatre_detail::IconTraits>;
using UniqueCursor = lumatre_detail::UniqueResource<HCURSOR, lumatre_detail::CursorTraits>;
// DestroyMenu.
using UniqueMenu = lumatre_detail::UniqueResource<HMENU, lumatre_detail::MenuTraits>;
// UnmapViewOfFile.
using MappedView = lumatre_detail::UniqueResource<void*, lumatre_detail::MappedViewTraits>;
// GlobalFree unless released (for example after SetClipboardData took the block).
using UniqueGlobal = lumatre_detail::UniqueResource<HGLOBAL, lumatre_detail::GlobalTraits>;
// FreeLibrary.
using UniqueLibrary = lumatre_detail::UniqueResource<HMODULE, lumatre_detail::LibraryTraits>;
// FindClose (FindFirstFile handles; INVALID_HANDLE_VALUE is empty).
using UniqueFindHandle = lumatre_detail::UniqueResource<HANDLE, lumatre_detail::FindTraits>;
// DestroyWindow (only when the window still exists).
using UniqueWindow = lumatre_detail::UniqueResource<HWND, lumatre_detail::WindowTraits>;
// DeleteEnhMetaFile / DeleteMetaFile.
using UniqueEnhMetaFile = lumatre_detail::UniqueResource<HENHMETAFILE, lumatre_detail::EnhMetaFileTraits>;
using UniqueMetaFile = lumatre_detail::UniqueResource<HMETAFILE, lumatre_detail::MetaFileTraits>;
// DestroyAcceleratorTable (tables made by CreateAcceleratorTable, not loaded ones).
using UniqueAccel = lumatre_detail::UniqueResource<HACCEL, lumatre_detail::AccelTraits>;

// GetDC / ReleaseDC of a window (null: the screen).
class WindowDC {
 public:
  WindowDC() noexcept = default;
  explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDC() { reset(); }
  WindowDC(WindowDC&& o) noexcept : hwnd_(o.hwnd_), dc_(o.release()) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      reset();
      hwnd_ = o.hwnd_;
      dc_ = o.release();
    }
    return *this;
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const noexcept { return dc_; }
  HWND window() const noexcept { return hwnd_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  [[nodiscard]] HDC release() noexcept { return std::exchange(dc_, nullptr); }
  void reset() noexcept {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
    dc_ = nullptr;
  }

 private:
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
};

// GetWindowDC / ReleaseDC: the whole window, non-client area included.
class WindowFrameDC {
 public:
  explicit WindowFrameDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetWindowDC(hwnd)) {}
  ~WindowFrameDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  WindowFrameDC(const WindowFrameDC&) = delete;
  WindowFrameDC& operator=(const WindowFrameDC&) = delete;

  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint inside a WM_PAINT handler.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
  ~PaintDC() {
    if (dc_) ::EndPaint(hwnd_, &ps_);
  }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC get() const noexcept { return dc_; }
  const PAINTSTRUCT& paint() const noexcept { return ps_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_ = nullptr;
  PAINTSTRUCT ps_{};
};

// Selects an object into a DC and restores the previous selection when it ends.
// release() keeps the new selection in place.
class SelectObjectGuard {
 public:
  SelectObjectGuard() noexcept = default;
  SelectObjectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc) {
    if (dc && obj) {
      old_ = ::SelectObject(dc, obj);
      if (old_ == HGDI_ERROR) old_ = nullptr;
    }
  }
  ~SelectObjectGuard() { reset(); }
  SelectObjectGuard(SelectObjectGuard&& o) noexcept : dc_(o.dc_), old_(o.release()) {}
  SelectObjectGuard& operator=(SelectObjectGuard&& o) noexcept {
    if (this != &o) {
      reset();
      dc_ = o.dc_;
      old_ = o.release();
    }
    return *this;
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

  // The object that was selected before (what will be restored).
  HGDIOBJ get() const noexcept { return old_; }
  explicit operator bool() const noexcept { return old_ != nullptr; }
  [[nodiscard]] HGDIOBJ release() noexcept { return std::exchange(old_, nullptr); }
  void reset() noexcept {
    if (dc_ && old_) ::SelectObject(dc_, old_);
    old_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// GlobalLock / GlobalUnlock of a memory block.
class GlobalLockGuard {
 public:
  GlobalLockGuard() noexcept = default;
  explicit GlobalLockGuard(HGLOBAL h) noexcept : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
  ~GlobalLockGuard() { reset(); }
  GlobalLockGuard(GlobalLockGuard&& o) noexcept : h_(o.h_), p_(o.release()) {}
  GlobalLockGuard& operator=(GlobalLockGuard&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = o.h_;
      p_ = o.release();
    }
    return *this;
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

  void* get() const noexcept { return p_; }
  // Size of the locked block in bytes (0 when nothing is locked).
  SIZE_T size() const noexcept { return p_ ? ::GlobalSize(h_) : 0; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  [[nodiscard]] void* release() noexcept { return std::exchange(p_, nullptr); }
  void reset() noexcept {
    if (p_) ::GlobalUnlock(h_);
    p_ = nullptr;
  }

 private:
  HGLOBAL h_ = nullptr;
  void* p_ = nullptr;
};

// OpenClipboard / CloseClipboard. Another program may hold the clipboard for a moment, so the
// open is retried for up to retryMs milliseconds.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner, DWORD retryMs = 0) noexcept {
    DWORD start = ::GetTickCount();
    for (;;) {
      open_ = ::OpenClipboard(owner) != FALSE;
      if (open_ || ::GetTickCount() - start >= retryMs) break;
      ::Sleep(10);
    }
  }
  ~ClipboardGuard() { reset(); }
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;

  bool IsOpen() const noexcept { return open_; }
  bool get() const noexcept { return open_; }
  explicit operator bool() const noexcept { return open_; }
  // Leaves the clipboard open; the caller closes it.
  bool release() noexcept { return std::exchange(open_, false); }
  void reset() noexcept {
    if (open_) ::CloseClipboard();
    open_ = false;
  }

 private:
  bool open_ = false;
};
