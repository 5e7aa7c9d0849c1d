// The program's resources, loaded from this test executable (which links the same compiled
// resource script as Lumatre.exe): sound, icons, cursors, bitmaps, toolbars, menus,
// accelerators, strings, version and manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "../../framework/FrameworkRes.h"
#include "CommandImages.h"
#include "GdiTestUtil.h"
#include "resource.h"

namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

std::vector<uint8_t> RawResource(LPCWSTR name, LPCWSTR type) {
  HRSRC r = FindResourceW(Self(), name, type);
  if (!r) return {};
  HGLOBAL g = LoadResource(Self(), r);
  const auto* p = static_cast<const uint8_t*>(LockResource(g));
  DWORD n = SizeofResource(Self(), r);
  if (!p) return {};
  return std::vector<uint8_t>(p, p + n);
}

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

std::wstring LoadText(UINT id) {
  // With a zero buffer length the function hands back a pointer to the resource itself.
  const wchar_t* p = nullptr;
  int n = LoadStringW(Self(), id, reinterpret_cast<LPWSTR>(&p), 0);
  return n > 0 && p ? std::wstring(p, n) : std::wstring();
}

std::wstring Widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(n > 0 ? n - 1 : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  return w;
}

struct MenuOwner {
  HMENU menu;
  explicit MenuOwner(UINT id) : menu(LoadMenuW(Self(), MAKEINTRESOURCEW(id))) {}
  ~MenuOwner() {
    if (menu) DestroyMenu(menu);
  }
};

std::wstring ItemText(HMENU menu, UINT pos) {
  wchar_t buf[512] = {};
  GetMenuStringW(menu, pos, buf, 512, MF_BYPOSITION);
  return buf;
}

// Depth-first search for a command; returns its text, or nothing.
bool FindCommand(HMENU menu, UINT id, std::wstring& text) {
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (FindCommand(sub, id, text)) return true;
    } else if (GetMenuItemID(menu, i) == id) {
      text = ItemText(menu, i);
      return true;
    }
  }
  return false;
}

struct GdiBitmap {
  HBITMAP h;
  explicit GdiBitmap(HANDLE x) : h(static_cast<HBITMAP>(x)) {}
  ~GdiBitmap() {
    if (h) DeleteObject(h);
  }
};

// The command-id list of a TOOLBAR resource (0 for separators).
std::vector<uint16_t> ToolbarButtons(UINT id, int* width = nullptr, int* height = nullptr) {
  auto raw = RawResource(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(241));
  std::vector<uint16_t> ids;
  if (raw.size() < 8 || Le16(raw.data()) != 1) return ids;
  if (width) *width = Le16(raw.data() + 2);
  if (height) *height = Le16(raw.data() + 4);
  uint16_t count = Le16(raw.data() + 6);
  if (raw.size() < 8u + 2u * count) return ids;
  for (uint16_t i = 0; i < count; ++i) ids.push_back(Le16(raw.data() + 8 + 2 * i));
  return ids;
}

}  // namespace

TEST(Sound, CaptureWaveIsEightBitMonoPcmWithTheExactDataSize) {
  auto wav = RawResource(MAKEINTRESOURCEW(IDR_WAVE_CAPTURE), L"WAVE");
  ASSERT_GE(wav.size(), 44u);
  ASSERT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  ASSERT_EQ(std::memcmp(wav.data() + 8, "WAVE", 4), 0);
  EXPECT_EQ(Le32(wav.data() + 4) + 8, wav.size()) << "RIFF size covers the whole resource";
  // Walk the chunks.
  size_t pos = 12;
  bool sawFmt = false, sawData = false;
  while (pos + 8 <= wav.size()) {
    uint32_t size = Le32(wav.data() + pos + 4);
    const uint8_t* body = wav.data() + pos + 8;
    ASSERT_LE(pos + 8 + size, wav.size());
    if (std::memcmp(wav.data() + pos, "fmt ", 4) == 0) {
      ASSERT_GE(size, 16u);
      EXPECT_EQ(Le16(body), WAVE_FORMAT_PCM);
      EXPECT_EQ(Le16(body + 2), 1) << "mono";
      EXPECT_EQ(Le32(body + 4), 22050u);
      EXPECT_EQ(Le32(body + 8), 22050u) << "bytes per second";
      EXPECT_EQ(Le16(body + 12), 1) << "block align";
      EXPECT_EQ(Le16(body + 14), 8) << "bits per sample";
      sawFmt = true;
    } else if (std::memcmp(wav.data() + pos, "data", 4) == 0) {
      EXPECT_TRUE(sawFmt) << "format before data";
      EXPECT_EQ(size, 13851u);
      // A real sound: loud somewhere, silent (128) at both ends.
      int peak = 0;
      for (uint32_t i = 0; i < size; ++i) peak = std::max(peak, std::abs(body[i] - 128));
      EXPECT_GT(peak, 60);
      EXPECT_EQ(body[0], 128);
      EXPECT_EQ(body[size - 1], 128);
      sawData = true;
    }
    pos += 8 + size + (size & 1);
  }
  EXPECT_TRUE(sawFmt);
  EXPECT_TRUE(sawData);
}

TEST(Icons, TrayAndProgramIconsHaveTheirSizes) {
  HICON tray = static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0));
  ASSERT_NE(tray, nullptr);
  ICONINFO ii = {};
  ASSERT_TRUE(GetIconInfo(tray, &ii));
  BITMAP bm = {};
  GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 16);
  EXPECT_EQ(bm.bmHeight, ii.hbmColor ? 16 : 32);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);

  // The tray icon is not blank: drawn on white it leaves dark pixels, and its corners stay white.
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP surface = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(mem, surface);
  RECT r = {0, 0, 16, 16};
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(mem, 0, 0, tray, 16, 16, 0, nullptr, DI_NORMAL);
  SelectObject(mem, old);
  auto px = ReadBitmapPixels(surface, 16, 16);
  DeleteObject(surface);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  DestroyIcon(tray);
  ASSERT_EQ(px.size(), 256u);
  int dark = 0;
  for (uint32_t p : px) dark += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 300;
  EXPECT_GT(dark, 40);
  EXPECT_EQ(px[0], 0xFFFFFFu) << "transparent corner";

  // The program icon and the image icons offer the sizes a shell asks for.
  struct Want {
    UINT id;
    std::vector<int> sizes;
  } wants[] = {{IDR_MAINFRAME, {16, 32, 48}}, {IDR_LUMATRETYPE, {16, 32}}, {IDI_IMAGEFRAME, {16, 32}}};
  for (const auto& w : wants) {
    auto group = RawResource(MAKEINTRESOURCEW(w.id), MAKEINTRESOURCEW(14));
    ASSERT_GE(group.size(), 6u) << w.id;
    std::vector<int> sizes;
    uint16_t count = Le16(group.data() + 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    for (uint16_t i = 0; i < count; ++i) {
      const uint8_t* e = group.data() + 6 + 14 * i;
      EXPECT_EQ(e[0], e[1]) << "square";
      EXPECT_EQ(Le16(e + 6), 32) << "32-bit colour with alpha";
      sizes.push_back(e[0]);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, w.sizes) << "icon " << w.id;
    for (int s : w.sizes) {
      HICON h = static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(w.id), IMAGE_ICON, s, s, 0));
      EXPECT_NE(h, nullptr) << w.id << " at " << s;
      if (h) DestroyIcon(h);
    }
  }
}

TEST(Cursors, LoadWithSensibleHotSpots) {
  struct Want {
    UINT id;
    DWORD x, y;
  } wants[] = {{IDC_TRACKING, 15, 15}, {IDC_FREEZE, 15, 15}, {IDC_COLORPICKER, 1, 17},
               {IDC_GRABHAND, 9, 10},   {IDC_OPENHAND, 9, 9},     {IDC_SELECTION, 11, 11}};
  for (const auto& w : wants) {
    HCURSOR c = LoadCursorW(Self(), MAKEINTRESOURCEW(w.id));
    ASSERT_NE(c, nullptr) << w.id;
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(c, &ii)) << w.id;
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, w.x) << w.id;
    EXPECT_EQ(ii.yHotspot, w.y) << w.id;
    BITMAP bm = {};
    GetObjectW(ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32) << w.id;
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
  }
}

TEST(Bitmaps, InfoPanelIs250By48With256Colours) {
  GdiBitmap bmp(LoadImageW(Self(), MAKEINTRESOURCEW(IDB_INFOPANEL), IMAGE_BITMAP, 0, 0,
                           LR_CREATEDIBSECTION));
  ASSERT_NE(bmp.h, nullptr);
  DIBSECTION ds = {};
  ASSERT_EQ(GetObjectW(bmp.h, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmWidth, 250);
  EXPECT_EQ(ds.dsBm.bmHeight, 48);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
  // Dark enough behind the white texts at (46, 8) and (46, 24).
  auto px = ReadBitmapPixels(bmp.h, 250, 48);
  ASSERT_EQ(px.size(), 250u * 48u);
  for (int y = 4; y < 44; ++y) {
    for (int x = 48; x < 200; ++x) {
      uint32_t p = px[y * 250 + x];
      ASSERT_LT(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF), 3u * 110) << x << "," << y;
    }
  }
}

TEST(Toolbars, MainToolbarHoldsTheButtonsInOrderAndItsStripMatches) {
  const std::vector<uint16_t> expected = {
      57601, 57603, 57607, 32857, 0,     57635, 57634, 57637, 57643, 57644, 32808, 0,
      32822, 32824, 1232,  32859, 0,     32792, 1101,  1100,  32788, 1168,  32791, 32790,
      1104,  1152,  0,     32839, 32840, 0,     32803, 32804, 32800, 32794, 32796, 32797};
  int w = 0, h = 0;
  EXPECT_EQ(ToolbarButtons(IDR_TOOLBAR_MAIN, &w, &h), expected);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);
  EXPECT_EQ(ToolbarButtons(IDR_TOOLBAR_FULLSCREEN), std::vector<uint16_t>{ID_WINDOW_FULLSCREEN});
  for (UINT id : {IDR_TOOLBAR_MAIN, IDR_TOOLBAR_FULLSCREEN, IDR_TOOLBAR_MENUIMAGES}) {
    auto buttons = ToolbarButtons(id);
    ASSERT_FALSE(buttons.empty()) << id;
    int images = 0;
    for (auto b : buttons) images += b != 0;
    GdiBitmap strip(LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(strip.h, nullptr) << id;
    BITMAP bm = {};
    GetObjectW(strip.h, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16 * images) << id;
    EXPECT_EQ(bm.bmHeight, 16) << id;
  }
}

TEST(Toolbars, EveryToolbarCommandHasNormalHotAndDisabledImages) {
  std::vector<unsigned> listed;
  for (const auto& e : kLumatreCommandImages) {
    listed.push_back(e.command);
    for (unsigned id : {e.normal, e.hot, e.disabled}) {
      GdiBitmap bmp(LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
      ASSERT_NE(bmp.h, nullptr) << e.command << " bitmap " << id;
      BITMAP bm = {};
      GetObjectW(bmp.h, sizeof bm, &bm);
      EXPECT_EQ(bm.bmWidth, 16);
      EXPECT_EQ(bm.bmHeight, 16);
      auto px = ReadBitmapPixels(bmp.h, 16, 16);
      ASSERT_EQ(px.size(), 256u);
      EXPECT_EQ(px[0], 0xFF00FFu) << "background in the first pixel, command " << e.command;
      int drawn = 0;
      for (uint32_t p : px) drawn += p != 0xFF00FFu;
      EXPECT_GT(drawn, 30) << "command " << e.command << " bitmap " << id;
    }
    EXPECT_NE(e.normal, e.hot);
  }
  for (UINT tb : {IDR_TOOLBAR_MAIN, IDR_TOOLBAR_MENUIMAGES, IDR_TOOLBAR_FULLSCREEN}) {
    for (auto b : ToolbarButtons(tb)) {
      if (b) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), b), listed.end()) << b;
      }
    }
  }
}

TEST(Menus, NoDocumentMenuHasFileExit) {
  MenuOwner m(IDR_MAINFRAME);
  ASSERT_NE(m.menu, nullptr);
  HMENU file = GetSubMenu(m.menu, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ItemText(m.menu, 0), L"&File");
  int n = GetMenuItemCount(file);
  ASSERT_GT(n, 0);
  EXPECT_EQ(GetMenuItemID(file, n - 1), static_cast<UINT>(ID_APP_EXIT));
  EXPECT_EQ(ItemText(file, n - 1), L"E&xit");
  std::wstring t;
  ASSERT_TRUE(FindCommand(m.menu, ID_FILE_MRU_FILE1, t)) << "recent files go in the File menu";
  ASSERT_TRUE(FindCommand(file, ID_EDIT_PASTEASNEWIMAGE, t));
  EXPECT_EQ(t, L"Paste As Ne&w Image\tCtrl+W");
}

TEST(Menus, TrayMenuNamesEveryCaptureModeAndStartsWithTheBanner) {
  MenuOwner m(IDR_TRAYMENU);
  ASSERT_NE(m.menu, nullptr);
  HMENU popup = GetSubMenu(m.menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_MENU_BANNER));
  struct Mode {
    UINT id;
    const wchar_t* text;
  } modes[] = {{1100, L"Ac&tive Window"},
               {32788, L"Active Window C&lient"},
               {1101, L"&Control,Button,Child Window"},
               {32791, L"&Square"},
               {1168, L"&Rectangle"},
               {32790, L"&Circle"},
               {1104, L"&Ellipse"},
               {1152, L"&Polygon"},
               {1103, L"&Menu"},
               {32792, L"&Desktop"},
               {32793, L"Sin&gle Window"},
               {1232, L"&Repeat Last"},
               {32824, L"De&fault Action"},
               {32859, L"Color Pic&ker"}};
  // Directly in the first popup (the mode names are read from there).
  for (const auto& mode : modes) {
    bool found = false;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      if (GetMenuItemID(popup, i) == mode.id) {
        EXPECT_EQ(ItemText(popup, i), mode.text);
        found = true;
      }
    }
    EXPECT_TRUE(found) << mode.id;
  }
  std::wstring t;
  ASSERT_TRUE(FindCommand(popup, ID_APP_EXIT, t));
  EXPECT_EQ(t, L"E&xit Lumatre");
  ASSERT_TRUE(FindCommand(popup, ID_SHOWMAINWINDOW, t));
  EXPECT_EQ(t, L"&Show Main Window");
}

TEST(Menus, DocumentMenuCarriesTheCommandTexts) {
  MenuOwner m(IDR_LUMATRETYPE);
  ASSERT_NE(m.menu, nullptr);
  struct Item {
    UINT id;
    const char* text;  // UTF-8
  } items[] = {{57643, "&Undo\tCtrl+Z"},
               {57644, "&Redo"},
               {32794, "&Resize..."},
               {32798, "&Scale..."},
               {32799, "S&trecth..."},
               {32796, "90\xC2\xB0 &Clockwise"},
               {32797, "90\xC2\xB0 C&ounter-Clockwise"},
               {32795, "Any Angle &Rotate..."},
               {32800, "&Crop"},
               {32801, "&Horizontally"},
               {32802, "&Vertically"},
               {32803, "&Brightness..."},
               {32804, "C&ontrast..."},
               {32805, "&Grayscale"},
               {32809, "&Invert"},
               {57635, "Cu&t\tCtrl+X"},
               {57634, "&Copy The Selection To The Clipboard\tCtrl+C"},
               {57637, "&Paste Into Current Image \tCtrl+V"},
               {57603, "&Save\tCtrl+S"},
               {32856, "Copy A&ll To The Clipboard"},
               {32857, "&Reload from disk"},
               {57612, "Send &Mail"},
               {32808, "&Select Region"},
               {32819, "Select &All"},
               {32848, "U&nselect Region"},
               {32811, "&Zoom:25%"},
               {32812, "Zoom:&50%"},
               {32813, "Zoom:&100%"},
               {32814, "Zoom:&200%"},
               {32815, "Zoom:&400%"},
               {32787, "&Manage View Tab Bar"},
               {32777, "Windows &Manage..."},
               {32822, "&Options..."},
               {32847, "Close A&ll"},
               {32850, "&Explore Output Directory"},
               {32854, "Lumatre &Home Page"},
               {57667, "&Help Topics"},
               {57664, "&About..."},
               {57606, "P&rint Setup..."},
               {57609, "Print Pre&view"},
               {57665, "E&xit"}};
  for (const auto& item : items) {
    std::wstring t;
    EXPECT_TRUE(FindCommand(m.menu, item.id, t)) << item.id;
    EXPECT_EQ(t, Widen(item.text)) << item.id;
  }
  // The recent files sit in the first submenu, so clearing the list refreshes it there.
  std::wstring t;
  EXPECT_TRUE(FindCommand(GetSubMenu(m.menu, 0), ID_FILE_MRU_FILE1, t));
  // No capture mode is missing from the document menu either.
  for (UINT id : {1100u, 32788u, 1101u, 32791u, 1168u, 32790u, 1104u, 1152u, 1103u, 32792u,
                  32793u, 1232u, 32824u, 32859u})
    EXPECT_TRUE(FindCommand(m.menu, id, t)) << id;
}

TEST(Menus, TabAndViewContextMenus) {
  MenuOwner tab(IDR_TABMENU);
  ASSERT_NE(tab.menu, nullptr);
  HMENU popup = GetSubMenu(tab.menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_MENU_BANNER));
  const std::vector<std::wstring> expected = {
      L"&Close", L"Close A&ll", L"&Save", L"Save &As...", L"&Reload from disk", L"Send &Mail",
      L"Cop&y All To The Clipboard", L"Copy The S&election To The Clipboard", L"Print Pre&view",
      L"&Print...", L"P&rint Setup...", L"&New Window", L"Casca&de", L"&Tile",
      L"Windows &Manage..."};
  std::vector<std::wstring> texts;
  for (int i = 1; i < GetMenuItemCount(popup); ++i)
    if (GetMenuItemID(popup, i) != 0) texts.push_back(ItemText(popup, i));
  EXPECT_EQ(texts, expected);

  MenuOwner view(IDR_VIEWMENU);
  ASSERT_NE(view.menu, nullptr);
  HMENU vp = GetSubMenu(view.menu, 0);
  ASSERT_NE(vp, nullptr);
  EXPECT_EQ(GetMenuItemID(vp, 0), static_cast<UINT>(ID_MENU_BANNER));
  EXPECT_GT(GetMenuItemCount(vp), 5);
}

TEST(Accelerators, MainTableHasTheStatedKeys) {
  HACCEL acc = LoadAcceleratorsW(Self(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(acc, nullptr);
  int n = CopyAcceleratorTableW(acc, nullptr, 0);
  std::vector<ACCEL> table(n);
  CopyAcceleratorTableW(acc, table.data(), n);
  auto has = [&](BYTE flags, WORD key, WORD cmd) {
    for (const auto& a : table)
      if ((a.fVirt & ~FNOINVERT) == flags && a.key == key && a.cmd == cmd) return true;
    return false;
  };
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'W', ID_EDIT_PASTEASNEWIMAGE));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE));
  EXPECT_TRUE(has(FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE));
  DestroyAcceleratorTable(acc);
}

TEST(Strings, MessagesHaveTheirExactTexts) {
  EXPECT_EQ(LoadText(AFX_IDS_APP_TITLE), L"Lumatre");
  EXPECT_EQ(LoadText(IDR_MAINFRAME), L"Lumatre");
  EXPECT_EQ(LoadText(IDS_NO_ACTIVE_WINDOW),
            L"Lumatre could not find active window. It is recommended that using hotkey <%1> "
            L"capture it when window activing!");
  EXPECT_EQ(LoadText(IDS_MENU_CAPTURE_HOWTO),
            L"To use menu capture mode:\n\t a) pull down the desired menu;\n\t b) use the menu "
            L"capture hotey <%1>.");
  EXPECT_EQ(LoadText(IDS_PROMPT_SAVE_COUNT),
            L"There are %1 images that haven't been saved or have changed since they are saved. "
            L"Would you like to be prompted  to save each image?");
  EXPECT_EQ(LoadText(IDS_AUTOSAVE_FILE_EXISTS),
            L"File %1 has always existed. Would you like replace it?");
  EXPECT_EQ(LoadText(IDS_HOTKEY_DUPLICATE), L"You cannot assign two operations to the same hotkey");
  EXPECT_EQ(LoadText(IDS_CONVERT_TO_24BIT),
            L"This is not a 24 bit per-pixel image, %1 operation must use 24 bit per-pixel "
            L"image,do you convert it to 24 bit per-pixel image?");
  EXPECT_EQ(LoadText(IDS_COLOR_BITS), L"Color bits : %1");
  EXPECT_EQ(LoadText(IDS_IMAGE_SIZE), L"Image size : %1");
  EXPECT_EQ(LoadText(IDS_CHOOSE_DIRECTORY), L"Choose directory:");
  EXPECT_EQ(LoadText(ID_INDICATOR_POSITION), L"  Mouse Position:");
  EXPECT_EQ(LoadText(ID_INDICATOR_COLOR), L"  Color:");
  EXPECT_EQ(LoadText(ID_INDICATOR_IMAGESIZE), L"  Image Size:");
  EXPECT_EQ(LoadText(IDS_WINDOWS_ITEM), L"&Windows...");
  // Framework strings come along from its own script.
  EXPECT_EQ(LoadText(AFX_IDS_IDLEMESSAGE), L"Ready");
}

TEST(Strings, WorkspaceCommandTipsAndPrompts) {
  struct Tip {
    UINT id;
    const wchar_t* tip;
  } tips[] = {{32771, L"Open File Tabs"}, {32772, L"Toggle Full Screen Mode"},
              {32773, L"Next Window"},    {32774, L"Previous Window"},
              {32775, L"Close All"},      {32776, L"Save All"},
              {32777, L"Windows &Manage..."}};
  for (const auto& t : tips) {
    std::wstring s = LoadText(t.id);
    size_t nl = s.find(L'\n');
    ASSERT_NE(nl, std::wstring::npos) << t.id;
    EXPECT_EQ(s.substr(nl + 1), t.tip) << t.id;
  }
  auto prompt = [](UINT id) {
    std::wstring s = LoadText(id);
    return s.substr(0, s.find(L'\n'));
  };
  EXPECT_EQ(prompt(32807), L"Adjust the image intensity");
  EXPECT_EQ(prompt(32839), L"Zoom the image with expand");
  EXPECT_EQ(prompt(32840), L"Zoom the image shrinkly");
  // Every toolbar button has a prompt and a tool tip.
  for (UINT tb : {IDR_TOOLBAR_MAIN, IDR_TOOLBAR_MENUIMAGES}) {
    for (auto b : ToolbarButtons(tb)) {
      if (b) {
        EXPECT_NE(LoadText(b).find(L'\n'), std::wstring::npos) << b;
      }
    }
  }
}

TEST(Version, ProductNameAndManifestForCommonControls6) {
  auto ver = RawResource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  ASSERT_FALSE(ver.empty());
  std::vector<uint8_t> copy(ver);
  wchar_t* value = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\040904b0\\ProductName",
                             reinterpret_cast<void**>(&value), &len));
  EXPECT_EQ(std::wstring(value), L"Lumatre");
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);

  auto manifest = RawResource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  // Aware of the system's DPI, so that captures on a scaled display keep the physical pixels
  // (Wine treats every process as aware: only the declaration can be checked here).
  EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
            std::string::npos);
  // The manifest is in force: the version 6 common controls were loaded for this process.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&icc));
  HMODULE cc = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(cc, nullptr);
  // The side-by-side copy of version 6 (Windows and Wine both keep it in a folder named after
  // the assembly, e.g. ...\winsxs\x86_microsoft.windows.common-controls_..._6.0.2600...).
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(cc, path, MAX_PATH);
  std::wstring lower(path);
  for (auto& ch : lower) ch = static_cast<wchar_t>(towlower(ch));
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"_6.0."), std::wstring::npos) << lower;
}
