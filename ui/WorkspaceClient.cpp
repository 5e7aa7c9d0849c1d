#include "WorkspaceClient.h"

#include "document/DocumentHost.h"
#include "resources/resource.h"
#include "ui/ViewManager.h"
#include "ui/WindowListDlg.h"

BEGIN_MESSAGE_MAP(CWorkspaceClient, CWnd)
  ON_MESSAGE(WM_MDICREATE, OnMDICreate)
  ON_MESSAGE(WM_MDIDESTROY, OnMDIDestroy)
  ON_MESSAGE(WM_MDISETMENU, OnMDISetMenu)
  ON_MESSAGE(WM_MDIREFRESHMENU, OnMDIRefreshMenu)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_CONTEXTMENU()
  ON_WM_DESTROY()
  ON_COMMAND(ID_WINDOW_TABS, OnWindowTabs)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_TABS, OnUpdateWindowTabs)
  ON_COMMAND(ID_WINDOW_FULLSCREEN, OnFullScreen)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_FULLSCREEN, OnUpdateFullScreen)
  ON_COMMAND(ID_WINDOW_NEXT, OnWindowNext)
  ON_COMMAND(ID_WINDOW_PREVIOUS, OnWindowPrevious)
  ON_COMMAND(ID_WINDOW_CLOSEALL, OnWindowCloseAll)
  ON_COMMAND(ID_WINDOW_SAVEALL, OnWindowSaveAll)
  ON_COMMAND(ID_WINDOW_MANAGE, OnWindowManage)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_NEXT, OnUpdateNeedsWindow)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_PREVIOUS, OnUpdateNeedsWindow)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_CLOSEALL, OnUpdateNeedsWindow)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_SAVEALL, OnUpdateNeedsWindow)
  ON_UPDATE_COMMAND_UI(ID_WINDOW_MANAGE, OnUpdateNeedsWindow)
END_MESSAGE_MAP()

namespace {

// The platform's Window-menu item for the windows beyond the ninth.
constexpr UINT kMoreWindowsItem = AFX_IDM_FIRST_MDICHILD + 9;  // 65289
// The floating toolbar of full-screen mode.
constexpr UINT kFullScreenBarId = AFX_IDW_TOOLBAR + 0x20;
constexpr char kFullScreenBarText[] = "Full Screen";
constexpr char kProductName[] = "Lumatre";

// Every document of the program.
std::vector<CDocument*> AllDocuments() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pDocManager ? app->m_pDocManager->GetDocuments() : std::vector<CDocument*>();
}

}  // namespace

CWorkspaceClient::CWorkspaceClient(IWorkspaceProfile* profile) {
  if (!profile) {
    m_ownProfile = std::make_unique<CAppWorkspaceProfile>();
    profile = m_ownProfile.get();
  }
  m_profile = profile;
  const int dpi = ScreenDotsPerInchY();
  m_settings = WorkspaceSettings::Defaults(dpi, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_APPWORKSPACE));
  m_settings.Load(*m_profile);
  m_painter.SetLogoFont(m_settings.logoFont, dpi);
  m_painter.SetLogoText(std::string(kProductName) + " => " + LoadResString(IDS_HOMEPAGE_URL));
  // A picture that cannot be loaded leaves the workspace without one.
  if (!m_settings.fileName.empty()) m_painter.LoadPicture(m_settings.fileName);
  m_windowListText = LoadResString(IDS_WINDOWS_ITEM);
  if (m_windowListText.empty()) m_windowListText = "&Windows...";
}

CWorkspaceClient::~CWorkspaceClient() = default;

int CWorkspaceClient::ScreenDotsPerInchY() const {
  WindowDC screen(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

BOOL CWorkspaceClient::Attach(CMDIFrameWnd* pFrame, CViewManager* pTabsBar) {
  if (!pFrame || !pFrame->m_hWndMDIClient || m_hWnd) return FALSE;
  m_pTabsBar = pTabsBar;
  if (!SubclassWindow(pFrame->m_hWndMDIClient)) return FALSE;
  m_lastSize = GetClientRect().Size();
  Invalidate();
  return TRUE;
}

CMDIFrameWnd* CWorkspaceClient::Frame() const {
  return m_hWnd ? dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))) : nullptr;
}

HWND CWorkspaceClient::ActiveChild(BOOL* maximized) const {
  BOOL zoomed = FALSE;
  HWND child = m_hWnd ? reinterpret_cast<HWND>(::SendMessageA(m_hWnd, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&zoomed)))
                      : nullptr;
  if (maximized) *maximized = child ? zoomed : FALSE;
  return child;
}

bool CWorkspaceClient::HasImageWindow() const { return ActiveChild() != nullptr; }

// --- Image windows come and go ---

LRESULT CWorkspaceClient::OnMDICreate(WPARAM, LPARAM) {
  BOOL previousMaximized = FALSE;
  const HWND previous = ActiveChild(&previousMaximized);
  HWND child = reinterpret_cast<HWND>(Default());
  if (!child) return 0;
  // With other windows open, the new one follows the active one.
  if (m_pTabsBar && m_pTabsBar->GetViewCount() > 0 && previous && previous != child)
    m_settings.childWinState = previousMaximized ? 1 : 0;
  if (m_settings.childWinState == 1) ::SendMessageA(m_hWnd, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  if (m_pTabsBar) {
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(child));
    CWnd* pane = frame ? frame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE) : nullptr;
    if (auto* view = dynamic_cast<CView*>(pane)) m_pTabsBar->AddView(view->m_hWnd, std::string());
  }
  return reinterpret_cast<LRESULT>(child);
}

LRESULT CWorkspaceClient::OnMDIDestroy(WPARAM wParam, LPARAM) {
  HWND child = reinterpret_cast<HWND>(wParam);
  if (m_pTabsBar && child) {
    HWND view = nullptr;
    for (HWND tracked : m_pTabsBar->Row().Views())
      if (::IsChild(child, tracked)) view = tracked;
    if (view) {
      if (m_pTabsBar->GetViewCount() == 1) {
        // The last image window: how it was shown is how the next one opens, also after a restart.
        m_settings.childWinState = ::IsZoomed(child) ? 1 : 0;
        m_settings.SaveChildWinState(*m_profile);
      }
      m_pTabsBar->RemoveView(view);
    }
  }
  return Default();
}

// --- The Window menu ---

LRESULT CWorkspaceClient::OnMDISetMenu(WPARAM, LPARAM lParam) {
  const LRESULT result = Default();
  if (lParam) m_hWindowMenu = reinterpret_cast<HMENU>(lParam);
  ::SendMessageA(m_hWnd, WM_MDIREFRESHMENU, 0, 0);
  return result;
}

LRESULT CWorkspaceClient::OnMDIRefreshMenu(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (!m_hWindowMenu || !::IsMenu(m_hWindowMenu)) return result;
  UINT state = MF_ENABLED;
  bool found = false;
  for (int i = ::GetMenuItemCount(m_hWindowMenu) - 1; i >= 0; --i) {
    const UINT id = ::GetMenuItemID(m_hWindowMenu, i);
    if (id == kMoreWindowsItem) {
      if (!found) state = ::GetMenuState(m_hWindowMenu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED);
      found = true;
      ::RemoveMenu(m_hWindowMenu, static_cast<UINT>(i), MF_BYPOSITION);
    } else if (id == ID_WINDOW_MANAGE) {
      ::RemoveMenu(m_hWindowMenu, static_cast<UINT>(i), MF_BYPOSITION);
    }
  }
  ::AppendMenuA(m_hWindowMenu, MF_STRING | state, ID_WINDOW_MANAGE, m_windowListText.c_str());
  return result;
}

// --- Painting ---

BOOL CWorkspaceClient::OnEraseBkgnd(HDC) { return TRUE; }

void CWorkspaceClient::OnPaint() {
  PaintDC dc(m_hWnd);
  if (!dc) return;
  m_painter.Paint(dc.get(), GetClientRect(), m_settings);
}

void CWorkspaceClient::OnSize(UINT type, int cx, int cy) {
  Default();
  // The logo sits at the bottom-right corner: a new size draws everything anew.
  if (m_lastSize.cx > 0 && m_lastSize.cy > 0 && (cx != m_lastSize.cx || cy != m_lastSize.cy))
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  m_lastSize = CSize(cx, cy);
  (void)type;
}

void CWorkspaceClient::OnContextMenu(HWND window, CPoint point) {
  if (window != m_hWnd) {
    Default();
    return;
  }
  if (point.x == -1 && point.y == -1) ::GetCursorPos(&point);
  CMenu menu;
  if (!menu.LoadMenu(IDR_TRAYMENU)) return;
  HMENU popup = menu.GetSubMenu(0);
  CWnd* owner = AfxGetMainWnd();
  if (!popup || !owner) return;
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, owner->m_hWnd, nullptr);
}

void CWorkspaceClient::OnDestroy() {
  if (m_fullScreenBar) {
    m_fullScreenBar->DestroyWindow();
    m_fullScreenBar.reset();
  }
  m_settings.Save(*m_profile);
  Default();
}

// --- Commands ---

void CWorkspaceClient::UpdateTabsBarVisibility() {
  CMDIFrameWnd* frame = Frame();
  if (!frame || !m_pTabsBar || !m_pTabsBar->m_hWnd) return;
  const bool show = m_pTabsBar->GetViewCount() > 0;
  if ((m_pTabsBar->IsVisible() != FALSE) != show) frame->ShowControlBar(m_pTabsBar, show, FALSE);
}

void CWorkspaceClient::OnWindowTabs() {
  CMDIFrameWnd* frame = Frame();
  if (frame && m_pTabsBar && m_pTabsBar->m_hWnd) frame->ShowControlBar(m_pTabsBar, !m_pTabsBar->IsVisible(), FALSE);
}

void CWorkspaceClient::OnUpdateWindowTabs(CCmdUI* pCmdUI) {
  pCmdUI->SetCheck(m_pTabsBar && m_pTabsBar->m_hWnd && m_pTabsBar->IsVisible() ? 1 : 0);
}

void CWorkspaceClient::OnFullScreen() { ToggleFullScreen(); }

void CWorkspaceClient::OnUpdateFullScreen(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_fullScreen ? 1 : 0); }

void CWorkspaceClient::OnWindowNext() { ::SendMessageA(m_hWnd, WM_MDINEXT, 0, 0); }

void CWorkspaceClient::OnWindowPrevious() { ::SendMessageA(m_hWnd, WM_MDINEXT, 0, 1); }

void CWorkspaceClient::OnWindowCloseAll() {
  // Every change is saved first; a save that is cancelled or fails keeps every window open.
  for (CDocument* doc : AllDocuments())
    if (doc->IsModified() && !doc->DoFileSave()) return;
  if (CWinApp* app = AfxGetApp()) app->CloseAllDocuments(FALSE);
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(UWM_UPDATETABBAR);
}

void CWorkspaceClient::OnWindowSaveAll() {
  for (CDocument* doc : AllDocuments())
    if (doc->IsModified()) doc->DoFileSave();
}

void CWorkspaceClient::OnWindowManage() {
  CWindowListDlg dialog(m_hWnd, Frame());
  dialog.DoModal();
}

void CWorkspaceClient::OnUpdateNeedsWindow(CCmdUI* pCmdUI) { pCmdUI->Enable(HasImageWindow()); }

// --- Full-screen mode ---

bool CWorkspaceClient::PreTranslateFullScreenKey(const MSG* pMsg) {
  if (!m_fullScreen || !pMsg || pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_ESCAPE) return false;
  LeaveFullScreen();
  return true;
}

void CWorkspaceClient::ToggleFullScreen() {
  if (m_fullScreen)
    LeaveFullScreen();
  else
    EnterFullScreen();
}

void CWorkspaceClient::EnterFullScreen() {
  CMDIFrameWnd* frame = Frame();
  if (!frame || m_fullScreen) return;
  HWND child = ActiveChild(&m_childWasMaximized);
  CControlBar* toolBar = frame->GetControlBar(AFX_IDW_TOOLBAR);
  CControlBar* statusBar = frame->GetControlBar(AFX_IDW_STATUS_BAR);
  m_toolBarWasVisible = toolBar && toolBar->IsVisible();
  m_statusBarWasVisible = statusBar && statusBar->IsVisible();
  m_frameRect = frame->GetWindowRect();
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);

  if (m_pTabsBar && m_pTabsBar->m_hWnd) {
    const CSize bar = m_pTabsBar->CalcFixedLayout(FALSE, TRUE);
    frame->FloatControlBar(m_pTabsBar, CPoint((screenWidth - bar.cx) / 2, screenHeight - 3 * bar.cy),
                           CBRS_ALIGN_TOP);
  }
  if (toolBar) frame->ShowControlBar(toolBar, FALSE, FALSE);
  if (statusBar) frame->ShowControlBar(statusBar, FALSE, FALSE);
  if (child) ::ShowWindow(child, SW_HIDE);
  frame->ModifyStyle(WS_CAPTION, 0);
  const int borderX = ::GetSystemMetrics(SM_CXFRAME);
  const int borderY = ::GetSystemMetrics(SM_CYFRAME);
  frame->SetWindowPos(nullptr, -borderX, -borderY, screenWidth + 2 * borderX, screenHeight + 2 * borderY,
                      SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);

  auto bar = std::make_unique<CToolBar>();
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
  if (bar->CreateEx(frame, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), kFullScreenBarId) &&
      bar->LoadToolBar(IDR_TOOLBAR_FULLSCREEN)) {
    bar->SetWindowText(kFullScreenBarText);
    const CSize size = bar->CalcFixedLayout(FALSE, TRUE);
    frame->FloatControlBar(bar.get(), CPoint(screenWidth - 3 * size.cx, 3 * size.cy), CBRS_ALIGN_TOP);
    m_fullScreenBar = std::move(bar);
  }
  if (child) ::ShowWindow(child, SW_SHOWMAXIMIZED);
  m_fullScreen = true;
  frame->RecalcLayout();
}

void CWorkspaceClient::LeaveFullScreen() {
  CMDIFrameWnd* frame = Frame();
  if (!frame || !m_fullScreen) return;
  m_fullScreen = false;
  if (m_fullScreenBar) {
    m_fullScreenBar->DestroyWindow();
    m_fullScreenBar.reset();
  }
  HWND child = ActiveChild();
  if (child) ::ShowWindow(child, SW_HIDE);
  frame->ModifyStyle(0, WS_CAPTION);
  frame->SetWindowPos(nullptr, m_frameRect.left, m_frameRect.top, m_frameRect.Width(), m_frameRect.Height(),
                      SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  frame->RecalcLayout();
  if (child) {
    ::SendMessageA(m_hWnd, m_childWasMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    ::ShowWindow(child, SW_SHOW);
  }
  if (CControlBar* toolBar = frame->GetControlBar(AFX_IDW_TOOLBAR))
    frame->ShowControlBar(toolBar, m_toolBarWasVisible, FALSE);
  if (CControlBar* statusBar = frame->GetControlBar(AFX_IDW_STATUS_BAR))
    frame->ShowControlBar(statusBar, m_statusBarWasVisible, FALSE);
  if (m_pTabsBar && m_pTabsBar->m_hWnd) frame->DockControlBar(m_pTabsBar, AFX_IDW_DOCKBAR_TOP);
}
