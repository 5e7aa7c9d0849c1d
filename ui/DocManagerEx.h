// CDocManagerEx: Lumatre's document manager, the one place that asks for file names. Opening
// shows CFilePreviewDlg (every readable format, with a preview); saving shows CCustomSaveDlg
// (the five writable formats and the JPEG options), unless the save belongs to a capture that
// asked for an automatic save with automatic naming on: then the name comes from the automatic
// naming and no dialog is shown.
//
// The hand-over: the capture outputs set autoSavePending before they run the document's Save
// command; the next prompt takes (and clears) it.
#pragma once

#include "common/Settings.h"
#include "capture/CaptureOutputs.h"
#include "framework/FileDialog.h"
#include "framework/Framework.h"

class CDocManagerEx : public CDocManager {
 public:
  // autoSavePending, the capture settings (options and automatic naming) and the current JPEG
  // options (edited by the save dialog) belong to the application object.
  CDocManagerEx(BOOL& autoSavePending, CaptureSettings& capture, JpegSaveSettings& currentJpeg);

  BOOL DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                        CDocTemplate* pTemplate) override;
  // File Open: a file that is gone by the time it would be opened is reported, and nothing
  // else happens.
  void OnFileOpen() override;

  // Counts the dialogs shown (for tests and diagnostics).
  int GetDialogCount() const { return m_dialogCount; }

 protected:
  // Shows a file dialog (tests put their own answer in place).
  virtual INT_PTR RunFileDialog(CFileDialog& dlg);
  virtual IAutoSaveEnvironment& AutoSaveEnvironment() { return m_environment; }

 private:
  BOOL& m_autoSavePending;
  CaptureSettings& m_capture;
  JpegSaveSettings& m_currentJpeg;
  CAutoSaveEnvironment m_environment;
  int m_dialogCount = 0;
};
