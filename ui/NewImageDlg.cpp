#include "NewImageDlg.h"

#include <cstdio>
#include <string>

#include "resources/DialogIds.h"
#include "resources/resource.h"

namespace {

using Field = CNewImageUnits::Field;
using Problem = CNewImageUnits::Problem;

constexpr Field kFields[] = {CNewImageUnits::Width, CNewImageUnits::Height, CNewImageUnits::HorizontalRes,
                             CNewImageUnits::VerticalRes};

// The unit lists, in the order of NewImageSizeUnit and NewImageResolutionUnit.
constexpr const char* kSizeUnits[] = {"Pixels", "Inches", "Centimeters"};
constexpr const char* kResolutionUnits[] = {"Pixels/Inch", "Pixels/cm"};

bool IsLength(Field field) { return field == CNewImageUnits::Width || field == CNewImageUnits::Height; }

Field ResolutionOf(Field length) {
  return length == CNewImageUnits::Width ? CNewImageUnits::HorizontalRes : CNewImageUnits::VerticalRes;
}

void ShowMessage(UINT nIDPrompt, const std::string& arg1 = {}, const std::string& arg2 = {}) {
  std::string text;
  AfxFormatString2(text, nIDPrompt, arg1.c_str(), arg2.c_str());
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, nIDPrompt);
}

}  // namespace

int NewImageEditId(CNewImageUnits::Field field) {
  static constexpr int ids[] = {IDC_NEWIMAGE_WIDTH, IDC_NEWIMAGE_HEIGHT, IDC_NEWIMAGE_HRES, IDC_NEWIMAGE_VRES};
  return ids[field];
}

int NewImageUnitListId(CNewImageUnits::Field field) {
  static constexpr int ids[] = {IDC_NEWIMAGE_WIDTH_UNIT, IDC_NEWIMAGE_HEIGHT_UNIT, IDC_NEWIMAGE_HRES_UNIT,
                                IDC_NEWIMAGE_VRES_UNIT};
  return ids[field];
}

BEGIN_MESSAGE_MAP(CNewImageDlg, CDialog)
  ON_CBN_SELCHANGE(IDC_NEWIMAGE_WIDTH_UNIT, OnWidthUnitChange)
  ON_CBN_SELCHANGE(IDC_NEWIMAGE_HEIGHT_UNIT, OnHeightUnitChange)
  ON_CBN_SELCHANGE(IDC_NEWIMAGE_HRES_UNIT, OnHorizontalResUnitChange)
  ON_CBN_SELCHANGE(IDC_NEWIMAGE_VRES_UNIT, OnVerticalResUnitChange)
END_MESSAGE_MAP()

CNewImageDlg::CNewImageDlg(CWnd* pParent) : CDialog(IDD_NEWIMAGE, pParent) {}

BOOL CNewImageDlg::OnInitDialog() {
  for (Field field : kFields) {
    HWND list = GetDlgItemHwnd(NewImageUnitListId(field));
    if (IsLength(field)) {
      for (const char* name : kSizeUnits) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    } else {
      for (const char* name : kResolutionUnits) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    ::SendDlgItemMessageA(m_hWnd, NewImageEditId(field), EM_LIMITTEXT, 32, 0);
  }
  return CDialog::OnInitDialog();
}

void CNewImageDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  if (!pDX->m_bSaveAndValidate) {
    for (Field field : kFields) {
      HWND edit = pDX->PrepareEditCtrl(NewImageEditId(field));
      if (edit) ::SetWindowTextA(edit, m_units.GetText(field).c_str());
      int unit = m_units.GetUnit(field);
      DDX_CBIndex(pDX, NewImageUnitListId(field), unit);
    }
    return;
  }
  for (Field field : kFields) {
    HWND edit = pDX->PrepareEditCtrl(NewImageEditId(field));
    if (!edit) continue;
    if (!m_units.SetText(field, AfxGetWindowText(edit))) {
      AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK | MB_ICONEXCLAMATION);
      pDX->Fail();
    }
  }
  // The size is always made in pixels: a width or height given in inches or centimetres is
  // converted through the resolution of its axis (rounded up, as a change of its unit to Pixels
  // would), while a number of pixels is used as it stands, truncated.
  CNewImageUnits::Check check = m_units.Validate();
  if (check.problem != Problem::None) {
    ShowProblem(check);
    pDX->PrepareEditCtrl(NewImageEditId(check.field));
    pDX->Fail();
  }
  m_pixelSize = check.pixels;
}

bool CNewImageDlg::ReadField(Field field) {
  if (m_units.SetText(field, GetDlgItemText(NewImageEditId(field)))) return true;
  AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK | MB_ICONEXCLAMATION);
  FocusField(field);
  return false;
}

void CNewImageDlg::OnUnitChange(Field field) {
  int listId = NewImageUnitListId(field);
  int oldUnit = m_units.GetUnit(field);
  int newUnit = static_cast<int>(SendDlgItemMessage(listId, CB_GETCURSEL));
  if (newUnit == CB_ERR || newUnit == oldUnit) return;
  // The number converted is the one in the box now; a width or height also needs the
  // resolution of its axis as it stands.
  bool ok = ReadField(field) && (!IsLength(field) || ReadField(ResolutionOf(field)));
  CNewImageUnits::Check check;
  if (ok) {
    check = m_units.ChangeUnit(field, newUnit);
    ok = check.problem == Problem::None;
  }
  if (!ok) {
    // The list goes back to the unit the number is still in.
    SendDlgItemMessage(listId, CB_SETCURSEL, static_cast<WPARAM>(oldUnit));
    if (check.problem != Problem::None) {
      ShowProblem(check);
      FocusField(check.field);
    }
    return;
  }
  SetDlgItemText(NewImageEditId(field), m_units.GetText(field).c_str());
}

void CNewImageDlg::ShowProblem(const CNewImageUnits::Check& check) {
  char a[32], b[32];
  switch (check.problem) {
    case Problem::None:
      break;
    case Problem::NotANumber:
      AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK | MB_ICONEXCLAMATION);
      break;
    case Problem::NotPositive:
      ShowMessage(IDS_NEWIMAGE_NOT_POSITIVE);
      break;
    case Problem::ResolutionTooLarge:
      ShowMessage(IDS_NEWIMAGE_RES_TOO_LARGE, FormatUnitValue(kMaxNewImageResolution));
      break;
    case Problem::TooSmall:
      ShowMessage(IDS_NEWIMAGE_TOO_SMALL);
      break;
    case Problem::TooLarge:
      std::snprintf(a, sizeof(a), "%d", kMaxNewImageSide);
      ShowMessage(IDS_NEWIMAGE_TOO_LARGE, a);
      break;
    case Problem::TooManyBytes:
      std::snprintf(a, sizeof(a), "%ld", static_cast<long>(check.pixels.cx));
      std::snprintf(b, sizeof(b), "%ld", static_cast<long>(check.pixels.cy));
      ShowMessage(IDS_NEWIMAGE_TOO_MANY_BYTES, a, b);
      break;
  }
}

void CNewImageDlg::FocusField(Field field) {
  HWND edit = GetDlgItemHwnd(NewImageEditId(field));
  if (!edit) return;
  GotoDlgCtrl(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, -1);
}
