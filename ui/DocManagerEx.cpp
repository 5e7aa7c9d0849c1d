#include "DocManagerEx.h"

#include "CustomSaveDlg.h"
#include "FileFilters.h"
#include "FilePreviewDlg.h"
#include "resources/FileDialogsIds.h"

CDocManagerEx::CDocManagerEx(BOOL& autoSavePending, CaptureSettings& capture, JpegSaveSettings& currentJpeg)
    : m_autoSavePending(autoSavePending), m_capture(capture), m_currentJpeg(currentJpeg) {}

INT_PTR CDocManagerEx::RunFileDialog(CFileDialog& dlg) { return dlg.DoModal(); }

BOOL CDocManagerEx::DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                     CDocTemplate*) {
  if (!bOpenFileDialog) {
    // The flag belongs to this one prompt, whatever it decides.
    const bool pending = m_autoSavePending != FALSE;
    m_autoSavePending = FALSE;
    if (DecideSavePrompt(pending, m_capture.optionsA) == SavePrompt::kAutomaticName) {
      std::optional<std::string> path = MakeAutoSaveName(m_capture.autoSave, AutoSaveEnvironment());
      if (!path) return FALSE;  // the user was told or asked; nothing is saved
      fileName = *path;
      return TRUE;
    }
  }
  const std::string title = LoadResString(nIDSTitle);
  ++m_dialogCount;
  if (bOpenFileDialog) {
    CFilePreviewDlg dlg(fileName.c_str(), lFlags);
    if (!title.empty()) dlg.SetTitle(title);
    if (RunFileDialog(dlg) != IDOK) return FALSE;
    fileName = dlg.GetPathName();
  } else {
    CCustomSaveDlg dlg(m_currentJpeg, fileName.c_str(), lFlags);
    if (!title.empty()) dlg.SetTitle(title);
    if (RunFileDialog(dlg) != IDOK) return FALSE;
    fileName = dlg.GetPathName();
  }
  return !fileName.empty();
}

void CDocManagerEx::OnFileOpen() {
  std::string fileName;
  if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  if (::GetFileAttributesA(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::string text;
    AfxFormatString1(text, IDS_FILE_VANISHED, fileName.c_str());
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (CWinApp* app = AfxGetApp())
    app->OpenDocumentFile(fileName.c_str());
  else
    OpenDocumentFile(fileName.c_str());
}
