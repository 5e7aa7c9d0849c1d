// CColorSwatch: a static control that shows one colour. A click on it is reported to its
// parent as STN_CLICKED (the template gives it SS_NOTIFY).
#pragma once

#include "framework/Framework.h"
#include "framework/Static.h"

class CColorSwatch : public CStatic {
 public:
  static constexpr COLORREF kInitialColor = 0x00C0C0C0;

  COLORREF GetColor() const { return m_color; }
  // Takes the colour and repaints.
  void SetColor(COLORREF color);

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }

  DECLARE_MESSAGE_MAP()

 private:
  COLORREF m_color = kInitialColor;
};
