// CDocManager: the application's document types and the one place that asks the user for file
// names. File New, File Open, the recent-file commands and Save As all come here. A program
// that wants its own file dialogs (or no dialog at all, for an automatic save) derives from it,
// overrides DoPromptFileName and installs its manager as CWinApp::m_pDocManager before the
// first AddDocTemplate.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CDocTemplate;
class CDocument;

class CDocManager {
 public:
  CDocManager();
  virtual ~CDocManager();  // deletes the templates
  CDocManager(const CDocManager&) = delete;
  CDocManager& operator=(const CDocManager&) = delete;

  // Takes ownership of the template and loads its resources.
  virtual void AddDocTemplate(CDocTemplate* pTemplate);
  const std::vector<CDocTemplate*>& GetTemplates() const { return m_templateList; }
  // Every open document of every type.
  std::vector<CDocument*> GetDocuments() const;
  virtual int GetOpenDocumentCount() const;

  // ID_FILE_NEW: a new untitled document of the first type.
  virtual void OnFileNew();
  // ID_FILE_OPEN: asks for a file and opens it through the application.
  virtual void OnFileOpen();
  // Opens a file: a document that has it open already is activated instead. Null when that
  // failed.
  virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);

  // Asks for a file name with the common Open (bOpenFileDialog) or Save As dialog: fileName
  // in and out, the title is string nIDSTitle, lFlags are added to the dialog's flags. TRUE
  // when the user confirmed a name.
  virtual BOOL DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                CDocTemplate* pTemplate);

  // Asks about every modified document; FALSE when the user cancelled.
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);

 protected:
  // The filter of the default dialog: each type's filter name and extensions, then all files.
  std::string BuildFilter(CDocTemplate* pTemplate) const;

  std::vector<CDocTemplate*> m_templateList;
};
