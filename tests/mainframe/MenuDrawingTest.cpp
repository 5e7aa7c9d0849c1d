// The owner-drawn menus: the measuring arithmetic, the item layout, the command images of the
// program's toolbars, measuring with the system's menu font, and drawing into a memory picture
// (the banner's gradient, an item's image and highlight), with and without the system's
// gradient function; then the main frame's menu states and hotkey labels.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "CommandState.h"
#include "framework/FrameworkRes.h"
#include "resources/resource.h"
#include "QuorvaHook.h"
#include "ui/MainFrame.h"
#include "ui/MainFrameApp.h"
#include "ui/GradientFill.h"
#include "ui/MenuMetrics.h"
#include "ui/OwnerDrawMenus.h"

namespace {

// A 32-bit top-down picture to draw into.
class Canvas {
 public:
  Canvas(int w, int h) : m_width(w), m_height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc.reset(::CreateCompatibleDC(nullptr));
    m_bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0));
    m_selected = SelectObjectGuard(m_dc.get(), m_bitmap.get());
  }
  HDC dc() const { return m_dc.get(); }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const DWORD p = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

 private:
  int m_width, m_height;
  UniqueDC m_dc;
  UniqueBitmap m_bitmap;
  SelectObjectGuard m_selected;
  DWORD* m_bits = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(MenuMetrics, SizesOfTheThreeKinds) {
  struct Case {
    MenuItemKind kind;
    int textWidth, menuHeight, checkWidth, avgChar;
    LONG cx, cy;
  };
  const Case cases[] = {
      {MenuItemKind::kSeparator, 80, 19, 13, 5, 0, 9},
      {MenuItemKind::kSeparator, 0, 24, 15, 7, 0, 12},
      {MenuItemKind::kBanner, 80, 19, 13, 5, 8, 1},
      {MenuItemKind::kBanner, 0, 19, 15, 5, 6, 1},
      {MenuItemKind::kBanner, 0, 19, 21, 5, 0, 1},
      {MenuItemKind::kBanner, 0, 38, 30, 9, 0, 1},  // large fonts: a wider check mark, no banner
      // text + 3 + three average characters + twice the image width + 1; at least the image + 4 high
      {MenuItemKind::kCommand, 40, 19, 13, 5, 40 + 3 + 15 + 32 + 1, 20},
      {MenuItemKind::kCommand, 40, 24, 13, 5, 91, 24},
      {MenuItemKind::kCommand, 0, 18, 13, 6, 3 + 18 + 32 + 1, 20},
      {MenuItemKind::kCommand, -5, 18, 13, 6, 54, 20},  // a failed measurement counts as no text
  };
  for (const Case& c : cases) {
    MenuMetricsInput m;
    m.menuHeight = c.menuHeight;
    m.checkWidth = c.checkWidth;
    m.avgCharWidth = c.avgChar;
    const SIZE size = MeasureMenuItem(c.kind, c.textWidth, m);
    EXPECT_EQ(size.cx, c.cx) << static_cast<int>(c.kind) << " " << c.textWidth;
    EXPECT_EQ(size.cy, c.cy) << static_cast<int>(c.kind) << " " << c.textWidth;
  }
  EXPECT_EQ(MenuItemKindOf(0), MenuItemKind::kSeparator);
  EXPECT_EQ(MenuItemKindOf(666), MenuItemKind::kBanner);
  EXPECT_EQ(MenuItemKindOf(ID_FILE_OPEN), MenuItemKind::kCommand);
}

TEST(MenuMetrics, TextPartsLayoutAndBanner) {
  const std::pair<const char*, MenuTextParts> texts[] = {
      {"&Open...\tCtrl+O", {"&Open...", "Ctrl+O"}},
      {"&Desktop\tAlt+Print Screen (?)", {"&Desktop", "Alt+Print Screen (?)"}},
      {"Ac&tive Window (?)", {"Ac&tive Window (?)", ""}},
      {"a\tb\tc", {"a", "b\tc"}},
      {"", {"", ""}},
  };
  for (const auto& [text, parts] : texts) {
    const MenuTextParts got = SplitMenuText(text);
    EXPECT_EQ(got.label, parts.label) << text;
    EXPECT_EQ(got.accelerator, parts.accelerator) << text;
  }

  const RECT item{10, 100, 210, 122};
  const MenuItemLayout with = LayoutMenuItem(item, SIZE{16, 16}, 6, true);
  EXPECT_EQ(with.imageBox.left, 10);
  EXPECT_EQ(with.imageBox.right - with.imageBox.left, 20);
  EXPECT_EQ(with.imageBox.bottom - with.imageBox.top, 20);
  EXPECT_EQ(with.imageBox.top, 101);  // centred: (22 - 20) / 2
  EXPECT_EQ(with.highlight.left, 31);  // right of the image column
  EXPECT_EQ(with.highlight.right, 210);
  EXPECT_GE(with.text.left, with.imageBox.right);
  EXPECT_LE(with.text.right, item.right);
  const MenuItemLayout without = LayoutMenuItem(item, SIZE{16, 16}, 6, false);
  EXPECT_EQ(without.highlight.left, 10);  // no image, no check: the whole item

  // The banner item is 1 high: it is drawn over the popup's whole height.
  const RECT banner = BannerRect(RECT{0, 3, 8, 3}, RECT{0, 0, 150, 400});
  EXPECT_EQ(banner.left, 0);
  EXPECT_EQ(banner.right, 8);
  EXPECT_EQ(banner.top, 0);
  EXPECT_EQ(banner.bottom, 400);

  EXPECT_EQ(BlendColor(RGB(0, 100, 200), RGB(200, 100, 0), 0.0), RGB(0, 100, 200));
  EXPECT_EQ(BlendColor(RGB(0, 100, 200), RGB(200, 100, 0), 1.0), RGB(200, 100, 0));
  EXPECT_EQ(BlendColor(RGB(0, 100, 200), RGB(200, 100, 0), 0.5), RGB(100, 100, 100));
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(255, 255, 255), 7.0), RGB(255, 255, 255));
}

// The gradient with the system's function and with the stretched picture of a library that
// lacks it: both run from the top colour to the bottom colour without going back.
TEST(GradientFill, SystemAndFallbackDrawTheSameRamp) {
  const COLORREF top = RGB(10, 60, 200), bottom = RGB(200, 220, 30);
  for (const char* library : {"msimg32.dll", "kernel32.dll", "no-such-library.dll"}) {
    CGradientFill gradient(library);
    EXPECT_EQ(gradient.HasSystemGradientFill(), std::string(library) == "msimg32.dll") << library;
    Canvas canvas(6, 120);
    gradient.FillVertical(canvas.dc(), RECT{0, 0, 6, 120}, top, bottom);
    EXPECT_TRUE(Near(canvas.At(3, 0), top, 8)) << library;
    EXPECT_TRUE(Near(canvas.At(3, 119), bottom, 8)) << library;
    EXPECT_TRUE(Near(canvas.At(3, 60), BlendColor(top, bottom, 0.5), 10)) << library;
    for (int y = 1; y < 120; ++y) {
      ASSERT_GE(GetRValue(canvas.At(3, y)) + 1, GetRValue(canvas.At(3, y - 1))) << library << " row " << y;
      ASSERT_LE(GetBValue(canvas.At(3, y)), GetBValue(canvas.At(3, y - 1)) + 1) << library << " row " << y;
    }
  }
}

class OwnerDrawMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const UINT toolbars[] = {IDR_TOOLBAR_MAIN, IDR_TOOLBAR_MENUIMAGES};
    ASSERT_TRUE(menus.LoadImages(::GetModuleHandleA(nullptr), toolbars, 2, "http://www.lumatre.example/"));
    menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(menu, nullptr);
    popup = ::GetSubMenu(menu, 0);
    menus.AttachImages(popup);
  }
  void TearDown() override {
    if (menu) ::DestroyMenu(menu);
  }
  int Position(UINT id) const {
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
      if (::GetMenuItemID(popup, i) == id) return i;
    return -1;
  }
  ULONG_PTR ItemData(int position) const {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA | MIIM_FTYPE;
    ::GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &mii);
    return (mii.fType & MFT_OWNERDRAW) ? mii.dwItemData : 0;
  }
  MEASUREITEMSTRUCT Measure(int position) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = ::GetMenuItemID(popup, position);
    mis.itemData = ItemData(position);
    EXPECT_TRUE(menus.MeasureItem(&mis));
    return mis;
  }

  COwnerDrawMenus menus;
  HMENU menu = nullptr;
  HMENU popup = nullptr;
};

TEST_F(OwnerDrawMenusTest, ImagesOfBothToolbarsByCommand) {
  EXPECT_GE(menus.ImageIndexOf(ID_FILE_OPEN), 0);             // main toolbar
  EXPECT_GE(menus.ImageIndexOf(ID_FILE_NEW), 0);              // menu images only
  EXPECT_GE(menus.ImageIndexOf(ID_SHOWMAINWINDOW), 0);
  EXPECT_NE(menus.ImageIndexOf(ID_FILE_OPEN), menus.ImageIndexOf(ID_FILE_NEW));
  EXPECT_EQ(menus.ImageIndexOf(ID_VIEW_ZOOM25), -1);           // no picture: none shown
  EXPECT_EQ(menus.ImageIndexOf(0), -1);
  EXPECT_EQ(::ImageList_GetImageCount(menus.GetImageList()), 31 + 37);
}

TEST_F(OwnerDrawMenusTest, EveryItemIsOwnerDrawnAndKeepsItsText) {
  const int count = ::GetMenuItemCount(popup);
  ASSERT_GT(count, 20);
  for (int i = 0; i < count; ++i) EXPECT_NE(ItemData(i), 0u) << i;
  char text[64] = {};
  ::GetMenuStringA(popup, ID_FILE_OPEN, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Open...");
  // Attached again (each time the popup opens), nothing changes.
  menus.AttachImages(popup);
  for (int i = 0; i < count; ++i) EXPECT_NE(ItemData(i), 0u) << i;
}

// Context menus are made anew for every opening: the places of destroyed ones are let go,
// those of menus still in use stay valid.
TEST_F(OwnerDrawMenusTest, DestroyedContextMenusAreForgotten) {
  for (int opening = 0; opening < 25; ++opening) {
    HMENU context = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(context, nullptr);
    menus.AttachImages(::GetSubMenu(context, 0));
    ::DestroyMenu(context);
  }
  EXPECT_LE(menus.TrackedMenuCount(), 2u);  // the fixture's popup and the last context menu
  menus.AttachImages(popup);
  EXPECT_EQ(menus.TrackedMenuCount(), 1u);
  const MEASUREITEMSTRUCT banner = Measure(Position(ID_MENU_BANNER));
  EXPECT_EQ(banner.itemHeight, 1u);
}

// Measured with the system's menu font: the text's width as DrawText finds it with that font.
TEST_F(OwnerDrawMenusTest, MeasuresWithTheSystemMenuFont) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  UniqueFont font(::CreateFontIndirectA(&metrics.lfMenuFont));
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  SelectObjectGuard selected(dc.get(), font.get());
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc.get(), &tm);
  auto width = [&](const char* s) {
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc.get(), s, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    return static_cast<UINT>(r.right);
  };
  const UINT menuHeight = static_cast<UINT>(::GetSystemMetrics(SM_CYMENU));

  const MEASUREITEMSTRUCT open = Measure(Position(ID_FILE_OPEN));
  EXPECT_EQ(open.itemWidth, width("&Open...") + 3 + 3 * tm.tmAveCharWidth + 32 + 1);
  EXPECT_EQ(open.itemHeight, std::max(menuHeight, 20u));

  const MEASUREITEMSTRUCT banner = Measure(Position(ID_MENU_BANNER));
  EXPECT_EQ(banner.itemWidth, static_cast<UINT>(std::max(21 - ::GetSystemMetrics(SM_CXMENUCHECK), 0)));
  EXPECT_EQ(banner.itemHeight, 1u);

  const MEASUREITEMSTRUCT separator = Measure(Position(ID_SHOWMAINWINDOW) + 1);
  EXPECT_EQ(separator.itemWidth, 0u);
  EXPECT_EQ(separator.itemHeight, menuHeight / 2);

  // A hotkey label measures both of its parts.
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = const_cast<LPSTR>("&Desktop\tAlt+Print Screen");
  ASSERT_TRUE(::SetMenuItemInfoA(popup, ID_CAPTURE_DESKTOP, FALSE, &mii));
  const MEASUREITEMSTRUCT desktop = Measure(Position(ID_CAPTURE_DESKTOP));
  EXPECT_EQ(desktop.itemWidth, width("&Desktop") + width("Alt+Print Screen") + 3 + 3 * tm.tmAveCharWidth + 33);
}

TEST_F(OwnerDrawMenusTest, DrawsTheBannerGradientAndAnItemsImage) {
  Canvas canvas(200, 300);
  const RECT all{0, 0, 200, 300};
  ::FillRect(canvas.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.hDC = canvas.dc();
  dis.hwndItem = reinterpret_cast<HWND>(popup);

  // The banner: its column over the whole height, caption colours from top to bottom.
  const int bannerPosition = Position(ID_MENU_BANNER);
  dis.itemID = ID_MENU_BANNER;
  dis.itemData = ItemData(bannerPosition);
  dis.rcItem = RECT{0, 0, 12, 0};
  ASSERT_TRUE(menus.DrawItem(&dis));
  EXPECT_TRUE(Near(canvas.At(1, 0), ::GetSysColor(COLOR_GRADIENTACTIVECAPTION), 12));
  EXPECT_TRUE(Near(canvas.At(1, 299), ::GetSysColor(COLOR_ACTIVECAPTION), 12));
  EXPECT_EQ(canvas.At(20, 150), RGB(255, 255, 255));  // nothing right of the column

  // A selected item with an image: the image in its box, the highlight right of the column.
  const int openPosition = Position(ID_FILE_OPEN);
  dis.itemID = ID_FILE_OPEN;
  dis.itemData = ItemData(openPosition);
  dis.itemState = ODS_SELECTED;
  dis.rcItem = RECT{20, 100, 200, 122};
  ASSERT_TRUE(menus.DrawItem(&dis));
  EXPECT_EQ(canvas.At(195, 102), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(canvas.At(41, 102), ::GetSysColor(COLOR_HIGHLIGHT));  // from right of the image column
  EXPECT_EQ(canvas.At(40, 102), ::GetSysColor(COLOR_MENU));
  int imagePixels = 0;
  for (int y = 103; y < 119; ++y)
    for (int x = 22; x < 38; ++x)
      if (canvas.At(x, y) != ::GetSysColor(COLOR_MENU) && canvas.At(x, y) != ::GetSysColor(COLOR_HIGHLIGHT)) ++imagePixels;
  EXPECT_GT(imagePixels, 30);
}

// The frame's own update handlers and commands, asked through its command route as its menus
// and toolbar ask them; these need no window.

CommandState StateOf(CMainFrame& frame, UINT id) {
  CommandState state;
  state.m_nID = id;
  state.DoUpdate(&frame, TRUE);
  return state;
}

// Puts one format on the clipboard (nothing for format 0).
bool PutOnClipboard(UINT format) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  HANDLE data = nullptr;
  if (format == CF_DIB) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 4);
    auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = header->biHeight = header->biPlanes = 1;
    header->biBitCount = 24;
    ::GlobalUnlock(block);
    data = block;
  } else if (format == CF_BITMAP) {
    data = ::CreateBitmap(2, 2, 1, 32, nullptr);
  } else if (format == CF_TEXT) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 6);
    lstrcpyA(static_cast<char*>(::GlobalLock(block)), "words");
    ::GlobalUnlock(block);
    data = block;
  }
  const bool put = format == 0 || ::SetClipboardData(format, data) != nullptr;
  ::CloseClipboard();
  return put;
}

TEST(MainFrameCommands, PasteAsNewImageIsEnabledOnlyWithAPicture) {
  CMainFrame frame;
  const struct {
    UINT format;
    int enabled;
  } cases[] = {{0, 0}, {CF_TEXT, 0}, {CF_DIB, 1}, {CF_BITMAP, 1}, {0, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(c.format)) << c.format;
    EXPECT_EQ(StateOf(frame, ID_EDIT_PASTEASNEWIMAGE).enabled, c.enabled) << c.format;
  }
}

TEST(MainFrameCommands, ZoomPresetsAreDisabledWithoutAnImageWindow) {
  CMainFrame frame;
  for (UINT id = ID_VIEW_ZOOM25; id <= ID_VIEW_ZOOM400; ++id) {
    const CommandState state = StateOf(frame, id);
    EXPECT_EQ(state.enabled, 0) << id;
    EXPECT_NE(state.checked, 1) << id;
  }
}

// A button without a picture draws nothing over what lies beneath.
TEST(MainFrameCommands, AMissingButtonPictureDrawsNothing) {
  UniqueBitmap empty(CMainFrame::EmptyButtonImage());
  ASSERT_TRUE(empty);
  CImageList list;
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
  ASSERT_EQ(list.Add(empty.get(), RGB(255, 0, 255)), 0);  // the buttons' background
  Canvas canvas(16, 16);
  const RECT all{0, 0, 16, 16};
  ::FillRect(canvas.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::ImageList_Draw(list.GetSafeHandle(), 0, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(canvas.At(x, y), RGB(255, 255, 255)) << x << "," << y;
}

BOOL CALLBACK CountVisible(HWND window, LPARAM count) {
  if (::IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int VisibleTopLevelWindows() {
  int count = 0;
  ::EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Without an output folder the command opens nothing (the shell would show some other folder).
TEST(MainFrameCommands, ExploreOutputWithoutAFolderDoesNothing) {
  CMainFrame frame;
  char* folder = FrameSettings().m_capture.autoSave.directory;
  const std::string kept = folder;
  folder[0] = '\0';
  const int before = VisibleTopLevelWindows();
  EXPECT_TRUE(static_cast<CCmdTarget&>(frame).OnCmdMsg(ID_EXPLORE_OUTPUT, CN_COMMAND, nullptr));
  ::Sleep(1000);
  EXPECT_EQ(VisibleTopLevelWindows(), before);
  lstrcpynA(folder, kept.c_str(), static_cast<int>(sizeof FrameSettings().m_capture.autoSave.directory));
}

BOOL WINAPI AcceptingTaskbar(DWORD, PNOTIFYICONDATAA) { return TRUE; }

class CMenuTestApp : public CWinApp {
 public:
  CMenuTestApp() : CWinApp("Lumatre Menu Test") {}
};

std::string MenuText(HMENU menu, UINT id) {
  char text[256] = {};
  ::GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
  return text;
}

// A real frame with its capture input started: each time a popup opens, its capture items are
// labelled from the hook library's table as it is then, not as it was at start-up.
TEST(MainFrameMenus, HotkeyLabelsFollowTheHooksTableWhenAPopupOpens) {
  constexpr int kDesktopSlot = 9;
  CSystemTray::SetNotifyIconFunction(AcceptingTaskbar);
  CMenuTestApp app;
  auto* frame = new CMainFrame;  // deletes itself with its window
  ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
  app.m_pMainWnd = frame;
  frame->SendMessage(UWM_INITCAPTURE);
  HMENU bar = ::GetMenu(frame->m_hWnd);
  HMENU capture = nullptr;
  int index = 0;
  for (int i = 0; bar && i < ::GetMenuItemCount(bar) && !capture; ++i)
    if (HMENU sub = ::GetSubMenu(bar, i); sub && ::GetMenuState(sub, ID_CAPTURE_DESKTOP, MF_BYCOMMAND) != UINT(-1)) {
      capture = sub;
      index = i;
    }
  ASSERT_NE(capture, nullptr);

  WORD table[kHookHotkeySlots] = {};
  TSY_GetCaptureHotKey(table);
  WORD kept[kHookHotkeySlots] = {};
  std::copy(std::begin(table), std::end(table), kept);
  const struct {
    WORD code;
    const char* label;
  } cases[] = {{0x2000 | VK_F9, "&Desktop\tAlt+F9"}, {0x8000 | 0x4000 | VK_F8, "&Desktop\tCtrl+Shift+F8"}};
  for (const auto& c : cases) {
    table[kDesktopSlot] = c.code;
    TSY_SetCaptureHotKey(table);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(capture), index);
    // The key may be refused by the system (" (?)" follows): the label starts the same.
    EXPECT_EQ(MenuText(capture, ID_CAPTURE_DESKTOP).rfind(c.label, 0), 0u) << MenuText(capture, ID_CAPTURE_DESKTOP);
  }
  TSY_SetCaptureHotKey(kept);
  ::DestroyWindow(frame->m_hWnd);
  app.m_pMainWnd = nullptr;
  CSystemTray::SetNotifyIconFunction(nullptr);
}

}  // namespace
