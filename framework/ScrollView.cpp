#include "ScrollView.h"

#include <algorithm>

#include "Handles.h"

BEGIN_MESSAGE_MAP(CScrollView, CView)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CScrollView::CScrollView() = default;

CScrollView::~CScrollView() = default;

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, SIZE sizePage, SIZE sizeLine) {
  m_nMapMode = nMapMode;
  m_totalLog = sizeTotal;
  SIZE total = sizeTotal, page = sizePage, line = sizeLine;
  if (nMapMode != MM_TEXT) {
    // Other modes convert through a screen DC with that mapping.
    WindowDC dc(nullptr);
    if (dc) {
      int old = ::SetMapMode(dc.get(), nMapMode);
      POINT pts[3] = {{total.cx, total.cy}, {page.cx, page.cy}, {line.cx, line.cy}};
      ::LPtoDP(dc.get(), pts, 3);
      ::SetMapMode(dc.get(), old);
      total = {std::abs(pts[0].x), std::abs(pts[0].y)};
      page = {std::abs(pts[1].x), std::abs(pts[1].y)};
      line = {std::abs(pts[2].x), std::abs(pts[2].y)};
    }
  }
  SetDeviceScrollSizes(total, page, line);
}

void CScrollView::SetDeviceScrollSizes(SIZE totalDev, SIZE pageDev, SIZE lineDev) {
  m_totalDev = {std::max<LONG>(0, totalDev.cx), std::max<LONG>(0, totalDev.cy)};
  m_pageDev = pageDev;
  m_lineDev = lineDev;
  if (m_pageDev.cx <= 0) m_pageDev.cx = m_totalDev.cx / 10;
  if (m_pageDev.cy <= 0) m_pageDev.cy = m_totalDev.cy / 10;
  if (m_lineDev.cx <= 0) m_lineDev.cx = m_pageDev.cx / 10;
  if (m_lineDev.cy <= 0) m_lineDev.cy = m_pageDev.cy / 10;
  if (m_hWnd) {
    UpdateBars();
    Invalidate(TRUE);
  }
}

void CScrollView::SetCenter(BOOL bCenter) {
  m_bCenter = bCenter;
  if (m_hWnd) Invalidate(TRUE);
}

void CScrollView::CheckScrollBars(BOOL& bHasHorzBar, BOOL& bHasVertBar) const {
  DWORD style = m_hWnd ? static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)) : 0;
  bHasHorzBar = (style & WS_HSCROLL) != 0;
  bHasVertBar = (style & WS_VSCROLL) != 0;
}

void CScrollView::UpdateBars() {
  if (!m_hWnd || m_bInsideUpdate) return;
  m_bInsideUpdate = TRUE;

  // The client size the view would have without any scroll bar.
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  BOOL hasH, hasV;
  CheckScrollBars(hasH, hasV);
  const int barW = ::GetSystemMetrics(SM_CXVSCROLL), barH = ::GetSystemMetrics(SM_CYHSCROLL);
  SIZE full{rc.right + (hasV ? barW : 0), rc.bottom + (hasH ? barH : 0)};

  BOOL needH = m_totalDev.cx > full.cx;
  BOOL needV = m_totalDev.cy > full.cy;
  if (needH && !needV) needV = m_totalDev.cy > full.cy - barH;
  if (needV && !needH) needH = m_totalDev.cx > full.cx - barW;
  SIZE view{full.cx - (needV ? barW : 0), full.cy - (needH ? barH : 0)};

  m_scrollPos.x = needH ? std::clamp<LONG>(m_scrollPos.x, 0, std::max<LONG>(0, m_totalDev.cx - view.cx)) : 0;
  m_scrollPos.y = needV ? std::clamp<LONG>(m_scrollPos.y, 0, std::max<LONG>(0, m_totalDev.cy - view.cy)) : 0;

  ::ShowScrollBar(m_hWnd, SB_HORZ, needH);
  ::ShowScrollBar(m_hWnd, SB_VERT, needV);
  m_bHorz = needH;
  m_bVert = needV;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (needH) {
    si.nMin = 0;
    si.nMax = m_totalDev.cx - 1;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, view.cx));
    si.nPos = m_scrollPos.x;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
  }
  if (needV) {
    si.nMin = 0;
    si.nMax = m_totalDev.cy - 1;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, view.cy));
    si.nPos = m_scrollPos.y;
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
  }
  m_bInsideUpdate = FALSE;
}

POINT CScrollView::GetContentOrigin() const {
  POINT origin{-m_scrollPos.x, -m_scrollPos.y};
  if (m_hWnd && m_bCenter) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_totalDev.cx < rc.right) origin.x = (rc.right - m_totalDev.cx) / 2;
    if (m_totalDev.cy < rc.bottom) origin.y = (rc.bottom - m_totalDev.cy) / 2;
  }
  return origin;
}

void CScrollView::OnPrepareDC(HDC hDC) {
  if (m_nMapMode != MM_TEXT) ::SetMapMode(hDC, m_nMapMode);
  POINT origin = GetContentOrigin();
  ::SetViewportOrgEx(hDC, origin.x, origin.y, nullptr);
}

void CScrollView::DeviceToLogical(POINT* points, int count) {
  WindowDC dc(m_hWnd);
  if (!dc) return;
  OnPrepareDC(dc.get());
  ::DPtoLP(dc.get(), points, count);
}

void CScrollView::LogicalToDevice(POINT* points, int count) {
  WindowDC dc(m_hWnd);
  if (!dc) return;
  OnPrepareDC(dc.get());
  ::LPtoDP(dc.get(), points, count);
}

POINT CScrollView::GetScrollPosition() {
  POINT pt = m_scrollPos;
  if (m_nMapMode == MM_TEXT || !m_hWnd) return pt;
  WindowDC dc(m_hWnd);
  if (!dc) return pt;
  OnPrepareDC(dc.get());
  ::SetViewportOrgEx(dc.get(), 0, 0, nullptr);
  ::DPtoLP(dc.get(), &pt, 1);
  return pt;
}

void CScrollView::ScrollToPosition(POINT ptLogical) {
  POINT pt = ptLogical;
  if (m_nMapMode != MM_TEXT && m_hWnd) {
    WindowDC dc(m_hWnd);
    if (dc) {
      OnPrepareDC(dc.get());
      ::SetViewportOrgEx(dc.get(), 0, 0, nullptr);
      ::LPtoDP(dc.get(), &pt, 1);
    }
  }
  ScrollToDevicePosition(pt);
}

void CScrollView::ScrollToDevicePosition(POINT ptDevice) {
  if (!m_hWnd) {
    m_scrollPos = ptDevice;
    return;
  }
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  POINT pos{0, 0};
  if (m_bHorz) pos.x = std::clamp<LONG>(ptDevice.x, 0, std::max<LONG>(0, m_totalDev.cx - rc.right));
  if (m_bVert) pos.y = std::clamp<LONG>(ptDevice.y, 0, std::max<LONG>(0, m_totalDev.cy - rc.bottom));
  int dx = m_scrollPos.x - pos.x, dy = m_scrollPos.y - pos.y;
  if (dx == 0 && dy == 0) return;
  m_scrollPos = pos;
  if (m_bHorz) ::SetScrollPos(m_hWnd, SB_HORZ, pos.x, TRUE);
  if (m_bVert) ::SetScrollPos(m_hWnd, SB_VERT, pos.y, TRUE);
  ::ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

BOOL CScrollView::OnScroll(int nBar, UINT nSBCode, UINT nPos) {
  const bool horz = nBar == SB_HORZ;
  if (horz ? !m_bHorz : !m_bVert) return FALSE;
  LONG cur = horz ? m_scrollPos.x : m_scrollPos.y;
  LONG page = horz ? m_pageDev.cx : m_pageDev.cy;
  LONG line = horz ? m_lineDev.cx : m_lineDev.cy;
  LONG total = horz ? m_totalDev.cx : m_totalDev.cy;
  LONG next = cur;
  switch (nSBCode) {
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = total; break;
    case SB_LINEUP: next = cur - std::max<LONG>(1, line); break;
    case SB_LINEDOWN: next = cur + std::max<LONG>(1, line); break;
    case SB_PAGEUP: next = cur - std::max<LONG>(1, page); break;
    case SB_PAGEDOWN: next = cur + std::max<LONG>(1, page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 16-bit position of the message is too small for large content: ask the bar.
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      next = ::GetScrollInfo(m_hWnd, nBar, &si) ? si.nTrackPos : static_cast<LONG>(nPos);
      break;
    }
    default: return FALSE;
  }
  POINT target = m_scrollPos;
  (horz ? target.x : target.y) = next;
  POINT before = m_scrollPos;
  ScrollToDevicePosition(target);
  return before.x != m_scrollPos.x || before.y != m_scrollPos.y;
}

void CScrollView::OnPaint() {
  PaintDC dc(m_hWnd);
  if (!dc) return;
  OnPrepareDC(dc.get());
  OnDraw(dc.get());
}

void CScrollView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  UpdateBars();
  // The centring offset and a clamped position both follow the window's size.
  Invalidate(TRUE);
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar) {
  if (hScrollBar) {
    CView::OnHScroll(nSBCode, nPos, hScrollBar);
    return;
  }
  OnScroll(SB_HORZ, nSBCode, nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, HWND hScrollBar) {
  if (hScrollBar) {
    CView::OnVScroll(nSBCode, nPos, hScrollBar);
    return;
  }
  OnScroll(SB_VERT, nSBCode, nPos);
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint) {
  if (!m_bVert && !m_bHorz) return FALSE;
  m_wheelRemainder += zDelta;
  int notches = m_wheelRemainder / WHEEL_DELTA;
  m_wheelRemainder %= WHEEL_DELTA;
  if (notches == 0) return TRUE;
  UINT lines = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const bool horz = !m_bVert || (nFlags & MK_SHIFT);
  LONG step = horz ? m_lineDev.cx : m_lineDev.cy;
  LONG amount = (lines == WHEEL_PAGESCROLL) ? (horz ? m_pageDev.cx : m_pageDev.cy) : step * static_cast<LONG>(lines);
  POINT target = m_scrollPos;
  (horz ? target.x : target.y) -= notches * std::max<LONG>(1, amount);
  ScrollToDevicePosition(target);
  return TRUE;
}
