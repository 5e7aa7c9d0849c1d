#include "HotkeyOptionsPage.h"

#include "resources/OptionsIds.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CHotkeyOptionsPage, CSAPrefsSubDlg)
  ON_BN_CLICKED(IDC_HOT_RESET, OnReset)
END_MESSAGE_MAP()

CHotkeyOptionsPage::CHotkeyOptionsPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_HOTKEY), m_host(host) {}

BOOL CHotkeyOptionsPage::OnInitDialog() {
  WORD table[kHotkeySlotCount] = {};
  m_host.GetLibraryHotkeys(table);
  const KeyNameMap& keys = m_host.KeyNames();
  for (const HotkeyRowIds& row : kHotkeyRows) {
    HWND list = GetDlgItemHwnd(row.keyListId);
    auto none = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("None"));
    ::SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(none), 0);
    for (const auto& [vk, name] : keys) {
      auto index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      if (index >= 0) ::SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), vk);
    }
  }
  ShowCodes(table);
  return CSAPrefsSubDlg::OnInitDialog();
}

void CHotkeyOptionsPage::ShowCodes(const WORD* table) {
  for (const HotkeyRowIds& row : kHotkeyRows) {
    const HotkeyRowState state = HotkeyRowFromCode(table[row.mode]);
    CheckDlgButton(row.ctrlId, state.ctrl ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(row.altId, state.alt ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(row.shiftId, state.shift ? BST_CHECKED : BST_UNCHECKED);
    HWND list = GetDlgItemHwnd(row.keyListId);
    const auto count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
    LRESULT selection = CB_ERR;
    for (LRESULT i = 0; i < count; ++i)
      if (static_cast<UINT>(::SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == state.virtualKey) {
        selection = i;
        break;
      }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
  }
}

void CHotkeyOptionsPage::BuildRowCodes(WORD (&codes)[kHotkeyRowCount]) const {
  for (int i = 0; i < kHotkeyRowCount; ++i) {
    const HotkeyRowIds& row = kHotkeyRows[i];
    HotkeyRowState state;
    state.ctrl = IsDlgButtonChecked(row.ctrlId) == BST_CHECKED;
    state.alt = IsDlgButtonChecked(row.altId) == BST_CHECKED;
    state.shift = IsDlgButtonChecked(row.shiftId) == BST_CHECKED;
    HWND list = GetDlgItemHwnd(row.keyListId);
    const auto index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index != CB_ERR) state.virtualKey = static_cast<UINT>(::SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    codes[i] = HotkeyCodeFromRow(state);
  }
}

void CHotkeyOptionsPage::DoDataExchange(CDataExchange* pDX) {
  CSAPrefsSubDlg::DoDataExchange(pDX);
  if (pDX->m_bSaveAndValidate) BuildRowCodes(m_codes);
}

bool CHotkeyOptionsPage::LeaveCheck() {
  BuildRowCodes(m_codes);
  if (!FindDuplicateHotkey(m_codes, kHotkeyRowCount).Found()) return true;
  AfxMessageBox(IDS_HOTKEY_DUPLICATE, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void CHotkeyOptionsPage::OnReset() {
  HotkeyTable defaults;
  ShowCodes(defaults.hotkey);
}

void CHotkeyOptionsPage::OnOK() {
  WORD table[kHotkeySlotCount] = {};
  m_host.GetLibraryHotkeys(table);
  StoreRowCodes(table, m_codes);
  m_host.UnregisterHotkeys();
  m_host.SetLibraryHotkeys(table);
  m_host.GetLibraryHotkeys(m_host.Settings().m_hotkeys.hotkey);
  m_host.RegisterHotkeys();
}
