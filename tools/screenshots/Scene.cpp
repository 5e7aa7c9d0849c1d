#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "framework/Handles.h"

namespace screenshots {

namespace e2e = lumatre::e2e;

namespace {

struct Palette {
  COLORREF skyTop, skyBottom, sun, farHills, nearHills, lake, house, roof, title;
};

const Palette kPalettes[3] = {
    // Morning
    {RGB(70, 130, 210), RGB(190, 225, 250), RGB(255, 225, 90), RGB(110, 150, 120), RGB(60, 130, 60),
     RGB(80, 150, 210), RGB(235, 225, 200), RGB(170, 60, 50), RGB(255, 255, 255)},
    // Evening
    {RGB(60, 40, 110), RGB(250, 150, 90), RGB(255, 200, 120), RGB(120, 80, 110), RGB(70, 60, 80),
     RGB(200, 120, 110), RGB(230, 200, 170), RGB(110, 40, 60), RGB(255, 240, 220)},
    // Winter
    {RGB(150, 185, 220), RGB(235, 240, 248), RGB(255, 250, 235), RGB(170, 185, 205), RGB(235, 240, 245),
     RGB(120, 160, 200), RGB(200, 120, 80), RGB(80, 80, 100), RGB(40, 60, 100)},
};

int Mix(int a, int b, int t, int n) { return a + (b - a) * t / std::max(n, 1); }

COLORREF MixColor(COLORREF a, COLORREF b, int t, int n) {
  return RGB(Mix(GetRValue(a), GetRValue(b), t, n), Mix(GetGValue(a), GetGValue(b), t, n),
             Mix(GetBValue(a), GetBValue(b), t, n));
}

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF color) {
  UniqueBrush brush(CreateSolidBrush(color));
  UniquePen pen(CreatePen(PS_SOLID, 1, color));
  SelectObjectGuard b(dc, brush.get());
  SelectObjectGuard p(dc, pen.get());
  Polygon(dc, points, count);
}

void FillEllipse(HDC dc, int l, int t, int r, int b, COLORREF color) {
  UniqueBrush brush(CreateSolidBrush(color));
  UniquePen pen(CreatePen(PS_SOLID, 1, color));
  SelectObjectGuard sb(dc, brush.get());
  SelectObjectGuard sp(dc, pen.get());
  Ellipse(dc, l, t, r, b);
}

// A hill line across the picture: a sum of two waves.
void DrawHills(HDC dc, int w, int h, int base, int amplitude, double phase, COLORREF color) {
  std::vector<POINT> points;
  for (int x = 0; x <= w; x += 4) {
    const double a = x * 6.2831853 / w;
    const int y = base - static_cast<int>(amplitude * (0.6 * std::sin(a * 1.3 + phase) + 0.4 * std::sin(a * 3.1 + 2 * phase)));
    points.push_back(POINT{x, y});
  }
  points.push_back(POINT{w, h});
  points.push_back(POINT{0, h});
  FillPolygon(dc, points.data(), static_cast<int>(points.size()), color);
}

}  // namespace

e2e::Image DrawScene(int w, int h, int variant) {
  const Palette& pal = kPalettes[((variant % 3) + 3) % 3];
  e2e::Image image(w, h);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueDC dc(CreateCompatibleDC(nullptr));
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return image;
  {
    SelectObjectGuard selected(dc.get(), bitmap.get());
    HDC d = dc.get();
    const int horizon = h * 62 / 100;
    // Sky: a gradient down to the horizon.
    for (int y = 0; y < h; ++y) {
      UniquePen pen(CreatePen(PS_SOLID, 1, MixColor(pal.skyTop, pal.skyBottom, std::min(y, horizon), horizon)));
      SelectObjectGuard p(d, pen.get());
      MoveToEx(d, 0, y, nullptr);
      LineTo(d, w, y);
    }
    // The sun with a soft ring.
    const int sx = w * (variant == 1 ? 30 : 72) / 100, sy = h * (variant == 1 ? 48 : 22) / 100, sr = h / 11;
    FillEllipse(d, sx - sr * 2, sy - sr * 2, sx + sr * 2, sy + sr * 2, MixColor(pal.sun, pal.skyBottom, 3, 4));
    FillEllipse(d, sx - sr * 3 / 2, sy - sr * 3 / 2, sx + sr * 3 / 2, sy + sr * 3 / 2, MixColor(pal.sun, pal.skyBottom, 1, 2));
    FillEllipse(d, sx - sr, sy - sr, sx + sr, sy + sr, pal.sun);
    DrawHills(d, w, h, horizon - h / 20, h / 9, 0.7 + variant, pal.farHills);
    // A lake below the far hills.
    FillEllipse(d, w / 8, horizon + h / 40, w * 7 / 10, horizon + h / 5, pal.lake);
    DrawHills(d, w, h, horizon + h / 6, h / 14, 2.1 + variant * 1.7, pal.nearHills);
    // A small house on the near hills.
    const int hx = w * 68 / 100, hy = horizon + h / 8, hw = w / 9, hh = h / 10;
    const RECT wall{hx, hy, hx + hw, hy + hh};
    UniqueBrush wallBrush(CreateSolidBrush(pal.house));
    FillRect(d, &wall, wallBrush.get());
    const POINT roof[3] = {{hx - hw / 8, hy}, {hx + hw / 2, hy - hh * 2 / 3}, {hx + hw + hw / 8, hy}};
    FillPolygon(d, roof, 3, pal.roof);
    const RECT door{hx + hw * 2 / 5, hy + hh / 3, hx + hw * 3 / 5, hy + hh};
    UniqueBrush doorBrush(CreateSolidBrush(pal.roof));
    FillRect(d, &door, doorBrush.get());
    // Trees.
    for (int k = 0; k < 4; ++k) {
      const int tx = w * (12 + k * 9) / 100, ty = horizon + h / 4 + (k % 2) * h / 30, th = h / 7;
      const POINT tree[3] = {{tx - th / 3, ty}, {tx, ty - th}, {tx + th / 3, ty}};
      FillPolygon(d, tree, 3, MixColor(pal.nearHills, RGB(0, 40, 0), 1, 2));
    }
    // A caption in the corner.
    UniqueFont font(CreateFontA(-std::max(12, h / 14), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                "Arial"));
    SelectObjectGuard f(d, font.get());
    SetBkMode(d, TRANSPARENT);
    SetTextColor(d, pal.title);
    static const char* const kTitles[3] = {"Morning", "Evening", "Winter"};
    TextOutA(d, h / 20, h / 24, kTitles[((variant % 3) + 3) % 3], static_cast<int>(std::strlen(kTitles[((variant % 3) + 3) % 3])));
    GdiFlush();
  }
  const auto* src = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = 0xFF000000u | (src[i] & 0x00FFFFFFu);
  return image;
}

namespace {

constexpr char kPictureClass[] = "LumatreScreenshotsPicture";

struct PictureWindow {
  UniqueBitmap bitmap;
  int width = 0, height = 0;
};

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<PictureWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (window && window->bitmap) {
        UniqueDC memory(CreateCompatibleDC(dc));
        SelectObjectGuard selected(memory.get(), window->bitmap.get());
        BitBlt(dc, 0, 0, window->width, window->height, memory.get(), 0, 0, SRCCOPY);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_NCDESTROY:
      delete window;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND ShowPictureWindow(const e2e::Image& picture, int x, int y) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PictureProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    if (!RegisterClassA(&wc)) return nullptr;
    registered = true;
  }
  auto* window = new PictureWindow;
  window->width = picture.width;
  window->height = picture.height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  window->bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!window->bitmap || !bits) {
    delete window;
    return nullptr;
  }
  std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kPictureClass, "Screenshot background", WS_POPUP, x, y,
                              picture.width, picture.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    delete window;
    return nullptr;
  }
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  return hwnd;
}

void ClosePictureWindow(HWND hwnd) {
  if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

}  // namespace screenshots
