// What the capture end-to-end tests share: a fresh copy of the program started with chosen
// settings, its message boxes, the pattern window, and pictures arriving on the clipboard.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "E2EDriver.h"

namespace capture_e2e {

namespace e2e = lumatre::e2e;

inline constexpr const char* kFrameClass = "LumatreMainFrameClass";
inline const std::string kProfile = "Software\\Lumatre\\Lumatre";
inline const std::string kHotkeys = kProfile + "\\Hotkey";
inline const std::string kCapture = kProfile + "\\CaptureOptions";

// "OptionsA" bits the tests choose from.
inline constexpr DWORD kOptStartHidden = 0x2;
inline constexpr DWORD kOptShowAfterCapture = 0x8;
inline constexpr DWORD kOptIncludePointer = 0x10;
inline constexpr DWORD kOptClipboard = 0x40;
inline constexpr DWORD kOptFreeze = 0x100000;
// Only the clipboard as output, the program in the tray: the usual setting of these tests.
inline constexpr DWORD kClipboardOnly = kOptClipboard | kOptStartHidden;

// Command ids and messages of the program.
inline constexpr UINT kCmdActiveWindow = 1100;
inline constexpr UINT kCmdClient = 32788;
inline constexpr UINT kCmdRectangle = 1168;
inline constexpr UINT kCmdMenu = 1103;
inline constexpr UINT kCmdDesktop = 32792;
inline constexpr UINT kCmdRepeatLast = 1232;
inline constexpr UINT kCmdPasteAsNewImage = 32818;
inline constexpr UINT kCmdCopyAll = 32856;
inline constexpr UINT kUwmTrayMenuOpen = WM_USER + 207;

// Strings of the program's string table, as the tests expect them.
inline const std::string kText132 =
    "To use menu capture mode:\n\t a) pull down the desired menu;\n\t b) use the menu capture "
    "hotey <%1>.";
inline const std::string kText133 =
    "\n\nNote : This mode only captures true menus. Some applications (like the those in many "
    "microsoft product) do not have true menus. To capture these menus, use single window "
    "screen capture mode to capture the 'menu' manually.";
inline const std::string kText134 =
    "Lumatre could not find any popup menu, please popup and capture it again!";
inline const std::string kText135 =
    "Lumatre could not find active window. It is recommended that using hotkey <%1> capture it "
    "when window activing!";
inline const std::string kText138 =
    "This capture mode does not work in system tray popup menu. Popup main window or use hotkey "
    "<%1> to capture it again!";
inline const std::string kText1235 =
    "The following hotkeys could not be registered. Most likely another application has "
    "registered them. Please go to the Capture Hotkeys page of the Options dialog to change the "
    "conflicting hotkeys.";

// text with %1 replaced.
std::string Format1(const std::string& text, const std::string& arg);

using e2e::HelperPath;

// The marker text a test puts on the clipboard to see whether a capture replaced it.
inline constexpr const char* kMarker = "lumatre-e2e-marker";
bool PutMarker();
bool MarkerStillThere();
// Waits for a picture on the clipboard (after PutMarker); nothing on time-out.
std::optional<e2e::Image> WaitForClipboardPicture(DWORD timeoutMs = 8000);

// Saves a picture beside the temporary files and names it in the failure output.
void SaveForFailure(const e2e::Image& image, const std::string& name);

class CaptureSession : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Settings written before Start.
  void SetOptions(DWORD optionsA);
  void SetDword(const char* name, DWORD value);
  void SetHotkey(const char* name, int slot, WORD code);

  // Starts the copy and waits until its capture input is ready (hotkeys registered) or a
  // message box of the start-up is showing. Returns the main frame.
  HWND Start();
  HWND Frame() const { return m_frame; }
  e2e::AppProcess& Program() { return m_lumatre; }

  // A pattern window of ours, in the foreground, painted.
  HWND StartPattern(int x, int y, int w, int h, int variant = 0, const std::string& extra = "");
  bool PatternPainted(HWND hwnd, int variant);
  void SetPatternVariant(HWND hwnd, int variant);

  // Message boxes of the program ("#32770" windows of its process).
  HWND WaitForMessageBox(DWORD timeoutMs = 8000);
  HWND FindMessageBox();
  static std::string MessageBoxText(HWND box);
  // Closes the box with Enter, as a user would; true when it is gone.
  bool CloseWithEnter(HWND box);
  // Expects exactly this text in a box now showing, and closes it.
  void ExpectMessageBox(const std::string& text);

  // Visible top-level windows of the program other than the frame and message boxes.
  std::vector<HWND> OtherVisibleWindows();

  // Hides the main frame of a program started visible and waits until it is gone.
  void HideFrame();

  // Posts a menu command to the main frame.
  void Command(UINT id);
  // Image windows inside the main frame.
  int ImageWindowCount();
  // The picture of the active image window, read back through Copy All.
  std::optional<e2e::Image> ActivePicture();

  e2e::AppCopy m_copy;
  e2e::AppProcess m_lumatre;
  HWND m_frame = nullptr;
  std::vector<std::unique_ptr<e2e::AppProcess>> m_helpers;
};

}  // namespace capture_e2e
