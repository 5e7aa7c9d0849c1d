#include "MainFrameApp.h"

#include "framework/Framework.h"
#include "win/DisplayBitmap.h"

namespace {

// Default settings, no autostart, no help, nothing kept.
class CStandInFrameApp : public IMainFrameApp {
 public:
  AppSettings& GetSettings() override { return m_settings; }
  void SetPendingImage(std::unique_ptr<CDisplayBitmap>) override {}
  void SetAutoSavePending(BOOL) override {}
  void SetHotkeysHandedToLibrary() override {}
  bool IsAutoStartEnabled() const override { return false; }
  bool SetAutoStart(bool) override { return false; }
  void ClearRecentFileList() override {}
  void ShowHelpTopic(int) override {}
  HCURSOR GetCursorAtPoint() const override { return nullptr; }

 private:
  AppSettings m_settings;
};

}  // namespace

IMainFrameApp& MainFrameApp() {
  if (auto* app = dynamic_cast<IMainFrameApp*>(AfxGetApp())) return *app;
  static CStandInFrameApp standIn;
  return standIn;
}
