// CToolBar: a row of command buttons on the common toolbar control ("ToolbarWindow32"), as a
// control bar. The bar's window is the control itself; the framework lays it out (the control
// never positions or sizes itself).
//
// Buttons come from a TOOLBAR resource and the BITMAP strip of the same id (LoadToolBar) or
// from a list of command ids (SetButtons); button k that is not a separator shows image k of
// the image lists. Clicking a button sends its command to the frame's command routing; at idle
// time each button takes the enabled and checked state the command's update handlers give it.
// With CBRS_TOOLTIPS a button's tip is the text after the first "\n" of its command's string;
// with CBRS_FLYBY the frame's message pane shows the text before it while the pointer is over
// the button. Docked at the left or right, the buttons stand in one column.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ControlBar.h"
#include "FrameworkRes.h"
#include "ImageList.h"

// Button styles as GetButtonStyle / SetButtonStyle see them: the control's button style in the
// low word, its state in the high word, with the enabled state turned into TBBS_DISABLED.
constexpr UINT TBBS_BUTTON = TBSTYLE_BUTTON;
constexpr UINT TBBS_SEPARATOR = TBSTYLE_SEP;
constexpr UINT TBBS_CHECKBOX = TBSTYLE_CHECK;
constexpr UINT TBBS_GROUP = TBSTYLE_GROUP;
constexpr UINT TBBS_CHECKGROUP = TBSTYLE_CHECKGROUP;
constexpr UINT TBBS_DROPDOWN = TBSTYLE_DROPDOWN;
constexpr UINT TBBS_CHECKED = static_cast<UINT>(TBSTATE_CHECKED) << 16;
constexpr UINT TBBS_PRESSED = static_cast<UINT>(TBSTATE_PRESSED) << 16;
constexpr UINT TBBS_DISABLED = static_cast<UINT>(TBSTATE_ENABLED) << 16;
constexpr UINT TBBS_INDETERMINATE = static_cast<UINT>(TBSTATE_INDETERMINATE) << 16;
constexpr UINT TBBS_HIDDEN = static_cast<UINT>(TBSTATE_HIDDEN) << 16;
constexpr UINT TBBS_WRAPPED = static_cast<UINT>(TBSTATE_WRAP) << 16;  // set by the layout only

// The contents of a TOOLBAR resource (type 241): WORD version (1), WORD image width, WORD image
// height, WORD count, then count WORD command ids (0 = separator).
struct CToolBarResource {
  int cxImage = 0;
  int cyImage = 0;
  std::vector<UINT> ids;
  // Images the bitmap strip must hold: one per button that is not a separator.
  int ImageCount() const;
};
// Reads a TOOLBAR resource's data. FALSE when it is shorter than its header or its ids, has
// another version, or an image size of 0 or above 256.
BOOL AfxParseToolBarResource(const void* pData, size_t cbData, CToolBarResource& out);
// Finds and reads TOOLBAR resource nID (from AfxGetResourceHandle() when hInst is null).
BOOL AfxLoadToolBarResource(UINT nID, CToolBarResource& out, HINSTANCE hInst = nullptr);

class CToolBar : public CControlBar {
 public:
  CToolBar();
  ~CToolBar() override;

  // Makes the bar as child nID of pParentWnd (normally a frame). dwCtrlStyle: the control's
  // styles (TBSTYLE_FLAT, TBSTYLE_LIST...); the framework adds tool tips and keeps the control
  // from placing itself. dwStyle: window and bar styles. rcBorders: extra space around the
  // buttons (see SetBorders).
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR);

  // Buttons and images from TOOLBAR resource nIDResource and the BITMAP of the same id (its
  // images side by side, light grey as the button face). Buttons are image size + 7 pixels.
  // FALSE, with the bar unchanged, when the resource or the bitmap is missing or malformed or
  // the strip holds fewer images than the buttons need.
  BOOL LoadToolBar(UINT nIDResource);
  // Replaces the buttons: one per id, ID_SEPARATOR (0) making a separator; button k that is
  // not a separator shows image k. A null lpIDArray makes nIDCount separators (to be set with
  // SetButtonInfo).
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  // Button size and image size (the image size applies to image lists added afterwards).
  void SetSizes(SIZE sizeButton, SIZE sizeImage);

  int GetCount() const;
  // The command of button nIndex; ID_SEPARATOR (0) for a separator or no such button.
  UINT GetItemID(int nIndex) const;
  // The index of the first button with command nIDFind, or -1.
  int CommandToIndex(UINT nIDFind) const;
  // The button's rectangle in the bar's client coordinates; FALSE when there is no such button.
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
  // TBBS_* style and state of a button (0 for no such button).
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);

  // The toolbar control (the bar's own window).
  HWND GetToolBarCtrl() const { return m_hWnd; }
  // Shows the images of the given lists: normal, under the pointer (hot) and disabled. Any may
  // be null (the control then uses its defaults for that state). The bar does not own lists
  // handed to it: keep them (CImageList) alive while the bar shows them.
  void SetImageLists(HIMAGELIST hNormal, HIMAGELIST hHot, HIMAGELIST hDisabled);
  // The list LoadToolBar made from the bitmap strip (owned by the bar), or null.
  HIMAGELIST GetDefaultImageList() const { return m_imageList.GetSafeHandle(); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  HWND GetToolTips() const override;

 protected:
  void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnEraseBkgnd(HDC hDC);
  void OnMouseMove(UINT nFlags, CPoint point);

  DECLARE_MESSAGE_MAP()

 private:
  BOOL GetButton(int nIndex, TBBUTTON* pButton) const;
  // Puts the buttons in one row (bHorz) or one column.
  void ArrangeButtons(BOOL bHorz);
  // The size the buttons take in the client area.
  CSize CalcButtonsSize(BOOL bHorz);
  void ButtonsChanged();

  CImageList m_imageList;
  int m_nArrangedHorz = -1;  // how the buttons stand now: 1 row, 0 column, -1 not arranged
};
