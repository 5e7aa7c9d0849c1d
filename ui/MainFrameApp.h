// What the main frame needs from the application object around it. The program's application
// implements this interface; the frame reaches it through MainFrameApp(), so the frame's folder
// never sees the application's own class (which sits above every window).
#pragma once

#include <windows.h>

#include <memory>

#include "common/Settings.h"

class CDisplayBitmap;

class IMainFrameApp {
 public:
  // The settings records of this run (capture options, hotkeys, print layout ...).
  virtual AppSettings& GetSettings() = 0;
  // The picture the next new document takes over (File New, Paste As New Image).
  virtual void SetPendingImage(std::unique_ptr<CDisplayBitmap> image) = 0;
  // Marks the next file-name prompt as the automatic save of a capture (or clears the mark).
  virtual void SetAutoSavePending(BOOL pending) = 0;
  // The frame handed the hotkey table to the hook library: from now on that copy is in force.
  virtual void SetHotkeysHandedToLibrary() = 0;
  // The autostart entry (the program runs when the user logs on).
  virtual bool IsAutoStartEnabled() const = 0;
  virtual bool SetAutoStart(bool on) = 0;
  // Empties the recent-file list and writes the empty list.
  virtual void ClearRecentFileList() = 0;
  // Opens a topic of the program's help file.
  virtual void ShowHelpTopic(int topic) = 0;
  // The cursor shown by the window under the mouse pointer (null when it cannot be found).
  virtual HCURSOR GetCursorAtPoint() const = 0;

 protected:
  ~IMainFrameApp() = default;
};

// The running program's application. Without one (a test that makes a frame on its own
// application object) a stand-in with default settings answers, which stores nothing.
IMainFrameApp& MainFrameApp();

// The settings records of the running program.
inline AppSettings& FrameSettings() { return MainFrameApp().GetSettings(); }
