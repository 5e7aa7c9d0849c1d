#include "WinApp.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "AfxState.h"
#include "CommandLineInfo.h"
#include "DocManager.h"
#include "DocTemplate.h"
#include "FrameworkRes.h"
#include "MessageBox.h"
#include "RecentFileList.h"
#include "Registry.h"
#include "Wnd.h"

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstResource = nullptr;

constexpr const char kFileSection[] = "Recent File List";
constexpr const char kFileEntry[] = "File%d";
constexpr const char kPreviewSection[] = "Settings";
constexpr const char kPreviewEntry[] = "PreviewPages";

std::string ModuleFileName(HMODULE h) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameA(h, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_hInstResource ? g_hInstResource : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_hInstResource = hInstResource; }

LPCSTR AfxGetAppName() { return g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : ""; }

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

BOOL AfxPumpMessage() {
  if (CWinApp* app = AfxGetApp()) {
    if (app->PumpMessage()) return TRUE;
    ::PostQuitMessage(static_cast<int>(app->m_msgCur.wParam));
    return FALSE;
  }
  MSG msg;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) {
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return FALSE;
  }
  if (msg.message != WM_KICKIDLE && !CWnd::WalkPreTranslateTree(nullptr, &msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

// --- CWinApp ---

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
  ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
  ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) {
  g_pApp = this;
  m_hInstance = ::GetModuleHandleA(nullptr);

  std::string module = ModuleFileName(nullptr);
  std::string exe = module.substr(module.find_last_of("\\/") == std::string::npos ? 0 : module.find_last_of("\\/") + 1);
  if (size_t dot = exe.find_last_of('.'); dot != std::string::npos) exe.resize(dot);
  m_strExeName = exe;
  m_pszExeName = m_strExeName.c_str();

  if (lpszAppName && *lpszAppName)
    SetAppName(lpszAppName);
  else {
    std::string title;
    if (AfxLoadString(AFX_IDS_APP_TITLE, title, m_hInstance) && !title.empty())
      SetAppName(title.c_str());
    else
      SetAppName(m_strExeName.c_str());
  }
  SetProfileName((m_strExeName + ".INI").c_str());
}

CWinApp::~CWinApp() {
  delete m_pDocManager;
  m_pDocManager = nullptr;
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetAppName(LPCSTR lpszAppName) {
  m_strAppName = lpszAppName ? lpszAppName : "";
  m_pszAppName = m_strAppName.c_str();
}

void CWinApp::SetHelpFilePath(LPCSTR lpszPath) {
  m_strHelpFilePath = lpszPath ? lpszPath : "";
  m_pszHelpFilePath = m_strHelpFilePath.empty() ? nullptr : m_strHelpFilePath.c_str();
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
  if (!lpszRegistryKey || !*lpszRegistryKey) return;
  m_strRegistryKey = lpszRegistryKey;
  m_pszRegistryKey = m_strRegistryKey.c_str();
  SetProfileName(m_pszAppName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  std::string key = LoadResString(nIDRegistryKey);
  SetRegistryKey(key.c_str());
}

void CWinApp::SetProfileName(LPCSTR lpszProfileName) {
  m_strProfileName = lpszProfileName ? lpszProfileName : "";
  m_pszProfileName = m_strProfileName.c_str();
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return FALSE;
  app->m_hInstance = hInstance;
  app->m_strCmdLine = lpCmdLine ? lpCmdLine : "";
  app->m_lpCmdLine = app->m_strCmdLine.data();
  app->m_nCmdShow = nCmdShow;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) return -1;
  if (!app->InitApplication() || !app->InitInstance()) {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    // Destroying the main window posted WM_QUIT; nothing is pumped any more.
    return app->ExitInstance();
  }
  return app->Run();
}

BOOL CWinApp::InitApplication() { return TRUE; }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
  SaveStdProfileSettings();
  return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run() {
  bool idle = true;
  LONG idleCount = 0;
  MSG peek;
  for (;;) {
    while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinApp::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinApp::IsIdleMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    // Only a real move restarts idle processing.
    if (m_nMsgLast == pMsg->message && m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y) return FALSE;
    m_ptCursorLast = pMsg->pt;
    m_nMsgLast = pMsg->message;
    return TRUE;
  }
  return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER: caret blink */;
}

BOOL CWinApp::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    CWnd* main = m_pMainWnd;
    if (main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) {
      AfxCallWndProc(main, main->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
      main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
  } else if (lCount == 1) {
    AfxDeleteTempMap();
  }
  return lCount < 1;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
  CWnd* main = AfxGetMainWnd();
  HWND hMain = AfxGetSafeHwnd(main);
  if (CWnd::WalkPreTranslateTree(hMain, pMsg)) return TRUE;
  // A window outside the main window's tree (a modeless dialog, a tool window) still gets the
  // main window's accelerators.
  if (main && hMain && pMsg->hwnd) {
    CWnd* top = CWnd::FromHandle(pMsg->hwnd)->GetTopLevelParent();
    if (top && top->m_hWnd != hMain) return main->PreTranslateMessage(pMsg);
  }
  return FALSE;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  m_pDocManager->AddDocTemplate(pTemplate);
}

int CWinApp::GetOpenDocumentCount() const { return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0; }

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
  if (m_pDocManager) m_pDocManager->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate) {
  return m_pDocManager && m_pDocManager->DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
}

void CWinApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::HideApplication() {
  if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->ShowWindow(SW_HIDE);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName) {
  if (m_pRecentFileList) m_pRecentFileList->Add(lpszPathName);
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
  return AfxShowMessageBox(AfxGetSafeOwner(), lpszPrompt, m_pszAppName, nType);
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID) {
  if (!m_pRecentFileList) return FALSE;
  int index = static_cast<int>(nID) - ID_FILE_MRU_FILE1;
  if (index < 0 || index >= m_pRecentFileList->GetSize()) return FALSE;
  std::string path = (*m_pRecentFileList)[index];
  if (path.empty()) return FALSE;
  if (OpenDocumentFile(path.c_str()) == nullptr) m_pRecentFileList->Remove(index);
  return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
  if (!m_pRecentFileList)
    pCmdUI->Enable(FALSE);
  else
    m_pRecentFileList->UpdateMenu(pCmdUI);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  if (nMaxMRU > 16) nMaxMRU = 16;
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  if (nMaxMRU != 0) {
    m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, kFileSection, kFileEntry, static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
  }
  m_nNumPreviewPages = GetProfileInt(kPreviewSection, kPreviewEntry, 0);
}

void CWinApp::SaveStdProfileSettings() {
  if (m_pRecentFileList) m_pRecentFileList->WriteList();
  if (m_nNumPreviewPages != 0) WriteProfileInt(kPreviewSection, kPreviewEntry, static_cast<int>(m_nNumPreviewPages));
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  std::vector<std::string> args = AfxSplitCommandLine(m_lpCmdLine);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    BOOL flag = !a.empty() && (a[0] == '-' || a[0] == '/');
    rCmdInfo.ParseParam(flag ? a.c_str() + 1 : a.c_str(), flag, i + 1 == args.size());
  }
}

HICON CWinApp::LoadIcon(UINT nIDResource) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)); }

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
  return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

// --- Profile ---

UniqueRegKey CWinApp::GetAppRegistryKey() {
  if (!m_pszRegistryKey || !*m_pszRegistryKey || !m_pszProfileName || !*m_pszProfileName) return {};
  CRegKey soft, company, app;
  if (soft.Open(HKEY_CURRENT_USER, "software", KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return {};
  if (company.Create(soft, m_pszRegistryKey) != ERROR_SUCCESS) return {};
  if (app.Create(company, m_pszProfileName) != ERROR_SUCCESS) return {};
  return UniqueRegKey(app.Detach());
}

UniqueRegKey CWinApp::GetSectionKey(LPCSTR lpszSection) {
  if (!lpszSection) return {};
  UniqueRegKey appKey = GetAppRegistryKey();
  if (!appKey) return {};
  CRegKey section;
  if (section.Create(appKey.get(), lpszSection) != ERROR_SUCCESS) return {};
  return UniqueRegKey(section.Detach());
}

namespace {

// Opens HKCU\software\<key>\<profile>\<section> for reading without creating anything.
CRegKey OpenSectionForRead(LPCSTR registryKey, LPCSTR profile, LPCSTR section) {
  CRegKey key;
  if (!registryKey || !profile || !section) return key;
  std::string path = std::string("software\\") + registryKey + "\\" + profile + "\\" + section;
  key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  return key;
}

bool UsesRegistry(LPCSTR registryKey) { return registryKey && *registryKey; }

// Binary values in a profile file: two letters 'A'..'P' per byte, low nibble first.
std::string EncodeBinary(const BYTE* data, UINT n) {
  std::string s;
  s.reserve(static_cast<size_t>(n) * 2);
  for (UINT i = 0; i < n; ++i) {
    s.push_back(static_cast<char>('A' + (data[i] & 0x0F)));
    s.push_back(static_cast<char>('A' + ((data[i] >> 4) & 0x0F)));
  }
  return s;
}

bool DecodeBinary(const std::string& s, std::vector<BYTE>& out) {
  if (s.size() % 2 != 0) return false;
  out.clear();
  for (size_t i = 0; i < s.size(); i += 2) {
    int lo = s[i] - 'A', hi = s[i + 1] - 'A';
    if (lo < 0 || lo > 15 || hi < 0 || hi > 15) return false;
    out.push_back(static_cast<BYTE>(lo | (hi << 4)));
  }
  return true;
}

std::string ReadProfileFileString(LPCSTR section, LPCSTR entry, LPCSTR def, LPCSTR file) {
  std::vector<char> buf(256);
  for (;;) {
    DWORD n = ::GetPrivateProfileStringA(section, entry, def ? def : "", buf.data(), static_cast<DWORD>(buf.size()), file);
    if (n < buf.size() - 1 || buf.size() >= (1u << 20)) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

}  // namespace

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
  if (!lpszSection || !lpszEntry) return static_cast<UINT>(nDefault);
  if (UsesRegistry(m_pszRegistryKey)) {
    CRegKey key = OpenSectionForRead(m_pszRegistryKey, m_pszProfileName, lpszSection);
    DWORD value = 0;
    if (key && key.QueryDWORDValue(lpszEntry, value) == ERROR_SUCCESS) return value;
    return static_cast<UINT>(nDefault);
  }
  return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

std::string CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
  std::string def = lpszDefault ? lpszDefault : "";
  if (!lpszSection || !lpszEntry) return def;
  if (UsesRegistry(m_pszRegistryKey)) {
    CRegKey key = OpenSectionForRead(m_pszRegistryKey, m_pszProfileName, lpszSection);
    std::string value;
    if (key && key.QueryStringValue(lpszEntry, value) == ERROR_SUCCESS) return value;
    return def;
  }
  return ReadProfileFileString(lpszSection, lpszEntry, def.c_str(), m_pszProfileName);
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>& out) {
  out.clear();
  if (!lpszSection || !lpszEntry) return FALSE;
  if (UsesRegistry(m_pszRegistryKey)) {
    CRegKey key = OpenSectionForRead(m_pszRegistryKey, m_pszProfileName, lpszSection);
    return key && key.QueryBinaryValue(lpszEntry, out) == ERROR_SUCCESS;
  }
  std::string text = ReadProfileFileString(lpszSection, lpszEntry, "", m_pszProfileName);
  if (text.empty() || !DecodeBinary(text, out)) {
    out.clear();
    return FALSE;
  }
  return TRUE;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes) {
  if (ppData) *ppData = nullptr;
  if (pBytes) *pBytes = 0;
  if (!ppData || !pBytes) return FALSE;
  std::vector<BYTE> data;
  if (!GetProfileBinary(lpszSection, lpszEntry, data)) return FALSE;
  auto block = std::make_unique<BYTE[]>(data.empty() ? 1 : data.size());
  std::copy(data.begin(), data.end(), block.get());
  *ppData = block.release();
  *pBytes = static_cast<UINT>(data.size());
  return TRUE;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
  if (!lpszSection || !lpszEntry) return FALSE;
  if (UsesRegistry(m_pszRegistryKey)) {
    UniqueRegKey section = GetSectionKey(lpszSection);
    if (!section) return FALSE;
    CRegKey key(section.release());
    return key.SetDWORDValue(lpszEntry, static_cast<DWORD>(nValue)) == ERROR_SUCCESS;
  }
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%d", nValue);
  return ::WritePrivateProfileStringA(lpszSection, lpszEntry, buf, m_pszProfileName);
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
  if (!lpszSection) return FALSE;
  if (UsesRegistry(m_pszRegistryKey)) {
    if (!lpszEntry) {
      // Delete the section with everything in it.
      UniqueRegKey appKey = GetAppRegistryKey();
      if (!appKey) return FALSE;
      return AfxDeleteRegKeyTree(appKey.get(), lpszSection) == ERROR_SUCCESS;
    }
    UniqueRegKey section = GetSectionKey(lpszSection);
    if (!section) return FALSE;
    CRegKey key(section.release());
    if (!lpszValue) return key.DeleteValue(lpszEntry) == ERROR_SUCCESS;
    return key.SetStringValue(lpszEntry, lpszValue) == ERROR_SUCCESS;
  }
  return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const void* pData, UINT nBytes) {
  if (!lpszSection || !lpszEntry || (!pData && nBytes)) return FALSE;
  if (UsesRegistry(m_pszRegistryKey)) {
    UniqueRegKey section = GetSectionKey(lpszSection);
    if (!section) return FALSE;
    CRegKey key(section.release());
    return key.SetBinaryValue(lpszEntry, pData, nBytes) == ERROR_SUCCESS;
  }
  std::string text = EncodeBinary(static_cast<const BYTE*>(pData), nBytes);
  return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text.c_str(), m_pszProfileName);
}

// The program's entry point: it runs the one application object.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
