#include "CaptureTracker.h"

#include <algorithm>
#include <cstdlib>

#include "CaptureGeometry.h"
#include "CaptureModes.h"
#include "WindowPicker.h"

namespace {

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

bool IsNoPoint(POINT p) { return p.x == -1 && p.y == -1; }

RECT Grown(const RECT& r, int by) { return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

RECT Normalised(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

bool IsDrawnType(int type) {
  return type == kTrackerRectangle || type == kTrackerSquare || type == kTrackerEllipse ||
         type == kTrackerCircle;
}

bool IsEllipseType(int type) { return type == kTrackerEllipse || type == kTrackerCircle; }

constexpr int kRecordTypes[5] = {kTrackerRectangle, kTrackerSquare, kTrackerEllipse, kTrackerCircle,
                                 kTrackerPolygon};

// Inverts the pixels of a region (nothing for an empty owner).
void Invert(HDC dc, HRGN region) {
  if (dc && region) ::InvertRgn(dc, region);
}

}  // namespace

// --- Helpers -----------------------------------------------------------------------------------

TrackerEnvironment TrackerEnvironment::System() {
  TrackerEnvironment env;
  env.now = [] { return ::GetTickCount(); };
  env.doubleClickTime = [] { return ::GetDoubleClickTime(); };
  env.doubleClickSize = [] {
    return SIZE{::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK)};
  };
  env.beep = [] { ::MessageBeep(MB_OK); };
  env.getCursorPos = [](POINT* p) { return ::GetCursorPos(p) != FALSE; };
  env.setCursorPos = [](POINT p) { ::SetCursorPos(p.x, p.y); };
  env.windowFromPoint = [](POINT p) { return WindowUnderPoint(p); };
  return env;
}

POINT UnpackForwardedPoint(LPARAM lParam) {
  const DWORD v = static_cast<DWORD>(lParam);
  return POINT{static_cast<short>(LOWORD(v)), static_cast<short>(HIWORD(v))};
}

UINT ClientMouseMessage(UINT message) {
  if (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK)
    return message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
  return message;
}

RECT StretchedArea(int trackerType, POINT anchor, POINT pointer) {
  if (trackerType == kTrackerSquare || trackerType == kTrackerCircle) {
    const LONG dx = pointer.x - anchor.x;
    const LONG dy = pointer.y - anchor.y;
    const LONG side = std::min(std::labs(dx), std::labs(dy));
    const LONG x = anchor.x + (dx < 0 ? -side : side);
    const LONG y = anchor.y + (dy < 0 ? -side : side);
    return Normalised(RECT{anchor.x, anchor.y, x, y});
  }
  return Normalised(RECT{anchor.x, anchor.y, pointer.x, pointer.y});
}

bool CClickTimer::Check(DWORD now, POINT at, UINT limitMs, SIZE area) {
  const bool doubleClick = m_valid && now - m_time <= limitMs &&
                           std::labs(at.x - m_at.x) <= area.cx / 2 &&
                           std::labs(at.y - m_at.y) <= area.cy / 2;
  m_valid = true;
  m_time = now;
  m_at = at;
  return doubleClick;
}

// --- CCaptureTracker ---------------------------------------------------------------------------

CCaptureTracker::CCaptureTracker(TrackerEnvironment environment) : m_env(std::move(environment)) {
  for (size_t i = 0; i < m_lastShapes.size(); ++i) m_lastShapes[i].type = kRecordTypes[i];
}

CCaptureTracker::~CCaptureTracker() = default;

void CCaptureTracker::Begin(int trackerType, int trackerState, DWORD optionsA) {
  ResetTracking(false);
  m_type = trackerType;
  m_state = trackerState;
  m_fillMode = PolygonFillModeFromOptions(optionsA);
  m_panelWanted = true;
  m_panelShown = true;
  m_pickedColor = 0;
  // A double-click is two clicks of one capture, never the last click of an earlier one.
  m_pressTimer.Clear();
  m_releaseTimer.Clear();
  if (trackerType == kTrackerColorPicker)
    m_panel.SetMode(CInfoPanel::kModeColor);
  else if (IsDrawnType(trackerType) || trackerType == kTrackerPolygon)
    m_panel.SetMode(CInfoPanel::kModeSelection);
  else
    m_panel.SetMode(CInfoPanel::kModeNone);
}

void CCaptureTracker::SetType(int trackerType, int trackerState) {
  m_type = trackerType;
  m_state = trackerState;
}

bool CCaptureTracker::IsDrawnShape() const { return IsDrawnType(m_type); }

POINT CCaptureTracker::CursorPos() const {
  POINT p{0, 0};
  if (m_env.getCursorPos && m_env.getCursorPos(&p)) return p;
  return m_last;
}

TrackerAction CCaptureTracker::OnMouseMessage(HDC dc, UINT message, POINT point) {
  if (m_state == kTrackerStateFinish || m_state == kTrackerStateIdle) return TrackerAction::kNone;
  message = ClientMouseMessage(message);
  if (IsDrawnShape()) return Track(dc, point, message);
  switch (m_type) {
    case kTrackerPolygon: return TrackPolygon(dc, point, message);
    case kTrackerControl:
    case kTrackerSingleWindow: return PickWindow(dc, point, message);
    case kTrackerColorPicker: return PickColor(dc, point, message);
    default: return TrackerAction::kNone;
  }
}

TrackerAction CCaptureTracker::OnTrackingKey(HDC dc, UINT virtualKey) {
  if (m_state == kTrackerStateFinish || m_state == kTrackerStateIdle) return TrackerAction::kNone;
  const POINT pointer = CursorPos();
  switch (virtualKey) {
    case VK_RETURN:
      return OnMouseMessage(dc, WM_LBUTTONDOWN, pointer);
    case VK_SPACE:
      // Window picking has no use for the right button.
      if (m_type == kTrackerControl || m_type == kTrackerSingleWindow) return TrackerAction::kNone;
      return OnMouseMessage(dc, WM_RBUTTONDOWN, pointer);
    case VK_SHIFT:
      if (m_type == kTrackerControl || m_type == kTrackerSingleWindow) return TrackerAction::kNone;
      m_panelWanted = !m_panelWanted;
      // Redrawn as a pointer move: the panel wish changed, so the step runs.
      if (m_type == kTrackerPolygon) return TrackPolygon(dc, pointer, WM_MOUSEMOVE);
      Update(dc, pointer);
      return TrackerAction::kNone;
    case VK_ESCAPE:
      return TrackerAction::kCancel;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      POINT to = pointer;
      if (virtualKey == VK_LEFT) --to.x;
      if (virtualKey == VK_RIGHT) ++to.x;
      if (virtualKey == VK_UP) --to.y;
      if (virtualKey == VK_DOWN) ++to.y;
      // The move comes back through the mouse hook.
      if (m_env.setCursorPos) m_env.setCursorPos(to);
      return TrackerAction::kNone;
    }
    default:
      return TrackerAction::kNone;
  }
}

// --- Drawn shapes ------------------------------------------------------------------------------

TrackerAction CCaptureTracker::Track(HDC dc, POINT point, UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
      m_state = !m_started ? kTrackerStateHover : m_move ? kTrackerStateMove : kTrackerStateStretch;
      Update(dc, point);
      return TrackerAction::kNone;
    case WM_LBUTTONDOWN:
      if (m_started) return Finish(dc, point);
      break;
    case WM_RBUTTONDOWN:
      if (m_started) {
        m_move = !m_move;
        return TrackerAction::kNone;
      }
      break;
    default:
      return TrackerAction::kNone;
  }
  // The press that starts: the anchor is fixed here.
  m_started = true;
  m_state = kTrackerStateStretch;
  Update(dc, point);
  return TrackerAction::kNone;
}

TrackerAction CCaptureTracker::Finish(HDC dc, POINT point) {
  m_state = kTrackerStateFinish;
  Update(dc, point);
  m_started = false;
  m_move = false;
  return TrackerAction::kFinish;
}

void CCaptureTracker::Update(HDC dc, POINT point) {
  switch (m_state) {
    case kTrackerStateFinish: FinishDrawing(dc); break;
    case kTrackerStateHover:
    case kTrackerStateColorPicker: UpdatePanelOnly(dc, point); break;
    case kTrackerStateStretch:
    case kTrackerStateMove: UpdateShape(dc, point); break;
    case kTrackerStatePolygon: UpdatePolygon(dc, point); break;
    case kTrackerStateControl:
    case kTrackerStateSingleWindow: UpdateHighlight(dc, point); break;
    default: break;
  }
}

void CCaptureTracker::UpdatePanelOnly(HDC dc, POINT point) {
  if (SamePoint(point, m_last) && !PanelWishChanged()) return;
  if (m_panelWanted || m_panelShown) RedrawPanel(dc, point, m_size);
  m_last = point;
}

void CCaptureTracker::UpdateShape(HDC dc, POINT point) {
  if (m_state == kTrackerStateStretch && IsNoPoint(m_anchor)) {
    // The press that starts the selection: only the anchor is fixed.
    m_anchor = point;
    m_last = point;
    return;
  }
  if (SamePoint(point, m_last) && !PanelWishChanged()) return;
  RECT area;
  if (m_state == kTrackerStateMove) {
    const LONG dx = point.x - m_last.x;
    const LONG dy = point.y - m_last.y;
    area = m_capture.area;
    ::OffsetRect(&area, dx, dy);
    m_anchor.x += dx;
    m_anchor.y += dy;
  } else {
    area = StretchedArea(m_type, m_anchor, point);
  }
  m_capture.shapeCode = IsEllipseType(m_type) ? kShapeEllipse : kShapeRectangle;
  UniqueRgn region(m_capture.shapeCode == kShapeEllipse ? ::CreateEllipticRgnIndirect(&area)
                                                       : ::CreateRectRgnIndirect(&area));
  DrawStep(dc, point, area, std::move(region));
}

void CCaptureTracker::DrawStep(HDC dc, POINT point, const RECT& newArea, UniqueRgn newRegion) {
  RemoveFocus(dc);
  const SIZE newSize = SizeOf(newArea);
  if (m_panelWanted || m_panelShown) RedrawPanel(dc, point, newSize);
  DrawFocus(dc, newArea);
  // Only the difference of the old and the new shape changes.
  if (m_shownRegion && newRegion) {
    UniqueRgn difference(::CreateRectRgn(0, 0, 0, 0));
    if (difference && ::CombineRgn(difference.get(), m_shownRegion.get(), newRegion.get(), RGN_XOR) != ERROR) {
      Invert(dc, difference.get());
    } else {
      Invert(dc, m_shownRegion.get());
      Invert(dc, newRegion.get());
    }
  } else {
    Invert(dc, m_shownRegion.get());
    Invert(dc, newRegion.get());
  }
  m_shownRegion = std::move(newRegion);
  m_capture.area = newArea;
  m_last = point;
  m_size = newSize;
}

void CCaptureTracker::RedrawPanel(HDC dc, POINT point, SIZE size) {
  // The part of the inverted shape around the old and the new panel place (and the pixels the
  // magnifier samples) is turned back to normal while the panel moves, so that the panel keeps
  // clean screen pixels and magnifies them.
  UniqueRgn lifted;
  if (m_shownRegion) {
    lifted.reset(::CreateRectRgn(0, 0, 0, 0));
    auto add = [&](const RECT& r) {
      UniqueRgn part(::CreateRectRgnIndirect(&r));
      if (lifted && part) ::CombineRgn(lifted.get(), lifted.get(), part.get(), RGN_OR);
    };
    if (m_panel.IsShown()) add(Grown(m_panel.ShownRect(), kPanelMargin));
    if (m_panelWanted) add(Grown(m_panel.RectFor(point), kPanelMargin));
    add(RECT{point.x - kPanelMargin, point.y - kPanelMargin, point.x + kPanelMargin + 1,
             point.y + kPanelMargin + 1});
    if (lifted && ::CombineRgn(lifted.get(), lifted.get(), m_shownRegion.get(), RGN_AND) == ERROR)
      lifted.reset();
  }
  Invert(dc, lifted.get());
  if (m_panelWanted) {
    m_panel.Show(dc, point, size);
    if (m_panel.IsPrepared()) {
      m_pickedColor = m_panel.Color();
    } else if (m_panel.Mode() == CInfoPanel::kModeColor) {
      // No panel to sample through: read the pixel itself.
      const COLORREF c = ::GetPixel(dc, point.x, point.y);
      if (c != CLR_INVALID) m_pickedColor = c & 0x00FFFFFFu;
    }
  } else {
    m_panel.Hide(dc);
  }
  m_panelShown = m_panelWanted;
  Invert(dc, lifted.get());
}

void CCaptureTracker::HidePanel(HDC dc) {
  m_panel.Hide(dc);
}

void CCaptureTracker::RemoveFocus(HDC dc) {
  if (!m_focusShown) return;
  ::DrawFocusRect(dc, &m_focusRect);
  m_focusShown = false;
}

void CCaptureTracker::DrawFocus(HDC dc, const RECT& area) {
  RemoveFocus(dc);
  if (::IsRectEmpty(&area)) return;
  m_focusRect = area;
  ::DrawFocusRect(dc, &m_focusRect);
  m_focusShown = true;
}

// --- Finishing and erasing ---------------------------------------------------------------------

void CCaptureTracker::FinishDrawing(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, m_shownRegion.get());
  m_shownRegion.reset();
  if (m_highlightShown) {
    ::InvertRect(dc, &m_capture.area);
    m_highlightShown = false;
  }
  RemoveRubberLine(dc);
  m_panel.Hide(dc);
  if (m_type == kTrackerPolygon && m_capture.IsPolygon()) {
    m_capture.area = PolygonBounds(m_capture.points.data(), m_capture.shapeCode);
    MakePointsRelative(m_capture, m_capture.shapeCode);
  }
}

void CCaptureTracker::Erase(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, m_shownRegion.get());
  m_shownRegion.reset();
  if (m_highlightShown) {
    ::InvertRect(dc, &m_capture.area);
    m_highlightShown = false;
  }
  RemoveRubberLine(dc);
  m_panel.Hide(dc);
  m_capture.pointCount = 0;
  m_polygonMove = false;
}

void CCaptureTracker::ResetTracking(bool save) {
  if (save) {
    LastShapeRecord* record = FindRecord(m_type);
    if (record && !m_capture.IsEmpty()) {
      record->rect = m_capture.area;
      record->count = 0;
      if (m_type == kTrackerPolygon && m_capture.IsPolygon()) {
        record->count = std::min(m_capture.shapeCode, kMaxCapturePoints);
        std::copy_n(m_capture.points.begin(), record->count, record->points.begin());
      }
      // A polygon needs its vertices; anything else its rectangle.
      record->valid = m_type != kTrackerPolygon || record->count >= kShapeMinPolygon;
    }
  }
  m_anchor = POINT{-1, -1};
  m_last = POINT{-1, -1};
  m_size = SIZE{0, 0};
  m_capture = CaptureArea{};
  m_shownRegion.reset();
  m_focusShown = false;
  m_highlightShown = false;
  m_lineShown = false;
  m_started = false;
  m_move = false;
  m_polygonMove = false;
  m_panel.Forget();
  m_state = kTrackerStateIdle;
}

// --- Polygon -----------------------------------------------------------------------------------

UniqueRgn CCaptureTracker::MakeShownRegion() const {
  const RECT& area = m_capture.area;
  if (m_type == kTrackerPolygon) {
    const int n = std::min(m_capture.pointCount + 1, kMaxCapturePoints);
    if (n < kShapeMinPolygon) return UniqueRgn();
    return UniqueRgn(::CreatePolygonRgn(m_capture.points.data(), n, m_fillMode));
  }
  if (m_capture.shapeCode == kShapeEllipse) return UniqueRgn(::CreateEllipticRgnIndirect(&area));
  return UniqueRgn(::CreateRectRgnIndirect(&area));
}

void CCaptureTracker::DrawRubberLine(HDC dc, POINT from, POINT to) {
  RemoveRubberLine(dc);
  const int oldRop = ::SetROP2(dc, R2_NOT);
  SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
  ::MoveToEx(dc, from.x, from.y, nullptr);
  ::LineTo(dc, to.x, to.y);
  ::SetROP2(dc, oldRop);
  m_lineShown = true;
  m_lineFrom = from;
  m_lineTo = to;
}

void CCaptureTracker::RemoveRubberLine(HDC dc) {
  if (!m_lineShown) return;
  const int oldRop = ::SetROP2(dc, R2_NOT);
  SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
  ::MoveToEx(dc, m_lineFrom.x, m_lineFrom.y, nullptr);
  ::LineTo(dc, m_lineTo.x, m_lineTo.y);
  ::SetROP2(dc, oldRop);
  m_lineShown = false;
}

void CCaptureTracker::UpdatePolygon(HDC dc, POINT point) {
  const int count = m_capture.pointCount;
  if (count == 0) {
    UpdatePanelOnly(dc, point);
    return;
  }
  if (SamePoint(point, m_last) && !PanelWishChanged() && (count != 1 || m_lineShown)) return;
  if (count == 1) {
    // A rubber line from the first vertex, with the panel redrawn between its removal and its
    // new place.
    RemoveRubberLine(dc);
    const RECT span = Normalised(RECT{m_capture.points[0].x, m_capture.points[0].y, point.x, point.y});
    if (m_panelWanted || m_panelShown) RedrawPanel(dc, point, SizeOf(span));
    m_capture.points[1] = point;
    DrawRubberLine(dc, m_capture.points[0], point);
    m_last = point;
    m_size = SizeOf(span);
    return;
  }
  if (m_polygonMove) {
    OffsetPoints(m_capture, count + 1, point.x - m_last.x, point.y - m_last.y);
  } else {
    m_capture.points[count] = point;
  }
  const RECT area = PolygonBounds(m_capture.points.data(), count + 1);
  UniqueRgn region(::CreatePolygonRgn(m_capture.points.data(), count + 1, m_fillMode));
  DrawStep(dc, point, area, std::move(region));
}

bool CCaptureTracker::FixPolygonVertex(POINT point) {
  int& count = m_capture.pointCount;
  if (SamePoint(point, m_capture.points[count - 1])) return false;
  if (count >= kMaxPolygonVertices) {
    if (m_env.beep) m_env.beep();
    return false;
  }
  m_capture.points[count] = point;
  ++count;
  m_capture.points[count] = point;  // the vertex that follows the pointer from here
  m_capture.shapeCode = count;
  return true;
}

bool CCaptureTracker::PolygonDoubleClick(POINT point, bool release) {
  const UINT limit = m_env.doubleClickTime ? m_env.doubleClickTime() : 500;
  const SIZE area = m_env.doubleClickSize ? m_env.doubleClickSize() : SIZE{4, 4};
  const DWORD now = m_env.now ? m_env.now() : ::GetTickCount();
  return (release ? m_releaseTimer : m_pressTimer).Check(now, point, limit, area);
}

TrackerAction CCaptureTracker::FinishPolygon(HDC dc, POINT point) {
  m_pressTimer.Clear();
  m_releaseTimer.Clear();
  if (m_polygonMove && m_capture.pointCount < kMaxCapturePoints) {
    // The polygon moved as a whole, the vertex at the pointer with it: that vertex belongs to it.
    ++m_capture.pointCount;
    m_capture.shapeCode = m_capture.pointCount;
  }
  m_polygonMove = false;
  if (m_capture.pointCount < kShapeMinPolygon || m_capture.shapeCode < kShapeMinPolygon)
    return TrackerAction::kCancel;
  return Finish(dc, point);
}

TrackerAction CCaptureTracker::TrackPolygon(HDC dc, POINT point, UINT message) {
  m_state = kTrackerStatePolygon;
  int& count = m_capture.pointCount;
  switch (message) {
    case WM_MOUSEMOVE:
      Update(dc, point);
      return TrackerAction::kNone;

    case WM_RBUTTONDOWN:
      if (count >= 2) {
        m_polygonMove = !m_polygonMove;
        return TrackerAction::kNone;
      }
      if (count == 1) return TrackerAction::kNone;
      [[fallthrough]];  // no vertex yet: the first one, as by the left button
    case WM_LBUTTONDOWN:
      if (count == 0) {
        m_capture.points[0] = point;
        m_capture.points[1] = point;
        count = 1;
        m_capture.shapeCode = count;
        m_last = point;
      } else {
        if (count == 1) RemoveRubberLine(dc);
        if (!m_polygonMove) FixPolygonVertex(point);
      }
      if (message == WM_LBUTTONDOWN && PolygonDoubleClick(point, false)) return FinishPolygon(dc, point);
      return TrackerAction::kNone;

    case WM_LBUTTONDBLCLK:
      // The second press of a double-click: the shape leaves the screen, and the polygon is
      // finished like by any second press in time.
      m_capture.shapeCode = count;
      RemoveFocus(dc);
      Invert(dc, m_shownRegion.get());
      m_shownRegion.reset();
      if (PolygonDoubleClick(point, false)) return FinishPolygon(dc, point);
      return TrackerAction::kNone;

    case WM_LBUTTONUP:
      if (PolygonDoubleClick(point, true)) return FinishPolygon(dc, point);
      return TrackerAction::kNone;

    default:
      return TrackerAction::kNone;
  }
}

// --- Window picking ----------------------------------------------------------------------------

TrackerAction CCaptureTracker::PickWindow(HDC dc, POINT point, UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
      Update(dc, point);
      return TrackerAction::kNone;
    case WM_LBUTTONDOWN:
      return Finish(dc, point);
    default:
      return TrackerAction::kNone;
  }
}

void CCaptureTracker::UpdateHighlight(HDC dc, POINT point) {
  m_last = point;
  HWND hit = m_env.windowFromPoint ? m_env.windowFromPoint(point) : nullptr;
  const std::optional<RECT> rect = PickedWindowRect(hit, m_type == kTrackerControl);
  if (!rect || (m_highlightShown && ::EqualRect(&*rect, &m_capture.area))) return;
  if (m_highlightShown) ::InvertRect(dc, &m_capture.area);
  m_capture.SetRectangle(*rect);
  ::InvertRect(dc, &m_capture.area);
  m_highlightShown = true;
  m_size = SizeOf(*rect);
}

// --- Colour picker -----------------------------------------------------------------------------

TrackerAction CCaptureTracker::PickColor(HDC dc, POINT point, UINT message) {
  m_state = kTrackerStateColorPicker;
  switch (message) {
    case WM_MOUSEMOVE:
      Update(dc, point);
      return TrackerAction::kNone;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      m_state = kTrackerStateFinish;
      Update(dc, point);
      m_started = false;
      m_move = false;
      return TrackerAction::kColorPicked;
    default:
      return TrackerAction::kNone;
  }
}

// --- Repeat Last -------------------------------------------------------------------------------

LastShapeRecord* CCaptureTracker::FindRecord(int trackerType) {
  for (LastShapeRecord& record : m_lastShapes)
    if (record.type == trackerType) return &record;
  return nullptr;
}

const LastShapeRecord* CCaptureTracker::LastShape(int trackerType) const {
  for (const LastShapeRecord& record : m_lastShapes)
    if (record.type == trackerType) return &record;
  return nullptr;
}

bool CCaptureTracker::LastShapeArea(int trackerType, CaptureArea& capture) const {
  const LastShapeRecord* record = LastShape(trackerType);
  if (!record || !record->valid) return false;
  capture = CaptureArea{};
  capture.area = Normalised(record->rect);
  if (trackerType == kTrackerPolygon) {
    std::copy_n(record->points.begin(), record->count, capture.points.begin());
    capture.pointCount = record->count;
    capture.shapeCode = record->count;
  } else {
    capture.shapeCode = IsEllipseType(trackerType) ? kShapeEllipse : kShapeRectangle;
  }
  return true;
}

bool CCaptureTracker::GetLastShape(int trackerType, POINT* pointer) {
  CaptureArea restored;
  if (!LastShapeArea(trackerType, restored)) return false;
  m_capture = restored;
  m_type = trackerType;
  m_anchor = POINT{m_capture.area.left, m_capture.area.top};
  POINT at{m_capture.area.right, m_capture.area.bottom};
  if (trackerType == kTrackerPolygon) {
    const int count = restored.pointCount;
    MakePointsAbsolute(m_capture, count);
    at = m_capture.points[count - 1];
    // The last vertex follows the pointer again.
    m_capture.pointCount = count - 1;
    m_capture.shapeCode = m_capture.pointCount;
  }
  m_last = at;
  m_size = SizeOf(m_capture.area);
  if (pointer) *pointer = at;
  return true;
}

void CCaptureTracker::DrawRestoredShape(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, m_shownRegion.get());
  m_shownRegion = MakeShownRegion();
  Invert(dc, m_shownRegion.get());
  DrawFocus(dc, m_capture.area);
}

bool CCaptureTracker::BeginRepeatTracking(HDC dc, int trackerType, POINT* pointer) {
  POINT at;
  if (!GetLastShape(trackerType, &at)) return false;
  DrawRestoredShape(dc);
  m_started = true;
  m_move = true;
  if (trackerType == kTrackerPolygon) {
    m_polygonMove = true;
    m_state = kTrackerStatePolygon;
  } else {
    m_state = kTrackerStateMove;
  }
  if (pointer) *pointer = at;
  return true;
}
