// CDialog: dialogs from resource templates. DoModal runs a modal dialog in the framework's own
// modal loop (so PreTranslateMessage works inside it and its pages); Create makes a modeless
// or child dialog. OK runs the data exchange with validation and keeps the dialog open when a
// value is refused.
#pragma once

#include <windows.h>

#include "DataExchange.h"
#include "Wnd.h"

class CDialog : public CWnd {
 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

  // Uses an in-memory template for the next DoModal (the memory must outlive the dialog).
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

  // Shows the dialog modally; the value given to EndDialog (IDOK, IDCANCEL, ...), or -1 when
  // the dialog could not be made.
  virtual INT_PTR DoModal();
  // Makes a modeless dialog (a child dialog when the template has WS_CHILD).
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
  // Ends a modal dialog with nResult (a modeless one is only hidden; its owner destroys it).
  void EndDialog(int nResult);

  // Loads the controls (UpdateData(FALSE)); TRUE lets the system focus the first control.
  virtual BOOL OnInitDialog();
  // Fetches and validates the controls (UpdateData(TRUE)); ends with IDOK only when that
  // succeeded.
  virtual void OnOK();
  virtual void OnCancel();

  void NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(HWND hWndCtrl) { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)hWndCtrl, 1); }
  void SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Own map, then the application object.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

  UINT m_nIDHelp = 0;
  LPCSTR m_lpszTemplateName = nullptr;  // MAKEINTRESOURCE(id) or a name
  LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
  CWnd* m_pParentWnd = nullptr;

 protected:
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  // The window that owns the modal dialog (also disabled while it runs), or null.
  HWND PreModal();

  DECLARE_MESSAGE_MAP()

 private:
  BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst);
  LPCDLGTEMPLATE LoadTemplate(HINSTANCE* phInst) const;
  BOOL m_bModal = FALSE;
};
