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
  image_.reset();     // never selected between calls, so it can go first
  memoryDC_.reset();
  metrics_ = ScreenMetrics{};
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
  if (!HasImage() || !(metrics == metrics_)) {
    Reset();
    UniqueDC dc(::CreateCompatibleDC(screen));
    if (!dc) return false;
    UniqueBitmap image(::CreateCompatibleBitmap(screen, metrics.width, metrics.height));
    if (!image) return false;
    memoryDC_ = std::move(dc);
    image_ = std::move(image);
    metrics_ = metrics;
  }
  BOOL copied = FALSE;
  {
    SelectObjectGuard selection(memoryDC_.get(), image_.get());
    if (selection)
      copied = ::BitBlt(memoryDC_.get(), 0, 0, metrics_.width, metrics_.height, screen, 0, 0,
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
