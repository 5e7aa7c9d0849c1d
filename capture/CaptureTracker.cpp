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
  const bool doubleClick = valid_ && now - time_ <= limitMs &&
                           std::labs(at.x - at_.x) <= area.cx / 2 &&
                           std::labs(at.y - at_.y) <= area.cy / 2;
  valid_ = true;
  time_ = now;
  at_ = at;
  return doubleClick;
}

// --- CCaptureTracker ---------------------------------------------------------------------------

CCaptureTracker::CCaptureTracker(TrackerEnvironment environment) : env_(std::move(environment)) {
  for (size_t i = 0; i < lastShapes_.size(); ++i) lastShapes_[i].type = kRecordTypes[i];
}

CCaptureTracker::~CCaptureTracker() = default;

void CCaptureTracker::Begin(int trackerType, int trackerState, DWORD optionsA) {
  ResetTracking(false);
  type_ = trackerType;
  state_ = trackerState;
  fillMode_ = PolygonFillModeFromOptions(optionsA);
  panelWanted_ = true;
  panelShown_ = true;
  pickedColor_ = 0;
  // A double-click is two clicks of one capture, never the last click of an earlier one.
  pressTimer_.Clear();
  releaseTimer_.Clear();
  if (trackerType == kTrackerColorPicker)
    panel_.SetMode(CInfoPanel::kModeColor);
  else if (IsDrawnType(trackerType) || trackerType == kTrackerPolygon)
    panel_.SetMode(CInfoPanel::kModeSelection);
  else
    panel_.SetMode(CInfoPanel::kModeNone);
}

void CCaptureTracker::SetType(int trackerType, int trackerState) {
  type_ = trackerType;
  state_ = trackerState;
}

bool CCaptureTracker::IsDrawnShape() const { return IsDrawnType(type_); }

POINT CCaptureTracker::CursorPos() const {
  POINT p{0, 0};
  if (env_.getCursorPos && env_.getCursorPos(&p)) return p;
  return last_;
}

TrackerAction CCaptureTracker::OnMouseMessage(HDC dc, UINT message, POINT point) {
  if (state_ == kTrackerStateFinish || state_ == kTrackerStateIdle) return TrackerAction::kNone;
  message = ClientMouseMessage(message);
  if (IsDrawnShape()) return Track(dc, point, message);
  switch (type_) {
    case kTrackerPolygon: return TrackPolygon(dc, point, message);
    case kTrackerControl:
    case kTrackerSingleWindow: return PickWindow(dc, point, message);
    case kTrackerColorPicker: return PickColor(dc, point, message);
    default: return TrackerAction::kNone;
  }
}

TrackerAction CCaptureTracker::OnTrackingKey(HDC dc, UINT virtualKey) {
  if (state_ == kTrackerStateFinish || state_ == kTrackerStateIdle) return TrackerAction::kNone;
  const POINT pointer = CursorPos();
  switch (virtualKey) {
    case VK_RETURN:
      return OnMouseMessage(dc, WM_LBUTTONDOWN, pointer);
    case VK_SPACE:
      // Window picking has no use for the right button.
      if (type_ == kTrackerControl || type_ == kTrackerSingleWindow) return TrackerAction::kNone;
      return OnMouseMessage(dc, WM_RBUTTONDOWN, pointer);
    case VK_SHIFT:
      if (type_ == kTrackerControl || type_ == kTrackerSingleWindow) return TrackerAction::kNone;
      panelWanted_ = !panelWanted_;
      // Redrawn as a pointer move: the panel wish changed, so the step runs.
      if (type_ == kTrackerPolygon) return TrackPolygon(dc, pointer, WM_MOUSEMOVE);
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
      if (env_.setCursorPos) env_.setCursorPos(to);
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
      state_ = !started_ ? kTrackerStateHover : move_ ? kTrackerStateMove : kTrackerStateStretch;
      Update(dc, point);
      return TrackerAction::kNone;
    case WM_LBUTTONDOWN:
      if (started_) return Finish(dc, point);
      break;
    case WM_RBUTTONDOWN:
      if (started_) {
        move_ = !move_;
        return TrackerAction::kNone;
      }
      break;
    default:
      return TrackerAction::kNone;
  }
  // The press that starts: the anchor is fixed here.
  started_ = true;
  state_ = kTrackerStateStretch;
  Update(dc, point);
  return TrackerAction::kNone;
}

TrackerAction CCaptureTracker::Finish(HDC dc, POINT point) {
  state_ = kTrackerStateFinish;
  Update(dc, point);
  started_ = false;
  move_ = false;
  return TrackerAction::kFinish;
}

void CCaptureTracker::Update(HDC dc, POINT point) {
  switch (state_) {
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
  if (SamePoint(point, last_) && !PanelWishChanged()) return;
  if (panelWanted_ || panelShown_) RedrawPanel(dc, point, size_);
  last_ = point;
}

void CCaptureTracker::UpdateShape(HDC dc, POINT point) {
  if (state_ == kTrackerStateStretch && IsNoPoint(anchor_)) {
    // The press that starts the selection: only the anchor is fixed.
    anchor_ = point;
    last_ = point;
    return;
  }
  if (SamePoint(point, last_) && !PanelWishChanged()) return;
  RECT area;
  if (state_ == kTrackerStateMove) {
    const LONG dx = point.x - last_.x;
    const LONG dy = point.y - last_.y;
    area = capture_.area;
    ::OffsetRect(&area, dx, dy);
    anchor_.x += dx;
    anchor_.y += dy;
  } else {
    area = StretchedArea(type_, anchor_, point);
  }
  capture_.shapeCode = IsEllipseType(type_) ? kShapeEllipse : kShapeRectangle;
  UniqueRgn region(capture_.shapeCode == kShapeEllipse ? ::CreateEllipticRgnIndirect(&area)
                                                       : ::CreateRectRgnIndirect(&area));
  DrawStep(dc, point, area, std::move(region));
}

void CCaptureTracker::DrawStep(HDC dc, POINT point, const RECT& newArea, UniqueRgn newRegion) {
  RemoveFocus(dc);
  const SIZE newSize = SizeOf(newArea);
  if (panelWanted_ || panelShown_) RedrawPanel(dc, point, newSize);
  DrawFocus(dc, newArea);
  // Only the difference of the old and the new shape changes.
  if (shownRegion_ && newRegion) {
    UniqueRgn difference(::CreateRectRgn(0, 0, 0, 0));
    if (difference && ::CombineRgn(difference.get(), shownRegion_.get(), newRegion.get(), RGN_XOR) != ERROR) {
      Invert(dc, difference.get());
    } else {
      Invert(dc, shownRegion_.get());
      Invert(dc, newRegion.get());
    }
  } else {
    Invert(dc, shownRegion_.get());
    Invert(dc, newRegion.get());
  }
  shownRegion_ = std::move(newRegion);
  capture_.area = newArea;
  last_ = point;
  size_ = newSize;
}

void CCaptureTracker::RedrawPanel(HDC dc, POINT point, SIZE size) {
  // The part of the inverted shape around the old and the new panel place (and the pixels the
  // magnifier samples) is turned back to normal while the panel moves, so that the panel keeps
  // clean screen pixels and magnifies them.
  UniqueRgn lifted;
  if (shownRegion_) {
    lifted.reset(::CreateRectRgn(0, 0, 0, 0));
    auto add = [&](const RECT& r) {
      UniqueRgn part(::CreateRectRgnIndirect(&r));
      if (lifted && part) ::CombineRgn(lifted.get(), lifted.get(), part.get(), RGN_OR);
    };
    if (panel_.IsShown()) add(Grown(panel_.ShownRect(), kPanelMargin));
    if (panelWanted_) add(Grown(panel_.RectFor(point), kPanelMargin));
    add(RECT{point.x - kPanelMargin, point.y - kPanelMargin, point.x + kPanelMargin + 1,
             point.y + kPanelMargin + 1});
    if (lifted && ::CombineRgn(lifted.get(), lifted.get(), shownRegion_.get(), RGN_AND) == ERROR)
      lifted.reset();
  }
  Invert(dc, lifted.get());
  if (panelWanted_) {
    panel_.Show(dc, point, size);
    if (panel_.IsPrepared()) {
      pickedColor_ = panel_.Color();
    } else if (panel_.Mode() == CInfoPanel::kModeColor) {
      // No panel to sample through: read the pixel itself.
      const COLORREF c = ::GetPixel(dc, point.x, point.y);
      if (c != CLR_INVALID) pickedColor_ = c & 0x00FFFFFFu;
    }
  } else {
    panel_.Hide(dc);
  }
  panelShown_ = panelWanted_;
  Invert(dc, lifted.get());
}

void CCaptureTracker::HidePanel(HDC dc) {
  panel_.Hide(dc);
}

void CCaptureTracker::RemoveFocus(HDC dc) {
  if (!focusShown_) return;
  ::DrawFocusRect(dc, &focusRect_);
  focusShown_ = false;
}

void CCaptureTracker::DrawFocus(HDC dc, const RECT& area) {
  RemoveFocus(dc);
  if (::IsRectEmpty(&area)) return;
  focusRect_ = area;
  ::DrawFocusRect(dc, &focusRect_);
  focusShown_ = true;
}

// --- Finishing and erasing ---------------------------------------------------------------------

void CCaptureTracker::FinishDrawing(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, shownRegion_.get());
  shownRegion_.reset();
  if (highlightShown_) {
    ::InvertRect(dc, &capture_.area);
    highlightShown_ = false;
  }
  RemoveRubberLine(dc);
  panel_.Hide(dc);
  if (type_ == kTrackerPolygon && capture_.IsPolygon()) {
    capture_.area = PolygonBounds(capture_.points.data(), capture_.shapeCode);
    MakePointsRelative(capture_, capture_.shapeCode);
  }
}

void CCaptureTracker::Erase(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, shownRegion_.get());
  shownRegion_.reset();
  if (highlightShown_) {
    ::InvertRect(dc, &capture_.area);
    highlightShown_ = false;
  }
  RemoveRubberLine(dc);
  panel_.Hide(dc);
  capture_.pointCount = 0;
  polygonMove_ = false;
}

void CCaptureTracker::ResetTracking(bool save) {
  if (save) {
    LastShapeRecord* record = FindRecord(type_);
    if (record && !capture_.IsEmpty()) {
      record->rect = capture_.area;
      record->count = 0;
      if (type_ == kTrackerPolygon && capture_.IsPolygon()) {
        record->count = std::min(capture_.shapeCode, kMaxCapturePoints);
        std::copy_n(capture_.points.begin(), record->count, record->points.begin());
      }
      // A polygon needs its vertices; anything else its rectangle.
      record->valid = type_ != kTrackerPolygon || record->count >= kShapeMinPolygon;
    }
  }
  anchor_ = POINT{-1, -1};
  last_ = POINT{-1, -1};
  size_ = SIZE{0, 0};
  capture_ = CaptureArea{};
  shownRegion_.reset();
  focusShown_ = false;
  highlightShown_ = false;
  lineShown_ = false;
  started_ = false;
  move_ = false;
  polygonMove_ = false;
  panel_.Forget();
  state_ = kTrackerStateIdle;
}

// --- Polygon -----------------------------------------------------------------------------------

UniqueRgn CCaptureTracker::MakeShownRegion() const {
  const RECT& area = capture_.area;
  if (type_ == kTrackerPolygon) {
    const int n = std::min(capture_.pointCount + 1, kMaxCapturePoints);
    if (n < kShapeMinPolygon) return UniqueRgn();
    return UniqueRgn(::CreatePolygonRgn(capture_.points.data(), n, fillMode_));
  }
  if (capture_.shapeCode == kShapeEllipse) return UniqueRgn(::CreateEllipticRgnIndirect(&area));
  return UniqueRgn(::CreateRectRgnIndirect(&area));
}

void CCaptureTracker::DrawRubberLine(HDC dc, POINT from, POINT to) {
  RemoveRubberLine(dc);
  const int oldRop = ::SetROP2(dc, R2_NOT);
  SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
  ::MoveToEx(dc, from.x, from.y, nullptr);
  ::LineTo(dc, to.x, to.y);
  ::SetROP2(dc, oldRop);
  lineShown_ = true;
  lineFrom_ = from;
  lineTo_ = to;
}

void CCaptureTracker::RemoveRubberLine(HDC dc) {
  if (!lineShown_) return;
  const int oldRop = ::SetROP2(dc, R2_NOT);
  SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
  ::MoveToEx(dc, lineFrom_.x, lineFrom_.y, nullptr);
  ::LineTo(dc, lineTo_.x, lineTo_.y);
  ::SetROP2(dc, oldRop);
  lineShown_ = false;
}

void CCaptureTracker::UpdatePolygon(HDC dc, POINT point) {
  const int count = capture_.pointCount;
  if (count == 0) {
    UpdatePanelOnly(dc, point);
    return;
  }
  if (SamePoint(point, last_) && !PanelWishChanged() && (count != 1 || lineShown_)) return;
  if (count == 1) {
    // A rubber line from the first vertex, with the panel redrawn between its removal and its
    // new place.
    RemoveRubberLine(dc);
    const RECT span = Normalised(RECT{capture_.points[0].x, capture_.points[0].y, point.x, point.y});
    if (panelWanted_ || panelShown_) RedrawPanel(dc, point, SizeOf(span));
    capture_.points[1] = point;
    DrawRubberLine(dc, capture_.points[0], point);
    last_ = point;
    size_ = SizeOf(span);
    return;
  }
  if (polygonMove_) {
    OffsetPoints(capture_, count + 1, point.x - last_.x, point.y - last_.y);
  } else {
    capture_.points[count] = point;
  }
  const RECT area = PolygonBounds(capture_.points.data(), count + 1);
  UniqueRgn region(::CreatePolygonRgn(capture_.points.data(), count + 1, fillMode_));
  DrawStep(dc, point, area, std::move(region));
}

bool CCaptureTracker::FixPolygonVertex(POINT point) {
  int& count = capture_.pointCount;
  if (SamePoint(point, capture_.points[count - 1])) return false;
  if (count >= kMaxPolygonVertices) {
    if (env_.beep) env_.beep();
    return false;
  }
  capture_.points[count] = point;
  ++count;
  capture_.points[count] = point;  // the vertex that follows the pointer from here
  capture_.shapeCode = count;
  return true;
}

bool CCaptureTracker::PolygonDoubleClick(POINT point, bool release) {
  const UINT limit = env_.doubleClickTime ? env_.doubleClickTime() : 500;
  const SIZE area = env_.doubleClickSize ? env_.doubleClickSize() : SIZE{4, 4};
  const DWORD now = env_.now ? env_.now() : ::GetTickCount();
  return (release ? releaseTimer_ : pressTimer_).Check(now, point, limit, area);
}

TrackerAction CCaptureTracker::FinishPolygon(HDC dc, POINT point) {
  pressTimer_.Clear();
  releaseTimer_.Clear();
  if (polygonMove_ && capture_.pointCount < kMaxCapturePoints) {
    // The polygon moved as a whole, the vertex at the pointer with it: that vertex belongs to it.
    ++capture_.pointCount;
    capture_.shapeCode = capture_.pointCount;
  }
  polygonMove_ = false;
  if (capture_.pointCount < kShapeMinPolygon || capture_.shapeCode < kShapeMinPolygon)
    return TrackerAction::kCancel;
  return Finish(dc, point);
}

TrackerAction CCaptureTracker::TrackPolygon(HDC dc, POINT point, UINT message) {
  state_ = kTrackerStatePolygon;
  int& count = capture_.pointCount;
  switch (message) {
    case WM_MOUSEMOVE:
      Update(dc, point);
      return TrackerAction::kNone;

    case WM_RBUTTONDOWN:
      if (count >= 2) {
        polygonMove_ = !polygonMove_;
        return TrackerAction::kNone;
      }
      if (count == 1) return TrackerAction::kNone;
      [[fallthrough]];  // no vertex yet: the first one, as by the left button
    case WM_LBUTTONDOWN:
      if (count == 0) {
        capture_.points[0] = point;
        capture_.points[1] = point;
        count = 1;
        capture_.shapeCode = count;
        last_ = point;
      } else {
        if (count == 1) RemoveRubberLine(dc);
        if (!polygonMove_) FixPolygonVertex(point);
      }
      if (message == WM_LBUTTONDOWN && PolygonDoubleClick(point, false)) return FinishPolygon(dc, point);
      return TrackerAction::kNone;

    case WM_LBUTTONDBLCLK:
      // The second press of a double-click: the shape leaves the screen, and the polygon is
      // finished like by any second press in time.
      capture_.shapeCode = count;
      RemoveFocus(dc);
      Invert(dc, shownRegion_.get());
      shownRegion_.reset();
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
  last_ = point;
  HWND hit = env_.windowFromPoint ? env_.windowFromPoint(point) : nullptr;
  const std::optional<RECT> rect = PickedWindowRect(hit, type_ == kTrackerControl);
  if (!rect || (highlightShown_ && ::EqualRect(&*rect, &capture_.area))) return;
  if (highlightShown_) ::InvertRect(dc, &capture_.area);
  capture_.SetRectangle(*rect);
  ::InvertRect(dc, &capture_.area);
  highlightShown_ = true;
  size_ = SizeOf(*rect);
}

// --- Colour picker -----------------------------------------------------------------------------

TrackerAction CCaptureTracker::PickColor(HDC dc, POINT point, UINT message) {
  state_ = kTrackerStateColorPicker;
  switch (message) {
    case WM_MOUSEMOVE:
      Update(dc, point);
      return TrackerAction::kNone;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      state_ = kTrackerStateFinish;
      Update(dc, point);
      started_ = false;
      move_ = false;
      return TrackerAction::kColorPicked;
    default:
      return TrackerAction::kNone;
  }
}

// --- Repeat Last -------------------------------------------------------------------------------

LastShapeRecord* CCaptureTracker::FindRecord(int trackerType) {
  for (LastShapeRecord& record : lastShapes_)
    if (record.type == trackerType) return &record;
  return nullptr;
}

const LastShapeRecord* CCaptureTracker::LastShape(int trackerType) const {
  for (const LastShapeRecord& record : lastShapes_)
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
  capture_ = restored;
  type_ = trackerType;
  anchor_ = POINT{capture_.area.left, capture_.area.top};
  POINT at{capture_.area.right, capture_.area.bottom};
  if (trackerType == kTrackerPolygon) {
    const int count = restored.pointCount;
    MakePointsAbsolute(capture_, count);
    at = capture_.points[count - 1];
    // The last vertex follows the pointer again.
    capture_.pointCount = count - 1;
    capture_.shapeCode = capture_.pointCount;
  }
  last_ = at;
  size_ = SizeOf(capture_.area);
  if (pointer) *pointer = at;
  return true;
}

void CCaptureTracker::DrawRestoredShape(HDC dc) {
  RemoveFocus(dc);
  Invert(dc, shownRegion_.get());
  shownRegion_ = MakeShownRegion();
  Invert(dc, shownRegion_.get());
  DrawFocus(dc, capture_.area);
}

bool CCaptureTracker::BeginRepeatTracking(HDC dc, int trackerType, POINT* pointer) {
  POINT at;
  if (!GetLastShape(trackerType, &at)) return false;
  DrawRestoredShape(dc);
  started_ = true;
  move_ = true;
  if (trackerType == kTrackerPolygon) {
    polygonMove_ = true;
    state_ = kTrackerStatePolygon;
  } else {
    state_ = kTrackerStateMove;
  }
  if (pointer) *pointer = at;
  return true;
}
