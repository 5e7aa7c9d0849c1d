// The main frame's workspace side: the open-file tabs bar and the subclassed MDI client (creation
// step 6), message 1228, the View menu's tabs-bar item and the Escape key of full-screen mode.
#include "MainFrame.h"

#include "resources/resource.h"

bool CMainFrame::CreateWorkspace() {
  if (!m_wndViewManager.Create(this, ID_WINDOW_TABS)) {
    m_creationError = "Unable to create the open file tabs bar.";
    return false;
  }
  DockControlBar(&m_wndViewManager, AFX_IDW_DOCKBAR_TOP);
  // No image window yet: message 1228 shows the bar when one opens.
  ShowControlBar(&m_wndViewManager, FALSE, FALSE);
  if (!m_wndWorkspace.Attach(this, &m_wndViewManager)) {
    m_creationError = "Unable to create the workspace.";
    return false;
  }
  m_pFirstCmdTarget = &m_wndWorkspace;
  return true;
}

LRESULT CMainFrame::OnUpdateTabBar(WPARAM, LPARAM) {
  m_wndWorkspace.UpdateTabsBarVisibility();
  return 0;
}

void CMainFrame::OnViewTabBar() {
  if (m_wndViewManager.m_hWnd) ShowControlBar(&m_wndViewManager, !m_wndViewManager.IsVisible(), FALSE);
}

void CMainFrame::OnUpdateViewTabBar(CCmdUI* pCmdUI) {
  pCmdUI->SetCheck(m_wndViewManager.m_hWnd && m_wndViewManager.IsVisible() ? 1 : 0);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
  if (m_wndWorkspace.PreTranslateFullScreenKey(pMsg)) return TRUE;
  return CMDIFrameWnd::PreTranslateMessage(pMsg);
}
