// CStatic: a static control ("STATIC" class). Classes that draw their own static controls (a
// caption band, a colour swatch) derive from it and bind to a control of a dialog template
// with SubclassDlgItem or DDX_Control.
#pragma once

#include <windows.h>

#include "Wnd.h"

class CStatic : public CWnd {
 public:
  CStatic() = default;

  // A child static control with that text and style (WS_CHILD is added).
  BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);

  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0));
  }
};
