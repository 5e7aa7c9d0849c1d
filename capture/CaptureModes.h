// The capture modes: which command starts which mode, what kind of capture it is, and the
// rules that pick the mode a hotkey, Repeat Last or Default Action runs. Plain tables and pure
// functions, so that every rule can be checked without a screen.
#pragma once

#include <windows.h>

#include <optional>

// The number the capture engine works with for a mode.
enum TrackerType : int {
  kTrackerNone = 0,
  kTrackerRectangle = 1,
  kTrackerSquare = 3,
  kTrackerEllipse = 5,
  kTrackerCircle = 6,
  kTrackerPolygon = 17,
  kTrackerClientArea = 18,
  kTrackerActiveWindow = 19,
  kTrackerControl = 20,
  kTrackerSingleWindow = 21,
  kTrackerMenu = 23,
  kTrackerDesktop = 24,
  kTrackerColorPicker = 25,
};

// Tracker states a mode starts in.
enum TrackerState : int {
  kTrackerStateIdle = 0,        // immediate modes
  kTrackerStateHover = 1,       // drawn modes before the first press
  kTrackerStateStretch = 2,
  kTrackerStateMove = 3,
  kTrackerStateFinish = 4,
  kTrackerStateControl = 5,
  kTrackerStatePolygon = 7,
  kTrackerStateSingleWindow = 8,
  kTrackerStateColorPicker = 9,
};

enum class CaptureKind {
  kImmediate,  // the area is known at once
  kTracked,    // the mouse hook is installed and the user picks or draws the area
  kCommand,    // Repeat Last and Default Action: they run another mode
};

struct CaptureModeInfo {
  int index;           // CaptureModeIndex: hotkey slot and default-action number
  UINT commandId;      // menu, toolbar and tray command
  int trackerType;     // kTrackerNone for the two commands
  CaptureKind kind;
  int initialState;    // TrackerState when the mode starts
};

// Number of modes that carry a hotkey (slots 0 .. 13).
constexpr int kCaptureModeSlots = 14;

// The mode of a hotkey slot (0 .. 13) / of a command id; null for anything else.
const CaptureModeInfo* FindModeBySlot(int slot);
const CaptureModeInfo* FindModeByCommand(UINT commandId);
// The whole table in slot order (kCaptureModeSlots entries).
const CaptureModeInfo* CaptureModeTable();

// Window modes (client area, active window, control, single window, menu, desktop) keep the
// frozen screen out of sight; every other tracker type is a drawn mode.
bool IsWindowMode(int trackerType);
inline bool IsDrawnMode(int trackerType) { return !IsWindowMode(trackerType); }

// The slot that Default Action runs for a "DefaultCaptureAction" value: 0 .. 10 run that mode,
// anything else runs nothing.
std::optional<int> DefaultActionSlot(long defaultCaptureAction);

// Whether a mode command is remembered as the one Repeat Last runs again: every mode that
// captures, but neither the colour picker nor the two commands.
bool IsRepeatableCommand(UINT commandId);

// The hotkey dispatch rule. A press of a hotkey can arrive twice: as WM_HOTKEY (source 1) when
// the system registration of the slot succeeded, and from the keyboard hook (source 0) on the
// key's release, which also fires for keys the system refused. The mode runs only from the
// source that matches the slot's registration, so each press runs it exactly once.
enum HotkeySource : int {
  kHotkeyFromHook = 0,
  kHotkeyFromSystem = 1,
};
enum class HotkeyDispatch {
  kOutOfRange,  // not a capture slot: nothing runs, the started-by-hotkey mark is cleared
  kIgnore,      // the other source of the same press: nothing runs, nothing changes
  kRun,         // run the slot's mode, marked as started by a hotkey
};
HotkeyDispatch DecideHotkeyDispatch(long slot, int source, const LONG* registeredFlags);

// Modifier flags (MOD_CONTROL, MOD_ALT, MOD_SHIFT) of a hotkey code for the system's hotkey
// registration, and its virtual key (0: the slot has no hotkey).
UINT HotkeyModifiers(WORD code);
inline UINT HotkeyVirtualKey(WORD code) { return code & 0xFFu; }
