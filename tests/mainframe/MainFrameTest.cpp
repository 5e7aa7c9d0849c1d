// The main frame of the real program on the desktop: the toolbar and its updates, closing and
// minimising to the tray, the tray icon and its menu (with the banner and command images on the
// screen), new images from the clipboard and from the Create New Image dialog, the progress bar
// of a long operation, and the start-up that fails without a tray.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "CaptureSession.h"
#include "E2EDriver.h"

namespace {

namespace e2e = lumatre::e2e;
using capture_e2e::CaptureSession;
using capture_e2e::kCmdPasteAsNewImage;

constexpr DWORD kDefaultOptions = 0x00681669;  // the constructed "OptionsA"
constexpr DWORD kHideOnMinimize = 0x80000;
constexpr UINT kCmdSave = 0xE103;
constexpr UINT kCmdNew = 0xE100;
constexpr UINT kCmdRotateClockwise = 32796;

const UINT kToolbar[36] = {57601, 57603, 57607, 32857, 0,     57635, 57634, 57637, 57643, 57644, 32808, 0,
                           32822, 32824, 1232,  32859, 0,     32792, 1101,  1100,  32788, 1168,  32791, 32790,
                           1104,  1152,  0,     32839, 32840, 0,     32803, 32804, 32800, 32794, 32796, 32797};

HWND Child(HWND parent, const char* className) { return FindWindowExA(parent, nullptr, className, nullptr); }

// The text of another program's control (WM_GETTEXT, which crosses processes).
std::string ControlText(HWND control) {
  char text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
  return std::string(text);
}

// The popup menu window showing now, or null.
HWND ShownPopupMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A 24-bit picture on the clipboard, as a paint program would put it.
bool PutPicture(int w, int h) {
  e2e::Image image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.At(x, y) = 0xFF000000u | e2e::PatternPixel(1, x, y);
  return e2e::WriteClipboardDib(image);
}

// The bits per pixel of the CF_DIB on the clipboard, or 0.
int ClipboardDibBitCount() {
  for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  int bits = 0;
  if (HANDLE block = GetClipboardData(CF_DIB)) {
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(block))) {
      bits = header->biBitCount;
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return bits;
}

// A CF_DIB block that claims a picture far larger than its bits.
bool PutBrokenPicture() {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 16);
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  *header = BITMAPINFOHEADER{};
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = 60000;
  header->biHeight = 60000;
  header->biPlanes = 1;
  header->biBitCount = 24;
  GlobalUnlock(block);
  const bool put = SetClipboardData(CF_DIB, block) != nullptr;
  CloseClipboard();
  return put;
}

class MainFrame : public CaptureSession {
 protected:
  void SetUp() override {
    CaptureSession::SetUp();
    SetOptions(kDefaultOptions);
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Frame(), message, w, l, SMTO_NORMAL, 20000, &result);
    return static_cast<LRESULT>(result);
  }
  HWND ToolBar() { return Child(Frame(), TOOLBARCLASSNAME); }
  bool ButtonEnabled(UINT id) { return SendMessageA(ToolBar(), TB_ISBUTTONENABLED, id, 0) != 0; }
  // A new image window from a picture on the clipboard.
  bool OpenPictureFromClipboard(int w, int h) {
    const int before = ImageWindowCount();
    if (!PutPicture(w, h)) return false;
    Command(kCmdPasteAsNewImage);
    return e2e::WaitUntil([&] { return ImageWindowCount() == before + 1; }, 20000);
  }
  // Opens the tray menu with the right button on our icon (the only one on this desktop).
  HWND OpenTrayMenu() {
    std::vector<RECT> icons;
    if (!e2e::WaitUntil([&] { return !(icons = e2e::TrayIconRects()).empty(); }, 10000)) return nullptr;
    const RECT r = icons.back();
    e2e::MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2, e2e::MouseButton::Right);
    HWND menu = nullptr;
    e2e::WaitUntil([&] { return (menu = ShownPopupMenu()) != nullptr; }, 5000);
    return menu;
  }
};

TEST_F(MainFrame, ToolbarHoldsItsEntriesAndFollowsTheUpdateHandlers) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  HWND toolbar = ToolBar();
  ASSERT_NE(toolbar, nullptr);
  EXPECT_TRUE(IsWindowVisible(toolbar));
  ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 36);
  for (int k = 0; k < 36; ++k) {
    if (kToolbar[k]) {
      EXPECT_EQ(SendMessageA(toolbar, TB_COMMANDTOINDEX, kToolbar[k], 0), k) << kToolbar[k];
    }
  }
  // The status bar with its four panes sits below.
  HWND status = Child(Frame(), STATUSCLASSNAMEA);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(SendMessageA(status, SB_GETPARTS, 0, 0), 4);

  // No image window: Save has no handler and is disabled; with one it is enabled.
  EXPECT_TRUE(e2e::WaitUntil([&] { return !ButtonEnabled(kCmdSave); }, 5000));
  EXPECT_TRUE(ButtonEnabled(32792));  // a capture command: always there
  ASSERT_TRUE(OpenPictureFromClipboard(40, 30));
  EXPECT_TRUE(e2e::WaitUntil([&] { return ButtonEnabled(kCmdSave); }, 5000));
  EXPECT_TRUE(ButtonEnabled(kCmdRotateClockwise));
}

TEST_F(MainFrame, PasteAsNewImageTakesOnlyAReadablePicture) {
  ASSERT_TRUE(Start());
  // Nothing on the clipboard, then a block that claims 60000 x 60000 pixels: no window, no box.
  ASSERT_TRUE(e2e::ClearClipboard());
  Command(kCmdPasteAsNewImage);
  ASSERT_TRUE(PutBrokenPicture());
  Command(kCmdPasteAsNewImage);
  e2e::PumpFor(1500);
  Send(WM_NULL);
  EXPECT_EQ(ImageWindowCount(), 0);
  EXPECT_EQ(FindMessageBox(), nullptr);
  EXPECT_TRUE(Program().IsRunning());
  // A real picture opens, the same pixels.
  ASSERT_TRUE(OpenPictureFromClipboard(37, 21));
  std::optional<e2e::Image> picture = ActivePicture();
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, 37);
  ASSERT_EQ(picture->height, 21);
  EXPECT_EQ(e2e::CountPixelsNotMatching(*picture, RECT{0, 0, 37, 21},
                                        [](int x, int y) { return e2e::PatternPixel(1, x, y); }),
            0);
}

TEST_F(MainFrame, CloseHidesToTheTrayAndTheTrayMenuExitsAfterThePrompt) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  ASSERT_TRUE(OpenPictureFromClipboard(20, 20));  // a new image counts as modified
  PostMessageA(Frame(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(Frame()); }, 10000));
  e2e::PumpFor(500);
  EXPECT_TRUE(Program().IsRunning());
  EXPECT_EQ(ImageWindowCount(), 1);

  // The double click on the icon brings it back ...
  std::vector<RECT> icons;
  ASSERT_TRUE(e2e::WaitUntil([&] { return !(icons = e2e::TrayIconRects()).empty(); }, 10000));
  const RECT icon = icons.back();
  e2e::MouseDoubleClick((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) && !IsIconic(Frame()); }, 10000));

  // ... and "E&xit Lumatre" ends the program, after the question about the modified image.
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr);
  e2e::KeyPress('X');
  HWND box = WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("?"), std::string::npos) << MessageBoxText(box);
  e2e::KeyPress('N');  // do not save
  EXPECT_TRUE(Program().WaitForExit(20000).has_value());
}

TEST_F(MainFrame, TrayMenuShowsTheBannerAndCommandImages) {
  ASSERT_TRUE(Start());
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr);
  e2e::PumpFor(500);
  RECT r;
  ASSERT_TRUE(GetWindowRect(menu, &r));
  const e2e::Image shot = e2e::CaptureScreenRect(r);
  ASSERT_FALSE(shot.Empty());
  // The banner: a column at the left edge running from one caption colour to the other.
  const uint32_t top = e2e::FromColorref(GetSysColor(COLOR_GRADIENTACTIVECAPTION));
  const uint32_t bottom = e2e::FromColorref(GetSysColor(COLOR_ACTIVECAPTION));
  auto closeTo = [](uint32_t a, uint32_t b, int t) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > t) return false;
    return true;
  };
  const int edge = 4;  // inside the menu's border
  EXPECT_TRUE(closeTo(shot.Rgb(edge, edge), top, 24)) << std::hex << shot.Rgb(edge, edge);
  EXPECT_TRUE(closeTo(shot.Rgb(edge, shot.height - edge - 1), bottom, 24)) << std::hex << shot.Rgb(edge, shot.height - edge - 1);
  // Command images: beside the banner, rows with colours that are neither menu nor text.
  const uint32_t menuColor = e2e::FromColorref(GetSysColor(COLOR_MENU));
  int coloured = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 24; x < std::min(shot.width, 60); ++x) {
      const uint32_t p = shot.Rgb(x, y);
      if (p != menuColor && p != 0 && !closeTo(p, top, 24) && !closeTo(p, bottom, 24)) ++coloured;
    }
  EXPECT_GT(coloured, 300);
  if (HasFailure()) capture_e2e::SaveForFailure(shot, "tray-menu");
  e2e::KeyPress(VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([] { return ShownPopupMenu() == nullptr; }, 5000));
}

// While the About box runs its modal loop the tray menu stays shut (its Exit would end the
// frame under the dialog): a click on the icon brings the box to the front instead.
TEST_F(MainFrame, TrayClicksDuringAModalDialogBringTheDialogForward) {
  constexpr UINT kCmdAbout = 0xE140;
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  Command(kCmdAbout);
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    for (HWND w : Program().TopLevelWindows("#32770"))
      if (IsWindowVisible(w)) about = w;
    return about != nullptr && !IsWindowEnabled(Frame());
  }, 10000));
  // Another window in front of the box, as when the user has gone elsewhere.
  HWND other = StartPattern(100, 100, 300, 200);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() != about; }, 5000));

  std::vector<RECT> icons;
  ASSERT_TRUE(e2e::WaitUntil([&] { return !(icons = e2e::TrayIconRects()).empty(); }, 10000));
  const RECT icon = icons.back();
  e2e::MouseClick((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2, e2e::MouseButton::Right);
  EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == about; }, 5000));
  e2e::PumpFor(500);
  EXPECT_EQ(ShownPopupMenu(), nullptr);
  EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about));

  // The double click does the same.
  ASSERT_TRUE(e2e::ForceForeground(other));
  e2e::MouseDoubleClick((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
  EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == about; }, 5000));
  EXPECT_EQ(ShownPopupMenu(), nullptr);

  // Escape closes the box; then the menu opens again.
  ASSERT_TRUE(e2e::ForceForeground(about));
  e2e::KeyPress(VK_ESCAPE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(Frame()); }, 5000));
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr);
  e2e::KeyPress(VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([] { return ShownPopupMenu() == nullptr; }, 5000));
  EXPECT_TRUE(Program().IsRunning());
}

TEST_F(MainFrame, MinimiseHidesTheWindowWithTheOption) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  PostMessageA(Frame(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(Frame()) && !IsWindowVisible(Frame()); }, 10000));
}

TEST_F(MainFrame, MinimiseKeepsTheWindowOnTheTaskbarWithoutTheOption) {
  SetOptions(kDefaultOptions & ~kHideOnMinimize);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  PostMessageA(Frame(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(Frame()) != FALSE; }, 10000));
  e2e::PumpFor(500);
  Send(WM_NULL);
  EXPECT_TRUE(IsWindowVisible(Frame()));
}

TEST_F(MainFrame, CreateNewImageConvertsUnitsAndOpensThePicture) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(Frame()) != FALSE; }, 10000));
  Command(kCmdNew);
  HWND dialog = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    for (HWND w : Program().TopLevelWindows("#32770"))
      if (IsWindowVisible(w) && e2e::WindowText(w) == "Create New Image") dialog = w;
    return dialog != nullptr;
  }, 10000));
  HWND width = GetDlgItem(dialog, 1115);
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(ControlText(width), "400");
  EXPECT_EQ(ControlText(GetDlgItem(dialog, 1117)), "300");
  // The width's unit list follows its edit in the tab order: Inches is its second entry.
  ASSERT_TRUE(e2e::ForceForeground(dialog));
  SetFocus(width);
  PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(width), TRUE);
  e2e::PumpFor(200);
  e2e::KeyPress(VK_TAB);
  e2e::KeyPress(VK_DOWN);
  ASSERT_TRUE(e2e::WaitUntil([&] { return ControlText(width).rfind("5.55", 0) == 0; }, 5000))
      << ControlText(width);
  // Back to pixels: 400 again (rounded up from 5.555556 x 72).
  e2e::KeyPress(VK_UP);
  ASSERT_TRUE(e2e::WaitUntil([&] { return ControlText(width) == "400"; }, 5000)) << ControlText(width);
  e2e::KeyPress(VK_RETURN);  // Create
  ASSERT_TRUE(e2e::WaitUntil([&] { return ImageWindowCount() == 1; }, 20000));
  std::optional<e2e::Image> picture = ActivePicture();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 400);
  EXPECT_EQ(picture->height, 300);
  // A 32-bit picture, white all over.
  EXPECT_EQ(ClipboardDibBitCount(), 32);
  EXPECT_EQ(e2e::CountPixelsNotMatching(*picture, RECT{0, 0, 400, 300}, [](int, int) { return 0xFFFFFFu; }), 0);
}

TEST_F(MainFrame, ProgressBarShowsWhileALongOperationRuns) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(OpenPictureFromClipboard(4000, 3000));
  HWND status = Child(Frame(), STATUSCLASSNAMEA);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(Child(status, PROGRESS_CLASSA), nullptr);
  Command(kCmdRotateClockwise);
  bool seen = false;
  const DWORD start = GetTickCount();
  while (!seen && GetTickCount() - start < 20000) seen = Child(status, PROGRESS_CLASSA) != nullptr;
  EXPECT_TRUE(seen);
  Send(WM_NULL);  // the operation has ended
  EXPECT_TRUE(e2e::WaitUntil([&] { return Child(status, PROGRESS_CLASSA) == nullptr; }, 10000));
}

// A system older than version 4 has no notification area: the frame cannot be made, and the
// start-up says why before the program ends.
TEST_F(MainFrame, WithoutATrayTheStartUpFailsAndSaysWhy) {
  const std::string appKey = "Software\\Wine\\AppDefaults\\Lumatre.exe";
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, appKey, "Version", "win31"));
  ASSERT_TRUE(Program().Start(m_copy.ExePath()));
  HWND box = WaitForMessageBox(20000);
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, appKey);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("tray icon"), std::string::npos) << MessageBoxText(box);
  EXPECT_TRUE(CloseWithEnter(box));
  EXPECT_TRUE(Program().WaitForExit(20000).has_value());
}

}  // namespace
