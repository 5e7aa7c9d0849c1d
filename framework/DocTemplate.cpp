#include "DocTemplate.h"

#include <algorithm>

#include "Document.h"
#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "MDIChildWnd.h"
#include "MessageBox.h"
#include "View.h"
#include "WinApp.h"

// --- CDocTemplate ---

CDocTemplate::CDocTemplate(UINT nIDResource, AfxDocumentFactory pDocClass, AfxFrameFactory pFrameClass,
                           AfxViewFactory pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {}

CDocTemplate::~CDocTemplate() {
  // Documents still open outlive their type only at the very end of the program.
  for (CDocument* doc : m_docList) doc->m_pDocTemplate = nullptr;
  m_docList.clear();
  if (m_hMenuShared) ::DestroyMenu(m_hMenuShared);
}

void CDocTemplate::LoadTemplate() {
  if (m_bLoaded) return;
  m_bLoaded = TRUE;
  AfxLoadString(m_nIDResource, m_strDocStrings);
  HINSTANCE hInst = AfxGetResourceHandle();
  if (::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDResource), MAKEINTRESOURCEA(4) /* RT_MENU */))
    m_hMenuShared = ::LoadMenuA(hInst, MAKEINTRESOURCEA(m_nIDResource));
  if (::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDResource), MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */))
    m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(m_nIDResource));
}

BOOL CDocTemplate::GetDocString(std::string& rString, DocStringIndex index) const {
  rString.clear();
  size_t start = 0;
  for (int i = 0; i < index; ++i) {
    size_t nl = m_strDocStrings.find('\n', start);
    if (nl == std::string::npos) return FALSE;
    start = nl + 1;
  }
  size_t end = m_strDocStrings.find('\n', start);
  rString = m_strDocStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return !rString.empty();
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
  if (!pDoc || std::find(m_docList.begin(), m_docList.end(), pDoc) != m_docList.end()) return;
  if (pDoc->m_pDocTemplate && pDoc->m_pDocTemplate != this) pDoc->m_pDocTemplate->RemoveDocument(pDoc);
  m_docList.push_back(pDoc);
  pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
  auto it = std::find(m_docList.begin(), m_docList.end(), pDoc);
  if (it == m_docList.end()) return;
  m_docList.erase(it);
  pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  CDocument* doc = m_pDocClass();
  if (doc) AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
  if (!m_pFrameClass) return nullptr;
  CCreateContext context;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewDocTemplate = this;
  context.m_pCurrentFrame = pOther;

  CFrameWnd* frame = m_pFrameClass();
  if (!frame) return nullptr;
  if (auto* child = dynamic_cast<CMDIChildWnd*>(frame)) child->m_hMenuShared = m_hMenuShared;
  // Made hidden; InitialUpdateFrame shows it once its views are ready.
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
    delete frame;  // a frame that failed to load still belongs to us
    return nullptr;
  }
  if (!frame->m_hAccelTable) frame->m_hAccelTable = m_hAccelTable;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch) {
  rpDocMatch = nullptr;
  if (!lpszPathName || !*lpszPathName) return noAttempt;
  for (CDocument* doc : m_docList) {
    if (!doc->GetPathName().empty() && ::lstrcmpiA(doc->GetPathName().c_str(), lpszPathName) == 0) {
      rpDocMatch = doc;
      return yesAlreadyOpen;
    }
  }
  std::string extensions;
  if (GetDocString(extensions, filterExt)) {
    std::string path = lpszPathName;
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("\\/:");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
      std::string ext = path.substr(dot);
      size_t start = 0;
      while (start <= extensions.size()) {
        size_t end = extensions.find(';', start);
        std::string one = extensions.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!one.empty() && ::lstrcmpiA(one.c_str(), ext.c_str()) == 0) return yesAttemptNative;
        if (end == std::string::npos) break;
        start = end + 1;
      }
    }
  }
  return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified() {
  std::vector<CDocument*> docs = m_docList;
  for (CDocument* doc : docs) {
    if (std::find(m_docList.begin(), m_docList.end(), doc) == m_docList.end()) continue;
    if (!doc->SaveModified()) return FALSE;
  }
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  // Each close removes the document from the list.
  while (!m_docList.empty()) {
    CDocument* doc = m_docList.front();
    size_t before = m_docList.size();
    doc->OnCloseDocument();
    if (m_docList.size() == before && !m_docList.empty() && m_docList.front() == doc) {
      // A document that is not deleted when it closes leaves the list by hand.
      RemoveDocument(doc);
    }
  }
}

// --- CMultiDocTemplate ---

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, AfxDocumentFactory pDocClass, AfxFrameFactory pFrameClass,
                                     AfxViewFactory pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible) {
  LoadTemplate();
  CDocument* doc = CreateNewDocument();
  if (!doc) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
    return nullptr;
  }
  // The document must not delete itself while its frame is being made.
  BOOL autoDelete = doc->m_bAutoDelete;
  doc->m_bAutoDelete = FALSE;
  CFrameWnd* frame = CreateNewFrame(doc, nullptr);
  doc->m_bAutoDelete = autoDelete;
  if (!frame) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
    delete doc;
    return nullptr;
  }

  // A failed fill destroys the frame, whose view takes the document with it.
  auto discard = [this, doc, frame] {
    frame->DestroyWindow();
    if (std::find(m_docList.begin(), m_docList.end(), doc) != m_docList.end()) delete doc;  // it had no view
  };
  if (!lpszPathName) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      discard();
      return nullptr;
    }
    m_nUntitledCount++;
  } else {
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    BOOL opened = doc->OnOpenDocument(lpszPathName);
    ::SetCursor(old);
    if (!opened) {
      discard();
      return nullptr;
    }
    doc->SetPathName(lpszPathName);
  }
  InitialUpdateFrame(frame, doc, bMakeVisible);
  return doc;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  std::string name;
  if (!GetDocString(name, docName)) name = LoadResString(AFX_IDS_UNTITLED);
  name += std::to_string(m_nUntitledCount + 1);
  pDocument->SetTitle(name.c_str());
}
