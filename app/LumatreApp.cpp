#include "LumatreApp.h"

#include "common/ClosingStep.h"
#include "QuorvaHook.h"
#include "document/ChildFrame.h"
#include "document/QuorvaCaptureDoc.h"
#include "document/QuorvaCaptureView.h"
#include "resources/resource.h"
#include "ui/DocManagerEx.h"
#include "ui/MailSender.h"
#include "ui/MainFrame.h"

#include <string>

CLumatreApp theApp;

namespace {

constexpr char kRegistryKey[] = "Lumatre";
constexpr UINT kRecentFileCount = 6;
constexpr DWORD kHiddenStartPauseMs = 100;
constexpr char kStartupFailed[] = "Lumatre could not start: its main window could not be created.";

void ReportStartupFailure(const std::string& reason) {
  std::string text = kStartupFailed;
  if (!reason.empty()) text += "\n\n" + reason;
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace

BEGIN_MESSAGE_MAP(CLumatreApp, CWinApp)
  ON_COMMAND(ID_HELP_FINDER, OnHelpFinder)
  ON_COMMAND(ID_HELP, OnHelpFinder)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

CLumatreApp::CLumatreApp() : CWinApp("Lumatre") {
  // The running program: the data of the autostart entry and where help is looked for. A path
  // that does not fit is as good as none.
  const std::string program = GetProgramFilePath();
  if (program.size() < sizeof m_programPath) CopyText(m_programPath, program.c_str());
  // The default auto-save folder, "Output" beside the program, made now if it is missing.
  const std::string output = EnsureOutputDirectory(program);
  if (!program.empty() && output.size() < sizeof m_capture.autoSave.directory)
    CopyText(m_capture.autoSave.directory, output.c_str());
}

CLumatreApp::~CLumatreApp() = default;

BOOL CLumatreApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();

  SetRegistryKey(kRegistryKey);
  LoadStdProfileSettings(kRecentFileCount);
  m_settingsLocation.registryKey = m_pszRegistryKey;
  m_settingsLocation.profileName = m_pszProfileName;
  LoadSettings();

  // The image documents: document, image window and view of resource 129. The document
  // manager that asks for file names (with the preview, the JPEG options and the automatic
  // names of captures) is installed before the template joins it.
  if (!m_pDocManager) m_pDocManager = new CDocManagerEx(autoSavePending, m_capture, m_currentJpeg);
  AddDocTemplate(new CMultiDocTemplate(IDR_LUMATRETYPE, &AfxNewObject<CQuorvaCaptureDoc, CDocument>,
                                       &AfxNewObject<CChildFrame, CFrameWnd>,
                                       &AfxNewObject<CQuorvaCaptureView, CView>));

  auto* frame = new CMainFrame;
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
    // Without its main window (toolbar, status bar, tray icon) the program cannot run: say why.
    std::string reason = frame->CreationError();
    delete frame;
    ReportStartupFailure(reason);
    return FALSE;
  }
  m_pMainWnd = frame;

  // The command line is read but asks for nothing: no file is opened from it.
  CCommandLineInfo commandLine;
  ParseCommandLine(commandLine);

  // A second start hands over to the running instance and ends.
  m_instanceChecker = std::make_unique<CInstanceChecker>(m_pszAppName);
  if (m_instanceChecker->PreviousInstanceRunning(frame->GetSafeHwnd())) {
    m_instanceChecker->ActivatePreviousInstance();
    return FALSE;
  }

  ApplyStartupAutoSaveReset(m_capture.autoSave);

  if (m_capture.Has(kOptStartHidden)) {
    frame->ShowWindow(m_nCmdShow);
    Sleep(kHiddenStartPauseMs);
    frame->UpdateWindow();
    frame->ShowWindow(SW_SHOWMINIMIZED);
    frame->ShowWindow(SW_HIDE);
  } else {
    frame->ShowWindow(m_nCmdShow);
  }
  frame->UpdateWindow();
  return TRUE;
}

int CLumatreApp::ExitInstance() {
  SaveSettings();
  int code = CWinApp::ExitInstance();  // writes the recent-file list
  if (m_capture.Has(kOptClearRecentOnExit)) ClearRecentFileList();
  return code;
}

void CLumatreApp::LoadSettings() { ::LoadSettings(*this, m_settingsLocation); }

void CLumatreApp::SaveSettings() {
  // Until the main frame has handed the table over, the library holds nothing of ours (a second
  // instance, or a start that failed early): the loaded table is the one to keep.
  if (m_hotkeysInLibrary) TSY_GetCaptureHotKey(m_hotkeys.hotkey);
  ::SaveSettings(*this, m_settingsLocation);
}

bool CLumatreApp::IsAutoStartEnabled() const { return ::IsAutoStartEnabled(HKEY_CURRENT_USER); }

bool CLumatreApp::SetAutoStart(bool on) {
  return ::SetAutoStart(on, m_programPath, HKEY_CURRENT_USER);
}

void CLumatreApp::ClearRecentFileList() {
  if (!m_pRecentFileList) return;
  for (int index = m_pRecentFileList->GetSize() - 1; index >= 0; --index)
    m_pRecentFileList->Remove(index);
  // Let the File menu drop its recent-file items (they are rebuilt when a popup opens).
  if (m_pMainWnd && m_pMainWnd->IsWindow()) {
    HMENU menu = m_pMainWnd->GetMenu();
    for (int position = 0; menu && position < 2; ++position) {
      if (HMENU popup = GetSubMenu(menu, position))
        m_pMainWnd->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                                MAKELPARAM(position, FALSE));
    }
  }
  m_pRecentFileList->WriteList();
}

void CLumatreApp::ShowHelpTopic(int topic) {
  OpenHtmlHelpTopic(BuildHelpTopicPath(m_programPath, topic));
}

void CLumatreApp::OnHelpFinder() { ShowHelpTopic(kHelpIndex); }

int CLumatreApp::CountModifiedDocuments() {
  if (!m_pDocManager) return 0;
  int count = 0;
  for (CDocument* doc : m_pDocManager->GetDocuments())
    if (doc->IsModified()) ++count;
  return count;
}

bool CLumatreApp::SendMailAttachment(const std::string& path, const std::string& displayName, unsigned flags) {
  CMailSender mail;
  if (mail.GetError() != CMailSender::kNone) return false;
  if (!mail.AddAttachment(path.c_str(), displayName.c_str())) return false;
  return mail.Send(flags);
}

BOOL CLumatreApp::SaveAllModified() {
  auto* mark = dynamic_cast<ISystemCloseMark*>(m_pMainWnd);
  const bool systemClose = mark && mark->TakeSystemCloseMark();
  CloseAction action = DecideCloseAction(systemClose, m_capture.optionsA,
                                         systemClose ? 0 : CountModifiedDocuments());
  if (action == CloseAction::kHideToTray) {
    if (m_pMainWnd && m_pMainWnd->IsWindow()) {
      m_pMainWnd->ShowWindow(SW_MINIMIZE);
      m_pMainWnd->ShowWindow(SW_HIDE);
    }
    return FALSE;
  }
  if (action == CloseAction::kAskCount) {
    std::string count = std::to_string(CountModifiedDocuments());
    std::string prompt;
    AfxFormatString1(prompt, IDS_PROMPT_SAVE_COUNT, count.c_str());
    std::optional<CloseAction> next =
        ActionAfterCountQuestion(AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONINFORMATION));
    if (!next) return FALSE;
    action = *next;
  }
  if (action == CloseAction::kCloseNow) return TRUE;
  return CWinApp::SaveAllModified();
}
