// The Options dialog of the real program: a value typed there is written at exit, new hotkeys
// are in force at once (a refused one reported and still working through the hook), and
// Cancel changes nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "CaptureSession.h"

using namespace capture_e2e;

namespace {

constexpr UINT kCmdOptions = 32822;
constexpr UINT kCmdExit = 0xE141;
constexpr int kTreeId = 1010;

// The text of another program's control (WM_GETTEXT crosses processes).
std::string ControlText(HWND control) {
  char text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
  return std::string(text);
}

void Click(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  e2e::MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class OptionsProgram : public CaptureSession {
 protected:
  // Runs the Options command and waits for its dialog.
  HWND OpenOptions() {
    PostMessageA(Frame(), WM_COMMAND, kCmdOptions, 0);
    HWND dialog = nullptr;
    e2e::WaitUntil(
        [&] {
          for (HWND w : Program().TopLevelWindows("#32770"))
            if (IsWindowVisible(w) && e2e::WindowText(w) == "Options") dialog = w;
          return dialog != nullptr;
        },
        15000);
    if (dialog) {
      EXPECT_TRUE(e2e::ForceForeground(dialog));
      e2e::PumpFor(300);
    }
    return dialog;
  }
  // The visible page of the dialog.
  static HWND Page(HWND dialog) {
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (e2e::WindowClassName(w) == "#32770" && IsWindowVisible(w)) return w;
    return nullptr;
  }
  // Picks page index with a click on its tree item (the items are all at the root, one under
  // the other).
  static HWND GoToPage(HWND dialog, int index, int controlOnPage) {
    HWND tree = GetDlgItem(dialog, kTreeId);
    const int height = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    POINT p{30, height * index + height / 2};
    ClientToScreen(tree, &p);
    e2e::MouseClick(p.x, p.y);
    HWND control = nullptr;
    e2e::WaitUntil([&] { return Page(dialog) && (control = GetDlgItem(Page(dialog), controlOnPage)) != nullptr; },
                   10000);
    return control;
  }
  static void TypeInto(HWND edit, const std::string& text) {
    Click(edit);
    e2e::KeyPress(VK_HOME);
    e2e::KeyChord({VK_SHIFT, VK_END});
    e2e::KeyPress(VK_DELETE);
    e2e::TypeText(text);
  }
  // Presses key on a drop list (focused by a click and Escape) until it shows text.
  static bool Choose(HWND list, WORD key, const std::string& text) {
    Click(list);
    e2e::PumpFor(200);
    e2e::KeyPress(VK_ESCAPE);  // closes the list, the focus stays
    e2e::PumpFor(200);
    for (int i = 0; i < 6 && ControlText(list) != text; ++i) {
      e2e::KeyPress(key);
      e2e::PumpFor(100);
    }
    return ControlText(list) == text;
  }
  bool ExitProgram() {
    PostMessageA(Frame(), WM_COMMAND, kCmdExit, 0);
    return Program().WaitForExit(20000).has_value();
  }
  bool Closed(HWND dialog) {
    return e2e::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
  }
};

TEST_F(OptionsProgram, ADelayTypedThereIsWrittenAtExit) {
  ASSERT_TRUE(Start());
  HWND dialog = OpenOptions();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(Frame())) << "the dialog's owner shows";
  HWND delay = GoToPage(dialog, 1, 1205);
  ASSERT_NE(delay, nullptr);
  EXPECT_EQ(ControlText(delay), "100");
  TypeInto(delay, "700");
  ASSERT_TRUE(e2e::WaitUntil([&] { return ControlText(delay) == "700"; }, 5000)) << ControlText(delay);
  e2e::KeyPress(VK_RETURN);  // OK
  ASSERT_TRUE(Closed(dialog));
  ASSERT_TRUE(ExitProgram());
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "CaptureDelayTime"), std::optional<DWORD>(0x2bc));
}

TEST_F(OptionsProgram, ANewDesktopHotkeyCapturesAtOnceAndTheOldOneNoLonger) {
  ASSERT_TRUE(Start());
  HWND dialog = OpenOptions();
  ASSERT_NE(dialog, nullptr);
  HWND desktopKey = GoToPage(dialog, 2, 1159);
  ASSERT_NE(desktopKey, nullptr);
  // Square keeps its modifiers but loses its key (Ctrl+Alt+S); Desktop gets S.
  ASSERT_TRUE(Choose(GetDlgItem(Page(dialog), 1147), VK_HOME, "None"));
  ASSERT_TRUE(Choose(desktopKey, 'S', "S"));
  e2e::KeyPress(VK_RETURN);  // OK
  ASSERT_TRUE(Closed(dialog));
  e2e::PumpFor(500);
  EXPECT_EQ(FindMessageBox(), nullptr);

  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'D'});
  e2e::PumpFor(2500);
  EXPECT_TRUE(MarkerStillThere()) << "the old Desktop key still captures";

  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'S'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "Ctrl+Alt+S did not capture";
  EXPECT_EQ(picture->width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(picture->height, GetSystemMetrics(SM_CYSCREEN));

  // Saved at exit as the library holds it.
  ASSERT_TRUE(ExitProgram());
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kHotkeys, "Desktop"), std::optional<std::string>("9, 41043"));
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kHotkeys, "Square"), std::optional<std::string>("3, 40960"));
}

TEST_F(OptionsProgram, AKeyAnotherProgramHoldsIsReportedAndStillCapturesThroughTheHook) {
  auto holder = std::make_unique<e2e::AppProcess>();
  ASSERT_TRUE(holder->Start(HelperPath(e2e::kHotkeyHolderExe), "0xA051")) << holder->LastError();  // Ctrl+Alt+Q
  HWND holderWindow = holder->WaitForWindow(e2e::kHotkeyHolderClass, 10000);
  m_helpers.push_back(std::move(holder));
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(holderWindow).find("ok=1 ") != std::string::npos; }, 5000));
  ASSERT_TRUE(Start());
  HWND dialog = OpenOptions();
  ASSERT_NE(dialog, nullptr);
  HWND desktopKey = GoToPage(dialog, 2, 1159);
  ASSERT_NE(desktopKey, nullptr);
  ASSERT_TRUE(Choose(desktopKey, 'Q', "Q"));
  e2e::KeyPress(VK_RETURN);  // OK
  // The message shows over the dialog, which is closing.
  HWND box = nullptr;
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        for (HWND w : Program().TopLevelWindows("#32770"))
          if (IsWindowVisible(w) && e2e::WindowText(w) != "Options") box = w;
        return box != nullptr;
      },
      10000));
  EXPECT_EQ(MessageBoxText(box), kText1235 + "\n\tDesktop : Ctrl+Alt+Q");
  EXPECT_TRUE(CloseWithEnter(box));
  ASSERT_TRUE(Closed(dialog));

  ASSERT_TRUE(PutMarker());
  e2e::KeyChord({VK_CONTROL, VK_MENU, 'Q'});
  std::optional<e2e::Image> picture = WaitForClipboardPicture();
  ASSERT_TRUE(picture) << "the hook did not capture";
  EXPECT_EQ(picture->width, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(OptionsProgram, CancelAfterEditsOnThreePagesChangesNothing) {
  ASSERT_TRUE(Start());
  HWND dialog = OpenOptions();
  ASSERT_NE(dialog, nullptr);
  HWND sound = GoToPage(dialog, 0, 1083);
  ASSERT_NE(sound, nullptr);
  RECT r{};
  GetWindowRect(sound, &r);
  e2e::MouseClick(r.left + 6, (r.top + r.bottom) / 2);
  HWND delay = GoToPage(dialog, 1, 1205);
  ASSERT_NE(delay, nullptr);
  TypeInto(delay, "5000");
  ASSERT_NE(GoToPage(dialog, 5, 1210), nullptr);  // Image Save
  HWND quality = GetDlgItem(Page(dialog), 1205);  // the same id as the delay on its page
  ASSERT_NE(quality, nullptr);
  TypeInto(quality, "12");
  ASSERT_TRUE(e2e::WaitUntil([&] { return ControlText(quality) == "12"; }, 5000));
  Click(GetDlgItem(dialog, IDCANCEL));
  ASSERT_TRUE(Closed(dialog));
  ASSERT_TRUE(ExitProgram());
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "OptionsA"), std::optional<DWORD>(kClipboardOnly));
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "CaptureDelayTime"), std::optional<DWORD>(100));
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, kCapture, "JPEGQuality"), std::optional<DWORD>(95));
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, kHotkeys, "Desktop"), std::optional<std::string>("9, 41028"));
}

}  // namespace
