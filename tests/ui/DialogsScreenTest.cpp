// The About box, Create New Image and the hyperlink on the screen: each dialog runs modally on
// this thread while a second thread drives it with real keyboard and mouse input and reads
// back its texts and the colours on the screen.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "E2EDriver.h"
#include "LumatreVersion.h"
#include "framework/Framework.h"
#include "resources/DialogIds.h"
#include "resources/resource.h"
#include "ui/AboutDlg.h"
#include "ui/HyperLink.h"
#include "ui/NewImageDlg.h"
#include "ui/ShellActions.h"

namespace e2e = lumatre::e2e;

namespace {

// How long the driver waits for the program to react (generous: Wine may run emulated).
constexpr DWORD kWaitMs = 10000;

// Message boxes of the framework, recorded instead of shown (from any thread).
class BoxLog {
 public:
  BoxLog() {
    Current() = this;
    m_previous = AfxSetMessageBoxFunction(&Record);
  }
  ~BoxLog() {
    AfxSetMessageBoxFunction(m_previous);
    Current() = nullptr;
  }
  int Count() const { return m_count; }
  std::string Text(int i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < static_cast<int>(m_texts.size()) ? m_texts[i] : std::string();
  }
  UINT Type(int i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < static_cast<int>(m_types.size()) ? m_types[i] : 0;
  }
  // Waits for box number n (counting from 1) and returns its text.
  std::string WaitForBox(int n) const {
    e2e::WaitUntil([&] { return Count() >= n; }, kWaitMs);
    return Text(n - 1);
  }

 private:
  static BoxLog*& Current() {
    static BoxLog* current = nullptr;
    return current;
  }
  static int Record(HWND, LPCSTR text, LPCSTR, UINT type) {
    BoxLog* self = Current();
    if (!self) return IDCANCEL;
    {
      std::lock_guard<std::mutex> lock(self->m_mutex);
      self->m_texts.push_back(text ? text : "");
      self->m_types.push_back(type);
    }
    ++self->m_count;
    return IDOK;
  }
  mutable std::mutex m_mutex;
  std::vector<std::string> m_texts;
  std::vector<UINT> m_types;
  std::atomic<int> m_count{0};
  AfxMessageBoxFn m_previous = nullptr;
};

// The shell, answering every open with one code and knowing no browser.
class RecordingShell : public IShellLinkSystem {
 public:
  explicit RecordingShell(int result) : m_result(result) { m_previous = SetShellLinkSystem(this); }
  ~RecordingShell() override { SetShellLinkSystem(m_previous); }
  int ShellOpen(const std::string& target, int showCommand) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_opened.push_back(target + " " + std::to_string(showCommand));
    return m_result;
  }
  bool ReadClassesRootDefault(const std::string&, size_t, std::string&) override { return false; }
  int RunCommandLine(const std::string&, int) override { return 0; }
  void SetResult(int result) { m_result = result; }
  std::vector<std::string> Opened() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_opened;
  }

 private:
  std::atomic<int> m_result;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_opened;
  IShellLinkSystem* m_previous = nullptr;
};

// Runs dlg modally here while script drives it from another thread; the dialog is ended
// (cancelled) if the script leaves it open. Returns DoModal's result.
INT_PTR RunDialog(CDialog& dlg, const char* caption, const std::function<void(HWND)>& script) {
  std::thread driver([&] {
    HWND hwnd = nullptr;
    e2e::WaitUntil(
        [&] {
          hwnd = ::FindWindowA("#32770", caption);
          return hwnd && ::IsWindowVisible(hwnd);
        },
        120000);
    if (hwnd) {
      EXPECT_TRUE(e2e::ForceForeground(hwnd, kWaitMs)) << caption;
      script(hwnd);
    } else {
      ADD_FAILURE() << "no dialog \"" << caption << "\"";
      // It may still come: end it then, so that the test never hangs.
      e2e::WaitUntil([&] { return (hwnd = ::FindWindowA("#32770", caption)) != nullptr; }, 120000);
    }
    for (int i = 0; i < 100 && hwnd && ::IsWindow(hwnd); ++i) {
      ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
      ::Sleep(50);
    }
  });
  INT_PTR result = dlg.DoModal();
  driver.join();
  return result;
}

std::string ItemText(HWND dlg, int id) { return e2e::WindowText(::GetDlgItem(dlg, id)); }

bool WaitForItemText(HWND dlg, int id, const std::string& text, DWORD ms = kWaitMs) {
  return e2e::WaitUntil([&] { return ItemText(dlg, id) == text; }, ms);
}

int ComboSelection(HWND dlg, int id) { return static_cast<int>(::SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0)); }

std::vector<std::string> ComboItems(HWND dlg, int id) {
  std::vector<std::string> items;
  int count = static_cast<int>(::SendDlgItemMessageA(dlg, id, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = "";
    ::SendDlgItemMessageA(dlg, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndCapture;
}

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

POINT CenterOf(HWND hwnd) {
  RECT r = WindowRectOf(hwnd);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int CountColor(HWND hwnd, COLORREF color) {
  e2e::Image image = e2e::CaptureScreenRect(WindowRectOf(hwnd));
  uint32_t rgb = e2e::FromColorref(color);
  int n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) n += image.Rgb(x, y) == rgb;
  return n;
}

// Waits until the control shows color (at least an underline's worth of pixels) and none of
// the other link colours.
bool WaitForLinkColor(HWND link, COLORREF color) {
  const COLORREF all[] = {CHyperLink::LinkColor, CHyperLink::VisitedColor, CHyperLink::HoverColor,
                          CHyperLink::FocusedColor};
  return e2e::WaitUntil(
      [&] {
        RECT r = WindowRectOf(link);
        if (CountColor(link, color) < (r.right - r.left) / 2) return false;
        for (COLORREF other : all)
          if (other != color && CountColor(link, other) > 0) return false;
        return true;
      },
      kWaitMs, 50);
}

std::string ToolTipText(HWND tip, HWND link) {
  char text[256] = "";
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = link;
  ti.uId = 1;
  ti.lpszText = text;
  ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
  return text;
}

// The text size of a control in its own font.
SIZE TextSize(HWND control) {
  std::string text = e2e::WindowText(control);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  WindowDC dc(nullptr);
  SelectObjectGuard select(dc.get(), font);
  RECT r{0, 0, 0, 0};
  ::DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The product version of this program's version resource, read here on its own.
std::string OwnProductVersion() {
  char path[MAX_PATH];
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD unused = 0;
  std::vector<BYTE> block(::GetFileVersionInfoSizeA(path, &unused));
  if (block.empty() || !::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data())) return "?";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) return "?";
  return std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." + std::to_string(LOWORD(fixed->dwProductVersionMS)) +
         "." + std::to_string(HIWORD(fixed->dwProductVersionLS)) + "." + std::to_string(LOWORD(fixed->dwProductVersionLS));
}

// The About box with a hover colour on its web link.
class CHoverAboutDlg : public CAboutDlg {
 protected:
  BOOL OnInitDialog() override {
    BOOL result = CAboutDlg::OnInitDialog();
    GetHomePageLink().ModifyLinkStyle(0, CHyperLink::StyleUseHover);
    return result;
  }
};

}  // namespace

TEST(AboutBox, ShowsTheVersionAndLinksThatWork) {
  BoxLog boxes;
  RecordingShell shell(42);
  CHoverAboutDlg dlg;
  const std::string homePage = LoadResString(IDS_HOMEPAGE_URL);
  const std::string mail = LoadResString(IDS_SUPPORT_EMAIL);
  ASSERT_FALSE(homePage.empty());
  ASSERT_FALSE(mail.empty());
  e2e::SetInputDelay(30);

  INT_PTR result = RunDialog(dlg, "About Lumatre", [&](HWND hwnd) {
    HWND web = ::GetDlgItem(hwnd, IDC_ABOUT_HOMEPAGE);
    HWND mailLink = ::GetDlgItem(hwnd, IDC_ABOUT_EMAIL);
    EXPECT_EQ(ItemText(hwnd, IDC_ABOUT_VERSION), "Lumatre Version " + OwnProductVersion());
    EXPECT_EQ(OwnProductVersion(), LUMATRE_VERSION_TEXT);  // the one version number
    EXPECT_EQ(ItemText(hwnd, IDC_ABOUT_COPYRIGHT), "Copyright (C) Lumatre");
    EXPECT_NE(::SendDlgItemMessageA(hwnd, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(e2e::WindowText(web), homePage);
    EXPECT_EQ(e2e::WindowText(mailLink), mail);
    EXPECT_EQ(FocusOf(hwnd), ::GetDlgItem(hwnd, IDOK));

    // Each link is fitted to its text.
    for (HWND link : {web, mailLink}) {
      SIZE text = TextSize(link);
      RECT r = WindowRectOf(link);
      EXPECT_EQ(r.right - r.left, text.cx);
      EXPECT_EQ(r.bottom - r.top, text.cy);
    }
    // Both start in the link colour, underlined.
    EXPECT_TRUE(WaitForLinkColor(web, CHyperLink::LinkColor));
    EXPECT_TRUE(WaitForLinkColor(mailLink, CHyperLink::LinkColor));

    // Hovering: the hover colour, the hand pointer, and the target in a tooltip.
    POINT c = CenterOf(web);
    e2e::MouseMove(c.x, c.y);
    e2e::MouseMove(c.x + 1, c.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return CaptureOf(hwnd) == web; }, kWaitMs));
    EXPECT_TRUE(WaitForLinkColor(web, CHyperLink::HoverColor));
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
          CURSORINFO ci{};
          ci.cbSize = sizeof(ci);
          return ::GetCursorInfo(&ci) && ci.hCursor == CHyperLink::GetLinkCursor();
        },
        kWaitMs));
    HWND tip = dlg.GetHomePageLink().GetToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(tip) != FALSE; }, kWaitMs));
    EXPECT_EQ(ToolTipText(tip, web), homePage);
    // Leaving gives the mouse back.
    RECT dialogRect = WindowRectOf(hwnd);
    e2e::MouseMove(c.x, dialogRect.bottom - 12);
    EXPECT_TRUE(e2e::WaitUntil([&] { return CaptureOf(hwnd) == nullptr; }, kWaitMs));
    EXPECT_TRUE(WaitForLinkColor(web, CHyperLink::LinkColor));

    // A click opens the web page and takes the focus; once the focus moves on, the link
    // shows it was visited.
    e2e::MouseClick(c.x, c.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return shell.Opened().size() == 1; }, kWaitMs));
    EXPECT_EQ(FocusOf(hwnd), web);
    e2e::MouseMove(c.x, dialogRect.bottom - 12);
    EXPECT_TRUE(WaitForLinkColor(web, CHyperLink::FocusedColor));
    e2e::KeyPress(VK_TAB);
    EXPECT_TRUE(e2e::WaitUntil([&] { return FocusOf(hwnd) == mailLink; }, kWaitMs));
    EXPECT_TRUE(WaitForLinkColor(web, CHyperLink::VisitedColor));
    EXPECT_TRUE(WaitForLinkColor(mailLink, CHyperLink::FocusedColor));

    // Space on the mail link: the shell fails, the user is told why.
    shell.SetResult(SE_ERR_NOASSOC);
    e2e::KeyPress(VK_SPACE);
    EXPECT_EQ(boxes.WaitForBox(1), OpenLinkErrorText(SE_ERR_NOASSOC));
    EXPECT_EQ(boxes.Type(0) & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    e2e::KeyPress(VK_TAB);
    EXPECT_TRUE(WaitForLinkColor(mailLink, CHyperLink::LinkColor));  // not visited

    e2e::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(shell.Opened(), (std::vector<std::string>{homePage + " 5", "mailto:" + mail + " 5"}));
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(dlg.GetHomePageLink().IsVisited());
  EXPECT_FALSE(dlg.GetMailLink().IsVisited());
}

TEST(NewImageDialog, ConvertsUnitsAndRefusesBadSizes) {
  BoxLog boxes;
  CNewImageDlg dlg;
  EXPECT_EQ(dlg.GetPixelSize().cx, 400);
  e2e::SetInputDelay(30);

  INT_PTR result = RunDialog(dlg, "Create New Image", [&](HWND hwnd) {
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_WIDTH_LABEL), "Image &Width:");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_HEIGHT_LABEL), "Image H&eight:");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_HRES_LABEL), "&Horizontal Res:");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_VRES_LABEL), "&Vertical Res:");
    EXPECT_EQ(ItemText(hwnd, IDOK), "&Create");
    EXPECT_EQ(ItemText(hwnd, IDCANCEL), "Cancel");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_WIDTH), "400");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_HEIGHT), "300");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_HRES), "72");
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_VRES), "72");
    const std::vector<std::string> sizeUnits{"Pixels", "Inches", "Centimeters"};
    const std::vector<std::string> resUnits{"Pixels/Inch", "Pixels/cm"};
    EXPECT_EQ(ComboItems(hwnd, IDC_NEWIMAGE_WIDTH_UNIT), sizeUnits);
    EXPECT_EQ(ComboItems(hwnd, IDC_NEWIMAGE_HEIGHT_UNIT), sizeUnits);
    EXPECT_EQ(ComboItems(hwnd, IDC_NEWIMAGE_HRES_UNIT), resUnits);
    EXPECT_EQ(ComboItems(hwnd, IDC_NEWIMAGE_VRES_UNIT), resUnits);
    for (int id : {IDC_NEWIMAGE_WIDTH_UNIT, IDC_NEWIMAGE_HEIGHT_UNIT, IDC_NEWIMAGE_HRES_UNIT, IDC_NEWIMAGE_VRES_UNIT})
      EXPECT_EQ(ComboSelection(hwnd, id), 0) << id;

    // The width's unit, by keyboard: Inches, Centimeters, back to Pixels.
    e2e::KeyChord({VK_MENU, 'W'});
    e2e::KeyPress(VK_TAB);
    e2e::KeyPress(VK_DOWN);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_WIDTH, "5.555556")) << ItemText(hwnd, IDC_NEWIMAGE_WIDTH);
    e2e::KeyPress(VK_DOWN);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_WIDTH, "14.111111")) << ItemText(hwnd, IDC_NEWIMAGE_WIDTH);
    e2e::KeyPress(VK_UP);
    e2e::KeyPress(VK_UP);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_WIDTH, "400")) << ItemText(hwnd, IDC_NEWIMAGE_WIDTH);
    EXPECT_EQ(ComboSelection(hwnd, IDC_NEWIMAGE_WIDTH_UNIT), 0);
    // The horizontal resolution per centimetre and back.
    e2e::KeyChord({VK_MENU, 'H'});
    e2e::KeyPress(VK_TAB);
    e2e::KeyPress(VK_DOWN);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_HRES, "28.346457")) << ItemText(hwnd, IDC_NEWIMAGE_HRES);
    e2e::KeyPress(VK_UP);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_HRES, "72")) << ItemText(hwnd, IDC_NEWIMAGE_HRES);

    // A unit change with a text that is no number: told, and the list stays at Pixels.
    e2e::KeyChord({VK_MENU, 'W'});
    e2e::TypeText("xyz");
    e2e::KeyPress(VK_TAB);
    e2e::KeyPress(VK_DOWN);
    EXPECT_EQ(boxes.WaitForBox(1), "Please enter a number.");
    EXPECT_TRUE(e2e::WaitUntil([&] { return ComboSelection(hwnd, IDC_NEWIMAGE_WIDTH_UNIT) == 0; }, kWaitMs));
    EXPECT_TRUE(e2e::WaitUntil([&] { return FocusOf(hwnd) == ::GetDlgItem(hwnd, IDC_NEWIMAGE_WIDTH); }, kWaitMs));
    EXPECT_EQ(ItemText(hwnd, IDC_NEWIMAGE_WIDTH), "xyz");

    // Create refuses what cannot be made and stays open with the box to correct focused.
    struct Refused {
      WORD mnemonic;
      const char* text;
      const char* message;
      int focus;
    };
    const Refused refused[] = {
        {'W', "0", "Please enter a number greater than 0.", IDC_NEWIMAGE_WIDTH},
        {'W', "40000", "An image can be at most 32767 pixels wide and 32767 pixels high.", IDC_NEWIMAGE_WIDTH},
        {'W', "20000", nullptr, 0},
        {'E', "20000",
         "An image of 20000 x 20000 pixels needs more memory than Lumatre can use for one image. Please choose a "
         "smaller size.",
         IDC_NEWIMAGE_WIDTH},
        {'V', "0", "Please enter a number greater than 0.", IDC_NEWIMAGE_VRES},
    };
    int expectedBoxes = 1;
    for (const Refused& r : refused) {
      e2e::KeyChord({VK_MENU, r.mnemonic});
      e2e::TypeText(r.text);
      if (!r.message) continue;
      e2e::KeyPress(VK_RETURN);
      ++expectedBoxes;
      EXPECT_EQ(boxes.WaitForBox(expectedBoxes), r.message);
      EXPECT_TRUE(e2e::WaitUntil([&] { return FocusOf(hwnd) == ::GetDlgItem(hwnd, r.focus); }, kWaitMs)) << r.message;
      EXPECT_TRUE(::IsWindowVisible(hwnd));
    }
    e2e::KeyChord({VK_MENU, 'V'});
    e2e::TypeText("72");

    // 2 inches by 2.54 centimetres at 72 pixels per inch.
    e2e::KeyChord({VK_MENU, 'W'});
    e2e::KeyPress(VK_TAB);
    e2e::KeyPress(VK_DOWN);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_WIDTH, "277.777778")) << ItemText(hwnd, IDC_NEWIMAGE_WIDTH);
    e2e::KeyChord({VK_SHIFT, VK_TAB});
    e2e::TypeText("2");
    e2e::KeyChord({VK_MENU, 'E'});
    e2e::KeyPress(VK_TAB);
    e2e::KeyPress(VK_DOWN);
    e2e::KeyPress(VK_DOWN);
    EXPECT_TRUE(WaitForItemText(hwnd, IDC_NEWIMAGE_HEIGHT, "705.555556")) << ItemText(hwnd, IDC_NEWIMAGE_HEIGHT);
    e2e::KeyChord({VK_SHIFT, VK_TAB});
    e2e::TypeText("2.54");
    e2e::KeyPress(VK_RETURN);
    e2e::WaitUntil([&] { return !::IsWindow(hwnd); }, kWaitMs);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(boxes.Count(), 5);
  EXPECT_EQ(dlg.GetPixelSize().cx, 144);
  EXPECT_EQ(dlg.GetPixelSize().cy, 72);
}

TEST(NewImageDialog, CancelKeepsTheDefaultSize) {
  BoxLog boxes;
  CNewImageDlg dlg;
  INT_PTR result = RunDialog(dlg, "Create New Image", [&](HWND hwnd) {
    e2e::KeyChord({VK_MENU, 'W'});
    e2e::TypeText("123");
    e2e::KeyPress(VK_ESCAPE);
    e2e::WaitUntil([&] { return !::IsWindow(hwnd); }, kWaitMs);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(dlg.GetPixelSize().cx, 400);
  EXPECT_EQ(dlg.GetPixelSize().cy, 300);
}

TEST(HyperLink, MadeWithoutTextShowsItsTarget) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                              "Links", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 200, 360, 140, nullptr, nullptr));
  CHyperLink target;
  target.SetURL("http://www.lumatre.example/help/");
  ASSERT_TRUE(target.Create("", SS_CENTER, CRect(10, 10, 330, 40), &parent, 101));
  EXPECT_EQ(target.GetWindowText(), "http://www.lumatre.example/help/");
  CHyperLink text;
  ASSERT_TRUE(text.Create("Plain words", SS_RIGHT | SS_CENTERIMAGE, CRect(10, 50, 330, 90), &parent, 102));
  EXPECT_EQ(text.GetURL(), "Plain words");
  // Fitted around the middle, and at the right edge centred on the old middle.
  CRect r1 = target.GetWindowRect(), r2 = text.GetWindowRect();
  parent.ScreenToClient(&r1);
  parent.ScreenToClient(&r2);
  EXPECT_NEAR((r1.left + r1.right) / 2.0, 170.0, 1.0);
  EXPECT_EQ(r1.top, 10);
  EXPECT_EQ(r2.right, 330);
  EXPECT_NEAR((r2.top + r2.bottom) / 2.0, 70.0, 1.0);
  EXPECT_LT(r2.Width(), 200);
  // Without underline the control keeps the parent's plain font.
  EXPECT_TRUE(text.ModifyLinkStyle(CHyperLink::StyleUnderline, 0));
  LOGFONTA lf{};
  ::GetObjectA(text.GetFont(), sizeof(lf), &lf);
  EXPECT_FALSE(lf.lfUnderline);
  ::GetObjectA(target.GetFont(), sizeof(lf), &lf);
  EXPECT_TRUE(lf.lfUnderline);
  parent.DestroyWindow();
}

TEST(HyperLink, TheHandCursorFallsBackToTheSystemsHand) {
  EXPECT_FALSE(CHyperLink::LoadCursorFromModule("C:\\no such folder\\winhlp32.exe"));
  char system[MAX_PATH];
  ::GetSystemDirectoryA(system, MAX_PATH);
  // A module without cursor 106.
  EXPECT_FALSE(CHyperLink::LoadCursorFromModule(std::string(system) + "\\kernel32.dll"));
  EXPECT_NE(CHyperLink::GetLinkCursor(), nullptr);
  EXPECT_EQ(CHyperLink::GetLinkCursor(), CHyperLink::GetLinkCursor());
}
