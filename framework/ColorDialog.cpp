#include "ColorDialog.h"

#include "WinApp.h"
#include "Wnd.h"

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF colors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : m_pParentWnd(pParentWnd) {
  m_cc.lStructSize = sizeof(m_cc);
  m_cc.rgbResult = clrInit;
  m_cc.Flags = dwFlags | CC_RGBINIT;
  m_cc.lpCustColors = GetSavedCustomColors();
}

INT_PTR CColorDialog::DoModal() {
  HWND owner = AfxGetSafeHwnd(m_pParentWnd);
  if (!owner) owner = AfxGetSafeHwnd(AfxGetMainWnd());
  // A popup cannot be owned by a child window.
  while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  m_cc.hwndOwner = owner;
  m_cc.hInstance = nullptr;
  return ::ChooseColorA(&m_cc) ? IDOK : IDCANCEL;
}
