#include "ScreenStill.h"

ScreenMetrics CScreenStill::ReadScreenMetrics() {
  WindowDC screen(nullptr);
  ScreenMetrics m;
  if (!screen) return m;
  m.width = ::GetDeviceCaps(screen.get(), HORZRES);
  m.height = ::GetDeviceCaps(screen.get(), VERTRES);
  m.bitsPerPixel = ::GetDeviceCaps(screen.get(), BITSPIXEL);
  return m;
}

void CScreenStill::Reset() {
  m_image.reset();     // never selected between calls, so it can go first
  m_memoryDC.reset();
  m_metrics = ScreenMetrics{};
}

bool CScreenStill::Take() {
  WindowDC screen(nullptr);
  if (!screen) {
    Reset();
    return false;
  }
  ScreenMetrics m;
  m.width = ::GetDeviceCaps(screen.get(), HORZRES);
  m.height = ::GetDeviceCaps(screen.get(), VERTRES);
  m.bitsPerPixel = ::GetDeviceCaps(screen.get(), BITSPIXEL);
  return Take(screen.get(), m);
}

bool CScreenStill::Take(HDC screen, const ScreenMetrics& metrics) {
  if (!screen || !metrics.IsUsable() || !CaptureSizeAllowed(metrics.width, metrics.height)) {
    Reset();
    return false;
  }
  if (!HasImage() || !(metrics == m_metrics)) {
    Reset();
    UniqueDC dc(::CreateCompatibleDC(screen));
    if (!dc) return false;
    UniqueBitmap image(::CreateCompatibleBitmap(screen, metrics.width, metrics.height));
    if (!image) return false;
    m_memoryDC = std::move(dc);
    m_image = std::move(image);
    m_metrics = metrics;
  }
  BOOL copied = FALSE;
  {
    SelectObjectGuard selection(m_memoryDC.get(), m_image.get());
    if (selection)
      copied = ::BitBlt(m_memoryDC.get(), 0, 0, m_metrics.width, m_metrics.height, screen, 0, 0,
                        SRCCOPY);
    ::GdiFlush();
  }
  if (!copied) {
    // A still image that missed this copy would show an older screen.
    Reset();
    return false;
  }
  return true;
}
