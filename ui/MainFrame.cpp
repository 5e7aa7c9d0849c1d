#include "MainFrame.h"

#include "QuorvaHook.h"
#include "document/QuorvaCaptureView.h"
#include "resources/resource.h"

#include <iterator>

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_SYSCOMMAND()
  ON_WM_HOTKEY()
  ON_MESSAGE(UWM_INITCAPTURE, OnInitCapture)
  ON_MESSAGE(UWM_TRAYMENUOPEN, OnTrayMenuOpen)
  ON_MESSAGE(UWM_FINISHCAPTURE, OnFinishCaptureMessage)
  ON_MESSAGE(UWM_ROUTECAPTURE, OnRouteCaptureMessage)
  ON_REGISTERED_MESSAGE(TSYM_ForwardKeyboardMessage, OnForwardKeyboard)
  ON_REGISTERED_MESSAGE(TSYM_ForwardMouseMessage, OnForwardMouse)
  ON_WM_DISPLAYCHANGE()
  ON_COMMAND(ID_CAPTURE_ACTIVEWINDOW, OnCaptureActiveWindow)
  ON_COMMAND(ID_CAPTURE_ACTIVEWINDOWCLIENT, OnCaptureActiveWindowClient)
  ON_COMMAND(ID_CAPTURE_MENU, OnCaptureMenu)
  ON_COMMAND(ID_CAPTURE_DESKTOP, OnCaptureDesktop)
  ON_COMMAND_EX(ID_CAPTURE_CONTROL, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_SQUARE, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_RECTANGLE, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_CIRCLE, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_ELLIPSE, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_POLYGON, OnCaptureTracked)
  ON_COMMAND_EX(ID_CAPTURE_SINGLEWINDOW, OnCaptureTracked)
  ON_COMMAND(ID_CAPTURE_COLORPICKER, OnCaptureColorPicker)
  ON_COMMAND(ID_CAPTURE_REPEATLAST, OnCaptureRepeatLast)
  ON_COMMAND(ID_CAPTURE_DEFAULTACTION, OnCaptureDefaultAction)
END_MESSAGE_MAP()

namespace {

// The status bar's panes: the message pane, then the view's pointer position, colour depth and
// image size, with their widths.
const UINT kStatusIndicators[] = {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_COLOR, ID_INDICATOR_IMAGESIZE};
const int kStatusPaneWidths[] = {0, 150, 76, 120};

}  // namespace

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
  if (!m_wndStatusBar.Create(this) ||
      !m_wndStatusBar.SetIndicators(kStatusIndicators, static_cast<int>(std::size(kStatusIndicators)))) {
    return -1;  // "Unable to create Statusbar."
  }
  for (int pane = 1; pane < static_cast<int>(std::size(kStatusPaneWidths)); ++pane)
    m_wndStatusBar.SetPaneWidth(pane, kStatusPaneWidths[pane]);
  RecalcLayout();
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

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kBlinkTimerId) {
    CMDIFrameWnd::OnTimer(nIDEvent);
    return;
  }
  CMDIChildWnd* child = MDIGetActive();
  if (auto* view = child ? dynamic_cast<CQuorvaCaptureView*>(child->GetActiveView()) : nullptr) view->OnBlinkTick();
}

void CMainFrame::OnDestroy() {
  // The capture input ends with the window it reports to.
  KillTimer(kBlinkTimerId);
  UnregisterCaptureHotkeys();
  if (m_tracking && TSY_UnHookMouse()) m_tracking = false;
  if (m_captureInputReady) TSY_UnHookKeyboard();
  CMDIFrameWnd::OnDestroy();
}
