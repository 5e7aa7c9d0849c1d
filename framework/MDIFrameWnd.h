// CMDIFrameWnd: the frame of a multi-document program. It makes the MDI client window (the
// system's "MDICLIENT"), lets DefFrameProc do the default work, translates the MDI system keys
// (Ctrl+F4, Ctrl+F6) and keeps the Window menu.
#pragma once

#include "FrameWnd.h"
#include "MDIChildWnd.h"

class CMDIFrameWnd : public CFrameWnd {
 public:
  CMDIFrameWnd();

  HWND m_hWndMDIClient = nullptr;
  // A target that sees every command (and update-UI request) before the active child and the
  // frame, such as a subclassed MDI client with commands of its own; null for none.
  CCmdTarget* m_pFirstCmdTarget = nullptr;

  // The active child frame (bound ones only), or null; *pbMaximized tells whether it is
  // maximised.
  CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
  void MDIActivate(CWnd* pWndActivate);
  void MDINext() { ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
  void MDIPrev() { ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 1); }
  void MDIMaximize(CWnd* pWnd);
  void MDIRestore(CWnd* pWnd);
  void MDICascade(int nType = 0) { ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, nType, 0); }
  void MDITile(int nType = MDITILE_HORIZONTAL) { ::SendMessage(m_hWndMDIClient, WM_MDITILE, nType, 0); }
  void MDIIconArrange() { ::SendMessage(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
  // Puts a menu on the frame through the client; hWindowMenu gets the list of children.
  HMENU MDISetMenu(HMENU hFrameMenu, HMENU hWindowMenu);
  // The popup of hMenu that the client fills with the children (the one with the Window
  // commands), or null.
  virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);

  // Makes the MDI client; called from OnCreateClient.
  virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, HMENU hWindowMenu);

  CFrameWnd* GetActiveFrame() override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnUpdateFrameMenu(HMENU hMenuAlt) override;
  void OnUpdateFrameTitle(BOOL bAddToTitle) override;

 protected:
  void OnDestroy();
  BOOL OnMDIWindowCmd(UINT nID);
  void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);

  DECLARE_MESSAGE_MAP()
};
