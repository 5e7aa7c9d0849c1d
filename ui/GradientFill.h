// Vertical colour gradients through the system's GradientFill, which lives in "msimg32.dll" and
// is looked up by name at run time. Where the library or the function is missing (or the system
// is older than 4.0), a prepared picture of the gradient is stretched over the area instead.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

class CGradientFill {
 public:
  // Loads the library (by this name) and looks the function up, once.
  explicit CGradientFill(const char* libraryName = "msimg32.dll");
  ~CGradientFill();
  CGradientFill(const CGradientFill&) = delete;
  CGradientFill& operator=(const CGradientFill&) = delete;

  // True when the system's function is in use (false: the stretched picture).
  bool HasSystemGradientFill() const { return m_gradientFill != nullptr; }

  // Fills rect with a vertical gradient from top (first row) to bottom (last row).
  void FillVertical(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);

 private:
  using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

  bool FillWithSystem(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
  void FillWithPicture(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);

  UniqueLibrary m_library;
  GradientFillProc m_gradientFill = nullptr;
  // The prepared picture of the fallback: one column, made again when the colours change.
  UniqueBitmap m_picture;
  COLORREF m_pictureTop = CLR_INVALID;
  COLORREF m_pictureBottom = CLR_INVALID;
};
