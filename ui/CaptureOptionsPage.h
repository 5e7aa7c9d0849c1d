// CCaptureOptionsPage: "Capture Options" (dialog 368): the mouse pointer and freeze options, the
// capture delay, the polygon fill rule, how Repeat Last works and the default capture action.
#pragma once

#include "ui/OptionsHost.h"
#include "ui/PrefsSubDlg.h"

constexpr int kMaxCaptureDelay = 15000;

class CCaptureOptionsPage : public CSAPrefsSubDlg {
 public:
  explicit CCaptureOptionsPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 private:
  IOptionsHost& m_host;
  int m_includePointer = 0;
  int m_freeze = 0;
  int m_delay = 0;
  int m_fillRule = 0;    // 0 Winding, 1 Alternate
  int m_repeatMode = 0;  // "RepeatLastMode"; -1 when none of the three was stored
  int m_defaultAction = 0;
};
