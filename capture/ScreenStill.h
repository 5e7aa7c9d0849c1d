// The still image of the screen freezer: a device bitmap of the whole screen and the memory
// device context it is drawn into. The bitmap is kept while the screen's resolution and colour
// depth stay the same, so taking another still image allocates nothing.
#pragma once

#include <windows.h>

#include "CaptureBitmap.h"
#include "CaptureGeometry.h"
#include "framework/Handles.h"

class CScreenStill {
 public:
  CScreenStill() = default;
  CScreenStill(const CScreenStill&) = delete;
  CScreenStill& operator=(const CScreenStill&) = delete;

  // The screen's horizontal and vertical resolution and bits per pixel now.
  static ScreenMetrics ReadScreenMetrics();

  // Copies the screen (0, 0, width, height) into the still image, first making a new image when
  // the metrics differ from the stored ones. False when a device context or bitmap cannot be made
  // or the copy fails; no still image exists afterwards then (captures read the live screen).
  bool Take();
  // The same with the screen DC and metrics given (the metrics decide the image's size).
  bool Take(HDC screen, const ScreenMetrics& metrics);

  bool HasImage() const { return m_memoryDC && m_image; }
  HDC MemoryDC() const { return m_memoryDC.get(); }
  HBITMAP Image() const { return m_image.get(); }
  // What the current image was made for (all zero when there is none).
  const ScreenMetrics& Metrics() const { return m_metrics; }
  // Drops the image and its context.
  void Reset();

 private:
  UniqueDC m_memoryDC;
  UniqueBitmap m_image;
  ScreenMetrics m_metrics;
};
