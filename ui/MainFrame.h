// CMainFrame: Lumatre's main window, an MDI frame of window class "LumatreMainFrameClass" made
// from resource 128. It carries the system-close mark of the closing step and, once created,
// starts the capture input with a deferred message to itself.
#pragma once

#include "framework/Framework.h"

#include "app/ClosingStep.h"

// Private messages of the main frame.
constexpr UINT UWM_INITCAPTURE = WM_USER + 210;  // 1234: deferred start of the capture input

class CMainFrame : public CMDIFrameWnd, public ISystemCloseMark {
 public:
  static constexpr const char* kWindowClass = "LumatreMainFrameClass";

  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  bool TakeSystemCloseMark() override;

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSysCommand(UINT id, LPARAM lParam);
  LRESULT OnInitCapture(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  bool m_systemCloseMark = false;
};
