// CQuorvaCaptureDoc: the image document. One document holds one picture (`image`), made from a
// capture, from the application's pending image (File New, Paste As New Image) or from a file.
// It opens and saves through the image library, keeps its title with a " *" marker while it has
// unsaved changes, carries the undo history of its editing commands and receives the Edit and
// Operations commands of the document menu.
//
// A failed save tells the user, leaves the file on disk as it was, keeps the document modified
// and reports failure to the framework (which then keeps the document's old name).
#pragma once

#include <memory>
#include <string>

#include "CommandHistory.h"
#include "DocumentHost.h"
#include "HistoryDocument.h"
#include "framework/Framework.h"

class CDisplayBitmap;
class CImageFilter;

class CQuorvaCaptureDoc : public CDocument, public CCommandHistory, public IHistoryDocument {
 public:
  // Update hints: 0 the pixels changed in place (the command is the hint object), 1 the image
  // may have a new size or be a new image.
  static constexpr LPARAM kHintPixels = 0;
  static constexpr LPARAM kHintImage = 1;

  CQuorvaCaptureDoc();
  ~CQuorvaCaptureDoc() override;

  // --- The document's state (read directly by views, dialogs, printing and the outputs) ---
  BOOL newCapture = FALSE;          // made from a capture; the view's first update clears it
  std::string baseTitle;            // the title as last set, without the marker
  std::unique_ptr<CDisplayBitmap> image;        // null before the first load or after a failed one
  std::unique_ptr<CDisplayBitmap> backupImage;  // only while a resize, scale or stretch dialog is open
  BOOL useStoredJpegOptions = FALSE;  // the next save takes the stored JPEG options

  // --- Framework operations ---
  void SetTitle(LPCSTR lpszTitle) override;
  BOOL IsModified() override { return m_bModified; }
  void SetModifiedFlag(BOOL bModified = TRUE) override { m_bModified = bModified; }
  void DeleteContents() override;
  BOOL OnNewDocument() override;
  BOOL OnOpenDocument(LPCSTR lpszPathName) override;
  BOOL OnSaveDocument(LPCSTR lpszPathName) override;
  void OnCloseDocument() override;
  BOOL SaveModified() override;

  // --- History hooks ---
  void OnStateChanged() override;
  void OnCommandDone(CCommand* cmd) override;
  bool DoPending(CCommand* cmd, bool keep) override;

  // --- What the image commands need ---
  CDibBitmap* GetImage() override;
  std::unique_ptr<CDibBitmap> NewImageBitmap() override;
  bool IsModified() const override { return m_bModified != FALSE; }
  void SetModifiedFlag(bool modified) override { m_bModified = modified ? TRUE : FALSE; }
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

  // --- Operations other parts call ---
  // The title with " *" while the history has net changes or the document is modified.
  void UpdateTitle();
  // Makes sure the image has 32 bits per pixel, asking first (string 1233). FALSE when the
  // user declined or there is no image. The conversion is not an undo step.
  BOOL EnsureTrueColor();
  // backupImage = a copy of image (deleted when there is no image) / deleted.
  void MakeBackup();
  void DropBackup();
  // Saves through the Save command with the stored JPEG options (the capture outputs), then
  // lets the active image window refresh its title. With a path the document is saved under it
  // without asking (an automatic name); otherwise the untitled document asks for a name.
  // FALSE when nothing was saved.
  BOOL SaveWithStoredOptions(LPCSTR path = nullptr);
  // Runs an image filter as an undoable command (common frame of the menu operations: a no-op
  // without an image; views updated with hint 1). FALSE when nothing was done.
  BOOL RunImageFilter(std::unique_ptr<CImageFilter> filter, const char* description, bool needsTrueColor = true);

  // The file type of a path for saving: the text after its last ".", lower-cased, when that
  // "." is neither the first nor the last character; "" otherwise.
  static std::string SaveTypeOfPath(const std::string& path);

  // What Send Mail attaches: the saved file itself, or a temporary file written for the mail.
  struct MailAttachment {
    std::string path;
    std::string displayName;
    bool temporary = false;
  };
  // Prepares the attachment (writing the temporary file when one is needed). False when there
  // is nothing to send (no image, no temporary file, a failed write: the user was told).
  bool PrepareMailAttachment(MailAttachment& out);

  // The document's commands (also reachable through the menus).
  void OnEditUndo();
  void OnEditRedo();
  void OnFileReload();
  void OnFileSendMail();
  void OnEditCopyAll();

 protected:
  std::string GetNameForPrompt() override;

  void OnUpdateEditUndo(CCmdUI* pCmdUI);
  void OnUpdateEditRedo(CCmdUI* pCmdUI);
  void OnUpdateFileSave(CCmdUI* pCmdUI);
  void OnUpdateFileReload(CCmdUI* pCmdUI);
  void OnUpdateNeedsSelection(CCmdUI* pCmdUI);
  void OnUpdateEditPaste(CCmdUI* pCmdUI);
  void OnUpdateAlways(CCmdUI* pCmdUI);
  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  void OnImageCrop();
  void OnImageRotateClockwise();
  void OnImageRotateCounterClockwise();
  void OnImageFlipHorizontal();
  void OnImageFlipVertical();
  void OnImageGrayscale();
  void OnImageInvert();
  // The operations with a dialog (QuorvaCaptureDocOperations.cpp).
  void OnImageResize();
  void OnImageScale();
  void OnImageStretch();
  void OnImageRotateAnyAngle();
  void OnImageBrightness();
  void OnImageContrast();
  void OnImageIntensity();

  DECLARE_MESSAGE_MAP()

 private:
  // The edit side of the active image window when it shows this document, or null.
  IImageEditView* GetActiveEditView() const;
  void PostUpdateTabBar() const;
  // Writes the image to path with the encoder of imageType (an ImageTypeId); the text of a
  // failure in errorText. The file on disk changes only when the whole file could be written. The stored JPEG options when useStored, else the current ones.
  bool WriteImageFile(const std::string& path, int imageType, const JpegSaveSettings& jpeg, std::string& errorText);

  int m_waitCursorCount = 0;  // this document's share of the program's wait cursor count
};
