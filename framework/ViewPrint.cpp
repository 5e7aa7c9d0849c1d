// CView's print steps and the print job that runs them on the printer.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <memory>
#include <string>

#include "Document.h"
#include "Handles.h"
#include "FrameWnd.h"
#include "PrintPreviewWnd.h"
#include "PrintDialog.h"
#include "PrintInfo.h"
#include "View.h"
#include "WinApp.h"

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
void CView::OnBeginPrinting(HDC, CPrintInfo*) {}
void CView::OnPrint(HDC hDC, CPrintInfo*) { OnDraw(hDC); }
void CView::OnEndPrinting(HDC, CPrintInfo*) {}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
  CWinApp* app = AfxGetApp();
  if (!app) return FALSE;
  CPrintDialog& dialog = *pInfo->m_pPD;
  if (pInfo->m_bPreview || pInfo->m_bDirect) {
    if (!app->GetPrinterDeviceDefaults(&dialog.m_pd)) return FALSE;
    if (!dialog.CreatePrinterDC()) {
      app->SetPrintDialogError(PDERR_PRINTERNOTFOUND);  // chosen once, gone now
      return FALSE;
    }
    dialog.m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
    dialog.m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
  } else {
    if (app->DoPrintDialog(&dialog) != IDOK) return FALSE;
    // A dialog that gave no DC (some drivers) gets one made from its choice.
    if (!dialog.GetPrinterDC() && !dialog.CreatePrinterDC()) {
      app->SetPrintDialogError(PDERR_PRINTERNOTFOUND);
      return FALSE;
    }
  }
  pInfo->m_nNumPreviewPages = app->m_nNumPreviewPages ? app->m_nNumPreviewPages : 1;
  return TRUE;
}

void CView::RunPrintJob(BOOL bDirect) {
  CPrintInfo info;
  info.m_bDirect = bDirect;
  if (!OnPreparePrinting(&info)) return;
  HDC hDC = info.m_pPD->GetPrinterDC();
  if (!hDC) return;
  std::string title = m_pDocument ? m_pDocument->GetTitle() : std::string();
  if (title.empty()) title = AfxGetAppName() ? AfxGetAppName() : "Print";
  DOCINFOA doc{};
  doc.cbSize = sizeof(doc);
  doc.lpszDocName = title.c_str();
  OnBeginPrinting(hDC, &info);
  if (::StartDocA(hDC, &doc) <= 0) {
    OnEndPrinting(hDC, &info);
    return;
  }
  bool failed = false;
  UINT last = info.GetToPage() < info.GetMaxPage() ? info.GetToPage() : info.GetMaxPage();
  for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= last && info.m_bContinuePrinting; ++info.m_nCurPage) {
    if (::StartPage(hDC) <= 0) {
      failed = true;
      break;
    }
    {
      SavedDCState saved(hDC);  // each page starts from the printer's own mapping
      info.m_rectDraw = RECT{0, 0, ::GetDeviceCaps(hDC, HORZRES), ::GetDeviceCaps(hDC, VERTRES)};
      OnPrint(hDC, &info);
    }
    if (::EndPage(hDC) <= 0) {
      failed = true;
      break;
    }
  }
  if (failed) ::AbortDoc(hDC);
  else ::EndDoc(hDC);
  OnEndPrinting(hDC, &info);
}

void CView::OnFilePrintPreview() {
  auto info = std::make_unique<CPrintInfo>();
  info->m_bPreview = TRUE;
  if (!OnPreparePrinting(info.get())) return;
  CFrameWnd* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
  if (!frame) frame = GetParentFrame();
  CPrintPreviewWnd::Show(frame, this, std::move(info));
}
