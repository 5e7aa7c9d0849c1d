#include "MainFrameOptionsHost.h"

#include "ui/MainFrameApp.h"
#include "hook/QuorvaHook.h"
#include "ui/MainFrame.h"

AppSettings& CMainFrameOptionsHost::Settings() { return FrameSettings(); }
const KeyNameMap& CMainFrameOptionsHost::KeyNames() { return m_frame.KeyNames(); }
std::string CMainFrameOptionsHost::ModeName(int mode) { return m_frame.GetModeName(mode); }
bool CMainFrameOptionsHost::IsAutoStartEnabled() { return MainFrameApp().IsAutoStartEnabled(); }
bool CMainFrameOptionsHost::SetAutoStart(bool on) { return MainFrameApp().SetAutoStart(on); }
void CMainFrameOptionsHost::ClearRecentFileList() { MainFrameApp().ClearRecentFileList(); }
void CMainFrameOptionsHost::ShowHelpTopic(int topic) { MainFrameApp().ShowHelpTopic(topic); }
void CMainFrameOptionsHost::GetLibraryHotkeys(WORD* table) { TSY_GetCaptureHotKey(table); }
void CMainFrameOptionsHost::SetLibraryHotkeys(const WORD* table) {
  TSY_SetCaptureHotKey(table);
  MainFrameApp().SetHotkeysHandedToLibrary();
}
void CMainFrameOptionsHost::UnregisterHotkeys() { m_frame.UnregisterCaptureHotkeys(); }
void CMainFrameOptionsHost::RegisterHotkeys() { m_frame.RegisterCaptureHotkeys(); }
