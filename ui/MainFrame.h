// CMainFrame: Lumatre's main window, an MDI frame of window class "LumatreMainFrameClass" made
// from resource 128, with the toolbar, the status bar, owner-drawn menus with command images and
// hotkey labels, and the tray icon. It carries the system-close mark of the closing step and,
// once created, starts the capture input with a deferred message to itself.
//
// Its own commands (MainFrameCommands.cpp) show and hide the program, open new images (Create
// New Image, Paste As New Image), the output folder and the web page, and the About box; its
// menus (MainFrameMenus.cpp) are drawn by COwnerDrawMenus.
//
// Its capture side (MainFrameCapture.cpp) runs the capture modes: the commands and hotkeys that
// start them, the preparation every capture goes through (hiding the program, the capture
// delay, the mouse pointer, the screen freezer), Repeat Last and Default Action, and the end of
// a capture up to the hand-over of the picture to its outputs.
#pragma once

#include "framework/Framework.h"

#include <optional>
#include <string>

#include "common/ClosingStep.h"
#include "capture/CaptureArea.h"
#include "capture/CaptureTracker.h"
#include "capture/HotkeyText.h"
#include "capture/PointerBackground.h"
#include "capture/ScreenFreezeWnd.h"
#include "document/DocumentHost.h"
#include "ui/OwnerDrawMenus.h"
#include "ui/SystemTray.h"
#include "ui/ViewManager.h"
#include "ui/WorkspaceClient.h"

// Private messages of the main frame.
constexpr UINT UWM_TRAYNOTIFY = WM_USER + 200;     // 1224: the tray icon's notifications
constexpr UINT UWM_ROUTECAPTURE = WM_USER + 203;   // 1227: route capturedBitmap to its outputs
constexpr UINT UWM_FINISHCAPTURE = WM_USER + 205;  // 1229: finish the capture
constexpr UINT UWM_TRAYMENUOPEN = WM_USER + 207;   // 1231: the tray popup menu is about to open
constexpr UINT UWM_OPENHOMEPAGE = WM_USER + 209;   // 1233: open the product's web page
constexpr UINT UWM_INITCAPTURE = WM_USER + 210;    // 1234: deferred start of the capture input

// The frame's one timer: every 300 ms the active image view blinks its selection border.
constexpr UINT_PTR kBlinkTimerId = 3;
constexpr UINT kBlinkTimerPeriodMs = 300;

class CMainFrame : public CMDIFrameWnd, public ISystemCloseMark, public IImageDocumentFrame {
 public:
  static constexpr const char* kWindowClass = "LumatreMainFrameClass";
  // What a toolbar button without a picture shows: a 16 x 16 image of only the background
  // colour, so that nothing is drawn. The caller owns it.
  static HBITMAP EmptyButtonImage();

  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  bool TakeSystemCloseMark() override;
  // Why the window could not be made ("Unable to create Statusbar." ...); empty when it was.
  const std::string& CreationError() const { return m_creationError; }
  CStatusBar& StatusBar() { return m_wndStatusBar; }
  CToolBar& ToolBar() { return m_wndToolBar; }
  CSystemTray& TrayIcon() { return m_trayIcon; }
  // The open-file tabs bar and the workspace (MainFrameWorkspace.cpp).
  CViewManager& TabsBar() { return m_wndViewManager; }
  CWorkspaceClient& Workspace() { return m_wndWorkspace; }
  // Shows the main window normally (restored when minimised) and brings it to the front.
  void ShowMainWindow();
  // The capture a new image document takes its picture from (null when none is waiting).
  HBITMAP GetCapturedBitmap() const override { return m_capturedBitmap.get(); }
  // The outputs of a new capture document, asked for by its view once the window shows
  // (MainFrameOutputs.cpp).
  void RunCaptureOutputs(CDocument* doc) override;
  // Commands routed through the frame end the tray menu's hold on Active Window and Active
  // Window Client (only those two tell a tray-menu choice apart).
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
  // Escape leaves full-screen mode before anything else sees it.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // --- Capture input ---
  // Key and mode names, keyboard hook and hotkey table, timer 3, the screen freezer and the
  // system hotkeys. Runs once, on the deferred start-up message.
  void InitCaptureInput();
  // Registers a system hotkey for every capture slot that has a key (id = slot) and records
  // which succeeded in the HotkeyTable's registered flags; the refused ones are listed in one
  // message box. The table is first fetched from the hook library.
  void RegisterCaptureHotkeys();
  void UnregisterCaptureHotkeys();
  // Runs the mode of a hotkey slot when source (HotkeySource) is the one the slot's
  // registration says delivers it; true when a mode ran.
  bool DispatchHotkey(long slot, int source);
  // "Ctrl+Shift+Alt+C" for the slot's hotkey as the hook library holds it now.
  std::string FormatHotkeyText(int slot) const;
  // The slot's mode name without "&" marks.
  std::string GetModeName(int slot) const;
  const KeyNameMap& KeyNames() const { return m_keyNames; }
  const ModeNameMap& ModeNames() const { return m_modeNames; }

  // --- The steps of a capture ---
  // false: hides the frame before a capture (and waits for the screen to settle); true:
  // restores it.
  void ShowCaptureHidden(bool show);
  void PrepareCapture(int trackerType);
  void FinishCapture(HDC screen);
  void CancelCapture(HDC screen);
  void EndCaptureCommand();
  // Hands capturedBitmap to its outputs.
  void RouteCapture();
  // The image-window branch: a new untitled image document takes the picture. False when the
  // program has no image document type.
  bool RouteCaptureToImageWindow();

  // The frame was hidden for a capture and not restored yet (the tray icon asks).
  bool IsCaptureHidden() const { return m_captureHidden; }
  // The mouse hook is installed for a tracked mode.
  bool IsTracking() const { return m_tracking; }

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  // Timer 3: the active image view blinks its selection border.
  void OnTimer(UINT_PTR nIDEvent);
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnHotKey(UINT id, UINT modifiers, UINT virtualKey);
  LRESULT OnInitCapture(WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayMenuOpen(WPARAM wParam, LPARAM lParam);
  LRESULT OnFinishCaptureMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnRouteCaptureMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnForwardKeyboard(WPARAM wParam, LPARAM lParam);
  // Mouse input while a tracked mode runs: the selection tracker draws and picks.
  LRESULT OnForwardMouse(WPARAM wParam, LPARAM lParam);
  void OnDisplayChange(UINT bitsPerPixel, int cx, int cy);
  void OnSettingChange(UINT flags, LPCSTR section);
  void OnSysColorChange();
  // Menus (MainFrameMenus.cpp): hotkey labels and command images each time a popup opens.
  void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu);
  void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT mis);
  void OnDrawItem(int controlId, LPDRAWITEMSTRUCT dis);
  // Message 1228: the tabs bar is shown while image windows exist (MainFrameWorkspace.cpp).
  LRESULT OnUpdateTabBar(WPARAM wParam, LPARAM lParam);
  void OnViewTabBar();
  void OnUpdateViewTabBar(CCmdUI* pCmdUI);
  // The status panes of the image facts (pointer position, colour depth, image size) take the
  // texts of the active image view at idle time.
  void OnUpdateImageStatusPane(CCmdUI* pCmdUI);
  LRESULT OnOpenHomePageMessage(WPARAM wParam, LPARAM lParam);

  // The frame's own commands (MainFrameCommands.cpp).
  void OnOptions();
  void OnFilePrintSetup();
  void OnFileCloseAll();
  void OnShowMainWindow();
  void OnPasteAsNewImage();
  void OnUpdatePasteAsNewImage(CCmdUI* pCmdUI);
  void OnExploreOutput();
  void OnHomePage();
  void OnMenuBanner();
  void OnAppAbout();
  void OnFileNew();

  // The capture commands.
  void OnCaptureActiveWindow();
  void OnCaptureActiveWindowClient();
  void OnCaptureMenu();
  void OnCaptureDesktop();
  BOOL OnCaptureTracked(UINT id);
  void OnCaptureColorPicker();
  void OnCaptureRepeatLast();
  void OnCaptureDefaultAction();

  DECLARE_MESSAGE_MAP()

 private:
  class CaptureCommandScope;

  // Runs the command of a capture mode as if it had been chosen (hotkeys, Repeat Last,
  // Default Action).
  void RunCaptureCommand(UINT commandId);
  // A capture command is running, or a tracked mode waits for the mouse: another capture must
  // not start inside it.
  bool CaptureBusy() const { return m_captureRunning || m_tracking; }
  void CaptureActiveWindow(int slot, int trackerType, UINT commandId);
  // Steps P2-P3: hides the frame until it is gone and lets the screen repaint.
  void HideForCapture();
  // Step P6: with the include-pointer option, draws the pointer onto the screen.
  void DrawPointerForCapture();
  void RestorePointerBackground(HDC screen);
  // The tracker goes back to its empty state; save keeps a drawn shape for Repeat Last.
  void ResetTracking(bool save = false);
  // Acts on what the tracker asks after a forwarded mouse message or key.
  void HandleTrackerAction(HDC screen, TrackerAction action);
  // Repeat Last of a drawn mode by "RepeatLastMode": true when the capture is already made
  // (directly, without tracking); otherwise tracking starts, from the last shape or afresh.
  // Mode 0 shows the last shape again and gives the point where the pointer belongs.
  bool RepeatDrawnShape(HDC screen, int trackerType, std::optional<POINT>* pointerPlace);
  bool Freezing() const;
  // Step 7 of FinishCapture: shows the frame again or keeps it hidden, as the option says.
  void ShowOrKeepHiddenAfterCapture();
  // Shows a message box text with %1 replaced by the hotkey text of slot.
  void ShowHotkeyMessage(UINT stringId, int slot, UINT type);
  void PlayCaptureSound();

  // Creation steps.
  bool CreateToolBar();
  bool CreateToolBarImages();
  bool CreateStatusBar();
  bool CreateTrayIcon();
  // Step 6: the workspace client subclasses the MDI client; the tabs bar (id 32771) docks at
  // the top, hidden until there is an image window.
  bool CreateWorkspace();
  // Relabels the capture commands of a popup with their hotkeys.
  void UpdateHotkeyLabels(HMENU popup);
  // Opens a new image document on the application's PendingImage.
  bool OpenPendingImage();

  bool m_systemCloseMark = false;
  std::string m_creationError;

  // Capture state.
  bool m_captureInputReady = false;
  bool m_startedByHotkey = false;
  bool m_trayMenuOpen = false;
  bool m_repeating = false;
  bool m_captureHidden = false;
  bool m_captureRunning = false;
  bool m_tracking = false;
  UINT m_lastCaptureAction = 0;  // command id; 0: none yet
  int m_trackerType = 0;
  int m_trackerState = 0;
  CaptureArea m_area;            // the area being captured
  CCaptureTracker m_tracker;     // draws and picks on the screen while a tracked mode runs
  UniqueBitmap m_capturedBitmap;
  int m_shapeCode = 0;
  CPointerBackground m_pointerBackground;
  KeyNameMap m_keyNames;
  ModeNameMap m_modeNames;
  CScreenFreezeWnd m_freezer;

  CToolBar m_wndToolBar;
  CImageList m_toolBarImages[3];  // normal, hot and disabled button images
  CStatusBar m_wndStatusBar;  // message pane, pointer position, colour depth, image size
  COwnerDrawMenus m_menus;
  CSystemTray m_trayIcon;
  CViewManager m_wndViewManager;
  CWorkspaceClient m_wndWorkspace;  // reads its settings when the frame is made
};
