// The application's printer choice: the device mode and names that Print Setup changes and
// every print starts from.
#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

#include "PrintDialog.h"
#include "WinApp.h"

namespace {
// Whether the system knows any printer at all (the print dialogs cannot do anything without one).
bool AnyPrinterInstalled() {
  DWORD needed = 0, count = 0;
  ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  return needed > 0;
}
}  // namespace

void CWinApp::SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode) {
  if (hDevNames != m_hDevNames.get()) m_hDevNames.reset(hDevNames);
  if (hDevMode != m_hDevMode.get()) m_hDevMode.reset(hDevMode);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg) {
  m_dwPrintError = 0;
  if (!m_hDevNames) {
    if (!AnyPrinterInstalled()) {
      m_dwPrintError = PDERR_NODEFAULTPRN;
      return FALSE;
    }
    PRINTDLGA pd{};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT;
    if (!::PrintDlgA(&pd)) {
      m_dwPrintError = ::CommDlgExtendedError();
      if (!m_dwPrintError) m_dwPrintError = PDERR_NODEFAULTPRN;
      return FALSE;
    }
    SelectPrinter(pd.hDevNames, pd.hDevMode);
  }
  pPrintDlg->hDevNames = m_hDevNames.get();
  pPrintDlg->hDevMode = m_hDevMode.get();
  return TRUE;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD) {
  m_dwPrintError = 0;
  if (!AnyPrinterInstalled()) {
    m_dwPrintError = PDERR_NODEFAULTPRN;
    return IDCANCEL;
  }
  // The dialog works on the application's blocks and may replace them.
  pPD->m_pd.hDevMode = m_hDevMode.release();
  pPD->m_pd.hDevNames = m_hDevNames.release();
  INT_PTR result = pPD->DoModal();
  if (result != IDOK) m_dwPrintError = ::CommDlgExtendedError();
  m_hDevMode.reset(pPD->m_pd.hDevMode);
  m_hDevNames.reset(pPD->m_pd.hDevNames);
  return result;
}

void CWinApp::OnFilePrintSetup() {
  CPrintDialog dialog(TRUE);
  DoPrintDialog(&dialog);
}
