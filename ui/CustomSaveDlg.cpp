#include "CustomSaveDlg.h"

#include <commctrl.h>

#include "framework/Framework.h"
#include "resources/FileDialogsIds.h"
#include "resources/resource.h"

CCustomSaveDlg::CCustomSaveDlg(JpegSaveSettings& currentJpeg, LPCSTR lpszFileName, DWORD lFlags, CWnd* pParentWnd)
    : CFileDialog(FALSE, kSaveDefaultExtension, lpszFileName,
                  OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXTENSIONDIFFERENT | lFlags, nullptr, pParentWnd),
      m_current(currentJpeg) {
  SetFilter(JoinFilter(SaveFilterEntries()));
  m_ofn.nFilterIndex = kSaveFilterStartIndex;
  m_ofn.Flags |= OFN_ENABLETEMPLATE;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_CUSTOMSAVE);
}

BOOL CCustomSaveDlg::OnInitDialog() {
  m_patterns = UpperCasedPatterns(SaveFilterEntries());
  m_bOptimize = m_current.optimizeCoding ? 1 : 0;
  m_quality = m_current.quality;
  m_smoothing = m_current.smoothingFactor;
  m_densityX = m_current.dpiX;
  m_densityY = m_current.dpiY;
  struct Spin {
    int spin;
    int edit;
    JpegFieldRange range;
  };
  const Spin spins[] = {{IDC_JPEG_QUALITY_SPIN, IDC_JPEG_QUALITY, kJpegQualityRange},
                        {IDC_JPEG_SMOOTHING_SPIN, IDC_JPEG_SMOOTHING, kJpegSmoothingRange},
                        {IDC_JPEG_DPIX_SPIN, IDC_JPEG_DPIX, kJpegDensityRange},
                        {IDC_JPEG_DPIY_SPIN, IDC_JPEG_DPIY, kJpegDensityRange}};
  for (const Spin& s : spins) {
    SendDlgItemMessage(s.spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItemHwnd(s.edit)));
    SendDlgItemMessage(s.spin, UDM_SETRANGE32, static_cast<WPARAM>(s.range.minimum), s.range.maximum);
  }
  CFileDialog::OnInitDialog();  // fills the controls
  m_initialised = true;
  EnableJpegControls();
  return TRUE;
}

void CCustomSaveDlg::DoDataExchange(CDataExchange* pDX) {
  CFileDialog::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_JPEG_OPTIMIZE, m_bOptimize);
  DDX_Text(pDX, IDC_JPEG_QUALITY, m_quality);
  DDV_MinMaxInt(pDX, m_quality, kJpegQualityRange.minimum, kJpegQualityRange.maximum);
  DDX_Text(pDX, IDC_JPEG_SMOOTHING, m_smoothing);
  DDV_MinMaxInt(pDX, m_smoothing, kJpegSmoothingRange.minimum, kJpegSmoothingRange.maximum);
  DDX_Text(pDX, IDC_JPEG_DPIX, m_densityX);
  DDV_MinMaxInt(pDX, m_densityX, kJpegDensityRange.minimum, kJpegDensityRange.maximum);
  DDX_Text(pDX, IDC_JPEG_DPIY, m_densityY);
  DDV_MinMaxInt(pDX, m_densityY, kJpegDensityRange.minimum, kJpegDensityRange.maximum);
}

void CCustomSaveDlg::OnInitDone() { EnableJpegControls(); }

void CCustomSaveDlg::OnTypeChange() { EnableJpegControls(); }

void CCustomSaveDlg::EnableJpegControls() {
  m_jpegEnabled = JpegControlsEnabled(GetFilterIndex(), m_patterns);
  for (int id : kJpegControlIds) ::EnableWindow(GetDlgItemHwnd(id), m_jpegEnabled ? TRUE : FALSE);
}

BOOL CCustomSaveDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (m_initialised && lParam != 0 &&
      ((code == EN_CHANGE && (id == IDC_JPEG_QUALITY || id == IDC_JPEG_SMOOTHING || id == IDC_JPEG_DPIX ||
                              id == IDC_JPEG_DPIY)) ||
       (code == BN_CLICKED && id == IDC_JPEG_OPTIMIZE))) {
    StoreOption(id);
    return TRUE;
  }
  return CFileDialog::OnCommand(wParam, lParam);
}

void CCustomSaveDlg::StoreOption(int id) {
  if (id == IDC_JPEG_OPTIMIZE) {
    m_bOptimize = IsDlgButtonChecked(IDC_JPEG_OPTIMIZE) == BST_CHECKED ? 1 : 0;
    m_current.optimizeCoding = static_cast<WORD>(m_bOptimize);
    return;
  }
  int value = 0;
  // A text that is not a number in range is left to the validation when the name is confirmed.
  std::string text = GetDlgItemText(id);
  long long parsed = 0;
  const JpegFieldRange range = (id == IDC_JPEG_DPIX || id == IDC_JPEG_DPIY) ? kJpegDensityRange : kJpegQualityRange;
  if (!AfxParseSigned(text.c_str(), range.minimum, range.maximum, parsed)) return;
  value = static_cast<int>(parsed);
  switch (id) {
    case IDC_JPEG_QUALITY: m_quality = value; m_current.quality = static_cast<WORD>(value); break;
    case IDC_JPEG_SMOOTHING: m_smoothing = value; m_current.smoothingFactor = static_cast<WORD>(value); break;
    case IDC_JPEG_DPIX: m_densityX = value; m_current.dpiX = static_cast<WORD>(value); break;
    case IDC_JPEG_DPIY: m_densityY = value; m_current.dpiY = static_cast<WORD>(value); break;
    default: break;
  }
}

BOOL CCustomSaveDlg::OnFileNameOK() {
  const std::string path = GetPathName();
  if (NamesFolder(path)) {
    std::string text;
    AfxFormatString1(text, IDS_NAME_IS_FOLDER, path.c_str());
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  // The options are checked while they are in use (JPEG chosen); a refused value keeps the
  // dialog open with its box focused.
  if (m_jpegEnabled && !UpdateData(TRUE)) return FALSE;
  return TRUE;
}
