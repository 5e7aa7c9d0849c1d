// e2e_pattern.exe: a top-level window that paints a known pattern (PatternPixel) over its whole
// client area, so capture tests can compare pixels exactly, and reports the keys and mouse
// buttons it receives in its title.
//
//   e2e_pattern.exe [--class NAME] [--title TEXT] [--x N --y N] (outer top-left corner)
//                   [--w N --h N] (client size) [--variant N] [--switch-after MS:VARIANT]
//                   [--popup] [--topmost]
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "E2EDriver.h"
#include "GdiTestUtil.h"

namespace {

using lumatre::e2e::PatternPixel;

constexpr UINT_PTR kSwitchTimer = 1;

struct Options {
  std::string className = lumatre::e2e::kPatternDefaultClass;
  std::string title = "Pattern";
  int x = 100, y = 100, w = 320, h = 240;
  int variant = 0;
  int switchAfterMs = -1, switchVariant = 1;
  bool popup = false, topmost = false;
};

struct State {
  Options opt;
  int variant = 0;
  std::string lastKey;
  int keyDowns = 0;
  std::string lastClick;
  int clicks = 0;
} g;

void UpdateTitle(HWND hwnd) {
  std::string t = g.opt.title;
  if (g.keyDowns) t += " | key=" + g.lastKey + " #" + std::to_string(g.keyDowns);
  if (g.clicks) t += " | click=" + g.lastClick + " #" + std::to_string(g.clicks);
  SetWindowTextA(hwnd, t.c_str());
}

bool IsModifier(WPARAM vk) {
  switch (vk) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LSHIFT: case VK_RSHIFT:
    case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_RMENU: case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

std::string KeyName(WPARAM vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
  char buf[16];
  if (vk >= VK_F1 && vk <= VK_F24)
    wsprintfA(buf, "F%u", static_cast<unsigned>(vk - VK_F1 + 1));
  else
    wsprintfA(buf, "VK%02X", static_cast<unsigned>(vk));
  return buf;
}

void OnKeyDown(HWND hwnd, WPARAM vk, LPARAM lp) {
  if ((lp & (1 << 30)) || IsModifier(vk)) return;  // auto-repeat, or a modifier on its own
  std::string chord;
  if (GetKeyState(VK_CONTROL) < 0) chord += "Ctrl+";
  if (GetKeyState(VK_SHIFT) < 0) chord += "Shift+";
  if (GetKeyState(VK_MENU) < 0) chord += "Alt+";
  g.lastKey = chord + KeyName(vk);
  ++g.keyDowns;
  UpdateTitle(hwnd);
}

void OnButtonDown(HWND hwnd, char button, LPARAM lp) {
  int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  g.lastClick = std::string(1, button) + "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  ++g.clicks;
  UpdateTitle(hwnd);
}

void OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& r = ps.rcPaint;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w > 0 && h > 0) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        bits[static_cast<size_t>(y) * w + x] = PatternPixel(g.variant, r.left + x, r.top + y);
    BITMAPINFO bi = TopDown32BitmapInfo(w, h);
    SetDIBitsToDevice(dc, r.left, r.top, w, h, 0, 0, 0, h, bits.data(), &bi, DIB_RGB_COLORS);
  }
  EndPaint(hwnd, &ps);
}

void SetVariant(HWND hwnd, int v) {
  g.variant = v;
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(hwnd, wp, lp);
      return 0;
    case WM_SYSKEYDOWN:
      OnKeyDown(hwnd, wp, lp);
      break;  // keep Alt+F4 and the system menu keys working
    case WM_LBUTTONDOWN:
      OnButtonDown(hwnd, 'L', lp);
      return 0;
    case WM_RBUTTONDOWN:
      OnButtonDown(hwnd, 'R', lp);
      return 0;
    case WM_MBUTTONDOWN:
      OnButtonDown(hwnd, 'M', lp);
      return 0;
    case WM_TIMER:
      if (wp == kSwitchTimer) {
        KillTimer(hwnd, kSwitchTimer);
        SetVariant(hwnd, g.opt.switchVariant);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (msg == lumatre::e2e::kPatternSetVariant) {
        SetVariant(hwnd, static_cast<int>(wp));
        return 1;
      }
      if (msg == lumatre::e2e::kPatternGetVariant) return g.variant;
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool ParseInt(const char* s, int& out) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 0);
  if (!end || end == s || *end) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&](const char*& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    const char* v = nullptr;
    if (a == "--popup") {
      o.popup = true;
    } else if (a == "--topmost") {
      o.topmost = true;
    } else if (!next(v)) {
      return false;
    } else if (a == "--class") {
      o.className = v;
    } else if (a == "--title") {
      o.title = v;
    } else if (a == "--x") {
      if (!ParseInt(v, o.x)) return false;
    } else if (a == "--y") {
      if (!ParseInt(v, o.y)) return false;
    } else if (a == "--w") {
      if (!ParseInt(v, o.w) || o.w <= 0) return false;
    } else if (a == "--h") {
      if (!ParseInt(v, o.h) || o.h <= 0) return false;
    } else if (a == "--variant") {
      if (!ParseInt(v, o.variant)) return false;
    } else if (a == "--switch-after") {
      std::string s = v;
      size_t colon = s.find(':');
      if (colon == std::string::npos || !ParseInt(s.substr(0, colon).c_str(), o.switchAfterMs) ||
          !ParseInt(s.substr(colon + 1).c_str(), o.switchVariant) || o.switchAfterMs < 0)
        return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!ParseArgs(argc, argv, g.opt)) {
    // No message box: a test waiting for the window sees the process end with code 2.
    OutputDebugStringA("e2e_pattern: unknown or malformed argument\n");
    return 2;
  }
  g.variant = g.opt.variant;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = g.opt.className.c_str();
  if (!RegisterClassA(&wc)) return 3;

  DWORD style = g.opt.popup ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  DWORD exStyle = g.opt.topmost ? WS_EX_TOPMOST : 0;
  RECT r = {0, 0, g.opt.w, g.opt.h};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HWND hwnd = CreateWindowExA(exStyle, wc.lpszClassName, g.opt.title.c_str(), style, g.opt.x,
                              g.opt.y, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                              inst, nullptr);
  if (!hwnd) return 4;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  if (g.opt.switchAfterMs >= 0)
    SetTimer(hwnd, kSwitchTimer, static_cast<UINT>(g.opt.switchAfterMs), nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
