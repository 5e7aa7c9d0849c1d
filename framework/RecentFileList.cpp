#include "RecentFileList.h"

#include <cstdio>

#include "CmdTarget.h"
#include "Menu.h"
#include "WinApp.h"

namespace {

const std::string kEmpty;

std::string FormatEntry(const std::string& format, int n) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), format.c_str(), n);
  return buf;
}

// '&' would underline the next letter in a menu: double it.
std::string EscapeAmpersands(const std::string& s) {
  std::string out;
  for (char c : s) {
    out.push_back(c);
    if (c == '&') out.push_back('&');
  }
  return out;
}

}  // namespace

std::string AfxFullPath(LPCSTR lpszFileIn) {
  if (!lpszFileIn || !*lpszFileIn) return {};
  std::string out(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    LPSTR filePart = nullptr;
    DWORD n = ::GetFullPathNameA(lpszFileIn, static_cast<DWORD>(out.size()), out.data(), &filePart);
    if (n == 0) return lpszFileIn;
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.resize(n + 1);
  }
  return lpszFileIn;
}

BOOL AfxComparePath(LPCSTR lpszPath1, LPCSTR lpszPath2) {
  if (!lpszPath1 || !lpszPath2) return FALSE;
  return ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, lpszPath1, -1, lpszPath2, -1) == CSTR_EQUAL;
}

std::string AfxAbbreviateName(const std::string& path, int nMaxLength, BOOL bAtLeastName) {
  const size_t maxLen = nMaxLength < 0 ? 0 : static_cast<size_t>(nMaxLength);
  size_t lastSlash = path.find_last_of("\\/");
  std::string fileName = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);

  if (path.size() <= maxLen) return path;
  // Not even the name fits: the name alone (when it must be kept) or nothing.
  if (maxLen < fileName.size()) return bAtLeastName ? fileName : std::string();

  // The root to keep: "C:\" or "\\server\share\".
  size_t rootLen = 0;
  if (path.size() >= 2 && path[1] == ':') {
    rootLen = (path.size() >= 3 && (path[2] == '\\' || path[2] == '/')) ? 3 : 2;
  } else if (path.rfind("\\\\", 0) == 0) {
    size_t server = path.find('\\', 2);
    size_t share = server == std::string::npos ? std::string::npos : path.find('\\', server + 1);
    rootLen = share == std::string::npos ? path.size() : share + 1;
  }
  // Drop leading folders after the root until "root...\rest" fits.
  const std::string root = path.substr(0, rootLen);
  for (size_t k = path.find_first_of("\\/", rootLen); k != std::string::npos && k <= lastSlash;
       k = path.find_first_of("\\/", k + 1)) {
    std::string candidate = root + "..." + path.substr(k);
    if (candidate.size() <= maxLen) return candidate;
  }
  return fileName;
}

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_arrNames(static_cast<size_t>(nSize > 0 ? nSize : 0)),
      m_strSectionName(lpszSection ? lpszSection : ""),
      m_strEntryFormat(lpszEntryFormat ? lpszEntryFormat : "File%d"),
      m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen) {}

int CRecentFileList::GetCount() const {
  int n = 0;
  for (const std::string& s : m_arrNames)
    if (!s.empty()) ++n;
  return n;
}

const std::string& CRecentFileList::operator[](int nIndex) const {
  if (nIndex < 0 || nIndex >= GetSize()) return kEmpty;
  return m_arrNames[static_cast<size_t>(nIndex)];
}

void CRecentFileList::Add(LPCSTR lpszPathName) {
  if (m_arrNames.empty() || !lpszPathName || !*lpszPathName) return;
  std::string full = AfxFullPath(lpszPathName);
  // Where the entry is now (or the last slot, which falls off).
  size_t i = 0;
  for (; i + 1 < m_arrNames.size(); ++i)
    if (AfxComparePath(m_arrNames[i].c_str(), full.c_str())) break;
  for (; i > 0; --i) m_arrNames[i] = std::move(m_arrNames[i - 1]);
  m_arrNames[0] = std::move(full);
}

void CRecentFileList::Remove(int nIndex) {
  if (nIndex < 0 || nIndex >= GetSize()) return;
  for (size_t i = static_cast<size_t>(nIndex); i + 1 < m_arrNames.size(); ++i) m_arrNames[i] = std::move(m_arrNames[i + 1]);
  m_arrNames.back().clear();
}

BOOL CRecentFileList::GetDisplayName(std::string& strName, int nIndex, LPCSTR lpszCurDir, BOOL bAtLeastName) const {
  const std::string& path = (*this)[nIndex];
  if (path.empty()) return FALSE;
  strName = path;
  // A file in the current folder is shown by its name.
  if (lpszCurDir && *lpszCurDir) {
    std::string dir = lpszCurDir;
    if (dir.back() != '\\') dir.push_back('\\');
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash + 1 == dir.size() &&
        AfxComparePath(path.substr(0, slash + 1).c_str(), dir.c_str()))
      strName = path.substr(slash + 1);
  }
  if (m_nMaxDisplayLength >= 0) strName = AfxAbbreviateName(strName, m_nMaxDisplayLength, bAtLeastName);
  return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
  CMenu* menu = pCmdUI->m_pMenu;
  if (m_strOriginal.empty() && menu) m_strOriginal = menu->GetMenuString(pCmdUI->m_nID, MF_BYCOMMAND);

  if (GetCount() == 0) {
    // No files: take out the entries added before, show the original item disabled.
    if (menu) {
      for (int i = 1; i < GetSize(); ++i) menu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);
      pCmdUI->m_nIndexMax = static_cast<UINT>(menu->GetMenuItemCount());
      pCmdUI->m_nIndex = static_cast<UINT>(menu->FindMenuItem(pCmdUI->m_nID));
    }
    if (!m_strOriginal.empty()) pCmdUI->SetText(m_strOriginal.c_str());
    pCmdUI->Enable(FALSE);
    return;
  }
  if (!menu) return;

  for (int i = 0; i < GetSize(); ++i) menu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);

  char curDir[MAX_PATH + 1] = {};
  DWORD n = ::GetCurrentDirectoryA(MAX_PATH, curDir);
  if (n == 0 || n >= MAX_PATH) curDir[0] = '\0';

  UINT index = pCmdUI->m_nIndex;
  UINT id = pCmdUI->m_nID;
  for (int i = 0; i < GetSize(); ++i) {
    std::string name;
    if (!GetDisplayName(name, i, curDir)) break;
    char prefix[8];
    std::snprintf(prefix, sizeof(prefix), "&%d ", (i + 1) % 10);
    std::string label = prefix + EscapeAmpersands(name);
    menu->InsertMenu(index++, MF_STRING | MF_BYPOSITION, id++, label.c_str());
  }
  // The caller goes on after the last item put in.
  pCmdUI->m_nIndex = index - 1;
  pCmdUI->m_nID = id - 1;
  pCmdUI->m_nIndexMax = static_cast<UINT>(menu->GetMenuItemCount());
  pCmdUI->m_bEnableChanged = TRUE;  // the new items are enabled
}

void CRecentFileList::ReadList() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (std::string& s : m_arrNames) s.clear();
  size_t slot = 0;
  for (int i = 0; i < GetSize(); ++i) {
    std::string entry = FormatEntry(m_strEntryFormat, i + 1);
    std::string value = app->GetProfileString(m_strSectionName.c_str(), entry.c_str(), "");
    if (value.find_first_not_of(" \t") == std::string::npos) continue;  // blank
    m_arrNames[slot++] = std::move(value);
  }
}

void CRecentFileList::WriteList() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileString(m_strSectionName.c_str(), nullptr, nullptr);
  int n = 0;
  for (const std::string& name : m_arrNames) {
    if (name.empty()) continue;
    std::string entry = FormatEntry(m_strEntryFormat, ++n);
    app->WriteProfileString(m_strSectionName.c_str(), entry.c_str(), name.c_str());
  }
}
