// CMDIChildWnd: a child frame inside the MDI client of a CMDIFrameWnd. Its default procedure is
// DefMDIChildProc. While it is active, its shared menu (when it has one) is the frame's menu.
#pragma once

#include "FrameWnd.h"

class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
 public:
  CMDIChildWnd();

  // The menu shown while this child is active (not owned; documents types own theirs). Null:
  // the frame's default menu.
  HMENU m_hMenuShared = nullptr;

  // Makes the child in pParentWnd's client (WM_MDICREATE). lpszClassName null: the framework's
  // frame class. FALSE on failure; the object then still belongs to the caller.
  virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName,
                      DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                      CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  // Title, icon and accelerators from nIDResource (the menu is the document type's business).
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

  CMDIFrameWnd* GetMDIFrame() const;
  void MDIDestroy();
  void MDIActivate();
  void MDIMaximize();
  void MDIRestore();

  // Switches the frame's menu for this child (bActivate) or back when the last child goes.
  virtual void OnUpdateFrameMenu(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt);
  void OnUpdateFrameMenu(HMENU hMenuAlt) override { OnUpdateFrameMenu(TRUE, this, hMenuAlt); }
  void OnUpdateFrameTitle(BOOL bAddToTitle) override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL DestroyWindow() override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
  void ActivateFrame(int nCmdShow = -1) override;

 protected:
  void OnMDIActivate(BOOL bActivate, HWND hActivateWnd, HWND hDeactivateWnd);
  void OnSize(UINT nType, int cx, int cy);

  DECLARE_MESSAGE_MAP()
};
