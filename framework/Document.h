// CDocument: the data behind one or more views: title, path, modified flag and the list of
// views, and the file commands of one document (Save, Save As, Close). A document type
// (CDocTemplate) makes documents and their frames; the document manager (CDocManager) asks for
// file names.
//
// Opening and saving are the derived document's business: OnNewDocument, OnOpenDocument and
// OnSaveDocument return FALSE when they failed (after telling the user), and the framework then
// leaves everything as it was: a failed open discards the new document, a failed save keeps the
// document's name and modified flag.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CmdTarget.h"

class CView;
class CDocTemplate;

class CDocument : public CCmdTarget {
 public:
  CDocument() = default;
  ~CDocument() override;

  const std::string& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCSTR lpszTitle);
  const std::string& GetPathName() const { return m_strPathName; }
  // Stores the full path, sets the title to its file name and adds the file to the recent-file
  // list (bAddToMRU).
  virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
  // Forgets the path (an untitled document again); the title stays.
  void ClearPathName() { m_strPathName.clear(); }

  // The type that made this document (null for documents made by hand).
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

  // Views show the document; a view adds itself when it is given the document.
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  const std::vector<CView*>& GetViews() const { return m_views; }
  // Tells every view but pSender that the document changed.
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, void* pHint = nullptr);
  // Lets the frames of every view refresh their titles.
  void UpdateFrameCounts();

  // --- Contents and files ---
  // A fresh, untitled document: clears the contents, the path and the modified flag.
  virtual BOOL OnNewDocument();
  // Reads the file; the default clears the contents. FALSE when it failed (the user was told).
  virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
  // Writes the file; the default only clears the modified flag. FALSE when it failed (the
  // user was told); the document then stays modified.
  virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
  // Empties the document (before it is filled anew, and when it closes).
  virtual void DeleteContents() {}

  // Saves under lpszPathName, or, when it is null, under a name the user chooses (the document
  // manager's prompt). bReplace: the document takes the new name. FALSE when the user cancelled
  // or the save failed.
  virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
  // Save: under the document's own name, or asks for one when it has none or the file is
  // read-only.
  virtual BOOL DoFileSave();

  // Asked before a frame showing the document closes; the last one asks SaveModified.
  virtual BOOL CanCloseFrame(class CFrameWnd* pFrame);
  // Asks the user about unsaved changes ("Save changes to %1?" with Yes, No, Cancel): Yes
  // saves, No discards. FALSE cancels the close (also when the save failed).
  virtual BOOL SaveModified();
  // The document is closing: its frames go, the contents are deleted, then the document
  // itself (when m_bAutoDelete).
  virtual void OnCloseDocument();

  BOOL m_bAutoDelete = TRUE;  // delete the document when its last view goes

 protected:
  virtual void OnChangedViewList();
  // The name the save question shows: the file name, else the title.
  virtual std::string GetNameForPrompt();

  // ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_CLOSE
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileClose();

  std::string m_strTitle;
  std::string m_strPathName;
  BOOL m_bModified = FALSE;
  std::vector<CView*> m_views;
  CDocTemplate* m_pDocTemplate = nullptr;

  DECLARE_MESSAGE_MAP()

 private:
  friend class CDocTemplate;
};
