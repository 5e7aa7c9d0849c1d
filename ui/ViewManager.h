// CViewManager: the open-file tabs bar ("Open File Tabs Bar", control-bar id 32771), a control
// bar docked at the top (or the bottom) of the main frame holding CViewTabCtrl with one tab per
// image window in opening order. Clicking a tab activates its window; a right click selects it
// and opens the tab menu (341). At every idle update the tabs take their windows' titles and the
// active window's tab is selected. When a window closes and the tabs no longer fit, the row keeps
// the most recently opened windows.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Framework.h"
#include "ui/ViewTabCtrl.h"
#include "ui/ViewTabRow.h"

class CView;

// Where the tab control goes inside a bar of barWidth pixels: x = frame-border width + gripper
// offset, y = 3 docked horizontally (otherwise top, the bar's own top), width = barWidth - 5
// frame-border widths - gripper offset, height 26.
CRect ViewTabCtrlRect(int barWidth, bool horizontal, int top, int frameBorderWidth);

class CViewManager : public CControlBar, private ITabStrip, private IViewTabSource {
 public:
  static constexpr const char* kWindowText = "Open File Tabs Bar";
  static constexpr int kGripperOffset = 10;
  static constexpr int kTabCtrlHeight = 26;
  static constexpr int kTabCtrlTop = 3;

  CViewManager();
  ~CViewManager() override;

  // Makes the bar as control bar nID of the frame, docked at the top, with tool tips and fly-by
  // help, and its tab control.
  BOOL Create(CFrameWnd* pFrame, UINT nID);

  // A tab for a new image window's view (its title comes at the next idle update).
  void AddView(CView* pView, const std::string& title = std::string());
  void AddView(HWND view, const std::string& title = std::string());
  // Removes the view's tab (and rebuilds the row when the rest does not fit).
  void RemoveView(HWND view);
  void RenameView(HWND view, const std::string& title);
  int GetTabCount() const { return m_row.TabCount(); }
  // Windows tracked (also those whose tab was dropped when the row was rebuilt).
  int GetViewCount() const { return m_row.Count(); }
  const CViewTabRow& Row() const { return m_row; }
  CViewTabCtrl& TabCtrl() { return m_tabCtrl; }
  // The frame window of the view a tab shows, or null.
  HWND FrameOfTab(int tab) const;

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  void OnTabSelChange(NMHDR* nmhdr, LRESULT* result);
  void OnTabRightClick(NMHDR* nmhdr, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  // ITabStrip over the tab control.
  int GetItemCount() const override;
  void InsertItem(int index, const std::string& text) override;
  void DeleteItem(int index) override;
  void SetItemText(int index, const std::string& text) override;
  int GetCurSel() const override;
  void SetCurSel(int index) override;
  int GetFirstItemWidth() const override;
  int GetStripWidth() const override;
  void ShowFirstItem() override;
  // IViewTabSource
  bool IsTabModified(int tab) const override;
  HICON TabIcon(int tab) const override;
  std::string TabToolTip(int tab) const override;

  // The live view object behind a tracked window handle, or null.
  static CView* ViewFromHandle(HWND view);
  void ActivateTab(int tab);
  void LayoutTabCtrl();

  CViewTabCtrl m_tabCtrl;
  CViewTabRow m_row;
};
