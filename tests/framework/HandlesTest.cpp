// The RAII owners release what they hold on every path: scope end, reset, move-assignment,
// and never after release().
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "Handles.h"
#include "Registry.h"

namespace {

bool HandleIsOpen(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != FALSE;
}

bool GdiObjectAlive(HGDIOBJ h) { return ::GetObjectType(h) != 0; }

LRESULT CALLBACK PassOnHook(int code, WPARAM w, LPARAM l) { return ::CallNextHookEx(nullptr, code, w, l); }

}  // namespace

TEST(Handles, UniqueHandleClosesOnScopeResetAndAssignment) {
  HANDLE raw;
  {
    UniqueHandle h(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(h);
    raw = h.get();
    EXPECT_TRUE(HandleIsOpen(raw));
  }
  EXPECT_FALSE(HandleIsOpen(raw));

  UniqueHandle a(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE first = a.get();
  a.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  EXPECT_FALSE(HandleIsOpen(first));
  EXPECT_TRUE(HandleIsOpen(a.get()));

  UniqueHandle b(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE second = b.get();
  HANDLE third = a.get();
  b = std::move(a);  // b's old handle is closed, a is empty
  EXPECT_FALSE(HandleIsOpen(second));
  EXPECT_FALSE(a);
  EXPECT_EQ(b.get(), third);
  EXPECT_TRUE(HandleIsOpen(third));
}

TEST(Handles, UniqueHandleTreatsInvalidHandleValueAsEmpty) {
  UniqueHandle h(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(h);
  h.reset();  // must not call CloseHandle on it (no crash, nothing to check beyond)
  UniqueHandle file(::CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file);
}

TEST(Handles, ReleaseGivesUpOwnership) {
  HANDLE raw;
  {
    UniqueHandle h(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    raw = h.release();
    EXPECT_FALSE(h);
  }
  EXPECT_TRUE(HandleIsOpen(raw));
  ::CloseHandle(raw);
}

TEST(Handles, GdiObjectsAndDcsAreDeleted) {
  HBRUSH brushRaw;
  HDC dcRaw;
  {
    UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    UniqueDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(brush);
    ASSERT_TRUE(dc);
    brushRaw = brush.get();
    dcRaw = dc.get();
    EXPECT_TRUE(GdiObjectAlive(brushRaw));
    EXPECT_TRUE(GdiObjectAlive(dcRaw));
  }
  EXPECT_FALSE(GdiObjectAlive(brushRaw));
  EXPECT_FALSE(GdiObjectAlive(dcRaw));
}

TEST(Handles, SelectObjectGuardRestoresThePreviousSelection) {
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  UniqueBitmap bmp(::CreateCompatibleBitmap(dc.get(), 4, 4));
  HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
  {
    SelectObjectGuard guard(dc.get(), bmp.get());
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), bmp.get());
    EXPECT_EQ(guard.get(), original);
  }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);

  // release() leaves the new selection in place.
  {
    SelectObjectGuard guard(dc.get(), bmp.get());
    (void)guard.release();
  }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), bmp.get());
  ::SelectObject(dc.get(), original);  // so the bitmap can go
}

TEST(Handles, WindowDcIsReleased) {
  WindowDC dc(nullptr);
  ASSERT_TRUE(dc);
  EXPECT_EQ(::GetDeviceCaps(dc.get(), TECHNOLOGY), DT_RASDISPLAY);
  dc.reset();
  EXPECT_FALSE(dc);
}

TEST(Handles, GlobalLockAndGlobalFree) {
  UniqueGlobal mem(::GlobalAlloc(GMEM_MOVEABLE, 64));
  ASSERT_TRUE(mem);
  {
    GlobalLockGuard lock(mem.get());
    ASSERT_TRUE(lock);
    EXPECT_GE(lock.size(), 64u);
    EXPECT_EQ(::GlobalFlags(mem.get()) & GMEM_LOCKCOUNT, 1u);
  }
  EXPECT_EQ(::GlobalFlags(mem.get()) & GMEM_LOCKCOUNT, 0u);

  HGLOBAL raw = mem.get();
  mem.reset();
  EXPECT_EQ(::GlobalSize(raw), 0u);  // freed

  // Released: the block stays (as after SetClipboardData took it).
  UniqueGlobal kept(::GlobalAlloc(GMEM_MOVEABLE, 16));
  HGLOBAL keptRaw = kept.release();
  EXPECT_GE(::GlobalSize(keptRaw), 16u);
  ::GlobalFree(keptRaw);
}

TEST(Handles, MappedViewIsUnmapped) {
  UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
  ASSERT_TRUE(mapping);
  void* raw;
  {
    MappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 4));
    ASSERT_TRUE(view);
    raw = view.get();
    *static_cast<int*>(raw) = 42;
    MEMORY_BASIC_INFORMATION mbi{};
    ::VirtualQuery(raw, &mbi, sizeof(mbi));
    EXPECT_EQ(mbi.State, static_cast<DWORD>(MEM_COMMIT));
  }
  MEMORY_BASIC_INFORMATION mbi{};
  ::VirtualQuery(raw, &mbi, sizeof(mbi));
  EXPECT_NE(mbi.State, static_cast<DWORD>(MEM_COMMIT));
}

TEST(Handles, MenuIconCursorAndHookAreDestroyed) {
  HMENU menuRaw;
  {
    UniqueMenu menu(::CreatePopupMenu());
    menuRaw = menu.get();
    EXPECT_TRUE(::IsMenu(menuRaw));
  }
  EXPECT_FALSE(::IsMenu(menuRaw));

  BYTE andMask[32 * 4];
  BYTE xorMask[32 * 4];
  memset(andMask, 0xFF, sizeof(andMask));
  memset(xorMask, 0, sizeof(xorMask));
  HICON iconRaw;
  {
    UniqueIcon icon(::CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask));
    ASSERT_TRUE(icon);
    iconRaw = icon.get();
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(iconRaw, &info));
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
  }
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(iconRaw, &info));

  UniqueCursor cursor(::CreateCursor(nullptr, 0, 0, 32, 32, andMask, xorMask));
  EXPECT_TRUE(cursor);
  cursor.reset();
  EXPECT_FALSE(cursor);

  HHOOK hookRaw;
  {
    UniqueHook hook(::SetWindowsHookExA(WH_CBT, PassOnHook, nullptr, ::GetCurrentThreadId()));
    ASSERT_TRUE(hook);
    hookRaw = hook.get();
  }
  EXPECT_FALSE(::UnhookWindowsHookEx(hookRaw));  // already gone
}

TEST(Handles, ClipboardGuardClosesTheClipboard) {
  // Whether another thread can open the clipboard right now.
  auto otherThreadCanOpen = [] {
    bool opened = false;
    std::thread t([&] {
      opened = ::OpenClipboard(nullptr) != FALSE;
      if (opened) ::CloseClipboard();
    });
    t.join();
    return opened;
  };
  UniqueWindow owner(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(owner);
  {
    ClipboardGuard clip(owner.get(), 1000);
    ASSERT_TRUE(clip.IsOpen());
    EXPECT_EQ(::GetOpenClipboardWindow(), owner.get());
    EXPECT_FALSE(otherThreadCanOpen());
  }
  EXPECT_EQ(::GetOpenClipboardWindow(), nullptr);
  EXPECT_TRUE(otherThreadCanOpen());
}

TEST(Handles, RegKeyIsClosedAndTreeDeleted) {
  const char* path = "software\\LumatreFrameworkTest\\Handles";
  HKEY raw;
  {
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    raw = key.get();
    ASSERT_EQ(key.SetDWORDValue("v", 7), ERROR_SUCCESS);
    CRegKey child;
    ASSERT_EQ(child.Create(key, "child\\grandchild"), ERROR_SUCCESS);
  }
  DWORD values = 0;
  EXPECT_NE(::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(AfxDeleteRegKeyTree(HKEY_CURRENT_USER, "software\\LumatreFrameworkTest"), ERROR_SUCCESS);
  CRegKey gone;
  EXPECT_EQ(gone.Open(HKEY_CURRENT_USER, "software\\LumatreFrameworkTest", KEY_READ), ERROR_FILE_NOT_FOUND);
  // Deleting what is not there is fine.
  EXPECT_EQ(AfxDeleteRegKeyTree(HKEY_CURRENT_USER, "software\\LumatreFrameworkTest"), ERROR_SUCCESS);
}
