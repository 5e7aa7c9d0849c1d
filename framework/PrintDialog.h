// CPrintDialog: the platform's print dialog (or, with bPrintSetupOnly, its print setup dialog).
// DoModal starts from the application's printer choice and hands the device mode and names
// back to it on OK (see CWinApp::DoPrintDialog). A derived dialog can replace the setup
// template and handle its own buttons through OnSetupCommand.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

class CWnd;

class CPrintDialog {
 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  virtual ~CPrintDialog();
  CPrintDialog(const CPrintDialog&) = delete;
  CPrintDialog& operator=(const CPrintDialog&) = delete;

  // IDOK, or IDCANCEL when cancelled or failed (CommDlgExtendedError tells which).
  virtual INT_PTR DoModal();
  // The printer DC of the last OK (PD_RETURNDC), handed to the caller; null when none.
  HDC GetPrinterDC() const { return m_pd.hDC; }
  // Makes a DC for the chosen printer from the dialog's device names and mode.
  HDC CreatePrinterDC();
  // Fills the device mode and names of the default printer without showing anything.
  BOOL GetDefaults();
  // The device mode of the dialog (locked for as long as the dialog runs); null when none.
  DEVMODEA* GetDevMode() const;
  std::string GetDeviceName() const;
  std::string GetDriverName() const;
  std::string GetPortName() const;
  BOOL PrintSetupOnly() const { return (m_pd.Flags & PD_PRINTSETUP) != 0; }
  // The dialog's window while it shows.
  HWND GetSafeHwnd() const { return m_hWnd; }

  PRINTDLGA m_pd{};

 protected:
  // A button of the (custom) setup dialog was pressed; TRUE when handled.
  virtual BOOL OnSetupCommand(UINT nID);
  // The setup dialog has just been made.
  virtual void OnInitSetupDialog() {}
  CWnd* m_pParentWnd = nullptr;
  HWND m_hWnd = nullptr;

 private:
  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  mutable void* m_pLockedDevMode = nullptr;
};
