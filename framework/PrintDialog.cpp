#include "PrintDialog.h"

#include "Wnd.h"
#include "WinApp.h"

namespace {
std::string DevNamesPart(HGLOBAL hDevNames, WORD DEVNAMES::*offset) {
  if (!hDevNames) return {};
  auto* names = static_cast<DEVNAMES*>(::GlobalLock(hDevNames));
  if (!names) return {};
  std::string text = reinterpret_cast<const char*>(names) + (names->*offset);
  ::GlobalUnlock(hDevNames);
  return text;
}
}  // namespace

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : m_pParentWnd(pParentWnd) {
  m_pd.lStructSize = sizeof(m_pd);
  m_pd.Flags = dwFlags | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
  if (bPrintSetupOnly) m_pd.Flags |= PD_PRINTSETUP;
  else m_pd.Flags |= PD_RETURNDC;
  m_pd.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(&CPrintDialog::HookProc);
  m_pd.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(&CPrintDialog::HookProc);
  m_pd.lCustData = reinterpret_cast<LPARAM>(this);
}

CPrintDialog::~CPrintDialog() {
  if (m_pLockedDevMode && m_pd.hDevMode) ::GlobalUnlock(m_pd.hDevMode);
  // The device mode and names belong to the application; a DC made for this dialog is the
  // caller's once handed out, so only a DC nobody took is deleted.
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal() {
  if (m_pLockedDevMode && m_pd.hDevMode) ::GlobalUnlock(m_pd.hDevMode);
  m_pLockedDevMode = nullptr;
  if (!m_pd.hwndOwner) {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_pd.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
  }
  if (m_pd.hDC) {
    ::DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  BOOL ok = ::PrintDlgA(&m_pd);
  m_hWnd = nullptr;
  return ok ? IDOK : IDCANCEL;
}

HDC CPrintDialog::CreatePrinterDC() {
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
  m_pd.hDC = nullptr;
  std::string driver = GetDriverName(), device = GetDeviceName();
  if (device.empty()) return nullptr;
  DEVMODEA* mode = GetDevMode();
  m_pd.hDC = ::CreateDCA(driver.empty() ? nullptr : driver.c_str(), device.c_str(), nullptr, mode);
  return m_pd.hDC;
}

BOOL CPrintDialog::GetDefaults() {
  DWORD flags = m_pd.Flags;
  m_pd.Flags = (flags & ~(PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_ENABLESETUPTEMPLATE)) |
               PD_RETURNDEFAULT;
  m_pd.hDevMode = nullptr;
  m_pd.hDevNames = nullptr;
  BOOL ok = ::PrintDlgA(&m_pd);
  m_pd.Flags = flags;
  return ok;
}

DEVMODEA* CPrintDialog::GetDevMode() const {
  if (!m_pd.hDevMode) return nullptr;
  if (!m_pLockedDevMode) m_pLockedDevMode = ::GlobalLock(m_pd.hDevMode);
  return static_cast<DEVMODEA*>(m_pLockedDevMode);
}

std::string CPrintDialog::GetDeviceName() const { return DevNamesPart(m_pd.hDevNames, &DEVNAMES::wDeviceOffset); }
std::string CPrintDialog::GetDriverName() const { return DevNamesPart(m_pd.hDevNames, &DEVNAMES::wDriverOffset); }
std::string CPrintDialog::GetPortName() const { return DevNamesPart(m_pd.hDevNames, &DEVNAMES::wOutputOffset); }

BOOL CPrintDialog::OnSetupCommand(UINT) { return FALSE; }

UINT_PTR CALLBACK CPrintDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static const char kProp[] = "Lumatre.PrintDialog";
  if (message == WM_INITDIALOG) {
    auto* pd = reinterpret_cast<PRINTDLGA*>(lParam);
    auto* self = pd ? reinterpret_cast<CPrintDialog*>(pd->lCustData) : nullptr;
    if (self) {
      ::SetPropA(hWnd, kProp, self);
      self->m_hWnd = hWnd;
      if (self->PrintSetupOnly()) self->OnInitSetupDialog();
    }
    return TRUE;
  }
  auto* self = static_cast<CPrintDialog*>(::GetPropA(hWnd, kProp));
  if (message == WM_DESTROY) {
    ::RemovePropA(hWnd, kProp);
    return FALSE;
  }
  if (self && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    return self->OnSetupCommand(LOWORD(wParam)) ? TRUE : FALSE;
  }
  return FALSE;
}
