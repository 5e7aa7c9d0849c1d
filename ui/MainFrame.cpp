#include "MainFrame.h"

#include "QuorvaHook.h"
#include "app/LumatreApp.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_WM_SYSCOMMAND()
  ON_MESSAGE(UWM_INITCAPTURE, OnInitCapture)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CMDIFrameWnd::PreCreateWindow(cs)) return FALSE;
  // A copy of the framework's frame class under our own name, with the program icon; made once
  // and reused.
  HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
  LPCSTR name = AfxRegisterClassCopy(cs.lpszClass, kWindowClass, icon);
  if (!name) return FALSE;
  cs.lpszClass = name;
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
  // The capture input starts once the start-up has finished (and never in a second instance,
  // whose start-up fails before its message loop runs).
  PostMessage(UWM_INITCAPTURE);
  return 0;
}

void CMainFrame::OnSysCommand(UINT id, LPARAM lParam) {
  const bool close = (id & 0xFFF0) == SC_CLOSE;
  if (close) m_systemCloseMark = true;
  CMDIFrameWnd::OnSysCommand(id, lParam);
  // The close request runs inside the default handling; a mark it did not use (a window that
  // ignored the command) must not turn a later File > Exit into hiding.
  if (close) m_systemCloseMark = false;
}

bool CMainFrame::TakeSystemCloseMark() {
  const bool set = m_systemCloseMark;
  m_systemCloseMark = false;
  return set;
}

LRESULT CMainFrame::OnInitCapture(WPARAM, LPARAM) {
  // The hotkey table goes to the hook library, which matches the keys from now on.
  TSY_SetCaptureHotKey(theApp.m_hotkeys.hotkey);
  theApp.SetHotkeysHandedToLibrary();
  return 0;
}
