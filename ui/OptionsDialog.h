// COptionsDialog: the Options command's dialog put together: the tree dialog titled "Options"
// with the constant caption "Lumatre" and the seven pages in their order. Lives for one run.
//
//   COptionsDialog options(host, frame);
//   if (options.DoModal() == IDOK) ...the settings and hotkeys are in force...
#pragma once

#include "ui/CaptureOptionsPage.h"
#include "ui/CaptureOutputPage.h"
#include "ui/ColorPickerPage.h"
#include "ui/ColorSelectPage.h"
#include "ui/GeneralOptionsPage.h"
#include "ui/HotkeyOptionsPage.h"
#include "ui/ImageSavePage.h"
#include "ui/OptionsHost.h"
#include "ui/PrefsTreeDialog.h"

class COptionsDialog {
 public:
  COptionsDialog(IOptionsHost& host, CWnd* pParent = nullptr);

  INT_PTR DoModal() { return m_dialog.DoModal(); }
  CPrefsTreeDialog& Dialog() { return m_dialog; }

  CGeneralOptionsPage m_general;
  CCaptureOptionsPage m_capture;
  CHotkeyOptionsPage m_hotkeys;
  CCaptureOutputPage m_output;
  CColorSelectPage m_colors;
  CImageSavePage m_imageSave;
  CColorPickerPage m_colorPicker;

 private:
  static void ShowHelp(int topic, void* context);

  IOptionsHost& m_host;
  CPrefsTreeDialog m_dialog;
};
