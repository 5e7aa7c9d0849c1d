#include "ScreenFreezeWnd.h"

#include "resources/resource.h"

namespace {

constexpr int kInitialSize = 100;

LPCSTR FreezeWindowClass() {
  HCURSOR cursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_FREEZE));
  if (!cursor) cursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  return AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, cursor,
                             static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)), nullptr);
}

}  // namespace

BEGIN_MESSAGE_MAP(CScreenFreezeWnd, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

CScreenFreezeWnd::CScreenFreezeWnd() = default;

CScreenFreezeWnd::~CScreenFreezeWnd() {
  // Gone before the still image it paints from.
  if (m_hWnd) DestroyWindow();
}

BOOL CScreenFreezeWnd::CreateHidden(HWND owner) {
  if (m_hWnd) return FALSE;
  LPCSTR className = FreezeWindowClass();
  if (!className) return FALSE;
  m_owner = owner;
  return CreateEx(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, kInitialSize, kInitialSize,
                  owner, nullptr);
}

int CScreenFreezeWnd::Freeze(bool show) {
  if (!m_still.Take()) {
    Hide();
    return 0;
  }
  if (m_hWnd) {
    if (show) {
      const ScreenMetrics& m = m_still.Metrics();
      // Not activated: the window that had the focus keeps it while the user draws.
      ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, m.width, m.height,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
      // Painted now, before any selection is drawn over it: a paint that came later would wipe
      // out part of the inverted selection.
      UpdateWindow();
    } else {
      Hide();
    }
  }
  return 1;
}

void CScreenFreezeWnd::Hide() {
  if (m_hWnd && ::IsWindowVisible(m_hWnd)) ShowWindow(SW_HIDE);
}

BOOL CScreenFreezeWnd::OnEraseBkgnd(HDC) {
  return TRUE;  // "erased": the screen's pixels stay where they are
}

void CScreenFreezeWnd::OnPaint() {
  // Only ever the pixels that were on the screen when the still image was taken. Where the
  // system keeps the old screen contents under a new window this changes nothing; where it gives
  // a new window an empty surface (Wine, composited desktops) the screen would turn black.
  // The window lies at (0, 0) without a frame, so its client coordinates are screen coordinates.
  PaintDC dc(m_hWnd);
  if (!dc || !m_still.HasImage()) return;
  const RECT& r = dc.paint().rcPaint;
  SelectObjectGuard selection(m_still.MemoryDC(), m_still.Image());
  if (!selection) return;
  ::BitBlt(dc.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, m_still.MemoryDC(),
           r.left, r.top, SRCCOPY);
}

void CScreenFreezeWnd::OnLButtonDown(UINT, CPoint) {
  m_clicked = true;
}

void CScreenFreezeWnd::OnRButtonDown(UINT, CPoint) {
  // The way out when the window was left over the screen.
  Hide();
  if (m_escape) {
    m_escape();
    return;
  }
  if (m_owner && ::IsWindow(m_owner)) {
    ::ShowWindow(m_owner, ::IsIconic(m_owner) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_owner);
  }
}
