// IOptionsHost: what the Options dialog and its pages need from the program: the settings
// records, the key and mode names, the autostart entry, the recent-file list, help, and the
// hotkey table of the hook library with the system registrations. The main frame provides the
// real one (MainFrameOptionsHost.h); tests provide their own.
#pragma once

#include <windows.h>

#include <string>

#include "common/Settings.h"
#include "capture/HotkeyText.h"

class IOptionsHost {
 public:
  virtual AppSettings& Settings() = 0;
  // Virtual-key code -> key name, in the order the key lists show them.
  virtual const KeyNameMap& KeyNames() = 0;
  // The name of a capture mode without "&" marks.
  virtual std::string ModeName(int mode) = 0;

  virtual bool IsAutoStartEnabled() = 0;
  virtual bool SetAutoStart(bool on) = 0;
  virtual void ClearRecentFileList() = 0;
  virtual void ShowHelpTopic(int topic) = 0;

  // The hook library's 36-entry hotkey array, copied out and in whole.
  virtual void GetLibraryHotkeys(WORD* table) = 0;
  virtual void SetLibraryHotkeys(const WORD* table) = 0;
  // The system hotkeys of the capture modes (the registration reports refused keys itself).
  virtual void UnregisterHotkeys() = 0;
  virtual void RegisterHotkeys() = 0;

 protected:
  ~IOptionsHost() = default;
};
