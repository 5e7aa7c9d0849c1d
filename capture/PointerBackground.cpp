#include "PointerBackground.h"

SIZE CursorSizeFromMask(int maskWidth, int maskHeight, bool hasColorBitmap) {
  if (maskWidth <= 0 || maskHeight <= 0) return SIZE{0, 0};
  return SIZE{maskWidth, hasColorBitmap ? maskHeight : maskHeight / 2};
}

bool CPointerBackground::Save(HDC screen, int x, int y, int width, int height) {
  Clear();
  if (!screen || width <= 0 || height <= 0) return false;
  UniqueDC memory(::CreateCompatibleDC(screen));
  if (!memory) return false;
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
  if (!bitmap) return false;
  {
    SelectObjectGuard selection(memory.get(), bitmap.get());
    if (!selection) return false;
    if (!::BitBlt(memory.get(), 0, 0, width, height, screen, x, y, SRCCOPY)) return false;
  }
  m_bitmap = std::move(bitmap);
  m_x = x;
  m_y = y;
  m_width = width;
  m_height = height;
  return true;
}

void CPointerBackground::Restore(HDC screen) {
  if (!m_bitmap) return;
  if (screen) {
    UniqueDC memory(::CreateCompatibleDC(screen));
    if (memory) {
      SelectObjectGuard selection(memory.get(), m_bitmap.get());
      if (selection) ::BitBlt(screen, m_x, m_y, m_width, m_height, memory.get(), 0, 0, SRCCOPY);
    }
  }
  Clear();
}

void CPointerBackground::Clear() {
  m_bitmap.reset();
  m_x = m_y = -1;
  m_width = m_height = 0;
}

bool DrawPointerOnScreen(HCURSOR cursor, POINT hotSpotAt, CPointerBackground& background) {
  background.Clear();
  if (!cursor) return false;
  ICONINFO info{};
  if (!::GetIconInfo(cursor, &info)) return false;
  // GetIconInfo hands out copies of both bitmaps.
  UniqueBitmap mask(info.hbmMask);
  UniqueBitmap color(info.hbmColor);
  BITMAP maskInfo{};
  if (!mask || ::GetObject(mask.get(), sizeof maskInfo, &maskInfo) != sizeof maskInfo)
    return false;
  const SIZE size = CursorSizeFromMask(maskInfo.bmWidth, maskInfo.bmHeight, color.get() != nullptr);
  if (size.cx <= 0 || size.cy <= 0) return false;
  const int x = hotSpotAt.x - static_cast<int>(info.xHotspot);
  const int y = hotSpotAt.y - static_cast<int>(info.yHotspot);

  WindowDC screen(nullptr);
  if (!screen || !background.Save(screen.get(), x, y, size.cx, size.cy)) return false;
  ::DrawIconEx(screen.get(), x, y, cursor, 0, 0, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  return true;
}
