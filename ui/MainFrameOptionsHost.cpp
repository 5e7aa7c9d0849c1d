#include "MainFrameOptionsHost.h"

#include "app/LumatreApp.h"
#include "hook/QuorvaHook.h"
#include "ui/MainFrame.h"

AppSettings& CMainFrameOptionsHost::Settings() { return theApp; }
const KeyNameMap& CMainFrameOptionsHost::KeyNames() { return m_frame.KeyNames(); }
std::string CMainFrameOptionsHost::ModeName(int mode) { return m_frame.GetModeName(mode); }
bool CMainFrameOptionsHost::IsAutoStartEnabled() { return theApp.IsAutoStartEnabled(); }
bool CMainFrameOptionsHost::SetAutoStart(bool on) { return theApp.SetAutoStart(on); }
void CMainFrameOptionsHost::ClearRecentFileList() { theApp.ClearRecentFileList(); }
void CMainFrameOptionsHost::ShowHelpTopic(int topic) { theApp.ShowHelpTopic(topic); }
void CMainFrameOptionsHost::GetLibraryHotkeys(WORD* table) { TSY_GetCaptureHotKey(table); }
void CMainFrameOptionsHost::SetLibraryHotkeys(const WORD* table) {
  TSY_SetCaptureHotKey(table);
  theApp.SetHotkeysHandedToLibrary();
}
void CMainFrameOptionsHost::UnregisterHotkeys() { m_frame.UnregisterCaptureHotkeys(); }
void CMainFrameOptionsHost::RegisterHotkeys() { m_frame.RegisterCaptureHotkeys(); }
