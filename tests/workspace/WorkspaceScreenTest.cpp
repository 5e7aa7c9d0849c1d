// The workspace windows of the real program on the desktop: image windows opening maximised as
// the last one closed (also after a restart), the tabs bar with one tab per window, clicks on a
// tab, the newest tabs kept after a close, a Save As renaming its tab, the red text of a modified
// image, the right-click menus, full-screen mode left with Escape, the background picture
// stretched and tiled, odd "Settings" values and what is written back at exit, and the window
// list with its buttons and its closing that stops at a cancelled question.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "CaptureSession.h"
#include "E2EDriver.h"

namespace {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;
using capture_e2e::kCmdPasteAsNewImage;

constexpr DWORD kDefaultOptions = 0x00681669;  // the constructed "OptionsA": the window shows
constexpr UINT kCmdFullScreen = 32772;
constexpr UINT kCmdWindowManage = 32777;
constexpr UINT kTabsBarId = 32771;
const std::string kSettings = "Software\\Lumatre\\Lumatre\\Settings";
constexpr char kImageFrameClass[] = "LumatreImageFrameClass";

HWND Child(HWND parent, const char* className) { return FindWindowExA(parent, nullptr, className, nullptr); }

// The image windows, topmost first. EnumChildWindows takes its list at once, so windows that
// change places while it runs are neither missed nor counted twice.
struct FoundImages {
  HWND client;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectImageWindow(HWND w, LPARAM p) {
  auto* f = reinterpret_cast<FoundImages*>(p);
  if (GetParent(w) == f->client && e2e::WindowClassName(w) == kImageFrameClass) f->windows.push_back(w);
  return TRUE;
}

std::vector<HWND> ImageWindows(HWND frame) {
  FoundImages found{Child(frame, "MDICLIENT"), {}};
  if (!found.client) return {};
  EnumChildWindows(found.client, CollectImageWindow, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

// Control bars are children of the frame while docked, of a small tool window while floating.
struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<IdSearch*>(p);
  if (GetDlgCtrlID(w) != s->id) return TRUE;
  s->found = w;
  return FALSE;
}

HWND FindById(HWND parent, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A BMP of four coloured quadrants.
COLORREF QuadrantPixel(int x, int y, int w, int h) {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (!right && !bottom) return RGB(255, 0, 0);
  if (right && !bottom) return RGB(0, 160, 0);
  if (!right) return RGB(0, 0, 255);
  return RGB(255, 255, 0);
}

bool WriteQuadrantBmp(const std::string& path, int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * h;
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::vector<uint8_t> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = QuadrantPixel(x, y, w, h);
      uint8_t* p = bytes.data() + file.bfOffBits + (h - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  return e2e::WriteFileBytes(path, bytes.data(), bytes.size());
}

int CountColour(const e2e::Image& image, uint32_t rgb, int tolerance) {
  int n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.Rgb(x, y);
      bool close = true;
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > tolerance)
          close = false;
      if (close) ++n;
    }
  return n;
}

class Workspace : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    SetOptions(kDefaultOptions);
  }
  // Starts the program and puts its window at a known place, clear of the taskbar.
  HWND StartPlaced() {
    if (!Start()) return nullptr;
    e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000);
    SetWindowPos(Frame(), nullptr, 10, 10, 800, 600, SWP_NOZORDER);
    e2e::ForceForeground(Frame());
    e2e::PumpFor(300);
    return Frame();
  }
  HWND Client() { return Child(Frame(), "MDICLIENT"); }
  HWND TabsBar() { return FindById(Frame(), kTabsBarId); }
  HWND TabCtrl() {
    HWND bar = TabsBar();
    return bar ? Child(bar, WC_TABCONTROLA) : nullptr;
  }
  int TabCount() {
    HWND tabs = TabCtrl();
    return tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : -1;
  }
  HWND ActiveImage() { return reinterpret_cast<HWND>(SendMessageA(Client(), WM_MDIGETACTIVE, 0, 0)); }
  bool OpenPicture(int w, int h) {
    const size_t before = ImageWindows(Frame()).size();
    e2e::Image image(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.At(x, y) = 0xFF000000u | e2e::PatternPixel(1, x, y);
    // The clipboard of this desktop now and then loses a picture on its way: put it there again.
    for (int attempt = 0; attempt < 4; ++attempt) {
      if (!e2e::WriteClipboardDib(image)) {
        e2e::PumpFor(200);
        continue;
      }
      Command(kCmdPasteAsNewImage);
      if (e2e::WaitUntil([&] { return ImageWindows(Frame()).size() >= before + 1; }, 5000))
        return ImageWindows(Frame()).size() == before + 1;
    }
    return false;
  }
  // A visible dialog box of the program other than `except`.
  HWND FindDialog(HWND except = nullptr) {
    for (HWND hwnd : Program().TopLevelWindows("#32770"))
      if (hwnd != except && IsWindowVisible(hwnd)) return hwnd;
    return nullptr;
  }
  HWND WaitForDialog(HWND except = nullptr, DWORD ms = 10000) {
    HWND box = nullptr;
    e2e::WaitUntil([&] { return (box = FindDialog(except)) != nullptr; }, ms);
    return box;
  }
  // Closes an image window, answering its save question with key.
  void CloseImage(HWND image, WORD key) {
    PostMessageA(image, WM_CLOSE, 0, 0);
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    e2e::ForceForeground(box);
    e2e::KeyPress(key);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(image) || FindDialog() == nullptr; }, 10000));
  }
  std::optional<DWORD> StoredChildState() {
    return e2e::ReadDword(HKEY_CURRENT_USER, kSettings, "TVChildWinState");
  }
};

TEST_F(Workspace, ImageWindowsOpenAsTheLastOneClosedAlsoAfterARestart) {
  ASSERT_TRUE(StartPlaced());
  ASSERT_TRUE(OpenPicture(40, 30));
  HWND first = ImageWindows(Frame()).front();
  // "TVChildWinState" is 1 at first: maximised.
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsZoomed(first) != FALSE; }, 5000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return TabsBar() && IsWindowVisible(TabsBar()); }, 5000));
  EXPECT_EQ(TabCount(), 1);

  // Closed restored: written at once, and the next one opens restored.
  SendMessageA(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(first), 0);
  ASSERT_FALSE(IsZoomed(first));
  CloseImage(first, 'N');
  ASSERT_TRUE(e2e::WaitUntil([&] { return ImageWindows(Frame()).empty(); }, 10000));
  EXPECT_EQ(StoredChildState(), std::optional<DWORD>(0));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(TabsBar()); }, 5000));  // message 1228
  ASSERT_TRUE(OpenPicture(40, 30));
  HWND second = ImageWindows(Frame()).front();
  e2e::PumpFor(300);
  EXPECT_FALSE(IsZoomed(second));

  // Closed maximised: the next one, in a new run of the program, opens maximised.
  SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(second), 0);
  CloseImage(second, 'N');
  ASSERT_TRUE(e2e::WaitUntil([&] { return ImageWindows(Frame()).empty(); }, 10000));
  EXPECT_EQ(StoredChildState(), std::optional<DWORD>(1));
  Program().Terminate();
  ASSERT_TRUE(StartPlaced());
  ASSERT_TRUE(OpenPicture(40, 30));
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsZoomed(ImageWindows(Frame()).front()) != FALSE; }, 5000));
}

TEST_F(Workspace, TabsFollowTheWindowsAClickActivatesOneAndModifiedTextIsRed) {
  ASSERT_TRUE(StartPlaced());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(OpenPicture(30 + i, 20));
  ASSERT_TRUE(e2e::WaitUntil([&] { return TabCount() == 3; }, 5000));
  HWND tabs = TabCtrl();
  // The newest window is active and its tab selected.
  const std::vector<HWND> windows = ImageWindows(Frame());
  HWND newest = ActiveImage();
  EXPECT_TRUE(e2e::WaitUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 2; }, 5000));

  // A click on the first tab activates the first window.
  const RECT r = e2e::ClientOnScreen(tabs);
  e2e::MouseClick(r.left + 60, r.top + 10);
  ASSERT_TRUE(e2e::WaitUntil([&] { return ActiveImage() != newest; }, 5000));
  HWND activated = ActiveImage();
  EXPECT_TRUE(e2e::WaitUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 0; }, 5000));
  // It is the one opened first (the last in the client's Z-order before the click).
  EXPECT_EQ(activated, windows.back());

  // Next and Previous Window walk the windows; Open File Tabs hides and shows the bar.
  PostMessageA(Frame(), WM_COMMAND, 32773, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ActiveImage() != activated; }, 5000));
  PostMessageA(Frame(), WM_COMMAND, 32774, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ActiveImage() == activated; }, 5000));
  PostMessageA(Frame(), WM_COMMAND, kTabsBarId, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(TabsBar()); }, 5000));
  PostMessageA(Frame(), WM_COMMAND, kTabsBarId, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(TabsBar()) != FALSE; }, 5000));

  // New images are modified: every tab's text is drawn in red.
  e2e::PumpFor(500);
  const e2e::Image shot = e2e::CaptureWindow(tabs, true);
  ASSERT_FALSE(shot.Empty());
  EXPECT_GT(CountColour(shot, e2e::Rgb(255, 0, 0), 40), 30);
  EXPECT_EQ(CountColour(shot, e2e::Rgb(0, 0, 255), 40), 0);
}

TEST_F(Workspace, EscapeLeavesFullScreenModeAndRestoresEverything) {
  ASSERT_TRUE(StartPlaced());
  ASSERT_TRUE(OpenPicture(40, 30));
  HWND toolbar = Child(Frame(), TOOLBARCLASSNAMEA);
  HWND status = Child(Frame(), STATUSCLASSNAMEA);
  HWND bar = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (bar = TabsBar()) && IsWindowVisible(bar); }, 5000));
  RECT frameBefore, barBefore;
  GetWindowRect(Frame(), &frameBefore);
  GetWindowRect(bar, &barBefore);
  const LONG styleBefore = GetWindowLongA(Frame(), GWL_STYLE);
  ASSERT_TRUE(styleBefore & WS_CAPTION);

  Command(kCmdFullScreen);
  ASSERT_TRUE(e2e::WaitUntil([&] { return (GetWindowLongA(Frame(), GWL_STYLE) & WS_CAPTION) == 0; }, 5000));
  e2e::PumpFor(300);
  RECT full;
  GetWindowRect(Frame(), &full);
  const int bx = GetSystemMetrics(SM_CXFRAME), by = GetSystemMetrics(SM_CYFRAME);
  EXPECT_EQ(full.left, -bx);
  EXPECT_EQ(full.top, -by);
  EXPECT_EQ(full.right, GetSystemMetrics(SM_CXSCREEN) + bx);
  EXPECT_EQ(full.bottom, GetSystemMetrics(SM_CYSCREEN) + by);
  EXPECT_FALSE(IsWindowVisible(toolbar));
  EXPECT_FALSE(IsWindowVisible(status));
  EXPECT_NE(GetParent(bar), Frame());  // the tabs bar floats
  EXPECT_TRUE(IsWindowVisible(bar));
  HWND fullScreenBar = nullptr;
  for (HWND w : Program().TopLevelWindows())
    if (IsWindowVisible(w) && e2e::WindowText(w) == "Full Screen") fullScreenBar = w;
  EXPECT_NE(fullScreenBar, nullptr);
  EXPECT_TRUE(IsZoomed(ImageWindows(Frame()).front()));

  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  e2e::KeyPress(VK_ESCAPE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return (GetWindowLongA(Frame(), GWL_STYLE) & WS_CAPTION) != 0; }, 5000));
  e2e::PumpFor(300);
  RECT frameAfter, barAfter;
  GetWindowRect(Frame(), &frameAfter);
  EXPECT_TRUE(EqualRect(&frameBefore, &frameAfter));
  EXPECT_EQ(GetWindowLongA(Frame(), GWL_STYLE), styleBefore);
  EXPECT_TRUE(IsWindowVisible(toolbar));
  EXPECT_TRUE(IsWindowVisible(status));
  EXPECT_EQ(GetParent(bar), Frame());
  // The bars are laid out again once the frame has its caption back; on a busy desktop that
  // can come a moment later.
  e2e::WaitUntil([&] { return GetWindowRect(bar, &barAfter) && EqualRect(&barBefore, &barAfter); }, 3000);
  EXPECT_TRUE(EqualRect(&barBefore, &barAfter));
  EXPECT_TRUE(!IsWindow(fullScreenBar) || !IsWindowVisible(fullScreenBar));
  EXPECT_TRUE(IsZoomed(ImageWindows(Frame()).front()));
}

class WorkspacePicture : public Workspace {
 protected:
  // The workspace's client area with the picture of this display type.
  e2e::Image PaintedWorkspace(int dispType, const std::string& bmp) {
    e2e::WriteString(HKEY_CURRENT_USER, kSettings, "TVFileName", bmp);
    e2e::WriteDword(HKEY_CURRENT_USER, kSettings, "TVDispType", static_cast<DWORD>(dispType));
    if (!StartPlaced()) return {};
    e2e::PumpFor(800);
    return e2e::CaptureWindow(Client(), true);
  }
};

TEST_F(WorkspacePicture, StretchedOverTheWorkspaceThenTiledFromTheCorner) {
  const std::string bmp = e2e::JoinPath(m_copy.Folder(), "back.bmp");
  ASSERT_TRUE(WriteQuadrantBmp(bmp, 40, 30));
  const e2e::Image stretched = PaintedWorkspace(2, bmp);
  ASSERT_FALSE(stretched.Empty());
  const int w = stretched.width, h = stretched.height;
  // The same picture stretched over the area; the seams (one pixel either way) and the logo's
  // corner are left out.
  auto away = [&](int x, int y, int sw, int sh) {
    return std::abs(x - sw / 2) > 2 && std::abs(y - sh / 2) > 2 && y < sh * 3 / 4;
  };
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (away(x, y, w, h) && stretched.Rgb(x, y) != e2e::FromColorref(QuadrantPixel(x, y, w, h))) ++bad;
  EXPECT_EQ(bad, 0);
  Program().Terminate();

  const e2e::Image tiled = PaintedWorkspace(0, bmp);
  ASSERT_FALSE(tiled.Empty());
  bad = 0;
  for (int y = 0; y < tiled.height * 3 / 4; ++y)
    for (int x = 0; x < tiled.width; ++x)
      if (tiled.Rgb(x, y) != e2e::FromColorref(QuadrantPixel(x % 40, y % 30, 40, 30))) ++bad;
  EXPECT_EQ(bad, 0);
}

TEST_F(WorkspacePicture, OddSettingsStillPaintTheWorkspace) {
  const std::string text = e2e::JoinPath(m_copy.Folder(), "notes.bmp");
  const std::string empty = e2e::JoinPath(m_copy.Folder(), "empty.bmp");
  ASSERT_TRUE(e2e::WriteFileBytes(text, "not a picture\r\n", 15));
  ASSERT_TRUE(e2e::WriteFileBytes(empty, "", 0));
  struct Case {
    const char* what;
    std::string file;
  } cases[] = {{"missing file", e2e::JoinPath(m_copy.Folder(), "missing.bmp")}, {"text file", text}, {"0-byte BMP", empty}};
  const uint8_t shortFont[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, kSettings);
    e2e::WriteString(HKEY_CURRENT_USER, kSettings, "TVFileName", c.file);
    e2e::WriteDword(HKEY_CURRENT_USER, kSettings, "TVDispType", 7);
    e2e::WriteString(HKEY_CURRENT_USER, kSettings, "TVBackColor", "255");
    if (c.file == text)
      e2e::WriteString(HKEY_CURRENT_USER, kSettings, "TVLogoFont", "Arial");
    else
      e2e::WriteBinary(HKEY_CURRENT_USER, kSettings, "TVLogoFont", shortFont, sizeof shortFont);
    ASSERT_TRUE(StartPlaced());
    e2e::PumpFor(800);
    const e2e::Image shot = e2e::CaptureWindow(Client(), true);
    ASSERT_FALSE(shot.Empty());
    // The default background, and the logo at the bottom-right corner.
    const uint32_t back = e2e::FromColorref(GetSysColor(COLOR_APPWORKSPACE));
    EXPECT_EQ(shot.Rgb(5, 5), back);
    EXPECT_EQ(shot.Rgb(shot.width / 2, shot.height / 3), back);
    const e2e::Image corner = shot.Crop(RECT{shot.width / 2, shot.height * 3 / 4, shot.width, shot.height});
    EXPECT_GT(CountColour(corner, 0x000000, 0), 20);
    EXPECT_GT(CountColour(corner, 0xFFFFFF, 0), 20);
    EXPECT_TRUE(Program().IsRunning());
    if (c.file != text) {
      Program().Terminate();
      continue;
    }
    // At exit every value is written back, the odd ones as the defaults they gave.
    Command(0xE141);  // Exit
    ASSERT_TRUE(Program().WaitForExit(20000).has_value());
    EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kSettings, "TVDispType"), std::optional<DWORD>(1));
    EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kSettings, "TVBackColor"),
              std::optional<DWORD>(GetSysColor(COLOR_APPWORKSPACE)));
    EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kSettings, "TVChildWinState"), std::optional<DWORD>(1));
    EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kSettings, "TVBkBitmap"), std::optional<DWORD>(1));
    const auto font = e2e::ReadBinary(HKEY_CURRENT_USER, kSettings, "TVLogoFont");
    ASSERT_TRUE(font.has_value());
    ASSERT_EQ(font->size(), 60u);
    EXPECT_STREQ(reinterpret_cast<const LOGFONTA*>(font->data())->lfFaceName, "Times New Roman");
    EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kSettings, "TVFileName"), std::optional<std::string>(text));
  }
}

TEST_F(Workspace, WithMoreWindowsThanFitTheNewestKeepTheirTabsAfterAClose) {
  ASSERT_TRUE(StartPlaced());
  std::vector<HWND> opened;  // in opening order
  for (int i = 0; i < 8; ++i) {
    const std::vector<HWND> before = ImageWindows(Frame());
    ASSERT_TRUE(OpenPicture(20 + i, 20)) << "picture " << i << ", windows " << ImageWindows(Frame()).size();
    for (HWND w : ImageWindows(Frame()))
      if (std::find(before.begin(), before.end(), w) == before.end()) opened.push_back(w);
  }
  ASSERT_EQ(opened.size(), 8u);
  ASSERT_TRUE(e2e::WaitUntil([&] { return TabCount() == 8; }, 5000));
  HWND tabs = TabCtrl();
  const int fit = e2e::ClientOnScreen(tabs).right - e2e::ClientOnScreen(tabs).left;
  // The oldest window closes (its question answered No).
  CloseImage(opened.front(), 'N');
  ASSERT_TRUE(e2e::WaitUntil([&] { return ImageWindows(Frame()).size() == 7; }, 10000));
  // Tabs are 150 pixels wide: as many as fit stay, the newest ones.
  const int expected = std::min(7, std::max(1, fit / 150));
  EXPECT_TRUE(e2e::WaitUntil([&] { return TabCount() == expected; }, 5000)) << TabCount() << " of " << expected;
  // The first tab now shows the oldest window that kept one: clicking it activates that window.
  HWND oldestKept = opened[static_cast<size_t>(8 - expected)];
  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  e2e::PumpFor(300);
  const RECT r = e2e::ClientOnScreen(tabs);
  e2e::MouseClick(r.left + 60, r.top + 10);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ActiveImage() == oldestKept; }, 5000))
      << "active: opened[" << (std::find(opened.begin(), opened.end(), ActiveImage()) - opened.begin())
      << "], selected tab " << SendMessageA(tabs, TCM_GETCURSEL, 0, 0) << ", tabs " << TabCount();
}

TEST_F(Workspace, SaveAsRenamesTheTabAtTheNextIdleUpdate) {
  ASSERT_TRUE(StartPlaced());
  ASSERT_TRUE(OpenPicture(40, 30));
  HWND image = ImageWindows(Frame()).front();
  HWND tabs = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (tabs = TabCtrl()) && IsWindowVisible(tabs); }, 5000));
  e2e::PumpFor(500);
  const e2e::Image before = e2e::CaptureWindow(tabs, true);
  EXPECT_GT(CountColour(before, e2e::Rgb(255, 0, 0), 40), 30);  // modified: red

  Command(0xE104);  // Save As
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  const std::string path = e2e::JoinPath(m_copy.Folder(), "renamed.bmp");
  HWND name = GetDlgItem(dialog, 1152);     // the file name edit
  if (!name) name = GetDlgItem(dialog, 1148);  // ... or its combo box
  ASSERT_NE(name, nullptr) << e2e::WindowText(dialog);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  // Further questions of the save (options of the format) are accepted as they are.
  e2e::WaitUntil([&] {
    HWND more = FindDialog();
    if (more && more != dialog && IsWindow(more)) {
      PostMessageA(more, WM_COMMAND, IDYES, 0);
      PostMessageA(more, WM_COMMAND, IDOK, 0);
    }
    return e2e::WindowText(image).find("renamed") != std::string::npos;
  }, 15000);
  ASSERT_NE(e2e::WindowText(image).find("renamed"), std::string::npos) << e2e::WindowText(image);
  // Saved: no longer red; the selected tab is blue (the bar may be caught between the two).
  e2e::Image after = e2e::CaptureWindow(tabs, true);
  e2e::WaitUntil([&] {
    after = e2e::CaptureWindow(tabs, true);
    return CountColour(after, e2e::Rgb(255, 0, 0), 40) == 0 && CountColour(after, e2e::Rgb(0, 0, 255), 40) > 30;
  }, 5000);
  EXPECT_EQ(CountColour(after, e2e::Rgb(255, 0, 0), 40), 0);
  EXPECT_GT(CountColour(after, e2e::Rgb(0, 0, 255), 40), 30);
  EXPECT_GT(e2e::CountDifferentPixels(before, after, RECT{0, 0, after.width, after.height}), 0);
}

TEST_F(Workspace, RightClicksOpenTheTrayMenuOnTheWorkspaceAndTheTabMenuOnATab) {
  ASSERT_TRUE(StartPlaced());
  const RECT r = e2e::ClientOnScreen(Client());
  e2e::MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2, e2e::MouseButton::Right);
  HWND menu = nullptr;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }, 5000));
  e2e::KeyPress(VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));

  // A right click on a tab activates its window and opens the tab menu.
  ASSERT_TRUE(OpenPicture(30, 20));
  ASSERT_TRUE(OpenPicture(31, 20));
  HWND tabs = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (tabs = TabCtrl()) && IsWindowVisible(tabs) && TabCount() == 2; }, 5000));
  HWND newest = ActiveImage();
  ASSERT_TRUE(e2e::ForceForeground(Frame()));
  const RECT t = e2e::ClientOnScreen(tabs);
  e2e::MouseClick(t.left + 60, t.top + 10, e2e::MouseButton::Right);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }, 5000));
  EXPECT_NE(ActiveImage(), newest);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  e2e::KeyPress(VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
}

TEST_F(Workspace, WindowListArrangesSeveralAndClosingStopsAtACancelledQuestion) {
  ASSERT_TRUE(StartPlaced());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(OpenPicture(30 + i, 20));
  Command(kCmdWindowManage);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(e2e::WindowText(dialog), "Windows");
  const struct {
    int id;
    const char* text;
  } controls[] = {{1000, "&Actvate"},         {1, "&OK"},
                  {1002, "&Save"},            {1001, "&Close Window(s)"},
                  {1005, "Cascade"},          {1003, "Tile &Horizontaly"},
                  {1006, "Tile &Verticaly"},  {1004, "Minimize"}};
  for (const auto& c : controls) EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, c.id)), c.text) << c.id;
  HWND list = GetDlgItem(dialog, 1007);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  // One window selected (the active one): no arrangement, but Activate.
  ASSERT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 1);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1005)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1003)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1006)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1000)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1001)));

  // The other two selected as well (each change notified as the list does).
  for (int i = 0; i < 3; ++i) {
    if (SendMessageA(list, LB_GETSEL, i, 0) > 0) continue;
    SendMessageA(list, LB_SETSEL, TRUE, i);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1007, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageA(list, LB_GETSELCOUNT, 0, 0) == 3; }, 5000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, 1005)) != FALSE; }, 5000));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1003)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1006)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1000)));

  // Close Window(s): the last one's question answered No (it closes), the next one's
  // cancelled: it stays, and the first is never asked.
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1001)));
  HWND box = WaitForDialog(dialog);
  ASSERT_NE(box, nullptr);
  e2e::ForceForeground(box);
  e2e::KeyPress('N');
  ASSERT_TRUE(e2e::WaitUntil([&] { return ImageWindows(Frame()).size() == 2; }, 10000));
  HWND second = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (second = FindDialog(dialog)) != nullptr && second != box; }, 10000));
  e2e::ForceForeground(second);
  e2e::KeyPress(VK_ESCAPE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return FindDialog(dialog) == nullptr; }, 10000));
  e2e::PumpFor(1000);
  EXPECT_EQ(FindDialog(dialog), nullptr);  // no third question
  EXPECT_EQ(ImageWindows(Frame()).size(), 2u);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);  // the list was filled again
}

}  // namespace
