// CColorPickerPage: "Color Picker" (dialog 369): whether a picked colour goes to the clipboard,
// and in which of nine notations. The notations can be chosen only while the clipboard box is
// checked.
#pragma once

#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

class CColorPickerPage : public CSAPrefsSubDlg {
 public:
  explicit CColorPickerPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 protected:
  void OnToClipboardClicked();

  DECLARE_MESSAGE_MAP()

 private:
  void EnableFormats();

  IOptionsHost& m_host;
  int m_toClipboard = 0;
  int m_format = 0;  // -1 when the stored format is none of the nine
};

// The nine notation buttons in the order of "ColorPickerOutputFormat".
extern const int kColorPickerFormatIds[9];
