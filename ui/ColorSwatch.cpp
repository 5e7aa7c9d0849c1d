#include "ColorSwatch.h"

BEGIN_MESSAGE_MAP(CColorSwatch, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CColorSwatch::SetColor(COLORREF color) {
  m_color = color;
  if (m_hWnd) {
    Invalidate();
    UpdateWindow();
  }
}

void CColorSwatch::OnPaint() {
  PaintDC paint(m_hWnd);
  if (!paint) return;
  RECT client = GetClientRect();
  UniqueBrush brush(::CreateSolidBrush(m_color));
  ::FillRect(paint.get(), &client, brush.get());
}
