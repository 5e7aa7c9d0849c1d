// Makes the pictures of the help and the README from the real program: starts a fresh copy with
// known settings in the Wine desktop, opens windows, menus and dialogs as a user would, and
// saves what the screen shows as BMP files.
//
//   lumatre_screenshots.exe OUTPUT-FOLDER [NAME...]
//
// Without names it makes every picture it knows. Each picture lands as OUTPUT-FOLDER\NAME.bmp;
// a picture that cannot be made is reported and skipped. The exit code is the number of
// pictures that failed (0 when all were made).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "E2EDriver.h"
#include "Scene.h"

namespace {

namespace e2e = lumatre::e2e;

constexpr char kFrameClass[] = "LumatreMainFrameClass";
constexpr char kImageFrameClass[] = "LumatreImageFrameClass";
const std::string kProfile = "Software\\Lumatre\\Lumatre";
const std::string kCapture = kProfile + "\\CaptureOptions";

constexpr DWORD kDefaultOptions = 0x00681669;  // "OptionsA" as a fresh installation has it
constexpr UINT kCmdPasteAsNewImage = 32818;
constexpr UINT kCmdOptions = 32822;
constexpr UINT kCmdResize = 32794;
constexpr UINT kCmdRotateAnyAngle = 32795;
constexpr UINT kCmdWindowManage = 32777;
constexpr UINT kCmdOpen = 0xE101;
constexpr UINT kCmdSaveAs = 0xE104;
constexpr UINT kCmdPrintSetup = 0xE106;
constexpr int kOptionsTreeId = 1010;
constexpr int kHotkeyPage = 2;

// Where the frame sits for the pictures.
constexpr int kFrameX = 60, kFrameY = 40, kFrameW = 800, kFrameH = 580;

std::string g_outFolder;
std::set<std::string> g_wanted;
int g_failures = 0;

bool Wanted(const std::string& name) { return g_wanted.empty() || g_wanted.count(name) != 0; }
bool AnyWanted(std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (Wanted(n)) return true;
  return false;
}

void Fail(const std::string& name, const std::string& why) {
  std::printf("screenshots: %s: %s\n", name.c_str(), why.c_str());
  std::fflush(stdout);
  ++g_failures;
}

void Save(const std::string& name, const e2e::Image& image) {
  if (!Wanted(name)) return;
  if (image.Empty()) return Fail(name, "empty picture");
  const std::string path = e2e::JoinPath(g_outFolder, name + ".bmp");
  if (!e2e::SaveBmp(image, path)) return Fail(name, "cannot write " + path);
  std::printf("screenshots: %s (%d x %d)\n", name.c_str(), image.width, image.height);
  std::fflush(stdout);
}

RECT Union(const RECT& a, const RECT& b) {
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
RECT Grow(const RECT& r, int by) { return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by}; }
RECT ClipToScreen(const RECT& r) {
  return RECT{std::max(0L, r.left), std::max(0L, r.top),
              std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), r.right),
              std::min<LONG>(GetSystemMetrics(SM_CYSCREEN), r.bottom)};
}
RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// Lets the program paint what it was asked to, then takes the screen inside r.
e2e::Image Shoot(const RECT& r, DWORD settleMs = 600) {
  e2e::PumpFor(settleMs);
  return e2e::CaptureScreenRect(ClipToScreen(r));
}

HWND ShownPopupMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

class Session {
 public:
  bool Start() {
    if (!m_copy.Ok()) return Report(m_copy.Error());
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
    e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "OptionsA", kDefaultOptions);
    e2e::WriteDword(HKEY_CURRENT_USER, kCapture, "CaptureDelayTime", 0);
    e2e::ClearClipboard();
    if (!m_program.Start(m_copy.ExePath())) return Report(m_program.LastError());
    m_frame = m_program.WaitForVisibleWindow(kFrameClass, 30000);
    if (!m_frame) return Report("the main window never showed");
    // The capture input is ready once the screen freezer (a tool window) exists.
    auto freezerMade = [&] {
      for (HWND hwnd : m_program.TopLevelWindows()) {
        const LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
        if ((exStyle & WS_EX_TOOLWINDOW) && e2e::WindowClassName(hwnd).rfind("Afx", 0) == 0) return true;
      }
      return false;
    };
    e2e::WaitUntil(freezerMade, 20000);
    Send(WM_NULL);
    SetWindowPos(m_frame, nullptr, kFrameX, kFrameY, kFrameW, kFrameH, SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::ForceForeground(m_frame);
    e2e::PumpFor(500);
    return true;
  }

  void Stop() {
    e2e::KeyPress(VK_ESCAPE);
    if (m_program.IsRunning()) m_program.Terminate();
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
  }

  HWND Frame() const { return m_frame; }

  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0, HWND to = nullptr) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(to ? to : m_frame, message, w, l, SMTO_NORMAL, 20000, &result);
    return static_cast<LRESULT>(result);
  }
  void Command(UINT id) { PostMessageA(m_frame, WM_COMMAND, id, 0); }

  HWND MdiClient() const { return FindWindowExA(m_frame, nullptr, "MDICLIENT", nullptr); }
  int ImageWindowCount() const {
    int count = 0;
    HWND client = MdiClient();
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
      if (e2e::WindowClassName(w) == kImageFrameClass) ++count;
    return count;
  }

  // A new image window holding picture, through Paste As New Image.
  bool OpenPicture(const e2e::Image& picture) {
    const int before = ImageWindowCount();
    if (!e2e::WriteClipboardDib(picture)) return Report("cannot put a picture on the clipboard");
    Command(kCmdPasteAsNewImage);
    if (!e2e::WaitUntil([&] { return ImageWindowCount() == before + 1; }, 20000))
      return Report("Paste As New Image opened no window");
    e2e::PumpFor(400);
    return true;
  }

  HWND ActiveImageWindow() {
    return reinterpret_cast<HWND>(Send(WM_MDIGETACTIVE, 0, 0, MdiClient()));
  }

  // A visible dialog of the program other than those in skip; titled title when given.
  HWND WaitForDialog(const std::string& title = "", DWORD timeoutMs = 15000) {
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
          for (HWND w : m_program.TopLevelWindows("#32770"))
            if (IsWindowVisible(w) && (title.empty() || e2e::WindowText(w) == title)) {
              found = w;
              return true;
            }
          return false;
        },
        timeoutMs);
    if (found) {
      e2e::ForceForeground(found);
      e2e::PumpFor(500);
    }
    return found;
  }

  void CloseDialog(HWND dialog) {
    for (int i = 0; i < 50 && dialog && IsWindow(dialog) && IsWindowVisible(dialog); ++i) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      e2e::PumpFor(100);
    }
    e2e::PumpFor(300);
  }

  const std::string& LastError() const { return m_error; }

 private:
  bool Report(const std::string& error) {
    m_error = error;
    return false;
  }

  e2e::AppCopy m_copy;
  e2e::AppProcess m_program;
  HWND m_frame = nullptr;
  std::string m_error;
};

// ---------------------------------------------------------------------------------------------
// The pictures

void ShootMainWindow(Session& s) {
  e2e::ForceForeground(s.Frame());
  Save("main-window", Shoot(WindowRect(s.Frame())));
}

void ShootImageWindow(Session& s) {
  // Three images, the newest maximised, so that the tabs bar shows all three.
  if (!s.OpenPicture(screenshots::DrawScene(520, 340, 1)) || !s.OpenPicture(screenshots::DrawScene(560, 360, 2)))
    return Fail("image-window", s.LastError());
  HWND active = s.ActiveImageWindow();
  if (active) s.Send(WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(active), 0, s.MdiClient());
  e2e::ForceForeground(s.Frame());
  Save("image-window", Shoot(WindowRect(s.Frame()), 1000));
}

void ShootCaptureMenu(Session& s) {
  if (!Wanted("capture-menu")) return;
  // Opened with its mnemonic, as a user would.
  HWND menu = nullptr;
  e2e::ForceForeground(s.Frame());
  e2e::KeyChord({VK_MENU, 'C'});
  e2e::WaitUntil([&] { return (menu = ShownPopupMenu()) != nullptr; }, 5000);
  if (!menu) return Fail("capture-menu", "the Capture menu did not open");
  e2e::MouseMove(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) / 2);
  e2e::PumpFor(600);
  // The window's top left corner with the menu hanging from its menu bar.
  const RECT frame = WindowRect(s.Frame());
  RECT area = WindowRect(menu);
  area.left = frame.left;
  area.top = frame.top;
  area.right += 8;
  area.bottom += 8;
  Save("capture-menu", Shoot(area, 200));
  e2e::KeyPress(VK_ESCAPE);
  e2e::KeyPress(VK_ESCAPE);
  e2e::WaitUntil([] { return ShownPopupMenu() == nullptr; }, 3000);
  e2e::PumpFor(300);
}

void ShootOptions(Session& s) {
  if (!AnyWanted({"options-dialog", "options-hotkeys"})) return;
  s.Command(kCmdOptions);
  HWND dialog = s.WaitForDialog("Options");
  if (!dialog) return Fail("options-dialog", "the Options dialog did not open");
  Save("options-dialog", Shoot(WindowRect(dialog)));
  if (Wanted("options-hotkeys")) {
    HWND tree = GetDlgItem(dialog, kOptionsTreeId);
    const int height = tree ? static_cast<int>(s.Send(TVM_GETITEMHEIGHT, 0, 0, tree)) : 0;
    if (height > 0) {
      POINT p{30, height * kHotkeyPage + height / 2};
      ClientToScreen(tree, &p);
      e2e::MouseClick(p.x, p.y);
      e2e::MouseMove(p.x + 400, p.y + 600);  // no hover highlight in the picture
      Save("options-hotkeys", Shoot(WindowRect(dialog), 1000));
    } else {
      Fail("options-hotkeys", "no page tree");
    }
  }
  s.CloseDialog(dialog);
}

// Runs a command that opens a dialog on the active image, shoots it and cancels it.
void ShootDialog(Session& s, const char* name, UINT command, const char* title,
                 const std::function<void(HWND)>& prepare = {}) {
  if (!Wanted(name)) return;
  e2e::ForceForeground(s.Frame());
  s.Command(command);
  HWND dialog = s.WaitForDialog(title);
  if (!dialog) return Fail(name, std::string("the dialog \"") + title + "\" did not open");
  if (prepare) prepare(dialog);
  Save(name, Shoot(WindowRect(dialog), 800));
  s.CloseDialog(dialog);
}

void OpenAdvanced(HWND dialog) {
  HWND button = FindWindowExA(dialog, nullptr, "Button", "A&dvanced >>");
  if (!button) return;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  e2e::PumpFor(600);
}

// A few pictures for the file dialogs to show, in a folder with a plain name.
const char kPictureFolder[] = "C:\\Pictures";

void MakePictureFolder() {
  CreateDirectoryA(kPictureFolder, nullptr);
  const char* const names[3] = {"Morning.bmp", "Evening.bmp", "Winter.bmp"};
  for (int v = 0; v < 3; ++v) e2e::SaveBmp(screenshots::DrawScene(360, 240, v), e2e::JoinPath(kPictureFolder, names[v]));
}

// Goes to the picture folder in a file dialog whose file name box has the focus.
void GoToPictureFolder(HWND) {
  e2e::TypeText(std::string(kPictureFolder) + "\n");
  e2e::PumpFor(800);
}

void SelectFirstFile(HWND dialog) {
  GoToPictureFolder(dialog);
  HWND list = nullptr;
  // The shell view's list of the common file dialog.
  for (HWND w : e2e::ChildWindows(dialog)) {
    if (e2e::WindowClassName(w) == "SysListView32") {
      list = w;
      break;
    }
  }
  if (!list) return;
  RECT r{};
  GetWindowRect(list, &r);
  // The first file sits in the first row, after no folders.
  e2e::MouseClick(r.left + 50, r.top + 12);
  e2e::MouseMove(r.right + 200, r.bottom + 300);
  e2e::PumpFor(800);
}

void TypeAngle(HWND) {
  e2e::TypeText("12\t");
  e2e::PumpFor(600);
}

void ShootPrintLayout(Session& s) {
  if (!Wanted("print-layout")) return;
  e2e::ForceForeground(s.Frame());
  s.Command(kCmdPrintSetup);
  HWND setup = s.WaitForDialog();
  if (!setup) return Fail("print-layout", "the Print Setup dialog did not open");
  HWND layout = FindWindowExA(setup, nullptr, "Button", "&Layout");
  if (!layout) {
    s.CloseDialog(setup);
    return Fail("print-layout", "no Layout button in Print Setup");
  }
  PostMessageA(setup, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(layout), BN_CLICKED), reinterpret_cast<LPARAM>(layout));
  HWND dialog = s.WaitForDialog("Print Layout");
  if (!dialog) {
    s.CloseDialog(setup);
    return Fail("print-layout", "the Print Layout dialog did not open");
  }
  Save("print-layout", Shoot(WindowRect(dialog), 800));
  s.CloseDialog(dialog);
  s.CloseDialog(setup);
}

void ShootTrayMenu(Session& s) {
  if (!Wanted("tray-menu")) return;
  std::vector<RECT> icons;
  if (!e2e::WaitUntil([&] { return !(icons = e2e::TrayIconRects()).empty(); }, 10000))
    return Fail("tray-menu", "no tray icon");
  const RECT icon = icons.back();
  e2e::MouseClick((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2, e2e::MouseButton::Right);
  HWND menu = nullptr;
  if (!e2e::WaitUntil([&] { return (menu = ShownPopupMenu()) != nullptr; }, 5000))
    return Fail("tray-menu", "the tray menu did not open");
  e2e::PumpFor(600);
  // The menu with the taskbar's corner below it, where the icon is.
  RECT area = Union(WindowRect(menu), Grow(icon, 4));
  area.right = GetSystemMetrics(SM_CXSCREEN);
  area.bottom = GetSystemMetrics(SM_CYSCREEN);
  Save("tray-menu", Shoot(area, 200));
  e2e::KeyPress(VK_ESCAPE);
  e2e::WaitUntil([] { return ShownPopupMenu() == nullptr; }, 3000);
  e2e::PumpFor(300);
}

// The selection tracker over a landscape that covers the screen down to the taskbar.
void ShootTracker(Session& s) {
  if (!AnyWanted({"tracker-rectangle", "color-picker"})) return;
  const int w = GetSystemMetrics(SM_CXSCREEN);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int h = work.bottom > 0 ? work.bottom : GetSystemMetrics(SM_CYSCREEN) - 28;
  HWND background = screenshots::ShowPictureWindow(screenshots::DrawScene(w, h, 0), 0, 0);
  if (!background) return Fail("tracker-rectangle", "no background window");
  e2e::ForceForeground(background);
  SetWindowPos(background, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  e2e::MouseMove(w - 10, 5);
  e2e::PumpFor(800);
  const e2e::Image before = e2e::CaptureScreen();

  // Moves the pointer near p until the tracker draws something around it.
  auto waitForTracking = [&](POINT p) {
    for (int i = 0; i < 60; ++i) {
      e2e::MouseMove(p.x + (i % 2), p.y);
      e2e::PumpFor(80);
      if (e2e::CountDifferentPixels(e2e::CaptureScreen(), before, RECT{p.x + 2, p.y + 2, p.x + 60, p.y + 40}) > 0) {
        e2e::MouseMove(p.x, p.y);
        e2e::PumpFor(150);
        return true;
      }
    }
    return false;
  };
  auto moveTo = [](int x, int y) {
    POINT from;
    GetCursorPos(&from);
    for (int i = 1; i <= 4; ++i) {
      e2e::MouseMove(from.x + (x - from.x) * i / 4, from.y + (y - from.y) * i / 4);
      e2e::PumpFor(60);
    }
    e2e::PumpFor(400);
  };

  if (Wanted("tracker-rectangle")) {
    e2e::KeyChord({VK_CONTROL, VK_MENU, 'R'});
    const POINT a{380, 250}, b{720, 540};
    if (waitForTracking(a)) {
      e2e::MouseDown();
      e2e::MouseUp();
      moveTo((a.x + b.x) / 2, (a.y + b.y) / 2);
      moveTo(b.x, b.y);
      e2e::PumpFor(500);
      Save("tracker-rectangle", Shoot(RECT{a.x - 60, a.y - 50, b.x + 290, b.y + 90}, 200));
    } else {
      Fail("tracker-rectangle", "the tracker never showed");
    }
    e2e::KeyPress(VK_ESCAPE);
    e2e::PumpFor(800);
  }
  if (Wanted("color-picker")) {
    e2e::KeyPress(VK_F2);
    const POINT p{w * 72 / 100 - 30, h * 22 / 100 + 40};  // the edge of the sun
    if (waitForTracking(p)) {
      e2e::PumpFor(400);
      Save("color-picker", Shoot(RECT{p.x - 40, p.y - 30, p.x + 200, p.y + 90}, 200));
    } else {
      Fail("color-picker", "the colour picker never showed");
    }
    e2e::KeyPress(VK_ESCAPE);
    e2e::PumpFor(800);
  }
  screenshots::ClosePictureWindow(background);
  e2e::PumpFor(300);
  (void)s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: lumatre_screenshots OUTPUT-FOLDER [NAME...]\n");
    return 2;
  }
  g_outFolder = argv[1];
  if (g_outFolder.empty()) {
    std::printf("screenshots: no output folder given\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) g_wanted.insert(argv[i]);
  CreateDirectoryA(g_outFolder.c_str(), nullptr);
  e2e::SetInputDelay(20);

  Session s;
  if (!s.Start()) {
    std::printf("screenshots: the program did not start: %s\n", s.LastError().c_str());
    s.Stop();
    return 100;
  }
  // The main window with one picture, in a window of its own.
  if (!s.OpenPicture(screenshots::DrawScene(500, 330, 0))) {
    Fail("main-window", s.LastError());
  } else {
    ShootMainWindow(s);
    ShootImageWindow(s);
    ShootCaptureMenu(s);
    ShootDialog(s, "resize-dialog", kCmdResize, "Resize Operation", OpenAdvanced);
    ShootDialog(s, "rotate-dialog", kCmdRotateAnyAngle, "Rotate Any Angle Operation", TypeAngle);
    ShootDialog(s, "windows-dialog", kCmdWindowManage, "");
    MakePictureFolder();
    ShootDialog(s, "open-dialog", kCmdOpen, "", SelectFirstFile);
    ShootDialog(s, "save-dialog", kCmdSaveAs, "", [](HWND dialog) {
      GoToPictureFolder(dialog);
      e2e::KeyPress(VK_HOME);
      e2e::KeyChord({VK_SHIFT, VK_END});
      e2e::TypeText("Winter");
      e2e::PumpFor(300);
    });
    ShootPrintLayout(s);
  }
  ShootOptions(s);
  ShootTrayMenu(s);
  ShootTracker(s);
  s.Stop();
  e2e::RemoveDirectoryTree(kPictureFolder);
  return g_failures;
}
