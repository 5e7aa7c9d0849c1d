// CGeneralOptionsPage: "General Options" (dialog 344): the tray, pop-up, sound, recent-file,
// autostart and save-prompt options and the image type of mailed images. "Reset Recent File
// List" acts at once.
#pragma once

#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

class CGeneralOptionsPage : public CSAPrefsSubDlg {
 public:
  explicit CGeneralOptionsPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 protected:
  void OnResetRecentFileList();

  DECLARE_MESSAGE_MAP()

 private:
  IOptionsHost& m_host;
  int m_hideOnMinimize = 0;
  int m_startHidden = 0;
  int m_showAfterCapture = 0;
  int m_sound = 0;
  int m_clearRecentOnExit = 0;
  int m_autoStart = 0;
  int m_promptSave = 0;
  int m_mailType = 0;
};

// Fills a drop list with the image types (JPEG, Bitmap, PNG, GIF, TIFF), each carrying its id,
// and selects the one with id selected (the first when none has it).
void FillImageTypeList(HWND list, int selected);
// The id carried by the selected item; fallback when nothing is selected.
int SelectedItemData(HWND list, int fallback);
