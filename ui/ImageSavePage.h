// CImageSavePage: "Image Save" (dialog 365): the stored JPEG settings (the copy saved with the
// settings; the copy the next Save As uses is left alone).
#pragma once

#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

class CImageSavePage : public CSAPrefsSubDlg {
 public:
  explicit CImageSavePage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 private:
  IOptionsHost& m_host;
  int m_optimize = 0;
  int m_quality = 0;
  int m_smoothing = 0;
  int m_dpiX = 0;
  int m_dpiY = 0;
};
