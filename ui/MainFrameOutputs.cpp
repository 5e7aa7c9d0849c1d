// The output side of CMainFrame: a finished capture becomes a new image window, and the new
// window's view asks the frame to run the remaining outputs once the window shows.
#include "MainFrame.h"

#include "ui/MainFrameApp.h"
#include "win/DisplayBitmap.h"
#include "capture/CaptureClipboard.h"
#include "capture/CaptureOutputs.h"
#include "document/QuorvaCaptureDoc.h"
#include "ui/CapturePrinting.h"

bool CMainFrame::RouteCaptureToImageWindow() {
  CDocManager* manager = AfxGetApp()->m_pDocManager;
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
  auto* image = dynamic_cast<CQuorvaCaptureDoc*>(doc);
  if (!image) return;
  // The clipboard first (and whatever else the outputs do besides saving)...
  CaptureSettings withoutSave = FrameSettings().m_capture;
  withoutSave.optionsA &= ~kOptOutputFile;
  ::RunCaptureOutputs(*image, withoutSave);
  // ...then the file: the document's Save command asks the document manager for a name, which
  // takes the automatic name without any dialog when automatic naming is on, and shows the
  // Save As dialog otherwise.
  if (FrameSettings().m_capture.Has(kOptOutputFile) && image->image && !image->image->IsEmpty()) {
    MainFrameApp().SetAutoSavePending(TRUE);
    image->SaveWithStoredOptions();
    MainFrameApp().SetAutoSavePending(FALSE);  // a prompt that never came leaves nothing behind
  }
  // ...and last the printer, by the stored layout.
  PrintCapture(image, FrameSettings().m_capture);
}
