// CViewTabCtrl: the tab control of the open-file tabs bar, one tab per image window, drawn by
// the program: the image window class's small icon, then the title centred, in blue (bold) on
// the selected tab, dark grey on the others, and red on any tab whose image is modified.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Framework.h"

// What the control asks about its tabs (the tabs bar answers).
class IViewTabSource {
 public:
  // The image of the tab is modified (its text is red).
  virtual bool IsTabModified(int tab) const = 0;
  // The small icon of the tab's window class, or null.
  virtual HICON TabIcon(int tab) const = 0;
  // The tab's tool tip.
  virtual std::string TabToolTip(int tab) const = 0;

 protected:
  ~IViewTabSource() = default;
};

class CViewTabCtrl : public CTabCtrl {
 public:
  // Text colours (COLORREF).
  static constexpr COLORREF kSelectedColor = 0x00FF0000;  // blue
  static constexpr COLORREF kNormalColor = 0x00323232;    // dark grey
  static constexpr COLORREF kModifiedColor = 0x000000FF;  // red

  CViewTabCtrl();
  ~CViewTabCtrl() override;

  // Makes the control (tool tips, fixed-width owner-drawn tabs, flat separators) with the
  // system's application icon as image 0.
  BOOL Create(const RECT& rect, CWnd* pParent, UINT nID, IViewTabSource* source);

  // The colour a tab's text is drawn in.
  static COLORREF TextColor(bool selected, bool modified);

  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  // Fills a tool tip request (TTN_GETDISPINFOA/W) for a tab; false for other notifications.
  bool FillToolTip(NMHDR* nmhdr);

 protected:
  void DrawItem(const DRAWITEMSTRUCT* dis);
  void MakeFonts();

  DECLARE_MESSAGE_MAP()

 private:
  IViewTabSource* m_source = nullptr;
  UniqueFont m_selectedFont;  // the message font, bold
  UniqueFont m_normalFont;    // the message font
  CImageList m_images;        // 16 x 16, one per tab
  std::string m_tip;
  std::wstring m_wideTip;
};
