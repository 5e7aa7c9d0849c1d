#include "CaptureOutputPage.h"

#include <commctrl.h>

#include "framework/MessageBox.h"
#include "resources/OptionsIds.h"
#include "resources/resource.h"
#include "ui/FolderBrowser.h"
#include "ui/GeneralOptionsPage.h"
#include "ui/OptionsLogic.h"

BEGIN_MESSAGE_MAP(CCaptureOutputPage, CSAPrefsSubDlg)
  ON_BN_CLICKED(IDC_OUT_SAVE, OnSaveToFileClicked)
  ON_BN_CLICKED(IDC_OUT_AUTONAME, OnAutoNameClicked)
  ON_BN_CLICKED(IDC_OUT_PRINT, OnPrintClicked)
  ON_BN_CLICKED(IDC_OUT_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CCaptureOutputPage::CCaptureOutputPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_OUTPUT), m_host(host) {}

BOOL CCaptureOutputPage::OnInitDialog() {
  const CaptureSettings& s = m_host.Settings().m_capture;
  const AutoSaveSettings& a = s.autoSave;
  m_window = s.Has(kOptOutputWindow);
  m_clipboard = s.Has(kOptOutputClipboard);
  m_print = s.Has(kOptOutputPrinter);
  m_printWithoutDialog = s.Has(kOptPrintWithoutDialog);
  m_saveToFile = s.Has(kOptOutputFile);
  m_autoName = s.Has(kOptAutoName);
  m_directory.assign(a.directory, strnlen(a.directory, sizeof a.directory));
  if (m_directory.size() > static_cast<size_t>(kAutoSavePathEditChars)) m_directory.resize(kAutoSavePathEditChars);
  m_leadName.assign(a.leadFileName, strnlen(a.leadFileName, sizeof a.leadFileName));
  if (m_leadName.size() > static_cast<size_t>(kLeadNameEditChars)) m_leadName.resize(kLeadNameEditChars);
  m_digits = DigitCountShown(a.digitCount);
  m_startNumber = static_cast<int>(StartNumberShown(a.nextNumber));
  m_imageType = a.imageType;
  m_replace = (a.options & kAutoSaveReplaceExisting) != 0;
  m_wrap = (a.options & kAutoSaveWrapCounter) != 0;
  m_resetCounter = (a.options & kAutoSaveResetAtStart) != 0;

  SendDlgItemMessage(IDC_OUT_DIRECTORY, EM_LIMITTEXT, kAutoSavePathEditChars);
  SendDlgItemMessage(IDC_OUT_LEAD_NAME, EM_LIMITTEXT, kLeadNameEditChars);
  SendDlgItemMessage(IDC_OUT_DIGITS_SPIN, UDM_SETRANGE32, 2, 6);
  SendDlgItemMessage(IDC_OUT_START_NO_SPIN, UDM_SETRANGE32, 1, 999999);
  FillImageTypeList(GetDlgItemHwnd(IDC_OUT_IMAGE_TYPE), m_imageType);
  CSAPrefsSubDlg::OnInitDialog();
  UpdateControlStates();
  return TRUE;
}

void CCaptureOutputPage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_OUT_WINDOW, m_window);
  DDX_Check(pDX, IDC_OUT_CLIPBOARD, m_clipboard);
  DDX_Check(pDX, IDC_OUT_PRINT, m_print);
  DDX_Check(pDX, IDC_OUT_PRINT_NO_DIALOG, m_printWithoutDialog);
  DDX_Check(pDX, IDC_OUT_SAVE, m_saveToFile);
  DDX_Check(pDX, IDC_OUT_AUTONAME, m_autoName);
  DDX_Text(pDX, IDC_OUT_DIRECTORY, m_directory);
  DDV_MaxChars(pDX, m_directory, kAutoSavePathEditChars);
  DDX_Text(pDX, IDC_OUT_LEAD_NAME, m_leadName);
  DDV_MaxChars(pDX, m_leadName, kLeadNameEditChars);
  DDX_Text(pDX, IDC_OUT_DIGITS, m_digits);
  DDV_MinMaxInt(pDX, m_digits, 2, 6);
  DDX_Text(pDX, IDC_OUT_START_NO, m_startNumber);
  DDV_MinMaxInt(pDX, m_startNumber, 1, 999999);
  DDX_Check(pDX, IDC_OUT_REPLACE, m_replace);
  DDX_Check(pDX, IDC_OUT_WRAP, m_wrap);
  DDX_Check(pDX, IDC_OUT_RESET_COUNTER, m_resetCounter);
  if (pDX->m_bSaveAndValidate) m_imageType = SelectedItemData(GetDlgItemHwnd(IDC_OUT_IMAGE_TYPE), m_imageType);
}

void CCaptureOutputPage::OnOK() {
  CaptureSettings& s = m_host.Settings().m_capture;
  AutoSaveSettings& a = s.autoSave;
  OutputChoices choices;
  choices.window = m_window != 0;
  choices.clipboard = m_clipboard != 0;
  choices.print = m_print != 0;
  choices.printWithoutDialog = m_printWithoutDialog != 0;
  choices.saveToFile = m_saveToFile != 0;
  choices.autoName = m_autoName != 0;
  s.optionsA = ApplyOutputChoices(s.optionsA, choices);
  CopyText(a.directory, m_directory.c_str());
  // The lead name ends before anything a file name cannot hold, and before the extension.
  CopyText(a.leadFileName, CutLeadFileName(m_leadName).c_str());
  a.digitCount = static_cast<WORD>(m_digits % 7);
  a.nextNumber = static_cast<DWORD>(m_startNumber) % 1000000;
  a.imageType = m_imageType;
  a.options = ApplyAutoSaveOptions(a.options, m_replace != 0, m_wrap != 0, m_resetCounter != 0);
}

void CCaptureOutputPage::EnableIds(const std::vector<int>& ids, bool enable) {
  for (int id : ids)
    if (HWND h = GetDlgItemHwnd(id)) ::EnableWindow(h, enable);
}

void CCaptureOutputPage::UpdateControlStates() {
  const bool save = IsDlgButtonChecked(IDC_OUT_SAVE) == BST_CHECKED;
  const bool autoName = IsDlgButtonChecked(IDC_OUT_AUTONAME) == BST_CHECKED;
  for (const auto& [id, on] : OutputControlStates(save, autoName))
    if (HWND h = GetDlgItemHwnd(id)) ::EnableWindow(h, on);
}

void CCaptureOutputPage::OnSaveToFileClicked() {
  const bool save = IsDlgButtonChecked(IDC_OUT_SAVE) == BST_CHECKED;
  EnableIds(kSaveDependentIds, save);
  if (save) CheckDlgButton(IDC_OUT_WINDOW, BST_CHECKED);
}

void CCaptureOutputPage::OnAutoNameClicked() {
  EnableIds(AutoNameDependentIds(), IsDlgButtonChecked(IDC_OUT_AUTONAME) == BST_CHECKED);
}

void CCaptureOutputPage::OnPrintClicked() {
  if (IsDlgButtonChecked(IDC_OUT_PRINT) == BST_CHECKED) CheckDlgButton(IDC_OUT_WINDOW, BST_CHECKED);
}

void CCaptureOutputPage::OnBrowse() {
  const std::string current = GetDlgItemText(IDC_OUT_DIRECTORY);
  std::optional<std::string> chosen = BrowseForFolder(m_hWnd, LoadResString(IDS_CHOOSE_DIRECTORY), current);
  if (chosen) SetDlgItemText(IDC_OUT_DIRECTORY, chosen->c_str());
}
