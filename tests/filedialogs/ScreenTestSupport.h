// What the screen tests of the dialogs share: message boxes recorded from any thread, a modal
// dialog run here while a second thread drives it with real input, and lookups of the system's
// file dialog's controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BoxLog.h"
#include "E2EDriver.h"
#include "framework/Framework.h"

namespace fd_test {

namespace e2e = lumatre::e2e;

constexpr DWORD kWaitMs = 10000;

using ::BoxLog;

// The visible top-level dialog of this process with that caption.
inline HWND FindDialog(const char* caption) {
  HWND hwnd = ::FindWindowA("#32770", caption);
  return hwnd && ::IsWindowVisible(hwnd) ? hwnd : nullptr;
}

// Runs modal() here while script drives the dialog captioned caption from another thread; the
// dialog is cancelled if the script leaves it open. Returns modal's result.
inline INT_PTR RunDriven(const std::function<INT_PTR()>& modal, const char* caption,
                         const std::function<void(HWND)>& script) {
  std::thread driver([&] {
    HWND hwnd = nullptr;
    e2e::WaitUntil([&] { return (hwnd = FindDialog(caption)) != nullptr; }, 120000);
    if (hwnd) {
      EXPECT_TRUE(e2e::ForceForeground(hwnd, kWaitMs)) << caption;
      e2e::PumpFor(300);
      script(hwnd);
    } else {
      ADD_FAILURE() << "no dialog \"" << caption << "\"";
    }
    for (int i = 0; i < 100 && (hwnd = ::FindWindowA("#32770", caption)) != nullptr; ++i) {
      ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
      ::Sleep(100);
    }
  });
  INT_PTR result = modal();
  driver.join();
  return result;
}

inline std::string ItemText(HWND dlg, int id) { return e2e::WindowText(::GetDlgItem(dlg, id)); }

inline bool WaitForItemText(HWND dlg, int id, const std::string& text, DWORD ms = kWaitMs) {
  return e2e::WaitUntil([&] { return ItemText(dlg, id) == text; }, ms);
}

inline RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

inline POINT CenterOf(HWND hwnd) {
  RECT r = WindowRectOf(hwnd);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline void ClickOn(HWND control) {
  POINT c = CenterOf(control);
  e2e::MouseClick(c.x, c.y);
}

// Replaces the text of an edit by typing: click into it, select everything, type.
inline void TypeInto(HWND edit, const std::string& text) {
  ClickOn(edit);
  e2e::KeyPress(VK_END);
  e2e::KeyChord({VK_SHIFT, VK_HOME});
  e2e::KeyPress(VK_DELETE);
  e2e::TypeText(text);
}

// The first descendant of parent of that class.
struct DescendantSearch {
  const char* name;
  HWND found;
};

inline BOOL CALLBACK MatchDescendant(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<DescendantSearch*>(p);
  char name[64] = "";
  ::GetClassNameA(w, name, sizeof name);
  if (lstrcmpiA(name, s->name) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

inline HWND FindDescendant(HWND parent, const char* className) {
  DescendantSearch search{className, nullptr};
  ::EnumChildWindows(parent, &MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The dialog inside the system's file dialog that holds our template's controls.
inline HWND TemplateChild(HWND fileDialog, int controlId) {
  HWND found = nullptr;
  for (HWND child = ::GetWindow(fileDialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgItem(child, controlId)) {
      found = child;
      break;
    }
  }
  return found;
}

// Clicks the item of the file dialog's list whose text starts with name. False when none.
inline bool ClickListItem(HWND fileDialog, const std::string& name) {
  HWND list = FindDescendant(fileDialog, "SysListView32");
  if (!list) return false;
  int index = -1;
  e2e::WaitUntil(
      [&] {
        int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
          char text[MAX_PATH] = "";
          LVITEMA item{};
          item.iSubItem = 0;
          item.pszText = text;
          item.cchTextMax = sizeof text;
          ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
          if (std::string(text).rfind(name, 0) == 0) {
            index = i;
            return true;
          }
        }
        return false;
      },
      kWaitMs);
  if (index < 0) return false;
  ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
  RECT r{};
  r.left = LVIR_LABEL;
  ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(list, &p);
  e2e::MouseClick(p.x, p.y);
  return true;
}

}  // namespace fd_test
