// CSAPrefsSubDlg: the base of the Options pages. A page is a child dialog of the Options dialog,
// made from its template the first time it is shown. The Options dialog fetches its controls
// (UpdateData) and asks its leave check when OK is pressed, then calls its OnOK (which writes
// the page's values to the program) or, on Cancel, its OnCancel.
//
// Keys inside a page: Escape is swallowed (only an open drop-down list still closes); Enter on a multi-line edit that accepts Return goes
// to that edit; everything else is left to the Options dialog.
#pragma once

#include "framework/Framework.h"

class CSAPrefsSubDlg : public CDialog {
 public:
  explicit CSAPrefsSubDlg(UINT nID, CWnd* pParent = nullptr);

  UINT GetID() const { return m_id; }

  // True when the dialog may be left with OK (the values fetched already make sense together).
  virtual bool LeaveCheck() { return true; }

  // The page's own OK and Cancel: write the values to the program / forget them. Neither ends
  // anything.
  void OnOK() override {}
  void OnCancel() override {}

  BOOL PreTranslateMessage(MSG* pMsg) override;

 private:
  UINT m_id;
};

// What a page does with a key message: swallow it, give it to the focused edit as a character,
// or leave it to the dialogs.
enum class PageKeyAction { kPass, kSwallow, kToEditAsChar };
// focusStyle and focusIsEdit describe the focused window; focusIsOpenList: it is a combo box
// whose list is dropped down (Escape then closes the list, as everywhere).
PageKeyAction DecidePageKey(UINT message, WPARAM key, bool focusIsEdit, DWORD focusStyle, bool focusIsOpenList = false);
