// CPrintSetupEx: the platform's print setup dialog on the program's own template (1539) with a
// "&Layout" button that opens the print layout dialog on the program's layout.
#pragma once

#include <windows.h>

#include "common/Settings.h"
#include "framework/PrintDialog.h"

class CDisplayBitmap;
class CWnd;

class CPrintSetupEx : public CPrintDialog {
 public:
  // layout: the program's print layout, changed by "&Layout" ... OK. image: the active
  // document's picture for the layout preview, or null.
  CPrintSetupEx(PrintLayoutSettings& layout, CDisplayBitmap* image, CWnd* pParentWnd = nullptr);

  // The page size (0.1 mm) of the paper chosen in the dialog now: its paper list and orientation
  // buttons while it shows, otherwise its device mode; 0 x 0 when there is none.
  SIZE GetChosenPaperSize() const;

 protected:
  BOOL OnSetupCommand(UINT nID) override;

 private:
  PrintLayoutSettings& m_layout;
  CDisplayBitmap* m_image;
};

// File > Print Setup: runs CPrintSetupEx on the application's printer choice; message 151 (stop
// icon) when the platform reports a common-dialog error, nothing when cancelled.
void RunPrintSetup(PrintLayoutSettings& layout, CDisplayBitmap* image, CWnd* pParentWnd = nullptr);
