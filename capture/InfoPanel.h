// CInfoPanel: the small panel that follows the pointer while the user draws on the screen or
// picks a colour. It shows a magnified view of the pixels around the pointer with a crosshair,
// and either the pointer position and the selection size or the colour under the pointer.
//
// The panel is drawn straight onto the screen: the pixels it covers are kept and put back when
// it moves or hides, and a move that overlaps the old place is composed off the screen and
// copied in one step, so nothing flickers and no other program has to repaint.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

// A memory device context with a bitmap of its own selected in.
class CMemorySurface {
 public:
  CMemorySurface() = default;
  CMemorySurface(const CMemorySurface&) = delete;
  CMemorySurface& operator=(const CMemorySurface&) = delete;

  // A bitmap of width x height compatible with reference. False (and empty) on failure.
  bool Create(HDC reference, int width, int height);
  // Takes a bitmap made elsewhere (a loaded resource). False (and empty) on failure.
  bool Adopt(HDC reference, UniqueBitmap bitmap, int width, int height);
  void Reset();

  HDC dc() const { return m_dc.get(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  explicit operator bool() const { return m_dc && m_bitmap; }

 private:
  UniqueDC m_dc;
  UniqueBitmap m_bitmap;
  SelectObjectGuard m_selection;
  int m_width = 0;
  int m_height = 0;
};

class CInfoPanel {
 public:
  static constexpr int kWidth = 250;   // the size of the background bitmap
  static constexpr int kHeight = 48;
  static constexpr int kPointerOffset = 2;  // the panel's corner from the pointer
  static constexpr int kEdgeMargin = 4;     // distance kept from the right and bottom edges

  enum PanelMode : int {
    kModeNone = 0,
    kModeSelection = 1,  // 7 x 7 pixels at six times, position and size
    kModeColor = 2,      // 5 x 5 pixels at eight times, swatch and red, green, blue
  };

  CInfoPanel() = default;
  CInfoPanel(const CInfoPanel&) = delete;
  CInfoPanel& operator=(const CInfoPanel&) = delete;

  // Where the panel goes for a pointer: 2 pixels right of and below it, but kept 4 pixels inside
  // the right and bottom edges of a screen of the given size.
  static POINT PlaceAt(POINT pointer, SIZE screen);

  // Makes the fonts, loads the background (bitmap 367 of resources; a plain dark background
  // when it is missing) and the drawing surfaces, compatible with screen. Called at start-up and
  // again after a display change; a panel on the screen is forgotten (not put back). False when
  // the surfaces cannot be made: the panel then draws nothing until a later Prepare succeeds.
  bool Prepare(HDC screen, HINSTANCE resources);
  bool IsPrepared() const { return m_saved && m_work && m_background; }
  bool HasBackgroundImage() const { return m_backgroundFromResource; }

  void SetMode(int mode) { m_mode = mode; }
  int Mode() const { return m_mode; }

  // The screen size used for the placement; by default (0 x 0) the system's screen size.
  void SetScreenSize(SIZE size) { m_screenSize = size; }
  SIZE ScreenSize() const;

  // Draws the panel for the pointer on screen (moving it from where it was), sampling the screen
  // as it is without the panel. selection is the size shown in selection mode. Nothing happens
  // while the panel is not prepared.
  void Show(HDC screen, POINT pointer, SIZE selection);
  // Puts back the screen under the panel.
  void Hide(HDC screen);
  // Forgets a panel on the screen without touching the screen.
  void Forget();

  bool IsShown() const { return m_shown; }
  // Top-left corner on the screen; (-1, -1) when not shown.
  POINT Position() const { return m_shown ? m_position : POINT{-1, -1}; }
  // The panel's rectangle on the screen; empty when not shown.
  RECT ShownRect() const;
  // The rectangle the panel would take for a pointer.
  RECT RectFor(POINT pointer) const;
  // The colour last sampled in colour mode (COLORREF).
  COLORREF Color() const { return m_color; }

 private:
  // Draws the panel's content onto the work surface. source holds the clean screen pixels
  // around the pointer at sourcePoint; pointer is the screen position printed.
  void Compose(HDC source, POINT sourcePoint, POINT pointer, SIZE selection);
  void DrawSelectionContent(HDC source, POINT sourcePoint, POINT pointer, SIZE selection);
  void DrawColorContent(HDC source, POINT sourcePoint);
  // Half the side of the magnified square around the pointer.
  int SampleRadius() const { return m_mode == kModeColor ? 2 : 3; }

  CMemorySurface m_saved;       // the screen under the panel
  CMemorySurface m_work;        // where the panel is composed
  CMemorySurface m_background;  // the background image
  bool m_backgroundFromResource = false;
  UniqueFont m_largeFont;
  UniqueFont m_smallFont;
  int m_mode = kModeNone;
  bool m_shown = false;
  POINT m_position{-1, -1};
  COLORREF m_color = 0;
  SIZE m_screenSize{0, 0};
};
