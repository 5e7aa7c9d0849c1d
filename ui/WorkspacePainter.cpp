#include "WorkspacePainter.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A picture smaller than this on a side is first repeated into a larger tile, so that tiling a
// tiny picture does not take hundreds of thousands of copies.
constexpr int kSmallestTile = 64;

void FillSolid(HDC dc, const CRect& r, COLORREF colour) {
  UniqueBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &r, brush.get());
}

}  // namespace

CRect WorkspaceLogoBox(const CRect& client, CSize text, int avgCharWidth, int charHeight) {
  return CRect(client.right - avgCharWidth / 2 - text.cx, client.bottom - charHeight / 5 - text.cy, client.right,
               client.bottom);
}

std::vector<CPoint> WorkspaceTileOrigins(CSize area, CSize picture) {
  std::vector<CPoint> origins;
  if (picture.cx <= 0 || picture.cy <= 0 || area.cx <= 0 || area.cy <= 0) return origins;
  for (int y = 0; y < area.cy; y += picture.cy)
    for (int x = 0; x < area.cx; x += picture.cx) origins.emplace_back(x, y);
  return origins;
}

CPoint WorkspaceCentredOrigin(CSize area, CSize picture) {
  return CPoint((area.cx - picture.cx) / 2, (area.cy - picture.cy) / 2);
}

bool CWorkspacePainter::LoadPicture(const std::string& path) {
  if (path.empty()) return false;
  UniqueBitmap picture(static_cast<HBITMAP>(
      ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_LOADMAP3DCOLORS)));
  if (!picture) return false;
  BITMAP info{};
  if (!::GetObjectA(picture.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) return false;
  m_pictureSize = CSize(info.bmWidth, std::abs(info.bmHeight));
  m_picture = std::move(picture);
  return true;
}

void CWorkspacePainter::ClearPicture() {
  m_picture.reset();
  m_pictureSize = CSize();
}

void CWorkspacePainter::SetLogoFont(const LOGFONTA& font, int dotsPerInchY) {
  UniqueFont made(::CreateFontIndirectA(&font));
  if (!made) {
    const LOGFONTA fallback = WorkspaceSettings::DefaultLogoFont(dotsPerInchY);
    made.reset(::CreateFontIndirectA(&fallback));
  }
  m_logoFont = std::move(made);
}

void CWorkspacePainter::Paint(HDC dc, const CRect& client, const WorkspaceSettings& settings) const {
  if (client.IsRectEmpty()) return;
  if (!m_picture) {
    FillSolid(dc, client, settings.backColor);
    DrawLogo(dc, client, settings.logoColor);
    return;
  }
  switch (settings.dispType) {
    case kDisplayTiled:
      DrawTiled(dc, client);
      DrawLogo(dc, client, settings.logoColor);
      break;
    case kDisplayStretched:
      if (!DrawStretched(dc, client)) FillSolid(dc, client, settings.backColor);
      DrawLogo(dc, client, settings.logoColor);
      break;
    default:
      if (!DrawCentred(dc, client, settings)) {
        // No memory for the off-screen copy: straight onto the screen.
        FillSolid(dc, client, settings.backColor);
        DrawLogo(dc, client, settings.logoColor);
      }
      break;
  }
}

void CWorkspacePainter::DrawTiled(HDC dc, const CRect& client) const {
  UniqueDC source(::CreateCompatibleDC(dc));
  SelectObjectGuard picture(source.get(), m_picture.get());
  HDC from = source.get();
  CSize tile = m_pictureSize;
  // A tiny picture is repeated into a larger tile first; the result is the same.
  UniqueDC bigDC;
  UniqueBitmap big;
  SelectObjectGuard bigSelection;
  if (tile.cx < kSmallestTile || tile.cy < kSmallestTile) {
    const CSize larger(((kSmallestTile + tile.cx - 1) / tile.cx) * tile.cx,
                       ((kSmallestTile + tile.cy - 1) / tile.cy) * tile.cy);
    bigDC.reset(::CreateCompatibleDC(dc));
    big.reset(::CreateCompatibleBitmap(dc, larger.cx, larger.cy));
    if (bigDC && big) {
      bigSelection = SelectObjectGuard(bigDC.get(), big.get());
      for (const CPoint& at : WorkspaceTileOrigins(larger, tile))
        ::BitBlt(bigDC.get(), at.x, at.y, tile.cx, tile.cy, from, 0, 0, SRCCOPY);
      from = bigDC.get();
      tile = larger;
    }
  }
  for (const CPoint& at : WorkspaceTileOrigins(client.Size(), tile))
    ::BitBlt(dc, client.left + at.x, client.top + at.y, tile.cx, tile.cy, from, 0, 0, SRCCOPY);
}

bool CWorkspacePainter::DrawCentred(HDC dc, const CRect& client, const WorkspaceSettings& settings) const {
  // Off-screen first, so the picture and the logo appear at once.
  UniqueDC memory(::CreateCompatibleDC(dc));
  UniqueBitmap surface(::CreateCompatibleBitmap(dc, client.Width(), client.Height()));
  if (!memory || !surface) return false;
  SelectObjectGuard selection(memory.get(), surface.get());
  const CRect area(0, 0, client.Width(), client.Height());
  FillSolid(memory.get(), area, settings.backColor);
  {
    UniqueDC source(::CreateCompatibleDC(dc));
    SelectObjectGuard picture(source.get(), m_picture.get());
    const CPoint at = WorkspaceCentredOrigin(area.Size(), m_pictureSize);
    ::BitBlt(memory.get(), at.x, at.y, m_pictureSize.cx, m_pictureSize.cy, source.get(), 0, 0, SRCCOPY);
  }
  DrawLogo(memory.get(), area, settings.logoColor);
  ::BitBlt(dc, client.left, client.top, client.Width(), client.Height(), memory.get(), 0, 0, SRCCOPY);
  return true;
}

bool CWorkspacePainter::DrawStretched(HDC dc, const CRect& client) const {
  UniqueDC memory(::CreateCompatibleDC(dc));
  UniqueBitmap surface(::CreateCompatibleBitmap(dc, m_pictureSize.cx, m_pictureSize.cy));
  if (!memory || !surface) return false;
  SelectObjectGuard selection(memory.get(), surface.get());
  {
    UniqueDC source(::CreateCompatibleDC(dc));
    SelectObjectGuard picture(source.get(), m_picture.get());
    ::BitBlt(memory.get(), 0, 0, m_pictureSize.cx, m_pictureSize.cy, source.get(), 0, 0, SRCCOPY);
  }
  const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, client.left, client.top, client.Width(), client.Height(), memory.get(), 0, 0, m_pictureSize.cx,
               m_pictureSize.cy, SRCCOPY);
  ::SetStretchBltMode(dc, oldMode);
  return true;
}

void CWorkspacePainter::DrawLogo(HDC dc, const CRect& client, COLORREF logoColor) const {
  if (m_logoText.empty()) return;
  SelectObjectGuard font(dc, m_logoFont ? static_cast<HGDIOBJ>(m_logoFont.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  SIZE text{};
  ::GetTextExtentPoint32A(dc, m_logoText.c_str(), static_cast<int>(m_logoText.size()), &text);
  const CRect box = WorkspaceLogoBox(client, text, metrics.tmAveCharWidth, metrics.tmHeight);
  const int shift = metrics.tmAveCharWidth / 5;
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::GetTextColor(dc);
  const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX;
  const struct {
    int shift;
    COLORREF colour;
  } passes[] = {{shift, RGB(0, 0, 0)}, {-shift, RGB(255, 255, 255)}, {0, logoColor}};
  for (const auto& pass : passes) {
    CRect r = box;
    r.left += pass.shift;
    ::SetTextColor(dc, pass.colour);
    ::DrawTextA(dc, m_logoText.c_str(), static_cast<int>(m_logoText.size()), &r, format);
  }
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
}
