#include "DocManager.h"

#include <commdlg.h>

#include "DocTemplate.h"
#include "Document.h"
#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "MessageBox.h"
#include "RecentFileList.h"
#include "View.h"
#include "WinApp.h"

CDocManager::CDocManager() = default;

CDocManager::~CDocManager() {
  for (CDocTemplate* tmpl : m_templateList) delete tmpl;
  m_templateList.clear();
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) {
  if (!pTemplate) return;
  for (CDocTemplate* tmpl : m_templateList)
    if (tmpl == pTemplate) return;
  pTemplate->LoadTemplate();
  m_templateList.push_back(pTemplate);
}

std::vector<CDocument*> CDocManager::GetDocuments() const {
  std::vector<CDocument*> docs;
  for (CDocTemplate* tmpl : m_templateList)
    docs.insert(docs.end(), tmpl->GetDocuments().begin(), tmpl->GetDocuments().end());
  return docs;
}

int CDocManager::GetOpenDocumentCount() const { return static_cast<int>(GetDocuments().size()); }

void CDocManager::OnFileNew() {
  if (m_templateList.empty()) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
    return;
  }
  m_templateList.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  std::string fileName;
  if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  if (CWinApp* app = AfxGetApp())
    app->OpenDocumentFile(fileName.c_str());
  else
    OpenDocumentFile(fileName.c_str());
}

CDocument* CDocManager::OpenDocumentFile(LPCSTR lpszFileName) {
  if (!lpszFileName || !*lpszFileName) return nullptr;
  std::string fullPath = AfxFullPath(lpszFileName);

  CDocTemplate* best = nullptr;
  CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
  CDocument* openDoc = nullptr;
  for (CDocTemplate* tmpl : m_templateList) {
    CDocument* match = nullptr;
    CDocTemplate::Confidence confidence = tmpl->MatchDocType(fullPath.c_str(), match);
    if (confidence > bestMatch) {
      bestMatch = confidence;
      best = tmpl;
      openDoc = match;
    }
    if (confidence == CDocTemplate::yesAlreadyOpen) break;
  }
  if (bestMatch == CDocTemplate::yesAlreadyOpen && openDoc) {
    // Already open: bring its frame forward.
    for (CView* view : openDoc->GetViews()) {
      if (CFrameWnd* frame = view->m_hWnd ? view->GetParentFrame() : nullptr) {
        frame->ActivateFrame();
        break;
      }
    }
    return openDoc;
  }
  if (!best) {
    AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
    return nullptr;
  }
  return best->OpenDocumentFile(fullPath.c_str());
}

std::string CDocManager::BuildFilter(CDocTemplate* pTemplate) const {
  std::string filter;
  auto add = [&filter](CDocTemplate* tmpl) {
    std::string name, ext;
    if (!tmpl->GetDocString(name, CDocTemplate::filterName) || !tmpl->GetDocString(ext, CDocTemplate::filterExt))
      return;
    std::string patterns;
    size_t start = 0;
    for (;;) {
      size_t end = ext.find(';', start);
      std::string one = ext.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!one.empty()) patterns += (patterns.empty() ? "*" : ";*") + one;
      if (end == std::string::npos) break;
      start = end + 1;
    }
    filter += name;
    filter.push_back('\0');
    filter += patterns;
    filter.push_back('\0');
  };
  if (pTemplate)
    add(pTemplate);
  else
    for (CDocTemplate* tmpl : m_templateList) add(tmpl);
  filter += LoadResString(AFX_IDS_ALLFILTER);
  filter.push_back('\0');
  filter += "*.*";
  filter.push_back('\0');
  filter.push_back('\0');
  return filter;
}

BOOL CDocManager::DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate) {
  std::string title = LoadResString(nIDSTitle);
  std::string filter = BuildFilter(pTemplate);
  char buffer[MAX_PATH] = {};
  if (fileName.size() < sizeof buffer) fileName.copy(buffer, fileName.size());

  std::string defExt;
  if (pTemplate && pTemplate->GetDocString(defExt, CDocTemplate::filterExt)) {
    defExt = defExt.substr(0, defExt.find(';'));
    if (!defExt.empty() && defExt[0] == '.') defExt.erase(0, 1);
  }

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = AfxGetSafeOwner();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
  ofn.Flags = lFlags | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
              (bOpenFileDialog ? 0 : OFN_OVERWRITEPROMPT);
  BOOL ok = bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
  if (!ok) return FALSE;
  fileName = buffer;
  return TRUE;
}

BOOL CDocManager::SaveAllModified() {
  for (CDocTemplate* tmpl : m_templateList)
    if (!tmpl->SaveAllModified()) return FALSE;
  return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession) {
  for (CDocTemplate* tmpl : m_templateList) tmpl->CloseAllDocuments(bEndSession);
}
