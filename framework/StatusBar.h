// CStatusBar: the frame's status bar (the common "msctls_statusbar32" control) as a control bar
// docked at the bottom of its frame, below every other bar. Pane 0 is the message pane (the
// frame's SetMessageText, fly-by help and menu prompts write there) and takes the width the
// fixed panes leave; each other pane has a fixed width and an id whose string resource is its
// first text. At idle time a pane whose id has an update handler takes the text the handler
// sets (SetText), and shows none while the handler disables it; other panes keep what
// SetPaneText gave them.
//
// The message pane can show a progress bar in place of its text (ShowProgress): long
// operations on the user-interface thread report through it, and the bar goes away again when
// they reach 100 %.
#pragma once

#include <string>
#include <vector>

#include "ControlBar.h"
#include "FrameworkRes.h"
#include "Handles.h"

class CStatusBar : public CControlBar {
 public:
  CStatusBar();
  ~CStatusBar() override;

  // Makes the bar as child nID of pParentWnd (a frame), docked at its bottom (whatever
  // CBRS_ALIGN_* dwStyle holds). A resizable top-level frame gets a size grip.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
              UINT nID = AFX_IDW_STATUS_BAR);
  // One pane per id: ID_SEPARATOR (0) gives an empty pane, any other id the text of its
  // string resource (empty when there is none). The first pane is the message pane.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int GetCount() const { return static_cast<int>(m_panes.size()); }
  UINT GetItemID(int nIndex) const;
  int CommandToIndex(UINT nIDFind) const;
  // The width in pixels of a fixed pane (the message pane stretches and ignores it).
  void SetPaneWidth(int nIndex, int cxWidth);
  int GetPaneWidth(int nIndex) const;
  BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
  std::string GetPaneText(int nIndex) const;
  // The pane's rectangle in the bar's client coordinates.
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const;

  // Progress in the message pane: percent 0..100 (truncated by the caller). The bar appears on
  // the first call and goes at 100 or more; the status bar is repainted before returning.
  void ShowProgress(int percent);
  BOOL HasProgressBar() const { return static_cast<bool>(m_progress); }
  HWND GetProgressBar() const { return m_progress.get(); }

  // The control's height for its font; as wide as the frame (bStretch) or as it is now.
  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  BOOL IsOuterBar() const override { return TRUE; }

 protected:
  // Applies the pane widths and texts to the control.
  void UpdatePanes();
  void OnSize(UINT nType, int cx, int cy);

  DECLARE_MESSAGE_MAP()

 private:
  struct Pane {
    UINT id = 0;
    int width = 0;
    std::string text;
    bool disabled = false;  // an update handler disabled it: it shows no text
  };
  friend class CStatusCmdUI;
  // Enables or disables a pane's text (update handlers).
  void EnablePane(int nIndex, bool bEnable);
  const char* ShownText(const Pane& pane) const { return pane.disabled ? "" : pane.text.c_str(); }
  std::vector<Pane> m_panes;
  UniqueWindow m_progress;
};

// The status bar of a frame (its child AFX_IDW_STATUS_BAR), or null.
CStatusBar* AfxGetStatusBar(CWnd* pFrame);
