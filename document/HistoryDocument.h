// IHistoryDocument: what the image commands need from the document they change. The image
// document implements it; tests implement it over a plain bitmap.
#pragma once

#include <memory>

class CDibBitmap;

class IHistoryDocument {
 public:
  virtual ~IHistoryDocument() = default;

  // The document's image, null when it has none.
  virtual CDibBitmap* GetImage() = 0;
  // A new, empty bitmap of the kind the document keeps its image in; commands copy the image
  // into it before they change anything.
  virtual std::unique_ptr<CDibBitmap> NewImageBitmap() = 0;

  virtual bool IsModified() const = 0;
  virtual void SetModifiedFlag(bool modified) = 0;

  // Bracket a long step (the hourglass pointer in the program). Always paired.
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
};

// Shows the wait cursor of a document for one scope.
class CHistoryWaitCursor {
 public:
  explicit CHistoryWaitCursor(IHistoryDocument& document) : m_document(document) {
    m_document.BeginWaitCursor();
  }
  ~CHistoryWaitCursor() { m_document.EndWaitCursor(); }
  CHistoryWaitCursor(const CHistoryWaitCursor&) = delete;
  CHistoryWaitCursor& operator=(const CHistoryWaitCursor&) = delete;

 private:
  IHistoryDocument& m_document;
};
