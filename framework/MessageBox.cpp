#include "MessageBox.h"

#include <cstdio>

#include "AfxState.h"
#include "FrameworkRes.h"
#include "WinApp.h"
#include "Wnd.h"

namespace {

struct BuiltinString {
  UINT id;
  const char* text;
};

// The same texts as Framework.rc, for programs (and tests) whose resources lack them.
constexpr BuiltinString kBuiltinStrings[] = {
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {AFX_IDS_OPENFILE, "Open"},
    {AFX_IDS_SAVEFILE, "Save As"},
    {AFX_IDS_ALLFILTER, "All Files (*.*)"},
    {AFX_IDS_UNTITLED, "Untitled"},
    {AFX_IDS_SAVEFILECOPY, "Save As"},
    {AFX_IDS_PREVIEW_CLOSE, "Close print preview mode\nCancel Preview"},
    {AFX_IDS_UNNAMED_FILE, "an unnamed file"},
    {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
    {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
    {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    {AFX_IDP_FILE_TOO_LARGE, "The file is too large to open."},
    {AFX_IDP_FAILED_TO_START_PRINT, "Could not start print job."},
    {AFX_IDP_FAILED_TO_LAUNCH_HELP, "Failed to launch help."},
    {AFX_IDP_INTERNAL_FAILURE, "Internal application error."},
    {AFX_IDP_COMMAND_FAILURE, "Command failed."},
    {AFX_IDP_FAILED_MEMORY_ALLOC, "Insufficient memory to perform operation."},
    {AFX_IDP_PARSE_INT, "Please enter an integer."},
    {AFX_IDP_PARSE_REAL, "Please enter a number."},
    {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
    {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2."},
    {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
    {AFX_IDP_PARSE_RADIO_BUTTON, "Please select a button."},
    {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},
    {AFX_IDP_PARSE_BYTE, "Please enter an integer between 0 and 255."},
};

int DefaultMessageBox(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  return ::MessageBoxA(hOwner, lpszText, lpszCaption, nType);
}

AfxMessageBoxFn g_messageBoxFn = DefaultMessageBox;

}  // namespace

const char* AfxBuiltinString(UINT nID) {
  for (const BuiltinString& s : kBuiltinStrings)
    if (s.id == nID) return s.text;
  return nullptr;
}

BOOL AfxLoadString(UINT nID, std::string& out, HINSTANCE hInst) {
  out.clear();
  if (!hInst) hInst = AfxGetResourceHandle();
  // Strings live in blocks of 16: block nID / 16 + 1, each string a length word and UTF-16 text.
  HRSRC res = ::FindResourceA(hInst, MAKEINTRESOURCEA((nID >> 4) + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
  if (res) {
    HGLOBAL h = ::LoadResource(hInst, res);
    DWORD size = ::SizeofResource(hInst, res);
    const WCHAR* p = h ? static_cast<const WCHAR*>(::LockResource(h)) : nullptr;
    if (p) {
      const WCHAR* end = p + size / sizeof(WCHAR);
      for (UINT i = 0; i < (nID & 15) && p < end; ++i) p += 1 + *p;
      if (p < end) {
        UINT len = *p++;
        if (len > static_cast<UINT>(end - p)) len = static_cast<UINT>(end - p);  // a damaged block
        if (len > 0) {
          int n = ::WideCharToMultiByte(CP_ACP, 0, p, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
          out.resize(n > 0 ? static_cast<size_t>(n) : 0);
          if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, p, static_cast<int>(len), out.data(), n, nullptr, nullptr);
          return TRUE;
        }
        // Length 0 is how a block marks an absent string.
      }
    }
  }
  if (const char* builtin = AfxBuiltinString(nID)) {
    out = builtin;
    return TRUE;
  }
  return FALSE;
}

std::string LoadResString(UINT nID, HINSTANCE hInst) {
  std::string s;
  AfxLoadString(nID, s, hInst);
  return s;
}

void AfxFormatStrings(std::string& rString, LPCSTR lpszFormat, const LPCSTR* rglpsz, int nString) {
  rString.clear();
  if (!lpszFormat) return;
  for (const char* p = lpszFormat; *p; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
      int i = p[1] - '1';
      if (rglpsz && i < nString && rglpsz[i]) rString += rglpsz[i];
      ++p;
    } else {
      rString.push_back(*p);
    }
  }
}

void AfxFormatStrings(std::string& rString, UINT nIDS, const LPCSTR* rglpsz, int nString) {
  std::string format = LoadResString(nIDS);
  AfxFormatStrings(rString, format.c_str(), rglpsz, nString);
}

void AfxFormatString1(std::string& rString, UINT nIDS, LPCSTR lpsz1) { AfxFormatStrings(rString, nIDS, &lpsz1, 1); }

void AfxFormatString2(std::string& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2) {
  LPCSTR args[2] = {lpsz1, lpsz2};
  AfxFormatStrings(rString, nIDS, args, 2);
}

AfxMessageBoxFn AfxSetMessageBoxFunction(AfxMessageBoxFn fn) {
  AfxMessageBoxFn old = g_messageBoxFn;
  g_messageBoxFn = fn ? fn : DefaultMessageBox;
  return old;
}

int AfxShowMessageBox(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  return g_messageBoxFn(hOwner, lpszText ? lpszText : "", lpszCaption ? lpszCaption : "", nType);
}

HWND AfxGetSafeOwner() {
  HWND active = ::GetActiveWindow();
  if (active && ::IsWindowVisible(active)) return active;
  CWnd* main = AfxGetMainWnd();
  if (main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) return ::GetLastActivePopup(main->m_hWnd);
  return nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
  std::string caption;
  {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    caption = path;
    size_t slash = caption.find_last_of("\\/");
    if (slash != std::string::npos) caption.erase(0, slash + 1);
    size_t dot = caption.find_last_of('.');
    if (dot != std::string::npos) caption.resize(dot);
  }
  return AfxShowMessageBox(AfxGetSafeOwner(), lpszText, caption.c_str(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  std::string text;
  if (!AfxLoadString(nIDPrompt, text)) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), "(message %u is missing)", nIDPrompt);
    text = buf;
  }
  return AfxMessageBox(text.c_str(), nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
