// CNewImageDlg: "Create New Image" (dialog 163). The user gives the width and height of a new
// image, each in pixels, inches or centimetres, and the horizontal and vertical resolution in
// pixels per inch or per centimetre; changing a unit converts the number shown. "&Create"
// checks the numbers (a refused number is explained and its box focused; the dialog stays
// open) and ends with IDOK; GetPixelSize then gives the size of the image to make.
//
//   CNewImageDlg dlg(this);
//   if (dlg.DoModal() == IDOK) { SIZE size = dlg.GetPixelSize(); ... }
#pragma once

#include "framework/Framework.h"

#include "NewImageUnits.h"

class CNewImageDlg : public CDialog {
 public:
  explicit CNewImageDlg(CWnd* pParent = nullptr);

  // The size of the image in pixels, valid after the dialog ended with IDOK (400 x 300 before).
  SIZE GetPixelSize() const { return m_pixelSize; }
  // The numbers and units as they stand (the last ones the controls held).
  const CNewImageUnits& GetUnits() const { return m_units; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnWidthUnitChange() { OnUnitChange(CNewImageUnits::Width); }
  void OnHeightUnitChange() { OnUnitChange(CNewImageUnits::Height); }
  void OnHorizontalResUnitChange() { OnUnitChange(CNewImageUnits::HorizontalRes); }
  void OnVerticalResUnitChange() { OnUnitChange(CNewImageUnits::VerticalRes); }

  DECLARE_MESSAGE_MAP()

 private:
  void OnUnitChange(CNewImageUnits::Field field);
  // Reads the edit box of a field into m_units; on a refused text tells the user, focuses the
  // box and returns false.
  bool ReadField(CNewImageUnits::Field field);
  // Tells the user what is wrong with a number.
  void ShowProblem(const CNewImageUnits::Check& check);
  void FocusField(CNewImageUnits::Field field);

  CNewImageUnits m_units;
  SIZE m_pixelSize{400, 300};
};

// The edit box and unit list of each field.
int NewImageEditId(CNewImageUnits::Field field);
int NewImageUnitListId(CNewImageUnits::Field field);
