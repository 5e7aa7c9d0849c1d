#include "QuorvaCommand.h"

#include "DibBitmap.h"
#include "filters/ImageFilter.h"

#include <utility>

CQuorvaCommand::CQuorvaCommand(IHistoryDocument& document, std::unique_ptr<CImageFilter> filter,
                               std::string description, CDibBitmap* destImage)
    : filter(std::move(filter)),
      targetImage(document.GetImage()),
      destImage(destImage),
      document(document),
      wasModified(document.IsModified()),
      description(std::move(description)) {
  if (targetImage) {
    savedImage = document.NewImageBitmap();
    if (savedImage) savedImage->CreateCopy(*targetImage, 0);
  }
}

CQuorvaCommand::~CQuorvaCommand() = default;

// A command holds the document's image object by address. When the document has replaced that
// object (a file opened or reloaded while the command was pending), the command no longer
// applies to anything and refuses to run.
bool CQuorvaCommand::TargetIsCurrent() {
  return targetImage != nullptr && savedImage != nullptr && document.GetImage() == targetImage;
}

bool CQuorvaCommand::Execute() {
  if (!filter || !TargetIsCurrent()) return false;
  CHistoryWaitCursor wait(document);
  if (destImage)
    filter->Apply(*targetImage, *destImage);
  else
    filter->ApplyInPlace(*targetImage);
  document.SetModifiedFlag(true);
  return true;
}

bool CQuorvaCommand::Restore() {
  if (!TargetIsCurrent()) return false;
  CHistoryWaitCursor wait(document);
  CDibBitmap& into = destImage ? *destImage : *targetImage;
  into.CreateCopy(*savedImage, 0);
  document.SetModifiedFlag(wasModified);
  return true;
}

CCommand* CQuorvaCommand::CreateUndoCommand() { return new CQuorvaUndoCommand(*this); }

CCommand* CQuorvaCommand::CreateRedoCommand() { return new CQuorvaRedoCommand(*this); }
