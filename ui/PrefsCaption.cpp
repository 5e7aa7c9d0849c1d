#include "PrefsCaption.h"

#include "ui/OptionsLogic.h"

BEGIN_MESSAGE_MAP(CPrefsCaption, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CPrefsCaption::SetBackgroundColor(COLORREF color) {
  m_background = color;
  m_band.reset();
  if (m_hWnd) Invalidate();
}

void CPrefsCaption::SetCaptionFont(const char* face, int height, int weight) {
  m_font.reset(::CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
  if (m_hWnd) Invalidate();
}

void CPrefsCaption::SetConstantText(const std::string& text) {
  m_constantText = text;
  m_band.reset();
  if (m_hWnd) Invalidate();
}

void CPrefsCaption::SetCaption(const std::string& text) {
  SetWindowText(text.c_str());
  Invalidate();
}

void CPrefsCaption::DrawBand(HDC dc, const RECT& rect, COLORREF face, const std::string& constantText) {
  const CaptionBand band = LayoutCaptionBand(rect.left, rect.right, face);
  for (const CaptionStrip& strip : band.strips) {
    RECT r{strip.left, rect.top, strip.right, rect.bottom};
    UniqueBrush brush(::CreateSolidBrush(strip.color));
    ::FillRect(dc, &r, brush.get());
  }
  if (band.blackRight > band.blackLeft) {
    RECT r{band.blackLeft, rect.top, band.blackRight, rect.bottom};
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  if (constantText.empty()) return;
  // The constant title, embossed: highlight one pixel down and right, shadow in place.
  UniqueFont font(::CreateFontA(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Verdana"));
  SelectObjectGuard select(dc, font.get());
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::GetTextColor(dc);
  RECT text{rect.left, rect.top, rect.right - 5, rect.bottom};
  const UINT format = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  RECT shifted = text;
  ::OffsetRect(&shifted, 1, 1);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  ::DrawTextA(dc, constantText.c_str(), -1, &shifted, format);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
  ::DrawTextA(dc, constantText.c_str(), -1, &text, format);
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}

void CPrefsCaption::Rebuild() {
  CRect client = GetClientRect();
  if (m_band && m_bandSize.cx == client.Width() && m_bandSize.cy == client.Height()) return;
  m_band.reset();
  m_bandSize = SIZE{client.Width(), client.Height()};
  if (client.Width() <= 0 || client.Height() <= 0) return;
  WindowDC screen(m_hWnd);
  UniqueDC memory(::CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.Width(), client.Height()));
  if (!memory || !bitmap) return;
  {
    SelectObjectGuard select(memory.get(), bitmap.get());
    DrawBand(memory.get(), RECT{0, 0, client.Width(), client.Height()}, m_background, m_constantText);
  }
  m_band = std::move(bitmap);
}

BOOL CPrefsCaption::OnEraseBkgnd(HDC dc) {
  Rebuild();
  if (!m_band) return CStatic::OnEraseBkgnd(dc);
  UniqueDC memory(::CreateCompatibleDC(dc));
  SelectObjectGuard select(memory.get(), m_band.get());
  ::BitBlt(dc, 0, 0, m_bandSize.cx, m_bandSize.cy, memory.get(), 0, 0, SRCCOPY);
  return TRUE;
}

void CPrefsCaption::OnPaint() {
  PaintDC paint(m_hWnd);
  HDC dc = paint.get();
  if (!dc) return;
  // The erase may have been skipped (a paint without erase): the band first, then the text.
  OnEraseBkgnd(dc);
  const std::string caption = GetWindowText();
  if (caption.empty()) return;
  CRect client = GetClientRect();
  client.left += 5;
  SelectObjectGuard select(dc, m_font ? m_font.get() : GetFont());
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, m_textColor);
  ::DrawTextA(dc, caption.c_str(), -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}
