#include "CaptureModes.h"

#include "resources/resource.h"

namespace {

constexpr CaptureModeInfo kModes[kCaptureModeSlots] = {
    {0, ID_CAPTURE_ACTIVEWINDOW, kTrackerActiveWindow, CaptureKind::kImmediate, kTrackerStateIdle},
    {1, ID_CAPTURE_ACTIVEWINDOWCLIENT, kTrackerClientArea, CaptureKind::kImmediate,
     kTrackerStateIdle},
    {2, ID_CAPTURE_CONTROL, kTrackerControl, CaptureKind::kTracked, kTrackerStateControl},
    {3, ID_CAPTURE_SQUARE, kTrackerSquare, CaptureKind::kTracked, kTrackerStateHover},
    {4, ID_CAPTURE_RECTANGLE, kTrackerRectangle, CaptureKind::kTracked, kTrackerStateHover},
    {5, ID_CAPTURE_CIRCLE, kTrackerCircle, CaptureKind::kTracked, kTrackerStateHover},
    {6, ID_CAPTURE_ELLIPSE, kTrackerEllipse, CaptureKind::kTracked, kTrackerStateHover},
    {7, ID_CAPTURE_POLYGON, kTrackerPolygon, CaptureKind::kTracked, kTrackerStatePolygon},
    {8, ID_CAPTURE_MENU, kTrackerMenu, CaptureKind::kImmediate, kTrackerStateIdle},
    {9, ID_CAPTURE_DESKTOP, kTrackerDesktop, CaptureKind::kImmediate, kTrackerStateIdle},
    {10, ID_CAPTURE_SINGLEWINDOW, kTrackerSingleWindow, CaptureKind::kTracked,
     kTrackerStateSingleWindow},
    {11, ID_CAPTURE_REPEATLAST, kTrackerNone, CaptureKind::kCommand, kTrackerStateIdle},
    {12, ID_CAPTURE_DEFAULTACTION, kTrackerNone, CaptureKind::kCommand, kTrackerStateIdle},
    {13, ID_CAPTURE_COLORPICKER, kTrackerColorPicker, CaptureKind::kTracked,
     kTrackerStateColorPicker},
};

// Default Action offers the first eleven modes.
constexpr int kDefaultActionModes = 11;

}  // namespace

const CaptureModeInfo* CaptureModeTable() { return kModes; }

const CaptureModeInfo* FindModeBySlot(int slot) {
  return slot >= 0 && slot < kCaptureModeSlots ? &kModes[slot] : nullptr;
}

const CaptureModeInfo* FindModeByCommand(UINT commandId) {
  for (const CaptureModeInfo& mode : kModes)
    if (mode.commandId == commandId) return &mode;
  return nullptr;
}

bool IsWindowMode(int trackerType) {
  return trackerType >= kTrackerClientArea && trackerType <= kTrackerDesktop && trackerType != 22;
}

std::optional<int> DefaultActionSlot(long defaultCaptureAction) {
  if (defaultCaptureAction < 0 || defaultCaptureAction >= kDefaultActionModes) return std::nullopt;
  return static_cast<int>(defaultCaptureAction);
}

bool IsRepeatableCommand(UINT commandId) {
  const CaptureModeInfo* mode = FindModeByCommand(commandId);
  return mode && mode->kind != CaptureKind::kCommand && mode->trackerType != kTrackerColorPicker;
}

HotkeyDispatch DecideHotkeyDispatch(long slot, int source, const LONG* registeredFlags) {
  // Negative ids other than the system's own two are as foreign as ids above the table.
  if (slot < 0 || slot >= kCaptureModeSlots) return HotkeyDispatch::kOutOfRange;
  const int registered = registeredFlags && registeredFlags[slot] ? kHotkeyFromSystem : kHotkeyFromHook;
  return source == registered ? HotkeyDispatch::kRun : HotkeyDispatch::kIgnore;
}

UINT HotkeyModifiers(WORD code) {
  UINT modifiers = 0;
  if (code & 0x8000) modifiers |= MOD_CONTROL;
  if (code & 0x2000) modifiers |= MOD_ALT;
  if (code & 0x4000) modifiers |= MOD_SHIFT;
  return modifiers;
}
