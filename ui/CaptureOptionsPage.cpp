#include "CaptureOptionsPage.h"

#include <vector>

#include "resources/OptionsIds.h"
#include "resources/resource.h"
#include "ui/GeneralOptionsPage.h"
#include "ui/OptionsLogic.h"

CCaptureOptionsPage::CCaptureOptionsPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_CAPTURE), m_host(host) {}

BOOL CCaptureOptionsPage::OnInitDialog() {
  const CaptureSettings& s = m_host.Settings().m_capture;
  m_includePointer = s.Has(kOptIncludePointer);
  m_freeze = s.Has(kOptFreezeScreen);
  m_delay = s.captureDelayTime;
  m_fillRule = s.Has(kOptWindingFill) ? 0 : 1;
  m_repeatMode = (s.repeatLastMode >= 0 && s.repeatLastMode <= 2) ? s.repeatLastMode : -1;
  m_defaultAction = s.defaultCaptureAction;

  HWND list = GetDlgItemHwnd(IDC_CAP_DEFAULT_ACTION);
  std::vector<int> modes;
  for (int mode : kDefaultActionModes) {
    const std::string name = m_host.ModeName(mode);
    auto index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index >= 0) ::SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), mode);
    modes.push_back(mode);
  }
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(SelectionForValue(modes, m_defaultAction)), 0);
  return CSAPrefsSubDlg::OnInitDialog();
}

void CCaptureOptionsPage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_CAP_INCLUDE_POINTER, m_includePointer);
  DDX_Check(pDX, IDC_CAP_FREEZE, m_freeze);
  DDX_Text(pDX, IDC_CAP_DELAY, m_delay);
  DDV_MinMaxInt(pDX, m_delay, 0, kMaxCaptureDelay);
  DDX_Radio(pDX, IDC_CAP_WINDING, m_fillRule);
  DDX_Radio(pDX, IDC_CAP_REPEAT_TRACK_LAST, m_repeatMode);
  if (pDX->m_bSaveAndValidate)
    m_defaultAction = SelectedItemData(GetDlgItemHwnd(IDC_CAP_DEFAULT_ACTION), m_defaultAction);
}

void CCaptureOptionsPage::OnOK() {
  CaptureSettings& s = m_host.Settings().m_capture;
  s.optionsA = WithOption(s.optionsA, kOptIncludePointer, m_includePointer != 0);
  s.optionsA = WithOption(s.optionsA, kOptFreezeScreen, m_freeze != 0);
  if (m_fillRule >= 0) s.optionsA = WithOption(s.optionsA, kOptWindingFill, m_fillRule == 0);
  s.captureDelayTime = static_cast<WORD>(m_delay);
  if (m_repeatMode >= 0) s.repeatLastMode = m_repeatMode;
  s.defaultCaptureAction = m_defaultAction;
}
