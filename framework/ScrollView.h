// CScrollView: a view whose content can be larger than its window. The content has a total
// size; scroll bars appear in the directions where it does not fit and the view scrolls by
// lines, pages, the thumb, the wheel and the keyboard. With centring on, content smaller than
// the window is drawn in the middle of it in that direction.
//
// Drawing: OnPaint prepares the device context (OnPrepareDC: mapping mode and viewport origin)
// and calls OnDraw with logical coordinates. Derived views with their own mapping (zooming)
// override OnPrepareDC and set the device sizes with SetDeviceScrollSizes.
#pragma once

#include "View.h"

class CScrollView : public CView {
 public:
  CScrollView();
  ~CScrollView() override;

  // The content's total size in logical units of nMapMode, with page and line steps (0: a
  // tenth of the total, and a tenth of the page). MM_TEXT is one pixel per unit.
  void SetScrollSizes(int nMapMode, SIZE sizeTotal, SIZE sizePage = SIZE{0, 0}, SIZE sizeLine = SIZE{0, 0});
  int GetMapMode() const { return m_nMapMode; }
  SIZE GetTotalSize() const { return m_totalLog; }
  // Sizes in device pixels.
  SIZE GetDeviceTotalSize() const { return m_totalDev; }
  SIZE GetDevicePageSize() const { return m_pageDev; }
  SIZE GetDeviceLineSize() const { return m_lineDev; }

  // Centring of content smaller than the window (on by default).
  void SetCenter(BOOL bCenter);
  BOOL GetCenter() const { return m_bCenter; }

  // Scroll position: device pixels / logical units of the top-left corner shown.
  POINT GetDeviceScrollPosition() const { return m_scrollPos; }
  POINT GetScrollPosition();
  void ScrollToPosition(POINT ptLogical);
  void ScrollToDevicePosition(POINT ptDevice);
  // Whether each scroll bar is shown now.
  void CheckScrollBars(BOOL& bHasHorzBar, BOOL& bHasVertBar) const;
  // Where the content's top-left corner lies in the client area (negative when scrolled,
  // the centring offset when smaller than the window).
  POINT GetContentOrigin() const;

  // Sets the mapping mode and the viewport origin for drawing or hit tests.
  virtual void OnPrepareDC(HDC hDC);
  // Converts between client pixels and logical units through OnPrepareDC.
  void DeviceToLogical(POINT* points, int count = 1);
  void LogicalToDevice(POINT* points, int count = 1);

  // Scrolls by a scroll-bar code (SB_LINEUP ...) in one direction; FALSE when nothing moved.
  BOOL OnScroll(int nBar, UINT nSBCode, UINT nPos);

 protected:
  // Sets device sizes directly (for views that compute them themselves) and updates the bars.
  void SetDeviceScrollSizes(SIZE totalDev, SIZE pageDev, SIZE lineDev);
  // Shows or hides the scroll bars for the current sizes and keeps the position in range.
  void UpdateBars();

  void OnPaint();
  void OnSize(UINT nType, int cx, int cy);
  void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
  void OnVScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

  int m_nMapMode = MM_TEXT;
  SIZE m_totalLog{0, 0};
  SIZE m_totalDev{0, 0};
  SIZE m_pageDev{0, 0};
  SIZE m_lineDev{0, 0};
  BOOL m_bCenter = TRUE;
  POINT m_scrollPos{0, 0};

  DECLARE_MESSAGE_MAP()

 private:
  BOOL m_bInsideUpdate = FALSE;
  BOOL m_bHorz = FALSE;
  BOOL m_bVert = FALSE;
  int m_wheelRemainder = 0;
};
