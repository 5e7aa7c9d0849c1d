// CQuorvaCommand: the command that changes pixels. It applies one image filter to the document's
// image and keeps a copy of the image as it was when the command was made, so undoing is a copy
// back (size and depth included) and redoing runs the filter again.
// CQuorvaUndoCommand and CQuorvaRedoCommand are the transient steps the history makes for it.
#pragma once

#include "Command.h"
#include "HistoryDocument.h"

#include <memory>
#include <string>

class CDibBitmap;
class CImageFilter;

class CQuorvaCommand : public CCommand {
 public:
  // Copies the document's image at its own depth now, before the command runs; remembers the
  // document's modified flag. destImage, when given, receives the filter's result instead of
  // the document image (and the copy back when undoing). Throws CTextException when the copy
  // cannot be made.
  CQuorvaCommand(IHistoryDocument& document, std::unique_ptr<CImageFilter> filter,
                 std::string description, CDibBitmap* destImage = nullptr);
  ~CQuorvaCommand() override;

  int GetCommandType() const override { return kImageCommand; }
  // Applies the filter (with the wait cursor) and marks the document modified. False, with
  // nothing changed, when the document had no image when the command was made or has since
  // been given another image object.
  bool Execute() override;
  CCommand* CreateUndoCommand() override;
  CCommand* CreateRedoCommand() override;
  void GetDescription(std::string& out) const override { out = m_description; }

  // Copies the saved image back and gives the document the modified flag it had when the
  // command was made. False, with nothing changed, under the same conditions as Execute.
  bool Restore();

  const CDibBitmap* GetSavedImage() const { return m_savedImage.get(); }
  CDibBitmap* GetTargetImage() const { return m_targetImage; }
  bool WasModified() const { return m_wasModified; }

 private:
  bool TargetIsCurrent();

  std::unique_ptr<CImageFilter> m_filter;
  std::unique_ptr<CDibBitmap> m_savedImage;
  CDibBitmap* m_targetImage = nullptr;  // the document's image; not owned
  CDibBitmap* m_destImage = nullptr;    // not owned
  IHistoryDocument& m_document;
  bool m_wasModified = false;
  std::string m_description;
};

class CQuorvaUndoCommand : public CCommand {
 public:
  explicit CQuorvaUndoCommand(CQuorvaCommand& target) : m_target(target) {}
  int GetCommandType() const override { return kUndoCommand; }
  bool Execute() override { return m_target.Restore(); }
  CCommand* CreateUndoCommand() override { return nullptr; }
  CCommand* CreateRedoCommand() override { return nullptr; }
  void GetDescription(std::string& out) const override { out = "Undo last action"; }

 private:
  CQuorvaCommand& m_target;
};

class CQuorvaRedoCommand : public CCommand {
 public:
  explicit CQuorvaRedoCommand(CQuorvaCommand& target) : m_target(target) {}
  int GetCommandType() const override { return kRedoCommand; }
  bool Execute() override { return m_target.Execute(); }
  CCommand* CreateUndoCommand() override { return nullptr; }
  CCommand* CreateRedoCommand() override { return nullptr; }
  void GetDescription(std::string& out) const override { out = "Redo last action"; }

 private:
  CQuorvaCommand& m_target;
};
