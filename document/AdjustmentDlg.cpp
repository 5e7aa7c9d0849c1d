#include "AdjustmentDlg.h"

#include <commdlg.h>

#include "DocumentHost.h"
#include "QuorvaCaptureDoc.h"
#include "resources/FileDialogsIds.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

namespace {

COLORREF TransparencyColor() {
  if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp()))
    return app->GetDocumentSettings().m_capture.colorTransparency;
  return kDefaultColorTransparency;
}

}  // namespace

BEGIN_MESSAGE_MAP(CAdjustmentDlg, CDialog)
  ON_WM_HSCROLL()
  ON_WM_DRAWITEM()
  ON_BN_CLICKED(IDC_ROTATE_COLOR, OnBackgroundColor)
  ON_STN_CLICKED(IDC_ROTATE_SWATCH, OnBackgroundColor)
END_MESSAGE_MAP()

UINT CAdjustmentDlg::TemplateOf(Kind kind) {
  switch (kind) {
    case Kind::kRotate: return IDD_ROTATE;
    case Kind::kBrightness: return IDD_BRIGHTNESS;
    case Kind::kContrast: return IDD_CONTRAST;
    case Kind::kIntensity: break;
  }
  return IDD_INTENSITY;
}

int CAdjustmentDlg::HelpTopicOf(Kind kind) {
  switch (kind) {
    case Kind::kRotate: return 3;
    case Kind::kBrightness: return 6;
    case Kind::kContrast: return 5;
    case Kind::kIntensity: break;
  }
  return 0;
}

CAdjustmentDlg::CAdjustmentDlg(Kind kind, CQuorvaCaptureDoc* doc, CWnd* pParent)
    : CDialog(TemplateOf(kind), pParent), m_kind(kind), m_doc(doc), m_background(TransparencyColor()) {
  using namespace op_values;
  switch (kind) {
    case Kind::kRotate:
      m_controls.emplace_back(IDC_ROTATE_ANGLE, IDC_ROTATE_ANGLE_SPIN, IDC_ROTATE_ANGLE_SLIDER, kRotateAngle);
      break;
    case Kind::kBrightness:
      m_controls.emplace_back(IDC_BRIGHTNESS_VALUE, IDC_BRIGHTNESS_SPIN, IDC_BRIGHTNESS_SLIDER, kBrightness);
      break;
    case Kind::kContrast:
      m_controls.emplace_back(IDC_CONTRAST_VALUE, IDC_CONTRAST_SPIN, IDC_CONTRAST_SLIDER, kContrast);
      m_controls.emplace_back(IDC_OFFSET_VALUE, IDC_OFFSET_SPIN, IDC_OFFSET_SLIDER, kContrastOffset);
      break;
    case Kind::kIntensity:
      m_controls.emplace_back(IDC_INTENSITY_VALUE, IDC_INTENSITY_SPIN, IDC_INTENSITY_SLIDER, kIntensity);
      m_controls.emplace_back(IDC_OFFSET_VALUE, IDC_OFFSET_SPIN, IDC_OFFSET_SLIDER, kIntensityOffset);
      m_controls.emplace_back(IDC_EXPONENT_VALUE, IDC_EXPONENT_SPIN, IDC_EXPONENT_SLIDER, kIntensityExponent);
      break;
  }
  m_values[0] = m_controls.empty() ? 0 : kRotateAngle.start;
  switch (kind) {
    case Kind::kRotate: m_values[0] = kRotateAngle.start; break;
    case Kind::kBrightness: m_values[0] = kBrightness.start; break;
    case Kind::kContrast: m_values[0] = kContrast.start; break;
    case Kind::kIntensity: m_values[0] = kIntensity.start; break;
  }
  m_values[1] = kind == Kind::kContrast ? kContrastOffset.start : kIntensityOffset.start;
  m_values[2] = kIntensityExponent.start;
}

BOOL CAdjustmentDlg::OnInitDialog() {
  BOOL result = CDialog::OnInitDialog();
  for (CValueControls& controls : m_controls) controls.Init(m_hWnd);
  m_preview.SubclassDlgItem(m_kind == Kind::kRotate ? IDC_ROTATE_PREVIEW : IDC_ADJUST_PREVIEW, this);
  if (m_doc && m_doc->image && !m_doc->image->IsEmpty()) m_preview.SetImage(*m_doc->image);
  ReadValues();
  m_initialised = true;
  return result;
}

void CAdjustmentDlg::ReadValues() {
  for (size_t i = 0; i < m_controls.size() && i < 3; ++i) m_values[i] = m_controls[i].Value();
}

BOOL CAdjustmentDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE) {
    for (CValueControls& controls : m_controls) {
      if (controls.EditId() != id) continue;
      if (controls.OnEditChanged() && m_initialised) OnValueChanged();
      return TRUE;
    }
  }
  if (code == BN_CLICKED && lParam != 0 && id == (m_kind == Kind::kRotate ? IDC_ROTATE_HELP : IDC_ADJUST_HELP)) {
    OnHelp();
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void CAdjustmentDlg::OnHScroll(UINT, UINT, HWND scrollBar) {
  for (CValueControls& controls : m_controls) {
    if (!controls.OwnsSlider(scrollBar)) continue;
    if (controls.OnSliderMoved() && m_initialised) OnValueChanged();
    return;
  }
}

void CAdjustmentDlg::OnValueChanged() {
  m_changed = true;
  ReadValues();
  UpdatePreview();
}

void CAdjustmentDlg::UpdatePreview() {
  if (!m_doc || !m_doc->image || m_doc->image->IsEmpty()) return;
  const CDibBitmap& source = *m_doc->image;
  switch (m_kind) {
    case Kind::kRotate: m_preview.PreviewRotate(source, AngleRadians(Angle()), m_background); break;
    case Kind::kBrightness: m_preview.PreviewBrightness(source, BrightnessAmount(Brightness())); break;
    case Kind::kContrast: m_preview.PreviewContrast(source, ContrastFactor(Contrast()), Offset()); break;
    case Kind::kIntensity:
      m_preview.PreviewIntensity(source, Intensity(), Offset(), IntensityExponent(Exponent()));
      break;
  }
}

void CAdjustmentDlg::OnOK() {
  ReadValues();
  // Nothing changed: as Cancel, so that no command runs.
  EndDialog(m_changed ? IDOK : IDCANCEL);
}

void CAdjustmentDlg::OnHelp() {
  const int topic = HelpTopicOf(m_kind);
  if (topic == 0) return;
  if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp())) app->ShowHelpTopic(topic);
}

void CAdjustmentDlg::OnBackgroundColor() {
  if (m_kind != Kind::kRotate) return;
  static COLORREF custom[16] = {};
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = m_hWnd;
  choose.rgbResult = TransparencyColor();
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SHOWHELP;
  if (!::ChooseColorA(&choose)) return;
  m_background = choose.rgbResult;
  ::InvalidateRect(GetDlgItemHwnd(IDC_ROTATE_SWATCH), nullptr, TRUE);
}

void CAdjustmentDlg::OnDrawItem(int controlId, LPDRAWITEMSTRUCT draw) {
  if (controlId != IDC_ROTATE_SWATCH || !draw) {
    Default();
    return;
  }
  UniqueBrush brush(::CreateSolidBrush(m_background));
  ::FillRect(draw->hDC, &draw->rcItem, brush.get());
  ::FrameRect(draw->hDC, &draw->rcItem, ::GetSysColorBrush(COLOR_WINDOWFRAME));
}
