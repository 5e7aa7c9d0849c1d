// The capture side of CMainFrame: capture input (hook, hotkeys, names), the capture commands and
// the steps every capture goes through.
#include "MainFrame.h"

#include <mmsystem.h>

#include <algorithm>
#include <optional>

#include "QuorvaHook.h"
#include "ui/MainFrameApp.h"
#include "capture/CaptureBitmap.h"
#include "capture/CaptureClipboard.h"
#include "capture/CaptureModes.h"
#include "capture/ColorPicker.h"
#include "capture/WindowPicker.h"
#include "capture/CaptureOutputs.h"
#include "capture/WindowFinders.h"
#include "resources/resource.h"

namespace {

// Pauses of the capture steps, in milliseconds.
constexpr DWORD kHidePollMs = 40;          // between attempts to hide the frame
constexpr DWORD kAfterHideMs = 300;        // for the screen to repaint where the frame was
constexpr DWORD kSettleMs = 300;           // added to "CaptureDelayTime"
constexpr DWORD kActiveWindowPauseMs = 100;
constexpr DWORD kColorPickerPauseMs = 200;
constexpr DWORD kMaxCaptureDelayMs = 15000;
// A frame that will not hide is given up on after this many attempts (about a second).
constexpr int kMaxHideAttempts = 25;
// Messages handled at most by one pump between capture steps.
constexpr int kMaxPumpedMessages = 1000;

constexpr char kCaptureRoutingError[] = "Handle error in Document class!";

// Handles the messages waiting in this thread's queue (and the messages sent to it), then
// returns. A WM_QUIT stays for the main loop.
void PumpPendingMessages() {
  MSG msg;
  for (int handled = 0; handled < kMaxPumpedMessages; ++handled) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
    if (!AfxPumpMessage()) break;
  }
}

// Waits ms milliseconds in slices of at most 50 ms, handling the pending messages between them,
// so that the program repaints and answers forwarded input while a capture step waits.
void WaitPumping(DWORD ms) {
  constexpr DWORD kSliceMs = 50;
  const DWORD start = ::GetTickCount();
  for (;;) {
    PumpPendingMessages();
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= ms) return;
    ::Sleep(std::min(kSliceMs, ms - elapsed));
  }
}

// A capture that reached the program through the hook library runs inside the hook's
// synchronous send from the program in front: answer it first, so that the other program goes
// on while the capture, its sound and its message boxes take their time. Does nothing for a
// message that was not sent from another thread.
void AnswerForwardedMessage() { ::ReplyMessage(0); }

// Before the mouse hook starts a tracked mode: the keys of the hotkey that started it may still
// be on their way through the keyboard hook of the program in front (which waits while this
// thread sleeps). Released after tracking has begun, they would count as steering keys (a late
// Shift would hide the info panel), so they are let go first: the pending messages are handled
// until no modifier or steering key is down, and a moment longer for the other program to pass
// the releases on.
void LetHotkeyKeysGo() {
  constexpr int kKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_RETURN, VK_SPACE, VK_ESCAPE,
                           VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
  auto anyDown = [&] {
    for (int vk : kKeys)
      if (::GetAsyncKeyState(vk) & 0x8000) return true;
    return false;
  };
  constexpr DWORD kStepMs = 10;
  for (int step = 0; step < 100 && anyDown(); ++step) {  // a key held longer is the user's
    PumpPendingMessages();
    ::Sleep(kStepMs);
  }
  for (int step = 0; step < 5; ++step) {
    PumpPendingMessages();
    ::Sleep(kStepMs);
  }
}

// Puts the mouse pointer at p and waits (briefly) until the system reports it there and it stays
// there for a moment: the shape that follows the pointer measures every move from p, and a
// pointer event still on its way from before would otherwise put it back where it was.
void PlacePointer(POINT p) {
  constexpr int kAttempts = 100;
  constexpr int kSteadyChecks = 5;
  constexpr DWORD kStepMs = 10;
  int steady = 0;
  ::SetCursorPos(p.x, p.y);
  for (int attempt = 0; attempt < kAttempts && steady < kSteadyChecks; ++attempt) {
    ::Sleep(kStepMs);
    POINT at;
    if (::GetCursorPos(&at) && at.x == p.x && at.y == p.y) {
      ++steady;
    } else {
      steady = 0;
      ::SetCursorPos(p.x, p.y);
    }
  }
}

// The first visible window below hwnd in the Z-order.
HWND NextVisibleWindowBelow(HWND hwnd) {
  HWND next = hwnd;
  for (int steps = 0; steps < 10000; ++steps) {
    next = ::GetWindow(next, GW_HWNDNEXT);
    if (!next || ::IsWindowVisible(next)) return next;
  }
  return nullptr;
}

DWORD CaptureDelay() {
  return std::min<DWORD>(FrameSettings().m_capture.captureDelayTime, kMaxCaptureDelayMs) + kSettleMs;
}

}  // namespace

// One capture command from its start to its end: no other capture starts inside it, and its
// end clears the marks of how it was started.
class CMainFrame::CaptureCommandScope {
 public:
  explicit CaptureCommandScope(CMainFrame& frame) : m_frame(frame) { m_frame.m_captureRunning = true; }
  ~CaptureCommandScope() {
    m_frame.m_captureRunning = false;
    m_frame.EndCaptureCommand();
  }
  CaptureCommandScope(const CaptureCommandScope&) = delete;
  CaptureCommandScope& operator=(const CaptureCommandScope&) = delete;

 private:
  CMainFrame& m_frame;
};

// --- Capture input -----------------------------------------------------------------------------

LRESULT CMainFrame::OnInitCapture(WPARAM, LPARAM) {
  InitCaptureInput();
  return 0;
}

void CMainFrame::InitCaptureInput() {
  if (m_captureInputReady) return;
  m_captureInputReady = true;

  m_keyNames = BuildKeyNames();
  m_modeNames = BuildModeNames();
  CMenu trayMenu;
  if (trayMenu.LoadMenu(IDR_TRAYMENU)) TakeModeTextsFromMenu(m_modeNames, trayMenu.GetSubMenu(0));

  // The hotkey table goes to the hook library, which matches the keys from now on (also those
  // the system will refuse to register).
  TSY_HookKeyboard(m_hWnd, FrameSettings().m_hotkeys.hotkey);
  TSY_SetCaptureHotKey(FrameSettings().m_hotkeys.hotkey);
  MainFrameApp().SetHotkeysHandedToLibrary();

  SetTimer(kBlinkTimerId, kBlinkTimerPeriodMs);

  {
    WindowDC screen(nullptr);
    m_tracker.PreparePanel(screen.get(), AfxGetResourceHandle());
  }

  m_freezer.CreateHidden(m_hWnd);
  m_freezer.SetEscapeHandler([this] { ShowCaptureHidden(true); });

  // Last: a refused hotkey shows a message box, and the hotkeys that work may start captures
  // while it is open; everything they need exists by then.
  RegisterCaptureHotkeys();
}

void CMainFrame::RegisterCaptureHotkeys() {
  HotkeyTable& table = FrameSettings().m_hotkeys;
  TSY_GetCaptureHotKey(table.hotkey);
  // A slot still registered from before would refuse its own new registration.
  UnregisterCaptureHotkeys();

  const int count = std::min<int>(table.count, kCaptureModeSlots);
  std::vector<RefusedHotkey> refused;
  for (int slot = 0; slot < kCaptureModeSlots; ++slot) {
    const WORD code = table.hotkey[slot];
    table.registered[slot] = 0;
    if (slot >= count || HotkeyVirtualKey(code) == 0) continue;
    if (::RegisterHotKey(m_hWnd, slot, HotkeyModifiers(code), HotkeyVirtualKey(code)))
      table.registered[slot] = 1;
    else
      refused.push_back(RefusedHotkey{GetModeName(slot), FormatHotkeyText(slot)});
  }
  if (!refused.empty())
    AfxMessageBox(BuildHotkeyConflictText(LoadResString(IDS_HOTKEY_CONFLICT), refused).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::UnregisterCaptureHotkeys() {
  HotkeyTable& table = FrameSettings().m_hotkeys;
  for (int slot = 0; slot < kHotkeySlotCount; ++slot) {
    if (!table.registered[slot]) continue;
    if (m_hWnd) ::UnregisterHotKey(m_hWnd, slot);
    table.registered[slot] = 0;
  }
}

bool CMainFrame::DispatchHotkey(long slot, int source) {
  // A press that arrives while a capture runs (its steps pump messages) or while a tracked mode
  // waits for the mouse belongs to nothing: the running capture keeps its marks.
  if (CaptureBusy()) return false;
  switch (DecideHotkeyDispatch(slot, source, FrameSettings().m_hotkeys.registered)) {
    case HotkeyDispatch::kOutOfRange:
      m_startedByHotkey = false;
      return false;
    case HotkeyDispatch::kIgnore:
      return false;
    case HotkeyDispatch::kRun:
      break;
  }
  m_startedByHotkey = true;
  // A hotkey is never a choice from the tray menu, even when that menu was dismissed last.
  m_trayMenuOpen = false;
  RunCaptureCommand(FindModeBySlot(static_cast<int>(slot))->commandId);
  return true;
}

std::string CMainFrame::FormatHotkeyText(int slot) const {
  if (slot < 0 || slot >= kHotkeySlotCount) return std::string();
  WORD table[kHookHotkeySlots] = {};
  TSY_GetCaptureHotKey(table);
  return ::FormatHotkeyText(table[slot], m_keyNames);
}

std::string CMainFrame::GetModeName(int slot) const { return ::GetModeName(m_modeNames, slot); }

void CMainFrame::OnHotKey(UINT id, UINT, UINT) {
  const int hotkeyId = static_cast<int>(id);
  if (hotkeyId == IDHOT_SNAPDESKTOP)
    RunCaptureCommand(ID_CAPTURE_DESKTOP);
  else if (hotkeyId == IDHOT_SNAPWINDOW)
    RunCaptureCommand(ID_CAPTURE_ACTIVEWINDOW);
  else
    DispatchHotkey(hotkeyId, kHotkeyFromSystem);
}

LRESULT CMainFrame::OnForwardKeyboard(WPARAM wParam, LPARAM lParam) {
  const int slot = static_cast<int>(wParam);
  if (slot != -1) {
    AnswerForwardedMessage();
    DispatchHotkey(slot, kHotkeyFromHook);
    return 0;
  }
  // A steering key while a tracked mode waits: the tracker acts on it at the pointer.
  if (m_tracking) {
    WindowDC screen(nullptr);
    HandleTrackerAction(screen.get(), m_tracker.OnTrackingKey(screen.get(), static_cast<UINT>(lParam)));
  }
  return 0;
}

LRESULT CMainFrame::OnForwardMouse(WPARAM wParam, LPARAM lParam) {
  if (!m_tracking) return 0;
  // With no window in the foreground, the one under the pointer gets the activation, so that
  // the capture shows it as the user sees it.
  HookMouseRecord record{};
  TSY_GetMouseHookStruct(&record);
  ActivateWindowUnderPointer(record.window);
  WindowDC screen(nullptr);
  HandleTrackerAction(screen.get(), m_tracker.OnMouseMessage(screen.get(), static_cast<UINT>(wParam),
                                                             UnpackForwardedPoint(lParam)));
  return 0;
}

void CMainFrame::HandleTrackerAction(HDC screen, TrackerAction action) {
  m_trackerState = m_tracker.State();
  switch (action) {
    case TrackerAction::kNone:
      return;
    case TrackerAction::kFinish:
      AnswerForwardedMessage();
      // The tracker has taken everything off the screen.
      TSY_UnHookMouse();
      m_tracking = false;
      m_area = m_tracker.Capture();
      FinishCapture(screen);
      return;
    case TrackerAction::kCancel:
      AnswerForwardedMessage();
      CancelCapture(screen);
      return;
    case TrackerAction::kColorPicked: {
      AnswerForwardedMessage();
      TSY_UnHookMouse();
      m_tracking = false;
      const COLORREF color = m_tracker.PickedColor();
      ResetTracking();
      ShowOrKeepHiddenAfterCapture();
      CopyColorText(color, FrameSettings().m_capture.optionsA, FrameSettings().m_capture.colorPickerOutputFormat);
      return;
    }
  }
}

void CMainFrame::OnDisplayChange(UINT bitsPerPixel, int cx, int cy) {
  // The panel's surfaces follow the screen's new size and colour depth.
  if (m_captureInputReady) {
    WindowDC screen(nullptr);
    m_tracker.PreparePanel(screen.get(), AfxGetResourceHandle());
  }
  CMDIFrameWnd::OnDisplayChange(bitsPerPixel, cx, cy);
}

LRESULT CMainFrame::OnTrayMenuOpen(WPARAM, LPARAM) {
  m_trayMenuOpen = true;
  return 0;
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (nCode == CN_COMMAND && nID != ID_CAPTURE_ACTIVEWINDOW && nID != ID_CAPTURE_ACTIVEWINDOWCLIENT)
    m_trayMenuOpen = false;
  return CMDIFrameWnd::OnCmdMsg(nID, nCode, pExtra);
}

LRESULT CMainFrame::OnFinishCaptureMessage(WPARAM, LPARAM) {
  WindowDC screen(nullptr);
  FinishCapture(screen.get());
  return 0;
}

LRESULT CMainFrame::OnRouteCaptureMessage(WPARAM, LPARAM) {
  RouteCapture();
  return 0;
}

// --- The commands ------------------------------------------------------------------------------

void CMainFrame::RunCaptureCommand(UINT commandId) {
  switch (commandId) {
    case ID_CAPTURE_ACTIVEWINDOW: OnCaptureActiveWindow(); break;
    case ID_CAPTURE_ACTIVEWINDOWCLIENT: OnCaptureActiveWindowClient(); break;
    case ID_CAPTURE_MENU: OnCaptureMenu(); break;
    case ID_CAPTURE_DESKTOP: OnCaptureDesktop(); break;
    case ID_CAPTURE_COLORPICKER: OnCaptureColorPicker(); break;
    case ID_CAPTURE_REPEATLAST: OnCaptureRepeatLast(); break;
    case ID_CAPTURE_DEFAULTACTION: OnCaptureDefaultAction(); break;
    default:
      if (const CaptureModeInfo* mode = FindModeByCommand(commandId);
          mode && mode->kind == CaptureKind::kTracked)
        OnCaptureTracked(commandId);
      else
        EndCaptureCommand();
      break;
  }
}

void CMainFrame::OnCaptureActiveWindow() {
  CaptureActiveWindow(kModeActiveWindow, kTrackerActiveWindow, ID_CAPTURE_ACTIVEWINDOW);
}

void CMainFrame::OnCaptureActiveWindowClient() {
  CaptureActiveWindow(kModeActiveWindowClient, kTrackerClientArea, ID_CAPTURE_ACTIVEWINDOWCLIENT);
}

void CMainFrame::CaptureActiveWindow(int slot, int trackerType, UINT commandId) {
  if (CaptureBusy()) return;
  CaptureCommandScope command(*this);
  if (m_trayMenuOpen) {
    // From the tray menu the active window is the menu's; only the hotkey can reach the
    // window the user means.
    m_trayMenuOpen = false;
    EndCaptureCommand();
    ShowCaptureHidden(true);
    ShowHotkeyMessage(IDS_TRAY_MODE_UNSUPPORTED, slot, MB_OK | MB_ICONINFORMATION);
    return;
  }
  HideForCapture();
  WaitPumping(CaptureDelay());
  DrawPointerForCapture();
  m_trackerType = trackerType;
  m_trackerState = kTrackerStateIdle;
  m_lastCaptureAction = commandId;
  if (Freezing()) m_freezer.Freeze(false);

  const bool found = trackerType == kTrackerActiveWindow ? FindActiveWindowArea(m_hWnd, m_area)
                                                         : FindClientArea(m_hWnd, m_area);
  WindowDC screen(nullptr);
  if (found) {
    WaitPumping(kActiveWindowPauseMs);
    // Copied as it is painted: its caption among all, redrawn after the activation changes.
    LetForegroundWindowPaint(m_hWnd);
    FinishCapture(screen.get());
    return;
  }
  // Nothing to capture: the pointer drawn for it goes again.
  RestorePointerBackground(screen.get());
  ResetTracking();
  if (trackerType == kTrackerClientArea) ShowCaptureHidden(true);
  ShowHotkeyMessage(IDS_NO_ACTIVE_WINDOW, slot, MB_OK | MB_ICONINFORMATION);
  ShowCaptureHidden(true);
}

void CMainFrame::OnCaptureDesktop() {
  if (CaptureBusy()) return;
  CaptureCommandScope command(*this);
  PrepareCapture(kTrackerDesktop);
  m_trackerType = kTrackerDesktop;
  m_trackerState = kTrackerStateIdle;
  FindDesktopArea(m_area);
  m_lastCaptureAction = ID_CAPTURE_DESKTOP;
  WindowDC screen(nullptr);
  FinishCapture(screen.get());
}

void CMainFrame::OnCaptureMenu() {
  if (CaptureBusy()) return;
  CaptureCommandScope command(*this);
  if (!m_startedByHotkey) {
    // Choosing the command closes the menu it should capture: explain how it is done.
    ShowCaptureHidden(true);
    std::string text;
    AfxFormatString1(text, IDS_MENU_CAPTURE_HOWTO, FormatHotkeyText(kModePopupMenu).c_str());
    text += LoadResString(IDS_MENU_CAPTURE_NOTE);
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONINFORMATION);
    return;
  }
  PrepareCapture(kTrackerMenu);
  m_trackerType = kTrackerMenu;
  m_trackerState = kTrackerStateIdle;
  m_lastCaptureAction = ID_CAPTURE_MENU;
  WindowDC screen(nullptr);
  m_area.shapeCode = kShapeRectangle;
  if (FindPopupMenuArea(m_area)) {
    FinishCapture(screen.get());
    return;
  }
  RestorePointerBackground(screen.get());
  ResetTracking();
  ShowCaptureHidden(true);
  AfxMessageBox(IDS_NO_POPUP_MENU, MB_OK | MB_ICONINFORMATION);
}

BOOL CMainFrame::OnCaptureTracked(UINT id) {
  const CaptureModeInfo* mode = FindModeByCommand(id);
  if (!mode || mode->kind != CaptureKind::kTracked || CaptureBusy()) return TRUE;
  CaptureCommandScope command(*this);
  PrepareCapture(mode->trackerType);
  m_trackerType = mode->trackerType;
  m_trackerState = mode->initialState;
  m_lastCaptureAction = id;
  m_tracker.Begin(mode->trackerType, mode->initialState, FrameSettings().m_capture.optionsA);
  std::optional<POINT> repeatPointer;
  if (m_repeating) {
    WindowDC screen(nullptr);
    if (RepeatDrawnShape(screen.get(), mode->trackerType, &repeatPointer)) return TRUE;
  }
  m_trackerState = m_tracker.State();
  if (m_startedByHotkey) LetHotkeyKeysGo();
  // The pointer goes to the repeated shape's last point once the keys are let go (waiting for
  // them handles pointer events that were still on their way).
  if (repeatPointer) PlacePointer(*repeatPointer);
  const HCURSOR cursor = AfxGetApp()->LoadCursor(IDC_TRACKING);
  if (TSY_HookMouse(m_hWnd, cursor)) {
    m_tracking = true;
    return TRUE;
  }
  // No tracking: give back what the preparation took.
  WindowDC screen(nullptr);
  CancelCapture(screen.get());
  return TRUE;
}

bool CMainFrame::RepeatDrawnShape(HDC screen, int trackerType, std::optional<POINT>* pointerPlace) {
  // Control, Single Window and the colour picker always track afresh.
  const bool drawn = trackerType == kTrackerRectangle || trackerType == kTrackerSquare ||
                     trackerType == kTrackerEllipse || trackerType == kTrackerCircle ||
                     trackerType == kTrackerPolygon;
  if (!drawn) return false;
  switch (FrameSettings().m_capture.repeatLastMode) {
    case kRepeatTrackLast: {
      // The last shape again at its place, following the pointer from its last point.
      POINT pointer;
      if (m_tracker.BeginRepeatTracking(screen, trackerType, &pointer) && pointerPlace) *pointerPlace = pointer;
      return false;
    }
    case kRepeatCaptureDirectly:
      if (!m_tracker.LastShapeArea(trackerType, m_area)) return false;
      FinishCapture(screen);
      return true;
    default:
      return false;
  }
}

void CMainFrame::OnCaptureColorPicker() {
  if (CaptureBusy()) return;
  CaptureCommandScope command(*this);
  ShowCaptureHidden(false);
  WaitPumping(kColorPickerPauseMs);
  m_trackerType = kTrackerColorPicker;
  m_trackerState = kTrackerStateColorPicker;
  m_tracker.Begin(kTrackerColorPicker, kTrackerStateColorPicker, FrameSettings().m_capture.optionsA);
  if (m_startedByHotkey) LetHotkeyKeysGo();
  if (TSY_HookMouse(m_hWnd, AfxGetApp()->LoadCursor(IDC_COLORPICKER))) {
    m_tracking = true;
    return;
  }
  WindowDC screen(nullptr);
  CancelCapture(screen.get());
}

void CMainFrame::OnCaptureRepeatLast() {
  if (CaptureBusy()) return;
  if (!m_lastCaptureAction) {
    // Nothing to repeat; the marks of this command must not pass to the next one.
    EndCaptureCommand();
    return;
  }
  m_repeating = true;
  RunCaptureCommand(m_lastCaptureAction);
}

void CMainFrame::OnCaptureDefaultAction() {
  if (CaptureBusy()) return;
  const std::optional<int> slot = DefaultActionSlot(FrameSettings().m_capture.defaultCaptureAction);
  if (!slot) {
    EndCaptureCommand();
    return;
  }
  RunCaptureCommand(FindModeBySlot(*slot)->commandId);
}

// --- Steps -------------------------------------------------------------------------------------

void CMainFrame::ShowCaptureHidden(bool show) {
  if (!show) {
    m_captureHidden = true;
    if (IsWindowVisible()) {
      ShowWindow(SW_HIDE);
      WaitPumping(kAfterHideMs);
    }
    return;
  }
  if (!IsWindowVisible()) {
    SetForegroundWindow();
    ShowWindow(SW_SHOWMINIMIZED);
    ShowWindow(SW_RESTORE);
    PumpPendingMessages();
  }
  m_captureHidden = false;
}

void CMainFrame::HideForCapture() {
  for (int attempt = 0; IsWindowVisible() && attempt < kMaxHideAttempts; ++attempt) {
    ShowWindow(SW_HIDE);
    WaitPumping(kHidePollMs);
  }
  PumpPendingMessages();
}

void CMainFrame::PrepareCapture(int trackerType) {
  HWND next = nullptr;
  if (!m_startedByHotkey) {
    // A command from the frame's own menu or toolbar: the window the user worked in before is
    // the one below the frame, and it gets the activation back once the frame is gone.
    SetForegroundWindow();
    next = NextVisibleWindowBelow(m_hWnd);
  }
  HideForCapture();
  if (next && ::IsWindow(next)) ::SetForegroundWindow(next);
  WaitPumping(CaptureDelay());
  DrawPointerForCapture();
  if (Freezing()) m_freezer.Freeze(IsDrawnMode(trackerType));
  PumpPendingMessages();
}

void CMainFrame::DrawPointerForCapture() {
  m_pointerBackground.Clear();
  if (!FrameSettings().m_capture.Has(kOptIncludePointer)) return;
  POINT at;
  if (!::GetCursorPos(&at)) return;
  const HCURSOR shown = MainFrameApp().GetCursorAtPoint();
  if (!shown) return;  // no pointer on the screen
  if (DrawPointerOnScreen(shown, at, m_pointerBackground)) return;
  // Some systems keep another program's cursor shapes to that program; the standard arrow
  // stands in for a cursor whose shape cannot be read.
  DrawPointerOnScreen(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)), at,
                      m_pointerBackground);
}

void CMainFrame::RestorePointerBackground(HDC screen) {
  if (screen) {
    m_pointerBackground.Restore(screen);
  } else {
    WindowDC own(nullptr);
    m_pointerBackground.Restore(own.get());
  }
}

void CMainFrame::ResetTracking(bool save) {
  m_tracker.ResetTracking(save);
  m_area = CaptureArea{};
  m_trackerState = kTrackerStateIdle;
}

bool CMainFrame::Freezing() const { return FrameSettings().m_capture.Has(kOptFreezeScreen); }

void CMainFrame::FinishCapture(HDC screen) {
  const bool freezing = Freezing();
  const int trackerType = m_trackerType;
  if (!m_area.IsEmpty()) {
    m_capturedBitmap = MakeCaptureBitmap(m_area, &m_freezer.Still(), FrameSettings().m_capture.optionsA,
                                         FrameSettings().m_capture.colorTransparency);
    if (m_capturedBitmap) {
      m_shapeCode = m_area.shapeCode;
      RouteCapture();
    }
  }
  RestorePointerBackground(screen);
  ResetTracking(true);
  PlayCaptureSound();
  if (freezing && IsDrawnMode(trackerType)) m_freezer.Hide();
  ShowOrKeepHiddenAfterCapture();
}

void CMainFrame::CancelCapture(HDC screen) {
  if (screen) {
    m_tracker.Erase(screen);
  } else {
    WindowDC own(nullptr);
    m_tracker.Erase(own.get());
  }
  if (m_tracking && TSY_UnHookMouse()) m_tracking = false;
  RestorePointerBackground(screen);
  const int trackerType = m_trackerType;
  ResetTracking();
  if (Freezing() && IsDrawnMode(trackerType)) m_freezer.Hide();
  ShowOrKeepHiddenAfterCapture();
}

void CMainFrame::ShowOrKeepHiddenAfterCapture() {
  ShowCaptureHidden(FrameSettings().m_capture.Has(kOptShowAfterCapture));
}

void CMainFrame::EndCaptureCommand() {
  m_startedByHotkey = false;
  m_trayMenuOpen = false;
  m_repeating = false;
}

void CMainFrame::RouteCapture() {
  if (!m_capturedBitmap) return;
  // Image windows, saving and printing work on image documents; only a capture wanted on the
  // clipboard alone goes there directly, with no window.
  if (CaptureOpensImageWindow(FrameSettings().m_capture.optionsA) && RouteCaptureToImageWindow()) return;
  const bool copied = CopyCaptureToClipboard(m_capturedBitmap.get());
  m_capturedBitmap.reset();
  if (!copied) AfxMessageBox(kCaptureRoutingError, MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::PlayCaptureSound() {
  if (!FrameSettings().m_capture.Has(kOptPlaySound)) return;
  ::PlaySoundA(MAKEINTRESOURCEA(IDR_WAVE_CAPTURE), AfxGetResourceHandle(),
               SND_RESOURCE | SND_ASYNC | SND_NOWAIT | SND_NODEFAULT);
}

void CMainFrame::ShowHotkeyMessage(UINT stringId, int slot, UINT type) {
  std::string text;
  AfxFormatString1(text, stringId, FormatHotkeyText(slot).c_str());
  AfxMessageBox(text.c_str(), type);
}
