#include "LayoutPreview.h"

#include <algorithm>
#include <cmath>

#include "document/PrintLayoutMath.h"
#include "framework/Handles.h"
#include "framework/MessageMap.h"
#include "win/DisplayBitmap.h"

namespace layoutpreview {

namespace {
LONG Round(double x) { return static_cast<LONG>(std::floor(x + 0.5)); }

// Margin lines and the printable rectangle of a page drawn at scale s.
void PlaceMargins(PageGeometry& g, const PrintLayoutSettings& layout, double s) {
  RECT p = printlayout::PrintableRect(layout);  // margins that leave no page are dropped
  g.marginLeft = g.page.left + Round(s * p.left);
  g.marginRight = g.page.right - Round(s * (layout.pageSize.cx - p.right));
  g.marginTop = g.page.top + Round(s * p.top);
  g.marginBottom = g.page.bottom - Round(s * (layout.pageSize.cy - p.bottom));
  g.printable = RECT{g.marginLeft + 1, g.marginTop + 1, g.marginRight - 1, g.marginBottom - 1};
  if (g.printable.right <= g.printable.left || g.printable.bottom <= g.printable.top) g.printable = RECT{};
}
}  // namespace

PageGeometry FitPage(const RECT& client, const PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight) {
  PageGeometry g;
  const LONG cw = client.right - client.left, ch = client.bottom - client.top;
  if (layout.pageSize.cx < 1 || layout.pageSize.cy < 1 || cw < 1 || ch < 1) return g;
  double s = std::min(static_cast<double>(ch) / layout.pageSize.cy, static_cast<double>(cw) / layout.pageSize.cx);
  LONG w = static_cast<LONG>(layout.pageSize.cx * s), h = static_cast<LONG>(layout.pageSize.cy * s);
  g.page.left = client.left + (cw - w) / 2;
  g.page.top = client.top + (ch - h) / 2;
  g.page.right = g.page.left + w;
  g.page.bottom = g.page.top + h;
  PlaceMargins(g, layout, s);
  if (IsRectEmpty(&g.printable) || imageWidth < 1 || imageHeight < 1) return g;
  const LONG pw = g.printable.right - g.printable.left, ph = g.printable.bottom - g.printable.top;
  double k = std::min(static_cast<double>(pw) / imageWidth, static_cast<double>(ph) / imageHeight);
  LONG iw = static_cast<LONG>(k * imageWidth), ih = static_cast<LONG>(k * imageHeight);
  LONG left = g.printable.left, top = g.printable.top;
  if (layout.imageCenterFlags & 0x1) left += (pw - iw) / 2;
  if (layout.imageCenterFlags & 0x2) top += (ph - ih) / 2;
  g.image = RECT{left, top, left + iw, top + ih};
  return g;
}

PageGeometry TiledPage(const RECT& client, const PrintLayoutSettings& layout, LONG across, LONG down, LONG row,
                       LONG column) {
  PageGeometry g;
  if (layout.pageSize.cx < 1 || layout.pageSize.cy < 1 || across < 1 || down < 1) return g;
  const LONG cellW = (client.right - client.left) / across, cellH = (client.bottom - client.top) / down;
  if (cellW < 1 || cellH < 1) return g;
  double s = std::min(static_cast<double>(cellH) / layout.pageSize.cy, static_cast<double>(cellW) / layout.pageSize.cx);
  g.page = RECT{client.left + static_cast<LONG>(layout.pageSize.cx * column * s),
                client.top + static_cast<LONG>(layout.pageSize.cy * row * s),
                client.left + static_cast<LONG>(layout.pageSize.cx * (column + 1) * s),
                client.top + static_cast<LONG>(layout.pageSize.cy * (row + 1) * s)};
  InflateRect(&g.page, -2, -2);
  if (IsRectEmpty(&g.page)) return g;
  PlaceMargins(g, layout, s);
  return g;
}

}  // namespace layoutpreview

BEGIN_MESSAGE_MAP(CLayoutPreview, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CLayoutPreview::DrawPage(HDC dc, const layoutpreview::PageGeometry& g) {
  if (IsRectEmpty(&g.page)) return;
  UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
  UniqueBrush black(::CreateSolidBrush(RGB(0, 0, 0)));
  ::FillRect(dc, &g.page, white.get());
  ::FrameRect(dc, &g.page, black.get());
  UniquePen grey(::CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0)));
  SelectObjectGuard pen(dc, grey.get());
  ::MoveToEx(dc, g.marginLeft, g.page.top, nullptr);
  ::LineTo(dc, g.marginLeft, g.page.bottom);
  ::MoveToEx(dc, g.marginRight, g.page.top, nullptr);
  ::LineTo(dc, g.marginRight, g.page.bottom);
  ::MoveToEx(dc, g.page.left, g.marginTop, nullptr);
  ::LineTo(dc, g.page.right, g.marginTop);
  ::MoveToEx(dc, g.page.left, g.marginBottom, nullptr);
  ::LineTo(dc, g.page.right, g.marginBottom);
}

void CLayoutPreview::Refresh() {
  if (!m_hWnd) return;
  m_layoutChange = true;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CLayoutPreview::OnPaint() {
  PaintDC paint(m_hWnd);
  HDC dc = paint.get();
  const bool layoutChange = m_layoutChange;
  m_layoutChange = false;
  RECT client;
  GetClientRect(&client);
  InflateRect(&client, -1, -1);
  if (!m_layout) return;
  const PrintLayoutSettings& layout = *m_layout;
  printlayout::TileGrid grid = printlayout::TileCount(layout);
  const bool tiled = printlayout::IsTiledMode(layout.printMode);
  // Refilling the background only when the arrangement changed keeps the pages from flickering
  // while the numbers are edited; a paint the system asked for (uncovered parts) always refills.
  LONG mode = tiled ? 3 : 1;
  if (mode != m_lastMode || grid.across != m_lastAcross || grid.down != m_lastDown || !layoutChange) {
    UniqueBrush background(::CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
    RECT all;
    GetClientRect(&all);
    ::FillRect(dc, &all, background.get());
    m_lastMode = mode;
    m_lastAcross = grid.across;
    m_lastDown = grid.down;
  }
  const LONG w = m_image ? m_image->GetWidth() : 0, h = m_image ? m_image->GetHeight() : 0;
  if (!tiled) {
    layoutpreview::PageGeometry g = layoutpreview::FitPage(client, layout, w, h);
    DrawPage(dc, g);
    if (m_image && !IsRectEmpty(&g.image)) m_image->DrawEx(dc, &g.image, nullptr);
    return;
  }
  if (layout.pageSize.cy == 0 || grid.across < 1 || grid.down < 1) return;
  // Pages past a screenful are too small to show anything.
  const LONG across = std::min<LONG>(grid.across, 50), down = std::min<LONG>(grid.down, 50);
  for (LONG i = 0; i < down; ++i) {
    for (LONG j = 0; j < across; ++j) {
      layoutpreview::PageGeometry g = layoutpreview::TiledPage(client, layout, across, down, i, j);
      DrawPage(dc, g);
      if (!m_image || IsRectEmpty(&g.printable)) continue;
      printlayout::TileSlice slice = printlayout::TileForPage(layout, w, h, i * grid.across + j + 1);
      if (!slice.valid) continue;
      // The slice's layout rectangle, scaled from the page onto the preview's page.
      const double sx = static_cast<double>(g.page.right - g.page.left) / layout.pageSize.cx;
      const double sy = static_cast<double>(g.page.bottom - g.page.top) / layout.pageSize.cy;
      RECT dest{g.page.left + static_cast<LONG>(slice.dest.left * sx), g.page.top + static_cast<LONG>(slice.dest.top * sy),
                g.page.left + static_cast<LONG>(slice.dest.right * sx),
                g.page.top + static_cast<LONG>(slice.dest.bottom * sy)};
      IntersectRect(&dest, &dest, &g.printable);
      if (IsRectEmpty(&dest)) continue;
      if (slice.wholeImage) m_image->DrawEx(dc, &dest, nullptr);
      else m_image->DrawEx(dc, &dest, &slice.source, nullptr, true, COLORONCOLOR, SRCCOPY);
    }
  }
}
