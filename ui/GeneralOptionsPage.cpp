#include "GeneralOptionsPage.h"

#include <vector>

#include "resources/OptionsIds.h"
#include "resources/resource.h"
#include "ui/OptionsLogic.h"

void FillImageTypeList(HWND list, int selected) {
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  std::vector<int> ids;
  for (const ImageTypeChoice& choice : kImageTypeChoices) {
    auto index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text));
    if (index >= 0) ::SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), choice.id);
    ids.push_back(choice.id);
  }
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(SelectionForValue(ids, selected)), 0);
}

int SelectedItemData(HWND list, int fallback) {
  auto index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return fallback;
  return static_cast<int>(::SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

BEGIN_MESSAGE_MAP(CGeneralOptionsPage, CSAPrefsSubDlg)
  ON_BN_CLICKED(IDC_GEN_RESET_RECENT, OnResetRecentFileList)
END_MESSAGE_MAP()

CGeneralOptionsPage::CGeneralOptionsPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_GENERAL), m_host(host) {}

BOOL CGeneralOptionsPage::OnInitDialog() {
  const CaptureSettings& s = m_host.Settings().m_capture;
  m_hideOnMinimize = s.Has(kOptHideOnMinimize);
  m_startHidden = s.Has(kOptStartHidden);
  m_showAfterCapture = s.Has(kOptShowAfterCapture);
  m_sound = s.Has(kOptPlaySound);
  m_clearRecentOnExit = s.Has(kOptClearRecentOnExit);
  m_autoStart = m_host.IsAutoStartEnabled();
  m_promptSave = s.Has(kOptPromptSaveModified);
  m_mailType = s.sendMailImageType;
  FillImageTypeList(GetDlgItemHwnd(IDC_GEN_MAIL_TYPE), m_mailType);
  return CSAPrefsSubDlg::OnInitDialog();
}

void CGeneralOptionsPage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_GEN_HIDE_ON_MINIMIZE, m_hideOnMinimize);
  DDX_Check(pDX, IDC_GEN_START_HIDDEN, m_startHidden);
  DDX_Check(pDX, IDC_GEN_SHOW_AFTER_CAPTURE, m_showAfterCapture);
  DDX_Check(pDX, IDC_GEN_SOUND, m_sound);
  DDX_Check(pDX, IDC_GEN_CLEAR_RECENT_ON_EXIT, m_clearRecentOnExit);
  DDX_Check(pDX, IDC_GEN_AUTOSTART, m_autoStart);
  DDX_Check(pDX, IDC_GEN_PROMPT_SAVE, m_promptSave);
  if (pDX->m_bSaveAndValidate) m_mailType = SelectedItemData(GetDlgItemHwnd(IDC_GEN_MAIL_TYPE), m_mailType);
}

void CGeneralOptionsPage::OnOK() {
  CaptureSettings& s = m_host.Settings().m_capture;
  DWORD o = s.optionsA;
  o = WithOption(o, kOptHideOnMinimize, m_hideOnMinimize != 0);
  o = WithOption(o, kOptStartHidden, m_startHidden != 0);
  o = WithOption(o, kOptShowAfterCapture, m_showAfterCapture != 0);
  o = WithOption(o, kOptPlaySound, m_sound != 0);
  o = WithOption(o, kOptClearRecentOnExit, m_clearRecentOnExit != 0);
  o = WithOption(o, kOptPromptSaveModified, m_promptSave != 0);
  s.optionsA = o;
  s.sendMailImageType = m_mailType;
  // A failing write or delete leaves the entry as it was; nothing to tell.
  m_host.SetAutoStart(m_autoStart != 0);
}

void CGeneralOptionsPage::OnResetRecentFileList() {
  m_host.ClearRecentFileList();
  HWND button = GetDlgItemHwnd(IDC_GEN_RESET_RECENT);
  if (::GetFocus() == button) NextDlgCtrl();
  ::EnableWindow(button, FALSE);
}
