#include "ValueControls.h"

#include <commctrl.h>

#include <string>

namespace {

std::string TextOf(HWND control) {
  int length = ::GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  int n = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

}  // namespace

void CValueControls::Init(HWND dialog) { Init(dialog, m_range.start); }

void CValueControls::Init(HWND dialog, int value) {
  m_dialog = dialog;
  m_updating = true;
  if (m_range.editLimit > 0) ::SendMessageA(Item(m_editId), EM_LIMITTEXT, static_cast<WPARAM>(m_range.editLimit), 0);
  ::SendMessageA(Item(m_spinId), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(m_editId)), 0);
  ::SendMessageA(Item(m_spinId), UDM_SETRANGE32, static_cast<WPARAM>(m_range.minimum), m_range.maximum);
  ::SendMessageA(Item(m_sliderId), TBM_SETRANGEMIN, FALSE, m_range.minimum);
  ::SendMessageA(Item(m_sliderId), TBM_SETRANGEMAX, FALSE, m_range.maximum);
  const int page = (m_range.maximum - m_range.minimum) / 10;
  ::SendMessageA(Item(m_sliderId), TBM_SETPAGESIZE, 0, page > 0 ? page : 1);
  m_updating = false;
  SetValue(value);
}

void CValueControls::SetValue(int value) {
  m_updating = true;
  const int shown = ClampToRange(value, m_range);
  ::SendMessageA(Item(m_sliderId), TBM_SETPOS, TRUE, shown);
  ::SendMessageA(Item(m_spinId), UDM_SETPOS32, 0, shown);
  ::SetDlgItemInt(m_dialog, m_editId, static_cast<UINT>(shown), TRUE);
  m_updating = false;
}

bool CValueControls::OnEditChanged() {
  if (m_updating) return false;
  int value = 0;
  if (ReadDialogInt(TextOf(Item(m_editId)), value)) {
    m_updating = true;
    ::SendMessageA(Item(m_sliderId), TBM_SETPOS, TRUE, ClampToRange(value, m_range));
    m_updating = false;
  }
  return true;
}

bool CValueControls::OnSliderMoved() {
  if (m_updating) return false;
  const int position = static_cast<int>(::SendMessageA(Item(m_sliderId), TBM_GETPOS, 0, 0));
  m_updating = true;
  ::SendMessageA(Item(m_spinId), UDM_SETPOS32, 0, position);
  ::SetDlgItemInt(m_dialog, m_editId, static_cast<UINT>(position), TRUE);
  m_updating = false;
  return true;
}

int CValueControls::Value() const {
  return ClampToRange(static_cast<int>(::SendMessageA(Item(m_sliderId), TBM_GETPOS, 0, 0)), m_range);
}

bool CValueControls::EditValue(int& value) const { return ReadDialogInt(TextOf(Item(m_editId)), value); }

void CValueControls::Enable(bool enable) {
  for (int id : {m_editId, m_spinId, m_sliderId}) ::EnableWindow(Item(id), enable ? TRUE : FALSE);
}
