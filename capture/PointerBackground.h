// The mouse pointer in a capture: with the include-pointer option the cursor shown at the
// pointer is drawn onto the screen itself before the capture, and the screen pixels it covers
// are kept here so that they can be put back afterwards.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

// Size of a cursor from its mask bitmap: a monochrome cursor's mask holds the AND and the XOR
// mask one above the other (twice the cursor's height); a colour cursor's mask is as high as
// the cursor.
SIZE CursorSizeFromMask(int maskWidth, int maskHeight, bool hasColorBitmap);

class CPointerBackground {
 public:
  CPointerBackground() = default;
  CPointerBackground(const CPointerBackground&) = delete;
  CPointerBackground& operator=(const CPointerBackground&) = delete;

  // Keeps the pixels of screen inside (x, y, width, height); what was kept before is dropped.
  // False (and empty) when the copy cannot be made.
  bool Save(HDC screen, int x, int y, int width, int height);
  // Puts the kept pixels back where they came from and empties the record. Nothing happens when
  // it is empty.
  void Restore(HDC screen);
  // Drops the kept pixels without putting them back.
  void Clear();

  bool IsEmpty() const { return !m_bitmap; }
  // Where the pixels came from; (-1, -1) when empty.
  POINT Position() const { return POINT{m_x, m_y}; }
  SIZE Size() const { return SIZE{m_width, m_height}; }

 private:
  UniqueBitmap m_bitmap;
  int m_x = -1;
  int m_y = -1;
  int m_width = 0;
  int m_height = 0;
};

// Draws cursor onto the screen with its hot spot at the pointer position hotSpotAt, first saving
// the pixels it covers into background. False when the cursor's shape cannot be read or the
// pixels cannot be saved (then nothing is drawn).
bool DrawPointerOnScreen(HCURSOR cursor, POINT hotSpotAt, CPointerBackground& background);
