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
  explicit UniqueResource(H h) noexcept : m_h(h) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : m_h(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  H get() const noexcept { return m_h; }
  explicit operator bool() const noexcept { return Traits::Valid(m_h); }

  // Gives up ownership; the caller now frees the handle.
  [[nodiscard]] H release() noexcept {
    H h = m_h;
    m_h = Traits::Empty();
    return h;
  }

  // Frees the held handle (if any) and takes h.
  void reset(H h = Traits::Empty()) noexcept {
    H old = m_h;
    m_h = h;
    if (Traits::Valid(old) && old != h) Traits::Free(old);
  }

  // For out-parameters of the API: frees the held handle and returns the address to fill.
  H* put() noexcept {
    reset();
    return &m_h;
  }

 private:
  H m_h = Traits::Empty();
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
  explicit WindowDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
  ~WindowDC() { reset(); }
  WindowDC(WindowDC&& o) noexcept : m_hwnd(o.m_hwnd), m_dc(o.release()) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      reset();
      m_hwnd = o.m_hwnd;
      m_dc = o.release();
    }
    return *this;
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const noexcept { return m_dc; }
  HWND window() const noexcept { return m_hwnd; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }
  [[nodiscard]] HDC release() noexcept { return std::exchange(m_dc, nullptr); }
  void reset() noexcept {
    if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
    m_dc = nullptr;
  }

 private:
  HWND m_hwnd = nullptr;
  HDC m_dc = nullptr;
};

// GetWindowDC / ReleaseDC: the whole window, non-client area included.
class WindowFrameDC {
 public:
  explicit WindowFrameDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::GetWindowDC(hwnd)) {}
  ~WindowFrameDC() {
    if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
  }
  WindowFrameDC(const WindowFrameDC&) = delete;
  WindowFrameDC& operator=(const WindowFrameDC&) = delete;

  HDC get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  HWND m_hwnd;
  HDC m_dc;
};

// BeginPaint / EndPaint inside a WM_PAINT handler.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) noexcept : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
  ~PaintDC() {
    if (m_dc) ::EndPaint(m_hwnd, &m_ps);
  }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC get() const noexcept { return m_dc; }
  const PAINTSTRUCT& paint() const noexcept { return m_ps; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  HWND m_hwnd;
  HDC m_dc = nullptr;
  PAINTSTRUCT m_ps{};
};

// Selects an object into a DC and restores the previous selection when it ends.
// release() keeps the new selection in place.
class SelectObjectGuard {
 public:
  SelectObjectGuard() noexcept = default;
  SelectObjectGuard(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc) {
    if (dc && obj) {
      m_old = ::SelectObject(dc, obj);
      if (m_old == HGDI_ERROR) m_old = nullptr;
    }
  }
  ~SelectObjectGuard() { reset(); }
  SelectObjectGuard(SelectObjectGuard&& o) noexcept : m_dc(o.m_dc), m_old(o.release()) {}
  SelectObjectGuard& operator=(SelectObjectGuard&& o) noexcept {
    if (this != &o) {
      reset();
      m_dc = o.m_dc;
      m_old = o.release();
    }
    return *this;
  }
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

  // The object that was selected before (what will be restored).
  HGDIOBJ get() const noexcept { return m_old; }
  explicit operator bool() const noexcept { return m_old != nullptr; }
  [[nodiscard]] HGDIOBJ release() noexcept { return std::exchange(m_old, nullptr); }
  void reset() noexcept {
    if (m_dc && m_old) ::SelectObject(m_dc, m_old);
    m_old = nullptr;
  }

 private:
  HDC m_dc = nullptr;
  HGDIOBJ m_old = nullptr;
};

// Selects a logical palette into a DC (foreground or background) and puts the previous one back
// when it ends, as a background palette so that the restore never remaps the system palette.
class SelectPaletteGuard {
 public:
  SelectPaletteGuard(HDC dc, HPALETTE palette, bool background = false) noexcept : m_dc(dc) {
    if (dc && palette) m_old = ::SelectPalette(dc, palette, background ? TRUE : FALSE);
  }
  ~SelectPaletteGuard() {
    if (m_dc && m_old) ::SelectPalette(m_dc, m_old, TRUE);
  }
  SelectPaletteGuard(const SelectPaletteGuard&) = delete;
  SelectPaletteGuard& operator=(const SelectPaletteGuard&) = delete;

  // The palette that was selected before (null when nothing was selected).
  HPALETTE get() const noexcept { return m_old; }
  explicit operator bool() const noexcept { return m_old != nullptr; }

 private:
  HDC m_dc = nullptr;
  HPALETTE m_old = nullptr;
};

// SaveDC / RestoreDC around a change of a DC's state (mapping, clipping, objects).
class SavedDCState {
 public:
  explicit SavedDCState(HDC dc) noexcept : m_dc(dc), m_saved(dc ? ::SaveDC(dc) : 0) {}
  ~SavedDCState() {
    if (m_saved) ::RestoreDC(m_dc, m_saved);
  }
  SavedDCState(const SavedDCState&) = delete;
  SavedDCState& operator=(const SavedDCState&) = delete;

  explicit operator bool() const noexcept { return m_saved != 0; }

 private:
  HDC m_dc;
  int m_saved;
};

// GlobalLock / GlobalUnlock of a memory block.
class GlobalLockGuard {
 public:
  GlobalLockGuard() noexcept = default;
  explicit GlobalLockGuard(HGLOBAL h) noexcept : m_h(h), m_p(h ? ::GlobalLock(h) : nullptr) {}
  ~GlobalLockGuard() { reset(); }
  GlobalLockGuard(GlobalLockGuard&& o) noexcept : m_h(o.m_h), m_p(o.release()) {}
  GlobalLockGuard& operator=(GlobalLockGuard&& o) noexcept {
    if (this != &o) {
      reset();
      m_h = o.m_h;
      m_p = o.release();
    }
    return *this;
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

  void* get() const noexcept { return m_p; }
  // Size of the locked block in bytes (0 when nothing is locked).
  SIZE_T size() const noexcept { return m_p ? ::GlobalSize(m_h) : 0; }
  explicit operator bool() const noexcept { return m_p != nullptr; }
  [[nodiscard]] void* release() noexcept { return std::exchange(m_p, nullptr); }
  void reset() noexcept {
    if (m_p) ::GlobalUnlock(m_h);
    m_p = nullptr;
  }

 private:
  HGLOBAL m_h = nullptr;
  void* m_p = nullptr;
};

// OpenClipboard / CloseClipboard. Another program may hold the clipboard for a moment, so the
// open is retried for up to retryMs milliseconds.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner, DWORD retryMs = 0) noexcept {
    DWORD start = ::GetTickCount();
    for (;;) {
      m_open = ::OpenClipboard(owner) != FALSE;
      if (m_open || ::GetTickCount() - start >= retryMs) break;
      ::Sleep(10);
    }
  }
  ~ClipboardGuard() { reset(); }
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;

  bool IsOpen() const noexcept { return m_open; }
  bool get() const noexcept { return m_open; }
  explicit operator bool() const noexcept { return m_open; }
  // Leaves the clipboard open; the caller closes it.
  bool release() noexcept { return std::exchange(m_open, false); }
  void reset() noexcept {
    if (m_open) ::CloseClipboard();
    m_open = false;
  }

 private:
  bool m_open = false;
};
