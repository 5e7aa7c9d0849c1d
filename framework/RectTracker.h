// CRectTracker: follows the mouse while the left button is held, from the point where it was
// pressed, as a rubber band rectangle (client coordinates of the window it tracks in). The
// band is drawn as a dotted focus rectangle; derived trackers can draw it otherwise (or not at
// all) and react to every change (OnChangedRect), e.g. to scroll.
//
// Tracking is a modal loop: it holds the mouse capture and dispatches everything else that
// arrives (painting, timers) until the button goes up. Escape, the right button or a lost
// capture cancel it.
#pragma once

#include <windows.h>

#include "Geometry.h"

class CWnd;

class CRectTracker {
 public:
  CRectTracker() = default;
  virtual ~CRectTracker() = default;
  CRectTracker(const CRectTracker&) = delete;
  CRectTracker& operator=(const CRectTracker&) = delete;

  // The band: the press point and the current (or, afterwards, the release) point. Not
  // normalised.
  CRect m_rect;

  // Tracks from point (client coordinates of pWnd) until the left button goes up. TRUE when
  // the button was released and the band, normalised, is not empty (the mouse was dragged);
  // FALSE for a plain click and a cancelled band.
  BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);

  // Draws (and, drawn a second time, erases) the band: a focus rectangle by default.
  virtual void DrawTrackerRect(LPCRECT lpRect, HDC hDC);
  // Called after m_rect changed; rectOld is the band before.
  virtual void OnChangedRect(const CRect& rectOld);

 private:
  void Draw(HWND hWnd, const CRect& rect);
};
