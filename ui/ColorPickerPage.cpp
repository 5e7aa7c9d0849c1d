#include "ColorPickerPage.h"

#include "resources/OptionsIds.h"
#include "resources/resource.h"
#include "ui/OptionsLogic.h"

const int kColorPickerFormatIds[9] = {IDC_PICK_HTML, IDC_PICK_DOTNET, IDC_PICK_VC,  IDC_PICK_VB, IDC_PICK_VFP,
                                      IDC_PICK_JAVA, IDC_PICK_DELPHI, IDC_PICK_RGB, IDC_PICK_HSB};

BEGIN_MESSAGE_MAP(CColorPickerPage, CSAPrefsSubDlg)
  ON_BN_CLICKED(IDC_PICK_TO_CLIPBOARD, OnToClipboardClicked)
END_MESSAGE_MAP()

CColorPickerPage::CColorPickerPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_COLORPICKER), m_host(host) {}

BOOL CColorPickerPage::OnInitDialog() {
  const CaptureSettings& s = m_host.Settings().m_capture;
  m_toClipboard = s.Has(kOptColorToClipboard);
  m_format = (s.colorPickerOutputFormat >= 0 && s.colorPickerOutputFormat <= 8) ? s.colorPickerOutputFormat : -1;
  CSAPrefsSubDlg::OnInitDialog();
  EnableFormats();
  return TRUE;
}

void CColorPickerPage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_PICK_TO_CLIPBOARD, m_toClipboard);
  DDX_Radio(pDX, IDC_PICK_HTML, m_format);
}

void CColorPickerPage::EnableFormats() {
  const bool on = IsDlgButtonChecked(IDC_PICK_TO_CLIPBOARD) == BST_CHECKED;
  for (int id : kColorPickerFormatIds)
    if (HWND h = GetDlgItemHwnd(id)) ::EnableWindow(h, on);
}

void CColorPickerPage::OnToClipboardClicked() { EnableFormats(); }

void CColorPickerPage::OnOK() {
  CaptureSettings& s = m_host.Settings().m_capture;
  s.optionsA = WithOption(s.optionsA, kOptColorToClipboard, m_toClipboard != 0);
  if (m_format >= 0) s.colorPickerOutputFormat = m_format;
}
