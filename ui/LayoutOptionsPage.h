// CLayoutOptionsPage: the "Layout" page of the print layout dialog (units, centring, sizing
// method, print size and margins). Every change goes into the dialog's working copy at once and
// the owner is told so that the preview follows.
#pragma once

#include <windows.h>

#include <functional>

#include "common/Settings.h"
#include "document/PrintLayoutMath.h"
#include "framework/Dialog.h"

class CLayoutOptionsPage : public CDialog {
 public:
  // layout: the working copy (outlives the page); the image size gives the aspect of the size
  // spins (0 x 0: no image).
  CLayoutOptionsPage(PrintLayoutSettings& layout, LONG imageWidth, LONG imageHeight,
                     std::function<void()> onChange);

  BOOL OnInitDialog() override;
  // Enter and Escape belong to the dialog around the page.
  void OnOK() override {}
  void OnCancel() override {}

  printlayout::Unit GetUnit() const { return m_unit; }

 protected:
  void OnInches();
  void OnCentimeters();
  void OnCenterHorizontally();
  void OnCenterVertically();
  void OnMethodChange();
  void OnEditChange(UINT nID);
  void OnEditKillFocus(UINT nID);
  void OnSpin(UINT nID, NMHDR* nmhdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  // The stored value behind an edit box.
  LONG* Field(UINT editId);
  void ShowValues();
  void ShowValue(UINT editId);
  void EnableSize(bool enable);
  void Changed();

  PrintLayoutSettings& m_layout;
  LONG m_imageWidth;
  LONG m_imageHeight;
  std::function<void()> m_onChange;
  printlayout::Unit m_unit = printlayout::Unit::Centimeters;
  bool m_updating = false;  // the page is writing its own edit boxes
};
