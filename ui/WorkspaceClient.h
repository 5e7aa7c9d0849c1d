// CWorkspaceClient: the main frame's MDI client, subclassed. It paints the empty workspace
// (background colour, background picture, logo), opens new image windows maximised when the
// last one was (remembered in "TVChildWinState"), keeps the open-file tabs bar in step with the
// image windows, puts "&Windows..." at the end of the Window menu, opens the tray menu on a
// right click, and runs the workspace commands, full-screen mode among them. It sees every
// command before the frame does.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/Framework.h"
#include "ui/WorkspacePainter.h"
#include "ui/WorkspaceSettings.h"

class CViewManager;

class CWorkspaceClient : public CWnd {
 public:
  // Reads the "Settings" values (through profile; null: the application's profile functions).
  explicit CWorkspaceClient(IWorkspaceProfile* profile = nullptr);
  ~CWorkspaceClient() override;

  // Subclasses the frame's MDI client and takes the tabs bar to keep in step.
  BOOL Attach(CMDIFrameWnd* pFrame, CViewManager* pTabsBar);

  const WorkspaceSettings& Settings() const { return m_settings; }
  const CWorkspacePainter& Painter() const { return m_painter; }
  bool IsFullScreen() const { return m_fullScreen; }
  // The frame's key translation: Escape leaves full-screen mode. True when the key was used.
  bool PreTranslateFullScreenKey(const MSG* pMsg);
  // Enters or leaves full-screen mode.
  void ToggleFullScreen();
  // The tabs bar shown when image windows exist, hidden otherwise (message 1228).
  void UpdateTabsBarVisibility();

 protected:
  LRESULT OnMDICreate(WPARAM wParam, LPARAM lParam);
  LRESULT OnMDIDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnMDISetMenu(WPARAM wParam, LPARAM lParam);
  LRESULT OnMDIRefreshMenu(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(HDC dc);
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  void OnContextMenu(HWND window, CPoint point);
  void OnDestroy();

  void OnWindowTabs();
  void OnUpdateWindowTabs(CCmdUI* pCmdUI);
  void OnFullScreen();
  void OnUpdateFullScreen(CCmdUI* pCmdUI);
  void OnWindowNext();
  void OnWindowPrevious();
  void OnWindowCloseAll();
  void OnWindowSaveAll();
  void OnWindowManage();
  void OnUpdateNeedsWindow(CCmdUI* pCmdUI);

  DECLARE_MESSAGE_MAP()

 private:
  CMDIFrameWnd* Frame() const;
  HWND ActiveChild(BOOL* maximized = nullptr) const;
  bool HasImageWindow() const;
  void EnterFullScreen();
  void LeaveFullScreen();
  int ScreenDotsPerInchY() const;

  std::unique_ptr<CAppWorkspaceProfile> m_ownProfile;
  IWorkspaceProfile* m_profile = nullptr;
  WorkspaceSettings m_settings;
  CWorkspacePainter m_painter;
  CViewManager* m_pTabsBar = nullptr;
  HMENU m_hWindowMenu = nullptr;
  std::string m_windowListText;
  CSize m_lastSize;

  // Full-screen mode and what it changed.
  bool m_fullScreen = false;
  BOOL m_childWasMaximized = FALSE;
  bool m_toolBarWasVisible = true;
  bool m_statusBarWasVisible = true;
  CRect m_frameRect;
  std::unique_ptr<CToolBar> m_fullScreenBar;
};
