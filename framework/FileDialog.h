// CFileDialog: the system's Explorer-style open and save dialogs. A derived class may add a
// child template of its own (m_ofn.lpTemplateName with OFN_ENABLETEMPLATE): the object is then
// bound to that child dialog while the system's dialog runs, so its message map receives the
// child's control notifications and the dialog's WM_NOTIFY codes (CDN_SELCHANGE,
// CDN_TYPECHANGE, CDN_FOLDERCHANGE, CDN_FILEOK...), which arrive at OnFileNameOK,
// OnSelChange, OnTypeChange and OnInitDone. GetParent() of the bound child is the system's
// dialog.
//
//   CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, filter);
//   if (dlg.DoModal() == IDOK) open(dlg.GetPathName());
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "Dialog.h"

class CFileDialog : public CDialog {
 public:
  // bOpenFileDialog: Open (TRUE) or Save As (FALSE). lpszFilter: "description|patterns|...|"
  // pairs separated by '|' (the form the framework's filters are written in) or null.
  explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);

  // Runs the system's dialog: IDOK with a name chosen, IDCANCEL otherwise (also when the
  // dialog could not be shown; CommDlgExtendedError tells then).
  INT_PTR DoModal() override;

  // The name chosen (valid after IDOK; in the notifications, the current selection).
  std::string GetPathName() const;
  std::string GetFileName() const;
  std::string GetFileExt() const;
  // The folder shown now (while the dialog runs).
  std::string GetFolderPath() const;
  // The filter index chosen (1-based), also while the dialog runs.
  DWORD GetFilterIndex() const { return m_ofn.nFilterIndex; }
  // The description/pattern pairs in the system's form: each entry zero-terminated, the whole
  // list ended by a second zero.
  void SetFilter(const std::string& zeroSeparated);
  void SetTitle(const std::string& title);
  void SetDefExt(const std::string& ext);
  void SetFileName(const std::string& name);

  OPENFILENAMEA m_ofn{};
  BOOL m_bOpenFileDialog;

  // Turns "a|b|c|d|" into "a\0b\0c\0d\0\0".
  static std::string FilterFromBars(const std::string& withBars);

 protected:
  // Called from the notifications; FALSE from OnFileNameOK keeps the dialog open.
  virtual BOOL OnFileNameOK() { return TRUE; }
  virtual void OnInitDone() {}
  virtual void OnSelChange() {}
  virtual void OnFolderChange() {}
  virtual void OnTypeChange() {}

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // The system's dialog ends itself; OK and Cancel of the child template are not used.
  void OnOK() override {}
  void OnCancel() override {}

  // What the system's dialog answers for a CDM_ message with a text reply.
  std::string GetDialogText(UINT message) const;

 private:
  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  std::string m_filter;
  std::string m_title;
  std::string m_defExt;
  char m_fileBuffer[MAX_PATH] = {};
  char m_fileTitle[MAX_PATH] = {};
  bool m_bound = false;
};
