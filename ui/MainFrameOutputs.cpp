// The output side of CMainFrame: a finished capture becomes a new image window, and the new
// window's view asks the frame to run the remaining outputs once the window shows.
#include "MainFrame.h"

#include "app/LumatreApp.h"
#include "capture/CaptureClipboard.h"
#include "capture/CaptureOutputs.h"
#include "document/QuorvaCaptureDoc.h"

bool CMainFrame::RouteCaptureToImageWindow() {
  CDocManager* manager = theApp.m_pDocManager;
  CDocTemplate* imageType = (manager && !manager->GetTemplates().empty()) ? manager->GetTemplates().front() : nullptr;
  if (!imageType) return false;
  // The new document copies the picture from m_capturedBitmap while it is made.
  CDocument* doc = imageType->OpenDocumentFile(nullptr, TRUE);
  // A document that could not be made has said so; the picture still reaches the clipboard.
  if (!doc) CopyCaptureToClipboard(m_capturedBitmap.get());
  m_capturedBitmap.reset();
  PostMessage(UWM_UPDATETABBAR);
  return true;
}

void CMainFrame::RunCaptureOutputs(CDocument* doc) {
  if (auto* image = dynamic_cast<CQuorvaCaptureDoc*>(doc)) ::RunCaptureOutputs(*image, theApp.m_capture);
}
