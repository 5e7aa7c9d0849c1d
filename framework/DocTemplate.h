// Document types. A CDocTemplate ties together one resource id (the document strings, the
// shared menu, the accelerators and the icon of its frames), the classes of its documents,
// frames and views, and the documents of that type that are open. CMultiDocTemplate makes one
// MDI child frame per document and numbers untitled documents ("Image1", "Image2", ...).
//
// The resource string of the id holds "\n"-separated parts: window title, document name (the
// base of untitled titles), File New name, filter name, filter extension, file type id and
// file type name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CmdTarget.h"

class CDocument;
class CFrameWnd;
class CView;

// Factories of the classes a template makes (AfxNewObject<CMyDoc, CDocument> and the like).
using AfxDocumentFactory = CDocument* (*)();
using AfxFrameFactory = CFrameWnd* (*)();
using AfxViewFactory = CView* (*)();
template <class T, class Base>
Base* AfxNewObject() {
  return new T;
}

class CDocTemplate : public CCmdTarget {
 public:
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName,
  };
  enum Confidence {
    noAttempt,
    maybeAttemptForeign,
    maybeAttemptNative,
    yesAttemptForeign,
    yesAttemptNative,
    yesAlreadyOpen,
  };

  CDocTemplate(UINT nIDResource, AfxDocumentFactory pDocClass, AfxFrameFactory pFrameClass,
               AfxViewFactory pViewClass);
  ~CDocTemplate() override;

  UINT GetResourceId() const { return m_nIDResource; }
  // Loads the document strings, shared menu and accelerators (once; AddDocTemplate does it).
  virtual void LoadTemplate();
  // One part of the document string; FALSE (and empty) when it is missing or empty.
  virtual BOOL GetDocString(std::string& rString, DocStringIndex index) const;

  // --- The open documents of this type ---
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);
  const std::vector<CDocument*>& GetDocuments() const { return m_docList; }

  // --- Making documents and frames ---
  // A new document of this type, added to the list; null when it could not be made.
  virtual CDocument* CreateNewDocument();
  // A new frame (with its view) showing pDoc; null (after a message) when it failed.
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  // The frame's first update: the views get WM_INITIALUPDATE, the frame is shown.
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
  // Opens the file as a new document, or a new untitled one when lpszPathName is null. Null
  // when that failed; the document and its frame are then gone again.
  virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  // Gives an untitled document its title.
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;

  // How well a file fits this type: yesAlreadyOpen (rpDocMatch set) when a document of this
  // type has the file open, yesAttemptNative when its extension is this type's, else
  // yesAttemptForeign.
  virtual Confidence MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch);

  // Asks about each modified document in turn; FALSE when the user cancelled.
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);

  HMENU m_hMenuShared = nullptr;   // the menu of this type's frames (owned)
  HACCEL m_hAccelTable = nullptr;  // loaded accelerators (freed with the module)

 protected:
  UINT m_nIDResource;
  AfxDocumentFactory m_pDocClass;
  AfxFrameFactory m_pFrameClass;
  AfxViewFactory m_pViewClass;
  std::string m_strDocStrings;
  std::vector<CDocument*> m_docList;
  BOOL m_bLoaded = FALSE;
};

class CMultiDocTemplate : public CDocTemplate {
 public:
  CMultiDocTemplate(UINT nIDResource, AfxDocumentFactory pDocClass, AfxFrameFactory pFrameClass,
                    AfxViewFactory pViewClass);

  CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
  // "<document name><n>" with n counting up from 1 over the run.
  void SetDefaultTitle(CDocument* pDocument) override;

 protected:
  UINT m_nUntitledCount = 0;
};
