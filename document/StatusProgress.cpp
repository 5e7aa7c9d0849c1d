#include "StatusProgress.h"

#include "framework/Framework.h"

void CStatusProgress::OnProgress(double done) {
  if (!(done >= 0.0)) done = 0.0;  // also NaN
  if (done > 1.0) done = 1.0;
  const int percent = static_cast<int>(done * 100.0);
  if (percent == m_shown) return;
  ++m_updates;
  m_shown = percent >= 100 ? -1 : percent;
  Show(percent);
}

void CStatusProgress::End() {
  m_shown = -1;
  Show(100);
}

void CStatusProgress::Show(int percent) {
  CStatusBar* bar = AfxGetStatusBar(AfxGetMainWnd());
  if (!bar) return;
  // Ending an operation that never showed a bar costs nothing.
  if (percent >= 100 && !bar->HasProgressBar()) return;
  bar->ShowProgress(percent);
}
