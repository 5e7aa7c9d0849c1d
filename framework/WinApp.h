// CWinApp: the application object. The program defines exactly one global object of a class
// derived from CWinApp (`theApp`); the framework's WinMain finds it through AfxGetApp(), calls
// InitInstance, runs the message loop with Run() when that succeeded and ends with ExitInstance.
//
// Profile functions keep settings under HKEY_CURRENT_USER\software\<registry key>\<profile name>
// once SetRegistryKey was called (the profile name is then the application title), one sub-key
// per section. Without a registry key they use the private profile file m_pszProfileName
// (by default "<exe name>.INI" in the Windows folder, as the platform does).
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "CmdTarget.h"
#include "Handles.h"

class CWnd;
class CDocument;
class CDocManager;
class CDocTemplate;
class CRecentFileList;
class CCommandLineInfo;
class CPrintDialog;

class CWinApp : public CCmdTarget {
 public:
  // lpszAppName: the application title; null takes string AFX_IDS_APP_TITLE, or the exe name.
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;  // command line after the program name
  int m_nCmdShow = SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;
  // Application title, exe name (no extension), help file path, registry key and profile name.
  // Change them through SetAppName / SetRegistryKey / SetProfileName.
  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  LPCSTR m_pszHelpFilePath = nullptr;
  LPCSTR m_pszRegistryKey = nullptr;
  LPCSTR m_pszProfileName = nullptr;
  // Created by LoadStdProfileSettings; owned by the application object.
  CRecentFileList* m_pRecentFileList = nullptr;
  UINT m_nNumPreviewPages = 0;  // pages shown by print preview: 0 default, 1 or 2
  MSG m_msgCur{};               // the message being pumped; WM_QUIT's wParam is the exit code

  // --- Start and run ---
  virtual BOOL InitApplication();
  virtual BOOL InitInstance();
  // Writes the standard profile settings; returns the exit code.
  virtual int ExitInstance();
  // The message loop: OnIdle(0), OnIdle(1), ... while the queue is empty until it returns FALSE;
  // each message goes through PreTranslateMessage, then Translate/DispatchMessage. At WM_QUIT it
  // returns ExitInstance().
  virtual int Run();
  // Idle work: count 0 updates the main window's control bars (WM_IDLEUPDATECMDUI), count 1
  // frees temporary window objects. TRUE asks for more idle calls.
  virtual BOOL OnIdle(LONG lCount);
  // Walks the message's window and its parents up to the main window (accelerators, dialog
  // keys); a window outside the main window's tree finally gets the main window's chance.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // One message; FALSE at WM_QUIT.
  virtual BOOL PumpMessage();
  // FALSE for messages that should not restart idle processing (repeated mouse moves, paint).
  virtual BOOL IsIdleMessage(MSG* pMsg);

  // --- Documents ---
  // The document types and the file-name prompt (owned). A program with its own manager sets
  // it before the first AddDocTemplate; otherwise a plain CDocManager is made on demand.
  CDocManager* m_pDocManager = nullptr;
  // Registers a document type (the manager owns it from now on).
  void AddDocTemplate(CDocTemplate* pTemplate);
  int GetOpenDocumentCount() const;
  // Asked before the main window closes or the session ends; FALSE keeps the program running.
  // The default asks about each modified document.
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);
  // Hides the main window before the documents close.
  virtual void HideApplication();
  // Opens a file as a document (File Open, recent-file commands); null when that failed.
  virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
  virtual void AddToRecentFileList(LPCSTR lpszPathName);
  // The document manager's file-name prompt (see CDocManager::DoPromptFileName).
  virtual BOOL DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                CDocTemplate* pTemplate);
  // ID_FILE_NEW and ID_FILE_OPEN through the document manager; a program maps them in its
  // own message map (or calls them from its own handlers).
  void OnFileNew();
  void OnFileOpen();

  // --- Printing ---
  // The printer chosen in Print Setup (device mode and names, owned): empty until the first
  // print or setup needs them, then the default printer. Every later print uses them.
  UniqueGlobal m_hDevMode;
  UniqueGlobal m_hDevNames;
  // Runs a print or print setup dialog on the application's printer choice and keeps what the
  // user chose. IDOK or IDCANCEL. With no printer installed at all nothing is shown.
  virtual INT_PTR DoPrintDialog(CPrintDialog* pPD);
  // Points the dialog's device mode and names at the choice (the default printer when none yet,
  // without showing anything). FALSE when there is no printer.
  BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
  // Takes a device mode and names (owned from now on).
  void SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode);
  // The common-dialog error of the last print dialog or default lookup: 0 when it succeeded or
  // the user cancelled; PDERR_NODEFAULTPRN when no printer is installed.
  DWORD GetPrintDialogError() const { return m_dwPrintError; }
  // For the print steps: a printer that was chosen but cannot be opened now.
  void SetPrintDialogError(DWORD dwError) { m_dwPrintError = dwError; }
  // ID_FILE_PRINT_SETUP: the platform's print setup dialog.
  virtual void OnFilePrintSetup();

  // --- Messages ---
  // Every AfxMessageBox ends here; the default shows it through the replaceable box function.
  virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);

  // --- Names and settings ---
  void SetAppName(LPCSTR lpszAppName);
  void SetHelpFilePath(LPCSTR lpszPath);
  // Turns the profile functions to the registry: HKCU\software\<key>\<application title>.
  void SetRegistryKey(LPCSTR lpszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);
  void SetProfileName(LPCSTR lpszProfileName);

  // Reads the recent-file list (nMaxMRU entries, 0 for none; at most 16) and the print
  // preview page count.
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  void SaveStdProfileSettings();

  // HKCU\software\<key>\<profile>, created when missing; empty without a registry key.
  UniqueRegKey GetAppRegistryKey();
  // The section's key below it, created when missing.
  UniqueRegKey GetSectionKey(LPCSTR lpszSection);

  // A REG_DWORD value; nDefault when missing or of another type.
  UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
  // A REG_SZ value; lpszDefault (null: empty) when missing or of another type.
  std::string GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
  // A REG_BINARY value; FALSE (and out empty) when missing or of another type.
  BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>& out);
  // The same with a block from new[] that the caller delete[]s.
  BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes);
  BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
  // lpszEntry null deletes the whole section; lpszValue null deletes the entry.
  BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
  BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const void* pData, UINT nBytes);

  void ParseCommandLine(CCommandLineInfo& rCmdInfo);

  // --- Resources ---
  HICON LoadIcon(UINT nIDResource) const;
  HICON LoadStandardIcon(LPCSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }
  HCURSOR LoadCursor(UINT nIDResource) const;
  HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }

  // Kept so start-up reads like the platform's usual sequence; nothing to do on this platform.
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }

  // --- Commands of the application object ---
  // ID_APP_EXIT: closes the main window as if its Close command was chosen.
  void OnAppExit();
  // ID_FILE_MRU_FILE1..16
  BOOL OnOpenRecentFile(UINT nID);
  void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

  DECLARE_MESSAGE_MAP()

 private:
  std::string m_strAppName, m_strExeName, m_strHelpFilePath, m_strRegistryKey, m_strProfileName;
  std::string m_strCmdLine;
  POINT m_ptCursorLast{-1, -1};
  UINT m_nMsgLast = 0;
  DWORD m_dwPrintError = 0;

  friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
  friend BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPSTR, int);
};

// The one application object (null before it is constructed).
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Where resources are loaded from (the program by default).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCSTR AfxGetAppName();
// Kept so start-up reads like the platform's usual sequence; nothing to do on this platform.
inline void AfxEnableControlContainer() {}

// Fills the application object's instance, command line and show command.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// What WinMain does: init, InitInstance, Run (or, when InitInstance failed, destroy the main
// window if any), ExitInstance; returns the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Posts WM_QUIT.
void AfxPostQuitMessage(int nExitCode);
// Pumps one message through the application's PreTranslateMessage; FALSE at WM_QUIT (which is
// posted again so the outer loop sees it too).
BOOL AfxPumpMessage();
