#include "OptionsDialog.h"

COptionsDialog::COptionsDialog(IOptionsHost& host, CWnd* pParent)
    : m_general(host),
      m_capture(host),
      m_hotkeys(host),
      m_output(host),
      m_colors(host),
      m_imageSave(host),
      m_colorPicker(host),
      m_host(host),
      m_dialog(pParent) {
  m_dialog.AddPage(m_general, "General Options");
  m_dialog.AddPage(m_capture, "Capture Options");
  m_dialog.AddPage(m_hotkeys, "Hotkey Options");
  m_dialog.AddPage(m_output, "Capture Output");
  m_dialog.AddPage(m_colors, "Color Select");
  m_dialog.AddPage(m_imageSave, "Image Save");
  m_dialog.AddPage(m_colorPicker, "Color Picker");
  m_dialog.SetTitle("Options");
  m_dialog.SetConstantText("Lumatre");
  m_dialog.SetHelpHandler(&COptionsDialog::ShowHelp, this);
}

void COptionsDialog::ShowHelp(int topic, void* context) {
  static_cast<COptionsDialog*>(context)->m_host.ShowHelpTopic(topic);
}
