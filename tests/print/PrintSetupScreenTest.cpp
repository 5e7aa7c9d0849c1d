// Print Setup on the session's printer: "&Layout" opens "Print Layout", whose page edits a copy
// of the layout (units, spins and their limits); OK stores the copy and Cancel drops it. Without
// a printer, Print Setup says message 151 and shows no dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "resources/PrintIds.h"
#include "resources/resource.h"
#include "ui/PrintSetupEx.h"

namespace {

CWinApp g_app("Print Setup Test");

std::vector<std::string> g_boxes;
int RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
  g_boxes.push_back(text ? text : "");
  return IDOK;
}

HWND WaitForWindow(const char* title, int ms = 15000) {
  for (int waited = 0; waited < ms; waited += 50) {
    HWND w = ::FindWindowA(nullptr, title);
    if (w && ::IsWindowVisible(w)) return w;
    ::Sleep(50);
  }
  return nullptr;
}

// The page inside "Print Layout": the child dialog holding the margin boxes.
HWND FindPage(HWND dialog) {
  HWND child = nullptr;
  while ((child = ::FindWindowExA(dialog, child, nullptr, nullptr)) != nullptr)
    if (::GetDlgItem(child, IDC_LAYOUT_LEFT)) return child;
  return nullptr;
}

std::string Text(HWND page, int id) {
  char text[64] = {};
  ::GetDlgItemTextA(page, id, text, sizeof(text));
  return text;
}

void Spin(HWND page, int spinId, int delta) {
  NMUPDOWN nm{};
  nm.hdr.hwndFrom = ::GetDlgItem(page, spinId);
  nm.hdr.idFrom = static_cast<UINT_PTR>(spinId);
  nm.hdr.code = UDN_DELTAPOS;
  nm.iDelta = delta;
  ::SendMessageA(page, WM_NOTIFY, static_cast<WPARAM>(spinId), reinterpret_cast<LPARAM>(&nm));
}

void Click(HWND dialog, int id) {
  ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

struct Observed {
  bool setupShown = false;
  bool layoutShown = false;
  std::string leftCm, leftIn, leftAtLimit;
};

// Drives Print Setup from a second thread: "&Layout", the page's edits, then closeLayout
// (IDOK or IDCANCEL) and Cancel in Print Setup.
void Drive(Observed& seen, int closeLayout) {
  HWND setup = WaitForWindow("Print Setup");
  seen.setupShown = setup != nullptr;
  if (!setup) return;
  ::PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDC_PRINTSETUP_LAYOUT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(setup, IDC_PRINTSETUP_LAYOUT)));
  HWND layout = WaitForWindow("Print Layout");
  seen.layoutShown = layout != nullptr;
  if (layout) {
    HWND page = FindPage(layout);
    if (page) {
      seen.leftCm = Text(page, IDC_LAYOUT_LEFT);
      Click(page, IDC_LAYOUT_INCHES);
      seen.leftIn = Text(page, IDC_LAYOUT_LEFT);
      Click(page, IDC_LAYOUT_CENTIMETERS);
      ::SetDlgItemTextA(page, IDC_LAYOUT_LEFT, "19.75");
      Spin(page, IDC_LAYOUT_LEFT_SPIN, +1);
      Spin(page, IDC_LAYOUT_LEFT_SPIN, +1);
      seen.leftAtLimit = Text(page, IDC_LAYOUT_LEFT);
    }
    ::PostMessageA(layout, WM_COMMAND, MAKEWPARAM(closeLayout, BN_CLICKED), 0);
    for (int i = 0; i < 200 && ::IsWindow(layout); ++i) ::Sleep(50);
  }
  ::PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool HavePrinter() { return std::getenv("CUPS_SERVER") && !std::getenv("LUMATRE_PRINT_NO_PRINTER"); }

TEST(PrintSetup, LayoutOkStoresTheCopy) {
  if (!HavePrinter()) GTEST_SKIP() << "no print session";
  AfxSetMessageBoxFunction(&RecordBox);
  g_boxes.clear();
  PrintLayoutSettings layout;
  layout.margins = RECT{120, 120, 120, 120};
  Observed seen;
  std::thread driver(Drive, std::ref(seen), IDOK);
  RunPrintSetup(layout, nullptr);
  driver.join();
  EXPECT_TRUE(seen.setupShown);
  EXPECT_TRUE(seen.layoutShown);
  EXPECT_EQ(seen.leftCm, "1.20");
  EXPECT_EQ(seen.leftIn, "0.47");
  // A4 from the queue: 21 cm wide less the right margin's 1.2.
  EXPECT_EQ(seen.leftAtLimit, "19.80");
  EXPECT_EQ(layout.margins.left, 1980);
  EXPECT_EQ(layout.margins.right, 120);
  // The page of the chosen paper, and the print size filled in from it.
  EXPECT_EQ(layout.pageSize.cx, 2100);
  EXPECT_EQ(layout.pageSize.cy, 2970);
  EXPECT_EQ(layout.printSize.cx, 2100);
  EXPECT_TRUE(g_boxes.empty());  // a cancelled setup says nothing
}

TEST(PrintSetup, LayoutCancelLeavesTheLayout) {
  if (!HavePrinter()) GTEST_SKIP() << "no print session";
  AfxSetMessageBoxFunction(&RecordBox);
  g_boxes.clear();
  PrintLayoutSettings layout;
  layout.margins = RECT{120, 120, 120, 120};
  const PrintLayoutSettings before = layout;
  Observed seen;
  std::thread driver(Drive, std::ref(seen), IDCANCEL);
  RunPrintSetup(layout, nullptr);
  driver.join();
  EXPECT_TRUE(seen.layoutShown);
  EXPECT_EQ(layout.margins.left, before.margins.left);
  EXPECT_EQ(layout.pageSize.cx, before.pageSize.cx);
  EXPECT_EQ(layout.printSize.cx, before.printSize.cx);
  EXPECT_TRUE(g_boxes.empty());
}

TEST(PrintSetup, NoPrinterSaysPrinterTroubleWithoutADialog) {
  if (!std::getenv("LUMATRE_PRINT_NO_PRINTER")) GTEST_SKIP() << "a printer is there";
  AfxSetMessageBoxFunction(&RecordBox);
  g_boxes.clear();
  PrintLayoutSettings layout;
  std::atomic<bool> shown{false};
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    while (!done) {
      if (HWND w = ::FindWindowA(nullptr, "Print Setup")) {
        shown = true;
        ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
      ::Sleep(50);
    }
  });
  RunPrintSetup(layout, nullptr);
  done = true;
  watcher.join();
  EXPECT_FALSE(shown);
  char text[256] = {};
  ::LoadStringA(nullptr, IDS_PRINTER_TROUBLE, text, sizeof(text));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0], text);
}

}  // namespace
