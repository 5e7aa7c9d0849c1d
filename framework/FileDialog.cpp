#include "FileDialog.h"

#include <cstring>

#include "WinApp.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog) {
  m_pParentWnd = pParentWnd;
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &CFileDialog::HookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  m_ofn.nFilterIndex = 1;
  if (lpszDefExt) SetDefExt(lpszDefExt);
  if (lpszFileName) SetFileName(lpszFileName);
  if (lpszFilter) SetFilter(FilterFromBars(lpszFilter));
}

std::string CFileDialog::FilterFromBars(const std::string& withBars) {
  std::string filter = withBars;
  for (char& c : filter)
    if (c == '|') c = '\0';
  if (filter.empty() || filter.back() != '\0') filter.push_back('\0');
  filter.push_back('\0');
  return filter;
}

void CFileDialog::SetFilter(const std::string& zeroSeparated) {
  m_filter = zeroSeparated;
  // The list ends with an empty entry.
  while (m_filter.size() < 2 || m_filter[m_filter.size() - 1] != '\0' || m_filter[m_filter.size() - 2] != '\0')
    m_filter.push_back('\0');
}

void CFileDialog::SetTitle(const std::string& title) { m_title = title; }

void CFileDialog::SetDefExt(const std::string& ext) { m_defExt = (!ext.empty() && ext[0] == '.') ? ext.substr(1) : ext; }

void CFileDialog::SetFileName(const std::string& name) {
  std::memset(m_fileBuffer, 0, sizeof m_fileBuffer);
  // A name that does not fit is left out rather than cut into another name.
  if (name.size() < sizeof m_fileBuffer) name.copy(m_fileBuffer, name.size());
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = PreModal();
  m_ofn.hInstance = m_ofn.hInstance ? m_ofn.hInstance : AfxGetResourceHandle();
  m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
  m_ofn.lpstrFile = m_fileBuffer;
  m_ofn.nMaxFile = sizeof m_fileBuffer;
  m_ofn.lpstrFileTitle = m_fileTitle;
  m_ofn.nMaxFileTitle = sizeof m_fileTitle;
  m_ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
  m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
  m_ofn.lpfnHook = &CFileDialog::HookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;

  BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  // The child dialog is gone with the system's dialog; make sure nothing stays bound.
  if (m_hWnd) {
    if (m_pfnSuper) UnsubclassWindow(); else Detach();
  }
  m_bound = false;
  return ok ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return 0;
  auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
  auto* self = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
  if (!self || self->m_hWnd) return 0;
  self->SubclassWindow(hWnd);
  self->m_bound = true;
  return static_cast<UINT_PTR>(self->OnInitDialog());
}

BOOL CFileDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->hwndFrom != ::GetParent(m_hWnd)) return CDialog::OnNotify(wParam, lParam, pResult);
  switch (header->code) {
    case CDN_INITDONE:
      OnInitDone();
      break;
    case CDN_SELCHANGE:
      OnSelChange();
      break;
    case CDN_FOLDERCHANGE:
      OnFolderChange();
      break;
    case CDN_TYPECHANGE:
      if (auto* notify = reinterpret_cast<OFNOTIFYA*>(lParam); notify->lpOFN)
        m_ofn.nFilterIndex = notify->lpOFN->nFilterIndex;
      OnTypeChange();
      break;
    case CDN_FILEOK: {
      // A refusal keeps the system's dialog open.
      LRESULT refuse = OnFileNameOK() ? 0 : 1;
      ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, refuse);
      *pResult = refuse;
      return TRUE;
    }
    default:
      return CDialog::OnNotify(wParam, lParam, pResult);
  }
  *pResult = 0;
  return TRUE;
}

std::string CFileDialog::GetDialogText(UINT message) const {
  if (!m_hWnd) return std::string();
  char text[MAX_PATH * 2] = {};
  LRESULT n = ::SendMessageA(::GetParent(m_hWnd), message, sizeof text, reinterpret_cast<LPARAM>(text));
  if (n <= 0) return std::string();
  text[sizeof text - 1] = '\0';
  return text;
}

std::string CFileDialog::GetPathName() const {
  if (m_bound && m_hWnd) return GetDialogText(CDM_GETFILEPATH);
  return m_fileBuffer;
}

std::string CFileDialog::GetFileName() const {
  std::string path = GetPathName();
  size_t sep = path.find_last_of("\\/:");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string CFileDialog::GetFileExt() const {
  std::string name = GetFileName();
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string CFileDialog::GetFolderPath() const { return GetDialogText(CDM_GETFOLDERPATH); }
