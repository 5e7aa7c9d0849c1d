// CLumatreApp: Lumatre's application object. It owns every user setting (AppSettings) for the
// whole run, loads them at start-up and writes them back at exit, keeps the program to one
// instance, and runs the closing step that sends the program to the tray instead of ending it.
#pragma once

#include "framework/Framework.h"

#include "common/AppHelpers.h"
#include "InstanceChecker.h"
#include "common/Settings.h"
#include "SettingsStore.h"
#include "decode/AutoDecoder.h"
#include "document/DocumentHost.h"
#include "ui/MainFrameApp.h"
#include "win/DisplayBitmap.h"

#include <memory>

class CLumatreApp : public CWinApp, public AppSettings, public IImageDocumentApp, public IMainFrameApp {
 public:
  CLumatreApp();
  ~CLumatreApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  // The closing step: the system Close command hides the program; otherwise modified images
  // are asked about as "OptionsA" bit 12 says.
  BOOL SaveAllModified() override;

  // Reads the sections "PrintLayout", "Hotkey", "CaptureOptions" and "InstallPath".
  void LoadSettings();
  // Fetches the hotkey table from the hook library (once this run has handed it one), then
  // writes the three sections.
  void SaveSettings();
  // The main frame handed m_hotkeys to the hook library: from now on the library's table is the
  // one in force.
  void SetHotkeysHandedToLibrary() override { m_hotkeysInLibrary = true; }

  // The autostart entry (the program runs when the user logs on).
  bool IsAutoStartEnabled() const override;
  bool SetAutoStart(bool on) override;

  // Empties the recent-file list, refreshes the main window's menus and writes the empty list.
  void ClearRecentFileList() override;
  // Opens a topic of "Lumatre.chm" beside the program (topic numbers in AppHelpers.h).
  void ShowHelpTopic(int topic) override;
  // The cursor shown by the window under the mouse pointer (null when it cannot be found).
  HCURSOR GetCursorAtPoint() const override { return ::GetCursorAtPoint(); }

  // Modified image documents open now.
  virtual int CountModifiedDocuments();

  // What the image documents take from the application.
  AppSettings& GetDocumentSettings() override { return *this; }
  std::unique_ptr<CDisplayBitmap> TakePendingImage() override { return std::move(PendingImage); }
  CAutoDecoder& GetAutoDecoder() override { return m_decoder; }
  bool SendMailAttachment(const std::string& path, const std::string& displayName, unsigned flags) override;

  // What the main frame takes from the application.
  AppSettings& GetSettings() override { return *this; }
  void SetPendingImage(std::unique_ptr<CDisplayBitmap> image) override { PendingImage = std::move(image); }
  void SetAutoSavePending(BOOL pending) override { autoSavePending = pending; }

  // The picture the next new document takes over (File New, Paste As New Image).
  std::unique_ptr<CDisplayBitmap> PendingImage;
  // The next file-name prompt belongs to the automatic save of a capture (set by the capture
  // outputs, taken by the document manager's prompt).
  BOOL autoSavePending = FALSE;

  // Where the settings live (the real registry unless a test points elsewhere).
  SettingsLocation m_settingsLocation;

 protected:
  void OnHelpFinder();

  DECLARE_MESSAGE_MAP()

 private:
  std::unique_ptr<CInstanceChecker> m_instanceChecker;
  CAutoDecoder m_decoder;
  bool m_hotkeysInLibrary = false;
};

extern CLumatreApp theApp;
