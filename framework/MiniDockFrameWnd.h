// CMiniDockFrameWnd: the small tool window a floating control bar lives in. A captioned popup
// (WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW) owned by the bar's frame, its client
// area exactly the bar's natural size, titled with the bar's window text. Its close box hides
// the bar; commands and notifications from inside go on to the frame. Clicking it does not take
// the activation from the frame.
//
// The bar owns this window (CControlBar::m_pMiniFrame); the frame makes it in FloatControlBar.
#pragma once

#include "Geometry.h"
#include "Wnd.h"

class CControlBar;
class CFrameWnd;

class CMiniDockFrameWnd : public CWnd {
 public:
  CMiniDockFrameWnd();
  ~CMiniDockFrameWnd() override;

  // Makes the hidden window with its top-left corner at screen point pos, for pBar of frame
  // pDockSite. The bar is not moved into it here.
  BOOL Create(CFrameWnd* pDockSite, CControlBar* pBar, CPoint pos);

  CControlBar* GetControlBar() const { return m_pBar; }
  CFrameWnd* GetDockSite() const { return m_pDockSite; }
  // Sizes the window around the bar's natural size in its orientation, places the bar in its
  // client area, takes the bar's window text as title and shows the window while the bar is
  // visible (hides it otherwise).
  void RecalcLayout();
  // TRUE from WM_DESTROY on.
  BOOL IsBeingDestroyed() const { return m_bDestroying; }

  // Deletes the object when its window is gone (set when the bar goes before its window).
  BOOL m_bAutoDelete = FALSE;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;
  void OnClose();
  void OnDestroy();
  int OnMouseActivate(HWND hWndTop, UINT nHitTest, UINT message);

  DECLARE_MESSAGE_MAP()

 private:
  CFrameWnd* m_pDockSite = nullptr;
  CControlBar* m_pBar = nullptr;
  BOOL m_bDestroying = FALSE;
  friend class CControlBar;
};
