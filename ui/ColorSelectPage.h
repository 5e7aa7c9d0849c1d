// CColorSelectPage: "Color Select" (dialog 349): the background colours of the image window and
// of images, and the colour outside a shaped capture, each in a swatch with a chooser button.
// "Reset Default Color" puts the three defaults in force at once.
#pragma once

#include "ui/ColorSwatch.h"
#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

class CColorSelectPage : public CSAPrefsSubDlg {
 public:
  explicit CColorSelectPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void OnOK() override;

  CColorSwatch& Swatch(int index) { return m_swatches[index]; }

 protected:
  void OnChooseView() { ChooseColor(0); }
  void OnChooseImage() { ChooseColor(1); }
  void OnChooseTransparent() { ChooseColor(2); }
  void OnResetDefaultColor();

  DECLARE_MESSAGE_MAP()

 private:
  void ChooseColor(int index);

  IOptionsHost& m_host;
  CColorSwatch m_swatches[3];  // view, image, transparent
};
