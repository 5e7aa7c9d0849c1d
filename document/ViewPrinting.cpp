#include "ViewPrinting.h"

#include <commdlg.h>

#include "PrintLayoutMath.h"
#include "framework/MessageBox.h"
#include "framework/PrintDialog.h"
#include "framework/PrintInfo.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

namespace viewprinting {

namespace {
// SaveDC / RestoreDC around a change of the mapping.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
  ~SavedDC() {
    if (m_saved) ::RestoreDC(m_dc, m_saved);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC m_dc;
  int m_saved;
};

// A layout rectangle (y down from the page's top) in the print mapping (y up).
RECT ToPrintMapping(const RECT& r) { return RECT{r.left, -r.top, r.right, -r.bottom}; }

void Transfer(HDC hDC, const CPrintInfo& info, CDisplayBitmap& image, const RECT& dest, const RECT* source) {
  RECT target = ToPrintMapping(dest);
  if (!info.m_bPreview) {
    image.DrawDIBits(hDC, &target, source, nullptr, true, HALFTONE, SRCCOPY);
    return;
  }
  // The preview draws in screen pixels: DrawDib and StretchBlt get the device rectangle.
  ::LPtoDP(hDC, reinterpret_cast<POINT*>(&target), 2);
  SavedDC saved(hDC);
  ::SetMapMode(hDC, MM_TEXT);
  ::SetWindowOrgEx(hDC, 0, 0, nullptr);
  ::SetViewportOrgEx(hDC, 0, 0, nullptr);
  if (!source) image.DrawEx(hDC, &target, nullptr);  // DrawDib
  else image.DrawEx(hDC, &target, source, nullptr, true, COLORONCOLOR, SRCCOPY);
}
}  // namespace

BOOL PreparePrinting(CView& view, CPrintInfo* pInfo, DWORD optionsA) {
  pInfo->m_pPD->m_pd.Flags |= PD_NOPAGENUMS | PD_NOSELECTION;
  if (optionsA & kOptPrintWithoutDialog) pInfo->m_bDirect = TRUE;
  if (view.DoPreparePrinting(pInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  if (app && app->GetPrintDialogError() != 0) AfxMessageBox(IDS_PRINTER_TROUBLE, MB_OK | MB_ICONSTOP);
  return FALSE;
}

void BeginPrinting(HDC hDC, CPrintInfo* pInfo, PrintLayoutSettings& layout) {
  layout.pageSize = SIZE{::GetDeviceCaps(hDC, HORZSIZE) * 10, ::GetDeviceCaps(hDC, VERTSIZE) * 10};
  pInfo->SetMaxPage(static_cast<UINT>(printlayout::PageCount(layout)));
}

void PrintPage(HDC hDC, CPrintInfo* pInfo, const PrintLayoutSettings& layout, CDisplayBitmap* image) {
  AfxSetLoMetricMapping(hDC, *pInfo);
  if (!image || image->IsEmpty()) return;
  const LONG w = image->GetWidth(), h = image->GetHeight();
  const LONG page = static_cast<LONG>(pInfo->m_nCurPage);
  if (printlayout::IsFitMode(layout.printMode)) {
    if (page != 1) return;
    RECT dest = printlayout::FitImageRect(layout, w, h);
    if (IsRectEmpty(&dest)) return;
    Transfer(hDC, *pInfo, *image, dest, nullptr);
  } else if (printlayout::IsTiledMode(layout.printMode)) {
    printlayout::TileSlice slice = printlayout::TileForPage(layout, w, h, page);
    if (!slice.valid) return;
    Transfer(hDC, *pInfo, *image, slice.dest, slice.wholeImage ? nullptr : &slice.source);
  }
}

}  // namespace viewprinting
