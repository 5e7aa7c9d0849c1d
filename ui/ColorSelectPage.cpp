#include "ColorSelectPage.h"

#include "framework/ColorDialog.h"
#include "resources/OptionsIds.h"
#include "resources/resource.h"

namespace {

constexpr int kSwatchIds[3] = {IDC_COL_VIEW_SWATCH, IDC_COL_IMAGE_SWATCH, IDC_COL_TRANSPARENT_SWATCH};

}  // namespace

BEGIN_MESSAGE_MAP(CColorSelectPage, CSAPrefsSubDlg)
  ON_BN_CLICKED(IDC_COL_VIEW_CHOOSE, OnChooseView)
  ON_BN_CLICKED(IDC_COL_IMAGE_CHOOSE, OnChooseImage)
  ON_BN_CLICKED(IDC_COL_TRANSPARENT_CHOOSE, OnChooseTransparent)
  ON_STN_CLICKED(IDC_COL_VIEW_SWATCH, OnChooseView)
  ON_STN_CLICKED(IDC_COL_IMAGE_SWATCH, OnChooseImage)
  ON_STN_CLICKED(IDC_COL_TRANSPARENT_SWATCH, OnChooseTransparent)
  ON_BN_CLICKED(IDC_COL_RESET, OnResetDefaultColor)
END_MESSAGE_MAP()

CColorSelectPage::CColorSelectPage(IOptionsHost& host) : CSAPrefsSubDlg(IDD_OPT_COLORSELECT), m_host(host) {}

BOOL CColorSelectPage::OnInitDialog() {
  CSAPrefsSubDlg::OnInitDialog();
  const CaptureSettings& s = m_host.Settings().m_capture;
  const COLORREF colors[3] = {s.colorViewBackground, s.colorImageBackground, s.colorTransparency};
  for (int i = 0; i < 3; ++i) {
    m_swatches[i].SubclassDlgItem(kSwatchIds[i], this);
    m_swatches[i].SetColor(colors[i]);
  }
  return TRUE;
}

void CColorSelectPage::ChooseColor(int index) {
  CColorDialog dlg(m_swatches[index].GetColor(), CC_FULLOPEN | CC_ANYCOLOR | CC_SHOWHELP, this);
  if (dlg.DoModal() == IDOK) m_swatches[index].SetColor(dlg.GetColor());
}

void CColorSelectPage::OnResetDefaultColor() {
  CaptureSettings& s = m_host.Settings().m_capture;
  s.colorViewBackground = kDefaultColorViewBackground;
  s.colorImageBackground = kDefaultColorImageBackground;
  s.colorTransparency = kDefaultColorTransparency;
  m_swatches[0].SetColor(s.colorViewBackground);
  m_swatches[1].SetColor(s.colorImageBackground);
  m_swatches[2].SetColor(s.colorTransparency);
}

void CColorSelectPage::OnOK() {
  CaptureSettings& s = m_host.Settings().m_capture;
  s.colorViewBackground = m_swatches[0].GetColor();
  s.colorImageBackground = m_swatches[1].GetColor();
  s.colorTransparency = m_swatches[2].GetColor();
}
