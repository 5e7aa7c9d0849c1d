// CFrameWnd: a top-level (or MDI child) frame with a menu, accelerators, an icon and a title
// loaded from one resource id; the hub of command routing and update-UI.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "FrameworkRes.h"
#include "Wnd.h"

class CView;
class CDocument;
class CMenu;
class CControlBar;
class CStatusBar;

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
  // Arranges the docked control bars (see GetLayoutOrder) and gives what they leave to the
  // client (AFX_IDW_PANE_FIRST: the view or the MDI client); floating bars' windows follow
  // their bars' sizes. Delayed bar shows and hides take effect here.
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  // A print preview that covers the whole client area while it shows (it follows the size).
  HWND m_hWndPrintPreview = nullptr;
  // Lays the frame out at the next idle time.
  void DelayRecalcLayout(BOOL bNotify = TRUE);
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

  // --- Control bars (FrameWndBars.cpp) ---
  // The sides bars may dock on (CBRS_ALIGN_* bits); until this is called, any side.
  void EnableDocking(DWORD dwDockStyle);
  DWORD GetDockingAlignment() const { return m_dwDockStyle; }
  // Docks pBar on side nDockBarID (AFX_IDW_DOCKBAR_TOP/BOTTOM/LEFT/RIGHT) or, with 0, on its
  // preferred side: the side it is (or was last) docked on when allowed, else the first allowed
  // of top, bottom, left, right. Allowed: the sides both the bar (CControlBar::EnableDocking)
  // and this frame allow; a bar without EnableDocking stays on its own side. A floating bar
  // comes back into the frame (its floating window goes). The bar becomes the innermost of its
  // side and the frame is laid out. FALSE, with nothing changed, for a side not allowed, a bar
  // without window or a bar of another frame.
  BOOL DockControlBar(CControlBar* pBar, UINT nDockBarID = 0);
  // Moves pBar into a floating tool window whose top-left corner is at screen point `point`
  // (made on first use, moved afterwards) and lays the frame out. dwStyle: CBRS_ALIGN_TOP or
  // _BOTTOM floats it horizontal, _LEFT or _RIGHT vertical; 0 keeps its orientation. FALSE for
  // a bar without window or of another frame.
  BOOL FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0);
  // Shows or hides a bar (with its floating window) and lays the frame out now, or with bDelay
  // shows or hides it at the next layout (idle time); IsVisible tells the coming state.
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  // The bar whose window has id nID (docked or floating), or null.
  CControlBar* GetControlBar(UINT nID) const;
  // This frame's bars in docking order (the last docked last).
  const std::vector<CControlBar*>& GetControlBars() const { return m_listControlBars; }
  // Bars register when they are made for this frame and leave when they go.
  void AddControlBar(CControlBar* pBar);
  void RemoveControlBar(CControlBar* pBar);

  // --- Message pane ---
  // Shows a text / the prompt of command nID (its string before the first "\n") in pane 0 of
  // the status bar of the top-level frame. AFX_IDS_IDLEMESSAGE gives "Ready".
  void SetMessageText(LPCSTR lpszText);
  void SetMessageText(UINT nID);
  // The prompt for command nID (empty without a string).
  virtual void GetMessageString(UINT nID, std::string& rMessage) const;
  // The status bar showing this frame's messages (the top-level frame's), or null.
  CStatusBar* GetMessageBar() const;

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

  // ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR (and any bar id mapped to them by derived frames):
  // show or hide the bar with that id; checked while it is visible.
  BOOL OnBarCheck(UINT nID);
  void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  // WM_SETMESSAGESTRING: wParam a string id, or lParam a text.
  LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  // Menu prompts in the message pane; the idle message when the menu closes.
  void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu);
  void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
  // Tool tips of the bars' tool tip controls (TTN_GETDISPINFOA/W).
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnToolTipText(NMHDR* pNMHDR, LRESULT* pResult);
  // Docked bars first: the outer bars (status bar), then the bars docked at the top, bottom,
  // left and right, each side in docking order; then the other children in Z-order.
  void GetLayoutOrder(std::vector<HWND>& children) const override;

  DECLARE_MESSAGE_MAP()

 private:
  // Idle work of the bars: delayed layout, update of floating bars.
  void OnIdleUpdateBars(WPARAM wParam);
  // The frame is going: its bars forget it.
  void DetachControlBars();

  CCreateContext* m_pCreateContext = nullptr;
  std::vector<CControlBar*> m_listControlBars;
  DWORD m_dwDockStyle = 0xF000;  // CBRS_ALIGN_ANY
  BOOL m_bLayoutPending = FALSE;
  BOOL m_bInRecalcLayout = FALSE;
  UINT m_nIDLastMessage = 0;
  std::string m_strToolTip;    // the text of the last tool tip (the tip control copies it)
  std::wstring m_wstrToolTip;
  friend class CMDIChildWnd;
  friend class CMDIFrameWnd;
};
