// CControlBar: the base of the bars along a frame's edges (toolbar, status bar, tabs bar).
//
// A bar is a child of its frame (the "dock site") while docked, or of a small tool window
// (CMiniDockFrameWnd, owned by the frame) while floating. The frame keeps a list of its bars in
// the order they were docked and lays them out in CFrameWnd::RecalcLayout: each visible docked
// bar answers WM_SIZEPARENT by taking, from the side it is docked on, the size CalcFixedLayout
// gives; bars on one side are stacked from the outer edge inward in docking order. The status
// bar (IsOuterBar) always comes first, so it stays outermost at the bottom.
//
// At idle time every visible bar gets OnUpdateCmdUI with its frame as the command target;
// commands and notifications of the controls inside a bar go to its frame's command routing,
// docked or floating.
//
// The edges (CBRS_BORDER_*), the grip (CBRS_GRIPPER) and the borders (SetBorders) lie outside
// the bar's client area: a bar's own controls start at client (0, 0).
//
// Bar styles live in the bar (GetBarStyle / SetBarStyle), not in the window style. The Create
// functions take them in the same dwStyle argument as the window styles (WS_CHILD, WS_VISIBLE):
// the bits of CBRS_ALL are taken off before the window is made.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Geometry.h"
#include "Wnd.h"

class CFrameWnd;
class CMiniDockFrameWnd;

// --- Bar styles ---
constexpr DWORD CBRS_FLOATING = 0x0001;      // set by the framework while the bar floats
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;  // the bar's size follows its orientation (toolbars
                                             // always do; accepted for compatibility)
constexpr DWORD CBRS_TOOLTIPS = 0x0010;      // tool tips from the commands' strings (after "\n")
constexpr DWORD CBRS_FLYBY = 0x0020;         // the message pane shows the prompt under the pointer
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;   // accepted; every floating bar has a window of its own
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;   // a 2-pixel etched edge on that side while docked
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;    // docked on (or may dock on) that side
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_GRIPPER = 0x00400000;   // a grip at the bar's leading edge while docked
constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
constexpr DWORD CBRS_NOALIGN = 0;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
// Every bar style bit: what Create takes off the window style.
constexpr DWORD CBRS_ALL = 0x0040FFFF;

// Size of the grip drawn with CBRS_GRIPPER (across the bar) and of one CBRS_BORDER_* edge.
constexpr int AFX_CX_GRIPPER_AREA = 8;
constexpr int AFX_CX_BAR_BORDER = 2;

// The dock side (AFX_IDW_DOCKBAR_TOP/BOTTOM/LEFT/RIGHT) of one CBRS_ALIGN_* bit, and back;
// 0 for anything else.
UINT AfxDockBarIDFromAlign(DWORD dwAlign);
DWORD AfxAlignFromDockBarID(UINT nDockBarID);

// Takes the rectangle of a bar of size `size` docked on side dwAlign (one CBRS_ALIGN_* bit) off
// the free rectangle of a layout, stacking inward; the size is clipped to what is free. Returns
// the bar's rectangle (empty, and nothing taken, for no side).
CRect AfxAllotBarRect(AFX_SIZEPARENTPARAMS& layout, DWORD dwAlign, CSize size);

// The parts of a command's string resource "prompt\ntip": the message-pane prompt is the text
// before the first "\n" (all of it without one), the tool tip the text after it up to the
// next "\n" (none without a "\n"). Empty when the string is missing.
std::string AfxCommandPrompt(UINT nID);
std::string AfxCommandToolTip(UINT nID);
std::string AfxPromptPart(const std::string& commandString);
std::string AfxToolTipPart(const std::string& commandString);

// Registers the common control classes of dwICC (ICC_BAR_CLASSES, ICC_TAB_CLASSES, ...) once.
BOOL AfxInitCommonControls(DWORD dwICC);

class CControlBar : public CWnd {
 public:
  CControlBar();
  ~CControlBar() override;

  // A plain bar window (button-face background, no control inside) for bars that draw or hold
  // controls of their own, as child nID of pParentWnd (normally a frame, which then docks it on
  // the side of its CBRS_ALIGN_* style). dwStyle: window and bar styles, e.g.
  // WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS.
  BOOL Create(LPCSTR lpszWindowName, DWORD dwStyle, CWnd* pParentWnd, UINT nID);

  // --- Styles and state ---
  DWORD GetBarStyle() const { return m_dwStyle; }
  // Replaces the bar styles (CBRS_ALL bits). The dock side (CBRS_ALIGN_*) and CBRS_FLOATING
  // belong to the frame's docking: they stay as they are.
  void SetBarStyle(DWORD dwStyle);
  // The sides the bar may be docked on (CBRS_ALIGN_* bits; 0: it stays on its own side).
  void EnableDocking(DWORD dwDockStyle);
  DWORD GetEnabledAlignment() const { return m_dwDockStyle; }
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  // Horizontal when docked (or last docked, when floating) at the top or the bottom.
  BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_VERT) == 0; }
  // Where the bar is: AFX_IDW_DOCKBAR_TOP/BOTTOM/LEFT/RIGHT, AFX_IDW_DOCKBAR_FLOAT, or 0 when it
  // belongs to no frame.
  UINT GetDockBarID() const;
  // The frame the bar belongs to (also while it floats), or null.
  CFrameWnd* GetDockingFrame() const { return m_pDockSite; }
  // The floating window while the bar floats, else null.
  CMiniDockFrameWnd* GetMiniFrame() const;
  // Shown (or about to be shown by a delayed ShowControlBar).
  BOOL IsVisible() const;

  // Extra space inside the bar around its contents, in pixels.
  void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom);
  CRect GetBorders() const { return m_rcBorders; }
  // What the edges, the grip and the borders take from the window (left+right, top+bottom).
  CSize GetNonClientSize(BOOL bHorz) const;

  // --- Overridables ---
  // The bar's size docked horizontally (bHorz) or vertically. With bStretch the size along the
  // bar is 32767 (the layout clips it to the frame), otherwise the bar's natural size. The base
  // gives the edges, grip and borders only.
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  // Updates the bar's items from the command route of pTarget (its frame); with
  // bDisableIfNoHndler, items whose command nobody handles are disabled. The base does nothing.
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
  // Laid out before every other bar (the status bar): it keeps the outer edge.
  virtual BOOL IsOuterBar() const { return FALSE; }
  // The tool tip control showing the bar's tips, or null.
  virtual HWND GetToolTips() const { return nullptr; }

  // Deletes the object when its window is destroyed (bars made with new).
  BOOL m_bAutoDelete = FALSE;

 protected:
  DWORD m_dwStyle = 0;         // bar styles
  DWORD m_dwDockStyle = 0;     // sides it may dock on
  CFrameWnd* m_pDockSite = nullptr;
  CRect m_rcBorders;
  int m_nPendingShow = -1;     // delayed ShowControlBar: 1 show, 0 hide, -1 none
  UINT m_nFlyByID = 0;         // command whose prompt fly-by help shows now (0: none)
  BOOL m_bTrackingLeave = FALSE;
  std::unique_ptr<CMiniDockFrameWnd> m_pMiniFrame;

  // Makes the bar's window: splits dwStyle into bar styles and window styles, adds
  // dwCtrlStyle (the class's own styles) and attaches the bar to its frame.
  BOOL CreateBar(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                 DWORD dwCtrlStyle, CWnd* pParentWnd, UINT nID);
  // Called after the bar styles changed (SetBarStyle, docking, floating).
  virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
  // Fly-by help: shows the prompt of nID in the frame's message pane (0: the idle message).
  // Does nothing without CBRS_FLYBY.
  void SetFlyByCommand(UINT nID);
  // Starts watching for the pointer leaving the bar (WM_MOUSELEAVE ends fly-by help).
  void TrackMouseLeave();
  // Recomputes the non-client part after the edges or the grip changed.
  void UpdateNonClientArea();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

  LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  void OnNcPaint();
  void OnDestroy();
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR nIDEvent);

  DECLARE_MESSAGE_MAP()

 private:
  // The edges, grip and borders, each side in pixels.
  CRect NonClientInsets(BOOL bHorz) const;
  void DetachFromFrame();

  friend class CFrameWnd;
  friend class CMiniDockFrameWnd;
};
