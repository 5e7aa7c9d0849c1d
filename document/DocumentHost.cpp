#include "DocumentHost.h"

#include "ProgressSink.h"
#include "framework/Framework.h"

namespace {

class CStatusBarProgress : public CProgressSink {
 public:
  void OnProgress(double done) override {
    CStatusBar* bar = AfxGetStatusBar(AfxGetMainWnd());
    if (!bar) return;
    if (!(done >= 0.0)) done = 0.0;  // also NaN
    if (done > 1.0) done = 1.0;
    bar->ShowProgress(static_cast<int>(done * 100.0));
  }
};

}  // namespace

CProgressSink* GetMainProgressSink() {
  static CStatusBarProgress sink;
  return &sink;
}

void SetMainStatusMessage(const char* text) {
  if (CStatusBar* bar = AfxGetStatusBar(AfxGetMainWnd())) bar->SetPaneText(0, text ? text : "");
}
