#include "PrefsSubDlg.h"

#include <cstring>

CSAPrefsSubDlg::CSAPrefsSubDlg(UINT nID, CWnd* pParent) : CDialog(nID, pParent), m_id(nID) {}

PageKeyAction DecidePageKey(UINT message, WPARAM key, bool focusIsEdit, DWORD focusStyle, bool focusIsOpenList) {
  if (message != WM_KEYDOWN) return PageKeyAction::kPass;
  if (key == VK_ESCAPE) return focusIsOpenList ? PageKeyAction::kPass : PageKeyAction::kSwallow;
  if (key == VK_RETURN && focusIsEdit && (focusStyle & ES_MULTILINE) && (focusStyle & ES_WANTRETURN))
    return PageKeyAction::kToEditAsChar;
  return PageKeyAction::kPass;
}

BOOL CSAPrefsSubDlg::PreTranslateMessage(MSG* pMsg) {
  if (!m_hWnd || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) return FALSE;
  HWND focus = ::GetFocus();
  char className[16] = "";
  if (focus) ::GetClassNameA(focus, className, sizeof className);
  const bool isEdit = _stricmp(className, "Edit") == 0;
  const bool isOpenList = _stricmp(className, "ComboBox") == 0 && ::SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0);
  const DWORD style = focus ? static_cast<DWORD>(::GetWindowLongPtrA(focus, GWL_STYLE)) : 0;
  switch (DecidePageKey(pMsg->message, pMsg->wParam, isEdit, style, isOpenList)) {
    case PageKeyAction::kSwallow:
      return TRUE;
    case PageKeyAction::kToEditAsChar:
      ::SendMessageA(focus, WM_CHAR, pMsg->wParam, pMsg->lParam);
      return TRUE;
    case PageKeyAction::kPass:
      break;
  }
  return CDialog::PreTranslateMessage(pMsg);
}
