// e2e_tracker_dialog.exe: a small top-level window of another program for the picking tests:
// a push button to point at, and strips of pure colours to pick.
//
//   e2e_tracker_dialog.exe [--x N --y N] (outer top-left corner)
//
// Client area 400 x 300. Button "Capture me" at (40, 40), 160 x 60. Colour strips from y 150 to
// 300, each 100 wide: blue, white, red, black (TrackerDialog.h).
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "TrackerDialog.h"

namespace {

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      for (int i = 0; i < tracker_dialog::kStripCount; ++i) {
        RECT r = tracker_dialog::StripRect(i);
        HBRUSH brush = CreateSolidBrush(tracker_dialog::kStripColors[i]);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int x = 500, y = 200;
  for (int i = 1; i + 1 < __argc; ++i) {
    if (!std::strcmp(__argv[i], "--x")) x = std::atoi(__argv[++i]);
    else if (!std::strcmp(__argv[i], "--y")) y = std::atoi(__argv[++i]);
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = DialogProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = tracker_dialog::kClass;
  RegisterClassA(&wc);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  RECT outer{0, 0, tracker_dialog::kClientWidth, tracker_dialog::kClientHeight};
  AdjustWindowRect(&outer, style, FALSE);
  HWND hwnd = CreateWindowExA(0, tracker_dialog::kClass, "Tracker dialog", style, x, y,
                              outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              instance, nullptr);
  const RECT b = tracker_dialog::kButton;
  CreateWindowExA(0, "BUTTON", "Capture me", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, b.left, b.top,
                  b.right - b.left, b.bottom - b.top, hwnd,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(tracker_dialog::kButtonId)), instance,
                  nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
