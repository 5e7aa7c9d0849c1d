#include "MainFrame.h"

#include "CommandImages.h"
#include "QuorvaHook.h"
#include "ui/MainFrameApp.h"
#include "document/QuorvaCaptureView.h"
#include "resources/resource.h"
#include "win/DibGdi.h"

#include <iterator>
#include <vector>

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
  ON_WM_SETTINGCHANGE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_INITMENUPOPUP()
  ON_WM_MEASUREITEM()
  ON_WM_DRAWITEM()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
  ON_COMMAND(ID_VIEW_TABBAR, OnViewTabBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TABBAR, OnUpdateViewTabBar)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_POSITION, OnUpdateImageStatusPane)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_COLOR, OnUpdateImageStatusPane)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_IMAGESIZE, OnUpdateImageStatusPane)
  ON_MESSAGE(UWM_OPENHOMEPAGE, OnOpenHomePageMessage)
  ON_COMMAND(ID_OPTIONS, OnOptions)
  ON_COMMAND(ID_FILE_CLOSEALL, OnFileCloseAll)
  ON_COMMAND(ID_SHOWMAINWINDOW, OnShowMainWindow)
  ON_COMMAND(ID_EDIT_PASTEASNEWIMAGE, OnPasteAsNewImage)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTEASNEWIMAGE, OnUpdatePasteAsNewImage)
  ON_COMMAND(ID_EXPLORE_OUTPUT, OnExploreOutput)
  ON_COMMAND(ID_HELP_HOMEPAGE, OnHomePage)
  ON_COMMAND(ID_MENU_BANNER, OnMenuBanner)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
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
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

namespace {

// The status bar's panes: the message pane, then the view's pointer position, colour depth and
// image size, with their widths.
const UINT kStatusIndicators[] = {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_COLOR, ID_INDICATOR_IMAGESIZE};
const int kStatusPaneWidths[] = {0, 150, 76, 120};

constexpr char kTrayTip[] = "Lumatre";
constexpr SIZE kButtonImageSize{16, 16};
// The toolbars whose bitmap strips give the menus their command images.
const UINT kMenuImageToolBars[] = {IDR_TOOLBAR_MAIN, IDR_TOOLBAR_MENUIMAGES};

const LumatreCommandImage* FindCommandImage(UINT command) {
  for (const LumatreCommandImage& entry : kLumatreCommandImages)
    if (entry.command == command) return &entry;
  return nullptr;
}

}  // namespace

CMainFrame::CMainFrame() = default;

HBITMAP CMainFrame::EmptyButtonImage() {
  // 32 bits a pixel, 0x00RRGGBB: every pixel the background, which the image lists make clear.
  const COLORREF background = static_cast<COLORREF>(LUMATRE_BUTTON_BACKGROUND);
  const DWORD pixel = (static_cast<DWORD>(GetRValue(background)) << 16) |
                      (static_cast<DWORD>(GetGValue(background)) << 8) | GetBValue(background);
  std::vector<DWORD> bits(static_cast<size_t>(kButtonImageSize.cx) * kButtonImageSize.cy, pixel);
  return ::CreateBitmap(kButtonImageSize.cx, kButtonImageSize.cy, 1, 32, bits.data());
}

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
  if (!CreateToolBar()) return -1;
  CreateToolBarImages();
  if (!CreateStatusBar()) return -1;
  // Tool tips and fly-by help come with the bar's style; the toolbar may dock on any side.
  m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndToolBar);
  if (!CreateWorkspace()) return -1;
  m_menus.LoadImages(AfxGetResourceHandle(), kMenuImageToolBars, static_cast<int>(std::size(kMenuImageToolBars)),
                     LoadResString(IDS_HOMEPAGE_URL));
  // The capture input starts once the start-up has finished (and never in a second instance,
  // whose start-up fails before its message loop runs).
  PostMessage(UWM_INITCAPTURE);
  if (!CreateTrayIcon()) return -1;
  RecalcLayout();
  return 0;
}

bool CMainFrame::CreateToolBar() {
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
  if (m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) &&
      m_wndToolBar.LoadToolBar(IDR_TOOLBAR_MAIN))
    return true;
  m_creationError = "Unable to create Toolbar.";
  return false;
}

bool CMainFrame::CreateToolBarImages() {
  // The high-colour pictures of each button's command: normal, hot and disabled, their
  // background (the first pixel's colour) transparent. The lists follow the buttons' order.
  for (CImageList& list : m_toolBarImages) {
    if (!list.Create(kButtonImageSize.cx, kButtonImageSize.cy, ILC_COLOR24 | ILC_MASK, 40, 8)) return false;
  }
  HINSTANCE resources = AfxGetResourceHandle();
  for (int index = 0; index < m_wndToolBar.GetCount(); ++index) {
    const UINT command = m_wndToolBar.GetItemID(index);
    if (command == ID_SEPARATOR) continue;
    const LumatreCommandImage* entry = FindCommandImage(command);
    const WORD ids[3] = {entry ? entry->normal : WORD(0), entry ? entry->hot : WORD(0),
                         entry ? entry->disabled : WORD(0)};
    for (int variant = 0; variant < 3; ++variant) {
      UniqueBitmap picture;
      if (ids[variant])
        picture.reset(static_cast<HBITMAP>(::LoadImageA(resources, MAKEINTRESOURCEA(ids[variant]), IMAGE_BITMAP, 0,
                                                        0, LR_CREATEDIBSECTION)));
      // A missing picture keeps the lists in step with the buttons: an empty image stands in,
      // all of it the transparent background, so that the button shows no picture.
      if (!picture) picture.reset(EmptyButtonImage());
      m_toolBarImages[variant].Add(picture.get(), static_cast<COLORREF>(LUMATRE_BUTTON_BACKGROUND));
    }
  }
  m_wndToolBar.SetImageLists(m_toolBarImages[0].GetSafeHandle(), m_toolBarImages[1].GetSafeHandle(),
                             m_toolBarImages[2].GetSafeHandle());
  return true;
}

bool CMainFrame::CreateStatusBar() {
  if (!m_wndStatusBar.Create(this) ||
      !m_wndStatusBar.SetIndicators(kStatusIndicators, static_cast<int>(std::size(kStatusIndicators)))) {
    m_creationError = "Unable to create Statusbar.";
    return false;
  }
  for (int pane = 1; pane < static_cast<int>(std::size(kStatusPaneWidths)); ++pane) {
    m_wndStatusBar.SetPaneWidth(pane, kStatusPaneWidths[pane]);
    RECT r;
    if (m_wndStatusBar.GetItemRect(pane, &r)) m_wndStatusBar.InvalidateRect(&r);
  }
  return true;
}

void CMainFrame::OnUpdateImageStatusPane(CCmdUI* pCmdUI) {
  pCmdUI->Enable(TRUE);
  pCmdUI->SetText(ImageStatusPaneText(MDIGetActive(), pCmdUI->m_nID).c_str());
}

bool CMainFrame::CreateTrayIcon() {
  HICON icon = static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON,
                                               16, 16, LR_SHARED));
  m_trayIcon.SetMenuOpenMessage(UWM_TRAYMENUOPEN);
  if (m_trayIcon.Create(this, UWM_TRAYNOTIFY, kTrayTip, icon, IDR_TRAYMENU)) return true;
  m_creationError = "Unable to create the tray icon.";
  return false;
}

void CMainFrame::OnSysCommand(UINT id, LPARAM lParam) {
  const UINT command = id & 0xFFF0;
  const bool close = command == SC_CLOSE;
  if (close) m_systemCloseMark = true;
  CMDIFrameWnd::OnSysCommand(id, lParam);
  // The close request runs inside the default handling; a mark it did not use (a window that
  // ignored the command) must not turn a later File > Exit into hiding.
  if (close) m_systemCloseMark = false;
  // Minimised, the program may live in the tray only.
  if (command == SC_MINIMIZE && IsIconic() && FrameSettings().m_capture.Has(kOptHideOnMinimize)) ShowWindow(SW_HIDE);
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
  // The icon leaves the taskbar with its window.
  m_trayIcon.DestroyWindow();
  // A capture's picture only offered to the clipboard is handed over now, so that it can still
  // be pasted once the program has ended.
  dibgdi::RenderOfferedClipboard();
  CMDIFrameWnd::OnDestroy();
}

void CMainFrame::OnSettingChange(UINT flags, LPCSTR section) {
  m_menus.OnSettingChange();
  CMDIFrameWnd::OnSettingChange(flags, section);
}

void CMainFrame::OnSysColorChange() {
  m_menus.OnSettingChange();
  CMDIFrameWnd::OnSysColorChange();
}
