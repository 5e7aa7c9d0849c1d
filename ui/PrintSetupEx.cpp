#include "PrintSetupEx.h"

#include <dlgs.h>

#include "PrintLayoutDlg.h"
#include "document/PrintLayoutMath.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "resources/PrintIds.h"
#include "resources/resource.h"

CPrintSetupEx::CPrintSetupEx(PrintLayoutSettings& layout, CDisplayBitmap* image, CWnd* pParentWnd)
    : CPrintDialog(TRUE, PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                   pParentWnd),
      m_layout(layout), m_image(image) {
  m_pd.Flags |= PD_ENABLESETUPTEMPLATE;
  m_pd.hInstance = AfxGetResourceHandle();
  m_pd.lpSetupTemplateName = MAKEINTRESOURCEA(IDD_PRINTSETUP);
}

SIZE CPrintSetupEx::GetChosenPaperSize() const {
  // Locked only for this look: the dialog may replace the block when it ends.
  GlobalLockGuard lock(m_pd.hDevMode);
  const auto* mode = static_cast<const DEVMODEA*>(lock.get());
  short paper = mode ? mode->dmPaperSize : 0;
  short orientation = mode ? mode->dmOrientation : DMORIENT_PORTRAIT;
  if (m_hWnd) {
    // The dialog keeps the user's choice in its controls until OK.
    HWND list = ::GetDlgItem(m_hWnd, cmb2);
    LRESULT sel = list ? ::SendMessageA(list, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (sel != CB_ERR) {
      LRESULT id = ::SendMessageA(list, CB_GETITEMDATA, sel, 0);
      if (id != CB_ERR && id > 0 && id < 0x7FFF) paper = static_cast<short>(id);
    }
    if (::IsDlgButtonChecked(m_hWnd, rad2) == BST_CHECKED) orientation = DMORIENT_LANDSCAPE;
    else if (::IsDlgButtonChecked(m_hWnd, rad1) == BST_CHECKED) orientation = DMORIENT_PORTRAIT;
  }
  if (!mode && paper == 0) return SIZE{0, 0};
  return printlayout::PaperPageSize(paper, orientation, mode ? mode->dmPaperWidth : 0, mode ? mode->dmPaperLength : 0);
}

BOOL CPrintSetupEx::OnSetupCommand(UINT nID) {
  if (nID != IDC_PRINTSETUP_LAYOUT) return FALSE;
  EditPrintLayout(m_layout, m_image, true, GetChosenPaperSize(), CWnd::FromHandle(m_hWnd));
  return TRUE;
}

void RunPrintSetup(PrintLayoutSettings& layout, CDisplayBitmap* image, CWnd* pParentWnd) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  CPrintSetupEx dialog(layout, image, pParentWnd);
  if (app->DoPrintDialog(&dialog) != IDOK && app->GetPrintDialogError() != 0)
    AfxMessageBox(IDS_PRINTER_TROUBLE, MB_OK | MB_ICONSTOP);
}
