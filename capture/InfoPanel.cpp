#include "InfoPanel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/resource.h"

namespace {

constexpr char kPanelFace[] = "Ms Serif";
constexpr int kLargeFontHeight = 18;
constexpr int kSmallFontHeight = 14;
constexpr int kFontWeight = 100;
constexpr COLORREF kTextColor = RGB(255, 255, 255);
// Background of a panel whose bitmap is missing.
constexpr COLORREF kPlainBackground = RGB(64, 64, 64);

UniqueFont MakePanelFont(int height) {
  return UniqueFont(::CreateFontA(height, 0, 0, 0, kFontWeight, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kPanelFace));
}

bool Intersects(const RECT& a, const RECT& b) {
  RECT common;
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

RECT Union3(const RECT& a, const RECT& b, const RECT& c) {
  RECT ab, abc;
  ::UnionRect(&ab, &a, &b);
  ::UnionRect(&abc, &ab, &c);
  return abc;
}

// Draws with pixel inversion: the outline of a rectangle (corners inclusive) and lines, in the
// style of the magnifier's crosshair.
class InvertingPen {
 public:
  explicit InvertingPen(HDC dc)
      : m_dc(dc),
        m_oldRop(::SetROP2(dc, R2_NOT)),
        m_brush(dc, ::GetStockObject(NULL_BRUSH)),
        m_pen(dc, ::GetStockObject(BLACK_PEN)) {}
  ~InvertingPen() { ::SetROP2(m_dc, m_oldRop); }
  InvertingPen(const InvertingPen&) = delete;
  InvertingPen& operator=(const InvertingPen&) = delete;

  // The outline through (left, top) and (right, bottom), both corners drawn.
  void Outline(int left, int top, int right, int bottom) {
    ::Rectangle(m_dc, left, top, right + 1, bottom + 1);
  }
  // From (x0, y0) towards (x1, y1), the end point not drawn.
  void Line(int x0, int y0, int x1, int y1) {
    ::MoveToEx(m_dc, x0, y0, nullptr);
    ::LineTo(m_dc, x1, y1);
  }

 private:
  HDC m_dc;
  int m_oldRop;
  SelectObjectGuard m_brush;
  SelectObjectGuard m_pen;
};

// Enlarges the pixels of from (in source) to fill to. Every source pixel becomes a block of
// whole pixels: halftone stretching would blend neighbouring pixels into each other (and, on some
// systems, shift them), and the crosshair must frame exactly the pointer's pixel.
void Magnify(HDC dc, const RECT& to, HDC source, const RECT& from) {
  const int oldStretch = ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source, from.left,
               from.top, from.right - from.left, from.bottom - from.top, SRCCOPY);
  ::SetStretchBltMode(dc, oldStretch);
}

void DrawPanelText(HDC dc, HFONT font, int x, int y, const char* text) {
  SelectObjectGuard selected(dc, font);
  ::TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace

// --- CMemorySurface ----------------------------------------------------------------------------

bool CMemorySurface::Create(HDC reference, int width, int height) {
  Reset();
  if (width <= 0 || height <= 0) return false;
  UniqueBitmap bitmap(::CreateCompatibleBitmap(reference, width, height));
  return Adopt(reference, std::move(bitmap), width, height);
}

bool CMemorySurface::Adopt(HDC reference, UniqueBitmap bitmap, int width, int height) {
  Reset();
  if (!bitmap) return false;
  UniqueDC dc(::CreateCompatibleDC(reference));
  if (!dc) return false;
  SelectObjectGuard selection(dc.get(), bitmap.get());
  if (!selection) return false;
  m_dc = std::move(dc);
  m_bitmap = std::move(bitmap);
  m_selection = std::move(selection);
  m_width = width;
  m_height = height;
  return true;
}

void CMemorySurface::Reset() {
  // The bitmap leaves the context before either is deleted.
  m_selection.reset();
  m_bitmap.reset();
  m_dc.reset();
  m_width = m_height = 0;
}

// --- CInfoPanel --------------------------------------------------------------------------------

POINT CInfoPanel::PlaceAt(POINT pointer, SIZE screen) {
  POINT at{pointer.x + kPointerOffset, pointer.y + kPointerOffset};
  if (at.x + kWidth + kEdgeMargin >= screen.cx) at.x = screen.cx - kWidth - kEdgeMargin;
  if (at.y + kHeight + kEdgeMargin >= screen.cy) at.y = screen.cy - kHeight - kEdgeMargin;
  return at;
}

SIZE CInfoPanel::ScreenSize() const {
  if (m_screenSize.cx > 0 && m_screenSize.cy > 0) return m_screenSize;
  return SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool CInfoPanel::Prepare(HDC screen, HINSTANCE resources) {
  Forget();
  m_saved.Reset();
  m_work.Reset();
  m_background.Reset();
  m_backgroundFromResource = false;
  m_largeFont = MakePanelFont(kLargeFontHeight);
  m_smallFont = MakePanelFont(kSmallFontHeight);
  if (!screen) return false;

  UniqueBitmap image(static_cast<HBITMAP>(
      ::LoadImageA(resources, MAKEINTRESOURCEA(IDB_INFOPANEL), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (image) m_backgroundFromResource = m_background.Adopt(screen, std::move(image), kWidth, kHeight);
  if (!m_backgroundFromResource) {
    if (!m_background.Create(screen, kWidth, kHeight)) return false;
    RECT all{0, 0, kWidth, kHeight};
    UniqueBrush plain(::CreateSolidBrush(kPlainBackground));
    ::FillRect(m_background.dc(), &all, plain.get());
  }
  if (!m_saved.Create(screen, kWidth, kHeight) || !m_work.Create(screen, kWidth, kHeight)) {
    m_saved.Reset();
    m_work.Reset();
    m_background.Reset();
    return false;
  }
  return true;
}

RECT CInfoPanel::RectFor(POINT pointer) const {
  const POINT at = PlaceAt(pointer, ScreenSize());
  return RECT{at.x, at.y, at.x + kWidth, at.y + kHeight};
}

RECT CInfoPanel::ShownRect() const {
  if (!m_shown) return RECT{0, 0, 0, 0};
  return RECT{m_position.x, m_position.y, m_position.x + kWidth, m_position.y + kHeight};
}

void CInfoPanel::Forget() {
  m_shown = false;
  m_position = POINT{-1, -1};
}

void CInfoPanel::Hide(HDC screen) {
  if (!m_shown) return;
  if (IsPrepared() && screen)
    ::BitBlt(screen, m_position.x, m_position.y, kWidth, kHeight, m_saved.dc(), 0, 0, SRCCOPY);
  Forget();
}

void CInfoPanel::Show(HDC screen, POINT pointer, SIZE selection) {
  if (!IsPrepared() || !screen) return;
  const RECT newRect = RectFor(pointer);
  const int radius = SampleRadius();
  const RECT sample{pointer.x - radius, pointer.y - radius, pointer.x + radius + 1,
                    pointer.y + radius + 1};

  if (m_shown) {
    const RECT oldRect = ShownRect();
    if (Intersects(oldRect, newRect)) {
      // Compose the whole neighbourhood off the screen: the old place put back, the new place
      // saved, the panel drawn over it; then one copy to the screen.
      const RECT all = Union3(oldRect, newRect, sample);
      const int w = all.right - all.left;
      const int h = all.bottom - all.top;
      CMemorySurface compose;
      if (compose.Create(screen, w, h)) {
        HDC c = compose.dc();
        ::BitBlt(c, 0, 0, w, h, screen, all.left, all.top, SRCCOPY);
        ::BitBlt(c, oldRect.left - all.left, oldRect.top - all.top, kWidth, kHeight, m_saved.dc(),
                 0, 0, SRCCOPY);
        ::BitBlt(m_saved.dc(), 0, 0, kWidth, kHeight, c, newRect.left - all.left,
                 newRect.top - all.top, SRCCOPY);
        Compose(c, POINT{pointer.x - all.left, pointer.y - all.top}, pointer, selection);
        ::BitBlt(c, newRect.left - all.left, newRect.top - all.top, kWidth, kHeight, m_work.dc(), 0,
                 0, SRCCOPY);
        ::BitBlt(screen, all.left, all.top, w, h, c, 0, 0, SRCCOPY);
        m_position = POINT{newRect.left, newRect.top};
        return;
      }
      // No room for the composition: the plain way below still gives the right picture.
    }
    Hide(screen);
  }
  ::BitBlt(m_saved.dc(), 0, 0, kWidth, kHeight, screen, newRect.left, newRect.top, SRCCOPY);
  Compose(screen, pointer, pointer, selection);
  ::BitBlt(screen, newRect.left, newRect.top, kWidth, kHeight, m_work.dc(), 0, 0, SRCCOPY);
  m_position = POINT{newRect.left, newRect.top};
  m_shown = true;
}

void CInfoPanel::Compose(HDC source, POINT sourcePoint, POINT pointer, SIZE selection) {
  HDC dc = m_work.dc();
  ::BitBlt(dc, 0, 0, kWidth, kHeight, m_background.dc(), 0, 0, SRCCOPY);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, kTextColor);
  if (m_mode == kModeColor)
    DrawColorContent(source, sourcePoint);
  else
    DrawSelectionContent(source, sourcePoint, pointer, selection);
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}

void CInfoPanel::DrawSelectionContent(HDC source, POINT at, POINT pointer, SIZE selection) {
  HDC dc = m_work.dc();
  // Magnifier: the 7 x 7 pixels around the pointer at six times.
  Magnify(dc, RECT{3, 3, 45, 45}, source, RECT{at.x - 3, at.y - 3, at.x + 4, at.y + 4});
  {
    InvertingPen pen(dc);
    pen.Outline(21, 21, 26, 26);
    pen.Line(23, 20, 23, 3);
    pen.Line(20, 23, 3, 23);
    pen.Line(23, 27, 23, 44);
    pen.Line(27, 23, 44, 23);
  }
  char text[64];
  std::snprintf(text, sizeof text, "P:[%d,%d]", static_cast<int>(pointer.x),
                static_cast<int>(pointer.y));
  DrawPanelText(dc, m_largeFont.get(), 46, 8, text);
  std::snprintf(text, sizeof text, "S:[%d,%d]", static_cast<int>(selection.cx),
                static_cast<int>(selection.cy));
  DrawPanelText(dc, m_largeFont.get(), 46, 24, text);
}

void CInfoPanel::DrawColorContent(HDC source, POINT at) {
  HDC dc = m_work.dc();
  const COLORREF sampled = ::GetPixel(source, at.x, at.y);
  if (sampled != CLR_INVALID) m_color = sampled & 0x00FFFFFFu;
  // Magnifier: the 5 x 5 pixels around the pointer at eight times.
  Magnify(dc, RECT{4, 5, 44, 45}, source, RECT{at.x - 2, at.y - 2, at.x + 3, at.y + 3});
  // Swatch of the colour.
  RECT swatch{53, 8, 68, 40};
  UniqueBrush brush(::CreateSolidBrush(m_color));
  ::FillRect(dc, &swatch, brush.get());
  {
    InvertingPen pen(dc);
    pen.Outline(20, 21, 27, 28);
    pen.Line(23, 20, 23, 5);
    pen.Line(19, 24, 4, 24);
    pen.Line(23, 29, 23, 44);
    pen.Line(28, 24, 43, 24);
    pen.Outline(53, 8, 67, 39);
  }
  char text[64];
  std::snprintf(text, sizeof text, "R : [%u]", static_cast<unsigned>(GetRValue(m_color)));
  DrawPanelText(dc, m_smallFont.get(), 72, 4, text);
  std::snprintf(text, sizeof text, "G : [%u]", static_cast<unsigned>(GetGValue(m_color)));
  DrawPanelText(dc, m_smallFont.get(), 71, 18, text);
  std::snprintf(text, sizeof text, "B : [%u]", static_cast<unsigned>(GetBValue(m_color)));
  DrawPanelText(dc, m_smallFont.get(), 72, 31, text);
}
