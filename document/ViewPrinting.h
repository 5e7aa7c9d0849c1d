// The image view's print steps, as free functions the view calls from its overrides of the
// framework's print steps. They print the document's image by the program's print layout.
#pragma once

#include <windows.h>

#include "common/Settings.h"

class CView;
class CPrintInfo;
class CDisplayBitmap;

namespace viewprinting {

// Prepare: the print dialog (no page numbers, no selection), skipped with "print without the
// Print dialog" (OptionsA 0x100) in favour of the current printer. When that fails with a
// common-dialog error (a printer fault, no printer at all), message 151 with the stop icon; a
// cancelled dialog says nothing. FALSE stops the job.
BOOL PreparePrinting(CView& view, CPrintInfo* pInfo, DWORD optionsA);
// Begin: the page size of the layout becomes the printer's printable area, and the job gets the
// layout's page count.
void BeginPrinting(HDC hDC, CPrintInfo* pInfo, PrintLayoutSettings& layout);
// Print page pInfo->m_nCurPage of the image by the layout, in tenths of a millimetre with y
// growing upwards. Nothing for no image or a print mode outside 1..4.
void PrintPage(HDC hDC, CPrintInfo* pInfo, const PrintLayoutSettings& layout, CDisplayBitmap* image);

}  // namespace viewprinting
