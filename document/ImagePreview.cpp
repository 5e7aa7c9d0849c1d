#include "ImagePreview.h"

#include <algorithm>
#include <new>

#include "DocumentHost.h"
#include "TextException.h"
#include "decode/AutoDecoder.h"
#include "filters/ColorFilters.h"
#include "filters/RotateFilter.h"
#include "win/DisplayBitmap.h"

PreviewPlacement PlacePreview(const RECT& area, int width, int height) {
  PreviewPlacement placement;
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0) {
    placement.dest = RECT{area.left, area.top, area.left, area.top};
    return placement;
  }
  if (width > areaWidth || height > areaHeight)
    placement.scale = 1.0 / std::max(static_cast<double>(width) / areaWidth, static_cast<double>(height) / areaHeight);
  const int drawnWidth = static_cast<int>(width * placement.scale);
  const int drawnHeight = static_cast<int>(height * placement.scale);
  placement.dest.left = area.left + (areaWidth - drawnWidth) / 2;
  placement.dest.top = area.top + (areaHeight - drawnHeight) / 2;
  placement.dest.right = placement.dest.left + drawnWidth;
  placement.dest.bottom = placement.dest.top + drawnHeight;
  return placement;
}

BEGIN_MESSAGE_MAP(CImagePreview, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_QUERYNEWPALETTE()
  ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CImagePreview::CImagePreview() : m_bitmap(std::make_unique<CDisplayBitmap>()) {}

CImagePreview::~CImagePreview() = default;

bool CImagePreview::LoadFile(const char* path) {
  if (!path || !*path) return false;
  DWORD attributes = ::GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  bool loaded = false;
  {
    CBusyCursor busy;  // the bar also goes when the decoder stopped half-way
    auto bitmap = std::make_unique<CDisplayBitmap>();
    try {
      if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp())) {
        app->GetAutoDecoder().MakeBmpFromFile(path, *bitmap, 0, GetMainProgressSink());
      } else {
        CAutoDecoder decoder;
        decoder.MakeBmpFromFile(path, *bitmap, 0, GetMainProgressSink());
      }
      loaded = !bitmap->IsEmpty();
    } catch (const CTextException&) {
      // Not a picture this program can read: an empty preview says enough.
    } catch (const std::bad_alloc&) {
    }
    if (loaded) {
      m_bitmap = std::move(bitmap);
      m_bitmap->RebuildPalette();
    } else {
      m_bitmap = std::make_unique<CDisplayBitmap>();
    }
    m_hasImage = loaded;
  }
  if (loaded && m_hWnd) RealizePalette(false);
  if (m_hWnd) Invalidate(FALSE);
  return loaded;
}

void CImagePreview::SetImage(const CDibBitmap& bitmap) {
  CWaitCursor wait;
  try {
    m_bitmap->CreateCopy(bitmap, 0);
    m_hasImage = !m_bitmap->IsEmpty();
    if (m_hasImage) m_bitmap->RebuildPalette();
  } catch (const CTextException&) {
    Clear();
  } catch (const std::bad_alloc&) {
    Clear();
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CImagePreview::Clear() {
  m_bitmap = std::make_unique<CDisplayBitmap>();
  m_hasImage = false;
  if (m_hWnd) Invalidate(FALSE);
}

template <typename Filter>
void CImagePreview::RunFilter(const CDibBitmap& source, Filter& filter) {
  if (source.IsEmpty()) return;
  {
    CBusyCursor busy;  // the bar also goes when the filter failed half-way
    try {
      auto bitmap = std::make_unique<CDisplayBitmap>();
      filter.Apply(source, *bitmap);
      bitmap->RebuildPalette();
      m_bitmap = std::move(bitmap);
      m_hasImage = !m_bitmap->IsEmpty();
    } catch (const CTextException&) {
      // The preview keeps what it showed; the operation itself reports its own failures.
    } catch (const std::bad_alloc&) {
    }
  }
  if (m_hWnd) {
    Invalidate(FALSE);
    UpdateWindow();
  }
}

void CImagePreview::PreviewRotate(const CDibBitmap& source, double angle, COLORREF fill) {
  CRotateFilter filter(angle, PLMakePixel(GetRValue(fill), GetGValue(fill), GetBValue(fill), 255),
                       GetMainProgressSink());
  RunFilter(source, filter);
}

void CImagePreview::PreviewBrightness(const CDibBitmap& source, int amount) {
  CBrightnessFilter filter(amount, GetMainProgressSink());
  RunFilter(source, filter);
}

void CImagePreview::PreviewContrast(const CDibBitmap& source, double factor, int offset) {
  CContrastFilter filter(factor, offset, GetMainProgressSink());
  RunFilter(source, filter);
}

void CImagePreview::PreviewIntensity(const CDibBitmap& source, double intensity, int offset, double exponent) {
  CIntensityFilter filter(intensity, offset, exponent, GetMainProgressSink());
  RunFilter(source, filter);
}

RECT CImagePreview::GetPictureArea() const {
  RECT r = GetClientRect();
  ::InflateRect(&r, -1, -1);
  return r;
}

void CImagePreview::Paint(HDC dc) {
  RECT client = GetClientRect();
  RECT area = GetPictureArea();
  ::FrameRect(dc, &client, ::GetSysColorBrush(COLOR_BTNSHADOW));
  ::FillRect(dc, &area, ::GetSysColorBrush(m_hasImage ? COLOR_BTNFACE : COLOR_BTNSHADOW));
  if (!m_hasImage || m_bitmap->IsEmpty()) return;
  PreviewPlacement placement = PlacePreview(area, m_bitmap->GetWidth(), m_bitmap->GetHeight());
  SelectPaletteGuard palette(dc, m_bitmap->GetPalette(), false);
  m_bitmap->DrawScaled(dc, placement.dest.left, placement.dest.top, placement.scale);
}

void CImagePreview::OnPaint() {
  PaintDC dc(m_hWnd);
  if (dc) Paint(dc.get());
}

BOOL CImagePreview::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_CTLCOLORSTATIC) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  // Asked for its background: it paints itself and wants nothing painted over it.
  Paint(reinterpret_cast<HDC>(wParam));
  *pResult = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  return TRUE;
}

BOOL CImagePreview::RealizePalette(bool background) {
  if (!m_hWnd || !m_hasImage) return FALSE;
  HPALETTE hPalette = m_bitmap->GetPalette();
  if (!hPalette) return FALSE;
  WindowDC dc(m_hWnd);
  if (!dc) return FALSE;
  SelectPaletteGuard palette(dc.get(), hPalette, background);
  UINT changed = ::RealizePalette(dc.get());
  if (changed != 0 && changed != GDI_ERROR) {
    Invalidate(FALSE);
    return TRUE;
  }
  return FALSE;
}

void CImagePreview::OnPaletteChanged(HWND focusWnd) {
  if (focusWnd != m_hWnd) RealizePalette(true);
}
