#include "QuorvaCommand.h"

#include "DibBitmap.h"
#include "filters/ImageFilter.h"

#include <utility>

CQuorvaCommand::CQuorvaCommand(IHistoryDocument& document, std::unique_ptr<CImageFilter> filter,
                               std::string description, CDibBitmap* destImage)
    : m_filter(std::move(filter)),
      m_targetImage(document.GetImage()),
      m_destImage(destImage),
      m_document(document),
      m_wasModified(document.IsModified()),
      m_description(std::move(description)) {
  if (m_targetImage) {
    m_savedImage = document.NewImageBitmap();
    if (m_savedImage) m_savedImage->CreateCopy(*m_targetImage, 0);
  }
}

CQuorvaCommand::~CQuorvaCommand() = default;

// A command holds the document's image object by address. When the document has replaced that
// object (a file opened or reloaded while the command was pending), the command no longer
// applies to anything and refuses to run.
bool CQuorvaCommand::TargetIsCurrent() {
  return m_targetImage != nullptr && m_savedImage != nullptr && m_document.GetImage() == m_targetImage;
}

bool CQuorvaCommand::Execute() {
  if (!m_filter || !TargetIsCurrent()) return false;
  CHistoryWaitCursor wait(m_document);
  if (m_destImage)
    m_filter->Apply(*m_targetImage, *m_destImage);
  else
    m_filter->ApplyInPlace(*m_targetImage);
  m_document.SetModifiedFlag(true);
  return true;
}

bool CQuorvaCommand::Restore() {
  if (!TargetIsCurrent()) return false;
  CHistoryWaitCursor wait(m_document);
  CDibBitmap& into = m_destImage ? *m_destImage : *m_targetImage;
  into.CreateCopy(*m_savedImage, 0);
  m_document.SetModifiedFlag(m_wasModified);
  return true;
}

CCommand* CQuorvaCommand::CreateUndoCommand() { return new CQuorvaUndoCommand(*this); }

CCommand* CQuorvaCommand::CreateRedoCommand() { return new CQuorvaRedoCommand(*this); }
