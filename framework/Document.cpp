#include "Document.h"

#include <algorithm>

#include "DocTemplate.h"
#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "MessageBox.h"
#include "RecentFileList.h"
#include "View.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
  ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
END_MESSAGE_MAP()

namespace {

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CDocument::~CDocument() {
  for (CView* view : m_views) view->m_pDocument = nullptr;
  m_views.clear();
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
  m_strTitle = lpszTitle ? lpszTitle : "";
  UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU) {
  m_strPathName = (lpszPathName && *lpszPathName) ? AfxFullPath(lpszPathName) : std::string();
  SetTitle(FileNamePart(m_strPathName).c_str());
  if (bAddToMRU && !m_strPathName.empty()) {
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName.c_str());
  }
}

void CDocument::AddView(CView* pView) {
  if (!pView || std::find(m_views.begin(), m_views.end(), pView) != m_views.end()) return;
  if (pView->m_pDocument && pView->m_pDocument != this) pView->m_pDocument->RemoveView(pView);
  m_views.push_back(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  auto it = std::find(m_views.begin(), m_views.end(), pView);
  if (it == m_views.end()) return;
  m_views.erase(it);
  pView->m_pDocument = nullptr;
  OnChangedViewList();  // may delete this document
}

void CDocument::OnChangedViewList() {
  if (m_bAutoDelete && m_views.empty()) {
    OnCloseDocument();
    return;
  }
  UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, void* pHint) {
  std::vector<CView*> views = m_views;  // a view may go while it updates
  for (CView* view : views)
    if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::UpdateFrameCounts() {
  for (CView* view : m_views) {
    if (CFrameWnd* frame = view->m_hWnd ? view->GetParentFrame() : nullptr) frame->DelayUpdateFrameTitle();
  }
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.clear();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR) {
  DeleteContents();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR) {
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace) {
  std::string newName = lpszPathName ? lpszPathName : "";
  if (newName.empty()) {
    newName = m_strPathName;
    if (bReplace && newName.empty()) {
      // An untitled document offers its title, cut before anything a file name cannot hold.
      newName = m_strTitle;
      size_t bad = newName.find_first_of(" #%;/\\:*?\"<>|");
      if (bad != std::string::npos) newName.resize(bad);
      std::string ext;
      if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.empty() &&
          newName.find('.') == std::string::npos) {
        newName += ext.substr(0, ext.find(';'));
      }
    }
    CWinApp* app = AfxGetApp();
    if (!app || !app->DoPromptFileName(newName, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
      return FALSE;
  }
  // A failed save has told the user; the document keeps its name and stays modified.
  if (!OnSaveDocument(newName.c_str())) return FALSE;
  if (bReplace) SetPathName(newName.c_str());
  return TRUE;
}

BOOL CDocument::DoFileSave() {
  DWORD attributes = m_strPathName.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName.c_str());
  if (m_strPathName.empty() || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)))
    return DoSave(nullptr);
  return DoSave(m_strPathName.c_str());
}

std::string CDocument::GetNameForPrompt() {
  if (!m_strPathName.empty()) return FileNamePart(m_strPathName);
  if (!m_strTitle.empty()) return m_strTitle;
  return LoadResString(AFX_IDS_UNTITLED);
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
  for (CView* view : m_views) {
    CFrameWnd* frame = view->m_hWnd ? view->GetParentFrame() : nullptr;
    if (frame && frame != pFrame) return TRUE;  // another frame still shows the document
  }
  return SaveModified();
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  std::string prompt;
  AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, GetNameForPrompt().c_str());
  switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDYES:
      return DoFileSave();
    case IDNO:
      return TRUE;
    default:  // Cancel, or the box could not be shown
      return FALSE;
  }
}

void CDocument::OnCloseDocument() {
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // not while the frames go
  std::vector<CView*> views = m_views;
  for (CView* view : views) {
    // A frame may show two views of this document: destroy each frame once.
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end() || !view->m_hWnd) continue;
    if (CFrameWnd* frame = view->GetParentFrame()) frame->DestroyWindow();
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

void CDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();  // this document is gone now
}
