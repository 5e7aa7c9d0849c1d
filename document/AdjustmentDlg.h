// CAdjustmentDlg: the dialogs of the adjustments with a live preview: Rotate Any Angle (150),
// Brightness (158), Contrast (159) and Intensity (160). Each value is an edit with its spin and
// a slider; every change recomputes the preview from the document's image. OK / Done ends with
// IDOK only once a value was changed (otherwise as Cancel, so that the document runs nothing);
// the values are then read with the accessors.
//
//   CAdjustmentDlg dlg(CAdjustmentDlg::Kind::kBrightness, doc);
//   if (dlg.DoModal() == IDOK) ChangeBrightness(doc, dlg.Brightness());
#pragma once

#include <vector>

#include "ImagePreview.h"
#include "ValueControls.h"
#include "framework/Framework.h"

class CQuorvaCaptureDoc;

class CAdjustmentDlg : public CDialog {
 public:
  enum class Kind { kRotate, kBrightness, kContrast, kIntensity };

  // The document gives the picture of the preview and the starting background colour.
  CAdjustmentDlg(Kind kind, CQuorvaCaptureDoc* doc, CWnd* pParent = nullptr);

  Kind GetKind() const { return m_kind; }
  bool IsChanged() const { return m_changed; }

  // The values when the dialog ended.
  int Angle() const { return m_values[0]; }
  COLORREF Background() const { return m_background; }
  int Brightness() const { return m_values[0]; }
  int Contrast() const { return m_values[0]; }
  int Offset() const { return m_values[1]; }
  int Intensity() const { return m_values[0]; }
  int Exponent() const { return m_values[2]; }

  // The help topic of the dialog's Help button (none for intensity: 0 and no action).
  static int HelpTopicOf(Kind kind);
  static UINT TemplateOf(Kind kind);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnHScroll(UINT code, UINT pos, HWND scrollBar);
  void OnDrawItem(int controlId, LPDRAWITEMSTRUCT draw);
  void OnBackgroundColor();
  void OnHelp();

  DECLARE_MESSAGE_MAP()

 private:
  void ReadValues();
  void OnValueChanged();
  void UpdatePreview();

  Kind m_kind;
  CQuorvaCaptureDoc* m_doc;
  std::vector<CValueControls> m_controls;
  int m_values[3] = {0, 0, 0};
  COLORREF m_background;
  CImagePreview m_preview;
  bool m_changed = false;
  bool m_initialised = false;
};
