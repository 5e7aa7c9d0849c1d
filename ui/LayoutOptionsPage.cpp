#include "LayoutOptionsPage.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/PrintIds.h"
#include "resources/resource.h"

namespace {
constexpr UINT kEdits[] = {IDC_LAYOUT_X, IDC_LAYOUT_Y, IDC_LAYOUT_LEFT, IDC_LAYOUT_TOP, IDC_LAYOUT_RIGHT,
                           IDC_LAYOUT_BOTTOM};
constexpr UINT kSpins[] = {IDC_LAYOUT_X_SPIN, IDC_LAYOUT_Y_SPIN, IDC_LAYOUT_LEFT_SPIN, IDC_LAYOUT_TOP_SPIN,
                           IDC_LAYOUT_RIGHT_SPIN, IDC_LAYOUT_BOTTOM_SPIN};
constexpr UINT kUnitLabels[] = {IDC_LAYOUT_X_UNIT,    IDC_LAYOUT_Y_UNIT,     IDC_LAYOUT_LEFT_UNIT,
                                IDC_LAYOUT_TOP_UNIT, IDC_LAYOUT_RIGHT_UNIT, IDC_LAYOUT_BOTTOM_UNIT};

bool IsMargin(UINT id) {
  return id == IDC_LAYOUT_LEFT || id == IDC_LAYOUT_TOP || id == IDC_LAYOUT_RIGHT || id == IDC_LAYOUT_BOTTOM;
}
}  // namespace

BEGIN_MESSAGE_MAP(CLayoutOptionsPage, CDialog)
  ON_BN_CLICKED(IDC_LAYOUT_INCHES, OnInches)
  ON_BN_CLICKED(IDC_LAYOUT_CENTIMETERS, OnCentimeters)
  ON_BN_CLICKED(IDC_LAYOUT_CENTER_H, OnCenterHorizontally)
  ON_BN_CLICKED(IDC_LAYOUT_CENTER_V, OnCenterVertically)
  ON_CBN_SELCHANGE(IDC_LAYOUT_METHOD, OnMethodChange)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_LAYOUT_LEFT, IDC_LAYOUT_BOTTOM, OnEditChange)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_LAYOUT_X, IDC_LAYOUT_X, OnEditChange)
  ON_CONTROL_RANGE(EN_CHANGE, IDC_LAYOUT_Y, IDC_LAYOUT_Y, OnEditChange)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_LAYOUT_LEFT, IDC_LAYOUT_BOTTOM, OnEditKillFocus)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_LAYOUT_X, IDC_LAYOUT_X, OnEditKillFocus)
  ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_LAYOUT_Y, IDC_LAYOUT_Y, OnEditKillFocus)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_LAYOUT_X_SPIN, IDC_LAYOUT_X_SPIN, OnSpin)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_LAYOUT_Y_SPIN, IDC_LAYOUT_Y_SPIN, OnSpin)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, IDC_LAYOUT_LEFT_SPIN, IDC_LAYOUT_BOTTOM_SPIN, OnSpin)
END_MESSAGE_MAP()

CLayoutOptionsPage::CLayoutOptionsPage(PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight,
                                       std::function<void()> onChange)
    : CDialog(IDD_LAYOUTOPTIONS), m_layout(layout), m_imageWidth(imageWidth), m_imageHeight(imageHeight),
      m_onChange(std::move(onChange)) {}

BOOL CLayoutOptionsPage::OnInitDialog() {
  CDialog::OnInitDialog();
  // The page always opens in centimetres.
  m_unit = printlayout::Unit::Centimeters;
  ::CheckRadioButton(m_hWnd, IDC_LAYOUT_INCHES, IDC_LAYOUT_CENTIMETERS, IDC_LAYOUT_CENTIMETERS);
  ::CheckDlgButton(m_hWnd, IDC_LAYOUT_CENTER_H, (m_layout.imageCenterFlags & 0x1) ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, IDC_LAYOUT_CENTER_V, (m_layout.imageCenterFlags & 0x2) ? BST_CHECKED : BST_UNCHECKED);
  HWND method = GetDlgItemHwnd(IDC_LAYOUT_METHOD);
  ::SendMessageA(method, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Fit to Margins"));
  ::SendMessageA(method, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Height and Width"));
  const bool fit = printlayout::IsFitMode(m_layout.printMode);
  m_layout.printMode = fit ? 1 : 3;
  ::SendMessageA(method, CB_SETCURSEL, fit ? 0 : 1, 0);
  for (UINT spin : kSpins) ::SendDlgItemMessageA(m_hWnd, spin, UDM_SETRANGE32, 0, 100000);
  EnableSize(!fit);
  ShowValues();
  return TRUE;
}

LONG* CLayoutOptionsPage::Field(UINT editId) {
  switch (editId) {
    case IDC_LAYOUT_X: return &m_layout.printSize.cx;
    case IDC_LAYOUT_Y: return &m_layout.printSize.cy;
    case IDC_LAYOUT_LEFT: return &m_layout.margins.left;
    case IDC_LAYOUT_TOP: return &m_layout.margins.top;
    case IDC_LAYOUT_RIGHT: return &m_layout.margins.right;
    case IDC_LAYOUT_BOTTOM: return &m_layout.margins.bottom;
    default: return nullptr;
  }
}

void CLayoutOptionsPage::ShowValue(UINT editId) {
  LONG* field = Field(editId);
  if (!field) return;
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f", printlayout::ShownValue(*field, m_unit));
  m_updating = true;
  ::SetDlgItemTextA(m_hWnd, editId, text);
  m_updating = false;
}

void CLayoutOptionsPage::ShowValues() {
  for (UINT id : kEdits) ShowValue(id);
  const char* label = m_unit == printlayout::Unit::Inches ? "In" : "Cm";
  for (UINT id : kUnitLabels) ::SetDlgItemTextA(m_hWnd, id, label);
}

void CLayoutOptionsPage::EnableSize(bool enable) {
  for (UINT id : {IDC_LAYOUT_X, IDC_LAYOUT_X_SPIN, IDC_LAYOUT_Y, IDC_LAYOUT_Y_SPIN})
    ::EnableWindow(GetDlgItemHwnd(id), enable);
}

void CLayoutOptionsPage::Changed() {
  if (m_onChange) m_onChange();
}

void CLayoutOptionsPage::OnInches() {
  m_unit = printlayout::Unit::Inches;
  ShowValues();
}

void CLayoutOptionsPage::OnCentimeters() {
  m_unit = printlayout::Unit::Centimeters;
  ShowValues();
}

void CLayoutOptionsPage::OnCenterHorizontally() {
  if (::IsDlgButtonChecked(m_hWnd, IDC_LAYOUT_CENTER_H) == BST_CHECKED) m_layout.imageCenterFlags |= 0x1;
  else m_layout.imageCenterFlags &= ~0x1;
  Changed();
}

void CLayoutOptionsPage::OnCenterVertically() {
  if (::IsDlgButtonChecked(m_hWnd, IDC_LAYOUT_CENTER_V) == BST_CHECKED) m_layout.imageCenterFlags |= 0x2;
  else m_layout.imageCenterFlags &= ~0x2;
  Changed();
}

void CLayoutOptionsPage::OnMethodChange() {
  const bool fit = ::SendDlgItemMessageA(m_hWnd, IDC_LAYOUT_METHOD, CB_GETCURSEL, 0, 0) == 0;
  m_layout.printMode = fit ? 1 : 3;
  EnableSize(!fit);
  Changed();
}

void CLayoutOptionsPage::OnEditChange(UINT nID) {
  if (m_updating) return;
  LONG* field = Field(nID);
  if (!field) return;
  std::string text = GetDlgItemText(static_cast<int>(nID));
  double shown = std::atof(text.c_str());
  if (IsMargin(nID)) {
    const bool across = nID == IDC_LAYOUT_LEFT || nID == IDC_LAYOUT_RIGHT;
    LONG opposite = nID == IDC_LAYOUT_LEFT ? m_layout.margins.right
                    : nID == IDC_LAYOUT_RIGHT ? m_layout.margins.left
                    : nID == IDC_LAYOUT_TOP ? m_layout.margins.bottom
                                            : m_layout.margins.top;
    double page = printlayout::PageInUnit(across ? m_layout.pageSize.cx : m_layout.pageSize.cy, m_unit);
    shown = printlayout::LimitMargin(shown, printlayout::ShownValue(opposite, m_unit), page);
  } else if (shown < 0) {
    shown = 0;
  }
  *field = printlayout::StoredValue(shown, m_unit);
  Changed();
}

void CLayoutOptionsPage::OnEditKillFocus(UINT nID) { ShowValue(nID); }

void CLayoutOptionsPage::OnSpin(UINT nID, NMHDR* nmhdr, LRESULT* result) {
  *result = 1;  // the page keeps the numbers, not the spin control
  const int direction = reinterpret_cast<NMUPDOWN*>(nmhdr)->iDelta < 0 ? -1 : 1;
  auto shown = [&](LONG v) { return printlayout::ShownValue(v, m_unit); };
  auto store = [&](double v) { return printlayout::StoredValue(v, m_unit); };
  if (nID == IDC_LAYOUT_X_SPIN || nID == IDC_LAYOUT_Y_SPIN) {
    double x = shown(m_layout.printSize.cx), y = shown(m_layout.printSize.cy);
    printlayout::SizeStep step = nID == IDC_LAYOUT_X_SPIN
                                     ? printlayout::StepPrintSizeX(x, y, direction, m_imageWidth, m_imageHeight)
                                     : printlayout::StepPrintSizeY(x, y, direction, m_imageWidth, m_imageHeight);
    m_layout.printSize.cx = store(step.x);
    m_layout.printSize.cy = store(step.y);
    ShowValue(IDC_LAYOUT_X);
    ShowValue(IDC_LAYOUT_Y);
  } else {
    LONG* margin = nullptr;
    LONG opposite = 0, page = 0;
    UINT edit = 0;
    switch (nID) {
      case IDC_LAYOUT_LEFT_SPIN: margin = &m_layout.margins.left; opposite = m_layout.margins.right; page = m_layout.pageSize.cx; edit = IDC_LAYOUT_LEFT; break;
      case IDC_LAYOUT_RIGHT_SPIN: margin = &m_layout.margins.right; opposite = m_layout.margins.left; page = m_layout.pageSize.cx; edit = IDC_LAYOUT_RIGHT; break;
      case IDC_LAYOUT_TOP_SPIN: margin = &m_layout.margins.top; opposite = m_layout.margins.bottom; page = m_layout.pageSize.cy; edit = IDC_LAYOUT_TOP; break;
      case IDC_LAYOUT_BOTTOM_SPIN: margin = &m_layout.margins.bottom; opposite = m_layout.margins.top; page = m_layout.pageSize.cy; edit = IDC_LAYOUT_BOTTOM; break;
      default: return;
    }
    *margin = store(printlayout::StepMargin(shown(*margin), shown(opposite), printlayout::PageInUnit(page, m_unit), direction));
    ShowValue(edit);
  }
  Changed();
}
