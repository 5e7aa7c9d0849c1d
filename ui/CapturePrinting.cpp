#include "CapturePrinting.h"

#include "framework/Document.h"
#include "framework/FrameworkRes.h"
#include "framework/View.h"

bool PrintCapture(CDocument* doc, const CaptureSettings& settings) {
  if (!doc || !settings.Has(kOptOutputPrinter)) return false;
  for (CView* view : doc->GetViews()) {
    if (!view || !view->GetSafeHwnd()) continue;
    // The command goes through the view's own map (and its print steps) as a menu choice would.
    view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 0), 0);
    return true;
  }
  return false;
}
