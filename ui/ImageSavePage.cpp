#include "ImageSavePage.h"

#include <commctrl.h>

#include "resources/OptionsIds.h"
#include "resources/resource.h"

CImageSavePage::CImageSavePage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_IMAGESAVE), m_host(host) {}

BOOL CImageSavePage::OnInitDialog() {
  const JpegSaveSettings& j = m_host.Settings().m_capture.jpeg;
  m_optimize = j.optimizeCoding ? 1 : 0;
  m_quality = j.quality;
  m_smoothing = j.smoothingFactor;
  m_dpiX = j.dpiX;
  m_dpiY = j.dpiY;
  SendDlgItemMessage(IDC_JPG_QUALITY_SPIN, UDM_SETRANGE32, 0, 100);
  SendDlgItemMessage(IDC_JPG_SMOOTHING_SPIN, UDM_SETRANGE32, 0, 100);
  SendDlgItemMessage(IDC_JPG_DPI_X_SPIN, UDM_SETRANGE32, 0, 10000);
  SendDlgItemMessage(IDC_JPG_DPI_Y_SPIN, UDM_SETRANGE32, 0, 10000);
  return CSAPrefsSubDlg::OnInitDialog();
}

void CImageSavePage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_JPG_OPTIMIZE, m_optimize);
  DDX_Text(pDX, IDC_JPG_QUALITY, m_quality);
  DDV_MinMaxInt(pDX, m_quality, 0, 100);
  DDX_Text(pDX, IDC_JPG_SMOOTHING, m_smoothing);
  DDV_MinMaxInt(pDX, m_smoothing, 0, 100);
  DDX_Text(pDX, IDC_JPG_DPI_X, m_dpiX);
  DDV_MinMaxInt(pDX, m_dpiX, 0, 10000);
  DDX_Text(pDX, IDC_JPG_DPI_Y, m_dpiY);
  DDV_MinMaxInt(pDX, m_dpiY, 0, 10000);
}

void CImageSavePage::OnOK() {
  JpegSaveSettings& j = m_host.Settings().m_capture.jpeg;
  j.optimizeCoding = m_optimize ? 1 : 0;
  j.quality = static_cast<WORD>(m_quality);
  j.smoothingFactor = static_cast<WORD>(m_smoothing);
  j.dpiX = static_cast<WORD>(m_dpiX);
  j.dpiY = static_cast<WORD>(m_dpiY);
}
