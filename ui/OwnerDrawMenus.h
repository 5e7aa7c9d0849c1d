// COwnerDrawMenus: the program's menus drawn by the program. Every item of a popup menu shows
// the 16 x 16 image of its command (from the bitmap strips of toolbars 128 and 234) in a box at
// its left, with a raised edge while it is selected and a sunken one while it is checked; the
// item with command 666 is a narrow vertical banner down the popup's left edge, a gradient in
// the caption colours carrying the product's web address.
//
// The main frame owns one object: it hands every popup that opens to AttachImages (which turns
// the popup's items into owner-drawn ones) and passes WM_MEASUREITEM and WM_DRAWITEM of menus to
// MeasureItem and DrawItem.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "GradientFill.h"
#include "MenuMetrics.h"
#include "framework/Framework.h"

class COwnerDrawMenus {
 public:
  COwnerDrawMenus();
  ~COwnerDrawMenus();
  COwnerDrawMenus(const COwnerDrawMenus&) = delete;
  COwnerDrawMenus& operator=(const COwnerDrawMenus&) = delete;

  // Loads the command images of these toolbar resources (layout and bitmap strip of the same
  // id) and the banner text. False when none could be loaded (menus then show no images).
  bool LoadImages(HINSTANCE resources, const UINT* toolbarIds, int count, const std::string& bannerText);

  // Makes every item of the popup owner-drawn (separators, the banner, commands and the items
  // that open popups), keeping its text, state and command. Runs each time the popup opens, so
  // that items added since (the recent files) are drawn alike.
  void AttachImages(HMENU popup);

  // WM_MEASUREITEM / WM_DRAWITEM of a menu item: true when it was one of ours.
  bool MeasureItem(MEASUREITEMSTRUCT* mis);
  bool DrawItem(const DRAWITEMSTRUCT* dis);

  // The system's menu font or colours changed.
  void OnSettingChange();

  // The image index of a command, or -1.
  int ImageIndexOf(UINT commandId) const;
  HIMAGELIST GetImageList() const { return m_images.GetSafeHandle(); }
  const CGradientFill& Gradient() const { return m_gradient; }
  // The numbers measuring uses now.
  MenuMetricsInput Metrics() const;
  // How many popups have owner-drawn items of ours now (menus destroyed since are dropped the
  // next time a popup opens).
  size_t TrackedMenuCount() const { return m_places.size(); }

 private:
  // What an owner-drawn item's data points to: where the item is.
  struct ItemPlace {
    HMENU menu = nullptr;
    int position = 0;
  };

  // Drops the places of menus that no longer exist.
  void ForgetDestroyedMenus();
  std::string ItemText(const ItemPlace& place) const;
  HFONT MenuFont();
  void DrawSeparator(HDC dc, const RECT& item);
  void DrawBanner(HDC dc, const RECT& item);
  void DrawCommand(const DRAWITEMSTRUCT* dis, const ItemPlace& place);
  void DrawItemImage(HDC dc, const RECT& box, int image, bool enabled);
  void DrawCheckMark(HDC dc, const RECT& box);

  CImageList m_images;
  std::map<UINT, int> m_imageOf;  // command id -> image index
  std::map<HMENU, std::vector<ItemPlace>> m_places;
  std::string m_bannerText;
  UniqueFont m_menuFont;
  UniqueFont m_bannerFont;
  int m_bannerFontHeight = 0;
  CGradientFill m_gradient;
};
