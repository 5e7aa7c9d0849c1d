// CFilePreviewDlg: the Explorer-style open dialog with every readable format in its filter
// (starting on "All supported graphic formats") and, below the system's controls (template
// 162), a preview of the selected file with its colour depth and size. The "Preview" check box
// turns the preview off and on.
#pragma once

#include "document/ImagePreview.h"
#include "framework/FileDialog.h"

class CFilePreviewDlg : public CFileDialog {
 public:
  // lFlags are added to OFN_HIDEREADONLY and OFN_OVERWRITEPROMPT.
  explicit CFilePreviewDlg(LPCSTR lpszFileName = nullptr, DWORD lFlags = 0, CWnd* pParentWnd = nullptr);

  CImagePreview& GetPreview() { return m_preview; }
  bool IsPreviewOn() const { return m_bPreview; }

 protected:
  BOOL OnInitDialog() override;
  void OnInitDone() override;
  void OnSelChange() override;
  void OnPreviewToggle();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(HWND focusWnd);

  DECLARE_MESSAGE_MAP()

 private:
  // Loads path into the preview and shows its depth and size (blank without an image).
  void ShowPreviewOf(const std::string& path);
  void ShowTexts();

  CImagePreview m_preview;
  bool m_bPreview = true;
  bool m_laidOut = false;
};
