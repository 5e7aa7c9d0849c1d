// CColorDialog: the system's colour chooser (ChooseColor). The sixteen custom colours are kept
// for the whole process, as users expect between two openings.
//
//   CColorDialog dlg(current, CC_FULLOPEN | CC_ANYCOLOR, this);
//   if (dlg.DoModal() == IDOK) current = dlg.GetColor();
#pragma once

#include <windows.h>

#include <commdlg.h>

class CWnd;

class CColorDialog {
 public:
  // CC_RGBINIT is added (the chooser starts at clrInit).
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

  // IDOK when a colour was chosen, IDCANCEL otherwise.
  INT_PTR DoModal();
  COLORREF GetColor() const { return m_cc.rgbResult; }

  CHOOSECOLORA m_cc{};

  // The custom colours shared by every chooser of the process.
  static COLORREF* GetSavedCustomColors();

 private:
  CWnd* m_pParentWnd;
};
