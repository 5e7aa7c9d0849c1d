// CTabCtrl: a thin wrapper of the common tab control ("SysTabControl32"). Items are numbered
// from 0; each has a text, an image (index into the control's image list, -1 for none) and an
// application value. The control does not own the image list it is given.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "Geometry.h"
#include "Wnd.h"

class CTabCtrl : public CWnd {
 public:
  CTabCtrl();
  ~CTabCtrl() override;

  // Makes the control as child nID of pParentWnd. dwStyle: window styles and TCS_* styles
  // (WS_CHILD is added).
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Inserts an item before nItem (at the end when nItem is the count or more); its index, or -1.
  int InsertItem(int nItem, LPCSTR lpszItem, int nImage = -1, LPARAM lParam = 0);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  // The selected item, or -1.
  int GetCurSel() const;
  // Selects an item (no notification is sent); the previous selection, or -1.
  int SetCurSel(int nItem);
  // The item's rectangle in the control's client coordinates.
  BOOL GetItemRect(int nItem, LPRECT lpRect) const;
  BOOL SetItemText(int nItem, LPCSTR lpszText);
  // The item's whole text; empty for no such item.
  std::string GetItemText(int nItem) const;
  // The item's application value; 0 for no such item.
  LPARAM GetItemData(int nItem) const;
  // Gives the control an image list (not owned); returns the previous one.
  HIMAGELIST SetImageList(HIMAGELIST hImageList);
  // The item at a point in client coordinates, or -1; *pFlags gets TCHT_* flags.
  int HitTest(POINT pt, UINT* pFlags = nullptr) const;
  // bLarger FALSE: the display area inside a window rectangle; TRUE: the window rectangle
  // around a display area.
  void AdjustRect(BOOL bLarger, LPRECT lpRect) const;
  int GetRowCount() const;
  // Width and height of items (fixed-width tabs, or the height of all); returns the old size.
  CSize SetItemSize(CSize size);
  // Space around each item's icon and text.
  void SetPadding(CSize size);
};
