// CCaptureOutputPage: "Capture Output" (dialog 346): where a capture goes (image window,
// clipboard, printer, file) and how saved files are named (folder, lead name, digits, start
// number, image type, replace, wrap and reset of the counter). The naming controls follow the
// save-to-file and automatic-naming boxes.
#pragma once

#include <string>

#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

class CCaptureOutputPage : public CSAPrefsSubDlg {
 public:
  explicit CCaptureOutputPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 protected:
  void OnSaveToFileClicked();
  void OnAutoNameClicked();
  void OnPrintClicked();
  void OnBrowse();

  DECLARE_MESSAGE_MAP()

 private:
  // Enables the naming controls as the two boxes stand now.
  void UpdateControlStates();
  void EnableIds(const std::vector<int>& ids, bool enable);

  IOptionsHost& m_host;
  int m_window = 0;
  int m_clipboard = 0;
  int m_print = 0;
  int m_printWithoutDialog = 0;
  int m_saveToFile = 0;
  int m_autoName = 0;
  std::string m_directory;
  std::string m_leadName;
  int m_digits = 0;
  int m_startNumber = 0;
  int m_imageType = 0;
  int m_replace = 0;
  int m_wrap = 0;
  int m_resetCounter = 0;
};
