// CDocument: the data behind one or more views. This is the routing part of the document/view
// layer: title, path, modified flag and the list of views. Opening, saving and the document
// templates are built on top of it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CmdTarget.h"

class CView;

class CDocument : public CCmdTarget {
 public:
  CDocument() = default;
  ~CDocument() override;

  const std::string& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCSTR lpszTitle);
  const std::string& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);

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

  // Asked before a frame showing the document closes; the last one asks SaveModified.
  virtual BOOL CanCloseFrame(class CFrameWnd* pFrame);
  // Asks the user about unsaved changes; FALSE cancels the close. The default allows it.
  virtual BOOL SaveModified();
  // The document is closing: its frames go, then the document (when m_bAutoDelete).
  virtual void OnCloseDocument();

  BOOL m_bAutoDelete = TRUE;  // delete the document when its last view goes

 protected:
  virtual void OnChangedViewList();

  std::string m_strTitle;
  std::string m_strPathName;
  BOOL m_bModified = FALSE;
  std::vector<CView*> m_views;

  DECLARE_MESSAGE_MAP()
};
