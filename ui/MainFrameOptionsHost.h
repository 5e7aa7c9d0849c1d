// CMainFrameOptionsHost: the Options dialog's view of the running program: the application's
// settings, the main frame's key and mode names and hotkey registration, the hook library's
// hotkey table.
#pragma once

#include "ui/OptionsHost.h"

class CMainFrame;

class CMainFrameOptionsHost : public IOptionsHost {
 public:
  explicit CMainFrameOptionsHost(CMainFrame& frame) : m_frame(frame) {}

  AppSettings& Settings() override;
  const KeyNameMap& KeyNames() override;
  std::string ModeName(int mode) override;
  bool IsAutoStartEnabled() override;
  bool SetAutoStart(bool on) override;
  void ClearRecentFileList() override;
  void ShowHelpTopic(int topic) override;
  void GetLibraryHotkeys(WORD* table) override;
  void SetLibraryHotkeys(const WORD* table) override;
  void UnregisterHotkeys() override;
  void RegisterHotkeys() override;

 private:
  CMainFrame& m_frame;
};
