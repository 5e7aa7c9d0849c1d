#include "RectTracker.h"

#include "Handles.h"
#include "Wnd.h"

namespace {

CRect Normalized(const CRect& r) {
  CRect n = r;
  n.NormalizeRect();
  return n;
}

}  // namespace

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, HDC hDC) {
  CRect r = Normalized(*lpRect);
  // A focus rectangle needs some size to show; a line stays a line.
  if (r.Width() == 0) r.right = r.left + 1;
  if (r.Height() == 0) r.bottom = r.top + 1;
  ::DrawFocusRect(hDC, &r);
}

void CRectTracker::OnChangedRect(const CRect&) {}

void CRectTracker::Draw(HWND hWnd, const CRect& rect) {
  WindowDC dc(hWnd);
  if (dc) DrawTrackerRect(&rect, dc.get());
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert) {
  if (!pWnd || !pWnd->m_hWnd) return FALSE;
  HWND hWnd = pWnd->m_hWnd;
  ::UpdateWindow(hWnd);  // the band is drawn over what is on the screen now
  m_rect.SetRect(point.x, point.y, point.x, point.y);
  ::SetCapture(hWnd);
  if (::GetCapture() != hWnd) return FALSE;

  bool drawn = false;
  CRect drawnRect;
  BOOL result = FALSE;
  bool done = false;
  while (!done) {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
      break;
    }
    if (got == -1) break;
    if (::GetCapture() != hWnd) break;  // someone else took the mouse: cancelled

    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP: {
        POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        if (msg.hwnd != hWnd) {
          ::ClientToScreen(msg.hwnd, &pt);
          ::ScreenToClient(hWnd, &pt);
        }
        CRect old = m_rect;
        m_rect.right = pt.x;
        m_rect.bottom = pt.y;
        if (!bAllowInvert) {
          if (m_rect.right < m_rect.left) m_rect.right = m_rect.left;
          if (m_rect.bottom < m_rect.top) m_rect.bottom = m_rect.top;
        }
        if (msg.message == WM_LBUTTONUP) {
          if (drawn) Draw(hWnd, drawnRect);
          drawn = false;
          if (old != m_rect) OnChangedRect(old);
          result = !Normalized(m_rect).IsRectEmpty();
          done = true;
          break;
        }
        if (old != m_rect || !drawn) {
          if (drawn) Draw(hWnd, drawnRect);
          if (old != m_rect) OnChangedRect(old);
          drawnRect = m_rect;
          Draw(hWnd, drawnRect);
          drawn = true;
        }
        break;
      }
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) done = true;
        break;
      case WM_RBUTTONDOWN:
        done = true;
        break;
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONUP:
        break;  // swallowed while tracking
      default:
        ::DispatchMessageA(&msg);
        break;
    }
  }
  if (drawn) Draw(hWnd, drawnRect);
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  return result;
}
