#include "Dialog.h"

#include "AfxState.h"
#include "WinApp.h"

namespace {

// Every dialog is subclassed to AfxWndProc when it is made, so its procedure has nothing left
// to do: the dialog manager's defaults apply to whatever the object does not handle.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  m_pParentWnd = pParentWnd;
  return lpDialogTemplate != nullptr;
}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE* phInst) const {
  *phInst = AfxGetResourceHandle();
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  if (!m_lpszTemplateName) return nullptr;
  HINSTANCE candidates[2] = {AfxGetResourceHandle(), AfxGetInstanceHandle()};
  for (HINSTANCE hInst : candidates) {
    HRSRC res = ::FindResourceA(hInst, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!res) continue;
    HGLOBAL h = ::LoadResource(hInst, res);
    if (!h) continue;
    *phInst = hInst;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(h));
  }
  return nullptr;
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst) {
  if (m_hWnd || !lpTemplate) return FALSE;
  m_nFlags |= WF_CREATING;
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpTemplate, hWndParent, AfxDlgProc, reinterpret_cast<LPARAM>(this));
  AfxUnhookWindowCreate();
  m_nFlags &= ~WF_CREATING;
  if (!hWnd) {
    if (m_hWnd) Detach();  // bound, then destroyed again while it was made
    m_pfnSuper = nullptr;
    return FALSE;
  }
  m_nFlags |= WF_OWNSWINDOW;
  return TRUE;
}

HWND CDialog::PreModal() {
  HWND hWnd = AfxGetSafeHwnd(m_pParentWnd);
  bool explicitParent = hWnd != nullptr;
  if (!hWnd) hWnd = AfxGetSafeHwnd(AfxGetMainWnd());
  // A popup cannot be owned by a child window.
  while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  // Over whatever the owner shows on top (another modal dialog).
  if (hWnd && !explicitParent) hWnd = ::GetLastActivePopup(hWnd);
  return hWnd;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(&hInst);
  if (!lpTemplate) return -1;

  HWND hWndParent = PreModal();
  bool enableParent = false;
  if (hWndParent && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
    ::EnableWindow(hWndParent, FALSE);
    enableParent = true;
  }

  m_bModal = TRUE;
  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  if (CreateFromTemplate(lpTemplate, hWndParent, hInst) && (m_nFlags & WF_CONTINUEMODAL)) {
    DWORD flags = MLF_SHOWONIDLE;
    if (GetStyle() & DS_NOIDLEMSG) flags |= MLF_NOIDLEMSG;
    RunModalLoop(flags);
  }
  m_nFlags &= ~WF_CONTINUEMODAL;

  // Give the activation back to the owner before the dialog disappears.
  bool wasActive = m_hWnd && ::GetActiveWindow() == m_hWnd;
  if (enableParent) ::EnableWindow(hWndParent, TRUE);
  if (hWndParent && wasActive && ::IsWindowVisible(hWndParent)) ::SetActiveWindow(hWndParent);
  if (m_hWnd) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  m_bModal = FALSE;
  return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDHelp = nIDTemplate;
  return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  m_lpDialogTemplate = nullptr;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(&hInst);
  if (!lpTemplate) return FALSE;
  HWND hWndParent = AfxGetSafeHwnd(m_pParentWnd ? m_pParentWnd : AfxGetMainWnd());
  return CreateFromTemplate(lpTemplate, hWndParent, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HWND hWndParent = AfxGetSafeHwnd(m_pParentWnd ? m_pParentWnd : AfxGetMainWnd());
  return CreateFromTemplate(lpDialogTemplate, hWndParent, AfxGetResourceHandle());
}

void CDialog::EndDialog(int nResult) {
  if (m_bModal) {
    EndModalLoop(nResult);
  } else {
    m_nModalResult = nResult;
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
  }
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;  // the user was told; the dialog stays
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (!m_hWnd || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  // A dialog inside another one (a page) leaves the keys to the outer dialog.
  if (GetStyle() & WS_CHILD) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra)) return TRUE;
  if (nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI && nCode != CN_QUERY_HANDLER) return FALSE;
  // Clicks on the dialog's own controls stay in the dialog: a control id that happens to equal
  // a program command must not run that command.
  const MSG* cur = AfxGetCurrentMessage();
  if (nCode == CN_COMMAND && cur->hwnd == m_hWnd && cur->message == WM_COMMAND && cur->lParam != 0) return FALSE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra);
}
