// CPrefsCaption: the caption band above the Options pages. The band (strips of the button-face
// colour darkening towards the left, black beyond, and the constant title embossed at the
// right) is drawn once into an off-screen bitmap and copied on every erase; the page caption
// is drawn over it, transparent, at the left.
#pragma once

#include <string>

#include "framework/Framework.h"
#include "framework/Static.h"

class CPrefsCaption : public CStatic {
 public:
  CPrefsCaption() = default;

  // The band's background colour (the strips start from it), the caption font and the
  // constant text at the right.
  void SetBackgroundColor(COLORREF color);
  void SetTextColor(COLORREF color) { m_textColor = color; }
  void SetCaptionFont(const char* face, int height, int weight);
  void SetConstantText(const std::string& text);
  // The page caption (the window text).
  void SetCaption(const std::string& text);

  // Draws the band into dc at rect (also what the off-screen picture holds).
  static void DrawBand(HDC dc, const RECT& rect, COLORREF face, const std::string& constantText);

 protected:
  BOOL OnEraseBkgnd(HDC dc);
  void OnPaint();

  DECLARE_MESSAGE_MAP()

 private:
  void Rebuild();

  COLORREF m_background = ::GetSysColor(COLOR_BTNFACE);
  COLORREF m_textColor = ::GetSysColor(COLOR_BTNFACE);
  std::string m_constantText;
  UniqueFont m_font;
  UniqueBitmap m_band;  // the drawn band, the size of the control
  SIZE m_bandSize{0, 0};
};
