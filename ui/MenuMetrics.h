// The arithmetic of the owner-drawn menus: how large each kind of item is and where its parts
// go. Pure functions over the system's numbers, so that they can be checked with a known font.
#pragma once

#include <windows.h>

#include <string>

// What measuring needs from the system.
struct MenuMetricsInput {
  int menuHeight = 0;    // height of a menu line (SM_CYMENU)
  int checkWidth = 0;    // width of the system's check mark (SM_CXMENUCHECK)
  int avgCharWidth = 0;  // average character width of the menu font
  SIZE image{16, 16};    // size of the command images
};

enum class MenuItemKind { kSeparator, kBanner, kCommand };

// The command that makes an item the vertical banner at the left of a popup menu.
constexpr UINT kMenuBannerCommand = 666;

// The kind of an item by its command id (0: a separator).
MenuItemKind MenuItemKindOf(UINT commandId);

// The size an item asks for:
// - a separator: 0 wide, half a menu line high;
// - the banner: (21 - check-mark width) wide, never less than 0, and 1 high: alone in its
//   column, it is drawn over the popup's whole height (1, not 0: a menu leaves out items
//   without height, banner and all);
// - a command: its text width + 3 + three average characters + twice the image width + 1 wide,
//   and as high as the larger of a menu line and the image height + 4.
SIZE MeasureMenuItem(MenuItemKind kind, int textWidth, const MenuMetricsInput& metrics);

// A menu text split at its first tab: the label and the right-aligned part (a key, a hotkey).
struct MenuTextParts {
  std::string label;
  std::string accelerator;
};
MenuTextParts SplitMenuText(const std::string& text);

// Where the parts of a command item go inside its rectangle.
struct MenuItemLayout {
  RECT imageBox;   // the box of image size + 4 at the left, centred vertically
  RECT highlight;  // what a selected item fills with the highlight colour
  RECT text;       // label (left-aligned) and accelerator (right-aligned)
};
// hasImageColumn: the item shows an image or a check mark (the highlight then starts right of
// the image column).
MenuItemLayout LayoutMenuItem(const RECT& item, SIZE image, int avgCharWidth, bool hasImageColumn);

// The rectangle the banner fills: its own column's width over the popup's whole height (the
// system gives the banner item a height of 0).
RECT BannerRect(const RECT& item, const RECT& popupClip);

// A colour between top (t = 0) and bottom (t = 1), each component rounded.
COLORREF BlendColor(COLORREF top, COLORREF bottom, double t);
