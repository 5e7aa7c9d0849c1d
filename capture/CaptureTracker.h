// CCaptureTracker: the capture engine's interactive part. While the mouse hook is installed it
// receives every mouse event and the steering keys, and lets the user draw a rectangle, square,
// ellipse, circle or polygon directly on the screen, highlight a window (Control and Single
// Window modes) or sample a colour (Color Picker).
//
// It draws only with reversible operations on the screen's own device context: the selected
// area is shown inverted with a dotted focus rectangle around its bounding box, and every step
// inverts only the difference between the old and the new shape. The info panel (magnifier,
// position and size, or colour) follows the pointer. When the selection is complete the tracker
// erases everything it drew and tells its host, which takes the area, shape code and points.
// It also keeps the last shape of each drawn kind for Repeat Last.
//
// The host (the main frame) feeds it the forwarded mouse messages and keys and acts on the
// TrackerAction they return: it removes the mouse hook and captures, cancels, or outputs the
// picked colour.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "CaptureArea.h"
#include "InfoPanel.h"
#include "framework/Handles.h"

// What the host does after the tracker handled an event.
enum class TrackerAction {
  kNone,         // tracking goes on
  kFinish,       // the selection is complete and erased from the screen: capture Capture()
  kCancel,       // give up (Escape, a polygon of fewer than three vertices): the host cancels
  kColorPicked,  // the colour picker picked PickedColor(); the panel is gone
};

// The platform services the tracker uses besides drawing; replaceable so that the tracker can
// be driven by a test.
struct TrackerEnvironment {
  std::function<DWORD()> now;                // millisecond clock
  std::function<UINT()> doubleClickTime;     // milliseconds
  std::function<SIZE()> doubleClickSize;     // area within which two clicks make a double-click
  std::function<void()> beep;                // the system's default beep
  std::function<bool(POINT*)> getCursorPos;
  std::function<void(POINT)> setCursorPos;
  std::function<HWND(POINT)> windowFromPoint;

  static TrackerEnvironment System();
};

// A point forwarded by the mouse hook: x in the low 16 bits, y in the high 16 bits, signed.
POINT UnpackForwardedPoint(LPARAM lParam);
// Mouse messages of the non-client family as their client counterparts (a press in a window's
// frame counts as a press); others unchanged.
UINT ClientMouseMessage(UINT message);

// The bounding rectangle while stretching from anchor to pointer: the spanned rectangle,
// normalised, for rectangles and ellipses; for squares and circles a square of the shorter
// side that extends from the anchor towards the pointer on each axis.
RECT StretchedArea(int trackerType, POINT anchor, POINT pointer);

// One double-click timer: two events make a double-click when the second comes at most the
// double-click time after the first, inside the double-click area around it.
class CClickTimer {
 public:
  // Whether this event completes a double-click with the previous one; remembers this one.
  bool Check(DWORD now, POINT at, UINT limitMs, SIZE area);
  void Clear() { m_valid = false; }

 private:
  bool m_valid = false;
  DWORD m_time = 0;
  POINT m_at{0, 0};
};

// The last captured shape of one drawn kind (kept in memory for Repeat Last).
struct LastShapeRecord {
  int type = 0;        // the TrackerType it belongs to
  bool valid = false;  // a shape of this type has been captured
  RECT rect{0, 0, 0, 0};
  // Polygon only: the vertices relative to rect's top-left corner, and their count.
  std::array<POINT, kMaxCapturePoints> points{};
  int count = 0;
};

class CCaptureTracker {
 public:
  // Fixed vertices of a polygon: the buffer's capacity less the vertex that follows the pointer.
  static constexpr int kMaxPolygonVertices = kMaxCapturePoints - 1;
  // Margin around the panel inside which the selection's inversion is lifted while the panel
  // is redrawn.
  static constexpr int kPanelMargin = 5;

  explicit CCaptureTracker(TrackerEnvironment environment = TrackerEnvironment::System());
  ~CCaptureTracker();
  CCaptureTracker(const CCaptureTracker&) = delete;
  CCaptureTracker& operator=(const CCaptureTracker&) = delete;

  // --- A tracked capture ---
  // Starts a mode: its TrackerType, its initial TrackerState and the "OptionsA" flags (polygon
  // fill rule). Whatever an earlier capture left is forgotten (nothing on the screen is
  // touched: the host erases first).
  void Begin(int trackerType, int trackerState, DWORD optionsA);
  // A mode whose area is found at once (state 0): only the type is kept.
  void SetType(int trackerType, int trackerState);

  // Every forwarded mouse message of the tracking (message of either family, screen point).
  TrackerAction OnMouseMessage(HDC dc, UINT message, POINT point);
  // A steering key forwarded while tracking (Enter, Space, Shift, Escape, the arrows).
  TrackerAction OnTrackingKey(HDC dc, UINT virtualKey);

  // The handlers of the modes (OnMouseMessage picks one by the type).
  TrackerAction Track(HDC dc, POINT point, UINT message);         // drawn shapes
  TrackerAction TrackPolygon(HDC dc, POINT point, UINT message);  // polygon
  TrackerAction PickWindow(HDC dc, POINT point, UINT message);    // control, single window
  TrackerAction PickColor(HDC dc, POINT point, UINT message);     // colour picker

  // The drawing step of the current state at the pointer.
  void Update(HDC dc, POINT point);
  // Removes everything the tracker has drawn (shape, focus rectangle, rubber line, window
  // highlight, panel) and forgets the polygon's vertices.
  void Erase(HDC dc);
  // save: the current shape goes into its last-shape record first (shapes of zero size are not
  // kept). Then anchor, last point, area, shape, points and flags are emptied.
  void ResetTracking(bool save);

  // --- Repeat Last ---
  // Restores the last shape of a drawn type as the current shape (absolute coordinates, the
  // polygon's last vertex following the pointer) and gives the pointer position it belongs to.
  // False when no shape of that type was captured yet.
  bool GetLastShape(int trackerType, POINT* pointer);
  // Shows the restored shape (inverted interior and focus rectangle).
  void DrawRestoredShape(HDC dc);
  // "Track last position and size": GetLastShape, DrawRestoredShape, and tracking set to move
  // the shape with the pointer (a polygon moves as a whole). False when there is no last shape.
  bool BeginRepeatTracking(HDC dc, int trackerType, POINT* pointer);
  // The last shape of a type as a capture ready to be made (points relative to the area).
  bool LastShapeArea(int trackerType, CaptureArea& capture) const;
  const LastShapeRecord* LastShape(int trackerType) const;

  // --- Info panel ---
  bool PreparePanel(HDC dc, HINSTANCE resources) { return m_panel.Prepare(dc, resources); }
  void ShowPanel(HDC dc, POINT point, SIZE size) { m_panel.Show(dc, point, size); }
  void HidePanel(HDC dc);
  CInfoPanel& Panel() { return m_panel; }
  const CInfoPanel& Panel() const { return m_panel; }
  bool PanelWanted() const { return m_panelWanted; }

  // --- State ---
  int Type() const { return m_type; }
  int State() const { return m_state; }
  bool Started() const { return m_started; }
  bool Moving() const { return m_move; }
  bool PolygonMove() const { return m_polygonMove; }
  POINT Anchor() const { return m_anchor; }
  POINT LastPoint() const { return m_last; }
  SIZE Size() const { return m_size; }
  int PointCount() const { return m_capture.pointCount; }
  // The area, shape code and points (relative to the area once the capture is complete).
  const CaptureArea& Capture() const { return m_capture; }
  CaptureArea& Capture() { return m_capture; }
  COLORREF PickedColor() const { return m_pickedColor; }
  // Something of the selection is inverted on the screen now.
  bool ShowsShape() const { return static_cast<bool>(m_shownRegion) || m_focusShown || m_highlightShown || m_lineShown; }

 private:
  bool IsDrawnShape() const;
  bool PanelWishChanged() const { return m_panelWanted != m_panelShown; }
  TrackerAction Finish(HDC dc, POINT point);
  void UpdateShape(HDC dc, POINT point);
  void UpdatePolygon(HDC dc, POINT point);
  void UpdateHighlight(HDC dc, POINT point);
  void UpdatePanelOnly(HDC dc, POINT point);
  void FinishDrawing(HDC dc);
  // Steps 1-6 of a drawing step: the new area and region replace the shown ones.
  void DrawStep(HDC dc, POINT point, const RECT& newArea, UniqueRgn newRegion);
  // Redraws (or hides) the panel for the pointer with the selection's inversion lifted around
  // the old and the new panel place.
  void RedrawPanel(HDC dc, POINT point, SIZE size);
  void RemoveFocus(HDC dc);
  void DrawFocus(HDC dc, const RECT& area);
  void DrawRubberLine(HDC dc, POINT from, POINT to);
  void RemoveRubberLine(HDC dc);
  // The region shown for the current shape (a polygon with its vertex at the pointer).
  UniqueRgn MakeShownRegion() const;
  bool FixPolygonVertex(POINT point);
  // The double-click test of the polygon; the event is a press unless release is true.
  bool PolygonDoubleClick(POINT point, bool release);
  TrackerAction FinishPolygon(HDC dc, POINT point);
  LastShapeRecord* FindRecord(int trackerType);
  POINT CursorPos() const;

  TrackerEnvironment m_env;
  int m_type = 0;
  int m_state = 0;
  int m_fillMode = ALTERNATE;
  POINT m_anchor{-1, -1};
  POINT m_last{-1, -1};
  SIZE m_size{0, 0};
  CaptureArea m_capture;
  UniqueRgn m_shownRegion;    // inverted on the screen now
  bool m_focusShown = false;  // the focus rectangle m_focusRect is on the screen
  RECT m_focusRect{0, 0, 0, 0};
  bool m_highlightShown = false;  // window modes: the area is inverted on the screen
  bool m_lineShown = false;       // polygon with one vertex: the rubber line
  POINT m_lineFrom{0, 0};
  POINT m_lineTo{0, 0};
  bool m_started = false;
  bool m_move = false;
  bool m_polygonMove = false;
  bool m_panelWanted = true;
  bool m_panelShown = true;
  COLORREF m_pickedColor = 0;
  CClickTimer m_pressTimer;
  CClickTimer m_releaseTimer;
  std::array<LastShapeRecord, 5> m_lastShapes;
  CInfoPanel m_panel;
};
