// CFrameWnd: a top-level (or MDI child) frame with a menu, accelerators, an icon and a title
// loaded from one resource id; the hub of command routing and update-UI.
#pragma once

#include <windows.h>

#include <string>

#include "FrameworkRes.h"
#include "Wnd.h"

class CView;
class CDocument;
class CMenu;

// Frame styles (kept in the low word of the window style, which frame classes do not use).
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;  // the title shows the active document's name
constexpr DWORD FWS_PREFIXTITLE = 0x00004000L; // ... before the application title
constexpr DWORD FWS_SNAPTOBARS = 0x00002000L;

class CDocTemplate;

// Parameters a frame passes on to the view it makes (the document/view layer fills it).
struct CCreateContext {
  CView* (*m_pNewViewClass)() = nullptr;  // makes the view object (allocated with new)
  CDocument* m_pCurrentDoc = nullptr;     // the document the view shows
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  class CFrameWnd* m_pCurrentFrame = nullptr;
};

// Style of the views a frame makes.
constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE | WS_BORDER;

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // The default position and size for new frames.
  static const RECT rectDefault;

  HMENU m_hMenuDefault = nullptr;  // the menu loaded by LoadFrame (destroyed with the frame)
  HACCEL m_hAccelTable = nullptr;  // loaded accelerators (freed by the system with the module)
  BOOL m_bAutoMenuEnable = TRUE;   // menu items without any handler are disabled
  std::string m_strTitle;          // the title from the resource string (first "\n" part)

  // Makes the frame from resource nIDResource: string (title), menu, accelerators and icon of
  // that id, each when present. FALSE when the window could not be made; the object then still
  // belongs to the caller.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
              DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);

  // --- Routing ---
  // Command route: the active view (which goes on to its document), this frame's map, then
  // the application object.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
  virtual CView* GetActiveView() const { return m_pViewActive; }
  virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  // The frame holding the active view: this one, or the active MDI child of an MDI frame.
  virtual CFrameWnd* GetActiveFrame() { return this; }

  // --- Layout and title ---
  // Arranges control bars and the client area; bars hook in here later.
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  // Sets the window title from m_strTitle (and the active document with FWS_ADDTOTITLE).
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  void UpdateFrameTitleForDocument(LPCSTR lpszDocName);
  void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
  const std::string& GetTitle() const { return m_strTitle; }
  // Puts a menu on the frame (MDI frames switch the client's menu).
  virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
  HACCEL GetDefaultAccelerator() const { return m_hAccelTable; }

  // Makes the client area's windows: the default makes the view the context asks for (none
  // without a context).
  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  // Makes pContext's view as the child nID, attached to pContext's document; null on failure.
  CView* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  // Sends WM_INITIALUPDATE to the views.
  void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  // Shows the frame (nCmdShow -1: normal, or restored when minimised) and brings it forward.
  virtual void ActivateFrame(int nCmdShow = -1);
  // Marks the title for a refresh at the next idle time.
  void DelayUpdateFrameTitle() { m_bTitleDirty = TRUE; }

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Frames are made with new and delete themselves when their window is gone.
  void PostNcDestroy() override;
  BOOL IsFrameWnd() const { return TRUE; }
  // Runs the update-UI handlers for the items of a popup menu.
  void UpdateMenuItems(CMenu* pPopupMenu);

 protected:
  CView* m_pViewActive = nullptr;
  UINT m_nIDHelp = 0;  // resource id the frame was loaded from
  BOOL m_bTitleDirty = FALSE;

  // The active view's route (view, then its document), then this frame's own map.
  BOOL OnCmdMsgViewAndSelf(UINT nID, int nCode, void* pExtra);
  // A copy of the frame class with the icon of nIDResource (the frame class when there is none).
  LPCSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
  // The showing part of ActivateFrame: nCmdShow -1 shows a hidden frame normally and restores a
  // minimised one; a visible one stays as it is.
  void ShowForActivation(int nCmdShow);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnClose();
  void OnSize(UINT nType, int cx, int cy);
  void OnSetFocus(HWND hOldWnd);
  void OnInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);
  BOOL OnQueryEndSession();
  void OnEndSession(BOOL bEnding);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  CCreateContext* m_pCreateContext = nullptr;
  friend class CMDIChildWnd;
  friend class CMDIFrameWnd;
};
