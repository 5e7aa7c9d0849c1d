#include "DocumentHost.h"

#include "StatusProgress.h"
#include "framework/Framework.h"

CProgressSink* GetMainProgressSink() {
  static CStatusProgress sink;
  return &sink;
}

void EndMainProgress() { static_cast<CStatusProgress*>(GetMainProgressSink())->End(); }

void SetMainStatusMessage(const char* text) {
  if (CStatusBar* bar = AfxGetStatusBar(AfxGetMainWnd())) bar->SetPaneText(0, text ? text : "");
}

std::string ImageStatusPaneText(CFrameWnd* activeChild, UINT paneId) {
  CView* view = activeChild ? activeChild->GetActiveView() : nullptr;
  std::string text;
  if (auto* source = dynamic_cast<IImageStatusSource*>(view); source && source->GetStatusText(paneId, text))
    return text;
  return LoadResString(paneId);
}

void RefreshMainStatusPanes() {
  if (CStatusBar* bar = AfxGetStatusBar(AfxGetMainWnd())) bar->SendMessage(WM_IDLEUPDATECMDUI, FALSE);
}
