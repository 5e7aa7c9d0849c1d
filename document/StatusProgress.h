// CStatusProgress: the progress sink of the main window. It turns the completed fraction into a
// whole percentage and hands it to the status bar's progress bar only when that percentage
// changes: the filters report after every row and the decoders after every kilobyte read, far
// more often than the bar can show a difference, and a repaint of the status bar per row would
// slow the work it reports on.
#pragma once

#include "ProgressSink.h"

class CStatusProgress : public CProgressSink {
 public:
  // done outside 0 ... 1 (NaN included) counts as the nearer end.
  void OnProgress(double done) override;
  // Takes the bar away when it shows and starts afresh; the end of every long operation, also
  // of one that failed before it reached 100 %.
  void End();

  // The percentage shown now; -1 while no operation reports.
  int GetShownPercent() const { return m_shown; }
  // How many percentages were handed to the bar since the program started.
  long GetUpdateCount() const { return m_updates; }

 protected:
  // Shows percent (0 ... 100; 100 takes the bar away) in the main window's status bar.
  virtual void Show(int percent);

 private:
  int m_shown = -1;
  long m_updates = 0;
};
