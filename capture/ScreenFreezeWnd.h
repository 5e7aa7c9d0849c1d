// CScreenFreezeWnd: makes the screen look still while the user selects an area. It takes a still
// image of the whole screen (CScreenStill) and, for the drawn modes, lies topmost over the whole
// screen showing nothing but that image (no background is ever erased), so the screen keeps the
// pixels it had and later changes of the windows below are hidden. Captures then read the still
// image instead of the live screen.
//
// One per program, owned by the main frame, created hidden at start-up.
#pragma once

#include <windows.h>

#include <functional>

#include "ScreenStill.h"
#include "framework/Framework.h"

class CScreenFreezeWnd : public CWnd {
 public:
  CScreenFreezeWnd();
  ~CScreenFreezeWnd() override;

  // Creates the hidden popup tool window (100 x 100 at (0, 0)) owned by owner.
  BOOL CreateHidden(HWND owner);

  // Takes a still image of the whole screen (reusing the last image while the screen's size and
  // colour depth are unchanged) and shows the window topmost over the screen when show is true,
  // else hides it. 1 on success; 0 when a device context or bitmap cannot be made, and then the
  // window is hidden and no still image exists.
  int Freeze(bool show);
  // Hides the window; the still image stays for the capture that follows.
  void Hide();

  bool HasStillImage() const { return m_still.HasImage(); }
  const CScreenStill& Still() const { return m_still; }
  HWND Owner() const { return m_owner; }

  // Set by a left-button press on the window; cleared by ResetClicked.
  bool Clicked() const { return m_clicked; }
  void ResetClicked() { m_clicked = false; }

  // What a right-button press does after hiding the window. By default the owner is shown and
  // brought to the foreground; the main frame may put its own restore step here.
  void SetEscapeHandler(std::function<void()> handler) { m_escape = std::move(handler); }

 protected:
  BOOL OnEraseBkgnd(HDC dc);
  void OnPaint();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);

  DECLARE_MESSAGE_MAP()

 private:
  CScreenStill m_still;
  HWND m_owner = nullptr;
  bool m_clicked = false;
  std::function<void()> m_escape;
};
