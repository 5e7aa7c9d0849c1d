// CPrintInfo: what a print job or a print preview tells the view's print steps: the dialog with
// the page range, the page being printed, whether it is a preview, and where the page lies on the
// preview's screen.
#pragma once

#include <windows.h>

class CPrintDialog;

class CPrintInfo {
 public:
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  void SetMinPage(UINT nMinPage);
  void SetMaxPage(UINT nMaxPage);
  UINT GetMinPage() const;
  UINT GetMaxPage() const;
  // The range the user chose (all pages unless the dialog said otherwise).
  UINT GetFromPage() const;
  UINT GetToPage() const;

  CPrintDialog* m_pPD;          // owned
  BOOL m_bDirect = FALSE;       // no print dialog: the current printer as it is
  BOOL m_bPreview = FALSE;      // drawing for the preview window, not the printer
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;  // pages side by side in the preview
  RECT m_rectDraw{};            // the page's printable area in device units
  // Preview only: the page's rectangle on the screen, in pixels, and the printer's printable
  // area in tenths of a millimetre, so that drawing in tenths of a millimetre lands scaled.
  RECT m_rectPreviewPage{};
  SIZE m_sizePrintable{};
};

// Sets the mapping every print step draws in: 0.1 mm per unit with y growing upwards. On a
// printer that is MM_LOMETRIC; in the preview the same units are scaled onto the page's
// rectangle on the screen.
void AfxSetLoMetricMapping(HDC hDC, const CPrintInfo& info);
