// CPrintLayoutDlg: "Print Layout", reached from the print setup dialog's "&Layout" button. It
// edits a working copy of the program's print layout on its "Layout" page, shows the result in
// its preview, and hands the copy back only when it ends with OK.
#pragma once

#include <windows.h>

#include "LayoutOptionsPage.h"
#include "LayoutPreview.h"
#include "common/Settings.h"
#include "framework/Dialog.h"
#include "framework/TabCtrl.h"

class CDisplayBitmap;

class CPrintLayoutDlg : public CDialog {
 public:
  // layout: copied into the working copy. image: the active document's picture, or null.
  // paper: the page size of the paper chosen in print setup (0.1 mm); fromPrintSetup false
  // (or an unknown paper) previews on A4.
  CPrintLayoutDlg(const PrintLayoutSettings& layout, CDisplayBitmap* image, bool fromPrintSetup, SIZE paper,
                  CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  // The working copy: after IDOK, what the user chose.
  const PrintLayoutSettings& GetLayout() const { return m_layout; }

 protected:
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  PrintLayoutSettings m_layout;
  CDisplayBitmap* m_image;
  bool m_fromPrintSetup;
  SIZE m_paper;
  CTabCtrl m_tab;
  CLayoutPreview m_preview;
  CLayoutOptionsPage m_page;
};

// "&Layout": runs the dialog on a copy of `layout` and stores the copy back only on OK. TRUE
// when it was stored.
BOOL EditPrintLayout(PrintLayoutSettings& layout, CDisplayBitmap* image, bool fromPrintSetup, SIZE paper,
                     CWnd* pParent);
