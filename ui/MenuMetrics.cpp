#include "MenuMetrics.h"

#include <algorithm>
#include <cmath>

namespace {

// The banner and its check-mark column together are this wide.
constexpr int kBannerColumnWidth = 21;
// Room between the image box and the label, and after the accelerator.
constexpr int kTextGap = 4;

}  // namespace

MenuItemKind MenuItemKindOf(UINT commandId) {
  if (commandId == 0) return MenuItemKind::kSeparator;
  if (commandId == kMenuBannerCommand) return MenuItemKind::kBanner;
  return MenuItemKind::kCommand;
}

SIZE MeasureMenuItem(MenuItemKind kind, int textWidth, const MenuMetricsInput& m) {
  switch (kind) {
    case MenuItemKind::kSeparator:
      return SIZE{0, m.menuHeight / 2};
    case MenuItemKind::kBanner:
      // A check mark wider than the column (large fonts) leaves the banner no width at all.
      return SIZE{std::max(kBannerColumnWidth - m.checkWidth, 0), 1};
    case MenuItemKind::kCommand:
      break;
  }
  const int width = std::max(textWidth, 0) + 3 + 3 * m.avgCharWidth + 2 * m.image.cx + 1;
  const int height = std::max(m.menuHeight, static_cast<int>(m.image.cy) + 4);
  return SIZE{width, height};
}

MenuTextParts SplitMenuText(const std::string& text) {
  const size_t tab = text.find('\t');
  if (tab == std::string::npos) return MenuTextParts{text, std::string()};
  return MenuTextParts{text.substr(0, tab), text.substr(tab + 1)};
}

MenuItemLayout LayoutMenuItem(const RECT& item, SIZE image, int avgCharWidth, bool hasImageColumn) {
  MenuItemLayout layout{};
  const int boxWidth = image.cx + 4;
  const int boxHeight = image.cy + 4;
  const int top = item.top + ((item.bottom - item.top) - boxHeight) / 2;
  layout.imageBox = RECT{item.left, top, item.left + boxWidth, top + boxHeight};
  layout.highlight = item;
  if (hasImageColumn) layout.highlight.left = item.left + boxWidth + 1;
  // The label starts one image width and a gap in; the accelerator ends half an image width
  // before the right edge, so both stay clear of the highlight's edges.
  layout.text = RECT{item.left + boxWidth + kTextGap, item.top, item.right - image.cx / 2 - avgCharWidth / 2,
                     item.bottom};
  if (layout.text.right < layout.text.left) layout.text.right = layout.text.left;
  return layout;
}

RECT BannerRect(const RECT& item, const RECT& popupClip) {
  RECT r = item;
  r.top = std::min(item.top, popupClip.top);
  r.bottom = std::max(item.bottom, popupClip.bottom);
  return r;
}

COLORREF BlendColor(COLORREF top, COLORREF bottom, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  return RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
             mix(GetBValue(top), GetBValue(bottom)));
}
