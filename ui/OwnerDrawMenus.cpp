#include "OwnerDrawMenus.h"

#include <algorithm>

#include "framework/Handles.h"

namespace {

constexpr SIZE kImageSize{16, 16};
// The strips' background, which shows the menu colour through.
constexpr COLORREF kStripBackground = RGB(192, 192, 192);
constexpr char kBannerFace[] = "Times New Roman";
// The banner text starts this far above the popup's bottom edge.
constexpr int kBannerTextMargin = 4;
constexpr int kMaxMenuText = 1024;

NONCLIENTMETRICSA NonClientMetrics() {
  NONCLIENTMETRICSA metrics{};
  // The size without the padded border field of later systems, which every system accepts.
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    metrics.lfMenuFont = LOGFONTA{};
    metrics.lfMenuFont.lfHeight = -11;
    lstrcpynA(metrics.lfMenuFont.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
  }
  return metrics;
}

int TextWidth(HDC dc, const std::string& text) {
  if (text.empty()) return 0;
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  return r.right - r.left;
}

int AverageCharWidth(HDC dc) {
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  return tm.tmAveCharWidth;
}

}  // namespace

COwnerDrawMenus::COwnerDrawMenus() = default;

COwnerDrawMenus::~COwnerDrawMenus() = default;

bool COwnerDrawMenus::LoadImages(HINSTANCE resources, const UINT* toolbarIds, int count,
                                 const std::string& bannerText) {
  m_bannerText = bannerText;
  m_imageOf.clear();
  if (!m_images.GetSafeHandle() && !m_images.Create(kImageSize.cx, kImageSize.cy, ILC_COLOR24 | ILC_MASK, 64, 16))
    return false;
  for (int k = 0; k < count; ++k) {
    CToolBarResource layout;
    if (!AfxLoadToolBarResource(toolbarIds[k], layout, resources) || layout.cxImage != kImageSize.cx ||
        layout.cyImage != kImageSize.cy)
      continue;
    UniqueBitmap strip(static_cast<HBITMAP>(
        ::LoadImageA(resources, MAKEINTRESOURCEA(toolbarIds[k]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip) continue;
    const int first = m_images.GetImageCount();
    if (m_images.Add(strip.get(), kStripBackground) < 0) continue;
    const int added = m_images.GetImageCount() - first;
    int image = 0;
    for (UINT command : layout.ids) {
      if (command == 0) continue;
      if (image >= added) break;
      m_imageOf.emplace(command, first + image);  // the first toolbar's image wins
      ++image;
    }
  }
  return !m_imageOf.empty();
}

int COwnerDrawMenus::ImageIndexOf(UINT commandId) const {
  auto it = m_imageOf.find(commandId);
  return it == m_imageOf.end() ? -1 : it->second;
}

void COwnerDrawMenus::OnSettingChange() {
  m_menuFont.reset();
  m_bannerFont.reset();
  m_bannerFontHeight = 0;
}

HFONT COwnerDrawMenus::MenuFont() {
  if (!m_menuFont) {
    NONCLIENTMETRICSA metrics = NonClientMetrics();
    m_menuFont.reset(::CreateFontIndirectA(&metrics.lfMenuFont));
  }
  return m_menuFont ? m_menuFont.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

MenuMetricsInput COwnerDrawMenus::Metrics() const {
  MenuMetricsInput m;
  m.menuHeight = ::GetSystemMetrics(SM_CYMENU);
  m.checkWidth = ::GetSystemMetrics(SM_CXMENUCHECK);
  m.image = kImageSize;
  return m;
}

void COwnerDrawMenus::AttachImages(HMENU popup) {
  if (!popup || !::IsMenu(popup)) return;
  const int count = ::GetMenuItemCount(popup);
  if (count <= 0) return;
  ForgetDestroyedMenus();
  std::vector<ItemPlace>& places = m_places[popup];
  places.assign(static_cast<size_t>(count), ItemPlace{});
  for (int position = 0; position < count; ++position) {
    places[static_cast<size_t>(position)] = ItemPlace{popup, position};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    if (!::GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &mii)) continue;
    // Bitmap items are the system's own (the MDI child's buttons); leave them alone.
    if (mii.fType & MFT_BITMAP) continue;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType |= MFT_OWNERDRAW;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(&places[static_cast<size_t>(position)]);
    ::SetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &mii);
  }
}

void COwnerDrawMenus::ForgetDestroyedMenus() {
  // Context menus are loaded anew each time they open and destroyed when they close: without
  // this every one of them would stay on the list for as long as the program runs.
  std::erase_if(m_places, [](const auto& entry) { return !::IsMenu(entry.first); });
}

std::string COwnerDrawMenus::ItemText(const ItemPlace& place) const {
  char text[kMaxMenuText + 1] = {};
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = text;
  mii.cch = kMaxMenuText;
  if (!::GetMenuItemInfoA(place.menu, static_cast<UINT>(place.position), TRUE, &mii)) return std::string();
  return std::string(text);
}

bool COwnerDrawMenus::MeasureItem(MEASUREITEMSTRUCT* mis) {
  if (!mis || mis->CtlType != ODT_MENU || !mis->itemData) return false;
  const auto* place = reinterpret_cast<const ItemPlace*>(mis->itemData);
  const MenuItemKind kind = MenuItemKindOf(mis->itemID);
  MenuMetricsInput metrics = Metrics();
  int textWidth = 0;
  if (kind == MenuItemKind::kCommand) {
    WindowDC screen(nullptr);
    SelectObjectGuard font(screen.get(), MenuFont());
    metrics.avgCharWidth = AverageCharWidth(screen.get());
    const MenuTextParts parts = SplitMenuText(ItemText(*place));
    textWidth = TextWidth(screen.get(), parts.label) + TextWidth(screen.get(), parts.accelerator);
  }
  const SIZE size = MeasureMenuItem(kind, textWidth, metrics);
  mis->itemWidth = static_cast<UINT>(size.cx);
  mis->itemHeight = static_cast<UINT>(size.cy);
  return true;
}

bool COwnerDrawMenus::DrawItem(const DRAWITEMSTRUCT* dis) {
  if (!dis || dis->CtlType != ODT_MENU || !dis->itemData) return false;
  const auto* place = reinterpret_cast<const ItemPlace*>(dis->itemData);
  SavedDCState saved(dis->hDC);
  switch (MenuItemKindOf(dis->itemID)) {
    case MenuItemKind::kSeparator:
      DrawSeparator(dis->hDC, dis->rcItem);
      break;
    case MenuItemKind::kBanner:
      DrawBanner(dis->hDC, dis->rcItem);
      break;
    case MenuItemKind::kCommand:
      DrawCommand(dis, *place);
      break;
  }
  return true;
}

void COwnerDrawMenus::DrawSeparator(HDC dc, const RECT& item) {
  ::FillRect(dc, &item, ::GetSysColorBrush(COLOR_MENU));
  RECT line = item;
  line.top = item.top + (item.bottom - item.top) / 2;
  line.bottom = line.top + 2;
  ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

void COwnerDrawMenus::DrawBanner(HDC dc, const RECT& item) {
  RECT clip{};
  ::GetClipBox(dc, &clip);
  const RECT banner = BannerRect(item, clip);
  m_gradient.FillVertical(dc, banner, ::GetSysColor(COLOR_GRADIENTACTIVECAPTION), ::GetSysColor(COLOR_ACTIVECAPTION));
  const int width = banner.right - banner.left;
  if (width <= 0 || m_bannerText.empty()) return;
  if (!m_bannerFont || m_bannerFontHeight != width) {
    LOGFONTA lf{};
    lf.lfHeight = width;
    lf.lfEscapement = 900;
    lf.lfOrientation = 900;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, kBannerFace, LF_FACESIZE);
    m_bannerFont.reset(::CreateFontIndirectA(&lf));
    m_bannerFontHeight = width;
  }
  SelectObjectGuard font(dc, m_bannerFont.get());
  ::SetBkMode(dc, TRANSPARENT);
  // Turned by 90 degrees the text runs upwards; aligned to its bottom (the banner's right
  // edge) it starts near the popup's bottom edge.
  ::SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
  const int x = banner.right;
  const int y = banner.bottom - kBannerTextMargin;
  const int length = static_cast<int>(m_bannerText.size());
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::TextOutA(dc, x, y, m_bannerText.c_str(), length);
  ::SetTextColor(dc, ::GetSysColor(COLOR_CAPTIONTEXT));
  ::TextOutA(dc, x - 1, y - 1, m_bannerText.c_str(), length);
}

void COwnerDrawMenus::DrawCommand(const DRAWITEMSTRUCT* dis, const ItemPlace& place) {
  HDC dc = dis->hDC;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const bool disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool checked = (dis->itemState & ODS_CHECKED) != 0;
  const int image = ImageIndexOf(dis->itemID);
  const bool hasImageColumn = image >= 0 || checked;

  SelectObjectGuard font(dc, MenuFont());
  const MenuItemLayout layout = LayoutMenuItem(dis->rcItem, kImageSize, AverageCharWidth(dc), hasImageColumn);

  ::FillRect(dc, &dis->rcItem, ::GetSysColorBrush(COLOR_MENU));
  if (selected) ::FillRect(dc, &layout.highlight, ::GetSysColorBrush(COLOR_HIGHLIGHT));

  if (image >= 0) DrawItemImage(dc, layout.imageBox, image, !disabled);
  else if (checked) DrawCheckMark(dc, layout.imageBox);
  RECT box = layout.imageBox;
  if (checked)
    ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
  else if (selected && !disabled && image >= 0)
    ::DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);

  COLORREF color = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  if (disabled) color = ::GetSysColor(COLOR_GRAYTEXT);
  ::SetTextColor(dc, color);
  ::SetBkMode(dc, TRANSPARENT);
  const MenuTextParts parts = SplitMenuText(ItemText(place));
  const UINT prefix = (dis->itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT text = layout.text;
  ::DrawTextA(dc, parts.label.c_str(), static_cast<int>(parts.label.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | prefix);
  if (!parts.accelerator.empty()) {
    text = layout.text;
    ::DrawTextA(dc, parts.accelerator.c_str(), static_cast<int>(parts.accelerator.size()), &text,
                DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void COwnerDrawMenus::DrawItemImage(HDC dc, const RECT& box, int image, bool enabled) {
  const int x = box.left + (box.right - box.left - kImageSize.cx) / 2;
  const int y = box.top + (box.bottom - box.top - kImageSize.cy) / 2;
  if (enabled) {
    ::ImageList_Draw(m_images.GetSafeHandle(), image, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  UniqueIcon icon(::ImageList_GetIcon(m_images.GetSafeHandle(), image, ILD_TRANSPARENT));
  if (icon)
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, kImageSize.cx, kImageSize.cy,
                 DST_ICON | DSS_DISABLED);
}

void COwnerDrawMenus::DrawCheckMark(HDC dc, const RECT& box) {
  // The system's check glyph, drawn into a monochrome mask and put on in the text colour.
  const int w = box.right - box.left - 4;
  const int h = box.bottom - box.top - 4;
  if (w <= 0 || h <= 0) return;
  UniqueDC memory(::CreateCompatibleDC(dc));
  UniqueBitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
  if (!memory || !mask) return;
  SelectObjectGuard selected(memory.get(), mask.get());
  RECT r{0, 0, w, h};
  ::DrawFrameControl(memory.get(), &r, DFC_MENU, DFCS_MENUCHECK);
  const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
  // The glyph is black on white: keep what lies under the white, darken under the black.
  ::BitBlt(dc, box.left + 2, box.top + 2, w, h, memory.get(), 0, 0, SRCAND);
  ::SetTextColor(dc, oldText);
  ::SetBkColor(dc, oldBack);
}
