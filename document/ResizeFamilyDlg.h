// CResizeFamilyDlg: the Resize (142), Scale (151) and Stretch (157) dialogs. They change the
// document's image themselves through the history's pending command: Apply shows the result in
// the image window, Revert takes it back, Done keeps it as one undo step. The method (Bilinear,
// Box, Gaussian, Hamming) and its radius sit in the advanced part below the marker, which
// "A&dvanced >>" shows.
//
// The document makes its backup before the dialog opens and drops it afterwards; Cancel (Escape
// or the close box) takes an applied change back, so that the picture is never left changed
// without an undo step.
#pragma once

#include <vector>

#include "EditOperations.h"
#include "ValueControls.h"
#include "framework/ExpandDialog.h"
#include "framework/Framework.h"

class CQuorvaCaptureDoc;

class CResizeFamilyDlg : public CExpandDialog {
 public:
  CResizeFamilyDlg(ResizeKind kind, CQuorvaCaptureDoc* doc, CWnd* pParent = nullptr);

  ResizeKind GetKind() const { return m_kind; }
  ResizeMethod GetMethod() const { return m_method; }

  // The control ids of a kind's dialog.
  struct Ids {
    UINT dialog, toggle, marker, apply, revert, help;
    int methods[4];  // Bilinear, Box, Gaussian, Hamming
    int values[2][3];  // edit, spin, slider of each size value (one for scale)
    int radius[3];
  };
  static const Ids& IdsOf(ResizeKind kind);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnHScroll(UINT code, UINT pos, HWND scrollBar);
  void EnableBeyondMarker(BOOL bEnable) override;

  DECLARE_MESSAGE_MAP()

 private:
  void OnSizeValueChanged();
  void OnRadiusChanged();
  void OnMethod(int index);
  void OnApply();
  void OnRevert();
  void SetAdvancedEnabled(bool enable);
  void EnableItem(UINT id, bool enable) { ::EnableWindow(GetDlgItemHwnd(static_cast<int>(id)), enable ? TRUE : FALSE); }
  bool IsItemEnabled(UINT id) const { return ::IsWindowEnabled(GetDlgItemHwnd(static_cast<int>(id))) != FALSE; }
  SIZE CurrentValues() const;
  SIZE ImageSize() const;
  SIZE BackupSize() const;
  void ShowValues(SIZE values);
  void KeepFocusOffDisabled(UINT id);

  ResizeKind m_kind;
  CQuorvaCaptureDoc* m_doc;
  const Ids& m_ids;
  std::vector<CValueControls> m_sizes;
  CValueControls m_radius;
  ResizeMethod m_method = ResizeMethod::kBilinear;
  bool m_advancedEnabled = true;
  bool m_initialised = false;
  bool m_appliedAny = false;   // an Apply changed the image while the dialog is open
  bool m_wasModified = false;  // the document's modified flag when the dialog opened
};
