// CCustomSaveDlg: the Explorer-style Save As dialog with the five writable formats (starting on
// JPEG, default extension ".jpg") and, below the system's controls (template 364), the JPEG
// options: optimal Huffman tables, quality, smoothing and the density. The options are enabled
// while the JPEG type is chosen. Every edit of an option is written into the current JPEG
// options at once, so that it stays in force for the rest of the run even when the dialog is
// cancelled; an out-of-range value is refused by the dialog's validation when the name is
// confirmed (the dialog stays open).
#pragma once

#include "FileFilters.h"
#include "common/Settings.h"
#include "framework/FileDialog.h"

class CCustomSaveDlg : public CFileDialog {
 public:
  // lFlags are added to OFN_HIDEREADONLY, OFN_OVERWRITEPROMPT and OFN_EXTENSIONDIFFERENT.
  CCustomSaveDlg(JpegSaveSettings& currentJpeg, LPCSTR lpszFileName = nullptr, DWORD lFlags = 0,
                 CWnd* pParentWnd = nullptr);

  bool AreJpegControlsEnabled() const { return m_jpegEnabled; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnInitDone() override;
  void OnTypeChange() override;
  BOOL OnFileNameOK() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  // Writes the option of control id into the current JPEG options when it holds a valid value.
  void StoreOption(int id);
  void EnableJpegControls();

  JpegSaveSettings& m_current;
  SavePatternSlots m_patterns;
  int m_bOptimize = 0;
  int m_quality = 0;
  int m_smoothing = 0;
  int m_densityX = 0;
  int m_densityY = 0;
  bool m_initialised = false;
  bool m_jpegEnabled = true;
};
