#include "GradientFill.h"

#include "MenuMetrics.h"

namespace {

// Rows of the fallback picture; stretching smooths the steps between them.
constexpr int kPictureRows = 256;

// Above version 4.0 of the system the gradient function may be used.
bool SystemAboveVersion4() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion > 0);
}

COLOR16 Channel(BYTE value) { return static_cast<COLOR16>(value << 8); }

}  // namespace

CGradientFill::CGradientFill(const char* libraryName) {
  if (!SystemAboveVersion4()) return;
  m_library.reset(::LoadLibraryA(libraryName));
  if (!m_library) return;
  m_gradientFill = reinterpret_cast<GradientFillProc>(::GetProcAddress(m_library.get(), "GradientFill"));
  if (!m_gradientFill) m_library.reset();
}

CGradientFill::~CGradientFill() = default;

void CGradientFill::FillVertical(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
  if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return;
  if (m_gradientFill && FillWithSystem(dc, rect, top, bottom)) return;
  FillWithPicture(dc, rect, top, bottom);
}

bool CGradientFill::FillWithSystem(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
  TRIVERTEX vertices[2] = {};
  vertices[0].x = rect.left;
  vertices[0].y = rect.top;
  vertices[0].Red = Channel(GetRValue(top));
  vertices[0].Green = Channel(GetGValue(top));
  vertices[0].Blue = Channel(GetBValue(top));
  vertices[1].x = rect.right;
  vertices[1].y = rect.bottom;
  vertices[1].Red = Channel(GetRValue(bottom));
  vertices[1].Green = Channel(GetGValue(bottom));
  vertices[1].Blue = Channel(GetBValue(bottom));
  GRADIENT_RECT span{0, 1};
  return m_gradientFill(dc, vertices, 2, &span, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

void CGradientFill::FillWithPicture(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
  if (!m_picture || top != m_pictureTop || bottom != m_pictureBottom) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -kPictureRows;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_picture.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_picture || !bits) {
      m_picture.reset();
      UniqueBrush brush(::CreateSolidBrush(top));
      ::FillRect(dc, &rect, brush.get());
      return;
    }
    auto* pixels = static_cast<DWORD*>(bits);
    for (int row = 0; row < kPictureRows; ++row) {
      const COLORREF c = BlendColor(top, bottom, static_cast<double>(row) / (kPictureRows - 1));
      pixels[row] = (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
    }
    m_pictureTop = top;
    m_pictureBottom = bottom;
  }
  UniqueDC memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  SelectObjectGuard picture(memory.get(), m_picture.get());
  const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.get(), 0, 0, 1,
               kPictureRows, SRCCOPY);
  ::SetStretchBltMode(dc, oldMode);
}
